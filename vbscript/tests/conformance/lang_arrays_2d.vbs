' Two-dimensional element reads and writes, on globals and in procedures,
' in loops where they take the quick route and in the corners where they
' must not.
Dim g(2, 3), i, j, s
For i = 0 To 2
    For j = 0 To 3
        g(i, j) = i * 10 + j
    Next
Next
s = 0
For i = 0 To 2
    For j = 0 To 3
        s = s + g(i, j) * g(2 - i, 3 - j)
    Next
Next
WScript.Echo "global sum:", s, g(2, 3), g(0, 3), g(2, 0)

Function LocalProduct(n)
    Dim a(), b, k, r, c
    ReDim a(n, n)
    For r = 0 To n
        For c = 0 To n
            a(r, c) = r - c
        Next
    Next
    b = a          ' a copy: writes to b leave a alone
    b(1, 0) = "x"
    k = 0
    For r = 0 To n
        k = k + a(r, 0) * a(0, r)
    Next
    LocalProduct = k & " " & a(1, 0) & " " & b(1, 0)
End Function
WScript.Echo "local:", LocalProduct(3)

' Subscripts are rounded as for one dimension; text counts as its number.
WScript.Echo "subscripts:", g(1.5, 2.5), g("1", "3"), g(0.4, 0.6)

On Error Resume Next
Dim v
v = g(3, 0) : WScript.Echo "row past end:", Err.Number : Err.Clear
v = g(0, 4) : WScript.Echo "column past end:", Err.Number : Err.Clear
v = g(-1, 0) : WScript.Echo "negative:", Err.Number : Err.Clear
g(0, 4) = 1 : WScript.Echo "write past end:", Err.Number : Err.Clear
v = g(1) : WScript.Echo "one subscript of two:", Err.Number : Err.Clear
Dim one(3)
v = one(1, 1) : WScript.Echo "two subscripts of one:", Err.Number : Err.Clear
one(1, 1) = 5 : WScript.Echo "write two of one:", Err.Number : Err.Clear
Dim notArr
v = notArr(1, 1) : WScript.Echo "not an array:", Err.Number : Err.Clear
notArr(1, 1) = 2 : WScript.Echo "write to non-array:", Err.Number : Err.Clear
v = g("a", 0) : WScript.Echo "bad subscript:", Err.Number : Err.Clear
On Error GoTo 0

' A subscript that replaces the array being indexed.
Dim h
ReDim h(1, 1)
h(1, 1) = "old"
Function Swap()
    h = "gone"
    Swap = 1
End Function
On Error Resume Next
v = h(1, Swap())
WScript.Echo "replaced while reading:", Err.Number, h
Err.Clear
ReDim h(1, 1)
h(Swap(), 1) = 3
WScript.Echo "replaced while writing:", Err.Number, h
On Error GoTo 0

' Elements hold any subtype; an object goes in through its default value.
Dim d(1, 1)
Set d(0, 0) = CreateObject("Scripting.Dictionary")
d(0, 0).Add "k", 7
d(1, 0) = d(0, 0).Item("k") + 0.5
d(0, 1) = "text"
d(1, 1) = Null
WScript.Echo "mixed:", TypeName(d(0, 0)), d(1, 0), d(0, 1), IsNull(d(1, 1))

' Passing an element ByRef changes it in place.
Sub Bump(x)
    x = x + 100
End Sub
Bump g(1, 1)
WScript.Echo "byref element:", g(1, 1)

' An element read as an operand keeps its value when the other operand
' resizes or replaces the array.
Dim e, e1
ReDim e(1, 1), e1(2)
Function Grow()
    ReDim e1(100000)
    e1(0) = 1000
    Grow = 1
End Function
Function Replace2D
    e = Empty
    Replace2D = 2
End Function
e1(0) = 5 : e(1, 1) = 7
WScript.Echo "left kept:", e1(0) + Grow(), e1(0) * Grow, e(1, 1) - Replace2D
Dim k2 : k2 = 0
e1(0) = 3
WScript.Echo "right after left:", e1(k2) * e1(k2 + 0), e1(0) < 4, 2.5 * e1(0)
