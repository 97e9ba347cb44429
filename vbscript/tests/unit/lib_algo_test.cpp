// Algorithms behind the string, number, date and regular-expression
// functions, checked without going through the script engine.
#include <gtest/gtest.h>

#include "lib/datecalc.h"
#include "lib/numfmt.h"
#include "lib/regex.h"
#include "lib/textalgo.h"

using namespace vbs::lib;

namespace {
std::u16string Fmt(double v, int digits, bool lead = true, bool parens = false, bool group = true,
                   NumberStyle style = NumberStyle::Number) {
  NumberFormat f;
  f.digits = digits;
  f.leadingDigit = lead;
  f.parens = parens;
  f.group = group;
  return FormatStyled(v, f, style);
}
double Serial(int y, int m, int d) { return static_cast<double>(DayNumber(y, m, d)); }
}  // namespace

TEST(LibText, SearchWithBinaryAndTextCompare) {
  EXPECT_EQ(InStr(1, u"Hello World", u"o", Compare::Binary), 5);
  EXPECT_EQ(InStr(6, u"Hello World", u"o", Compare::Binary), 8);
  EXPECT_EQ(InStr(1, u"Hello World", u"WORLD", Compare::Binary), 0);
  EXPECT_EQ(InStr(1, u"Hello World", u"WORLD", Compare::Text), 7);
  EXPECT_EQ(InStr(3, u"abc", u"", Compare::Binary), 3);
  EXPECT_EQ(InStr(5, u"abc", u"a", Compare::Binary), 0);
  EXPECT_EQ(InStrRev(u"abcabc", u"bc", -1, Compare::Binary), 5);
  EXPECT_EQ(InStrRev(u"abcabc", u"bc", 5, Compare::Binary), 2);   // match must end by position 5
  EXPECT_EQ(InStrRev(u"abcabc", u"BC", -1, Compare::Text), 5);
  EXPECT_EQ(InStrRev(u"abc", u"a", 4, Compare::Binary), 0);
  EXPECT_EQ(StrCompare(u"abc", u"ABC", Compare::Binary), 1);
  EXPECT_EQ(StrCompare(u"abc", u"ABC", Compare::Text), 0);
  EXPECT_EQ(StrCompare(u"ab", u"abc", Compare::Text), -1);
  EXPECT_EQ(ToUpper(u"straße äö"), u"STRAßE ÄÖ");
  EXPECT_EQ(ToLower(u"ÀÉ ΑΒ АБ"), u"àé αβ аб");
}

TEST(LibText, ReplaceSplitFilter) {
  EXPECT_EQ(ReplaceText(u"aXbXcX", u"X", u"-", 1, -1, Compare::Binary), u"a-b-c-");
  EXPECT_EQ(ReplaceText(u"aXbXcX", u"X", u"-", 1, 2, Compare::Binary), u"a-b-cX");
  EXPECT_EQ(ReplaceText(u"aXbXcX", u"x", u"-", 3, -1, Compare::Text), u"b-c-");   // text before start is dropped
  EXPECT_EQ(ReplaceText(u"abc", u"x", u"-", 4, -1, Compare::Binary), u"");
  EXPECT_EQ(ReplaceText(u"aaa", u"a", u"aa", 1, -1, Compare::Binary), u"aaaaaa");

  EXPECT_TRUE(SplitText(u"", u",", -1, Compare::Binary).empty());
  EXPECT_EQ(SplitText(u"a,,b", u",", -1, Compare::Binary), (std::vector<std::u16string>{u"a", u"", u"b"}));
  EXPECT_EQ(SplitText(u"a,b,c", u",", 2, Compare::Binary), (std::vector<std::u16string>{u"a", u"b,c"}));
  EXPECT_EQ(SplitText(u"aXbxc", u"x", -1, Compare::Text), (std::vector<std::u16string>{u"a", u"b", u"c"}));
  EXPECT_EQ(SplitText(u"abc", u"", -1, Compare::Binary), (std::vector<std::u16string>{u"abc"}));
  EXPECT_EQ(SplitText(u"a,", u",", -1, Compare::Binary), (std::vector<std::u16string>{u"a", u""}));

  const std::vector<std::u16string> items{u"Apple", u"banana", u"cherry"};
  EXPECT_EQ(FilterText(items, u"an", true, Compare::Binary), (std::vector<std::u16string>{u"banana"}));
  EXPECT_EQ(FilterText(items, u"A", false, Compare::Text), (std::vector<std::u16string>{u"cherry"}));
}

