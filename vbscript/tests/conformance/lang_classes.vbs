' Classes: properties, default members, Me, object identity, With,
' and when Class_Initialize and Class_Terminate run.
Dim log : log = ""

Class Point
    Private mX, mY
    Public Label
    Private Sub Class_Initialize()
        mX = 0 : mY = 0
        log = log & "init;"
    End Sub
    Private Sub Class_Terminate()
        log = log & "term(" & Label & ");"
    End Sub
    Public Property Get X()
        X = mX
    End Property
    Public Property Let X(v)
        If v < 0 Then Err.Raise 5
        mX = v
    End Property
    Public Property Get Y()
        Y = mY
    End Property
    Public Property Let Y(v)
        mY = v
    End Property
    Public Function Length()
        Length = Sqr(mX * mX + mY * mY)
    End Function
    Public Function Self()
        Set Self = Me
    End Function
    Public Sub MoveBy(dx, dy)
        Me.X = mX + dx
        Y = Y + dy
    End Sub
End Class

Dim p : Set p = New Point
p.Label = "p"
p.X = 3 : p.Y = 4
WScript.Echo "properties:", p.X, p.Y, p.Length(), TypeName(p), VarType(p)
p.MoveBy 1, 1
WScript.Echo "methods:", p.X, p.Y
WScript.Echo "me:", p.Self() Is p, p.Self.Self.X

Dim q : Set q = p
q.X = 10
WScript.Echo "shared reference:", p.X, q Is p, p Is Nothing
Dim r : Set r = New Point
r.Label = "r"
WScript.Echo "identity:", r Is p, log
' Terminate runs as soon as the last reference goes
Set r = Nothing
WScript.Echo "after r released:", log
Set p = Nothing
WScript.Echo "p still held by q:", log
Set q = Nothing
WScript.Echo "after q released:", log
log = ""
Sub UseTemp()
    Dim t : Set t = New Point
    t.Label = "local"
End Sub
UseTemp
WScript.Echo "local released at exit:", log
log = ""
With New Point
    .Label = "with"
    .X = 2
    log = log & "x=" & .X & ";"
End With
WScript.Echo "with temporary:", log

' Property Set and a default property
Class Holder
    Private mItem
    Public Property Set Item(o)
        Set mItem = o
    End Property
    Public Property Get Item()
        Set Item = mItem
    End Property
End Class
Class Counter
    Public Count
    Public Default Function Value()
        Value = "count is " & Count
    End Function
End Class
Dim h : Set h = New Holder
Dim c : Set c = New Counter
c.Count = 5
Set h.Item = c
WScript.Echo "property set:", h.Item.Count, h.Item Is c
WScript.Echo "default member:", "" & c, c(), "[" & c & "]"
Class Box
    Private mV
    Public Default Property Get V()
        V = mV
    End Property
    Public Property Let V(x)
        mV = x
    End Property
End Class
Dim b : Set b = New Box
b.V = 42
WScript.Echo "default property:", b, b + 1

' With blocks nest and evaluate their object once
Dim made : made = 0
Function MakeCounter()
    made = made + 1
    Set MakeCounter = New Counter
End Function
With MakeCounter()
    .Count = 1
    .Count = .Count + 1
    WScript.Echo "with:", .Count, made
End With

' Errors with objects
On Error Resume Next
Dim pt : Set pt = New Point
pt.X = -1
WScript.Echo "raise in property:", Err.Number, pt.X : Err.Clear
pt.NoSuchMember = 1
WScript.Echo "unknown member:", Err.Number : Err.Clear
Dim v : v = pt.mX
WScript.Echo "private member:", Err.Number : Err.Clear
Dim nothingObj : Set nothingObj = Nothing
v = nothingObj.X
WScript.Echo "member of Nothing:", Err.Number : Err.Clear
Set v = 5
WScript.Echo "set a number:", Err.Number : Err.Clear
v = pt
WScript.Echo "assign object without set:", Err.Number : Err.Clear
