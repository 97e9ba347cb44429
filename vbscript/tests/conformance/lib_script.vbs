' Err's help fields, locale functions (accepted; formatting stays en-US).
On Error Resume Next
Err.Raise 5, "Calc", "Bad input", "calc.chm", 42
WScript.Echo "help fields:", Err.Number, Err.Source, Err.Description, Err.HelpFile, Err.HelpContext
Err.Clear
WScript.Echo "cleared:", Err.Number, "[" & Err.HelpFile & "]", Err.HelpContext
Dim x : x = 1 / 0
WScript.Echo "run-time error help:", Err.Number, TypeName(Err.HelpFile), TypeName(Err.HelpContext)
Err.Clear
On Error GoTo 0

Dim before : before = GetLocale()
WScript.Echo "locale:", TypeName(before), before > 0
Dim previous : previous = SetLocale(1041)
WScript.Echo "set locale returns the previous one:", previous = before
WScript.Echo "formatting stays en-US:", FormatNumber(1234.5), CStr(1.5), #1/15/2000#
SetLocale before
WScript.Echo "restored:", GetLocale() = before
