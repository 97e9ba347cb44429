' Identical string literals of one text share their storage. Changing a
' variable that got such a literal (appends in place, ByRef parameters,
' array elements, fields, dictionary items) must leave every other use of
' the literal, in the same or another procedure, as written.
Function Fresh()
    Fresh = "abc"
End Function

Function GrowLocal(n)
    Dim s, i
    s = "abc"
    For i = 1 To n
        s = s & "abc"
    Next
    GrowLocal = s
End Function

Sub AppendTo(ByRef t)
    t = t & "!"
End Sub

Class Holder
    Public Text
    Public Property Let Value(v)
        Text = v
        Text = Text & "+"
    End Property
End Class

WScript.Echo "grown local:", GrowLocal(3), "then:", Fresh(), Len(Fresh())

g = "abc"
For i = 1 To 3
    g = g & "d"
Next
WScript.Echo "grown global:", g, "literal:", "abc", "function:", Fresh()

For i = 1 To 3
    s = "ab"
    s = s & i
    WScript.Echo "fresh each pass:", s
Next

v = "abc"
AppendTo v
AppendTo v
WScript.Echo "byref:", v, Fresh()

Dim a(1)
a(0) = "abc"
a(0) = a(0) & "z"
a(1) = "abc"
WScript.Echo "elements:", a(0), a(1), Fresh()

Set h = New Holder
h.Value = "abc"
h.Text = h.Text & "more"
WScript.Echo "field:", h.Text, Fresh()

Set d = CreateObject("Scripting.Dictionary")
d("k") = "abc"
d("k") = d("k") & "y"
WScript.Echo "dictionary:", d("k"), Fresh()

Const C = "abc"
x = C
x = x & "c"
WScript.Echo "constant:", C, x, Fresh()

' Literals differing only in case, or empty, stay what they are.
WScript.Echo "case:", "ABC", "abc", "Abc", StrComp("ABC", "abc", 0)
e = ""
e = e & "filled"
WScript.Echo "empty:", "[" & "" & "]", e, Len("")
q = "say ""hi"""
q = q & "."
WScript.Echo "quotes:", q, "say ""hi"""

WScript.Echo "subtypes:", TypeName("abc"), VarType("abc"), TypeName(Fresh()), VarType(g)

On Error Resume Next
n = "abc" + 1
WScript.Echo "error:", Err.Number, Err.Description
Err.Clear
n = "abc" * "abc"
WScript.Echo "error:", Err.Number
On Error GoTo 0

' Code compiled later keeps its own copy of the same text.
ExecuteGlobal "lit2 = ""abc"" : lit2 = lit2 & ""x"""
WScript.Echo "executed:", lit2, Fresh()
