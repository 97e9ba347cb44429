' s = s & a & b ...: appending several pieces to a variable must give what
' the operators give, read left to right: s as it was before any piece
' ran, every subtype's text, Null and Empty as nothing, objects by their
' default value, and errors that leave s as it was.
Dim s, t, k, log

s = "n:"
s = s & 1 & -2 & 32768 & 2.5 & CByte(7) & CCur(1.25) & True & Null & Empty & "|"
WScript.Echo s
s = "d:"
s = s & #1/2/2000# & "," & CSng(0.5) & "," & CDbl(1E+20)
WScript.Echo s

' A piece that changes s: the operators had already read s.
Function Touch()
    s = "zzz"
    Touch = "!"
End Function
Function Grow()
    s = s & "+"
    Grow = "g"
End Function
s = "abc"
s = s & "-" & Touch()
WScript.Echo "touched:", s
s = "abc"
s = s & Touch()
WScript.Echo "touched once:", s
s = "abc"
s = s & Grow() & "."
WScript.Echo "grown:", s

' Another variable that holds the same text keeps it.
s = "shared"
t = s
s = s & "-" & "x"
WScript.Echo "copy:", t, s

' Objects: a default property's value, or the operator's error before the
' later pieces run.
Class WithDefault
    Public Default Property Get Value
        log = log & "[value]"
        Value = "dv"
    End Property
End Class
Class NoDefault
    Public x
End Class
Function Mark()
    log = log & "[mark]"
    Mark = "m"
End Function
log = ""
s = "o:"
s = s & New WithDefault & Mark()
WScript.Echo "default:", s, log
log = ""
s = "o:"
On Error Resume Next
s = s & New NoDefault & Mark()
WScript.Echo "no default:", Err.Number, s, "[" & log & "]"
Err.Clear
s = "e:"
s = s & "a" & (1 / 0)
WScript.Echo "error piece:", Err.Number, s
Err.Clear
On Error GoTo 0

' Through a ByRef parameter, a class field and a local.
Sub AddTo(acc, x)
    acc = acc & x & ";"
End Sub
s = ""
For k = 1 To 3
    AddTo s, k
Next
WScript.Echo "byref:", s
Class Buf
    Private text
    Sub Add(x)
        text = text & x & "/"
    End Sub
    Property Get Value
        Value = text
    End Property
    Private Sub Class_Initialize
        text = ""
    End Sub
End Class
Dim b
Set b = New Buf
b.Add 1
b.Add "two"
WScript.Echo "field:", b.Value
Function Local3()
    Dim x
    x = "<"
    x = x & 1 & 2 & 3 & ">"
    Local3 = x
End Function
WScript.Echo "local:", Local3()

' Not a string yet: Empty, a number, Null.
Dim e, num, nul
e = e & "a" & "b"
num = 12
num = num & 3 & 4
nul = Null
nul = nul & Null & Null
WScript.Echo "not text:", TypeName(e), e, TypeName(num), num, TypeName(nul)

' A long chain, and many appends.
Dim src
src = "s = s"
For k = 1 To 300
    src = src & " & " & k
Next
s = ""
ExecuteGlobal src
WScript.Echo "long chain:", Len(s), Right(s, 9)
s = ""
For k = 1 To 200000
    s = s & "ab" & (k Mod 10)
Next
WScript.Echo "many:", Len(s), Mid(s, 1, 9), Right(s, 6)
