' a(i) = a(i) + x * y and a(i, j) = a(i, j) - x / y update the element in
' place only while everything is a Double; other subtypes, errors and
' shared arrays behave as the general assignment has them.
Function Show(v)
    Show = TypeName(v) & " " & v
End Function

Sub Report(what)
    If Err.Number <> 0 Then
        WScript.Echo what, "error", Err.Number
        Err.Clear
    Else
        WScript.Echo what, "no error"
    End If
End Sub

Dim v(3), m(2, 2), i, j, f, g, k
i = 1 : j = 2 : f = 0.5 : g = 4.0
v(i) = 10.0 : m(i, j) = 8.0 : v(2) = 3.0
v(i) = v(i) + f * g
WScript.Echo "1d plus product:", Show(v(1))
m(i, j) = m(i, j) - f / g
WScript.Echo "2d minus quotient:", Show(m(1, 2))
v(i) = v(i) - v(2) * f
WScript.Echo "element factor:", Show(v(1))
m(1, 2) = m(1, 2) + g * g
WScript.Echo "literal subscripts:", Show(m(1, 2))
v(0) = 5
v(0) = v(0) + 2 * 3
WScript.Echo "integers:", Show(v(0))
v(0) = 32767
v(0) = v(0) + 1 * 1
WScript.Echo "integer overflow to Long:", Show(v(0))
v(3) = Empty
v(3) = v(3) + f * g
WScript.Echo "empty element:", Show(v(3))
v(3) = "1.5"
v(3) = v(3) + f * g
WScript.Echo "text element:", Show(v(3))
v(3) = 1.0
k = "2"
v(3) = v(3) + k * g
WScript.Echo "text factor:", Show(v(3))
v(i) = 1.0
v(i) = v(i) + f * 3
WScript.Echo "integer factor:", Show(v(1))

' The array copied into another variable keeps its old values.
Dim w
v(1) = 1.0
w = v
v(1) = v(1) + f * g
WScript.Echo "copy kept:", Show(w(1)), "updated:", Show(v(1))

On Error Resume Next
v(1) = 1.0
v(1) = v(1) + f / 0.0
Report "division by zero"
WScript.Echo "kept:", Show(v(1))
v(1) = 1.0E+308
f = 1.0E+308
v(1) = v(1) + f * g
Report "product overflow"
WScript.Echo "kept:", Show(v(1))
f = 1.0E+308 : g = 1.0
v(1) = v(1) + f * g
Report "sum overflow"
WScript.Echo "kept:", Show(v(1))
f = 0.5 : g = 4.0
i = 4
v(i) = v(i) + f * g
Report "past the end"
m(3, 0) = m(3, 0) - f * g
Report "2d past the end"
i = Null
v(i) = v(i) + f * g
Report "Null subscript"
f = Null
v(1) = 2.0
v(1) = v(1) + f * g
Report "Null factor"
WScript.Echo "after Null factor:", Show(v(1))
On Error GoTo 0

Sub Locals()
    Dim a(2), b(1, 1), x, y, n
    n = 2 : x = 1.5 : y = 2.0
    a(n) = 1.0 : b(1, 0) = 4.0
    a(n) = a(n) + x * y
    b(1, 0) = b(1, 0) - x / y
    WScript.Echo "local elements:", Show(a(2)), Show(b(1, 0))
    a(n) = CInt(3)
    a(n) = a(n) - x * y
    WScript.Echo "local integer element:", Show(a(2))
End Sub
Locals
