' Procedure frames: every local starts Empty and without the marks of an
' earlier frame in the same place, and what a frame held is released when
' the procedure returns, also across the boundaries of the frame stack.
Sub Fixed()
    Dim a(3), b(1, 1)
    a(0) = "x"
End Sub
Sub Dynamic()
    Dim v, w
    ReDim v(5)
    ReDim w(2)
    WScript.Echo "redim where a fixed array was:", UBound(v), UBound(w)
End Sub
Fixed
Dynamic

Function Nine(k)
    Dim s1, s2, s3, s4, s5, s6, s7, s8
    Nine = TypeName(s1) & TypeName(s8)
    s1 = "a" & k : s2 = Array(k) : s3 = s1 & s1 : s4 = 1.5
    s5 = True : s6 = s3 : s7 = CCur(k) : s8 = s2
End Function
r = ""
For i = 1 To 3 : r = r & Nine(i) & " " : Next
WScript.Echo "locals start empty:", r

Class Tracer
    Public Name
    Private Sub Class_Terminate()
        WScript.Echo "terminate", Name
    End Sub
End Class
Function Hold(n)
    Dim t
    Set t = New Tracer
    t.Name = n
    Hold = n
End Function
WScript.Echo "returned", Hold("first")
WScript.Echo "returned", Hold("second")

' Deep enough to need more than one block of frame slots (forty-odd
' slots a frame, a thousand frames).
Function Depth(n, ByVal tag)
    Dim a, b, c, p01, p02, p03, p04, p05, p06, p07, p08, p09, p10, p11, p12, p13, p14, p15, p16, p17, p18, p19, p20, p21, p22, p23, p24, p25, p26, p27, p28, p29, p30, p31, p32, p33, p34, p35, p36, p37, p38, p39, p40
    a = tag & n
    p40 = a
    If n = 0 Then
        Depth = Len(a)
    Else
        b = Depth(n - 1, tag)
        c = p40
        Depth = b + Len(c)
    End If
End Function
WScript.Echo "deep recursion:", Depth(1000, "t")
WScript.Echo "again:", Depth(1000, "u")
