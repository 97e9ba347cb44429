' Err after a trapping procedure returns, and On Error Resume Next after a
' failing condition: execution goes on inside the block.
Function Trapping()
    On Error Resume Next
    x = 1 / 0
    Trapping = "trapped"
End Function
Sub RaisesInside()
    On Error Resume Next
    Err.Raise 1001, "lib", "from inside"
End Sub
On Error Resume Next
r = Trapping()
WScript.Echo "kept after return:", r, Err.Number, Err.Description
RaisesInside
WScript.Echo "raised inside:", Err.Number, Err.Source, Err.Description
Err.Clear
Sub Clean() : On Error Resume Next : y = 1 : End Sub
Clean
WScript.Echo "a procedure's own On Error clears it:", Err.Number

t = ""
If 1 / 0 Then t = t & "then " Else t = t & "else "
If False Then
    t = t & "no "
ElseIf 1 / 0 Then
    t = t & "elseif "
Else
    t = t & "wrong "
End If
WScript.Echo "if and elseif:", t, Err.Number : Err.Clear

t = "" : n = 0
Do While 1 / 0
    n = n + 1 : t = t & "while" & n & " "
    If n = 2 Then Exit Do
Loop
Do Until Nothing.Missing
    t = t & "until " : Exit Do
Loop
n = 0
Do
    n = n + 1 : t = t & "loop" & n & " "
    If n = 2 Then Exit Do
Loop While 1 / 0
n = 0
Do
    n = n + 1
    If n = 3 Then Exit Do
Loop Until CInt("x")
WScript.Echo "loops:", t & "until-rounds=" & n : Err.Clear

t = ""
Select Case 1 / 0
    Case 1 : t = t & "first-case "
    Case 2 : t = t & "second-case "
End Select
Select Case 3
    Case CInt("x") : t = t & "failed-case "
    Case 3 : t = t & "wrong "
End Select
For Each v In 5
    t = t & "for-each-once(" & IsEmpty(v) & ") "
Next
For Each v In Nothing
    t = t & "nothing-once "
Next
WScript.Echo "select and for each:", t, Err.Number
