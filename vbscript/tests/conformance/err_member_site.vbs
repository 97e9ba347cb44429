' An error inside a property reached through a member site that ran fine
' before is reported at the failing statement inside the property.
Class Gauge
    Private mLevel
    Public Property Let Level(v)
        mLevel = 10 \ v
    End Property
    Public Property Get Level() : Level = mLevel : End Property
End Class
Dim g, i
Set g = New Gauge
For i = 2 To 0 Step -1
    g.Level = i
    WScript.Echo g.Level
Next
