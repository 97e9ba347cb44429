Dim base : base = 10
Const Limit = base
WScript.Echo "never printed: the file does not compile"
