' For converts text bounds to numbers; the counter starts with the start
' value's own subtype.
n = 0
For i = 1 To "3" : n = n + 1 : Next
WScript.Echo "text limit:", n, i
s = ""
For i = "2" To 4 : s = s & i & TypeName(i) & " " : Next
WScript.Echo "text start:", s
s = ""
For i = 0 To 6 Step "3" : s = s & i & " " : Next
WScript.Echo "text step:", s
s = ""
For i = 10 To " 7 " Step -1 : s = s & i & " " : Next
WScript.Echo "padded text, counting down:", s
lim = "12"
n = 0
For i = 9 To lim : n = n + 1 : Next
WScript.Echo "text in a variable:", n
For i = CByte(1) To 2 : WScript.Echo "byte start:", TypeName(i), i : Exit For : Next
For i = CLng(1) To 2 : WScript.Echo "long start:", TypeName(i) : Exit For : Next
For i = 1.5 To 2 : WScript.Echo "double start:", TypeName(i) : Next
On Error Resume Next
n = 0
For i = 1 To "abc" : n = n + 1 : Next
WScript.Echo "text that is no number:", Err.Number, n
Err.Clear
