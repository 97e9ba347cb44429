' A small engineering library of the kind users load, used end to end:
' classes, a Dictionary of factors, RegExp parsing, raised errors, formatting.
Option Explicit

Class Quantity
    Public Value, Unit
    Public Function ToText(digits)
        ToText = FormatNumber(Value, digits, True, False, True) & " " & Unit
    End Function
End Class

Dim factors : Set factors = CreateObject("Scripting.Dictionary")
factors.CompareMode = vbTextCompare
factors.Add "mm", 0.001
factors.Add "cm", 0.01
factors.Add "m", 1
factors.Add "km", 1000
factors.Add "in", 0.0254
factors.Add "ft", 0.3048

Function ParseQuantity(text)
    Dim re, m, q
    Set re = New RegExp
    re.Pattern = "^\s*([-+]?\d+(?:\.\d+)?(?:[eE][-+]?\d+)?)\s*([a-zA-Z]+)\s*$"
    If Not re.Test(text) Then
        Err.Raise vbObjectError + 100, "ParseQuantity", "Cannot read '" & text & "'"
    End If
    Set m = re.Execute(text)(0)
    Set q = New Quantity
    q.Value = CDbl(m.SubMatches(0))
    q.Unit = m.SubMatches(1)
    Set ParseQuantity = q
End Function

Function ConvertLength(q, target)
    Dim r
    If Not factors.Exists(q.Unit) Or Not factors.Exists(target) Then Err.Raise 5
    Set r = New Quantity
    r.Value = q.Value * factors(q.Unit) / factors(target)
    r.Unit = target
    Set ConvertLength = r
End Function

Dim inputs, i, q, text
inputs = Split("12.5 mm|3 FT| 2.54cm |1e3 m|abc|4 furlong", "|")
For i = 0 To UBound(inputs)
    On Error Resume Next
    Set q = ParseQuantity(inputs(i))
    If Err.Number = 0 Then text = q.ToText(2) & " = " & ConvertLength(q, "in").ToText(3)
    If Err.Number <> 0 Then
        text = "error " & Err.Number & ": " & Err.Description
        If Err.Number < 0 Then text = "error vbObjectError+" & (Err.Number - vbObjectError) & ": " & Err.Description
        Err.Clear
    End If
    On Error GoTo 0
    WScript.Echo Right(Space(12) & "[" & inputs(i) & "]", 12), "->", text
Next

Function Mean(values)
    Dim v, total, n
    total = 0 : n = 0
    For Each v In values
        total = total + v
        n = n + 1
    Next
    If n = 0 Then Mean = Null Else Mean = total / n
End Function
WScript.Echo "mean:", Mean(Array(1, 2, 3, 4)), IsNull(Mean(Array()))

Function Poly(coeffs, x)
    Dim k
    Poly = 0
    For k = UBound(coeffs) To 0 Step -1
        Poly = Poly * x + coeffs(k)
    Next
End Function
WScript.Echo "poly:", Poly(Array(1, -3, 2), 2), Poly(Array(1, -3, 2), 0.5)

Sub CubeRoot(ByVal x, ByRef result, ByRef steps)
    Dim guess, prev
    guess = x / 3 + 1
    steps = 0
    Do
        prev = guess
        guess = guess - (guess * guess * guess - x) / (3 * guess * guess)
        steps = steps + 1
    Loop Until Abs(guess - prev) < 1E-12 Or steps > 100
    result = guess
End Sub
Dim root, steps
CubeRoot 27, root, steps
WScript.Echo "cube root:", root, steps
