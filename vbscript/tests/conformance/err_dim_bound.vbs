' Dim takes constant bounds; a variable size needs ReDim.
Dim n : n = 5
Dim arr(n)
WScript.Echo "never printed: the file does not compile"
