' A procedure declared after a variable of the same name: the error is at
' the later declaration, the procedure's.
Dim rate
rate = 0.05
WScript.Echo "never printed"
Function Rate()
    Rate = 0.05
End Function
