#include "display_format.h"

#include <gtest/gtest.h>

#include <limits>

#include "numtext.h"

namespace zel {
namespace {

DisplayFormat General(bool grouping = false) { return {NumberForm::General, 15, 4, grouping}; }
DisplayFormat Eng(int digits = 15) { return {NumberForm::Engineering, digits, 4, false}; }
DisplayFormat SI(int digits = 15) { return {NumberForm::SIPrefix, digits, 4, false}; }
DisplayFormat Fixed(int decimals = 4, bool grouping = false) {
  return {NumberForm::Fixed, 15, decimals, grouping};
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct DoubleRow {
  double value;
  DisplayFormat format;
  const char* shown;
};

// Values as the engine holds them: their 15-digit text is what is rounded.
TEST(DisplayFormat, DoublesInEveryForm) {
  const DoubleRow rows[] = {
      // General keeps the engine's text byte for byte.
      {0.1 + 0.2, General(), "0.3"},
      {1.0 / 3, General(), "0.333333333333333"},
      {4.5e-6, General(), "4.5E-06"},
      {1e20, General(), "1E+20"},
      {-2.5e100, General(), "-2.5E+100"},
      {123456, General(), "123456"},
      {1234567.25, General(true), "1,234,567.25"},
      {-1234567, General(true), "-1,234,567"},
      {1.5e20, General(true), "1.5E+20"},
      {-0.0, General(), "0"},
      // Engineering: mantissa 1 to below 1000, exponent a multiple of 3.
      {4.5e-6, Eng(), "4.5E-6"},
      {123456, Eng(), "123.456E3"},
      {12.5, Eng(), "12.5"},
      {1, Eng(), "1"},
      {0.5, Eng(), "500E-3"},
      {1.0 / 3, Eng(), "333.333333333333E-3"},
      {1.0 / 3, Eng(1), "300E-3"},
      {2.0 / 3, Eng(3), "667E-3"},
      {-1234, Eng(2), "-1.2E3"},
      {1e20, Eng(), "100E18"},
      {1e-300, Eng(), "1E-300"},
      {1e300, Eng(), "1E300"},
      {std::numeric_limits<double>::max(), Eng(), "179.769313486232E306"},
      {std::numeric_limits<double>::denorm_min(), Eng(3), "4.94E-324"},
      {0.1 + 0.2, Eng(), "300E-3"},
      {999.9995, Eng(6), "1E3"},
      {999.9995, Eng(7), "999.9995"},
      {-0.0, Eng(), "0"},
      {0, Eng(), "0"},
      // SI Prefix: y to Y, Engineering beyond them.
      {4.5e-6, SI(), "4.5 \u00B5"},
      {123456, SI(), "123.456 k"},
      {3e-5, SI(), "30 \u00B5"},
      {999.9995, SI(6), "1 k"},
      {999999.5, SI(6), "1 M"},
      {-0.0012, SI(), "-1.2 m"},
      {42, SI(), "42"},
      {1e-24, SI(), "1 y"},
      {9.99e-25, SI(), "999E-27"},
      {1e-25, SI(), "100E-27"},
      {1e24, SI(), "1 Y"},
      {999e24, SI(), "999 Y"},
      {9.9999e26, SI(4), "1E27"},
      {1e27, SI(), "1E27"},
      {1e-300, SI(), "1E-300"},
      {1e300, SI(), "1E300"},
      {2.2e-9, SI(), "2.2 n"},
      {1e-12, SI(), "1 p"},
      {1e-15, SI(), "1 f"},
      {1e-18, SI(), "1 a"},
      {1e-21, SI(), "1 z"},
      {1e9, SI(), "1 G"},
      {1e12, SI(), "1 T"},
      {1e15, SI(), "1 P"},
      {1e18, SI(), "1 E"},
      {1e21, SI(), "1 Z"},
      // Fixed: half away from zero on the decimal text.
      {2.675, Fixed(2), "2.68"},
      {-2.675, Fixed(2), "-2.68"},
      {0.1 + 0.2, Fixed(4), "0.3000"},
      {1.0 / 3, Fixed(0), "0"},
      {0.5, Fixed(0), "1"},
      {-0.5, Fixed(0), "-1"},
      {9.99995, Fixed(4), "10.0000"},
      {-0.00004, Fixed(4), "0.0000"},
      {-0.00005, Fixed(4), "-0.0001"},
      {1e-300, Fixed(4), "0.0000"},
      {1.0 / 3, Fixed(15), "0.333333333333333"},
      {1e20, Fixed(0), "100000000000000000000"},
      {1e20, Fixed(0, true), "100,000,000,000,000,000,000"},
      {1234567.891, Fixed(2, true), "1,234,567.89"},
      {-999.5, Fixed(0, true), "-1,000"},
      {-0.0, Fixed(2), "0.00"},
      {0, Fixed(0), "0"},
  };
  for (const DoubleRow& r : rows)
    EXPECT_EQ(FormatForDisplay(r.value, r.format), r.shown)
        << r.value << " in form " << NumberFormWord(r.format.form) << " digits "
        << r.format.significantDigits << " decimals " << r.format.decimals;
}

TEST(DisplayFormat, FixedWritesOutEveryIntegerDigitOfAHugeValue) {
  // 1e300 at four decimals: every integer digit is written out.
  const std::string s = FormatForDisplay(1e300, Fixed(4));
  ASSERT_EQ(s.size(), 301u + 5u);
  EXPECT_EQ(s.substr(0, 2), "10");
  EXPECT_EQ(s.substr(s.size() - 6), "0.0000");
}

struct TextRow {
  const char* text;
  DisplayFormat format;
  const char* shown;
};

// Texts of the other numeric types as the engine writes them: Currency with
// its exact four decimals, Single with seven digits, the integer types whole.
TEST(DisplayFormat, CurrencySingleAndIntegerTexts) {
  const TextRow rows[] = {
      {"922337203685477.5807", Eng(), "922.337203685478E12"},
      {"922337203685477.5807", SI(), "922.337203685478 T"},
      {"922337203685477.5807", Fixed(2, true), "922,337,203,685,477.58"},
      {"-922337203685477.5808", Fixed(4), "-922337203685477.5808"},
      {"2.675", Fixed(2), "2.68"},
      {"0.0001", SI(), "100 \u00B5"},
      {"1.1", Eng(), "1.1"},
      {"0.3333333", SI(3), "333 m"},
      {"1.234568E+07", SI(), "12.34568 M"},
      {"32767", Eng(), "32.767E3"},
      {"-32768", SI(), "-32.768 k"},
      {"-32768", Fixed(0, true), "-32,768"},
      {"2147483647", Eng(3), "2.15E9"},
      {"2147483647", SI(), "2.147483647 G"},
      {"-2147483648", Fixed(0, true), "-2,147,483,648"},
      {"255", Eng(), "255"},
      {"255", Fixed(1), "255.0"},
  };
  for (const TextRow& r : rows)
    EXPECT_EQ(FormatForDisplay(r.text, r.format), r.shown)
        << r.text << " in form " << NumberFormWord(r.format.form);
}

TEST(DisplayFormat, NonFiniteAndNonNumbersAreLeftAsTheyAre) {
  for (const DisplayFormat& f : {General(true), Eng(3), SI(6), Fixed(2, true)}) {
    EXPECT_EQ(FormatForDisplay(kInf, f), "1.#INF");
    EXPECT_EQ(FormatForDisplay(-kInf, f), "-1.#INF");
    EXPECT_EQ(FormatForDisplay(kNaN, f), "-1.#IND");
    for (const char* text : {"", "-", ".", "1E", "1E+", "12abc", "1.2.3", "E5", "1E123456"})
      EXPECT_EQ(FormatForDisplay(text, f), text) << text;
  }
}

TEST(DisplayFormat, GeneralWithoutGroupingKeepsTheEngineText) {
  // Whatever the digits settings say, General is the engine's text.
  DisplayFormat f = General();
  f.significantDigits = 2;
  f.decimals = 0;
  for (double v : {0.1, 1.0 / 3, 1e-5, 1e15, 123456789012345.0, -7.25, 9806.649999999998})
    EXPECT_EQ(FormatForDisplay(v, f), FormatGeneralNumber(v)) << v;
}

TEST(DisplayFormat, SettingsWordsAndSaneValues) {
  for (NumberForm f : {NumberForm::General, NumberForm::Engineering, NumberForm::SIPrefix,
                       NumberForm::Fixed})
    EXPECT_EQ(NumberFormFromWord(NumberFormWord(f)), f);
  EXPECT_EQ(NumberFormFromWord("siprefix"), NumberForm::SIPrefix);
  EXPECT_EQ(NumberFormFromWord("SI Prefix"), std::nullopt);
  EXPECT_EQ(NumberFormFromWord(""), std::nullopt);

  const DisplayFormat defaults;
  EXPECT_EQ(SaneDisplayFormat("", 0, 0, false).form, NumberForm::General);
  EXPECT_EQ(SaneDisplayFormat("Fixed", 7, 2, true),
            (DisplayFormat{NumberForm::Fixed, 7, 2, true}));
  EXPECT_EQ(SaneDisplayFormat("Bogus", 16, -1, false), defaults);
  EXPECT_EQ(SaneDisplayFormat("Engineering", 0, 16, false).significantDigits, 15);
  EXPECT_EQ(SaneDisplayFormat("Engineering", 7.5, 2.5, false).decimals, 4);
  EXPECT_EQ(SaneDisplayFormat("Engineering", 7.5, 2.5, false).significantDigits, 15);
  EXPECT_EQ(SaneDisplayFormat("Fixed", 1, 0, false).decimals, 0);
  EXPECT_EQ(SaneDisplayFormat("Fixed", 1, 0, false).significantDigits, 1);
  EXPECT_EQ(SaneDisplayFormat("Fixed", kNaN, kNaN, false), (DisplayFormat{NumberForm::Fixed}));
}

TEST(DisplayFormat, TypedDigitCounts) {
  EXPECT_EQ(ReadDigitCount("1", 1, 15), 1);
  EXPECT_EQ(ReadDigitCount(" 15 ", 1, 15), 15);
  EXPECT_EQ(ReadDigitCount("0", 0, 15), 0);
  EXPECT_EQ(ReadDigitCount("007", 0, 15), 7);
  for (const char* bad : {"", " ", "0", "16", "-1", "+3", "2.5", "1e1", "abc", "1000", "3 4"})
    EXPECT_EQ(ReadDigitCount(bad, 1, 15), std::nullopt) << bad;
}

}  // namespace
}  // namespace zel
