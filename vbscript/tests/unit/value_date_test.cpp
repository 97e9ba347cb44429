// Serial dates: calendar round trips, negative serials, text in and out.
#include <gtest/gtest.h>

#include "vbs/datetime.h"

namespace vbs {
namespace {

std::string A(const std::u16string& s) { return std::string(s.begin(), s.end()); }

std::string Parsed(const char16_t* text) {
  auto d = ParseDateTime(text);
  return d ? A(FormatDateTime(*d)) : "(none)";
}

TEST(ValueDate, KnownSerials) {
  EXPECT_EQ(SerialFromDate(1899, 12, 30), 0.0);
  EXPECT_EQ(SerialFromDate(1900, 1, 1), 2.0);
  EXPECT_EQ(SerialFromDate(2020, 1, 1), 43831.0);
  EXPECT_EQ(SerialFromDate(100, 1, 1), -657434.0);
  EXPECT_EQ(SerialFromDate(9999, 12, 31), 2958465.0);
  EXPECT_FALSE(SerialFromDate(99, 12, 31).has_value());
  EXPECT_FALSE(SerialFromDate(10000, 1, 1).has_value());
}

TEST(ValueDate, MonthAndDayRollOver) {
  EXPECT_EQ(SerialFromDate(2019, 13, 1), SerialFromDate(2020, 1, 1));
  EXPECT_EQ(SerialFromDate(2020, 0, 1), SerialFromDate(2019, 12, 1));
  EXPECT_EQ(SerialFromDate(2020, 3, 0), SerialFromDate(2020, 2, 29));
  EXPECT_EQ(SerialFromDate(2020, -11, 1), SerialFromDate(2019, 1, 1));
  EXPECT_EQ(SerialFromDate(2021, 2, 29), SerialFromDate(2021, 3, 1));
}

TEST(ValueDate, RoundTripEveryDayOfSomeYears) {
  for (int y : {100, 1600, 1899, 1900, 2000, 2024, 9999}) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= DaysInMonth(y, m); ++d) {
        double s = *SerialFromDate(y, m, d);
        DateParts p = SplitSerial(CombineDateTime(s, SerialFromTime(13, 14, 15)));
        ASSERT_EQ(p.year, y);
        ASSERT_EQ(p.month, m);
        ASSERT_EQ(p.day, d);
        ASSERT_EQ(p.hour, 13);
        ASSERT_EQ(p.minute, 14);
        ASSERT_EQ(p.second, 15);
      }
    }
  }
}

TEST(ValueDate, NegativeSerialsKeepTimeForward) {
  // -1.25 is the day before day 0 at 6 AM.
  DateParts p = SplitSerial(-1.25);
  EXPECT_EQ(p.year, 1899);
  EXPECT_EQ(p.month, 12);
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(p.hour, 6);
  EXPECT_EQ(CombineDateTime(-1, 0.25), -1.25);
  EXPECT_EQ(A(FormatDateTime(-1.25)), "12/29/1899 6:00:00 AM");
  EXPECT_EQ(WeekdayOf(0), 7);       // Saturday
  EXPECT_EQ(WeekdayOf(-1.5), 6);    // Friday
  EXPECT_EQ(WeekdayOf(43831), 4);   // Wednesday 1/1/2020
}

TEST(ValueDate, TextOutput) {
  EXPECT_EQ(A(FormatDateTime(43831)), "1/1/2020");
  EXPECT_EQ(A(FormatDateTime(0)), "12:00:00 AM");
  EXPECT_EQ(A(FormatDateTime(0.5)), "12:00:00 PM");
  EXPECT_EQ(A(FormatDateTime(43831.75)), "1/1/2020 6:00:00 PM");
  EXPECT_EQ(A(FormatDateTime(43831 + SerialFromTime(9, 5, 7))), "1/1/2020 9:05:07 AM");
  // A time a hair before midnight rounds to the next day.
  EXPECT_EQ(A(FormatDateTime(43831.9999999)), "1/2/2020");
  EXPECT_EQ(A(FormatDateOnly(43831.75)), "1/1/2020");
  EXPECT_EQ(A(FormatTimeOnly(43831.75)), "6:00:00 PM");
}

TEST(ValueDate, ParsesCommonForms) {
  EXPECT_EQ(Parsed(u"1/5/2020"), "1/5/2020");
  EXPECT_EQ(Parsed(u"1/5/20"), "1/5/2020");
  EXPECT_EQ(Parsed(u"1/5/99"), "1/5/1999");
  EXPECT_EQ(Parsed(u"2020-01-05"), "1/5/2020");
  EXPECT_EQ(Parsed(u"2020/1/5"), "1/5/2020");
  EXPECT_EQ(Parsed(u"January 5, 2020"), "1/5/2020");
  EXPECT_EQ(Parsed(u"5 Jan 2020"), "1/5/2020");
  EXPECT_EQ(Parsed(u"Jan 5 2020"), "1/5/2020");
  EXPECT_EQ(Parsed(u"5-JAN-2020"), "1/5/2020");
  EXPECT_EQ(Parsed(u"25/12/2020"), "12/25/2020");  // day first when it cannot be a month
  EXPECT_EQ(Parsed(u"13:45"), "1:45:00 PM");
  EXPECT_EQ(Parsed(u"1:02:03 pm"), "1:02:03 PM");
  EXPECT_EQ(Parsed(u"12:30 AM"), "12:30:00 AM");
  EXPECT_EQ(Parsed(u"3 PM"), "3:00:00 PM");
  EXPECT_EQ(Parsed(u"1/5/2020 13:45:10"), "1/5/2020 1:45:10 PM");
  EXPECT_EQ(Parsed(u"  2020-01-05 6:00 AM "), "1/5/2020 6:00:00 AM");
  EXPECT_EQ(Parsed(u"Monday, January 5, 2020"), "1/5/2020");
}

TEST(ValueDate, RejectsNonDates) {
  for (const char16_t* bad : {u"", u"hello", u"12", u"2/30/2020", u"13/13/2020", u"25:00", u"10:61",
                              u"13:00 PM", u"1/2/3/4", u"Foo 5 2020", u"1:2:3:4", u"0/1/2020", u"-1.5",
                              u"+1/2/2020"})
    EXPECT_EQ(Parsed(bad), "(none)") << A(std::u16string(bad));
}

}  // namespace
}  // namespace vbs
