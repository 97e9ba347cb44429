' Comments, separators, continuation, string quoting and literal typing.
Rem a whole-line Rem comment
Dim a : a = 1 : WScript.Echo "colon:", a ' trailing comment
a = 2 : Rem Rem after a separator
WScript.Echo "rem:", a
WScript.Echo "continued:", 1 + _
    2 + _
    3
WScript.Echo "quotes:", "say ""hi""", Len(""""), Len("")
WScript.Echo "case:", LEN("abc"), len("abc"), lEn("abc")
Dim MixedCase
mixedcase = 7
WScript.Echo "names:", MIXEDCASE
Dim [two words]
[two words] = 5
WScript.Echo "bracketed:", [two words] * 2

' Integer, Long or Double by magnitude
WScript.Echo TypeName(0), TypeName(32767), TypeName(32768), TypeName(2147483647), TypeName(2147483648)
' Hex and octal literals are 16-bit when they fit, a trailing & makes them Long
WScript.Echo &hffff, TypeName(&hffff), &hffff&, TypeName(&hffff&)
WScript.Echo &h7fff, &h8000, &h10000, TypeName(&h10000), &hFFFFFFFF, &H7FFFFFFF
WScript.Echo &O17, &o177777, &O17&, TypeName(&O17&)
WScript.Echo 10., .5, TypeName(10.), 1e3, 1.5E+2, 2.5e-3, TypeName(1e3)
WScript.Echo 1e-94938484, 1E300 * 10 > 1
' Unicode text counts UTF-16 code units
WScript.Echo Len("日本語"), AscW("é"), ChrW(26085) = "日"

' Date literals
WScript.Echo #1/2/2003#, TypeName(#1/2/2003#)
WScript.Echo #1/2/2003 10:30:00 PM#
WScript.Echo #10:30#, #1/31/2003# + 1
WScript.Echo CDbl(#1/1/2000#), CDbl(#12/30/1899#)
