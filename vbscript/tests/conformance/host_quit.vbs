' WScript.Quit ends the script from inside a procedure, even under
' On Error Resume Next, with the exit code it is given.
On Error Resume Next
Sub Leave()
    WScript.Echo "leaving"
    WScript.Quit 5
    WScript.Echo "not reached in the procedure"
End Sub
Leave
WScript.Echo "not reached"
