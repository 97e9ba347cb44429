' Arguments a fixed call builds straight in the callee's slots (literals,
' locals, a local plus or minus a whole-number literal) and the sum of two
' call results stored into a local: the subtypes, values and errors must
' be those of the operators and of argument passing themselves.
Function Show(v)
    Show = TypeName(v) & ":" & v
End Function
Function ShowV(ByVal v)
    ShowV = TypeName(v) & ":" & v
End Function
Function Pair(a, b)
    Pair = Show(a) & "," & Show(b)
End Function

Sub Subtypes()
    Dim i, l, d, s, e, nl, b, dt, c, by, big
    i = 5 : d = 2.5 : s = "5" : nl = Null : b = True
    WScript.Echo "integer:", Show(i - 1), Show(i + 1), ShowV(i - 1), Show(i + 100000), Show(i - 40000)
    i = 32767
    WScript.Echo "integer edge:", Show(i + 1), Show(i - 1), ShowV(i + 1)
    i = -32768
    WScript.Echo "integer low edge:", Show(i - 1), Show(i + 1)
    l = 2147483647
    WScript.Echo "long edge:", Show(l + 1), Show(l - 1), Show(l + 32767)
    l = -2147483647 - 1
    WScript.Echo "long low edge:", Show(l - 1), Show(l + 1), VarType(l - 1)
    l = 100000
    WScript.Echo "long:", Show(l - 1), Show(l + 1)
    WScript.Echo "double:", Show(d - 1), Show(d + 1)
    WScript.Echo "string:", Show(s - 1), Show(s + 1), ShowV(s - 1)
    WScript.Echo "empty:", Show(e + 1), Show(e - 1), Show(e)
    WScript.Echo "null:", Show(nl + 1), Show(nl - 1), Show(nl)
    WScript.Echo "boolean:", Show(b + 1), Show(b - 1), Show(b)
    dt = #1/2/2000#
    WScript.Echo "date:", Show(dt + 1), Show(dt - 1)
    c = CCur(1.5) : by = CByte(255)
    WScript.Echo "currency and byte:", Show(c + 1), Show(by + 1), Show(by - 1)
    big = 1.7976931348623157E+308
    WScript.Echo "huge double:", Show(big - 1) = Show(big)
    WScript.Echo "literals:", Show(1), Show(32768), Show(2147483648), Show(1.5), Show("x"), Show(True), Show(Null), Show(Empty)
    WScript.Echo "pair:", Pair(i + 1, l - 1), Pair("a", 2)
End Sub
Subtypes

' The same at the top level, where the variables are global.
gi = 32767 : gl = 2147483647
WScript.Echo "globals:", Show(gi + 1), Show(gl + 1), Show(gi - 1)

' Errors an argument raises while it is built, and argument counts.
Sub Errors()
    Dim s, o, r
    s = "abc"
    On Error Resume Next
    r = "unset"
    r = Show(s - 1)
    WScript.Echo "string minus one:", Err.Number, r
    Err.Clear
    Set o = New RegExp
    r = Show(o + 1)
    WScript.Echo "object plus one:", Err.Number, r
    Err.Clear
    r = Pair(1)
    WScript.Echo "too few:", Err.Number, r
    Err.Clear
    r = Pair(1, 2, 3)
    WScript.Echo "too many:", Err.Number, r
    Err.Clear
    r = Show(s - 1, 2)
    WScript.Echo "too many, expression:", Err.Number, r
    Err.Clear
    On Error GoTo 0
End Sub
Errors

' ByRef (the default) and ByVal: a local stays aliased; an expression, a
' literal or a parenthesised local goes by value.
Sub Inc(a)
    a = a + 1
End Sub
Sub IncV(ByVal a)
    a = a + 1
End Sub
Sub Twice(a, b)
    a = a + 1
    b = b * 10
End Sub
Function IncRet(a)
    a = a + 1
    IncRet = a
End Function
Sub Passing()
    Dim x, y
    x = 1
    Inc x
    WScript.Echo "byref local:", x, TypeName(x)
    IncV x
    WScript.Echo "byval local:", x
    Inc x + 0
    WScript.Echo "expression:", x
    Inc x - 1
    WScript.Echo "local minus literal:", x
    Inc (x)
    WScript.Echo "parenthesised:", x
    Inc 5
    Twice x, x
    WScript.Echo "aliased twice:", x
    y = 7
    WScript.Echo "returns:", IncRet(y), y, IncRet(y - 1), y, IncRet(3), y
    x = 32767
    Inc x
    WScript.Echo "byref overflow:", x, TypeName(x)
End Sub
Passing

' A procedure with ByVal and ByRef parameters: each argument by its own
' parameter, an array element after a ByVal one still by reference.
Function Mix(ByVal a, b, ByVal c)
    a = a + 1 : b = b + 1 : c = c + 1
    Mix = a & "," & b & "," & c
End Function
Sub Mixed()
    Dim x, y, z, arr(1)
    x = 1 : y = 10 : z = 100 : arr(0) = 5
    WScript.Echo "mixed:", Mix(x, y, z), x, y, z
    WScript.Echo "mixed element:", Mix(x - 1, arr(0), arr(0)), arr(0)
    WScript.Echo "mixed literals:", Mix(1, 2, 32767 + 0), Mix("7", y - 1, z + 1), y
End Sub
Mixed

' x = F(..) OP G(..) into a local.
Function One(a)
    One = a
End Function
Function Two(a, b)
    Two = a
End Function
Function Obj(a)
    Set Obj = New RegExp
End Function
Sub Sums()
    Dim r, fixed(1)
    r = One(32767) + One(1)
    WScript.Echo "sum:", r, TypeName(r)
    r = One(2147483647) + One(1)
    WScript.Echo "long sum:", r, TypeName(r)
    r = One(3) - One(5)
    WScript.Echo "difference:", r, TypeName(r)
    r = One(300) * One(300)
    WScript.Echo "product:", r, TypeName(r)
    r = One("a") + One("b")
    WScript.Echo "strings:", r, TypeName(r)
    r = One("2") + One(3)
    WScript.Echo "string and number:", r, TypeName(r)
    r = One(Null) + One(1)
    WScript.Echo "null:", TypeName(r)
    r = One(Empty) - One(Empty)
    WScript.Echo "empty:", r, TypeName(r)
    r = One(1.5) * One(2)
    WScript.Echo "double:", r, TypeName(r)
    r = One(1) + Two(2, 3)
    WScript.Echo "mixed counts:", r, TypeName(r)
    r = u(0) + u(1)
    WScript.Echo "elements:", r, TypeName(r)
    On Error Resume Next
    r = "unset"
    r = Obj(1) + One(1)
    WScript.Echo "object:", Err.Number, r
    Err.Clear
    fixed = One(1) + One(2)
    WScript.Echo "into a fixed array:", Err.Number, IsArray(fixed)
    Err.Clear
    On Error GoTo 0
End Sub
ReDim u(1)
u(0) = 4 : u(1) = 5
Sums

Function Fib(n)
    If n < 2 Then
        Fib = n
    Else
        Fib = Fib(n - 1) + Fib(n - 2)
    End If
End Function
WScript.Echo "fib:", Fib(20), TypeName(Fib(20)), Fib(25), TypeName(Fib(25)), Fib(2.5)
