' Dictionary lookups: 100,000 text keys, then 500,000 lookups
Dim d, i, total
Set d = CreateObject("Scripting.Dictionary")
For i = 0 To 99999
    d.Add "k" & i, i
Next
total = 0
For i = 0 To 499999
    total = total + d("k" & (i Mod 100000))
Next
If d.Exists("k99999") Then total = total + 1
WScript.Echo total
