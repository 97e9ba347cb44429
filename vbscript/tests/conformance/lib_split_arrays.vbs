' Split and Filter give ordinary arrays of Variants that hold strings, as
' Array() and the Dictionary lists do: their elements take any value.
Dim a, b, x, s
a = Split("x,y,z", ",")
WScript.Echo "split:", TypeName(a), VarType(a), IsArray(a), LBound(a), UBound(a), TypeName(a(0))
a(1) = "Y"
WScript.Echo "assigned:", Join(a, "-"), UBound(a)
For Each x In a
  s = s & "[" & x & "]"
Next
WScript.Echo "for each:", s

' ReDim Preserve keeps the elements; the new ones are Empty
ReDim Preserve a(4)
WScript.Echo "grown:", UBound(a), TypeName(a), "<" & a(4) & ">", TypeName(a(4)), Join(a, "|")
ReDim Preserve a(1)
WScript.Echo "shrunk:", Join(a, "|"), TypeName(a)

' Passed by reference the callee writes the caller's array; by value a copy
Function FirstAndCount(arr)
  FirstAndCount = arr(0) & "/" & (UBound(arr) + 1)
  arr(0) = "changed"
End Function
Sub Touch(ByVal arr)
  arr(0) = "byval"
End Sub
b = a
WScript.Echo "byref:", FirstAndCount(b), b(0), a(0)
Touch a
WScript.Echo "byval:", a(0)

' Assigning an array copies it
b = Split("1 2 3")
x = b
x(0) = "one"
WScript.Echo "copy:", Join(b), Join(x)

' Empty text and Filter
a = Split("")
WScript.Echo "empty:", UBound(a), TypeName(a)
a = Filter(Split("ab cd ae"), "a")
WScript.Echo "filter:", Join(a), TypeName(a), VarType(a)

' A plain ReDim makes a new Variant array
ReDim a(2)
WScript.Echo "redim:", TypeName(a), VarType(a), TypeName(a(0))

' Inside other containers
Dim c(1)
c(0) = Split("p q")
WScript.Echo "nested:", TypeName(c), TypeName(c(0)), c(0)(1), UBound(c(0))
Set d = CreateObject("Scripting.Dictionary")
d.Add "k", Split("1 2")
WScript.Echo "dictionary:", TypeName(d("k")), TypeName(d.Keys), TypeName(d.Items), TypeName(Array())

' Returned from a function, held in a dynamic array variable or a class field
Function Parts(text)
  Parts = Split(text, ";")
End Function
Dim p() : p = Parts("x;y")
ReDim Preserve p(2)
p(2) = "z"
WScript.Echo "returned:", TypeName(p), Join(p), UBound(Parts("1;2;3"))
Class Holder
  Public Items
End Class
Set h = New Holder
h.Items = Split("m n")
h.Items(1) = "N"
WScript.Echo "field:", Join(h.Items), TypeName(h.Items)

' What is stored keeps its own type: numbers compare as numbers, arrays and
' objects fit, and so does another Split result
a = Split("a b c")
a(0) = 5
a(1) = True
a(2) = 2.5
WScript.Echo "stored:", TypeName(a(0)), a(0), TypeName(a(1)), a(1), TypeName(a(2)), a(2)
a(0) = 10 : a(1) = 9
WScript.Echo "numbers:", a(0) > a(1)
a(0) = Null
WScript.Echo "null:", TypeName(a(0))
Set a(0) = CreateObject("Scripting.Dictionary")
WScript.Echo "object:", TypeName(a(0))
a(1) = Array(1, 2)
a(2) = Split("r s")
WScript.Echo "arrays:", TypeName(a(1)), a(1)(1), a(2)(0) & a(2)(1)
Sub SetFirst(v)
  v = 42
End Sub
SetFirst a(1)
WScript.Echo "byref element:", TypeName(a(1)), a(1)
