' Recursion with three arguments: Takeuchi's function
Function Tak(x, y, z)
    If y < x Then
        Tak = Tak(Tak(x - 1, y, z), Tak(y - 1, z, x), Tak(z - 1, x, y))
    Else
        Tak = z
    End If
End Function
Dim r, total
total = 0
For r = 1 To 3
    total = total + Tak(24, 16, 8) + Tak(18, 12, 6)
Next
WScript.Echo total
