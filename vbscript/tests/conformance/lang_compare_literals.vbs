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
On Error Resume Next
r = "abc" : r = (r = 5)
WScript.Echo "text that is no number:", Err.Number, Err.Description
Err.Clear
On Error GoTo 0

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
