' Me at the top level is the script itself; unary plus leaves its operand
' as it is; a procedure named in parentheses is called with the argument
' list that follows; Class_Terminate at the end of the script still sees
' the globals.
Set self = Me
Function Twice(n) : Twice = n * 2 : End Function
WScript.Echo "me:", Me Is Me, self Is Me, Me.Twice(4)

Set rx = New RegExp
WScript.Echo "plus:", +rx Is rx, TypeName(+"true"), +"true", TypeName(+True), TypeName(+CByte(3)), IsEmpty(+Empty)

Function SetFirst(arr)
    arr(0) = 2
    SetFirst = 1
End Function
x = Array(0, 0)
y = (SetFirst)(x)
WScript.Echo "parenthesised procedure:", y, x(0)
x(0) = 0
y = ((SetFirst))((x))
WScript.Echo "argument in parentheses goes by value:", y, x(0)
WScript.Echo "built-in:", (Len)("abcd"), (UCase)("q")

Class Tally
    Private Sub Class_Terminate()
        total = total + 1
        WScript.Echo "terminate at the end sees the global:", total, label
    End Sub
End Class
total = 41
Set t = New Tally
label = "set after the object"
