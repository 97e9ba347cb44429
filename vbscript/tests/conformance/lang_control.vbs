' If, Select Case, the loop forms and their Exit statements.
Dim i, s, n

Function Classify(v)
    If v < 0 Then
        Classify = "negative"
    ElseIf v = 0 Then
        Classify = "zero"
    ElseIf v < 10 Then
        Classify = "small"
    Else
        Classify = "large"
    End If
End Function
WScript.Echo "if:", Classify(-5), Classify(0), Classify(3), Classify(50)

' Single-line forms, with several statements per branch
If 1 < 2 Then s = "a" : s = s & "b" Else s = "c"
WScript.Echo "single line:", s
If 1 > 2 Then s = "a" Else s = "x" : s = s & "y"
WScript.Echo "single line else:", s
If True Then WScript.Echo "no else"
If False Then WScript.Echo "wrong" Else If True Then WScript.Echo "else if in one line"

Function Kind(v)
    Select Case v
        Case "a", "b"
            Kind = "letter"
        Case 1, 2, 3
            Kind = "low"
        Case 4
            Kind = "four"
        Case Else
            Kind = "other"
    End Select
End Function
WScript.Echo "select:", Kind(2), Kind("b"), Kind(4), Kind(9), Kind(Empty)
' The first matching Case wins and the test expression is evaluated once
n = 0
Function Bump()
    n = n + 1
    Bump = n
End Function
Select Case Bump()
    Case 2 : WScript.Echo "wrong"
    Case 1, 1 : WScript.Echo "select once:", n
    Case 1 : WScript.Echo "wrong, second match"
End Select
Select Case 5
    Case 1 : WScript.Echo "wrong"
End Select
WScript.Echo "select no match falls through"

s = ""
For i = 1 To 10 Step 3 : s = s & i & " " : Next
WScript.Echo "for step:", s, "after:", i
s = ""
For i = 5 To 1 Step -2 : s = s & i & " " : Next
WScript.Echo "for down:", s, "after:", i
s = ""
For i = 1 To 0 : s = s & "ran" : Next
WScript.Echo "for zero times:", "[" & s & "]", i
s = ""
For i = 0 To 1 Step 0.25 : s = s & i & " " : Next
WScript.Echo "for fractional:", s
' Bounds are evaluated once; changing the limit inside has no effect
n = 3 : s = ""
For i = 1 To n : n = 10 : s = s & i : Next
WScript.Echo "for bounds once:", s
s = ""
For i = 1 To 10
    If i = 4 Then Exit For
    s = s & i
Next
WScript.Echo "exit for:", s, i

i = 0
Do While i < 3 : i = i + 1 : Loop
WScript.Echo "do while:", i
i = 0
Do Until i >= 3 : i = i + 1 : Loop
WScript.Echo "do until:", i
i = 10
Do : i = i + 1 : Loop While i < 3
WScript.Echo "loop while runs once:", i
i = 10
Do : i = i + 1 : Loop Until True
WScript.Echo "loop until:", i
i = 0
Do
    i = i + 1
    If i = 7 Then Exit Do
Loop
WScript.Echo "exit do:", i
i = 0
While i < 5 : i = i + 2 : Wend
WScript.Echo "while wend:", i

' Exit leaves only the innermost loop
s = ""
For i = 1 To 3
    n = 0
    Do
        n = n + 1
        If n = 2 Then Exit Do
    Loop
    s = s & i & ":" & n & " "
Next
WScript.Echo "nested exit:", s

Stop
WScript.Echo "stop does nothing outside a debugger"

Dim d : Set d = CreateObject("Scripting.Dictionary")
d.Add "k1", 1 : d.Add "k2", 2
s = ""
Dim k
For Each k In d : s = s & k & "=" & d(k) & " " : Next
WScript.Echo "for each dictionary:", s
