Dim x
x = 1
If x = 1 x = 2
