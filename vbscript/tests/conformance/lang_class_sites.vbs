' Member access sites that run many times: the same o.m on objects of
' different classes, objects that go away while their own member runs,
' default values, ByRef arguments, With and Me, and errors at such sites.
Dim log : log = ""

Class Node
    Public Name
    Private mV
    Public Property Get V() : V = mV : End Property
    Public Property Let V(x)
        Set cur = Nothing          ' the caller's only reference
        log = log & "let " & Name & "=" & x & ";"
        mV = x
        log = log & "stored " & mV & ";"
    End Property
    Public Sub Drop(n)
        Set cur = Nothing
        log = log & "drop " & Name & n & ";"
        mV = mV + n
        log = log & Name & " now " & mV & ";"
    End Sub
    Public Function Swap()
        Set cur = MakeNode("second")
        mV = 100
        Swap = Name & " swapped"
    End Function
    Private Sub Class_Terminate() : log = log & "term " & Name & ";" : End Sub
End Class
Function MakeNode(n)
    Set MakeNode = New Node
    MakeNode.Name = n
End Function

Dim cur
Set cur = MakeNode("a")
cur.V = 5
log = log & "after let;"
WScript.Echo "dropped in Let:", log
log = ""
Set cur = MakeNode("b")
cur.Drop 3
log = log & "after method;"
WScript.Echo "dropped in method:", log
log = ""
Set cur = MakeNode("c")
Dim keepC : Set keepC = cur
WScript.Echo cur.Swap(), cur.Name, keepC.V
Set keepC = Nothing
WScript.Echo "replaced in method:", log
log = ""
Set cur = Nothing
WScript.Echo "second released:", log
log = ""

' One site, objects of several classes: the member sits at a different
' place in each, is a field in one, and a native object's in another.
Class Square
    Public Side
    Public Property Get Kind() : Kind = "square" : End Property
    Public Property Get Area() : Area = Side * Side : End Property
    Public Property Let Area(a) : Side = Sqr(a) : End Property
End Class
Class Rect
    Private mW, mH
    Public Sub SetSize(w, h) : mW = w : mH = h : End Sub
    Public Property Get Area() : Area = mW * mH : End Property
    Public Property Let Area(a) : mH = a / mW : End Property
    Public Property Get Kind() : Kind = "rect" : End Property
End Class
Class Plain
    Public Kind, Area
End Class
Dim shapes(3), s, i, text
Set shapes(0) = New Square : shapes(0).Side = 3
Set shapes(1) = New Rect : shapes(1).SetSize 2, 5
Set shapes(2) = New Plain : shapes(2).Kind = "plain" : shapes(2).Area = 7
Set shapes(3) = CreateObject("Scripting.Dictionary")
For i = 0 To 5
    Set s = shapes(i Mod 3)
    text = text & s.Kind & "=" & s.Area & " "
    s.Area = s.Area * 4
Next
WScript.Echo text
WScript.Echo shapes(0).Side, shapes(1).Area, shapes(2).Area
text = ""
For i = 0 To 3
    Set s = shapes(i)
    On Error Resume Next
    text = text & s.Count & "/" & Err.Number & " "
    s.Area = 1
    text = text & Err.Number & " "
    On Error GoTo 0
Next
WScript.Echo "count:", text

' Default values and indexed properties through the same sites.
Class Cell
    Private mValue
    Public Default Property Get Value() : Value = mValue : End Property
    Public Property Let Value(v) : mValue = v : End Property
End Class
Class Sheet
    Private cells(2)
    Public Head
    Private Sub Class_Initialize()
        Dim k
        For k = 0 To 2 : Set cells(k) = New Cell : cells(k).Value = k * 10 : Next
        Set Head = cells(0)
    End Sub
    Public Property Get Item(k) : Set Item = cells(k) : End Property
    Public Property Let Item(k, v) : cells(k).Value = v : End Property
    Public Property Get Total()
        Dim k
        For k = 0 To 2 : Total = Total + cells(k) : Next
    End Property
End Class
Dim sh, c, n
Set sh = New Sheet
For i = 0 To 2
    Set c = New Cell
    c.Value = i + 1
    sh.Item(i) = c             ' Let: the cell's default value is stored
    n = n & sh.Item(i) & ","   ' the item's default value
Next
WScript.Echo n, sh.Total, sh.Head, TypeName(sh.Item(1)), sh.Head + 1
sh.Head.Value = 42
WScript.Echo sh.Item(0), sh.Total

' Let and Set of one property at one site.
Class Holder
    Private mItem
    Public Property Let Item(v) : mItem = "let " & v : End Property
    Public Property Set Item(v) : Set mItem = v : End Property
    Public Property Get Item()
        If IsObject(mItem) Then Set Item = mItem Else Item = mItem
    End Property
End Class
Dim h : Set h = New Holder
For i = 0 To 1
    h.Item = sh.Head
    text = h.Item
    Set h.Item = sh.Head
    WScript.Echo text, TypeName(h.Item), h.Item
Next

' ByRef arguments of methods, With blocks and Me.
Class Counter
    Public Hits
    Public Sub Bump(ByRef n, ByVal m)
        n = n + 1 : m = m + 1 : Hits = Hits + 1
    End Sub
    Public Sub BumpSelf()
        Me.Hits = Me.Hits + 10
        Bump Hits, 0
    End Sub
    Private Function Secret() : Secret = "secret" : End Function
End Class
Dim k, m, arr(1), ct
Set ct = New Counter
k = 1 : m = 1 : arr(1) = 5
For i = 1 To 3
    ct.Bump k, m
    ct.Bump (k), m
    ct.Bump arr(1), m
Next
WScript.Echo k, m, arr(1), ct.Hits
With ct
    .Hits = 0
    For i = 1 To 3 : .BumpSelf : .Bump k, m : Next
    WScript.Echo .Hits, k
End With
On Error Resume Next
WScript.Echo ct.Secret()
WScript.Echo "private:", Err.Number
On Error GoTo 0

' Errors at sites that ran fine before: wrong argument count, a missing
' member, Nothing and a non-object, and an error inside a property.
Class Risky
    Public Tag
    Public Property Get Ratio(d) : Ratio = 10 \ d : End Property
    Public Property Get Safe(d)
        On Error Resume Next
        Safe = -1
        Safe = 10 \ d
    End Property
End Class
Dim r, objs(3), out
Set r = New Risky
Set objs(0) = r : Set objs(1) = r : Set objs(2) = Nothing : objs(3) = 4
On Error Resume Next
For i = 0 To 3
    out = "x"
    out = objs(i).Ratio(1 - i)
    WScript.Echo i, out, Err.Number
    Err.Clear
    objs(i).Tag = i
    WScript.Echo " tag:", Err.Number
    Err.Clear
    objs(i).Ratio 1, 2
    WScript.Echo " args:", Err.Number
    Err.Clear
    out = objs(i).Missing
    WScript.Echo " missing:", Err.Number
    Err.Clear
Next
On Error GoTo 0
WScript.Echo r.Safe(0), r.Safe(5), r.Tag

' Set of something that is no object, into a declared global and a local.
Sub SetLocal()
    Dim mine : Set mine = r
    On Error Resume Next
    Set mine = 5
    WScript.Echo "local:", Err.Number, TypeName(mine)
End Sub
SetLocal
On Error Resume Next
Set r = "text"
WScript.Echo "global:", Err.Number, TypeName(r)
