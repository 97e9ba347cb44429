#pragma once
// Dates as VBScript holds them: a double counting days from 12/30/1899,
// the fraction being the time of day. Before that day the integer part is
// negative while the time fraction still counts forward: -1.25 is
// 12/29/1899 6:00 AM.
#include <optional>
#include <string>
#include <string_view>

namespace vbs {

struct DateParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
};

// Valid range of dates: years 100 to 9999.
constexpr double kMinDate = -657434.0;           // 1/1/100
constexpr double kMaxDate = 2958465.99998842592; // 12/31/9999 23:59:59

// Serial from calendar parts. Month and day outside their range roll over
// (month 13 is January of the next year, day 0 the last day of the previous
// month), as DateSerial does. nullopt when the result leaves the range.
std::optional<double> SerialFromDate(int year, int month, int day);
double SerialFromTime(int hour, int minute, int second);  // fraction of a day, may roll over
// Combines a date serial and a time fraction the way VBScript stores them
// (for negative dates the time is added away from zero).
double CombineDateTime(double dateSerial, double timeFraction);

// Calendar parts of a serial, seconds rounded to the nearest.
DateParts SplitSerial(double serial);
int WeekdayOf(double serial);  // 1 = Sunday ... 7 = Saturday

// en-US text as CStr writes it: "m/d/yyyy", "h:mm:ss AM", or both; the
// date alone when the time is midnight, the time alone on day 0.
std::u16string FormatDateTime(double serial);
std::u16string FormatDateOnly(double serial);   // "m/d/yyyy"
std::u16string FormatTimeOnly(double serial);   // "h:mm:ss AM"

// Reads the written forms CDate and IsDate accept: m/d/yyyy, m/d/yy,
// yyyy-mm-dd, yyyy/m/d, "January 5, 2020", "5 Jan 2020", "Jan 5 2020",
// times h:mm[:ss] [AM|PM], and a date followed by a time.
std::optional<double> ParseDateTime(std::u16string_view text);

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

}  // namespace vbs
