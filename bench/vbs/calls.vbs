' 1,000,000 calls of a small user function
Function Add(a, b)
    Add = a + b
End Function
Dim i, s
s = 0
For i = 1 To 1000000
    s = Add(s, i)
Next
WScript.Echo s
