' Under On Error Resume Next a loop, For or Select whose own expression
' fails goes on with the statement after it: Loop While / Until end the
' loop after one turn, a For whose bounds fail runs its body once, a failing
' Select Case runs no branch. Conditions at the top enter their body. Every
' loop is cut off by a counter, so that a regression fails instead of
' running for ever.
Function Fail()
    Fail = 1 / 0
End Function
' Fails until n reaches 3, then is False: ends a While loop that has no Exit.
Function FailBelow3(n)
    If n < 3 Then FailBelow3 = 1 / 0 Else FailBelow3 = False
End Function

Function Run()
    On Error Resume Next
    Dim t, n, x
    n = 0
    Do
        n = n + 1 : If n > 5 Then Exit Do
    Loop While Fail()
    t = t & "loop-while:" & n & "," & Err.Number & " " : Err.Clear
    n = 0
    Do
        n = n + 1 : If n > 5 Then Exit Do
    Loop Until Fail()
    t = t & "loop-until:" & n & "," & Err.Number & " " : Err.Clear
    n = 0 : x = 6
    For x = Fail() To 100
        n = n + 1 : If n > 5 Then Exit For
    Next
    t = t & "for-start:" & n & "," & x & "," & Err.Number & " " : Err.Clear
    n = 0 : x = 6
    For x = 100 To Fail()
        n = n + 1 : If n > 5 Then Exit For
    Next
    t = t & "for-end:" & n & "," & x & "," & Err.Number & " " : Err.Clear
    n = 0 : x = 6
    For x = 1 To 3 Step Fail()
        n = n + 1 : If n > 5 Then Exit For
    Next
    t = t & "for-step:" & n & "," & x & "," & Err.Number & " " : Err.Clear
    n = 0
    Select Case Fail()
        Case 1 : n = 1
        Case Else : n = 2
    End Select
    t = t & "select:" & n & "," & Err.Number & " " : Err.Clear
    n = 0
    Select Case 3
        Case Fail() : n = 1
        Case 3 : n = 2
    End Select
    t = t & "case:" & n & "," & Err.Number & " " : Err.Clear
    n = 0
    Do While Fail()
        n = n + 1 : If n > 2 Then Exit Do
    Loop
    t = t & "do-while:" & n & "," & Err.Number & " " : Err.Clear
    n = 0
    While Fail()
        n = n + 1 : If n > 2 Then Err.Clear : Run = t & "while:" & n : Exit Function
    Wend
    Run = t & "while: not entered"
End Function
WScript.Echo "in a function:", Run()

On Error Resume Next
t = ""
n = 0
Do
    n = n + 1 : If n > 5 Then Exit Do
Loop While Fail()
t = t & "loop-while:" & n & "," & Err.Number & " " : Err.Clear
n = 0
Do
    n = n + 1 : If n > 5 Then Exit Do
Loop Until Fail()
t = t & "loop-until:" & n & "," & Err.Number & " " : Err.Clear
n = 0 : x = 6
For x = Fail() To 100
    n = n + 1 : If n > 5 Then Exit For
Next
t = t & "for-start:" & n & "," & x & "," & Err.Number & " " : Err.Clear
n = 0 : x = 6
For x = 100 To Fail()
    n = n + 1 : If n > 5 Then Exit For
Next
t = t & "for-end:" & n & "," & x & "," & Err.Number & " " : Err.Clear
n = 0 : x = 6
For x = 1 To "abc"
    n = n + 1 : If n > 5 Then Exit For
Next
t = t & "for-text:" & n & "," & x & "," & Err.Number & " " : Err.Clear
n = 0
Select Case Fail()
    Case 1 : n = 1
    Case Else : n = 2
End Select
t = t & "select:" & n & "," & Err.Number & " " : Err.Clear
n = 0
Select Case 3
    Case Fail() : n = 1
    Case 3 : n = 2
End Select
t = t & "case:" & n & "," & Err.Number & " " : Err.Clear
n = 0
Do Until Fail()
    n = n + 1 : If n > 2 Then Exit Do
Loop
t = t & "do-until:" & n & "," & Err.Number & " " : Err.Clear
n = 0
If Fail() Then n = 1 Else n = 2
t = t & "if:" & n & "," & Err.Number & " " : Err.Clear
n = 0
If False Then
    n = 1
ElseIf Fail() Then
    n = 2
End If
t = t & "elseif:" & n & "," & Err.Number & " " : Err.Clear
n = 0
While FailBelow3(n)
    n = n + 1
Wend
t = t & "while:" & n & "," & Err.Number
WScript.Echo "at top level:", t
