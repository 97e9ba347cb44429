' Sieve of Eratosthenes over a ReDim'd array of 2,000,001 flags, 3 times
Dim flags(), n, i, j, count, r, total
n = 2000000
total = 0
For r = 1 To 3
    ReDim flags(n)
    For i = 2 To n
        flags(i) = True
    Next
    count = 0
    For i = 2 To n
        If flags(i) Then
            count = count + 1
            For j = i * i To n Step i
                flags(j) = False
            Next
        End If
    Next
    total = total + count
Next
WScript.Echo total
