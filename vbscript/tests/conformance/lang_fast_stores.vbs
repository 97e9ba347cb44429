' Element stores of a literal or a variable, If on an element, and sums of
' products over Doubles keep the subtypes and errors of the general
' assignment and operators, on global and local variables alike.
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

' ---- a(i) = literal / variable ----
Dim g(3), i, x, t
i = 1 : g(i) = True : g(2) = "two" : x = 2.5 : g(3) = x
WScript.Echo "stored:", Show(g(1)), Show(g(2)), Show(g(3)), Show(g(0))
i = 1.5 : g(i) = 7
WScript.Echo "rounded subscript:", Show(g(2))
i = "3" : g(i) = False
WScript.Echo "text subscript:", Show(g(3))
Dim m(1, 2)
i = 1 : t = 2 : m(i, t) = 5 : m(0, 0) = Null
WScript.Echo "2d:", Show(m(1, 2)), Show(m(0, 0)), Show(m(0, 1))
On Error Resume Next
i = 4 : g(i) = True
Report "past the end"
i = -1 : g(i) = 1
Report "below the start"
m(2, 0) = 1
Report "2d past the end"
x = Null : g(x) = 1
Report "Null subscript"
Set o = New Holder
g(0) = o
Report "object without Set"
WScript.Echo "default property stored:", Show(g(0))
On Error GoTo 0
' A variable holding an array is copied into the element: later changes to
' either leave the other alone.
Dim src(1)
src(0) = "a"
x = src
g(1) = x
x(0) = "changed"
WScript.Echo "array copied:", g(1)(0), x(0), src(0)
' A name that is no array yet, then one that stops being one.
Dim late
late = 3
On Error Resume Next
late(0) = 1
Report "not an array"
On Error GoTo 0
ReDim late(2)
late(2) = True
WScript.Echo "after ReDim:", Show(late(2))

' ---- If a(i) Then ----
Dim flags(4)
flags(0) = True : flags(1) = False : flags(2) = 1 : flags(3) = "True" : flags(4) = Null
For i = 0 To 3
    If flags(i) Then WScript.Echo "element", i, "true" Else WScript.Echo "element", i, "false"
Next
On Error Resume Next
If flags(4) Then WScript.Echo "Null element: then branch" Else WScript.Echo "Null element: else"
Report "Null element"
i = 9
If flags(i) Then WScript.Echo "out of range: then branch" Else WScript.Echo "out of range: else"
Report "out of range"
flags(0) = "maybe"
If flags(0) Then WScript.Echo "text element: then branch" Else WScript.Echo "text element: else"
Report "text element"
On Error GoTo 0

' ---- sums of products over Doubles ----
Dim s, a, b, y
s = 0.5 : a = 1.5 : b = 2.0
s = s + a * b
WScript.Echo "accumulate:", Show(s)
s = s - a / b
WScript.Echo "minus quotient:", Show(s)
y = 1.0
y = y * 0.5 + 0.25
WScript.Echo "product plus:", Show(y)
y = a / b - 0.25
WScript.Echo "quotient minus:", Show(y)
y = "text"
y = a * b + 0.5
WScript.Echo "over a string:", Show(y)
On Error Resume Next
s = 1.0E+308 : a = 1.0E+308 : b = 10.0
s = s + a * b
Report "product overflow"
WScript.Echo "kept:", Show(s)
s = 1.0E+308 : a = 1.0E+308 : b = 1.0
s = s + a * b
Report "sum overflow"
WScript.Echo "kept:", Show(s)
s = 1.0 : a = 1.0 : b = 0.0
s = s + a / b
Report "division by zero"
WScript.Echo "kept:", Show(s)
y = 2.0
y = a / b + 0.5
Report "quotient by zero"
WScript.Echo "kept:", Show(y)
c = 1.0E+308
y = a * 1.0E+308 + c
Report "sum past Double"
WScript.Echo "kept:", Show(y)
On Error GoTo 0
s = 1.5 : a = 2 : b = 3.0
s = s + a * b
WScript.Echo "integer factor:", Show(s)
s = 1.5 : a = 2.0 : b = 3.0 : c = 1
y = a * b + c
WScript.Echo "integer addend:", Show(y)

Sub Locals()
    Dim arr(2), k, v, s, a, b, y
    k = 2 : v = "local" : arr(k) = v : arr(0) = True
    WScript.Echo "local stores:", Show(arr(2)), Show(arr(0)), Show(arr(1))
    If arr(0) Then WScript.Echo "local element true"
    On Error Resume Next
    k = 3 : arr(k) = v
    Report "local past the end"
    On Error GoTo 0
    s = 1.0 : a = 0.5 : b = 4.0
    s = s + a * b
    y = s * a - 0.5
    WScript.Echo "local doubles:", Show(s), Show(y)
    ' An array stored into one of its own elements is a copy as it was.
    Dim q
    q = Array(1, 2)
    q(0) = q
    WScript.Echo "own copy:", TypeName(q(0)), TypeName(q(0)(0)), q(0)(1)
    On Error Resume Next
    a = 1.0E+300 : b = 1.0E+300
    y = a * b + s
    Report "local overflow"
    WScript.Echo "kept:", Show(y)
End Sub
Locals

' x = a OP b into a local from locals and literals.
Sub LocalSums(a, b)
    Dim x, fixed(1)
    x = "held text"
    x = a + b
    WScript.Echo "sum:", Show(x)
    x = a - b
    WScript.Echo "difference:", Show(x)
    x = a * b
    WScript.Echo "product:", Show(x)
    x = a + 1
    WScript.Echo "plus literal:", Show(x)
    x = 2 * b
    WScript.Echo "literal times:", Show(x)
    x = b
    x = a + x
    WScript.Echo "reads itself:", Show(x)
    On Error Resume Next
    fixed = a + b
    Report "into a fixed array"
    x = a * b
    x = a * 1.0E+308
    Report "past Double"
    WScript.Echo "kept:", Show(x)
End Sub
LocalSums 32767, 1
LocalSums CInt(3), CInt(4)
LocalSums 2147483647, 2
LocalSums 2.5, 4
LocalSums "1", 2
LocalSums True, 1
LocalSums Empty, 5
LocalSums CByte(200), CByte(100)
LocalSums CCur(1.5), 2
LocalSums Null, 1

Class Holder
    Public Default Property Get Value
        Value = "from default"
    End Property
End Class
