' TypeName and VarType of every subtype, and the conversion functions.
Dim e, arr(2), dyn()
WScript.Echo TypeName(e), TypeName(Null), TypeName(True), TypeName(CByte(1)), TypeName(1), TypeName(70000), TypeName(CSng(1))
WScript.Echo TypeName(1.5), TypeName(CCur(1)), TypeName(#1/1/2000#), TypeName("s"), TypeName(Nothing), TypeName(Array()), TypeName(arr)
WScript.Echo VarType(e), VarType(Null), VarType(True), VarType(CByte(1)), VarType(1), VarType(70000), VarType(CSng(1))
WScript.Echo VarType(1.5), VarType(CCur(1)), VarType(#1/1/2000#), VarType("s"), VarType(Nothing), VarType(Array()), VarType(arr)
WScript.Echo TypeName(CreateObject("Scripting.Dictionary")), TypeName(dyn), TypeName(Empty), TypeName(vbNullString)

WScript.Echo "CStr:", CStr(True), CStr(False), CStr(1.5), CStr(-0.5), CStr(100), CStr(CByte(7)), "[" & CStr(e) & "]"
WScript.Echo "CStr big:", CStr(1E15), CStr(999999999999999), CStr(123456789012345678), CStr(1.5E300), CStr(-2.5E+20)
WScript.Echo "CStr small:", CStr(0.0001), CStr(0.00001), CStr(1.5E-7), CStr(-1E-5)
WScript.Echo "CStr digits:", CStr(1 / 3), CStr(2 / 3), CStr(0.1 + 0.2), CStr(CSng(1 / 3)), CStr(CSng(2 / 3)), CStr(CDbl(CSng(1.1)))
WScript.Echo "CStr currency:", CStr(CCur(1.5)), CStr(CCur(1 / 3)), CStr(CCur("1234.56789")), CStr(CCur(-2.5))
WScript.Echo "CInt:", CInt(2.5), CInt(3.5), CInt(-2.5), CInt(-0.5), CInt(1.4999), CInt("12"), CInt(" 12 "), CInt(True), CInt("-7.5")
WScript.Echo "CLng:", CLng(2147483647.4), CLng("1e3"), CLng(0.5), CLng(1.5), CLng(-1.5), CLng(e), TypeName(CLng(1))
WScript.Echo "CByte:", CByte(254.5), CByte(255), CByte("  3"), TypeName(CByte(0))
WScript.Echo "CDbl:", CDbl("1.5"), CDbl("1e-3"), CDbl(" 2 "), CDbl("&H10"), CDbl(e), CDbl(True), CDbl("-.25")
WScript.Echo "CSng:", CSng(1.1), CSng(16777217), CSng("0.1"), TypeName(CSng("2"))
WScript.Echo "CBool:", CBool("True"), CBool("false"), CBool(0), CBool(-0.1), CBool("1"), CBool("0"), CBool(e)
WScript.Echo "CDate:", CDate("1/15/2000"), CDate(36526.5), CDate("3:15 PM"), CDate(1), CDate(-1), CDate(1.25)
WScript.Echo "CDate text:", CDate("January 15, 2000"), CDate("15-Jan-2000"), CDate("2000-01-15 13:45:10"), TypeName(CDate("1/1/2000"))
WScript.Echo "CStr date:", CStr(CDate(0)), CStr(#1/1/2000 00:00#), CStr(#12:00:00 PM#), CStr(#1/1/2000 00:00:01#)

' Conversions that fail
On Error Resume Next
Dim r
r = CInt(32768) : WScript.Echo "CInt(32768):", Err.Number, Err.Description : Err.Clear
r = CInt(-32769) : WScript.Echo "CInt(-32769):", Err.Number : Err.Clear
r = CByte(255.5) : WScript.Echo "CByte(255.5):", Err.Number : Err.Clear
r = CByte(-1) : WScript.Echo "CByte(-1):", Err.Number : Err.Clear
r = CLng(2147483648) : WScript.Echo "CLng(2^31):", Err.Number : Err.Clear
r = CInt("abc") : WScript.Echo "CInt(abc):", Err.Number, Err.Description : Err.Clear
r = CInt("") : WScript.Echo "CInt(empty text):", Err.Number : Err.Clear
r = CLng(Null) : WScript.Echo "CLng(Null):", Err.Number, Err.Description : Err.Clear
r = CStr(Null) : WScript.Echo "CStr(Null):", Err.Number : Err.Clear
r = CDate("abc") : WScript.Echo "CDate(abc):", Err.Number : Err.Clear
r = CBool("yes") : WScript.Echo "CBool(yes):", Err.Number : Err.Clear
r = CDbl("1.5.2") : WScript.Echo "CDbl(1.5.2):", Err.Number : Err.Clear
r = CCur(1E20) : WScript.Echo "CCur(1E20):", Err.Number : Err.Clear
