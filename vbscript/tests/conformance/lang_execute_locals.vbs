' Execute inside a procedure: a variable it declares is the procedure's own
' when the procedure's code uses that name too, wherever the Dim stands.
Sub A
  Execute "Dim w" & vbLf & "w = 6"
  WScript.Echo "top:", w
End Sub
Sub B
  Execute "If True Then" & vbLf & "Dim w" & vbLf & "w = 7" & vbLf & "End If"
  WScript.Echo "if:", w
End Sub
Sub C
  Execute "Select Case 1" & vbLf & "Case 1" & vbLf & "Dim w" & vbLf & "w = 8" & vbLf & "End Select"
  WScript.Echo "select:", w
End Sub
Sub D
  Execute "Dim q" & vbLf & "q = 9"
  Execute "WScript.Echo ""later execute:"", q"
  WScript.Echo "eval:", Eval("q")
End Sub
A
B
C
D
