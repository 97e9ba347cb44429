' Hex and octal literals take the smallest type that holds their 16-bit
' (up to four digits) or 32-bit pattern; Round keeps a Boolean; Null where
' a library function raises; Err.Raise's numbers and what it keeps; a
' member of Nothing.
WScript.Echo "hex:", TypeName(&HFFF&), &HFFF&, TypeName(&HFFFF&), &HFFFF&, TypeName(&HFFFFFFFF&), &HFFFFFFFF&, Hex(&HFFFFFFFF&)
WScript.Echo "hex without &:", TypeName(&HFFFFFFFF), &HFFFFFFFF, TypeName(&HFFFF), &HFFFF, TypeName(&H10000), TypeName(&H8000&), &H8000&
WScript.Echo "octal:", TypeName(&O177777&), &O177777&, TypeName(&O37777777777&), &O37777777777&, TypeName(&O7777&)
WScript.Echo "round:", TypeName(Round(True)), Round(True), TypeName(Round(False)), TypeName(Round(2.5)), Round(CInt(7))

On Error Resume Next
Sub Try(what)
    WScript.Echo what & ":", Err.Number
    Err.Clear
End Sub
x = InStrRev("abcd", Null) : Try "InStrRev(text, Null)"
x = InStrRev(Null, "b") : WScript.Echo "InStrRev(Null, text):", IsNull(x), Err.Number
x = DateAdd("q", Null, #1/1/2000#) : Try "DateAdd with a Null count"
x = DateAdd("q", 1, Null) : WScript.Echo "DateAdd with a Null date:", IsNull(x), Err.Number
x = FormatDateTime(Null) : Try "FormatDateTime(Null)"
x = FormatNumber(Null) : Try "FormatNumber(Null)"
x = FormatPercent(Null) : Try "FormatPercent(Null)"
x = FormatCurrency(Null) : Try "FormatCurrency(Null)"

Err.Raise &H10000&
WScript.Echo "raise past 16 bits:", Err.Number, Err.Description
Err.Clear
Err.Raise &H8007000E&
WScript.Echo "raise an HRESULT:", Err.Number, Err.Description
Err.Clear
Err.Raise &H800A000B
WScript.Echo "raise the runtime's own HRESULT:", Err.Number, Err.Description
Err.Clear
Err.Raise vbObjectError + 1
WScript.Echo "raise vbObjectError + 1:", Err.Number - vbObjectError, Err.Description
Err.Clear
Err.Raise 1000, "mine", "my text"
Err.Raise 5
WScript.Echo "raise again keeps the rest:", Err.Number, Err.Source, Err.Description
Err.Clear
Err.Raise 5
WScript.Echo "after Clear:", Err.Number, Err.Source, Err.Description
Err.Clear

Set o = Nothing
o.Foo
WScript.Echo "method of Nothing:", Err.Number, Err.Description
Err.Clear
v = o.Bar
WScript.Echo "property of Nothing:", Err.Number
Err.Clear
o.Baz = 1
WScript.Echo "assigning a member of Nothing:", Err.Number
Err.Clear
v = Nothing
WScript.Echo "Nothing without Set:", Err.Number
