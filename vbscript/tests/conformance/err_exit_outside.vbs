' Exit Do is only allowed inside a Do loop, even when a For loop encloses it.
Dim i
For i = 1 To 3
    If i = 2 Then Exit Do
Next
WScript.Echo "never printed: the file does not compile"
