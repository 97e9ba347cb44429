#include "lib/datecalc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vbs::lib {

namespace {

constexpr int64_t kEpochOffset = 25569;   // 1 Jan 1970 as a serial day
const int64_t kMinDay = -657434;          // 1 Jan 100
const int64_t kMaxDay = 2958465;          // 31 Dec 9999

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

int64_t FloorMod(int64_t a, int64_t b) { return a - FloorDiv(a, b) * b; }

bool IsLeap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int64_t y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

int64_t DayOfSerial(double serial, int64_t& seconds) {
  const int64_t total = SecondsFromSerial(serial);
  seconds = FloorMod(total, 86400);
  return FloorDiv(total, 86400);
}

// Weekday of a day number, 0 = Sunday.
int SundayIndex(int64_t day) { return static_cast<int>(FloorMod(day + 6, 7)); }

int Offset(int64_t day, int firstDay) { return static_cast<int>(FloorMod(SundayIndex(day) - (firstDay - 1), 7)); }

// Day number on which week 1 of `year` starts.
int64_t WeekOneStart(int64_t year, int firstDay, int firstWeek) {
  const int64_t jan1 = DayNumber(static_cast<int>(year), 1, 1);
  const int o = Offset(jan1, firstDay);
  switch (firstWeek) {
    case 2: return 7 - o >= 4 ? jan1 - o : jan1 - o + 7;
    case 3: return o == 0 ? jan1 : jan1 - o + 7;
    default: return jan1 - o;
  }
}

int NormalizeFirstDay(int firstDay) { return firstDay < 1 || firstDay > 7 ? 1 : firstDay; }

}  // namespace

