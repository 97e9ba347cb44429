// Serial dates: calendar arithmetic, en-US text, and reading written dates.
#include "vbs/datetime.h"

#include <cmath>
#include <cstdint>
#include <ctime>
#include <vector>

namespace vbs {

namespace {

// Days from 1970-01-01 for a proleptic Gregorian date (month 1..12).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = int(doy - (153 * mp + 2) / 5 + 1);
  m = int(mp < 10 ? mp + 3 : mp - 9);
  y = int(yoe + era * 400 + (m <= 2));
}

const int64_t kEpoch = DaysFromCivil(1899, 12, 30);

void AppendInt(std::u16string& out, int v, int width = 1) {
  char buf[16];
  int n = 0;
  unsigned u = unsigned(v < 0 ? -v : v);
  do {
    buf[n++] = char('0' + u % 10);
    u /= 10;
  } while (u);
  while (n < width) buf[n++] = '0';
  if (v < 0) out.push_back(u'-');
  while (n) out.push_back(char16_t(buf[--n]));
}

// Splits a serial into whole day (calendar) and seconds of the day.
void SplitDaySeconds(double serial, int64_t& day, int& secs) {
  double whole = std::trunc(serial);
  double frac = std::fabs(serial - whole);
  long s = std::lround(frac * 86400.0);
  day = int64_t(whole);
  if (s >= 86400) {
    s -= 86400;
    day += 1;  // midnight of the next calendar day, whatever the sign
  }
  secs = int(s);
}

}  // namespace

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m == 2 && IsLeapYear(y)) return 29;
  return kDays[(m - 1) % 12];
}

std::optional<double> SerialFromDate(int year, int month, int day) {
  int64_t y = year, m = month;
  // Month outside 1..12 rolls into neighbouring years.
  int64_t m0 = m - 1;
  int64_t yAdd = m0 >= 0 ? m0 / 12 : -((-m0 + 11) / 12);
  y += yAdd;
  m0 -= yAdd * 12;
  if (y < 0 || y > 20000) return std::nullopt;
  int64_t days = DaysFromCivil(y, int(m0 + 1), 1) + (int64_t(day) - 1) - kEpoch;
  double serial = double(days);
  if (serial < kMinDate || serial > std::floor(kMaxDate)) return std::nullopt;
  return serial;
}

double SerialFromTime(int hour, int minute, int second) {
  return (double(hour) * 3600.0 + double(minute) * 60.0 + double(second)) / 86400.0;
}

double CombineDateTime(double dateSerial, double timeFraction) {
  return dateSerial < 0 ? dateSerial - timeFraction : dateSerial + timeFraction;
}

DateParts SplitSerial(double serial) {
  int64_t day;
  int secs;
  SplitDaySeconds(serial, day, secs);
  DateParts p;
  CivilFromDays(day + kEpoch, p.year, p.month, p.day);
  p.hour = secs / 3600;
  p.minute = secs / 60 % 60;
  p.second = secs % 60;
  return p;
}

int WeekdayOf(double serial) {
  int64_t day;
  int secs;
  SplitDaySeconds(serial, day, secs);
  // 12/30/1899 was a Saturday.
  int64_t w = (day + 6) % 7;
  if (w < 0) w += 7;
  return int(w) + 1;
}

std::u16string FormatDateOnly(double serial) {
  DateParts p = SplitSerial(serial);
  std::u16string s;
  AppendInt(s, p.month);
  s.push_back(u'/');
  AppendInt(s, p.day);
  s.push_back(u'/');
  AppendInt(s, p.year);
  return s;
}

std::u16string FormatTimeOnly(double serial) {
  DateParts p = SplitSerial(serial);
  std::u16string s;
  int h12 = p.hour % 12;
  AppendInt(s, h12 == 0 ? 12 : h12);
  s.push_back(u':');
  AppendInt(s, p.minute, 2);
  s.push_back(u':');
  AppendInt(s, p.second, 2);
  s += p.hour < 12 ? u" AM" : u" PM";
  return s;
}

std::u16string FormatDateTime(double serial) {
  int64_t day;
  int secs;
  SplitDaySeconds(serial, day, secs);
  if (day == 0) return FormatTimeOnly(serial);
  if (secs == 0) return FormatDateOnly(serial);
  return FormatDateOnly(serial) + u' ' + FormatTimeOnly(serial);
}

