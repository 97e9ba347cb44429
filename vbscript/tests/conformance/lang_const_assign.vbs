' Constants, the script's own and the built-in ones, cannot be assigned.
Const Limit = 10
On Error Resume Next
Limit = 20
WScript.Echo "own constant:", Err.Number, Limit
Err.Clear
vbCrLf = "x"
WScript.Echo "built-in constant:", Err.Number, Len(vbCrLf)
Err.Clear
Dim big : big = 1E10
Dim r : r = big \ 3
WScript.Echo "integer division beyond Long:", Err.Number
Err.Clear
r = big Mod 3
WScript.Echo "Mod beyond Long:", Err.Number
