' For loops: the counter's subtype, its value after the loop, bounds at the
' edges of Integer and Long, and a counter the body changes (step is added
' to whatever the counter then holds).
For i = 1 To 3 : Next : WScript.Echo "after:", i, TypeName(i)
For i = 5 To 3 : Next : WScript.Echo "not run:", i, TypeName(i)
For i = CByte(250) To CByte(255) : r = r & TypeName(i) & " " : Next : WScript.Echo r, i, TypeName(i)
r = ""
For i = 32765 To 32768 : r = r & TypeName(i) & " " : Next : WScript.Echo r, i, TypeName(i)
r = ""
For i = 10 To 1 Step -3 : r = r & i & " " : Next : WScript.Echo r, i
r = ""
For i = 1 To 10 : r = r & i & " " : If i = 3 Then i = "7"
Next : WScript.Echo r, i, TypeName(i)
r = ""
For i = 1 To 10 : r = r & i & " " : If i = 3 Then i = 6.6
Next : WScript.Echo r, i, TypeName(i)
r = ""
For i = 1 To 10 : r = r & i & " " : If i = 2 Then i = 100000
Next : WScript.Echo r, i, TypeName(i)
r = ""
For i = 1 To 10 : r = r & i & " " : If i = 4 Then Exit For
Next : WScript.Echo r, i
On Error Resume Next
For i = 2147483646 To 2147483647 : r = r & "x" : Next
WScript.Echo "long edge:", Err.Number, i, TypeName(i)
Err.Clear
For i = 2147483645 To 2147483647 Step 2 : Next
WScript.Echo "step over:", Err.Number, i, TypeName(i)
On Error GoTo 0
Sub Count(n)
  For n = 1 To 4 : Next
End Sub
c = 0 : Count c : WScript.Echo "byref counter:", c, TypeName(c)
Class K
  Public v
  Sub Run()
    For v = 1 To 3 : Next
  End Sub
End Class
Set k1 = New K : k1.Run : WScript.Echo "field counter:", k1.v
Function Loopy()
  Dim j, s
  For j = 1 To 5 : s = s + j : Next
  Loopy = s & " " & j
End Function
WScript.Echo "local:", Loopy()
' The counter takes the start value's subtype whatever the end's, and steps
' by the rules of "+": Integer + Long is Long, Byte + Byte stays Byte.
r = ""
For i = 1 To CLng(3) : r = r & TypeName(i) & " " : Next : WScript.Echo "long end:", r, TypeName(i)
r = ""
For i = CByte(1) To 2 Step CByte(1) : r = r & TypeName(i) & " " : Next : WScript.Echo "byte step:", r, i, TypeName(i)
r = ""
For i = 1 To 3 Step CLng(1) : r = r & TypeName(i) & " " : Next : WScript.Echo "long step:", r, TypeName(i)
r = ""
For i = CLng(5) To 1 Step -2 : r = r & TypeName(i) & " " : Next : WScript.Echo "long start:", r, i, TypeName(i)
r = ""
For i = 1 To 2 Step 0.5 : r = r & TypeName(i) & " " : Next : WScript.Echo "double step:", r, TypeName(i)