int64_t DayNumber(int year, int month, int day) {
  // Days from civil, shifted so that 30 Dec 1899 is day 0.
  int64_t y = year - (month <= 2 ? 1 : 0);
  const int64_t era = FloorDiv(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t mp = (month + 9) % 12;
  const int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + kEpochOffset;
}

void CivilFromDayNumber(int64_t days, int& year, int& month, int& day) {
  const int64_t z = days - kEpochOffset + 719468;
  const int64_t era = FloorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

int64_t SecondsFromSerial(double serial) {
  if (!std::isfinite(serial) || std::fabs(serial) > 1e9) return 0;
  const double whole = std::trunc(serial);
  const double frac = std::fabs(serial - whole);
  int64_t secs = static_cast<int64_t>(std::llround(frac * 86400.0));
  return static_cast<int64_t>(whole) * 86400 + secs;
}

double MakeSerial(int64_t dayNumber, int64_t secondsOfDay) {
  const double frac = static_cast<double>(secondsOfDay) / 86400.0;
  return dayNumber >= 0 ? static_cast<double>(dayNumber) + frac : static_cast<double>(dayNumber) - frac;
}

double SerialFromSeconds(int64_t totalSeconds) {
  return MakeSerial(FloorDiv(totalSeconds, 86400), FloorMod(totalSeconds, 86400));
}

DateParts SplitSerial(double serial) {
  int64_t secs;
  const int64_t day = DayOfSerial(serial, secs);
  DateParts p;
  CivilFromDayNumber(day, p.year, p.month, p.day);
  p.hour = static_cast<int>(secs / 3600);
  p.minute = static_cast<int>(secs / 60 % 60);
  p.second = static_cast<int>(secs % 60);
  return p;
}

bool InDateRange(double serial) {
  return std::isfinite(serial) && serial > static_cast<double>(kMinDay - 1) &&
         serial < static_cast<double>(kMaxDay + 1);
}

std::optional<double> DateSerial(int64_t year, int64_t month, int64_t day) {
  if (year >= 0 && year < 30) year += 2000;
  else if (year >= 30 && year < 100) year += 1900;
  if (std::llabs(year) > 100000 || std::llabs(month) > 1200000 || std::llabs(day) > 100000000) return std::nullopt;
  const int64_t months = year * 12 + (month - 1);
  const int64_t y = FloorDiv(months, 12);
  const int m = static_cast<int>(FloorMod(months, 12)) + 1;
  if (y < -10000 || y > 20000) return std::nullopt;
  const int64_t dn = DayNumber(static_cast<int>(y), m, 1) + day - 1;
  if (dn < kMinDay || dn > kMaxDay) return std::nullopt;
  return MakeSerial(dn, 0);
}

std::optional<double> TimeSerial(int64_t hour, int64_t minute, int64_t second) {
  if (std::llabs(hour) > 100000000 || std::llabs(minute) > 100000000 || std::llabs(second) > 100000000)
    return std::nullopt;
  const int64_t total = hour * 3600 + minute * 60 + second;
  const int64_t day = FloorDiv(total, 86400);
  if (day < kMinDay || day > kMaxDay) return std::nullopt;
  return SerialFromSeconds(total);
}

int Weekday(double serial, int firstDay) {
  int64_t secs;
  return Offset(DayOfSerial(serial, secs), NormalizeFirstDay(firstDay)) + 1;
}

std::optional<Interval> ParseInterval(std::u16string_view code) {
  std::u16string c;
  for (char16_t ch : code) c.push_back(ch >= 'A' && ch <= 'Z' ? char16_t(ch + 32) : ch);
  if (c == u"yyyy") return Interval::Year;
  if (c == u"q") return Interval::Quarter;
  if (c == u"m") return Interval::Month;
  if (c == u"y") return Interval::DayOfYear;
  if (c == u"d") return Interval::Day;
  if (c == u"w") return Interval::Weekday;
  if (c == u"ww") return Interval::Week;
  if (c == u"h") return Interval::Hour;
  if (c == u"n") return Interval::Minute;
  if (c == u"s") return Interval::Second;
  return std::nullopt;
}

std::optional<double> DateAdd(Interval iv, int64_t number, double serial) {
  int64_t secs;
  const int64_t day = DayOfSerial(serial, secs);
  int64_t total = day * 86400 + secs;
  auto checked = [](int64_t t) -> std::optional<double> {
    const int64_t d = FloorDiv(t, 86400);
    if (d < kMinDay || d > kMaxDay) return std::nullopt;
    return SerialFromSeconds(t);
  };
  if (std::llabs(number) > 4000000000LL) return std::nullopt;
  switch (iv) {
    case Interval::Year: case Interval::Quarter: case Interval::Month: {
      const int64_t step = iv == Interval::Year ? 12 : iv == Interval::Quarter ? 3 : 1;
      int y, m, d;
      CivilFromDayNumber(day, y, m, d);
      const int64_t months = static_cast<int64_t>(y) * 12 + (m - 1) + number * step;
      const int64_t ny = FloorDiv(months, 12);
      const int nm = static_cast<int>(FloorMod(months, 12)) + 1;
      if (ny < 100 || ny > 9999) return std::nullopt;
      const int nd = std::min(d, DaysInMonth(ny, nm));
      return checked(DayNumber(static_cast<int>(ny), nm, nd) * 86400 + secs);
    }
    case Interval::DayOfYear: case Interval::Day: case Interval::Weekday:
      return checked(total + number * 86400);
    case Interval::Week: return checked(total + number * 7 * 86400);
    case Interval::Hour: return checked(total + number * 3600);
    case Interval::Minute: return checked(total + number * 60);
    case Interval::Second: return checked(total + number);
  }
  return std::nullopt;
}

int64_t DateDiff(Interval iv, double d1, double d2, int firstDay, int /*firstWeek*/) {
  int64_t s1, s2;
  const int64_t day1 = DayOfSerial(d1, s1), day2 = DayOfSerial(d2, s2);
  const int64_t t1 = day1 * 86400 + s1, t2 = day2 * 86400 + s2;
  int y1, m1, dd1, y2, m2, dd2;
  CivilFromDayNumber(day1, y1, m1, dd1);
  CivilFromDayNumber(day2, y2, m2, dd2);
  switch (iv) {
    case Interval::Year: return y2 - y1;
    case Interval::Quarter: return (int64_t(y2) * 4 + (m2 - 1) / 3) - (int64_t(y1) * 4 + (m1 - 1) / 3);
    case Interval::Month: return (int64_t(y2) * 12 + m2) - (int64_t(y1) * 12 + m1);
    case Interval::DayOfYear: case Interval::Day: return day2 - day1;
    case Interval::Weekday: return (day2 - day1) / 7;
    case Interval::Week: {
      const int fd = NormalizeFirstDay(firstDay);
      const int64_t w1 = day1 - Offset(day1, fd), w2 = day2 - Offset(day2, fd);
      return (w2 - w1) / 7;
    }
    case Interval::Hour: return FloorDiv(t2, 3600) - FloorDiv(t1, 3600);
    case Interval::Minute: return FloorDiv(t2, 60) - FloorDiv(t1, 60);
    case Interval::Second: return t2 - t1;
  }
  return 0;
}

int DatePart(Interval iv, double serial, int firstDay, int firstWeek) {
  int64_t secs;
  const int64_t day = DayOfSerial(serial, secs);
  int y, m, d;
  CivilFromDayNumber(day, y, m, d);
  const int fd = NormalizeFirstDay(firstDay);
  switch (iv) {
    case Interval::Year: return y;
    case Interval::Quarter: return (m - 1) / 3 + 1;
    case Interval::Month: return m;
    case Interval::DayOfYear: return static_cast<int>(day - DayNumber(y, 1, 1)) + 1;
    case Interval::Day: return d;
    case Interval::Weekday: return Offset(day, fd) + 1;
    case Interval::Week: {
      const int fw = firstWeek < 1 || firstWeek > 3 ? 1 : firstWeek;
      int64_t start = WeekOneStart(y, fd, fw);
      if (day < start) start = WeekOneStart(y - 1, fd, fw);
      // With weeks of at least four days the last days of December can
      // belong to the next year's first week.
      if (fw == 2 && day >= WeekOneStart(y + 1, fd, fw)) return 1;
      return static_cast<int>((day - start) / 7) + 1;
    }
    case Interval::Hour: return static_cast<int>(secs / 3600);
    case Interval::Minute: return static_cast<int>(secs / 60 % 60);
    case Interval::Second: return static_cast<int>(secs % 60);
  }
  return 0;
}

namespace {
const char16_t* const kMonths[] = {u"January", u"February", u"March", u"April", u"May", u"June", u"July",
                                   u"August", u"September", u"October", u"November", u"December"};
const char16_t* const kDays[] = {u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday",
                                 u"Saturday"};

std::u16string Num(int64_t v, int width = 0) {
  std::string s = std::to_string(v);
  if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), '0');
  return std::u16string(s.begin(), s.end());
}
}  // namespace

