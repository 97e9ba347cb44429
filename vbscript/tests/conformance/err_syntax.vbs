WScript.Echo "nothing runs when the file does not compile"
Dim a b
