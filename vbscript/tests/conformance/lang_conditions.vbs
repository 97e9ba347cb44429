' Comparisons as If, ElseIf, Do and While conditions give the same truth
' as the same comparison used as a value, for every kind of operand:
' locals (also ByRef ones), globals, literals, constants, call results.
Const LIMIT = 3
Function T(c)
    If c Then T = "T" Else T = "F"
End Function

Function Bump(v)
    v = v + 10
    Bump = 5
End Function

Sub Locals(a, ByVal b, s)
    Dim d, e, n
    d = 2.5 : n = Null
    If a < b Then r = "T" Else r = "F"
    WScript.Echo "local<byval:", r, T(a < b)
    If b >= a Then r = "T" Else r = "F"
    WScript.Echo "byval>=local:", r, T(b >= a)
    If a = 1 Then r = "T" Else r = "F"
    WScript.Echo "byref=literal:", r, T(a = 1)
    If 2 > a Then r = "T" Else r = "F"
    WScript.Echo "literal>byref:", r, T(2 > a)
    If d <> 2.5 Then r = "T" Else r = "F"
    WScript.Echo "double<>literal:", r, T(d <> 2.5)
    If a < d Then r = "T" Else r = "F"
    WScript.Echo "long<double:", r, T(a < d)
    If s = 5 Then r = "T" Else r = "F"
    WScript.Echo "text=number literal:", r, T(s = 5)
    If s > a Then r = "T" Else r = "F"
    WScript.Echo "text>number variable:", r, T(s > a)
    If e = 0 Then r = "T" Else r = "F"
    WScript.Echo "empty=0:", r, T(e = 0)
    If e = "" Then r = "T" Else r = "F"
    WScript.Echo "empty="""":", r, T(e = "")
    If n = 1 Then r = "T" Else r = "F"
    WScript.Echo "null=1 takes Else:", r
    If n <> 1 Then r = "T" Else r = "F"
    WScript.Echo "null<>1 takes Else:", r
    If a < LIMIT Then r = "T" Else r = "F"
    WScript.Echo "local<const:", r, T(a < LIMIT)
    If True = -1 Then r = "T" Else r = "F"
    WScript.Echo "True=-1:", r
    If a = True Then r = "T" Else r = "F"
    WScript.Echo "1=True:", r, T(a = True)
    If CCur(1.5) > a Then r = "T" Else r = "F"
    WScript.Echo "currency>long:", r
    If CSng(0.5) < d Then r = "T" Else r = "F"
    WScript.Echo "single<double:", r
    If DateSerial(2000, 1, 1) > 36000 Then r = "T" Else r = "F"
    WScript.Echo "date>number:", r
    If a < 2 Then
        r = "first"
    ElseIf a < 3 Then
        r = "second"
    Else
        r = "third"
    End If
    WScript.Echo "if/elseif:", r
End Sub

Locals 1, 2, "5"

' Globals, and the left operand keeps the value it had before the right
' side ran (Bump changes it through ByRef).
g = 1 : h = 2.5 : k = 32767
If g < h Then WScript.Echo "global<global: T" Else WScript.Echo "global<global: F"
If k + 1 > k Then WScript.Echo "integer overflow to long: T" Else WScript.Echo "integer overflow to long: F"
x = 1
If x < Bump(x) Then r = "T" Else r = "F"
WScript.Echo "left kept before the call:", r, x
x = 1
WScript.Echo "as a value:", x < Bump(x), x
x = 1
WScript.Echo "arithmetic keeps it too:", x + Bump(x), x
Function LocalBump()
    Dim y
    y = 1
    LocalBump = y * Bump(y) & " " & y
End Function
WScript.Echo "local arithmetic:", LocalBump()

' Loops
i = 0
Do While i < LIMIT
    i = i + 1
Loop
WScript.Echo "do while:", i
Do Until i <= 0.5
    i = i - 0.5
Loop
WScript.Echo "do until double:", i
j = 0
While j < "4"
    j = j + 1
Wend
WScript.Echo "while against text literal:", j
Function CountDown(ByVal n)
    Dim c
    c = 0
    Do
        c = c + 1
        n = n - 1
    Loop While n > 0
    CountDown = c
End Function
WScript.Echo "loop while in a function:", CountDown(4), CountDown(-1)

' An error in a condition: On Error Resume Next enters the block.
On Error Resume Next
s = "abc"
If CInt(s) = 5 Then WScript.Echo "error enters Then:", Err.Number Else WScript.Echo "else"
Err.Clear
c = 0
Do While CInt(s) < 1
    c = c + 1
    If c > 2 Then Exit Do
Loop
WScript.Echo "error in a Do condition:", Err.Number, c
On Error GoTo 0

' A class's default property on either side.
Class Box
    Public Default Property Get Value
        Value = 7
    End Property
End Class
Set bx = New Box
If bx > 6 Then WScript.Echo "default property > 6: T" Else WScript.Echo "default property > 6: F"
If 8 > bx Then WScript.Echo "8 > default property: T" Else WScript.Echo "8 > default property: F"
