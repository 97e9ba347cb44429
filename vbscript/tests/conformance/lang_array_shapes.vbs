' Element reads and writes after every change of an array's shape: each
' must see the bounds the array has now, and raise 9 outside them.
Dim a(), b, c, k, r
Sub Try(label, ByVal code)
    On Error Resume Next
    r = Empty
    Execute code
    WScript.Echo label & ":", Err.Number, r
    Err.Clear
End Sub

ReDim a(4)
For k = 0 To 4 : a(k) = k * 10 : Next
Try "1-D last", "r = a(4)"
Try "1-D past", "r = a(5)"
Try "1-D negative", "r = a(-1)"
Try "1-D with two", "r = a(1, 1)"
ReDim Preserve a(2)
Try "shrunk last", "r = a(2)"
Try "shrunk past", "r = a(3)"
ReDim Preserve a(6)
Try "grown new", "r = TypeName(a(6))"
Try "grown kept", "r = a(2)"
ReDim a(2, 3)
Try "2-D corner", "a(2, 3) = 7 : r = a(2, 3)"
Try "2-D first past", "r = a(3, 0)"
Try "2-D second past", "r = a(0, 4)"
Try "2-D with one", "r = a(1)"
ReDim Preserve a(2, 5)
Try "2-D grown", "a(2, 5) = 9 : r = a(2, 5) & a(2, 3)"
ReDim a(1, 1, 1)
Try "3-D", "a(1, 1, 1) = 3 : r = a(1, 1, 1)"
Try "3-D past", "r = a(1, 2, 1)"
Try "3-D with one", "r = a(0)"
Erase a
Try "erased", "r = a(0)"
ReDim a(1)
Try "again", "a(1) = ""x"" : r = a(1)"

' A copy is written apart from its original.
b = Array(1, 2, 3)
c = b
c(0) = "changed"
WScript.Echo "copy:", b(0), c(0), UBound(b), UBound(c)
Try "literal array past", "r = b(3)"
b = Split("p,q", ",")
Try "split", "r = b(1) & UBound(b)"
Try "split past", "r = b(2)"

' Values of every kind over one another in one element.
ReDim a(0)
a(0) = 5 : a(0) = "text" : WScript.Echo "over:", TypeName(a(0)), a(0)
a(0) = 2.5 : WScript.Echo "back:", TypeName(a(0)), a(0)
Dim fixed(1)
fixed(1) = Null : fixed(0) = fixed(1)
WScript.Echo "null:", IsNull(fixed(0))
