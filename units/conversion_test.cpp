#include "conversion.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

#include "leading_number.h"
#include "numtext.h"
#include "units_test_support.h"

namespace zel {
namespace {

using test::Loaded;

// Runs one button press and expects a shown result.
double Ok(const UnitTable& t, int button, const char* left, const char* right, double x) {
  const ConversionResult r = ConvertValue(t, button, left, right, x);
  EXPECT_EQ(r.outcome, ConversionOutcome::Ok) << left << " / " << right << " x=" << x;
  return r.value;
}

TEST(GeneralRule, ForwardAndReverseBetweenTheTwoLists) {
  const UnitTable t = Loaded("Length");
  EXPECT_EQ(Ok(t, kForward, "m", "mm", 2), 2000);
  EXPECT_EQ(Ok(t, kReverse, "m", "mm", 2000), 2);
  EXPECT_EQ(FormatGeneralNumber(Ok(t, kReverse, "m", "mm", 2)), "0.002");
  EXPECT_EQ(Ok(t, kForward, "m", "m", 42.5), 42.5);

  EXPECT_EQ(Ok(Loaded("Force, Weight"), kForward, "kgf", "N", 1), 9.80665);
  EXPECT_EQ(Ok(Loaded("Force, Weight"), kForward, "lbf", "N", 1), 4.448226905317016);
  EXPECT_EQ(Ok(Loaded("Pressure"), kForward, "atm", "Pa (=N/m2)", 1), 101324.26913);
}

TEST(GeneralRule, OperationOrderFollowsTheDirection) {
  const UnitTable t = Loaded("Length");
  // in -> mm: forward divides first, reverse multiplies first; the last bit
  // shows which.
  EXPECT_EQ(Ok(t, kForward, "in", "mm", 10), 254.00000000000003);
  EXPECT_EQ(Ok(t, kReverse, "mm", "in", 10), 254.0);
  EXPECT_EQ(Ok(t, kForward, "in", "mm", 0.1), 2.54);
  EXPECT_EQ(Ok(t, kReverse, "mm", "in", 0.1), 2.5400000000000005);
}

TEST(GeneralRule, OnlyTheTwoButtonsConvert) {
  const UnitTable t = Loaded("Length");
  for (int button : {-1, 2, 7}) {
    const ConversionResult r = ConvertValue(t, button, "m", "mm", 2);
    EXPECT_EQ(r.outcome, ConversionOutcome::Nothing) << button;
  }
  // Temperature and density go through the same gate.
  EXPECT_EQ(ConvertValue(Loaded("Temperature"), 2, "C", "F", 1).outcome,
            ConversionOutcome::Nothing);
  EXPECT_EQ(ConvertValue(Loaded("Density"), -1, "API", "g/cm3", 1).outcome,
            ConversionOutcome::Nothing);
}

TEST(GeneralRule, TextWithoutANumberConvertsAsZero) {
  EXPECT_EQ(Ok(Loaded("Length"), kForward, "m", "mm", LeadingNumber("abc")), 0);
  EXPECT_EQ(Ok(Loaded("Temperature"), kForward, "C", "K", LeadingNumber("")), 273.15);
  EXPECT_EQ(Ok(Loaded("Length"), kForward, "mm", "m", LeadingNumber(" 12.5e1x")), 0.125);
}

TEST(TemperatureRule, EveryPairOfTheTable) {
  struct Case { const char* from; const char* to; double x; double want; };
  const Case cases[] = {
      {"C", "C", -40, -40},       {"C", "K", 0, 273.15},
      {"C", "F", 100, 212},       {"C", "R", 0, 492},
      {"K", "C", 273.15, 0},      {"K", "K", 5, 5},
      {"K", "F", 0.1, -459.48999999999995},
      {"K", "R", 1, 1.8},         {"F", "C", 100, 37.77777777777778},
      {"F", "K", 0, 255.3722222222222},
      {"F", "F", 3, 3},           {"F", "R", 0, 460},
      {"R", "C", 492, 0},         {"R", "K", 491.67, 273.15},
      {"R", "F", 460, 0},         {"R", "R", 12.34, 12.34},
  };
  for (const Case& c : cases) {
    const ConversionResult r = ConvertTemperature(c.x, c.from, c.to);
    EXPECT_EQ(r.outcome, ConversionOutcome::Ok) << c.from << "->" << c.to;
    EXPECT_EQ(r.value, c.want) << c.from << "->" << c.to;
  }
}

TEST(TemperatureRule, IsNotSymmetricThroughRankine) {
  // K -> R multiplies by 1.8, R -> K divides; C -> R uses 460, C -> K 273.15.
  const double r = ConvertTemperature(100, "C", "R").value;
  EXPECT_EQ(r, 672);
  const double k = ConvertTemperature(r, "R", "K").value;
  EXPECT_NE(k, 373.15);
  EXPECT_EQ(k, 672 / 1.8);
}

TEST(TemperatureRule, UnknownLabels) {
  // Unknown target with a known source: the window must say so, then show 0.
  ConversionResult r = ConvertTemperature(5, "C", "X");
  EXPECT_EQ(r.outcome, ConversionOutcome::NoConversion);
  EXPECT_EQ(r.value, 0);
  // Unknown source: 0, silently, whatever the target.
  r = ConvertTemperature(5, "c", "K");
  EXPECT_EQ(r.outcome, ConversionOutcome::Ok);
  EXPECT_EQ(r.value, 0);
  r = ConvertTemperature(5, "", "X");
  EXPECT_EQ(r.outcome, ConversionOutcome::Ok);
  EXPECT_EQ(r.value, 0);
}

TEST(TemperatureRule, ReverseButtonReadsTheRightListAsSource) {
  const UnitTable t = Loaded("Temperature");
  EXPECT_EQ(Ok(t, kForward, "C", "F", 100), 212);
  const double back = Ok(t, kReverse, "C", "F", 100);
  EXPECT_EQ(FormatGeneralNumber(back), "37.7777777777778");
  EXPECT_EQ(ConvertValue(t, kReverse, "Q", "C", 1).outcome, ConversionOutcome::NoConversion);
  EXPECT_EQ(ConvertValue(t, kForward, "Q", "C", 1).outcome, ConversionOutcome::Ok);
}

TEST(DensityRule, ApiGravityScale) {
  const UnitTable t = Loaded("Density");
  EXPECT_EQ(Ok(t, kForward, "g/cm3", "API", 1), 10);
  EXPECT_EQ(Ok(t, kForward, "API", "kg/m3(=g/L)", 10), 1000);
  EXPECT_EQ(Ok(t, kForward, "API", "g/cm3", 10), 1);
  EXPECT_EQ(Ok(t, kForward, "API", "API", 35), 35);
  EXPECT_EQ(Ok(t, kReverse, "API", "API", 35), 35);
  EXPECT_EQ(Ok(t, kForward, "kg/m3(=g/L)", "lb/ft3", 16.018482423949973), 1);
  // Reverse swaps the roles: list 1 is the source.
  EXPECT_EQ(Ok(t, kReverse, "API", "g/cm3", 1), 10);
  EXPECT_EQ(Ok(t, kReverse, "g/cm3", "API", 10), 1);
}

TEST(DensityRule, UsesTheForwardOrderInBothDirections) {
  const UnitTable t = Loaded("Density");
  // Unlike the general rule, reverse also divides first.
  EXPECT_EQ(Ok(t, kForward, "lb/in3", "lb/ft3", 10), 17279.999999999996);
  EXPECT_EQ(Ok(t, kReverse, "lb/ft3", "lb/in3", 10), 17279.999999999996);
}

TEST(DensityRule, WaterDensityComesFromTheLoadedTable) {
  // The rule reads slot 2 of the table rather than a constant.
  EXPECT_EQ(ConvertDensity(1, "g/cm3", "API", 1000, 1, 500), 141.5 / 2 - 131.5);
  EXPECT_EQ(ConvertDensity(10, "API", "g/cm3", 1, 1000, 1000), 1);
}

TEST(Conversion, NonFiniteResultsAreErrorsNotValues) {
  const UnitTable d = Loaded("Density");
  ConversionResult r = ConvertValue(d, kForward, "g/cm3", "API", 0);
  EXPECT_EQ(r.outcome, ConversionOutcome::NotFinite);
  r = ConvertValue(d, kForward, "API", "g/cm3", -131.5);
  EXPECT_EQ(r.outcome, ConversionOutcome::NotFinite);
  r = ConvertValue(Loaded("Weight"), kForward, "kg", "g", 1e308);
  EXPECT_EQ(r.outcome, ConversionOutcome::NotFinite);
  r = ConvertValue(Loaded("Weight"), kReverse, "g", "kg", 1e308);
  EXPECT_EQ(r.outcome, ConversionOutcome::NotFinite);
  r = ConvertValue(Loaded("Temperature"), kForward, "K", "R",
                   std::numeric_limits<double>::max());
  EXPECT_EQ(r.outcome, ConversionOutcome::NotFinite);
  EXPECT_EQ(r.value, 0);
  // An input that already overflowed the reading.
  r = ConvertValue(Loaded("Length"), kForward, "m", "m", LeadingNumber("1e999"));
  EXPECT_EQ(r.outcome, ConversionOutcome::NotFinite);
  // Before any quantity is loaded every factor is 0: 0/0.
  r = ConvertValue(UnitTable{}, kForward, "m", "mm", 1);
  EXPECT_EQ(r.outcome, ConversionOutcome::NotFinite);
}

TEST(Conversion, UnknownLabelUsesTheSlotAfterTheLastUnit) {
  UnitTable t;
  ASSERT_TRUE(LoadQuantity(t, "Power"));
  ASSERT_TRUE(LoadQuantity(t, "Length"));
  // "xx" -> slot 6, where "Power" left 9.80665 (kgf.m/s).
  EXPECT_EQ(Ok(t, kForward, "xx", "m", 1), 9.80665);
}

TEST(Conversion, ValueTextInResultTextOut) {
  struct Case {
    const char* quantity;
    int button;
    const char* left;
    const char* right;
    const char* valueText;
    ConversionOutcome outcome;
    std::optional<std::string> text;
  };
  const Case cases[] = {
      {"Length", kForward, "m", "mm", "2", ConversionOutcome::Ok, "2000"},
      {"Length", kReverse, "m", "mm", "2", ConversionOutcome::Ok, "0.002"},
      {"Length", kForward, "m", "mm", " 12.5e1x", ConversionOutcome::Ok, "125000"},
      {"Length", kForward, "m", "m", "abc", ConversionOutcome::Ok, "0"},
      {"Temperature", kReverse, "C", "F", "100", ConversionOutcome::Ok, "37.7777777777778"},
      {"Temperature", kForward, "C", "K", "", ConversionOutcome::Ok, "273.15"},
      // The message comes first, then the field shows 0.
      {"Temperature", kForward, "C", "X", "5", ConversionOutcome::NoConversion, "0"},
      {"Weight", kForward, "g", "kg", "1e-300", ConversionOutcome::Ok, "1E-303"},
      // Not finite, or not a button: the field keeps its text.
      {"Density", kForward, "g/cm3", "API", "0", ConversionOutcome::NotFinite, std::nullopt},
      {"Weight", kForward, "kg", "g", "1e308", ConversionOutcome::NotFinite, std::nullopt},
      {"Length", 2, "m", "mm", "2", ConversionOutcome::Nothing, std::nullopt},
  };
  for (const Case& c : cases) {
    const ConvertedText r =
        ConvertValueText(Loaded(c.quantity), c.button, c.left, c.right, c.valueText);
    EXPECT_EQ(r.outcome, c.outcome) << c.quantity << " " << c.valueText;
    EXPECT_EQ(r.text, c.text) << c.quantity << " " << c.valueText;
  }
  EXPECT_EQ(ConversionMessage(ConversionOutcome::NoConversion), "No conversion is made");
  EXPECT_FALSE(ConversionMessage(ConversionOutcome::NotFinite).empty());
  EXPECT_TRUE(ConversionMessage(ConversionOutcome::Ok).empty());
  EXPECT_TRUE(ConversionMessage(ConversionOutcome::Nothing).empty());
}

}  // namespace
}  // namespace zel
