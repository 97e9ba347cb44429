' The regular-expression dialect: word boundaries, classes, escapes,
' greedy and lazy quantifiers, anchors and negative lookahead.
Dim re : Set re = New RegExp
re.Global = True
Function Count(pattern, text)
    re.Pattern = pattern
    Count = re.Execute(text).Count
End Function
Function First(pattern, text)
    Dim ms
    re.Pattern = pattern
    Set ms = re.Execute(text)
    If ms.Count = 0 Then First = "(none)" Else First = ms(0).Value & "@" & ms(0).FirstIndex
End Function
Function Sub1(pattern, text, replacement)
    re.Pattern = pattern
    Sub1 = re.Replace(text, replacement)
End Function

WScript.Echo "boundaries:", Count("\bcat\b", "cat concat cat."), First("\Bcat", "cat concat"), Count("^\w+$", "ab" & vbLf & "cd")
WScript.Echo "classes:", Sub1("[\d\s]+", "a1 2b", "#"), Sub1("[.]", "a.b.c", "-"), Sub1("[^\w]", "a-b_c!", ""), Count("\D", "a1b2")
WScript.Echo "dot and newline:", Count("a.c", "a" & vbLf & "c"), Count("a[\s\S]c", "a" & vbLf & "c"), Count("\s", "a b" & vbTab & "c" & vbCrLf)
WScript.Echo "escapes:", Count("\x41\u0042", "AB"), Sub1("\t", "a" & vbTab & "b", "<tab>"), Sub1("\\", "a\b", "/"), Sub1("\$", "$5", "USD")
WScript.Echo "greedy lazy:", First("<.+>", "<a><b>"), First("<.+?>", "<a><b>"), First("\d{2,}", "1 22 333"), Count("\d{2,}", "1 22 333"), First("a{0}b", "ab")
WScript.Echo "groups:", First("(?:ab)+", "ababx"), Sub1("(\w+)@(\w+)", "me@host", "$2 at $1"), Sub1("(a)(b)?", "a", "[$1|$2]")
WScript.Echo "anchors:", Sub1("$", "ab", "!"), Sub1("^", "ab", "^"), First("b$", "ab" & vbLf & "b")
WScript.Echo "lookahead:", First("a(?!b)", "ab ac"), First("\w+(?=!)", "hi there!")
re.IgnoreCase = True
WScript.Echo "ignore case:", First("[a-c]+", "xABCd"), Count("straße", "STRASSE"), Sub1("(a)\1", "aA", "x")
re.IgnoreCase = False
' Octal escapes of one to three digits; \n is a back reference only when the
' pattern has that many groups
WScript.Echo "octal:", First("\101\102", "xAB"), Count("\11", "a" & vbTab & vbTab), Count("\0011", Chr(1) & "1" & Chr(1)), First("[\60-\62]+", "x012345")
WScript.Echo "octal or group:", First("(a)\1\12", "aaa2"), First("\12", "a" & vbLf) <> "(none)", First("\400", "x 0"), First("\8", "8"), First("\377", ChrW(255))
