#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "catalogue.h"

namespace zel {

// What a converter window does with a conversion request.
enum class ConversionOutcome {
  Ok,            // show `value` as the result
  NoConversion,  // tell the user "No conversion is made", then show `value` (0)
  NotFinite,     // division by zero or overflow: report it, keep the result text
  Nothing,       // not a conversion button: change nothing
};

struct ConversionResult {
  ConversionOutcome outcome;
  double value;  // 0 unless outcome is Ok or NoConversion
};

// The two conversion buttons: ">>" converts from unit list 0 to unit list 1,
// "<<" from list 1 to list 0.
inline constexpr int kForward = 0;
inline constexpr int kReverse = 1;

// Converts x for the button `buttonIndex`, given the labels selected in unit
// list 0 and unit list 1. The loaded quantity (table.UnitName[0]) picks the
// rule: "Temperature", "Density", or the general factor rule. Unknown labels
// use the factor of slot n + 1, as FindUnitNumber gives it.
ConversionResult ConvertValue(const UnitTable& table, int buttonIndex,
                              std::string_view label0, std::string_view label1,
                              double x);

// The general factor rule; the order of the two operations follows the
// direction and decides the last digit of the result.
double ConvertGeneral(double x, int direction, double sourceFactor,
                      double targetFactor);

// The offset rules between "C", "K", "F" and "R". A source label outside those
// four gives Ok with 0 and no message; a known source with an unknown target
// gives NoConversion.
ConversionResult ConvertTemperature(double x, std::string_view source,
                                    std::string_view target);

// The density rule with the API gravity scale. `gramPerCm3Factor` is
// UnitFactor[2] of the loaded table (1000), the density of water in the base
// unit.
double ConvertDensity(double x, std::string_view source, std::string_view target,
                      double sourceFactor, double targetFactor,
                      double gramPerCm3Factor);

// A conversion button pressed on a converter's value text: the number is the
// text's leading number, the result text is in the general number format.
struct ConvertedText {
  ConversionOutcome outcome;
  std::optional<std::string> text;  // nullopt: the result field stays as it is
};
ConvertedText ConvertValueText(const UnitTable& table, int buttonIndex,
                               std::string_view label0, std::string_view label1,
                               std::string_view valueText);

// The message a converter shows before it applies the outcome; empty when
// there is none.
std::string_view ConversionMessage(ConversionOutcome outcome);

}  // namespace zel
