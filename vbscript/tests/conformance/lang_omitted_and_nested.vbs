' An omitted argument of a script procedure passes the missing value (an
' Error subtype); a(0)(1) = v assigns into the array that a(0) holds.
Sub Show(p, q, r)
    WScript.Echo "sub:", p, TypeName(q), VarType(q), IsEmpty(q), r
End Sub
Show 1, , 3
Function Sum(a, b, c)
    Sum = a + c
    WScript.Echo "function:", TypeName(b)
End Function
Call Sum(4, , 6)
WScript.Echo "result:", Sum(4, , 6)
Class Box
    Public Sub Size(w, h) : WScript.Echo "method:", TypeName(w), TypeName(h) : End Sub
End Class
Set bx = New Box
bx.Size 2,
Call bx.Size(, 3)

a = Array(Array(1, 2), 3)
a(0)(1) = 9
WScript.Echo "nested:", a(0)(0), a(0)(1), a(1)
Dim m(1)
m(0) = Array(0, Array(5, 6))
m(0)(1)(0) = 7
WScript.Echo "three levels:", m(0)(1)(0), m(0)(1)(1)
Set d = CreateObject("Scripting.Dictionary")
Set a(1) = d
a(1)("k") = "v"
WScript.Echo "object element:", d("k")
Set a(0)(0) = d
WScript.Echo "set into the inner array:", TypeName(a(0)(0))
b = Split("p q")
b(0) = Split("r s")
b(0)(1) = "S"
WScript.Echo "split in split:", b(0)(0) & b(0)(1), b(1)
Sub Local()
    Dim grid(1)
    grid(1) = Array("x", "y")
    grid(1)(0) = "X"
    WScript.Echo "local:", grid(1)(0) & grid(1)(1)
End Sub
Local
On Error Resume Next
c = Array(1, 2)
c(0)(1) = 5
WScript.Echo "no array inside:", Err.Number, c(0)
Err.Clear
a(0)(7) = 1
WScript.Echo "out of range:", Err.Number
