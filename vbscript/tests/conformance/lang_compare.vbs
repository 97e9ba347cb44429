' Comparisons between the subtypes, Null and Empty in conditions, the Is* tests.
Dim e, n
n = Null
WScript.Echo "numbers:", 1 = 1.0, 2 < 10, CInt(3) = CDbl(3), 0.1 + 0.2 = 0.3, -1 < -0.5, 3 <> 3, 3 >= 3, 2 <= 1
WScript.Echo "strings:", "abc" = "ABC", "abc" < "abd", "a" < "B", "" < "a", "ab" < "abc", "Z" < "a", "10" < "9"
WScript.Echo "empty:", e = 0, e = "", e < 1, e = False, "" = e, e > -1
WScript.Echo "booleans:", True = -1, True = 1, False = 0, True < False
'' A number held in a variable is less than any string in a variable, even
' one that reads as a larger number; function results count as variables
Dim text100, num1000, text10, num10
text100 = "100" : num1000 = 1000 : text10 = "10" : num10 = 10
WScript.Echo "string and number values:", text100 > num1000, text100 > CLng(num1000), text10 = num10, num10 < text10, text10 = CStr(num10)
WScript.Echo "dates:", #1/1/2000# < #1/2/2000#, #1/1/2000# = 36526, #1/1/2000 12:00# > #1/1/2000#
WScript.Echo "null:", TypeName(n = n), TypeName(n <> 1), TypeName(n = Empty), TypeName("" < n)
If n = 1 Then
    WScript.Echo "wrong: Null condition taken"
Else
    WScript.Echo "Null condition is not true"
End If
If Not (n = 1) Then WScript.Echo "wrong: Not Null taken" Else WScript.Echo "Not Null is not true either"
Dim count : count = 0
Do While n
    count = count + 1
    Exit Do
Loop
WScript.Echo "Do While Null ran:", count

WScript.Echo "IsEmpty:", IsEmpty(e), IsEmpty(n), IsEmpty(""), IsEmpty(0)
WScript.Echo "IsNull:", IsNull(n), IsNull(e), IsNull(""), IsNull(Null + 1)
WScript.Echo "IsNumeric:", IsNumeric("12"), IsNumeric(" 12 "), IsNumeric("1e5"), IsNumeric("-1.5"), IsNumeric("&H10"), IsNumeric(True)
WScript.Echo "not numeric:", IsNumeric("abc"), IsNumeric(""), IsNumeric(n), IsNumeric("1 2"), IsNumeric(e), IsNumeric(Array(1))
WScript.Echo "IsDate:", IsDate("1/15/2000"), IsDate(#1/1/2000#), IsDate("abc"), IsDate("13/45/2000"), IsDate("10:30 PM")
WScript.Echo "IsArray:", IsArray(Array()), IsArray("a"), IsArray(e)
WScript.Echo "IsObject:", IsObject(Nothing), IsObject(1), IsObject(CreateObject("Scripting.Dictionary"))
