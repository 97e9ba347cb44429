' Dates and times written as text (en-US): the forms CDate, DateValue,
' TimeValue and IsDate accept, and date functions given text arguments.
WScript.Echo "numeric forms:", CDate("01/15/2000"), CDate("1-15-2000"), CDate("2000-01-15"), CDate("2000/1/15"), CDate("  1/15/2000  ")
WScript.Echo "month names:", CDate("Jan 15 2000"), CDate("15 January 2000"), CDate("January 15, 2000"), CDate("15-Jan-2000"), CDate("jan 15, 2000")
WScript.Echo "day first when the month cannot be:", CDate("13/1/2000"), IsDate("13/1/2000")
WScript.Echo "times:", CDate("15:15"), "|", CDate("3:15:30 pm"), "|", CDate("12:00 AM"), "|", CDate("12:30 PM"), "|", CDate("0:00:01")
WScript.Echo "date and time:", CDate("1/15/2000 3:15 PM"), "|", CDate("2000-01-15 23:59:59"), "|", DateValue("1/15/2000 3:15 PM"), "|", TimeValue("1/15/2000 3:15 PM")
WScript.Echo "isdate:", IsDate("1/15/2000"), IsDate("2/29/2001"), IsDate("2/29/2000"), IsDate("January 15, 2000"), IsDate("25:00"), IsDate("hello"), IsDate(""), IsDate(Null)
WScript.Echo "text arguments:", Year("1/15/2000"), Month("March 3, 2001"), Day("2000-01-15"), Hour("3:15 PM"), DateDiff("d", "1/1/2000", "1/31/2000"), Weekday("1/15/2000")
WScript.Echo "text in date arithmetic:", DateAdd("d", 1, "2/28/2000"), CDate("2/28/2000") + 1, TypeName(CDate("2/28/2000") + 1)
