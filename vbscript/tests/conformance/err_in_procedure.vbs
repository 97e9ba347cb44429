' The position reported is the failing statement inside the procedure.
Function Ratio(a, b)
    Dim q
    q = a \ b
    Ratio = q
End Function
WScript.Echo Ratio(7, 2)
WScript.Echo Ratio(1, 0)
WScript.Echo "not reached"