TEST(LibText, EscapeHexOct) {
  EXPECT_EQ(Escape(u"a b+c/ü€"), u"a%20b+c/%FC%u20AC");
  EXPECT_EQ(Unescape(u"a%20b%FC%u20AC"), u"a bü€");
  EXPECT_EQ(Unescape(u"100%"), u"100%");
  EXPECT_EQ(Unescape(u"%zz%4"), u"%zz%4");
  EXPECT_EQ(ToHex(-1, 16), u"FFFF");
  EXPECT_EQ(ToHex(-1, 32), u"FFFFFFFF");
  EXPECT_EQ(ToHex(255, 32), u"FF");
  EXPECT_EQ(ToHex(0, 16), u"0");
  EXPECT_EQ(ToOct(8, 16), u"10");
  EXPECT_EQ(ToOct(-1, 16), u"177777");
}

TEST(LibNumber, FormattingOptions) {
  EXPECT_EQ(Fmt(1234567.891, 2), u"1,234,567.89");
  EXPECT_EQ(Fmt(1234.5, 0), u"1,235");
  EXPECT_EQ(Fmt(2.5, 0), u"3");            // formatting rounds half away from zero
  EXPECT_EQ(Fmt(-2.5, 0), u"-3");
  EXPECT_EQ(Fmt(1.005, 2), u"1.01");
  EXPECT_EQ(Fmt(0.5, 2, false), u".50");
  EXPECT_EQ(Fmt(-0.5, 2, false), u"-.50");
  EXPECT_EQ(Fmt(-1234.5, 2, true, true), u"(1,234.50)");
  EXPECT_EQ(Fmt(1234.5, 2, true, false, false), u"1234.50");
  EXPECT_EQ(Fmt(-0.001, 2), u"0.00");
  EXPECT_EQ(Fmt(999.999, 2), u"1,000.00");
  EXPECT_EQ(Fmt(1e20, 0), u"100,000,000,000,000,000,000");
  EXPECT_EQ(Fmt(-1234.5, 2, true, true, true, NumberStyle::Currency), u"($1,234.50)");
  EXPECT_EQ(Fmt(0.256, 1, true, false, true, NumberStyle::Percent), u"25.6%");
  EXPECT_EQ(Fmt(-0.5, 2, true, false, true, NumberStyle::Percent), u"-50.00%");
}

TEST(LibNumber, BankersRoundingWithDigits) {
  EXPECT_EQ(RoundDigits(2.5, 0), 2);
  EXPECT_EQ(RoundDigits(3.5, 0), 4);
  EXPECT_EQ(RoundDigits(-2.5, 0), -2);
  EXPECT_DOUBLE_EQ(RoundDigits(1.2345, 3), 1.234);
  EXPECT_DOUBLE_EQ(RoundDigits(1.2355, 3), 1.236);
  EXPECT_DOUBLE_EQ(RoundDigits(3.14159, 2), 3.14);
  EXPECT_DOUBLE_EQ(RoundDigits(-3.14159, 4), -3.1416);
}

TEST(LibNumber, RndSequencesAreReproducible) {
  uint32_t seed = 0x50000;   // a fresh engine's seed
  EXPECT_FLOAT_EQ(RndNext(seed, 0, false), 0.7055475f);
  EXPECT_FLOAT_EQ(RndNext(seed, 0, false), 0.533424f);
  EXPECT_FLOAT_EQ(RndNext(seed, 0, true), 0.533424f);   // Rnd(0) repeats
  uint32_t a = 123, b = 999;
  const float first = RndNext(a, -1, true);
  EXPECT_FLOAT_EQ(first, 0.224007f);
  EXPECT_EQ(RndNext(b, -1, true), first);
  EXPECT_EQ(RndNext(a, 1, true), RndNext(b, 1, true));
  uint32_t z = 0x123456;
  RndRandomize(z, 0);
  EXPECT_EQ(z, 0x56u);
  // Randomize n keeps part of the old state: the same state gives the same
  // sequence again, another state does not.
  uint32_t p = 0x111111, q = 0x111111, r = 0x111122;
  RndRandomize(p, 42);
  RndRandomize(q, 42);
  RndRandomize(r, 42);
  EXPECT_EQ(p, q);
  EXPECT_NE(p, r);
  const double t = RndTimerSeed();   // seconds since midnight, as Timer
  EXPECT_GE(t, 0.0);
  EXPECT_LT(t, 86400.0);
}

