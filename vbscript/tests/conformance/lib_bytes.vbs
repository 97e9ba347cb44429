' The byte functions: ChrB makes a one-byte string, LenB counts bytes.
WScript.Echo "byte strings:", LenB(ChrB(65)), AscB(ChrB(200)), LenB(ChrB(65) & ChrB(0)), LenB(ChrB(65) & ChrB(66) & ChrB(67))
WScript.Echo "text in bytes:", LenB("abc"), LenB(""), AscB("A"), AscB(ChrW(&H3042)), LenB(ChrW(&H3042))
On Error Resume Next
Dim r : r = AscB("")
WScript.Echo "AscB of empty text:", Err.Number
