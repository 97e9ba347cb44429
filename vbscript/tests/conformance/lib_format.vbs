' FormatNumber, FormatCurrency, FormatPercent and FormatDateTime in en-US,
' with every optional argument, negative numbers and the leading-digit switch.
WScript.Echo "number:", FormatNumber(1234.567), FormatNumber(1234.567, 1), FormatNumber(0), FormatNumber("12.3"), FormatNumber(-1234.5), FormatNumber(1E15)
' Formatting rounds halves away from zero, unlike Round
WScript.Echo "number rounding:", FormatNumber(2.5, 0), FormatNumber(0.125, 2), FormatNumber(-2.5, 0), FormatNumber(1234.5, 0), FormatNumber(0.0001, 3)
WScript.Echo "leading digit:", FormatNumber(0.5, 2, False), FormatNumber(0.5, 2, True), FormatNumber(-0.5, 2, False), FormatNumber(-0.5, 2, True), FormatNumber(0.5, 2)
WScript.Echo "parentheses:", FormatNumber(-1234.5, 2, , True), FormatNumber(-1234.5, 2, , False), FormatNumber(1234.5, 2, , True), FormatNumber(-0.5, 1, False, True)
WScript.Echo "grouping:", FormatNumber(1234567, 0, , , False), FormatNumber(1234567, 0, , , True), FormatNumber(-1234567.891, 2, , , False), FormatNumber(123, 0)
WScript.Echo "currency:", FormatCurrency(1234.5), FormatCurrency(1234.567, 0), FormatCurrency(0.5, 2, False), FormatCurrency(-1234.5, 2, , False), FormatCurrency(-1234.5, 2, , True), FormatCurrency(1234567, 0, , , False)
WScript.Echo "percent:", FormatPercent(0.1234), FormatPercent(0.5, 0), FormatPercent(-0.25, 1), FormatPercent(0.001, 2, False), FormatPercent(12.5, 0, , , True), FormatPercent(0.005, 2, True)
Dim d : d = #1/12/2003 3:04:05 PM#
WScript.Echo "datetime:", FormatDateTime(d), "|", FormatDateTime(d, vbGeneralDate), "|", FormatDateTime(d, vbLongDate), "|", FormatDateTime(d, vbShortDate)
WScript.Echo "time:", FormatDateTime(d, vbLongTime), "|", FormatDateTime(d, vbShortTime), "|", FormatDateTime(#1/12/2003#), "|", FormatDateTime(#3:04:05 AM#), "|", FormatDateTime(0.5, 4)
WScript.Echo "types:", TypeName(FormatNumber(1)), TypeName(FormatDateTime(d))
On Error Resume Next
Dim r
r = FormatNumber("abc") : WScript.Echo "FormatNumber(text):", Err.Number : Err.Clear
r = FormatDateTime("abc") : WScript.Echo "FormatDateTime(text):", Err.Number : Err.Clear
