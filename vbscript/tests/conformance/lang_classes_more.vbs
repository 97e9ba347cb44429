' More class behaviour: indexed properties, member arrays, object lifetime
' through reassignment and arrays, With on variables, Call on methods.
Dim log : log = ""
Class Tracked
    Public Name
    Private Sub Class_Terminate()
        log = log & "-" & Name
    End Sub
End Class
Function Make(n)
    Dim t : Set t = New Tracked
    t.Name = n
    Set Make = t
End Function

Dim a : Set a = Make("one")
Set a = Make("two")
WScript.Echo "reassigned:", log
Dim arr(1)
Set arr(0) = Make("in array")
Set arr(1) = arr(0)
arr(0) = Empty
WScript.Echo "one slot cleared:", log
Erase arr
WScript.Echo "array erased:", log
Dim d : Set d = CreateObject("Scripting.Dictionary")
d.Add "k", Make("in dictionary")
d.RemoveAll
WScript.Echo "dictionary cleared:", log
Call Make("temporary")
WScript.Echo "unused result:", log
log = ""

Class Grid
    Private cells()
    Private mRows, mCols
    Dim Title
    Public Sub Init(rows, cols)
        mRows = rows : mCols = cols
        ReDim cells(rows - 1, cols - 1)
    End Sub
    Public Property Get Cell(r, c)
        Cell = cells(r, c)
    End Property
    Public Property Let Cell(r, c, v)
        cells(r, c) = v
    End Property
    Public Property Get Size()
        Size = mRows * mCols
    End Property
    Public Function Total()
        Dim v
        Total = 0
        For Each v In cells
            If Not IsEmpty(v) Then Total = Total + v
        Next
    End Function
End Class
Dim g : Set g = New Grid
g.Init 2, 3
g.Cell(0, 0) = 5
g.Cell(1, 2) = 7
g.Title = "grid"
WScript.Echo "indexed property:", g.Cell(0, 0), g.Cell(1, 2), IsEmpty(g.Cell(0, 1)), g.Size, g.Total(), g.Title
Call g.Init(1, 1)
WScript.Echo "call method:", g.Size, g.Total()

' With on a variable keeps the object it started with
Dim w : Set w = Make("with target")
Dim other : Set other = Make("other")
With w
    Set w = other
    WScript.Echo "with keeps its object:", .Name, w.Name
End With
Set w = Nothing : Set other = Nothing
WScript.Echo "after with:", log
log = ""

' Objects passed to procedures are references, whatever ByVal says
Sub Rename(ByVal t, newName)
    t.Name = newName
    Set t = Nothing
End Sub
Dim r : Set r = Make("before")
Rename r, "after"
WScript.Echo "byval object:", r.Name, r Is Nothing
Sub Swap(ByRef t)
    Set t = Make("replacement")
End Sub
Swap r
WScript.Echo "byref object:", r.Name, log
log = ""
' A property passed ByRef is passed as a copy
Sub Bump(x)
    x = x + 1
End Sub
Class Holder
    Public Value
End Class
Dim h : Set h = New Holder
h.Value = 1
Bump h.Value
WScript.Echo "property argument:", h.Value

Class Guarded
    Private mV
    Public Property Get V()
        V = "unset"
        If IsEmpty(mV) Then Exit Property
        V = mV
    End Property
    Public Property Let V(x)
        If x < 0 Then Exit Property
        mV = x
    End Property
End Class
Dim gd : Set gd = New Guarded
WScript.Echo "exit property:", gd.V
gd.V = -1
WScript.Echo "exit property let:", gd.V
gd.V = 4
WScript.Echo "after a valid let:", gd.V

' A default property with an index, read and assigned through the object
Class Vec
    Private m(2)
    Public Default Property Get Item(i)
        Item = m(i)
    End Property
    Public Property Let Item(i, v)
        m(i) = v
    End Property
End Class
Dim vect : Set vect = New Vec
vect(1) = 7
vect.Item(2) = 9
WScript.Echo "indexed default:", vect(1), vect.Item(2), vect(1) + vect(2)

Class Chain
    Public Count
    Public Function Add()
        Count = Count + 1
        Set Add = Me
    End Function
End Class
Dim c : Set c = New Chain
c.Count = 0
Dim c2 : Set c2 = c.Add().Add().Add()
WScript.Echo "chained calls:", c.Count, c2 Is c
