' String functions, with their edge cases: past-the-end positions, empty
' texts, start and count arguments, text comparison and Null.
Function Show(a)
    ' Shows an array's bounds and elements, so empty elements stay visible
    Dim i, s
    s = UBound(a) & ":"
    For i = 0 To UBound(a)
        s = s & "[" & a(i) & "]"
    Next
    Show = s
End Function

WScript.Echo "len:", Len("hello"), Len(""), Len(123), Len(-1.5), Len(Empty), TypeName(Len(Null)), LenB("abc")
WScript.Echo "left right:", Left("hello", 2), Left("hi", 10), "[" & Left("abc", 0) & "]", Right("hello", 3), Right("hi", 5), Left(12345, 2)
WScript.Echo "mid:", Mid("hello", 2, 3), Mid("hello", 4), "[" & Mid("hello", 10) & "]", Mid("hello", 4, 100), "[" & Mid("hello", 1, 0) & "]", "[" & Mid("hello", 6) & "]"
WScript.Echo "instr:", InStr("hello", "l"), InStr(4, "hello", "l"), InStr("hello", "z"), InStr("hello", ""), InStr(3, "hello", ""), InStr("", "a"), InStr(10, "hello", "l")
WScript.Echo "instr compare:", InStr(1, "Hello", "h", vbTextCompare), InStr(1, "Hello", "h", vbBinaryCompare), InStr(1, "Hello", "h", 1), TypeName(InStr("abc", Null)), InStr(2, "abcabc", "c")
WScript.Echo "instrrev:", InStrRev("hello", "l"), InStrRev("hello", "l", 3), InStrRev("hello", "z"), InStrRev("a.b.c", "."), InStrRev("hello", ""), InStrRev("hello", "l", 2), InStrRev("Hello", "h", -1, vbTextCompare), InStrRev("abcabc", "bc", 5)
WScript.Echo "case:", UCase("aBc1"), LCase("aBc1"), LCase(123), TypeName(UCase(Null))
WScript.Echo "trim:", "[" & LTrim("  a  ") & "]", "[" & RTrim("  a  ") & "]", "[" & Trim("  a  ") & "]", Len(Trim(vbTab & "a ")), "[" & Trim("   ") & "]"
WScript.Echo "space string:", "[" & Space(3) & "]", "[" & Space(0) & "]", String(3, "ab"), String(2, 65), "[" & String(0, "x") & "]", StrReverse("abc"), "[" & StrReverse("") & "]"
WScript.Echo "replace:", Replace("aaaa", "a", "b"), Replace("aaaa", "a", "b", 1, 2), Replace("aaaa", "a", "b", 3), Replace("abcabc", "b", "X", 3, 1), Replace("hello", "l", "L", 1, 0)
WScript.Echo "replace more:", Replace("ABab", "a", "x", 1, -1, vbTextCompare), Replace("ABab", "a", "x"), Replace("abc", "", "x"), Replace("abc", "b", ""), "[" & Replace("abc", "b", "x", 4) & "]", Replace("aaa", "aa", "b"), Replace(123123, 2, 9)
WScript.Echo "split:", Show(Split("a,b,c", ",")), Show(Split("", ",")), Show(Split("abc")), Show(Split("a b  c")), Show(Split("a,b,", ","))
WScript.Echo "split count:", Show(Split("a,b,c", ",", 2)), Show(Split("aXbxc", "x", -1, vbTextCompare)), Show(Split("aXbxc", "x")), Show(Split("abc", "")), Show(Split("a::b", "::")), Show(Split("a,b", ",", 1))
WScript.Echo "join:", Join(Array("a", "b"), "-"), Join(Array("a", "b")), "[" & Join(Array(), ",") & "]", Join(Array(1, 2.5, True), "|"), Join(Array("x"), ","), Join(Split("1 2 3"), "")
WScript.Echo "strcomp:", StrComp("a", "b"), StrComp("b", "a"), StrComp("a", "A"), StrComp("a", "A", 1), StrComp("abc", "abc"), StrComp("", "a"), TypeName(StrComp("a", Null)), StrComp("ab", "abc"), StrComp(10, 9)
WScript.Echo "filter:", Show(Filter(Array("apple", "banana", "cherry"), "an")), Show(Filter(Array("apple", "banana", "cherry"), "an", False)), Show(Filter(Array("A", "b", "a"), "a", True, vbTextCompare)), Show(Filter(Array("x", "y"), "z"))
WScript.Echo "asc chr:", Asc("A"), Asc("abc"), AscW("A"), Chr(65), Chr(97) & Chr(98), ChrW(66), AscW(ChrW(8364)), AscB("A"), Chr(0) = vbNullChar, Len(Chr(0))
WScript.Echo "escape:", Escape("a b+c/d@e*f_g-h.i"), Escape("100%"), Escape("~!?=&"), Escape(ChrW(233)), Escape(ChrW(8364)), Escape(vbCrLf)
WScript.Echo "unescape:", Unescape("a%20b"), AscW(Unescape("%u20AC")), Unescape("%41%42"), Unescape("%zz%4"), Unescape(Escape("a b&c")), Len(Unescape("%E9"))
WScript.Echo "null:", TypeName(Left(Null, 1)), TypeName(Mid(Null, 1)), TypeName(Trim(Null)), TypeName(LCase(Null)), TypeName(StrReverse("a"))
WScript.Echo "constants:", Len(vbCrLf), Asc(vbCr), Asc(vbLf), Asc(vbTab), Len(vbNullString), vbCrLf = vbCr & vbLf, vbNewLine = vbCrLf, AscW(vbVerticalTab), AscW(vbFormFeed)

On Error Resume Next
Dim r
r = Mid("abc", 0) : WScript.Echo "Mid start 0:", Err.Number : Err.Clear
r = Mid("abc", 1, -1) : WScript.Echo "Mid negative length:", Err.Number : Err.Clear
r = Left("abc", -1) : WScript.Echo "Left negative:", Err.Number : Err.Clear
r = Space(-1) : WScript.Echo "Space negative:", Err.Number : Err.Clear
r = String(-1, "a") : WScript.Echo "String negative:", Err.Number : Err.Clear
r = Asc("") : WScript.Echo "Asc empty:", Err.Number : Err.Clear
r = InStr(0, "a", "a") : WScript.Echo "InStr start 0:", Err.Number : Err.Clear
r = Chr(-1) : WScript.Echo "Chr negative:", Err.Number : Err.Clear
r = Replace("abc", "a", "b", 0) : WScript.Echo "Replace start 0:", Err.Number : Err.Clear
