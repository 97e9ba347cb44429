// Date and time functions.
#include <chrono>
#include <cmath>
#include <ctime>

#include "lib/bind.h"
#include "lib/datecalc.h"

namespace vbs::lib {

namespace {

struct LocalNow {
  int64_t day;       // serial day number
  int64_t seconds;   // seconds since midnight
  double fraction;   // sub-second part
};

LocalNow Now() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&t, &tm);
  const auto us = duration_cast<microseconds>(now.time_since_epoch()).count() % 1000000;
  LocalNow r;
  r.day = DayNumber(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
  r.seconds = tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
  r.fraction = static_cast<double>(us < 0 ? us + 1000000 : us) / 1e6;
  return r;
}

Variant FnNow(Context&, Args&) {
  const LocalNow n = Now();
  return Variant::FromDate(MakeSerial(n.day, n.seconds));
}
Variant FnDate(Context&, Args&) { return Variant::FromDate(MakeSerial(Now().day, 0)); }
Variant FnTime(Context&, Args&) { return Variant::FromDate(MakeSerial(0, Now().seconds)); }
Variant FnTimer(Context&, Args&) {
  const LocalNow n = Now();
  // Hundredths of a second, as the script's timer resolves them.
  const double t = std::floor((static_cast<double>(n.seconds) + n.fraction) * 100.0) / 100.0;
  return Variant::FromSingle(static_cast<float>(t));
}

Variant DateResult(std::optional<double> serial) {
  if (!serial) Raise(kErrInvalidCall);
  return Variant::FromDate(*serial);
}

int64_t Whole(Context& ctx, const Variant& v) {
  const double d = Dbl(ctx, v);
  if (!std::isfinite(d) || std::fabs(d) > 9.0e15) Raise(kErrOverflow);
  return static_cast<int64_t>(std::nearbyint(d));
}

Variant FnDateSerial(Context& ctx, Args& args) {
  return DateResult(DateSerial(Whole(ctx, args[0]), Whole(ctx, args[1]), Whole(ctx, args[2])));
}
Variant FnTimeSerial(Context& ctx, Args& args) {
  return DateResult(TimeSerial(Whole(ctx, args[0]), Whole(ctx, args[1]), Whole(ctx, args[2])));
}

Variant FnDateValue(Context& ctx, Args& args) {
  if (IsNullArg(args, 0)) return Variant::Null();
  const int64_t secs = SecondsFromSerial(DateArg(ctx, args[0]));
  return Variant::FromDate(MakeSerial(secs >= 0 ? secs / 86400 : -((-secs + 86399) / 86400), 0));
}

Variant FnTimeValue(Context& ctx, Args& args) {
  if (IsNullArg(args, 0)) return Variant::Null();
  int64_t secs = SecondsFromSerial(DateArg(ctx, args[0])) % 86400;
  if (secs < 0) secs += 86400;
  return Variant::FromDate(MakeSerial(0, secs));
}

template <int DateParts::*Field>
Variant PartOf(Context& ctx, Args& args) {
  if (IsNullArg(args, 0)) return Variant::Null();
  const DateParts p = SplitSerial(DateArg(ctx, args[0]));
  return Variant::FromInteger(static_cast<int16_t>(p.*Field));
}

int FirstDayArg(Context& ctx, const Args& args, int i) {
  const int32_t v = OptLong(ctx, args, i, 1);
  if (v < 0 || v > 7) Raise(kErrInvalidCall);
  return v == 0 ? 1 : v;
}

int FirstWeekArg(Context& ctx, const Args& args, int i) {
  const int32_t v = OptLong(ctx, args, i, 1);
  if (v < 0 || v > 3) Raise(kErrInvalidCall);
  return v == 0 ? 1 : v;
}

Interval IntervalArg(Context& ctx, const Variant& v) {
  const auto iv = ParseInterval(Str(ctx, v));
  if (!iv) Raise(kErrInvalidCall);
  return *iv;
}

Variant FnWeekday(Context& ctx, Args& args) {
  if (IsNullArg(args, 0)) return Variant::Null();
  const double d = DateArg(ctx, args[0]);
  return Variant::FromInteger(static_cast<int16_t>(Weekday(d, FirstDayArg(ctx, args, 1))));
}

Variant FnDateAdd(Context& ctx, Args& args) {
  const Interval iv = IntervalArg(ctx, args[0]);
  if (IsNullArg(args, 1)) Raise(kErrInvalidNull);  // a Null count raises; a Null date gives Null
  if (IsNullArg(args, 2)) return Variant::Null();
  const int64_t n = Whole(ctx, args[1]);
  return DateResult(DateAdd(iv, n, DateArg(ctx, args[2])));
}

Variant FnDateDiff(Context& ctx, Args& args) {
  const Interval iv = IntervalArg(ctx, args[0]);
  const int fd = FirstDayArg(ctx, args, 3);
  const int fw = FirstWeekArg(ctx, args, 4);
  if (IsNullArg(args, 1) || IsNullArg(args, 2)) return Variant::Null();
  const int64_t r = DateDiff(iv, DateArg(ctx, args[1]), DateArg(ctx, args[2]), fd, fw);
  return WholeNumber(r, false);
}

Variant FnDatePart(Context& ctx, Args& args) {
  const Interval iv = IntervalArg(ctx, args[0]);
  const int fd = FirstDayArg(ctx, args, 2);
  const int fw = FirstWeekArg(ctx, args, 3);
  if (IsNullArg(args, 1)) return Variant::Null();
  return Variant::FromInteger(static_cast<int16_t>(DatePart(iv, DateArg(ctx, args[1]), fd, fw)));
}

Variant FnMonthName(Context& ctx, Args& args) {
  const int32_t m = Long(ctx, args[0]);
  if (m < 1 || m > 12) Raise(kErrInvalidCall);
  return Text(MonthNameText(m, Has(args, 1) && Bool(ctx, args[1])));
}

Variant FnWeekdayName(Context& ctx, Args& args) {
  const int32_t d = Long(ctx, args[0]);
  if (d < 1 || d > 7) Raise(kErrInvalidCall);
  const bool abbr = Has(args, 1) && Bool(ctx, args[1]);
  return Text(WeekdayNameText(d, abbr, FirstDayArg(ctx, args, 2)));
}

Variant FnFormatDateTime(Context& ctx, Args& args) {
  if (IsNullArg(args, 0)) Raise(kErrTypeMismatch);
  const double d = DateArg(ctx, args[0]);
  switch (OptLong(ctx, args, 1, 0)) {
    case 0: return Text(GeneralDateText(d));
    case 1: return Text(LongDateText(d));
    case 2: return Text(ShortDateText(d));
    case 3: return Text(LongTimeText(d));
    case 4: return Text(ShortTimeText(d));
    default: Raise(kErrInvalidCall);
  }
}

const BuiltinDef kDateBuiltins[] = {
    {"Now", 0, 0, FnNow},
    {"Date", 0, 0, FnDate},
    {"Time", 0, 0, FnTime},
    {"Timer", 0, 0, FnTimer},
    {"DateSerial", 3, 3, FnDateSerial},
    {"TimeSerial", 3, 3, FnTimeSerial},
    {"DateValue", 1, 1, FnDateValue},
    {"TimeValue", 1, 1, FnTimeValue},
    {"Year", 1, 1, PartOf<&DateParts::year>},
    {"Month", 1, 1, PartOf<&DateParts::month>},
    {"Day", 1, 1, PartOf<&DateParts::day>},
    {"Hour", 1, 1, PartOf<&DateParts::hour>},
    {"Minute", 1, 1, PartOf<&DateParts::minute>},
    {"Second", 1, 1, PartOf<&DateParts::second>},
    {"Weekday", 1, 2, FnWeekday},
    {"DateAdd", 3, 3, FnDateAdd},
    {"DateDiff", 3, 5, FnDateDiff},
    {"DatePart", 2, 4, FnDatePart},
    {"MonthName", 1, 2, FnMonthName},
    {"WeekdayName", 1, 3, FnWeekdayName},
    {"FormatDateTime", 1, 2, FnFormatDateTime},
};

}  // namespace

void RegisterDateBuiltins() { RegisterBuiltins(kDateBuiltins, std::size(kDateBuiltins)); }

}  // namespace vbs::lib
