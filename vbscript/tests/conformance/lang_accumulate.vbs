' Sums of products (s = s + a * b, s = s - a / b) follow the operators'
' own subtype rules step by step, whatever mix of variables, literals and
' array elements they read, and raise the same errors.
Function Show(v)
    Show = TypeName(v) & " " & v
End Function

s = 1 : a = 2 : b = 3
s = s + a * b
WScript.Echo "integers:", Show(s)
s = 1 : a = 300 : b = 300
s = s + a * b
WScript.Echo "product beyond Integer:", Show(s)
s = 32767 : a = 1 : b = 1
s = s + a * b
WScript.Echo "sum beyond Integer:", Show(s)
s = CLng(1) : a = 100000 : b = 100000
s = s + a * b
WScript.Echo "product beyond Long:", Show(s)
s = 2147483647 : a = 1 : b = 1
s = s + a * b
WScript.Echo "sum beyond Long:", Show(s)
s = 100 : a = 200
s = s - a * a
WScript.Echo "minus:", Show(s)
s = 1 : a = 0.5 : b = 4
s = s + a * b
WScript.Echo "integer plus double product:", Show(s)
s = 1.5 : a = 2 : b = 3
s = s + a * b
WScript.Echo "double plus integer product:", Show(s)
s = 10 : a = 7 : b = 2
s = s - a / b
WScript.Echo "minus a quotient:", Show(s)
s = 0 : a = "3" : b = 2
s = s + a * b
WScript.Echo "text operand:", Show(s)
s = 0 : b = 2
s = s + e * b
WScript.Echo "empty operand:", Show(s)
s = 0 : a = True : b = 2
s = s + a * b
WScript.Echo "boolean operand:", Show(s)
s = 0 : a = CSng(1.5) : b = 2
s = s + a * b
WScript.Echo "single operand:", Show(s)
s = 0 : a = CCur(1.25) : b = 2
s = s + a * b
WScript.Echo "currency operand:", Show(s)
s = "5" : a = 2 : b = 3
s = s + a * b
WScript.Echo "text total:", Show(s)

Dim u(3), v(3)
For i = 0 To 3 : u(i) = i : v(i) = i + 0.5 : Next
t = 0
For i = 0 To 3
    t = t + u(i) * v(i)
Next
WScript.Echo "elements:", Show(t)
Dim m(2, 2)
For i = 0 To 2 : For j = 0 To 2 : m(i, j) = i * 3 + j : Next : Next
t = 0
For i = 0 To 2
    t = t + m(i, 0) * m(0, i)
Next
WScript.Echo "2-D elements:", Show(t)

Function Dot(p, q, n)
    Dim k, acc
    acc = 0
    For k = 0 To n
        acc = acc + p(k) * q(k)
    Next
    Dot = acc
End Function
WScript.Echo "in a function:", Show(Dot(u, v, 3))

On Error Resume Next
s = 1 : a = 1 : b = 0
s = s - a / b
WScript.Echo "division by zero:", Err.Number, Show(s)
Err.Clear
s = 1E+308 : a = 1E+308 : b = 10
s = s + a * b
WScript.Echo "overflow:", Err.Number, Show(s)
Err.Clear
t = 0
t = t + u(9) * v(0)
WScript.Echo "subscript out of range:", Err.Number, Show(t)
Err.Clear
Dim fixed(2)
fixed = fixed + a * b
WScript.Echo "array total:", Err.Number
On Error GoTo 0

' y = a * b + c: the same rules with the product first.
a = 2 : b = 3 : c = 4
y = a * b + c
WScript.Echo "product plus:", Show(y)
y = a * b - 10
WScript.Echo "product minus literal:", Show(y)
a = 300 : b = 300 : c = 32767
y = a * b + c
WScript.Echo "beyond Integer:", Show(y)
a = 1.5 : c = 1
y = a * 2 + c
WScript.Echo "double product:", Show(y)
a = 7 : b = 2
y = a / b - c
WScript.Echo "quotient minus:", Show(y)
c = "1"
y = a * b + c
WScript.Echo "text addend:", Show(y)
Set o = New Holder
y = o
y = a * b + 1
WScript.Echo "object replaced:", Show(y)
Class Holder
    Public Default Property Get V() : V = 1 : End Property
End Class
Function Affine(m, x, q)
    Dim r
    r = m * x + q
    Affine = r
End Function
WScript.Echo "in a function:", Show(Affine(0.5, 3, 2)), Show(Affine(2, 3, 4))
On Error Resume Next
a = 1 : b = 0 : c = 1
y = a / b + c
WScript.Echo "division by zero:", Err.Number
Err.Clear
Dim fixedY(1)
fixedY = a * 2 + c
WScript.Echo "fixed array target:", Err.Number
On Error GoTo 0

' The object a variable held is released after the new value is in place.
Class Watcher
    Private Sub Class_Terminate() : WScript.Echo "seen while releasing:", Show(w) : End Sub
End Class
Set w = New Watcher
a = 2 : b = 3 : c = 1
w = a * b + c
