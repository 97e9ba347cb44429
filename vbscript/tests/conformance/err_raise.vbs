' A raised error that nobody handles ends the script with its own text.
Sub Check(v)
    If v > 2 Then
        Err.Raise 1000, "Check", "Value too large"
    End If
End Sub
Check 1
WScript.Echo "checked 1"
Check 3
WScript.Echo "not reached"