TEST(LibDate, CalendarAndCarry) {
  EXPECT_EQ(DayNumber(1899, 12, 30), 0);
  EXPECT_EQ(DayNumber(2000, 1, 1), 36526);
  int y, m, d;
  CivilFromDayNumber(-1, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
  EXPECT_EQ(*DateSerial(2020, 13, 1), Serial(2021, 1, 1));
  EXPECT_EQ(*DateSerial(2020, 3, 0), Serial(2020, 2, 29));
  EXPECT_EQ(*DateSerial(2020, 1, -1), Serial(2019, 12, 30));
  EXPECT_EQ(*DateSerial(99, 1, 1), Serial(1999, 1, 1));
  EXPECT_EQ(*DateSerial(5, 1, 1), Serial(2005, 1, 1));
  EXPECT_FALSE(DateSerial(10000, 1, 1));
  EXPECT_DOUBLE_EQ(*TimeSerial(25, 0, 0), 1 + 1.0 / 24);
  EXPECT_DOUBLE_EQ(*TimeSerial(-1, 0, 0), -1 - 23.0 / 24);   // 11 PM of the day before
  EXPECT_EQ(SplitSerial(-1.25).hour, 6);
  EXPECT_EQ(SplitSerial(-1.25).day, 29);
  EXPECT_EQ(Weekday(Serial(2026, 12, 7), 1), 2);   // a Monday
  EXPECT_EQ(Weekday(Serial(2026, 12, 7), 2), 1);
}

TEST(LibDate, AddDiffPart) {
  const double jan31 = Serial(2020, 1, 31);
  EXPECT_EQ(*DateAdd(Interval::Month, 1, jan31), Serial(2020, 2, 29));
  EXPECT_EQ(*DateAdd(Interval::Year, -1, Serial(2020, 2, 29)), Serial(2019, 2, 28));
  EXPECT_EQ(*DateAdd(Interval::Quarter, 1, jan31), Serial(2020, 4, 30));
  EXPECT_EQ(*DateAdd(Interval::Weekday, 3, jan31), Serial(2020, 2, 3));
  EXPECT_DOUBLE_EQ(*DateAdd(Interval::Hour, -1, jan31), Serial(2020, 1, 30) + 23.0 / 24);
  EXPECT_FALSE(DateAdd(Interval::Year, 8000, jan31));

  EXPECT_EQ(DateDiff(Interval::Year, Serial(2019, 12, 31), Serial(2020, 1, 1), 1, 1), 1);
  EXPECT_EQ(DateDiff(Interval::Month, Serial(2019, 11, 30), Serial(2020, 2, 1), 1, 1), 3);
  EXPECT_EQ(DateDiff(Interval::Quarter, Serial(2019, 12, 31), Serial(2020, 1, 1), 1, 1), 1);
  EXPECT_EQ(DateDiff(Interval::Day, Serial(2020, 1, 1) + 0.9, Serial(2020, 1, 2) + 0.1, 1, 1), 1);
  EXPECT_EQ(DateDiff(Interval::Weekday, Serial(2020, 1, 1), Serial(2020, 1, 14), 1, 1), 1);
  // Sundays crossed from Saturday 4 Jan to Sunday 5 Jan 2020.
  EXPECT_EQ(DateDiff(Interval::Week, Serial(2020, 1, 4), Serial(2020, 1, 5), 1, 1), 1);
  EXPECT_EQ(DateDiff(Interval::Week, Serial(2020, 1, 4), Serial(2020, 1, 5), 2, 1), 0);
  EXPECT_EQ(DateDiff(Interval::Hour, Serial(2020, 1, 1) + 1.99 / 24, Serial(2020, 1, 1) + 2.0 / 24, 1, 1), 1);
  EXPECT_EQ(DateDiff(Interval::Day, Serial(2020, 1, 2), Serial(2020, 1, 1), 1, 1), -1);

  const double d = Serial(2021, 1, 1);   // a Friday
  EXPECT_EQ(DatePart(Interval::Week, d, 1, 1), 1);
  EXPECT_EQ(DatePart(Interval::Week, d, 2, 2), 53);   // ISO-style: belongs to 2020's last week
  EXPECT_EQ(DatePart(Interval::Week, Serial(2021, 1, 4), 2, 2), 1);
  EXPECT_EQ(DatePart(Interval::Week, Serial(2021, 1, 3), 1, 3), 1);
  // Tuesday 31 Dec 2019 opens 2020's first four-day week; counted from
  // 1 January it stays in 2019's last week, and a full-week count never
  // moves it forward either.
  EXPECT_EQ(DatePart(Interval::Week, Serial(2019, 12, 31), 2, 2), 1);
  EXPECT_EQ(DatePart(Interval::Week, Serial(2019, 12, 29), 2, 2), 52);
  EXPECT_EQ(DatePart(Interval::Week, Serial(2019, 12, 31), 1, 1), 53);
  EXPECT_EQ(DatePart(Interval::Week, Serial(2019, 12, 31), 2, 3), 52);
  EXPECT_EQ(DatePart(Interval::DayOfYear, Serial(2020, 12, 31), 1, 1), 366);
  EXPECT_EQ(DatePart(Interval::Weekday, d, 2, 1), 5);
  EXPECT_EQ(DatePart(Interval::Quarter, Serial(2020, 8, 1), 1, 1), 3);
}

TEST(LibDate, Text) {
  const double t = Serial(2026, 12, 7) + (13 * 3600 + 5 * 60 + 9) / 86400.0;
  EXPECT_EQ(GeneralDateText(t), u"12/7/2026 1:05:09 PM");
  EXPECT_EQ(GeneralDateText(Serial(2026, 12, 7)), u"12/7/2026");
  EXPECT_EQ(GeneralDateText(0.5), u"12:00:00 PM");
  EXPECT_EQ(LongDateText(t), u"Monday, December 7, 2026");
  EXPECT_EQ(ShortTimeText(t), u"13:05");
  EXPECT_EQ(MonthNameText(2, true), u"Feb");
  EXPECT_EQ(WeekdayNameText(1, false, 2), u"Monday");
  EXPECT_EQ(WeekdayNameText(7, true, 1), u"Sat");
}

TEST(LibRegex, MatchingFeatures) {
  Regex words(u"(\\w+)@(\\w+)\\.com", false, false);
  auto ms = words.Find(u"mail ann@example.com, bob@test.com", true);
  ASSERT_EQ(ms.size(), 2u);
  EXPECT_EQ(ms[0].index, 5u);
  EXPECT_EQ(ms[0].value, u"ann@example.com");
  EXPECT_EQ(*ms[1].groups[1], u"test");
  EXPECT_EQ(words.Find(u"x a@b.com y@z.com", false).size(), 1u);

  // Indices count UTF-16 units, also past characters outside the BMP.
  Regex digit(u"\\d", false, false);
  EXPECT_EQ(digit.Find(u"\U0001F600x7", false)[0].index, 3u);

  EXPECT_TRUE(Regex(u"HELLO", true, false).Test(u"say hello"));
  EXPECT_FALSE(Regex(u"HELLO", false, false).Test(u"say hello"));
  EXPECT_EQ(Regex(u"^\\w+$", false, true).Find(u"ab\ncd", true).size(), 2u);
  EXPECT_EQ(Regex(u"^\\w+$", false, false).Find(u"ab\ncd", true).size(), 0u);
  EXPECT_EQ(Regex(u"a.*?b", false, false).Find(u"aXbYb", false)[0].value, u"aXb");
  EXPECT_EQ(Regex(u"(a)\\1", false, false).Find(u"xaay", false)[0].index, 1u);
  EXPECT_EQ(Regex(u"\\d+(?=px)", false, false).Find(u"10em 20px", false)[0].value, u"20");
  EXPECT_EQ(Regex(u"\\bcat\\b", false, false).Find(u"concat cat", false)[0].index, 7u);
  EXPECT_EQ(Regex(u"x*", false, false).Find(u"abc", true).size(), 4u);   // empty matches advance
  EXPECT_THROW(Regex(u"(abc", false, false), RegexError);
}

TEST(LibRegex, LongSubjectsAndPathologicalLoops) {
  // Backtracking must not grow the native stack with the subject's length.
  const std::u16string text(200000, u'a');
  EXPECT_EQ(Regex(u"(a|b)*", false, false).Find(text, false)[0].length, text.size());
  EXPECT_EQ(Regex(u".*?$", false, false).Find(text, false)[0].length, text.size());
  // A loop whose body can match nothing stops instead of spinning.
  EXPECT_EQ(Regex(u"(a*)*b", false, false).Find(u"aaab", false)[0].value, u"aaab");
  EXPECT_EQ(Regex(u"(?:x?)*y", false, false).Find(u"zzy", false)[0].index, 2u);
  EXPECT_EQ(Regex(u"a{2,3}", false, false).Find(u"aaaa", true).size(), 1u);
  EXPECT_EQ(Regex(u"a{2,3}?", false, false).Find(u"aaaa", true).size(), 2u);
  EXPECT_EQ(Regex(u"(?!ab)a\\w", false, false).Find(u"ab ac", false)[0].value, u"ac");
  EXPECT_EQ(Regex(u"[^\\d\\s]+", false, false).Find(u"12 ab3", false)[0].value, u"ab");
  EXPECT_EQ(Regex(u"[a-c-]+", false, false).Find(u"x-ab-", false)[0].value, u"-ab-");
  EXPECT_EQ(Regex(u"\\u0041\\x42", false, false).Find(u"AB", false).size(), 1u);
  EXPECT_EQ(Regex(u"[É]", true, false).Find(u"é", false).size(), 1u);
  EXPECT_THROW(Regex(u"a**", false, false), RegexError);
  EXPECT_THROW(Regex(u"[z-a]", false, false), RegexError);
  EXPECT_THROW(Regex(u"a)", false, false), RegexError);
  EXPECT_THROW(Regex(u"abc\\", false, false), RegexError);   // trailing backslash
}

TEST(LibRegex, ReplaceReferences) {
  Regex r(u"(\\w+) (\\w+)", false, false);
  EXPECT_EQ(r.Replace(u"hello world", u"$2 $1", false), u"world hello");
  EXPECT_EQ(r.Replace(u"ab cd", u"[$&] $$ $3", false), u"[ab cd] $ $3");
  EXPECT_EQ(Regex(u"b", false, false).Replace(u"abc", u"<$`|$'>", true), u"a<a|c>c");
  EXPECT_EQ(Regex(u"o", false, false).Replace(u"foo", u"0", true), u"f00");
  EXPECT_EQ(Regex(u"o", false, false).Replace(u"foo", u"0", false), u"f0o");
  Regex many(u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", false, false);
  EXPECT_EQ(many.Replace(u"abcdefghijk", u"$11-$10-$1", false), u"k-j-a");
}

TEST(LibRegex, DialectDetails) {
  // Alternatives are tried left to right, not longest first.
  EXPECT_EQ(Regex(u"a|ab", false, false).Find(u"ab", false)[0].value, u"a");
  // Multiline anchors sit at CR as well as LF; "." stops only at LF.
  EXPECT_EQ(Regex(u"b$", false, true).Find(u"ab\r\ncd", false).size(), 1u);
  EXPECT_EQ(Regex(u"^c", false, true).Find(u"ab\r\ncd", false)[0].index, 4u);
  EXPECT_EQ(Regex(u"a.c", false, false).Find(u"a\rc a\nc", true).size(), 1u);
  // Back references compare ignoring case under IgnoreCase, and an unset
  // group matches the empty text.
  EXPECT_EQ(Regex(u"(a)\\1", true, false).Find(u"aA", false).size(), 1u);
  EXPECT_EQ(Regex(u"(x)?y\\1", false, false).Find(u"y", false)[0].value, u"y");
  // Captures made inside a lookahead stay; a failed negative one leaves none.
  const auto look = Regex(u"(?=(\\d+))\\d", false, false).Find(u"ab123", false);
  ASSERT_EQ(look.size(), 1u);
  EXPECT_EQ(*look[0].groups[0], u"123");
  EXPECT_FALSE(Regex(u"(?!(a))b", false, false).Find(u"b", false)[0].groups[0].has_value());
  // \B, \b inside a class (backspace), and escapes of special characters.
  EXPECT_EQ(Regex(u"\\Bb", false, false).Find(u"b ab", false)[0].index, 3u);
  EXPECT_EQ(Regex(u"[\\b]", false, false).Find(u"a\bb", false)[0].index, 1u);
  EXPECT_EQ(Regex(u"\\.\\*\\(\\)\\[", false, false).Find(u"x.*()[", false)[0].index, 1u);
  // A brace that does not make a quantifier is a literal.
  EXPECT_EQ(Regex(u"a{,2}", false, false).Find(u"a{,2}", false).size(), 1u);
  EXPECT_EQ(Regex(u"\\d{2,}", false, false).Find(u"1 22 333", true).size(), 2u);
  // Lazy quantifiers with groups take as little as they can.
  const auto lazy = Regex(u"<(.+?)>", false, false).Find(u"<a><b>", true);
  ASSERT_EQ(lazy.size(), 2u);
  EXPECT_EQ(*lazy[1].groups[0], u"b");
  EXPECT_EQ(Regex(u"[^a-c]+", true, false).Find(u"ABCxyzA", false)[0].value, u"xyz");
  EXPECT_THROW(Regex(u"(?<x>a)", false, false), RegexError);
  EXPECT_THROW(Regex(u"[abc", false, false), RegexError);
}

TEST(LibText, CaseTablesAndEscapeRoundTrip) {
  // Every code unit survives Escape and Unescape.
  std::u16string all;
  for (int c = 1; c < 0x3100; c += 7) all.push_back(static_cast<char16_t>(c));
  EXPECT_EQ(Unescape(Escape(all)), all);
  EXPECT_EQ(Escape(u"@*_+-./"), u"@*_+-./");
  EXPECT_EQ(Escape(u"~!#"), u"%7E%21%23");
  // Upper and lower case are inverse for the letters the tables cover.
  for (char16_t c : std::u16string(u"AZÀÞĀŽΑΩАЯЀЏＡＺ")) {
    EXPECT_EQ(ToUpperChar(ToLowerChar(c)), c) << static_cast<int>(c);
    EXPECT_NE(ToLowerChar(c), c) << static_cast<int>(c);
  }
  EXPECT_EQ(ToUpper(u"ÿ"), u"Ÿ");
  EXPECT_EQ(ToUpper(u"×÷ß"), u"×÷ß");   // no case
  EXPECT_EQ(StrCompare(u"ΣΊ", u"σΊ", Compare::Text), 0);
  EXPECT_EQ(InStr(1, u"ＡＢＣ", u"ｂ", Compare::Text), 2);
}

TEST(LibNumber, FormattingLimits) {
  EXPECT_EQ(Fmt(0, 0), u"0");
  EXPECT_EQ(Fmt(0.4, 0), u"0");
  EXPECT_EQ(Fmt(-0.4, 0), u"0");     // no sign once nothing is left
  EXPECT_EQ(Fmt(0.004, 2, false), u".00");
  EXPECT_EQ(Fmt(123456789012345678.0, 0), u"123,456,789,012,346,000");   // 15 significant digits
  EXPECT_EQ(Fmt(1.5e-10, 12), u"0.000000000150");
  EXPECT_EQ(Fmt(999, 0), u"999");
  EXPECT_EQ(Fmt(-1000, 0, true, false, true), u"-1,000");
  EXPECT_EQ(Fmt(12.5, 5), u"12.50000");
  EXPECT_EQ(Fmt(0.125, 2, true, false, true, NumberStyle::Currency), u"$0.13");
  EXPECT_EQ(Fmt(1, 0, true, false, true, NumberStyle::Percent), u"100%");
  EXPECT_DOUBLE_EQ(RoundDigits(0.125, 2), 0.12);
  EXPECT_DOUBLE_EQ(RoundDigits(0.375, 2), 0.38);
  EXPECT_DOUBLE_EQ(RoundDigits(1e20, 2), 1e20);
}
