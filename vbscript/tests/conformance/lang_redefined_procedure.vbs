' A procedure declared again replaces the earlier one: the last definition
' wins, whether in the same text, a later one, or inside one Execute.
Function Area(r)
    Area = r * r
End Function
WScript.Echo "same text, last wins:", Area(3, 4)
Function Area(w, h)
    Area = w * h
End Function

Sub Greet : WScript.Echo "first greet" : End Sub
Greet
ExecuteGlobal "Sub Greet : WScript.Echo ""second greet"" : End Sub"
Greet

Sub RunLocal
    Execute "Function Q() : Q = 1 : End Function : Function Q() : Q = 2 : End Function"
    WScript.Echo "inside one Execute:", Q()
End Sub
RunLocal

' Execute of the running Sub's own name calls it.
Dim depth : depth = 0
Sub Again
    depth = depth + 1
    If depth < 3 Then Execute "Again"
End Sub
Again
WScript.Echo "execute own name:", depth
