' Arithmetic, precedence, result typing with promotion, and the logical operators.
WScript.Echo "precedence:", -3^2, 2^3^2, 1 + 2 * 3, (1 + 2) * 3, 2 * 3 Mod 4, 10 \ 3 Mod 2, 5 Mod 3 * 2
WScript.Echo "concat precedence:", 1 + 2 & 3 + 4, Not 1 = 2
WScript.Echo "division:", 10 / 4, TypeName(4 / 2), 7 \ 2, -7 \ 2, TypeName(7 \ 2), TypeName(7.5 \ 2)
' \ and Mod round their operands to even first
WScript.Echo "rounded operands:", 2.5 \ 1, 3.5 \ 1, 5.5 Mod 2, 6.5 Mod 4, -7 Mod 3, 7 Mod -3, TypeName(7.5 Mod 2)
WScript.Echo "power:", 2 ^ 10, TypeName(2 ^ 2), 4 ^ 0.5, 2 ^ -1

' Integer -> Long -> Double on overflow
WScript.Echo "promotion:", 32767 + 1, TypeName(32767 + 1), 200 * 200, TypeName(200 * 200)
WScript.Echo "to double:", 2147483647 + 1, TypeName(2147483647 + 1), TypeName(-32768 - 1)
WScript.Echo "byte:", CByte(200) + CByte(100), TypeName(CByte(200) + CByte(100)), TypeName(CByte(1) + CByte(2))
WScript.Echo "mixed:", TypeName(CInt(1) + CLng(1)), TypeName(1 + 1.5), TypeName(CSng(1.5) + 1), CSng(1.5) + 1, TypeName(CSng(1) + CDbl(1))
WScript.Echo "currency:", TypeName(CCur(1.5) + 1), CCur(1.5) * 3, TypeName(CCur(1) * CDbl(2))
WScript.Echo "boolean:", True + True, TypeName(True + True), TypeName(True * 1)
WScript.Echo "date:", TypeName(#1/1/2000# + 1), TypeName(#1/2/2000# - #1/1/2000#), #1/2/2000# - #1/1/2000#

' + with strings, & with anything
WScript.Echo "plus:", "3" + 4, TypeName("3" + 4), "3" + "4", TypeName("3" + "4")
WScript.Echo "amp:", 3 & 4, TypeName(3 & 4), "a" & True, "x" & 1.5
Dim e
WScript.Echo "empty:", e + 1, TypeName(e + 1), TypeName(e + e), "[" & e & "]", TypeName(e & e), e * 5
WScript.Echo "null:", TypeName(Null + 1), TypeName(1 - Null), TypeName(Null * 0), "a" & Null, TypeName(Null & Null), TypeName(-Null)

' Bitwise on numbers
WScript.Echo "bitwise:", 5 And 3, 5 Or 3, 5 Xor 3, 5 Eqv 3, 5 Imp 3, Not 5, Not 0, &HFF And -1
WScript.Echo "boolean ops:", True And False, True Or False, True Xor True, False Eqv False, True Imp False, Not True
WScript.Echo "typing:", TypeName(True And False), TypeName(True And 3), True And 3, TypeName(CByte(3) And CByte(5))
' Null is "unknown" in the three-valued logic
WScript.Echo "and null:", TypeName(Null And True), Null And False, Null And 0, TypeName(Null And 1)
WScript.Echo "or null:", Null Or True, TypeName(Null Or False), TypeName(Null Or 0), Null Or -1
WScript.Echo "other null:", TypeName(Not Null), TypeName(Null Xor True), TypeName(Null Eqv True)
WScript.Echo "imp null:", TypeName(True Imp Null), False Imp Null, Null Imp True, TypeName(Null Imp False)

' Run-time errors of the operators
On Error Resume Next
Dim r
r = 1 / 0 : WScript.Echo "1/0:", Err.Number, Err.Description : Err.Clear
r = 1 \ 0 : WScript.Echo "1\0:", Err.Number : Err.Clear
r = 1 Mod 0 : WScript.Echo "1 mod 0:", Err.Number : Err.Clear
r = 0 / 0 : WScript.Echo "0/0:", Err.Number, Err.Description : Err.Clear
r = "abc" * 2 : WScript.Echo "string*2:", Err.Number, Err.Description : Err.Clear
r = CInt(32767) * CInt(2) : WScript.Echo "no overflow:", r, TypeName(r), Err.Number : Err.Clear
r = 1E308 * 10 : WScript.Echo "double overflow:", Err.Number : Err.Clear
r = Null \ 2 : WScript.Echo "null int div:", TypeName(r), Err.Number : Err.Clear
