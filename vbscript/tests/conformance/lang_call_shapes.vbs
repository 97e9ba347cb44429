' Procedures whose body is one If on a comparison, or one statement, and
' operators and calls that read locals by slot: every shape must give the
' results, subtypes and errors of the general path.
Function Probe(v)
    Probe = TypeName(v) & ":" & v
End Function

' One If, with empty and multi-statement branches.
Function NoElse(a, b)
    NoElse = "start"
    If a < b Then
        NoElse = "less"
    End If
End Function
Function EmptyThen(a, b)
    If a < b Then
    Else
        EmptyThen = "not less"
    End If
End Function
Function TwoEach(a, b)
    If a >= b Then
        TwoEach = "ge"
        TwoEach = TwoEach & "!"
    Else
        TwoEach = "lt"
        TwoEach = TwoEach & "?"
    End If
End Function
WScript.Echo "if shapes:", NoElse(1, 2), NoElse(2, 1), "[" & EmptyThen(1, 2) & "]", EmptyThen(2, 1), TwoEach(1, 2), TwoEach(2, 2)

' A condition that fails: under On Error Resume Next the Then branch runs.
Function Guarded(a, b)
    On Error Resume Next
    If a < b Then Guarded = "then" Else Guarded = "else"
End Function
Function Unguarded(a, b)
    If a < b Then Unguarded = "then" Else Unguarded = "else"
End Function
Dim o
Set o = New RegExp
WScript.Echo "guarded:", Guarded(o, 1), Guarded(2, 1)
On Error Resume Next
r = "unset"
r = Unguarded(o, 1)
WScript.Echo "unguarded:", Err.Number, r
Err.Clear
On Error GoTo 0

' Branches that copy one local into another: the result, or a ByRef
' parameter, which must reach the caller's variable.
Function Pick(a, b)
    If a < b Then Pick = a Else Pick = b
End Function
WScript.Echo "pick:", Pick(1, 2), Pick("b", "a"), Probe(Pick(2.5, 3)), Probe(Pick(Null, 1)), Probe(Pick(Empty, 1))
On Error Resume Next
r = "unset"
r = Pick(1, o)
WScript.Echo "pick object:", Err.Number, r
Err.Clear
On Error GoTo 0
Sub Lower(a, b)
    If a < b Then b = a Else a = b
End Sub
Dim x, y
x = 5 : y = 9
Lower x, y
WScript.Echo "lower:", x, y
x = "q" : y = "p"
Lower x, y
WScript.Echo "lower text:", x, y

' One statement as the whole body, then the procedure replaced.
Function One(a)
    One = a * 2
End Function
WScript.Echo "one:", One(21), Probe(One(16384))
ExecuteGlobal "Function One(a) : One = a & ""/"" & a : End Function"
WScript.Echo "replaced:", One(21)

' Comparisons and arithmetic between locals, ByRef parameters among them.
Function Mix(a, b)
    Dim c, d
    c = a + b
    d = a - b
    If c < d Then Mix = "c<d " Else Mix = "c>=d "
    Mix = Mix & Probe(c) & " " & Probe(d) & " " & Probe(a * b)
End Function
WScript.Echo "mix:", Mix(3, 4)
WScript.Echo "mix long:", Mix(32767, 1)
WScript.Echo "mix double:", Mix(1.5, 2)
WScript.Echo "mix text:", Mix("2", "3")
WScript.Echo "mix empty:", Mix(Empty, 5)
WScript.Echo "mix null:", Mix(Null, 1)

' Integer literals at the edges of what a call builds in place.
Function Edges(n)
    Edges = Probe(n + 32767) & " " & Probe(n - 32767) & " " & Probe(n + 0) & " " & Probe(n - -1) & " " & Probe(n + 32768)
End Function
WScript.Echo "edges:", Edges(1)
WScript.Echo "edges long:", Edges(-2147483647)

' A local whose slot lies beyond what fits beside a literal.
Dim src, k
src = "Function Wide(n)" & vbCrLf & "Dim v0"
For k = 1 To 66000
    src = src & ", v" & k
Next
src = src & vbCrLf & "v66000 = n" & vbCrLf
src = src & "Wide = Probe(v66000 - 1) & "" "" & Probe(v66000 + 1) & "" "" & Probe(v66000) & "" "" & Step(v66000)" & vbCrLf
src = src & "End Function"
Function Step(x)
    x = x + 10
    Step = x
End Function
ExecuteGlobal src
WScript.Echo "wide:", Wide(5), Wide(32767)

' ByRef through a local at a high slot still reaches the variable.
Sub Bump(x)
    x = x + 1
End Sub
src = "Function WideRef(n)" & vbCrLf & "Dim w0"
For k = 1 To 66000
    src = src & ", w" & k
Next
src = src & vbCrLf & "w66000 = n" & vbCrLf & "Bump w66000" & vbCrLf & "WideRef = w66000" & vbCrLf & "End Function"
ExecuteGlobal src
WScript.Echo "wide byref:", WideRef(41)

' Recursion through the If shape with arguments that are locals and
' locals minus a literal.
Function Tak(x, y, z)
    If y < x Then
        Tak = Tak(Tak(x - 1, y, z), Tak(y - 1, z, x), Tak(z - 1, x, y))
    Else
        Tak = z
    End If
End Function
WScript.Echo "tak:", Tak(18, 12, 6), Probe(Tak(18, 12, 6.5)), Probe(Tak(4, 2, "7"))
