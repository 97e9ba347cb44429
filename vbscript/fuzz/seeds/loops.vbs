Dim i, j, s, arr(3, 2)
For i = 0 To 3 : For j = 0 To 2 : arr(i, j) = i * j : Next : Next
For Each v In arr : s = s & v : Next
Do While i > 0 : i = i - 1 : If i = 2 Then Exit Do
Loop
While j < 10 : j = j + 1 : Wend
Select Case s : Case "x", "y" : s = 1 : Case Else : s = Eval("2 ^ 10") : End Select
Do : Loop
