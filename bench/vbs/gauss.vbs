' Gauss elimination with partial pivoting on a 100 x 100 system, 10 times
Const N = 100
Dim a(99, 99), b(99), x(99)
Dim r, i, j, k, p, t, f, s, check
check = 0
For r = 1 To 10
    For i = 0 To N - 1
        For j = 0 To N - 1
            a(i, j) = 1 / (i + j + r)
        Next
        a(i, i) = a(i, i) + N
        b(i) = i + 1
    Next
    For k = 0 To N - 2
        p = k
        For i = k + 1 To N - 1
            If Abs(a(i, k)) > Abs(a(p, k)) Then p = i
        Next
        If p <> k Then
            For j = 0 To N - 1
                t = a(k, j) : a(k, j) = a(p, j) : a(p, j) = t
            Next
            t = b(k) : b(k) = b(p) : b(p) = t
        End If
        For i = k + 1 To N - 1
            f = a(i, k) / a(k, k)
            For j = k To N - 1
                a(i, j) = a(i, j) - f * a(k, j)
            Next
            b(i) = b(i) - f * b(k)
        Next
    Next
    For i = N - 1 To 0 Step -1
        s = b(i)
        For j = i + 1 To N - 1
            s = s - a(i, j) * x(j)
        Next
        x(i) = s / a(i, i)
    Next
    For i = 0 To N - 1
        check = check + x(i)
    Next
Next
WScript.Echo Int(check * 1000000 + 0.5)
