' Objects whose Class_Terminate fails, freed as one long chain.
Class Node
    Public NextNode, Id
    Private Sub Class_Terminate
        released = released + 1
        If Id Mod 2 = 0 Then x = 1 / 0
        Err.Raise vbObjectError + 5, "node", "freed"
    End Sub
End Class
released = 0
Set head = Nothing
For i = 1 To 200
    Set n = New Node : n.Id = i
    Set n.NextNode = head
    Set head = n
Next
Set n = Nothing
Set head = Nothing
WScript.Echo released
