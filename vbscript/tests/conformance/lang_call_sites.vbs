' Calls with up to four arguments: every way an argument reaches a ByRef
' or ByVal parameter, nested calls as arguments, errors while the
' arguments are built, and a procedure redefined with another arity.
Function Bump(a, b, c)
    a = a + 1 : b = b & "+" : c = c * 2
    Bump = a + c
End Function
Function Keep(ByVal a, ByVal b)
    a = 0 : b = 0
    Keep = "kept"
End Function

Dim g1, g2, arr(2), typed
g1 = 10 : g2 = "g"
Sub Locals()
    Dim x, y, z, loc(1)
    x = 1 : y = "y" : z = 3 : loc(0) = 5
    WScript.Echo "locals:", Bump(x, y, z), x, y, z
    WScript.Echo "local element:", Bump(loc(0), y, z), loc(0), y, z
    WScript.Echo "byval:", Keep(x, loc(0)), x, loc(0)
End Sub
Locals
WScript.Echo "globals:", Bump(g1, g2, g1), g1, g2
implicit1 = 7
WScript.Echo "implicit:", Bump(implicit1, g2, implicit2), implicit1, implicit2
arr(1) = 4
WScript.Echo "global element:", Bump(arr(1), arr(2), arr(0)), arr(1), arr(2), arr(0)
ReDim undeclared(1)
undeclared(0) = 1 : undeclared(1) = 2
WScript.Echo "undeclared array:", Bump(undeclared(0), undeclared(1), 3), undeclared(0), undeclared(1)
typed = Split("5,b,3", ",")
WScript.Echo "typed element:", Bump(typed(0), typed(1), typed(2)), typed(0), typed(1), typed(2), TypeName(typed(0))
WScript.Echo "expressions:", Bump(g1 + 0, (g2), 2), g1, g2

Class Holder
    Private m
    Public n
    Public Function Run()
        m = 1 : n = 2
        Run = Bump(m, n, m) & " " & m & " " & n
    End Function
End Class
Set h = New Holder
WScript.Echo "fields:", h.Run(), h.n
WScript.Echo "member argument:", Bump(h.n, g2, 1), h.n

' Calls as arguments, to any depth, and their results moved into locals
' and globals.
Function Tak(x, y, z)
    If y < x Then
        Tak = Tak(Tak(x - 1, y, z), Tak(y - 1, z, x), Tak(z - 1, x, y))
    Else
        Tak = z
    End If
End Function
Function Add4(a, b, c, d)
    Add4 = a + b + c + d
End Function
Function One(a)
    One = a
End Function
Function Two(a, b)
    Two = a & b
End Function
total = Tak(12, 8, 4)
WScript.Echo "tak:", total, Add4(One(1), Two(2, 3), One(One(4)), Add4(1, 2, 3, 4))
Sub InProc()
    Dim t, u
    t = Tak(9, 6, 3)
    u = Two(t, t)
    WScript.Echo "in a procedure:", t, u, TypeName(u)
End Sub
InProc
v = 5
v = Bump(v, g2, v)
WScript.Echo "target passed ByRef:", v

' Errors while the arguments are built: the frame goes, and what the
' arguments already held is released.
Class Tracer
    Public Name
    Private Sub Class_Terminate()
        WScript.Echo "terminate", Name
    End Sub
End Class
Function MakeTracer(n)
    Set MakeTracer = New Tracer
    MakeTracer.Name = n
End Function
Function Three(a, b, c)
    Three = "ran"
End Function
Function Strings(a, b, c, d)
    Dim s, t
    s = a & b : t = c & d
    Strings = s & t
End Function
WScript.Echo Strings("a", "b", "c", "d")
On Error Resume Next
r = "unset"
r = Three(MakeTracer("first"), 1 / 0, "x")
WScript.Echo "after error:", Err.Number, r
Err.Clear
Dim fixedArr(1)
r = Three(MakeTracer("second"), fixedArr(5), "x")
WScript.Echo "after element error:", Err.Number, r
Err.Clear
r = Three(1, 2)
WScript.Echo "too few:", Err.Number, r
Err.Clear
r = One(1, 2)
WScript.Echo "too many:", Err.Number, r
Err.Clear
fixedArr = Two(1, 2)
WScript.Echo "into a fixed array:", Err.Number
Err.Clear
o = MakeTracer("third")
WScript.Echo "object without Set:", Err.Number
Err.Clear
On Error GoTo 0
WScript.Echo "still counting:", Add4(1, 2, 3, 4), Strings("e", "f", "g", "h")

' A procedure defined again with another number of parameters.
Function G(a)
    G = a * 2
End Function
Function UseG(x)
    UseG = G(x)
End Function
WScript.Echo "before:", UseG(3)
ExecuteGlobal "Function G(a, b) : G = a + b : End Function"
On Error Resume Next
r = UseG(3)
WScript.Echo "after:", Err.Number
Err.Clear
On Error GoTo 0
ExecuteGlobal "Function UseG2(x) : UseG2 = G(x, x) : End Function"
WScript.Echo "new arity:", UseG2(3)

' Calls as statements, and calls without arguments.
Dim sx, sy, sz
sx = 1 : sy = "s" : sz = 2
Bump sx, sy, sz
WScript.Echo "statement:", sx, sy, sz
Call Bump(sx, sy, sz)
WScript.Echo "call statement:", sx, sy, sz
Bump (sx), sy, sz
WScript.Echo "parenthesised argument:", sx, sy, sz
count = 0
Sub Tick()
    count = count + 1
End Sub
Function Now2()
    Now2 = count * 10
End Function
Tick
Call Tick()
Tick()
WScript.Echo "no arguments:", count, Now2(), Now2
n2 = Now2()
WScript.Echo "result of no arguments:", n2
On Error Resume Next
Tick 1
WScript.Echo "statement, too many:", Err.Number, count
Err.Clear
NotDefinedAnywhere 1, 2
WScript.Echo "statement, not defined:", Err.Number
Err.Clear
sx 1
WScript.Echo "statement on a variable:", Err.Number
Err.Clear
On Error GoTo 0
