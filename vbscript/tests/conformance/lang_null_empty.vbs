' Null, Empty and Nothing through statements and library functions.
Dim e, n, o
n = Null
Set o = Nothing
Select Case n
    Case Null : WScript.Echo "wrong: Null matched Null"
    Case Else : WScript.Echo "select on Null goes to Case Else"
End Select
Select Case e
    Case 0 : WScript.Echo "select on Empty matches 0"
    Case Else : WScript.Echo "wrong"
End Select
Select Case e
    Case "" : WScript.Echo "select on Empty matches the empty string"
    Case Else : WScript.Echo "wrong"
End Select
WScript.Echo "kinds:", IsEmpty(o), IsNull(o), IsObject(o), IsEmpty(n), IsObject(n), TypeName(o), o Is Nothing
WScript.Echo "functions with Null:", TypeName(InStr(n, "a")), TypeName(Right(n, 1)), TypeName(Hex(n)), TypeName(Fix(n)), TypeName(Month(n))
WScript.Echo "functions with Empty:", Len(e), "[" & Left(e, 1) & "]", Hex(e), Int(e), TypeName(Int(e)), InStr(e, "a"), UCase(e) = "", Abs(e)
WScript.Echo "join with Empty elements:", "[" & Join(Array(e, "a", e), ",") & "]"
Function Describe(v)
    If IsNull(v) Then
        Describe = "null"
    ElseIf IsEmpty(v) Then
        Describe = "empty"
    ElseIf IsObject(v) Then
        Describe = "object"
    Else
        Describe = "value " & v
    End If
End Function
WScript.Echo "passed along:", Describe(n), Describe(e), Describe(o), Describe(0), Describe("")
' A variable assigned Empty, Null or another variable's Empty value
Dim copy : copy = e
WScript.Echo "copies:", IsEmpty(copy), VarType(copy), VarType(Empty), VarType(n)
copy = n
WScript.Echo "null copy:", IsNull(copy), "a" & copy & "b"
On Error Resume Next
Dim r
r = n + "x"
WScript.Echo "Null plus text:", TypeName(r), Err.Number : Err.Clear
