' Run with a gigabyte on standard input: more than a string holds.
On Error Resume Next
Dim s
s = WScript.StdIn.ReadAll
WScript.Echo "ReadAll:", Err.Number, Len(s)
