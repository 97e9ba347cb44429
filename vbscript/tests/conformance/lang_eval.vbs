' Eval, Execute and ExecuteGlobal with their scopes, and GetRef.
Dim g : g = 10
WScript.Echo "eval:", Eval("1 + 2 * 3"), Eval("g * 2"), TypeName(Eval("""text""")), Eval("Len(""abc"")")
' In Eval "=" compares, in Execute it assigns
WScript.Echo "eval compares:", Eval("g = 10"), Eval("g = 11"), g
Execute "g = g + 5"
WScript.Echo "execute assigns:", g
Execute "Dim fromExecute : fromExecute = 3"
WScript.Echo "execute at top level is global:", fromExecute
Execute "Function Twice(x) : Twice = x * 2 : End Function"
WScript.Echo "execute defines a function:", Twice(21)
ExecuteGlobal "Class Made : Public V : End Class"
Dim m : Set m = New Made
m.V = "class from ExecuteGlobal"
WScript.Echo m.V
Execute "WScript.Echo ""first"" : WScript.Echo ""second"""

' Inside a procedure Eval and Execute see its locals; ExecuteGlobal does not
Function EvalLocal()
    Dim g : g = 5
    EvalLocal = Eval("g * 2")
End Function
WScript.Echo "eval local:", EvalLocal()
Sub Shadow()
    Dim g : g = "local"
    ExecuteGlobal "g = ""global"""
    Execute "g = g & ""+exec"""
    WScript.Echo "shadow:", g
End Sub
Shadow
WScript.Echo "global g:", g
Sub MakeGlobal()
    ExecuteGlobal "Dim madeInSub : madeInSub = 8"
End Sub
MakeGlobal
WScript.Echo "global from sub:", madeInSub
' Execute inside a procedure works in that procedure's context: what it
' declares, variables and procedures alike, is not seen outside it
Sub MakeLocal()
    Execute "Dim madeLocally : madeLocally = 9"
    WScript.Echo "execute in sub sees its own declaration:", Eval("madeLocally")
    Execute "Sub LocalProc() : WScript.Echo ""local procedure runs"" : End Sub"
    LocalProc
End Sub
MakeLocal
WScript.Echo "and it stays local:", IsEmpty(madeLocally)
On Error Resume Next
LocalProc
WScript.Echo "procedure made by Execute in a sub, called outside:", Err.Number
Err.Clear
On Error GoTo 0

Function AddOne(x)
    AddOne = x + 1
End Function
Sub Report(prefix, value)
    WScript.Echo prefix, value
End Sub
Function Apply(fn, v)
    Apply = fn(v)
End Function
Dim f : Set f = GetRef("AddOne")
WScript.Echo "getref:", f(41), Apply(GetRef("addone"), 1), Apply(f, Apply(f, 0))
Dim r : Set r = GetRef("Report")
Call r("getref call:", "called")

On Error Resume Next
Dim v
v = Eval("1 / 0")
WScript.Echo "eval run-time error:", Err.Number : Err.Clear
v = "kept"
v = Eval("1 +")
WScript.Echo "eval syntax error:", Err.Number <> 0, v : Err.Clear
Set f = GetRef("NoSuchProcedure")
WScript.Echo "getref unknown:", Err.Number : Err.Clear
