' Comparing with a literal: the literal keeps its type and the other side is
' converted to it. Two variables keep the variant rule (a number is less
' than any string).
x = "5" : n = 5 : ten = 10
WScript.Echo "text variable and number literal:", x = 5, 5 = x, x < 10, x > 4, x <> 5
WScript.Echo "number variable and text literal:", n = "5", "5" = n, ten < "9", ten > "9"
WScript.Echo "two literals:", "8" < 9, 10 > "9", "10" = 10
WScript.Echo "two variables:", x = n, x > n, n < x
nine = "9"
WScript.Echo "text and text:", ten < nine, CStr(ten) < nine
WScript.Echo "negative literal:", "-3" = -3, x > -1
WScript.Echo "double literal:", "2.5" = 2.5, "1e3" = 1000
WScript.Echo "empty against literals:", Empty = 0, Empty = "", e1 = "", e1 = 0
WScript.Echo "null stays null:", IsNull(Null = 5), IsNull(x = Null)
b = True
WScript.Echo "boolean against a text literal:", b = "True", b = "-1"
' Text that is no number against a number literal, and numbers against a
' text literal, never raise: the variant rule decides (a number is less
' than any string).
r = "abc" : five = 5
WScript.Echo "text that is no number:", r = 5, r > 5, 5 < r, "abc" = 5, 3 = "test", 3 < "test"
WScript.Echo "number against text:", five = "abc", five < "abc", "true" <> True, "" = True

' Select Case compares its cases the same way
Function Pick(v)
    Select Case v
        Case "a" : Pick = "letter a"
        Case 1, 2 : Pick = "one or two"
        Case 3 To 5 : Pick = "three to five"
        Case Is > 100 : Pick = "big"
        Case Else : Pick = "other"
    End Select
End Function
WScript.Echo "select:", Pick("2"), Pick("4"), Pick("a"), Pick("500"), Pick(7)
Function PickText(v)
    Select Case v
        Case "10" : PickText = "ten"
        Case Else : PickText = "not ten"
    End Select
End Function
WScript.Echo "select on text cases:", PickText(10), PickText(9)
two = 2 : textTwo = "2"
Select Case textTwo
    Case two : WScript.Echo "wrong: two variables keep the variant rule"
    Case Else : WScript.Echo "variable case:", "no match"
End Select
Select Case "2"
    Case two : WScript.Echo "literal subject:", "match"
End Select

' Cases that mix numbers and text, the usual way to classify an input: a
' text subject passes the number cases, a number the text cases.
Function Classify(v)
    Select Case v
        Case 1, 2, 3 : Classify = "small"
        Case 4 To 6 : Classify = "medium"
        Case "a", "b" : Classify = "letter"
        Case Else : Classify = "other"
    End Select
End Function
WScript.Echo "classify:", Classify("a"), Classify(50), Classify(2), Classify("5"), Classify("zz")
Select Case 3
    Case 2 : WScript.Echo "wrong: two"
    Case "test" : WScript.Echo "wrong: test"
    Case 0, False, 2 + 1 : WScript.Echo "literal subject and mixed cases:", "third case"
End Select

' The texts "#TRUE#" and "#FALSE#" are Boolean values.
If "#TRUE#" Then WScript.Echo "#TRUE# is true"
WScript.Echo "not:", Not "#FALSE#", Not "#true#", TypeName(Not "#FALSE#"), CBool("#FALSE#"), CBool("#TRUE#")
WScript.Echo "and / or:", "#TRUE#" And True, "#FALSE#" Or False
