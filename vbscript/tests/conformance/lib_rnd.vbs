' Rnd's generator: the fixed start sequence, Rnd(0), reseeding with a
' negative argument, and Randomize with a number after such a reseed.
WScript.Echo "start:", Rnd, Rnd(), Rnd(1)
WScript.Echo "repeat last:", Rnd(0), Rnd(0)
WScript.Echo "reseed -1:", Rnd(-1), Rnd, Rnd(0)
WScript.Echo "reseed again:", Rnd(-1), Rnd
WScript.Echo "reseed -2.5:", Rnd(-2.5), Rnd
WScript.Echo "reseed -7:", Rnd(-7), Rnd
WScript.Echo "type:", TypeName(Rnd)
Dim a, b, i, ok, r
r = Rnd(-1)
Randomize 42
a = Rnd & " " & Rnd & " " & Rnd
r = Rnd(-1)
Randomize 42
b = Rnd & " " & Rnd & " " & Rnd
WScript.Echo "repeatable after Rnd(-1) and Randomize n:", a = b
' Randomize n alone keeps part of the current state, so it does not repeat
Randomize 42
a = Rnd & " " & Rnd & " " & Rnd
Randomize 42
b = Rnd & " " & Rnd & " " & Rnd
WScript.Echo "Randomize n alone repeats:", a = b
Randomize
ok = True
For i = 1 To 1000
    a = Rnd
    If a < 0 Or a >= 1 Then ok = False
Next
WScript.Echo "range:", ok
