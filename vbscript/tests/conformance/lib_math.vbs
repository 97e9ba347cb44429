' Math functions: results, result types, rounding rules and argument errors.
WScript.Echo "abs:", Abs(-5), Abs(-2.5), Abs(0), TypeName(Abs(CInt(-3))), TypeName(Abs(-2.5)), TypeName(Abs(Null)), Abs("-4")
WScript.Echo "trig:", Atn(1) * 4, Sin(1), Cos(1), Tan(1), Atn(0.5), Cos(0), Sin(0)
WScript.Echo "exp log sqr:", Exp(1), Log(10), Log(Exp(2)), Sqr(2), Sqr(16), Exp(0), TypeName(Sqr(4))
WScript.Echo "fix int:", Fix(-2.5), Int(-2.5), Fix(2.7), Int(2.7), Int(-0.5), Fix(-0.5), TypeName(Int(2.5)), TypeName(Int(CInt(3))), TypeName(Fix(CLng(3)))
WScript.Echo "sgn:", Sgn(-3), Sgn(0), Sgn(2.5), Sgn(-0.001), TypeName(Sgn(2.5))
' Round uses banker's rounding: halves go to the even neighbour
WScript.Echo "round halves:", Round(0.5), Round(1.5), Round(2.5), Round(3.5), Round(-2.5), Round(-1.5)
WScript.Echo "round digits:", Round(1.25, 1), Round(0.125, 2), Round(2.345, 2), Round(12345.6789, 2), Round(1.35, 1), Round(-0.125, 2), Round(2.5, 0)
WScript.Echo "round types:", TypeName(Round(2.5)), TypeName(Round(CInt(3))), TypeName(Round(CSng(1.5))), TypeName(Round(CCur(1.5))), Round("3.5"), TypeName(Round(Null))
' Hex and Oct: negatives as two's complement of the value's own width
WScript.Echo "hex:", Hex(255), Hex(0), Hex(-1), Hex(CLng(-1)), Hex(CInt(-32768)), Hex(-32769), Hex(65535), Hex(2.5), Hex(3.5)
WScript.Echo "hex wide:", Hex(2147483647), Hex(-2147483648), Hex(CByte(255)), Hex(&H8000&), TypeName(Hex(1)), "[" & Hex(Empty) & "]", TypeName(Hex(Null))
WScript.Echo "oct:", Oct(8), Oct(0), Oct(-1), Oct(CLng(-1)), Oct(511), Oct(CInt(-32768))

' Errors
On Error Resume Next
Dim r
r = Sqr(-1) : WScript.Echo "Sqr(-1):", Err.Number, Err.Description : Err.Clear
r = Log(0) : WScript.Echo "Log(0):", Err.Number : Err.Clear
r = Log(-1) : WScript.Echo "Log(-1):", Err.Number : Err.Clear
r = Exp(1000) : WScript.Echo "Exp(1000):", Err.Number : Err.Clear
r = Round(1.5, -1) : WScript.Echo "Round negative digits:", Err.Number : Err.Clear
r = Hex(4294967296) : WScript.Echo "Hex too big:", Err.Number : Err.Clear
r = Abs("x") : WScript.Echo "Abs(text):", Err.Number : Err.Clear
r = Int(Null) : WScript.Echo "Int(Null):", TypeName(r), Err.Number : Err.Clear
