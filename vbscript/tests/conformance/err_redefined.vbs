' A name declared twice in one scope is a compile error at the second one.
Dim total
total = 1
WScript.Echo total
Dim total
