' Property Get and Let that only read or store a field, over the values a
' plain copy would get wrong: objects (assigned by their default value),
' Nothing, arrays and fixed-size array fields.
Class Cell
    Private mValue
    Public Default Property Get Value() : Value = mValue : End Property
    Public Property Let Value(v) : mValue = v : End Property
End Class
Class Box
    Private mItem, mFixed(2)
    Public Property Get Item() : Item = mItem : End Property
    Public Property Let Item(v) : mItem = v : End Property
    Public Property Set Item(v) : Set mItem = v : End Property
    Public Property Get Fixed() : Fixed = mFixed : End Property
    Public Property Let Fixed(v) : mFixed = v : End Property
    Public Sub Twice() : Item = Item * 2 : End Sub
End Class
Dim b, c, a, i, v
Set b = New Box
Set c = New Cell
For i = 1 To 2
    c.Value = i * 10
    b.Item = c                   ' Let: the cell's default value
    WScript.Echo TypeName(b.Item), b.Item
    Set b.Item = c               ' now the field holds the cell itself
    v = b.Item                   ' Get assigns it by its default value
    WScript.Echo TypeName(v), v
    c.Value = "changed"
    WScript.Echo b.Item
Next
Set b.Item = Nothing
On Error Resume Next
v = "kept"
v = b.Item
WScript.Echo "Nothing:", Err.Number, v
Err.Clear
b.Fixed = 7
WScript.Echo "fixed field assigned:", Err.Number <> 0, UBound(b.Fixed)
On Error GoTo 0
b.Item = Array(1, 2, 3)
a = b.Item
a(0) = 99
WScript.Echo b.Item()(0), a(0), UBound(b.Item)
b.Item = 21
b.Twice
WScript.Echo b.Item
