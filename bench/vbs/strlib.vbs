' String-heavy library code over about 1 MB of text: Join, Split, Replace, InStr
Dim words, parts(), i, text, lines, fields, count, replaced, n, pos, joined
words = Array("alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta")
ReDim parts(31999)
For i = 0 To 31999
    parts(i) = words(i Mod 8) & " " & words((i * 3) Mod 8) & " " & i & " " & words((i * 5) Mod 8) & " value=" & (i Mod 97)
Next
text = Join(parts, vbLf)
lines = Split(text, vbLf)
count = 0
For i = 0 To UBound(lines)
    fields = Split(lines(i), " ")
    count = count + UBound(fields) + 1
Next
replaced = Replace(text, "gamma", "GAMMA-RAY")
n = 0
pos = InStr(1, text, "beta")
Do While pos > 0
    n = n + 1
    pos = InStr(pos + 1, text, "beta")
Loop
joined = Join(lines, vbCrLf)
WScript.Echo Len(text), UBound(lines) + 1, count, Len(replaced), n, Len(joined)
