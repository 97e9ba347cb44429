' Declarations: Public and Private at script level, several names per Dim,
' arrays resized through ByRef parameters, and procedures' own ReDim.
Public shared : shared = "public"
Private hidden : hidden = "private"
Private Const LocalLimit = 3
Public Const SharedLimit = 4
Dim x1, x2(2), x3(), x4(1, 1)
WScript.Echo "script level:", shared, hidden, LocalLimit + SharedLimit, IsEmpty(x1), UBound(x2), IsArray(x3), UBound(x4, 2)

Sub Grow(a, item)
    ReDim Preserve a(UBound(a) + 1)
    a(UBound(a)) = item
End Sub
Dim arr : arr = Array("first")
Grow arr, "second"
Grow arr, "third"
WScript.Echo "grown through ByRef:", UBound(arr), Join(arr, ",")

Dim dynamic()
Sub Allocate(n)
    ReDim dynamic(n)
    dynamic(n) = "set in procedure"
End Sub
Allocate 2
WScript.Echo "global redim in procedure:", UBound(dynamic), dynamic(2)

Function MakeRange(first, last)
    Dim result(), i
    ReDim result(last - first)
    For i = first To last
        result(i - first) = i
    Next
    MakeRange = result
End Function
Dim rng : rng = MakeRange(5, 9)
WScript.Echo "array result:", UBound(rng), Join(rng, " "), TypeName(rng)

' ReDim of a local name that was never declared creates it
Function Local()
    ReDim temp(1)
    temp(1) = "made by ReDim"
    Local = temp(1)
End Function
WScript.Echo "redim declares:", Local()

On Error Resume Next
Dim never()
Dim u : u = UBound(never)
WScript.Echo "UBound of unallocated:", Err.Number : Err.Clear
never(0) = 1
WScript.Echo "store into unallocated:", Err.Number : Err.Clear
