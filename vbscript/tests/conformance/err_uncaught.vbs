WScript.Echo "before"
Dim x
x = 1 / 0
WScript.Echo "not reached"
