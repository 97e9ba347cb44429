#pragma once
// The unit conversion window's rules as plain functions: the start value
// handed over from the input line, what a conversion button shows, and where
// Replace writes into the input line. The window copies its controls in and
// applies what comes back.
#include <optional>
#include <string>
#include <string_view>

#include "catalogue.h"

namespace zel {

// Settings section of the window's geometry and quantity order.
inline constexpr const char* kUnitConvSection = "frmUnitConv";

// Outer size in twips, whatever size the window is given.
inline constexpr int kUnitConvOuterWidth = 6465;
inline constexpr int kUnitConvOuterHeight = 4815;

// The number the window opens with. With a selection (non-empty `selected`)
// a numeric selection is read as a number and written back as decimal text
// ("2.50" gives "2.5"); without one a numeric line is taken unchanged.
// Numeric is the script language's IsNumeric; anything else gives "0".
std::string StartValue(std::string_view inputLine, std::string_view selected);

// What the two unit labels show: the unit the base value was read in and
// the unit of the converted value.
struct UnitLabels {
  std::string base;
  std::string converted;
  bool operator==(const UnitLabels&) const = default;
};

// What a conversion button changes in the window.
struct ConversionEffects {
  std::string message;                       // shown first when not empty
  std::optional<std::string> convertedText;  // new txtConvertedValue
  std::optional<UnitLabels> labels;          // the pair just converted
};

// The press of conversion button `index` (0 ">>", 1 "<<") with the labels of
// the entries selected in the left and right unit lists. A result that is
// not finite is reported and changes neither the converted value nor the
// labels, which keep describing the value that is still shown.
ConversionEffects PressConvertButton(const UnitTable& table, int index, std::string_view left,
                                     std::string_view right, std::string_view baseText);

// The part of the input line Replace overwrites, in UTF-16 code units as the
// line edit counts them: the selection when at least one character is
// selected, else the whole line.
struct ReplaceRange {
  int start = 0;
  int length = 0;
  bool operator==(const ReplaceRange&) const = default;
};
ReplaceRange RangeToReplace(int lineLength, int selectionStart, int selectionLength);

}  // namespace zel
