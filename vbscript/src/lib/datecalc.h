#pragma once
// Calendar arithmetic on serial dates (days since 30 Dec 1899, time as the
// fraction; before that day the fraction counts forward from the day).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vbs::lib {

struct DateParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
};

// Days since the epoch for a proleptic Gregorian date (month/day already valid).
int64_t DayNumber(int year, int month, int day);
void CivilFromDayNumber(int64_t days, int& year, int& month, int& day);
// Serial with the time rounded to the nearest second.
DateParts SplitSerial(double serial);
double MakeSerial(int64_t dayNumber, int64_t secondsOfDay);   // secondsOfDay in [0, 86400)
// Serial of a (possibly negative) count of seconds since the epoch.
double SerialFromSeconds(int64_t totalSeconds);
int64_t SecondsFromSerial(double serial);

bool InDateRange(double serial);   // years 100..9999

// DateSerial/TimeSerial with out-of-range parts carried; nullopt = invalid.
std::optional<double> DateSerial(int64_t year, int64_t month, int64_t day);
std::optional<double> TimeSerial(int64_t hour, int64_t minute, int64_t second);

// Weekday of a serial, 1..7 counted from `firstDay` (1 = Sunday .. 7 = Saturday).
int Weekday(double serial, int firstDay);

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };
std::optional<Interval> ParseInterval(std::u16string_view code);

std::optional<double> DateAdd(Interval iv, int64_t number, double serial);
int64_t DateDiff(Interval iv, double d1, double d2, int firstDay, int firstWeek);
int DatePart(Interval iv, double serial, int firstDay, int firstWeek);

// en-US text: "m/d/yyyy", "h:mm:ss AM", the general form, long date, short time.
std::u16string ShortDateText(double serial);
std::u16string LongDateText(double serial);
std::u16string LongTimeText(double serial);
std::u16string ShortTimeText(double serial);
std::u16string GeneralDateText(double serial);

std::u16string MonthNameText(int month, bool abbreviate);
std::u16string WeekdayNameText(int weekday, bool abbreviate, int firstDay);   // weekday counted from firstDay

}  // namespace vbs::lib
