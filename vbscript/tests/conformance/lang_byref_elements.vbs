' An array element passed ByRef is that element: both names see each write
' while the call runs, and the array cannot be resized under it.
Dim a(3), trace
a(1) = 10
Sub Twice(ByRef x)
    x = x * 2
    trace = trace & "array sees " & a(1) & "; "
    a(1) = a(1) + 1
    trace = trace & "parameter sees " & x
End Sub
Twice a(1)
WScript.Echo "aliased:", trace, "|", a(1)

Sub SetIt(ByRef x) : x = "set" : End Sub
Sub Outer(ByRef y) : SetIt y : End Sub
Dim m(2, 2)
SetIt m(1, 2)
Outer a(2)
WScript.Echo "two dimensions and passed on:", m(1, 2), a(2)

' Two parameters naming the same element are one variable
Sub Both(ByRef p, ByRef q) : p = 1 : q = q + 1 : End Sub
Both a(0), a(0)
WScript.Echo "same element twice:", a(0)

' A copy of the array taken before the call keeps its own values
Dim d()
ReDim d(2)
b = d
SetIt d(1)
WScript.Echo "copy unchanged:", "[" & b(1) & "]", d(1)

' ReDim and Erase while an element is out by reference raise 10
Sub Resize(ByRef x)
    On Error Resume Next
    ReDim Preserve d(5)
    WScript.Echo "redim while passed:", Err.Number, Err.Description
    Err.Clear
    Erase d
    WScript.Echo "erase while passed:", Err.Number
    x = 7
End Sub
Resize d(0)
ReDim Preserve d(4)
WScript.Echo "after the call:", d(0), UBound(d)

' The variable given a new value during the call: no harm done
Sub Replace(ByRef x) : d = 5 : x = "orphan" : End Sub
Replace d(1)
WScript.Echo "variable replaced:", d

' Elements of a class's array field
Class Holder
    Public items
    Private Sub Class_Initialize : ReDim items(2) : End Sub
    Public Sub Fill : Bump items(1) : Bump items(1) : End Sub
End Class
Sub Bump(ByRef v) : v = v + 1 : End Sub
Set h = New Holder
h.Fill
WScript.Echo "field element:", h.items(1)

' An element of a Split result holds whatever the callee stores
parts = Split("1,2,3", ",")
Sub Store(ByRef x) : x = 42 : End Sub
Store parts(0)
WScript.Echo "split element:", parts(0), TypeName(parts(0))

' ByVal elements stay copies
Sub ByValue(ByVal x) : x = "changed" : End Sub
ByValue a(3)
WScript.Echo "byval:", "[" & a(3) & "]"
