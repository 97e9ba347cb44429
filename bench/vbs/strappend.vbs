' 100,000 appends to one string, as scripts build their output
Dim i, s
s = ""
For i = 1 To 100000
    s = s & CStr(i Mod 10)
Next
WScript.Echo Len(s), Mid(s, 99991, 10)
