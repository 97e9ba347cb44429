' A method call on Nothing at a site that ran fine before is reported at
' the call as a missing object (424).
Class Lamp
    Public Sub Switch(onOff) : WScript.Echo "switched", onOff : End Sub
End Class
Dim lamps(2), i
Set lamps(0) = New Lamp : Set lamps(1) = lamps(0) : Set lamps(2) = Nothing
For i = 0 To 2
    lamps(i).Switch i
Next
