// The window's rules without the window: the start value, what a conversion
// button shows, and the part of the input line Replace overwrites.
#include "unit_conv.h"

#include <gtest/gtest.h>

#include "units_test_support.h"

namespace zel {
namespace {

using test::Loaded;

TEST(StartValue, NumericSelectionIsReadAndWrittenBackTheLineIsTakenAsItStands) {
  struct Case {
    const char* line;
    const char* selected;
    const char* expected;
  };
  const Case cases[] = {
      {"12", "", "12"},
      {"3+4", "", "0"},
      {"", "", "0"},
      {"abc", "", "0"},
      {" 12 ", "", " 12 "},      // blanks pass the numeric test and are kept
      {"1e3", "", "1e3"},
      {"1,000", "", "1,000"},
      {"1e999", "", "0"},        // beyond the double range: not numeric
      {"12+2.50", "2.50", "2.5"},
      {"x*1e3", "1e3", "1000"},
      {"y- 0.5", " -0.5", "-0.5"},
      {"&H10+1", "&H10", "16"},
      {"1,000*2", "1,000", "1"},  // numeric, but the reading stops at the comma
      {"12", "1", "1"},
      {"3+4", "3+4", "0"},
      {"2.5", "2.", "2"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(StartValue(c.line, c.selected), c.expected) << c.line << " [" << c.selected << "]";
}

TEST(ConvertButton, MessagesAndResultsThatChangeNothing) {
  // A temperature target outside C, K, F, R: the message, then 0.
  ConversionEffects fx = PressConvertButton(Loaded("Temperature"), 0, "C", "kg", "5");
  EXPECT_EQ(fx.message, "No conversion is made");
  EXPECT_EQ(fx.convertedText, "0");
  EXPECT_EQ(fx.labels, (UnitLabels{"C", "kg"}));

  // Not finite: reported; the converted value and its labels stay.
  const UnitTable density = Loaded("Density");
  for (auto [index, text] : {std::pair{0, "0"}, std::pair{1, "-131.5"}}) {
    fx = PressConvertButton(density, index, "g/cm3", "API", text);
    EXPECT_FALSE(fx.message.empty()) << text;
    EXPECT_FALSE(fx.convertedText) << text;
    EXPECT_FALSE(fx.labels) << text;
  }
  fx = PressConvertButton(Loaded("Weight"), 0, "kg", "g", "1e308");
  EXPECT_FALSE(fx.message.empty());
  EXPECT_FALSE(fx.convertedText);

  // Neither button: nothing at all.
  fx = PressConvertButton(Loaded("Length"), 2, "m", "mm", "2");
  EXPECT_TRUE(fx.message.empty());
  EXPECT_FALSE(fx.convertedText);
  EXPECT_FALSE(fx.labels);
}

TEST(Replace, TheSelectionOrElseTheWholeLine) {
  EXPECT_EQ(RangeToReplace(4, 3, 1), (ReplaceRange{3, 1}));  // "12+3", the 3 selected
  EXPECT_EQ(RangeToReplace(4, 0, 4), (ReplaceRange{0, 4}));
  EXPECT_EQ(RangeToReplace(4, 2, 0), (ReplaceRange{0, 4}));  // a caret is no selection
  EXPECT_EQ(RangeToReplace(0, 0, 0), (ReplaceRange{0, 0}));
  // A selection that does not fit the line is no selection.
  EXPECT_EQ(RangeToReplace(4, 3, 5), (ReplaceRange{0, 4}));
  EXPECT_EQ(RangeToReplace(4, -1, 1), (ReplaceRange{0, 4}));
}

}  // namespace
}  // namespace zel
