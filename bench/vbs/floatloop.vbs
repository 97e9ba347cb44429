' Floating-point arithmetic in a counted loop: 5,000,000 iterations
Dim i, x, y
x = 0
y = 1
For i = 1 To 5000000
    x = x + y * 0.5
    y = y * 0.999999 + 0.000002
Next
WScript.Echo Int(x)
