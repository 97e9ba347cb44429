' Runaway recursion and absurd sizes end in VBScript errors, not crashes.
Dim depth : depth = 0
Function Deep(n)
    depth = n
    Deep = Deep(n + 1)
End Function
On Error Resume Next
Dim x
x = Deep(0)
WScript.Echo "recursion:", Err.Number, Err.Description, depth > 100
Err.Clear
ReDim huge(1000000000)
WScript.Echo "huge array:", Err.Number, Err.Description
Err.Clear
ReDim square(100000, 100000)
WScript.Echo "huge 2d array:", Err.Number
Err.Clear
Dim s
s = Space(2147483647)
WScript.Echo "huge Space:", Err.Number
Err.Clear
s = String(2147483647, "a")
WScript.Echo "huge String:", Err.Number
Err.Clear
' The script goes on normally afterwards
WScript.Echo "still running:", Deep2(3)
Function Deep2(n)
    If n = 0 Then Deep2 = "done" Else Deep2 = Deep2(n - 1)
End Function
