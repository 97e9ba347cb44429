' Order of Class_Initialize and Class_Terminate for nested objects, on
' leaving a procedure by an error, and for objects alive when the script ends.
Dim log
Class Inner
    Private Sub Class_Initialize() : log = log & "+inner" : End Sub
    Private Sub Class_Terminate() : log = log & "-inner" : End Sub
End Class
Class Outer
    Private child
    Private Sub Class_Initialize()
        log = log & "+outer"
        Set child = New Inner
        log = log & "(child made)"
    End Sub
    Private Sub Class_Terminate()
        log = log & "-outer"
    End Sub
End Class
Dim o : Set o = New Outer
WScript.Echo "initialize:", log
log = ""
Set o = Nothing
WScript.Echo "terminate:", log

log = ""
Sub Fails()
    Dim local : Set local = New Inner
    Err.Raise 5
End Sub
On Error Resume Next
Fails
WScript.Echo "left by an error:", log, Err.Number
Err.Clear
On Error GoTo 0

Class Farewell
    Private Sub Class_Terminate()
        WScript.Echo "terminated when the script ends"
    End Sub
End Class
Dim keep : Set keep = New Farewell
WScript.Echo "last statement"
