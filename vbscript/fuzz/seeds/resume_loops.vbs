On Error Resume Next
Function Fail() : Fail = 1 / 0 : End Function
Do : n = n + 1 : Loop While Fail()
Do : n = n + 1 : Loop Until Fail()
For x = Fail() To 9 : n = n + 1 : Next
For x = 1 To Fail() : n = n + 1 : Next
Select Case Fail() : Case Else : n = 0 : End Select
a = Split("p q") : a(0) = Array(1, Split("r")) : a(0)(1)(0) = 2
Sub Show(p, q) : End Sub
Show , 1
y = (Show)(1, 2)
If Not "#FALSE#" Then z = Me Is Me