// ---- parsing ----------------------------------------------------------------------

namespace {

struct Tok {
  enum Kind { Num, Month, AmPm, Colon, Sep } kind;
  int value = 0;   // number, month 1..12, or 0 = AM / 1 = PM
  int digits = 0;  // for numbers
};

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

int MonthFromWord(std::u16string_view w) {
  static const char* kNames[] = {"january", "february", "march",     "april",   "may",      "june",
                                 "july",    "august",   "september", "october", "november", "december"};
  if (w.size() < 3) return 0;
  for (int m = 0; m < 12; ++m) {
    std::string_view name = kNames[m];
    if (w.size() > name.size()) continue;
    bool ok = true;
    for (size_t i = 0; i < w.size(); ++i)
      if (Lower(w[i]) != char16_t(name[i])) { ok = false; break; }
    // Abbreviations of three letters or more, plus "Sept".
    if (ok) return m + 1;
  }
  return 0;
}

bool IsWeekdayWord(std::u16string_view w) {
  static const char* kNames[] = {"sunday", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday"};
  if (w.size() < 3) return false;
  for (const char* n : kNames) {
    std::string_view name = n;
    if (w.size() > name.size()) continue;
    bool ok = true;
    for (size_t i = 0; i < w.size() && ok; ++i) ok = Lower(w[i]) == char16_t(name[i]);
    if (ok) return true;
  }
  return false;
}

bool Tokenize(std::u16string_view t, std::vector<Tok>& toks) {
  size_t i = 0;
  while (i < t.size()) {
    char16_t c = t[i];
    if (c == u' ' || c == u'\t') { ++i; continue; }
    if (c >= u'0' && c <= u'9') {
      int64_t v = 0;
      int n = 0;
      while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
        v = v * 10 + (t[i] - u'0');
        if (v > 100000) return false;
        ++n;
        ++i;
      }
      toks.push_back({Tok::Num, int(v), n});
      continue;
    }
    if (c == u':') { toks.push_back({Tok::Colon}); ++i; continue; }
    if (c == u'/' || c == u'-' || c == u',' || c == u'.') { toks.push_back({Tok::Sep}); ++i; continue; }
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
      size_t j = i;
      while (j < t.size() && ((t[j] >= u'a' && t[j] <= u'z') || (t[j] >= u'A' && t[j] <= u'Z'))) ++j;
      std::u16string_view w = t.substr(i, j - i);
      i = j;
      if (w.size() <= 2) {
        char16_t a = Lower(w[0]);
        bool m = w.size() == 1 || Lower(w[1]) == u'm';
        if (m && (a == u'a' || a == u'p')) { toks.push_back({Tok::AmPm, a == u'p' ? 1 : 0}); continue; }
        return false;
      }
      if (IsWeekdayWord(w)) continue;  // "Monday, January 5, 2020"
      int month = MonthFromWord(w);
      if (!month) return false;
      toks.push_back({Tok::Month, month});
      continue;
    }
    return false;
  }
  return true;
}

int CurrentYear() {
  std::time_t now = std::time(nullptr);
  std::tm tmv{};
  localtime_r(&now, &tmv);
  return tmv.tm_year + 1900;
}

int FixYear(int y, int digits) {
  if (digits <= 2) return y < 30 ? 2000 + y : 1900 + y;
  return y;
}

bool ValidDay(int y, int m, int d) { return m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m); }

}  // namespace

