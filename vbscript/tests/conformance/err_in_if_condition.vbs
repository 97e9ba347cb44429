' A function whose body is one If on a comparison: an error in the
' condition is reported at the If (and under On Error Resume Next it takes
' the Then branch).
Function Check(a)
    On Error Resume Next
    If a < CDbl("q") Then
        Check = "then " & Err.Number
    Else
        Check = "else"
    End If
End Function
Function Bare(a)
    If a < "z" Then
        Bare = 1
    End If
End Function
WScript.Echo Check(1)
WScript.Echo Bare(Array(1))
WScript.Echo "not reached"