std::u16string ShortDateText(double serial) {
  const DateParts p = SplitSerial(serial);
  return Num(p.month) + u"/" + Num(p.day) + u"/" + Num(p.year);
}

std::u16string LongDateText(double serial) {
  const DateParts p = SplitSerial(serial);
  return std::u16string(kDays[Weekday(serial, 1) - 1]) + u", " + kMonths[p.month - 1] + u" " + Num(p.day) +
         u", " + Num(p.year);
}

std::u16string LongTimeText(double serial) {
  const DateParts p = SplitSerial(serial);
  const int h12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
  return Num(h12) + u":" + Num(p.minute, 2) + u":" + Num(p.second, 2) + (p.hour < 12 ? u" AM" : u" PM");
}

std::u16string ShortTimeText(double serial) {
  const DateParts p = SplitSerial(serial);
  return Num(p.hour, 2) + u":" + Num(p.minute, 2);
}

std::u16string GeneralDateText(double serial) {
  int64_t secs;
  const int64_t day = DayOfSerial(serial, secs);
  if (day == 0) return LongTimeText(serial);
  if (secs == 0) return ShortDateText(serial);
  return ShortDateText(serial) + u" " + LongTimeText(serial);
}

std::u16string MonthNameText(int month, bool abbreviate) {
  std::u16string s = kMonths[(month - 1) % 12];
  return abbreviate ? s.substr(0, 3) : s;
}

std::u16string WeekdayNameText(int weekday, bool abbreviate, int firstDay) {
  const int idx = (weekday - 1 + NormalizeFirstDay(firstDay) - 1) % 7;
  std::u16string s = kDays[idx];
  return abbreviate ? s.substr(0, 3) : s;
}

}  // namespace vbs::lib
