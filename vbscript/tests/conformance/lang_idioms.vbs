' Idioms common in engineering libraries, and the conversions they rely on.
Dim p, q
q = 3
p = q = 3
WScript.Echo "assignment of a comparison:", p, TypeName(p)
WScript.Echo "no blanks around &:", "a"&"b"

Function Grade(score)
    Select Case True
        Case score >= 90 : Grade = "A"
        Case score >= 80 : Grade = "B"
        Case Else : Grade = "C"
    End Select
End Function
WScript.Echo "select case true:", Grade(95), Grade(85), Grade(10)

' Conditions convert strings and numbers to Boolean
Dim hits : hits = ""
If "True" Then hits = hits & "T"
If "1" Then hits = hits & "1"
If 0.5 Then hits = hits & "h"
If Not "0" Then hits = hits & "0"
WScript.Echo "string conditions:", hits
On Error Resume Next
If "abc" Then hits = "wrong"
WScript.Echo "text condition error:", Err.Number
Err.Clear
On Error GoTo 0

' Floating point behaves exactly as IEEE doubles do
WScript.Echo "precision:", Log(1000) / Log(10), Int(Log(1000) / Log(10)), (0.1 + 0.7) * 10, Int((0.1 + 0.7) * 10), Int(2.675 * 100 + 0.5) / 100
WScript.Echo "fix and int on text:", Int("3.7"), Fix("-3.7"), TypeName(Int("3.7"))
' Lengths and positions given as non-integers are rounded to even
WScript.Echo "rounded arguments:", Left("abcdef", 2.5), Left("abcdef", 3.5), Chr(65.5), Len(Space(2.5)), Mid("abcdef", "2", 2), InStr(12345, 3)

' Split gives an ordinary array of Variants, as Array does
WScript.Echo "typed arrays:", TypeName(Split("a b")), VarType(Split("a b")), TypeName(Array(1)), VarType(Array(1))

' Err.Raise keeps what it is given and fills in the rest
On Error Resume Next
Err.Raise 5, , "custom text"
WScript.Echo "raise with text:", Err.Number, Err.Description
Err.Clear
Err.Raise 9, "Module1"
WScript.Echo "raise with source:", Err.Number, Err.Source, Err.Description
Err.Clear

' An error in Class_Initialize means no object
Class Fragile
    Private Sub Class_Initialize()
        Err.Raise 1001, "Fragile", "cannot build"
    End Sub
End Class
Dim f : Set f = Nothing
Set f = New Fragile
WScript.Echo "failed New:", Err.Number, f Is Nothing
Err.Clear

' Strings of digits build numbers through Val-free conversions
Dim total, parts, i
parts = Split("1.5,2.25,-0.75", ",")
total = 0
For i = 0 To UBound(parts)
    total = total + CDbl(parts(i))
Next
WScript.Echo "sum of text values:", total, TypeName(parts(0))

' An undeclared variable passed ByRef comes into existence with the value set
Sub SetFive(x)
    x = 5
End Sub
SetFive madeByCall
WScript.Echo "byref creates the variable:", madeByCall
Dim grow : grow = Array()
ReDim Preserve grow(0)
grow(0) = "x"
WScript.Echo "growing Array():", UBound(grow), grow(0)
WScript.Echo "indexing a call result:", Array(1, 2)(1), Split("a b")(1)
WScript.Echo "rounding edges:", Int(-1E-20), Fix(1E20), CLng(-2.5), CLng(-3.5), &H80000000, TypeName(&H80000000)
