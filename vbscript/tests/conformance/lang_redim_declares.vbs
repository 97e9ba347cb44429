Option Explicit
' ReDim of a name nothing declares is its declaration, at the top level and
' in a procedure, as Dim would be.
ReDim list(3)
list(3) = "last"
WScript.Echo "top level:", UBound(list), list(3)
Sub Grow()
    ReDim inner(1)
    inner(1) = 7
    ReDim Preserve inner(2)
    WScript.Echo "in a procedure:", UBound(inner), inner(1)
End Sub
Grow
Sub Resize()
    ReDim Preserve list(5)   ' the global, which exists
End Sub
Resize
WScript.Echo "the global from a procedure:", UBound(list), list(3)
