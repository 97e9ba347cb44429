' Fixed and dynamic arrays, ReDim [Preserve], Erase, bounds and copy semantics.
Dim a(3), i
For i = 0 To 3 : a(i) = i * i : Next
WScript.Echo "fixed:", UBound(a), LBound(a), a(3), Join(a, ",")
WScript.Echo "rounded index:", a(1.5), a(2.5), a("3")
Dim m(2, 4)
m(2, 4) = "corner"
WScript.Echo "2d:", UBound(m), UBound(m, 1), UBound(m, 2), LBound(m, 2), m(2, 4), "[" & m(0, 0) & "]"

Dim d()
ReDim d(2)
d(0) = "a" : d(1) = "b" : d(2) = "c"
ReDim Preserve d(4)
WScript.Echo "preserve:", UBound(d), Join(d, "-")
ReDim Preserve d(1)
WScript.Echo "shrink:", UBound(d), Join(d, "-")
ReDim d(1)
WScript.Echo "redim clears:", IsEmpty(d(0)), IsEmpty(d(1))
Dim g
ReDim g(1, 2)
g(1, 2) = 5
g(0, 0) = 1
ReDim Preserve g(1, 5)
WScript.Echo "preserve 2d:", UBound(g, 1), UBound(g, 2), g(1, 2), g(0, 0), IsEmpty(g(1, 5))
Dim n
n = 3
ReDim cube(n, n - 1, 1)
cube(3, 2, 1) = "last"
WScript.Echo "3d:", UBound(cube, 1), UBound(cube, 2), UBound(cube, 3), cube(3, 2, 1)

' Assignment copies the array, not a reference to it
Dim b, c
b = Array(1, 2, 3)
c = b
c(0) = 99
WScript.Echo "copy:", b(0), c(0)
Dim f(1)
f(0) = "x"
c = f
c(0) = "y"
WScript.Echo "copy fixed:", f(0), c(0)

' The loop variable of For Each is a copy of the element
Dim x
For Each x In b
    x = 0
Next
WScript.Echo "for each copy:", Join(b, ",")
Dim total : total = 0
For Each x In m
    If Not IsEmpty(x) Then total = total + 1
Next
WScript.Echo "for each 2d visits:", total

Dim z : z = Array()
WScript.Echo "empty array:", UBound(z), LBound(z), IsArray(z)
Dim nest : nest = Array(Array(1, 2), Array(3, Array("deep")))
WScript.Echo "nested:", nest(1)(0), UBound(nest(0)), nest(1)(1)(0)

Erase a
WScript.Echo "erase fixed:", UBound(a), IsEmpty(a(3))

On Error Resume Next
Erase d
i = UBound(d)
WScript.Echo "erase dynamic:", Err.Number, Err.Description : Err.Clear
i = a(4)
WScript.Echo "index past end:", Err.Number : Err.Clear
i = a(-1)
WScript.Echo "negative index:", Err.Number : Err.Clear
i = m(1)
WScript.Echo "wrong dimensions:", Err.Number : Err.Clear
i = UBound(m, 3)
WScript.Echo "UBound dimension 3:", Err.Number : Err.Clear
ReDim Preserve g(2, 5)
WScript.Echo "preserve first dimension:", Err.Number : Err.Clear
i = 5
i = i(0)
WScript.Echo "index a number:", Err.Number : Err.Clear
i = UBound("text")
WScript.Echo "UBound of text:", Err.Number : Err.Clear
