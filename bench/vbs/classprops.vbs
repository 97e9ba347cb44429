' Class instances with properties: 1,000 points moved 1,000 times through
' Property Get/Let and a method
Class Point
    Private mX, mY
    Public Property Get X() : X = mX : End Property
    Public Property Let X(v) : mX = v : End Property
    Public Property Get Y() : Y = mY : End Property
    Public Property Let Y(v) : mY = v : End Property
    Public Sub Move(dx, dy)
        mX = mX + dx
        mY = mY + dy
    End Sub
End Class
Dim pts(999), i, r, p, total
For i = 0 To 999
    Set pts(i) = New Point
    pts(i).X = i
    pts(i).Y = 0
Next
For r = 1 To 1000
    For i = 0 To 999
        Set p = pts(i)
        p.X = p.X + 1
        p.Move 1, p.X Mod 3
    Next
Next
total = 0
For i = 0 To 999
    total = total + pts(i).X + pts(i).Y
Next
WScript.Echo total
