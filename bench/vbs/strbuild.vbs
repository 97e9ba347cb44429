' String building with Mid, InStr and Replace over 200,000 short texts
Dim i, s, t, p, total
total = 0
For i = 1 To 200000
    s = "item-" & i & "-end"
    p = InStr(s, "-end")
    t = Mid(s, 6, p - 6)
    s = Replace(s, "-", "+")
    total = total + Len(t) + p + Len(s)
Next
WScript.Echo total
