' 2-D array arithmetic: the product of two 140 x 140 matrices, twice
Const N = 140
Dim a(139, 139), b(139, 139), c(139, 139)
Dim i, j, k, s, r, total
For i = 0 To N - 1
    For j = 0 To N - 1
        a(i, j) = (i + j) Mod 7
        b(i, j) = (i * j) Mod 5
    Next
Next
total = 0
For r = 1 To 2
    For i = 0 To N - 1
        For j = 0 To N - 1
            s = 0
            For k = 0 To N - 1
                s = s + a(i, k) * b(k, j)
            Next
            c(i, j) = s
        Next
    Next
    For i = 0 To N - 1
        For j = 0 To N - 1
            total = total + c(i, j)
        Next
    Next
Next
WScript.Echo total
