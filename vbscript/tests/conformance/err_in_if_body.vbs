' A function whose body is one If on a comparison: an error in a branch is
' reported at the failing statement of the branch.
Function Pick(a, b)
    If a < b Then
        Pick = a \ 0
    Else
        Pick = b
    End If
End Function
WScript.Echo Pick(3, 2)
WScript.Echo Pick(1, 2)
WScript.Echo "not reached"
