' Inputs far beyond any real script, at full size: long operator chains run,
' endless nesting ends in error 28, and long chains of objects are freed
' without exhausting the native stack.
Function Chain(first, piece, count)
    Chain = first & Replace(String(count, "#"), "#", piece)
End Function

Dim x, released, lastId
Execute "x = " & Chain("1", " + 1", 120000)
WScript.Echo "120000 +:", x
Execute "x = " & Chain("""""", " & ""a""", 120000)
WScript.Echo "120000 &:", Len(x)
Execute "x = " & Chain("True", " And True", 120000)
WScript.Echo "120000 And:", x
WScript.Echo "through Eval:", Eval(Chain("100000", " - 1", 120000)), Len(Eval(Chain("""ab""", " & 1", 120000)))

Class SelfRef
    Public Property Get N : Set N = Me : End Property
End Class
Dim o : Set o = New SelfRef
On Error Resume Next
Execute "x = o" & Chain("", ".N", 40000)
WScript.Echo "40000 members:", Err.Number, Err.Description
Err.Clear
x = Eval(Chain("(", "(", 100000) & "1" & Chain(")", ")", 100000))
WScript.Echo "100000 parentheses:", Err.Number
Err.Clear
On Error GoTo 0

Class Node
    Public NextNode, Id
    Private Sub Class_Terminate
        released = released + 1
        If Id = 1 Then WScript.Echo "tail freed after", released, "nodes"
    End Sub
End Class
Class ArrayNode
    Public Links(0)
End Class

Function BuildList(count)
    Dim head, n, i
    Set head = Nothing
    For i = 1 To count
        Set n = New Node : n.Id = i
        Set n.NextNode = head
        Set head = n
    Next
    Set BuildList = head
End Function

released = 0
Dim list : Set list = BuildList(200000)
Set list = Nothing
WScript.Echo "released:", released

Dim arrHead, an, i
Set arrHead = Nothing
For i = 1 To 200000
    Set an = New ArrayNode
    Set an.Links(0) = arrHead
    Set arrHead = an
Next
Set an = Nothing
Set arrHead = Nothing
WScript.Echo "array-linked list freed"

Dim nested : nested = Empty
For i = 1 To 200000 : nested = Array(nested) : Next
nested = 0
WScript.Echo "nested arrays freed"

' This one is still alive at the end: freed with the script.
released = 0
Set list = BuildList(200000)
WScript.Echo "end of script"
