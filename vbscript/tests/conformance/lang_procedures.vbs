' Sub and Function calls: ByRef by default, ByVal, parenthesised arguments, Exit, recursion.
Sub Inc(x)
    x = x + 1
End Sub
Sub IncByVal(ByVal x)
    x = x + 1
End Sub
Sub IncByRef(ByRef x)
    x = x + 1
End Sub

Dim v
v = 1 : Inc v : WScript.Echo "byref default:", v
v = 1 : IncByVal v : WScript.Echo "byval:", v
v = 1 : IncByRef v : WScript.Echo "byref:", v
' A parenthesised argument is an expression, passed by value
v = 1 : Inc (v) : WScript.Echo "parenthesised:", v
v = 1 : Call Inc(v) : WScript.Echo "call:", v
v = 1 : Call Inc((v)) : WScript.Echo "call with extra parentheses:", v
v = 1 : Inc v + 0 : WScript.Echo "expression argument:", v

' Array elements go by reference too
Dim arr : arr = Array(1, 2)
Inc arr(1)
WScript.Echo "array element byref:", arr(1)
Sub Fill(a)
    a(0) = "filled"
End Sub
Fill arr
WScript.Echo "array byref:", arr(0)
Sub FillCopy(ByVal a)
    a(0) = "copy"
End Sub
FillCopy arr
WScript.Echo "array byval:", arr(0)

Function Square(n)
    Square = n * n
End Function
Function NoResult()
End Function
Function Early(n)
    Early = "before"
    If n > 0 Then Exit Function
    Early = "after"
End Function
WScript.Echo "function:", Square(7), TypeName(NoResult()), Early(1), Early(0)
' The function name is a local variable while the function runs
Function Accumulate(n)
    Dim i
    Accumulate = 0
    For i = 1 To n
        Accumulate = Accumulate + i
    Next
End Function
WScript.Echo "result variable:", Accumulate(10)

Function Fact(n)
    If n <= 1 Then Fact = 1 Else Fact = n * Fact(n - 1)
End Function
WScript.Echo "recursion:", Fact(10), Fact(20)

Sub EarlySub(ByRef log)
    log = log & "a"
    Exit Sub
    log = log & "b"
End Sub
Dim logText : logText = ""
EarlySub logText
WScript.Echo "exit sub:", logText

' Locals are fresh per call and do not touch globals of the same name
Dim counter : counter = 100
Function LocalCounter()
    Dim counter
    counter = counter + 1
    LocalCounter = counter
End Function
WScript.Echo "locals:", LocalCounter(), LocalCounter(), counter
' Undeclared names inside a procedure are local to it
Function Implicit()
    undeclaredLocal = 5
    Implicit = undeclaredLocal
End Function
WScript.Echo "implicit local:", Implicit(), IsEmpty(undeclaredLocal)
' Procedures may be called before their definition in the file
WScript.Echo "forward:", Later(2)
Function Later(x)
    Later = x * 100
End Function

' A function called as a statement discards its result
Square 3
Call Square(3)
' Arguments are evaluated left to right
Dim trace : trace = ""
Function T(x)
    trace = trace & x
    T = x
End Function
v = Square(T(1) + T(2) * T(3))
WScript.Echo "argument order:", trace, v

' Errors of calls
On Error Resume Next
v = Square(1, 2)
WScript.Echo "too many arguments:", Err.Number, Err.Description : Err.Clear
v = Square()
WScript.Echo "too few arguments:", Err.Number : Err.Clear
v = NotDefinedAnywhere(1)
WScript.Echo "unknown function:", Err.Number : Err.Clear
