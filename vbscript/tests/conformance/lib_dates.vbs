' Date functions: DateAdd, DateDiff and DatePart with every interval,
' first-day-of-week and first-week-of-year arguments, DateSerial carry-over.
Dim d : d = #2/29/2000 3:04:05 PM#
WScript.Echo "parts:", Year(d), Month(d), Day(d), Hour(d), Minute(d), Second(d), Weekday(d), TypeName(Year(d)), TypeName(Year(Null))
WScript.Echo "dateadd yyyy q m:", DateAdd("yyyy", 1, #2/29/2000#), DateAdd("q", 1, #1/31/2000#), DateAdd("m", 1, #1/31/2000#), DateAdd("m", -1, #3/31/2001#), DateAdd("m", 13, #12/15/1999#)
WScript.Echo "dateadd y d w ww:", DateAdd("y", 1, #12/31/1999#), DateAdd("d", -1, #1/1/2000#), DateAdd("w", 1, #1/7/2000#), DateAdd("ww", 2, #12/25/1999#), DateAdd("d", 366, #1/1/2000#)
WScript.Echo "dateadd h n s:", DateAdd("h", 25, #1/1/2000#), "|", DateAdd("n", 90, #1/1/2000 11:00:00 PM#), "|", DateAdd("s", -1, #1/1/2000#), "|", DateAdd("h", 1, d)
WScript.Echo "dateadd text date:", DateAdd("m", 1, "1/31/2000"), TypeName(DateAdd("d", 1, "1/1/2000")), DateAdd("D", 1, #1/1/2000#)

WScript.Echo "datediff years:", DateDiff("yyyy", #12/31/1999#, #1/1/2000#), DateDiff("yyyy", #1/1/1999#, #12/31/2001#), DateDiff("yyyy", #1/1/2000#, #12/31/1999#), TypeName(DateDiff("d", #1/1/2000#, #1/2/2000#))
WScript.Echo "datediff q m:", DateDiff("q", #12/31/1999#, #1/1/2000#), DateDiff("q", #1/1/2000#, #12/31/2000#), DateDiff("m", #1/31/2000#, #2/1/2000#), DateDiff("m", #12/31/1999#, #1/1/2001#), DateDiff("m", #3/15/2000#, #1/15/2000#)
WScript.Echo "datediff d y:", DateDiff("d", #1/1/2000#, #3/1/2000#), DateDiff("d", #1/10/2000#, #1/1/2000#), DateDiff("d", #1/1/2000 11:00:00 PM#, #1/2/2000 1:00:00 AM#), DateDiff("y", #1/1/2000#, #1/1/2001#), DateDiff("d", #12/31/1999#, #12/31/2000#)
WScript.Echo "datediff w ww:", DateDiff("w", #1/1/2000#, #1/22/2000#), DateDiff("w", #1/1/2000#, #1/21/2000#), DateDiff("w", #1/1/2000#, #1/2/2000#), DateDiff("ww", #1/1/2000#, #1/2/2000#), DateDiff("ww", #1/1/2000#, #1/2/2000#, vbMonday), DateDiff("ww", #1/1/2000#, #1/3/2000#, vbMonday), DateDiff("ww", #1/2/2000#, #1/30/2000#)
WScript.Echo "datediff h n s:", DateDiff("h", #1/1/2000 10:59:00 PM#, #1/1/2000 11:01:00 PM#), DateDiff("n", #1/1/2000 10:00:59 AM#, #1/1/2000 10:01:00 AM#), DateDiff("s", #1/1/2000#, #1/2/2000#), DateDiff("h", #12/31/1999#, #1/1/2000#), DateDiff("n", #1/1/2000 10:00 AM#, #1/1/2000 9:00 AM#)

WScript.Echo "datepart:", DatePart("yyyy", d), DatePart("q", d), DatePart("m", d), DatePart("y", d), DatePart("d", d), DatePart("w", d), DatePart("ww", d), DatePart("h", d), DatePart("n", d), DatePart("s", d)
WScript.Echo "datepart first day:", DatePart("w", d, vbMonday), DatePart("w", d, vbSaturday), DatePart("w", d, vbSunday), Weekday(d, vbMonday), Weekday(#1/1/2000#), Weekday(#1/1/2000#, vbMonday)
WScript.Echo "datepart weeks:", DatePart("ww", #1/10/2000#), DatePart("ww", #1/10/2000#, vbMonday), DatePart("ww", #1/10/2000#, vbMonday, vbFirstFourDays), DatePart("ww", #1/10/2000#, vbSunday, vbFirstFullWeek), DatePart("ww", #1/1/2000#), DatePart("ww", #12/31/2000#)
WScript.Echo "year-end weeks:", DatePart("ww", #12/31/2019#, vbMonday, vbFirstFourDays), DatePart("ww", #12/29/2019#, vbMonday, vbFirstFourDays), DatePart("ww", #12/31/2019#), DatePart("ww", #12/31/2019#, vbMonday, vbFirstFullWeek), DatePart("ww", #1/1/2021#, vbMonday, vbFirstFourDays), DatePart("ww", #1/1/2022#, vbSunday, vbFirstFullWeek)
WScript.Echo "weeks across years:", DateDiff("ww", #12/25/2019#, #1/8/2020#, vbMonday), DateDiff("ww", #12/31/2019#, #1/1/2020#), DateDiff("ww", #12/28/2019#, #1/5/2020#), DateDiff("yyyy", #12/31/2019 11:59:00 PM#, #1/1/2020#), DateDiff("w", #12/25/2019#, #1/8/2020#)
WScript.Echo "datepart quarters:", DatePart("q", #3/31/2000#), DatePart("q", #4/1/2000#), DatePart("q", #12/31/2000#), DatePart("y", #12/31/2000#), DatePart("y", #12/31/2001#)

' Out-of-range parts carry into the next larger unit
WScript.Echo "dateserial:", DateSerial(2000, 13, 1), DateSerial(2000, 0, 1), DateSerial(2000, 1, 0), DateSerial(2000, 2, 30), DateSerial(2000, -1, 1), DateSerial(1999, 14, -1), DateSerial(2000, 1, 366)
WScript.Echo "two-digit years:", DateSerial(99, 1, 1), DateSerial(30, 1, 1), TypeName(DateSerial(2000, 1, 1))
WScript.Echo "timeserial:", TimeSerial(13, 30, 15), "|", TimeSerial(0, 90, 0), "|", TimeSerial(12, -1, 0), "|", TimeSerial(25, 0, 0), "|", TimeSerial(0, 0, 3661)
WScript.Echo "datevalue timevalue:", DateValue("2/29/2000 3:04 PM"), DateValue("February 29, 2000"), TimeValue("2/29/2000 3:04 PM"), TimeValue("15:04:05"), TypeName(TimeValue("1:00"))
WScript.Echo "names:", WeekdayName(1), WeekdayName(1, True), WeekdayName(1, False, vbMonday), WeekdayName(7), MonthName(1), MonthName(12, True), MonthName(9, False)
WScript.Echo "arithmetic:", #3/1/2000# - 1, CDbl(#1/1/1800#), CDate(-36522), #1/1/2000# + 0.75, DateDiff("d", #12/30/1899#, #1/1/1800#)
WScript.Echo "clock types:", TypeName(Date), TypeName(Time), TypeName(Now), TypeName(Timer), Timer >= 0 And Timer < 86400, Int(CDbl(Date)) = CDbl(Date)

On Error Resume Next
Dim r
r = DateAdd("x", 1, d) : WScript.Echo "bad interval:", Err.Number, Err.Description : Err.Clear
r = DateSerial(2000, 1, "x") : WScript.Echo "bad part:", Err.Number : Err.Clear
r = CDate("2/30/2000") : WScript.Echo "invalid date:", Err.Number, IsDate("2/30/2000"), IsDate("2/29/2000"), IsDate("2/29/2001") : Err.Clear
r = MonthName(13) : WScript.Echo "MonthName(13):", Err.Number : Err.Clear
r = WeekdayName(8) : WScript.Echo "WeekdayName(8):", Err.Number : Err.Clear
r = Weekday(d, 8) : WScript.Echo "first day 8:", Err.Number : Err.Clear
