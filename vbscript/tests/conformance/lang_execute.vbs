' Execute and ExecuteGlobal with whole blocks of code, and from class methods.
Dim code
code = "Sub Greet(name)" & vbCrLf & _
       "    greeting = ""hello "" & name" & vbCrLf & _
       "End Sub" & vbCrLf & _
       "Greet ""world"""
Dim greeting
ExecuteGlobal code
WScript.Echo "block:", greeting
Greet "again"
WScript.Echo "procedure stays defined:", greeting
Execute "Dim i, total : total = 0 : For i = 1 To 4 : total = total + i : Next"
WScript.Echo "loop in one line:", total

Class Loader
    Public Sub Load(text)
        ExecuteGlobal text
    End Sub
    Public Function Calc(expr)
        Calc = Eval(expr)
    End Function
End Class
Dim ld : Set ld = New Loader
ld.Load "Function Cube(x) : Cube = x * x * x : End Function"
WScript.Echo "defined from a method:", Cube(3), ld.Calc("Cube(2) + 1")

On Error Resume Next
ExecuteGlobal "Function Broken( : End Function"
WScript.Echo "compile error in ExecuteGlobal raised:", Err.Number <> 0
Err.Clear
Execute "Err.Raise 7"
WScript.Echo "run-time error in Execute:", Err.Number, Err.Description
Err.Clear
' Declaring an existing name again, as when one file is included twice
ExecuteGlobal "Dim greeting"
WScript.Echo "dim again through ExecuteGlobal:", Err.Number, Err.Description, greeting
