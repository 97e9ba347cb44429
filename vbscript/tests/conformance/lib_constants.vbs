' The built-in constants, user constants, RGB and the engine identification.
WScript.Echo "vartype:", vbEmpty, vbNull, vbInteger, vbLong, vbSingle, vbDouble, vbCurrency, vbDate, vbString, vbObject, vbError, vbBoolean, vbVariant, vbDataObject, vbDecimal, vbByte, vbArray
WScript.Echo "compare:", vbBinaryCompare, vbTextCompare, vbDatabaseCompare, vbObjectError, vbTrue, vbFalse, vbUseDefault
WScript.Echo "days:", vbUseSystemDayOfWeek, vbSunday, vbMonday, vbTuesday, vbWednesday, vbThursday, vbFriday, vbSaturday
WScript.Echo "weeks:", vbUseSystem, vbFirstJan1, vbFirstFourDays, vbFirstFullWeek
WScript.Echo "date formats:", vbGeneralDate, vbLongDate, vbShortDate, vbLongTime, vbShortTime
WScript.Echo "buttons:", vbOKOnly, vbOKCancel, vbAbortRetryIgnore, vbYesNoCancel, vbYesNo, vbRetryCancel
WScript.Echo "icons:", vbCritical, vbQuestion, vbExclamation, vbInformation, vbDefaultButton1, vbDefaultButton2, vbDefaultButton3, vbDefaultButton4, vbApplicationModal, vbSystemModal
WScript.Echo "box options:", vbMsgBoxHelpButton, vbMsgBoxSetForeground, vbMsgBoxRight, vbMsgBoxRtlReading
WScript.Echo "answers:", vbOK, vbCancel, vbAbort, vbRetry, vbIgnore, vbYes, vbNo
WScript.Echo "colors:", vbBlack, vbRed, vbGreen, vbYellow, vbBlue, vbMagenta, vbCyan, vbWhite
WScript.Echo "constants are case-insensitive:", VBCRLF = vbCrLf, VbYes
WScript.Echo "rgb:", RGB(255, 0, 0), RGB(0, 0, 255), RGB(1, 2, 3), RGB(300, 0, 0), TypeName(RGB(0, 0, 0))
WScript.Echo "engine:", ScriptEngine, ScriptEngineMajorVersion, TypeName(ScriptEngineMinorVersion), TypeName(ScriptEngineBuildVersion)

Const Limit = 10, Greeting = "hi"
Const Negative = -5
WScript.Echo "user constants:", Limit * 2, Greeting, Negative, TypeName(Limit)
Function UsesConstant()
    Const LocalConst = 3
    UsesConstant = LocalConst + Limit
End Function
WScript.Echo "local constant:", UsesConstant()
