' RegExp: Test, Execute with Matches and SubMatches, Replace with $ references,
' and the Global, IgnoreCase and Multiline switches.
Dim re : Set re = New RegExp
re.Pattern = "(\d+)-(\d+)"
WScript.Echo "test:", re.Test("call 555-1234 now"), re.Test("no digits"), TypeName(re)
WScript.Echo "defaults:", re.Global, re.IgnoreCase, re.Multiline

Dim ms, m
Set ms = re.Execute("a 1-2 b 33-44")
WScript.Echo "first only:", ms.Count, ms(0).Value, ms(0).FirstIndex, ms(0).Length
re.Global = True
Set ms = re.Execute("a 1-2 b 33-44")
WScript.Echo "global:", ms.Count, ms.Item(1).Value, ms(1).FirstIndex, ms(1).Length, TypeName(ms), TypeName(ms(0))
Dim s : s = ""
For Each m In ms
    s = s & m.Value & "=" & m.SubMatches(0) & "+" & m.SubMatches(1) & "(" & m.SubMatches.Count & ");"
Next
WScript.Echo "submatches:", s
' The default property of a Match is its Value
WScript.Echo "match default:", ms(0) & "", "[" & ms(1) & "]"

' Replace with $1-style references, $& and $$
WScript.Echo "replace:", re.Replace("a 1-2 b 33-44", "$2:$1"), re.Replace("1-2", "[$&]"), re.Replace("1-2", "$$"), re.Replace("x", "y")
re.Global = False
WScript.Echo "replace first:", re.Replace("1-2 3-4", "#")

' Case and line switches
Dim r2 : Set r2 = New RegExp
r2.Pattern = "^ab"
r2.Global = True
WScript.Echo "case:", r2.Test("AB"), r2.Execute("ab" & vbLf & "ab").Count
r2.IgnoreCase = True
r2.Multiline = True
WScript.Echo "ignorecase multiline:", r2.Test("AB"), r2.Execute("ab" & vbLf & "AB").Count, r2.Replace("ab" & vbLf & "Ab", "X") = "X" & vbLf & "X"

' The dialect: classes, quantifiers, alternation, groups, lookahead, escapes
Dim r3 : Set r3 = CreateObject("VBScript.RegExp")
r3.Global = True
r3.Pattern = "\b\w+@\w+\.com\b"
WScript.Echo "email:", r3.Execute("x a@b.com, c@d.org e@f.com")(1).Value
r3.Pattern = "colou?r|gr[ae]y"
WScript.Echo "alternation:", r3.Execute("color colour gray grey grown").Count
r3.Pattern = "a{2,3}"
WScript.Echo "counted:", r3.Replace("a aa aaaa", "X")
r3.Pattern = "\d+(?=px)"
WScript.Echo "lookahead:", r3.Execute("10px 20em 30px")(1).Value
r3.Pattern = "(a)|(b)"
Set ms = r3.Execute("b")
WScript.Echo "unmatched group:", "[" & ms(0).SubMatches(0) & "]", IsEmpty(ms(0).SubMatches(0)), ms(0).SubMatches(1)
r3.Pattern = "\s+"
WScript.Echo "whitespace:", r3.Replace("a  b" & vbTab & "c", "_")
r3.Pattern = ".*?"
WScript.Echo "lazy empty matches:", r3.Replace("ab", "-")
r3.Pattern = "(\w)\1"
WScript.Echo "backreference:", r3.Replace("aabbcd", "<$1>")
r3.Pattern = "[^a-c]"
WScript.Echo "negated class:", r3.Replace("abcdef", "")
r3.Pattern = "\."
WScript.Echo "escape:", r3.Replace("1.5.2", ",")
r3.Pattern = "x*"
WScript.Echo "empty pattern matches:", r3.Execute("ab").Count

On Error Resume Next
r3.Pattern = "(unclosed"
Dim t : t = r3.Test("x")
WScript.Echo "bad pattern:", Err.Number : Err.Clear
