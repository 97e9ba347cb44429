' On Error GoTo 0 turns error trapping off again.
On Error Resume Next
Dim x
x = 1 / 0
WScript.Echo "trapped", Err.Number
On Error GoTo 0
x = CInt(40000)
WScript.Echo "not reached"
