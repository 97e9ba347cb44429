' Filling and summing a 1,000,000-element array
Dim a(999999), i, sum
For i = 0 To 999999
    a(i) = i * 2
Next
sum = 0
For i = 0 To 999999
    sum = sum + a(i)
Next
WScript.Echo sum
