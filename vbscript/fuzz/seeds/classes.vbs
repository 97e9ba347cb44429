Class Node
  Public Value, NextNode
  Private Sub Class_Terminate() : Value = Empty : End Sub
  Public Default Property Get Item(i) : Item = Value * i : End Property
End Class
Dim a, b : Set a = New Node : a.Value = 3 : Set b = New Node : Set b.NextNode = a
x = b.NextNode(2) & "|" & TypeName(b)
With b : .Value = "s" & .Value : End With
Set a = Nothing : Set b = Nothing
