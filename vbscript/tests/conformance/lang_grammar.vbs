' Forms that scripts written for other hosts use and that compile there.
Dim hi, x, y, s, i, o, v

' & glued to a name is concatenation unless hex or octal digits follow.
hi = "there"
WScript.Echo "x" &hi, "x" &hi&"!", &h1F, &o17
Dim ho : ho = 5
WScript.Echo 1 &ho

' >< is <>.
WScript.Echo 1 >< 2, 2 >< 2

' A continuation right after a token.
x =_
  5
s = "a" &_
    "b"
Function Add(a, b) : Add = a + b : End Function
WScript.Echo x, s, Add(1,_
  2)

' A one-line If closed by End If, with or without Else.
x = 0
If x = 0 Then y = 1 Else y = 2 End If
WScript.Echo y
If x = 1 Then y = 3 Else y = 4 End If
WScript.Echo y
If x = 0 Then y = 5 End If : WScript.Echo y
If x = 0 Then y = 6 : End If
WScript.Echo y

' A statement on the line of its Case.
For Each v In Array(1, 2, 3)
  Select Case v
  Case 1  y = "one"
  Case 2 y = "two" : x = v
  Case Else y = "many"
  End Select
  WScript.Echo v, y
Next

' Procedures declared inside a block are global ones.
If False Then
  Function Inside(n)
    Inside = n * 10
  End Function
  Public Sub AlsoInside : WScript.Echo "also inside" : End Sub
End If
WScript.Echo Inside(4)
AlsoInside

' Procedure bodies on the header's line, and End ... after a statement.
Function Twice(n) Twice = n * 2 : End Function
Function Thrice(n) Thrice = n * 3 End Function
Sub SetX(v) x = v End Sub
Class Point : Public X, Y End Class
Class Named
  Public Default Property Get Value() Value = "named value" : End Property
End Class
Class Bare
  Public Default Property Get Value : Value = "bare value" : End Property
End Class
SetX 42
WScript.Echo Twice(4), Thrice(4), x
Set o = New Point : o.X = 1 : o.Y = 2 : WScript.Echo o.X + o.Y
Dim n1, b1 : Set n1 = New Named : Set b1 = New Bare
WScript.Echo n1, b1

' Call with a parenthesised callee.
Class Greeter
  Public Function Hello() : WScript.Echo "hello from a new object" : End Function
End Class
Sub Show(v) : WScript.Echo "show", v : End Sub
Call (New Greeter).Hello()
Call (((Show))) (7)

' Keywords as member names, Step as a variable.
Class Words
  Public [Rem], [Step], [End], [Next]
End Class
Set o = New Words
o.rem = "r" : o.step = "s" : o.End = "e" : o.Next = "n"
WScript.Echo o.Rem & o.Step & o.End & o.Next
With o : WScript.Echo .rem & .step : End With
Step = 2
s = ""
For i = 1 To 9 Step Step + 1
  s = s & i
Next
WScript.Echo s, Step

' A one-line If inside a one-line procedure ends with the procedure.
Function Larger(a, b) : If a > b Then Larger = a Else Larger = b : End Function
Sub Say(c) : If c Then WScript.Echo "yes" Else WScript.Echo "no" : End Sub
WScript.Echo Larger(3, 9), Larger(9, 3)
Say True : Say False

' A parenthesised first argument that a member continues.
Class Labelled
  Public Name
  Public Function Text() : Text = "labelled" : End Function
End Class
WScript.Echo (New Labelled).Text()
WScript.Echo (New Labelled).Text(), "and more"
Dim items(0) : Set items(0) = New Labelled
items (0).Name = "assigned through a spaced index"
WScript.Echo items(0).Name
