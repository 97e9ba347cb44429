Const Gravity = 9.80665
Dim mass
mass = 2
Dim gravity
WScript.Echo "never printed"
