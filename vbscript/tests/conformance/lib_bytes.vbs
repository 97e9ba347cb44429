' The byte functions: ChrB makes a one-byte string, LenB counts bytes.
WScript.Echo "byte strings:", LenB(ChrB(65)), AscB(ChrB(200)), LenB(ChrB(65) & ChrB(0)), LenB(ChrB(65) & ChrB(66) & ChrB(67))
WScript.Echo "text in bytes:", LenB("abc"), LenB(""), AscB("A"), AscB(ChrW(&H3042)), LenB(ChrW(&H3042))
WScript.Echo "byte pieces:", LenB(LeftB("abc", 3)), AscB(MidB("abc", 2, 1)), AscB(MidB("abc", 3)), LenB(MidB("abc", 2)), RightB("abc", 2), LeftB("abc", 2), LenB(MidB("abc", 9)), LenB(RightB("ab", 9))
WScript.Echo "byte search:", InStrB("abc", "b"), InStrB("abc", ChrB(98)), InStrB(4, "abc", "c"), InStrB(2, "abc", ""), InStrB("abc", "x"), InStrB("", "a")
' Bytes joined two by two make ordinary text again
Dim bin, i, t
bin = ChrB(65) & ChrB(0) & ChrB(66) & ChrB(0)
WScript.Echo "joined bytes:", bin, Len(bin), LenB(bin), bin = "AB", LenB(ChrB(65) & "x"), LenB("x" & ChrB(65))
For i = 1 To LenB("Hi!")
  t = t & Chr(AscB(MidB("Hi!", i, 1)))
Next
WScript.Echo "bytes to text:", Len(t), Replace(t, Chr(0), ".")
t = ChrB(1)
t = t & ChrB(2)
t = t & ChrB(3)
WScript.Echo "appended:", LenB(t), AscB(RightB(t, 1)), AscB(MidB(t, 2, 1))
On Error Resume Next
Dim r : r = AscB("")
WScript.Echo "AscB of empty text:", Err.Number
Err.Clear
r = MidB("abc", 0)
WScript.Echo "MidB from 0:", Err.Number
Err.Clear
r = LeftB("abc", -1)
WScript.Echo "LeftB of -1:", Err.Number
Err.Clear
r = ChrB(256)
WScript.Echo "ChrB(256):", Err.Number