std::optional<double> ParseDateTime(std::u16string_view text) {
  // A leading sign makes the text a number, not a date.
  size_t first = text.find_first_not_of(u" \t");
  if (first != std::u16string_view::npos && (text[first] == u'-' || text[first] == u'+')) return std::nullopt;
  std::vector<Tok> toks;
  if (!Tokenize(text, toks) || toks.empty()) return std::nullopt;

  // Time: the first number followed by ':' starts it; an AM/PM word ends it.
  bool haveTime = false;
  int hh = 0, mm = 0, ss = 0;
  std::vector<Tok> rest;
  for (size_t i = 0; i < toks.size();) {
    if (!haveTime && toks[i].kind == Tok::Num &&
        ((i + 1 < toks.size() && toks[i + 1].kind == Tok::Colon) ||
         (i + 1 < toks.size() && toks[i + 1].kind == Tok::AmPm))) {
      haveTime = true;
      hh = toks[i].value;
      ++i;
      int part = 0;
      while (i + 1 < toks.size() && toks[i].kind == Tok::Colon && toks[i + 1].kind == Tok::Num && part < 2) {
        (part == 0 ? mm : ss) = toks[i + 1].value;
        ++part;
        i += 2;
      }
      if (i < toks.size() && toks[i].kind == Tok::Colon) return std::nullopt;
      if (i < toks.size() && toks[i].kind == Tok::AmPm) {
        if (hh < 1 || hh > 12) return std::nullopt;
        hh = hh % 12 + (toks[i].value ? 12 : 0);
        ++i;
      }
      if (hh > 23 || mm > 59 || ss > 59) return std::nullopt;
      continue;
    }
    if (toks[i].kind == Tok::Colon || toks[i].kind == Tok::AmPm) return std::nullopt;
    rest.push_back(toks[i]);
    ++i;
  }

  // Date: the numbers and at most one month name, separators ignored.
  std::vector<Tok> nums;
  int monthWord = 0, monthPos = -1;
  for (const Tok& t : rest) {
    if (t.kind == Tok::Sep) continue;
    if (t.kind == Tok::Month) {
      if (monthWord) return std::nullopt;
      monthWord = t.value;
      monthPos = int(nums.size());
      continue;
    }
    nums.push_back(t);
  }
  if (nums.size() > 3) return std::nullopt;

  std::optional<double> date;
  if (monthWord) {
    int y, d;
    if (nums.size() == 2) {
      // "January 5, 2020", "5 Jan 2020", "2020 Jan 5"
      if (nums[0].digits >= 3 || nums[0].value > 31) { y = FixYear(nums[0].value, nums[0].digits); d = nums[1].value; }
      else { d = nums[0].value; y = FixYear(nums[1].value, nums[1].digits); }
    } else if (nums.size() == 1) {
      // "Jan 2020" is the first of the month, "5 Jan" is this year.
      if (nums[0].digits >= 3 || nums[0].value > 31) { y = FixYear(nums[0].value, nums[0].digits); d = 1; }
      else { d = nums[0].value; y = CurrentYear(); }
    } else {
      return std::nullopt;
    }
    (void)monthPos;
    if (!ValidDay(y, monthWord, d)) return std::nullopt;
    date = SerialFromDate(y, monthWord, d);
    if (!date) return std::nullopt;
  } else if (nums.size() == 3) {
    int y, m, d;
    if (nums[0].digits >= 3 || nums[0].value > 31) {
      y = FixYear(nums[0].value, nums[0].digits); m = nums[1].value; d = nums[2].value;
    } else {
      m = nums[0].value; d = nums[1].value; y = FixYear(nums[2].value, nums[2].digits);
      // A day-first date is accepted when it cannot be month-first.
      if (m > 12 && d <= 12) std::swap(m, d);
    }
    if (!ValidDay(y, m, d)) return std::nullopt;
    date = SerialFromDate(y, m, d);
    if (!date) return std::nullopt;
  } else if (nums.size() == 2) {
    int y, m, d;
    if (nums[1].digits >= 3 || nums[1].value > 31) {  // m/yyyy
      m = nums[0].value; d = 1; y = FixYear(nums[1].value, nums[1].digits);
    } else if (nums[0].digits >= 3 || nums[0].value > 31) {  // yyyy/m
      y = FixYear(nums[0].value, nums[0].digits); m = nums[1].value; d = 1;
    } else {
      m = nums[0].value; d = nums[1].value; y = CurrentYear();
      if (m > 12 && d <= 12) std::swap(m, d);
    }
    if (!ValidDay(y, m, d)) return std::nullopt;
    date = SerialFromDate(y, m, d);
    if (!date) return std::nullopt;
  } else if (nums.size() == 1) {
    return std::nullopt;  // a lone number is not a date
  }

  if (!date && !haveTime) return std::nullopt;
  double t = haveTime ? SerialFromTime(hh, mm, ss) : 0.0;
  return CombineDateTime(date.value_or(0.0), t);
}

}  // namespace vbs
