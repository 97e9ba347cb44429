' A procedure of the same name as a variable: the error names the variable's
' line, the one a loader can comment out.
Dim rate
rate = 0.05
WScript.Echo "never printed"
Function Rate()
    Rate = 0.05
End Function
