#pragma once
// How a numeric result is written in the calculator's log: the engine's own
// text (General), engineering notation, SI prefixes, or a fixed number of
// decimals. Works on the number's decimal text, so what is shown is rounded
// from the digits the engine prints, never from binary noise below them.
#include <optional>
#include <string>
#include <string_view>

namespace zel {

enum class NumberForm { General, Engineering, SIPrefix, Fixed };

inline constexpr int kMinSignificantDigits = 1;
inline constexpr int kMaxSignificantDigits = 15;
inline constexpr int kMinDecimals = 0;
inline constexpr int kMaxDecimals = 15;

struct DisplayFormat {
  NumberForm form = NumberForm::General;
  int significantDigits = 15;  // Engineering and SIPrefix
  int decimals = 4;            // Fixed
  bool digitGrouping = false;  // "," between thousands of the integer part
  bool operator==(const DisplayFormat&) const = default;
};

// `numberText` is a number as the engine writes it ("-12.5", "1.5E-07",
// "123456"). Rounding is half away from zero on those digits. Text that is
// no such number ("1.#INF", "-1.#IND") comes back unchanged, and so does
// every number in General form without grouping.
std::string FormatForDisplay(std::string_view numberText, const DisplayFormat& format);
// The same for a double, through its 15-significant-digit text.
std::string FormatForDisplay(double value, const DisplayFormat& format);

// The settings words: "General", "Engineering", "SIPrefix", "Fixed".
std::string_view NumberFormWord(NumberForm form);
// Any letter case; nullopt for other words.
std::optional<NumberForm> NumberFormFromWord(std::string_view word);

// A digit count typed by the user: digits only (blanks around allowed),
// from `lowest` to `highest`; nullopt otherwise.
std::optional<int> ReadDigitCount(std::string_view text, int lowest, int highest);

// The format from stored values, each replaced by its default when absent,
// out of range or not a whole number.
DisplayFormat SaneDisplayFormat(std::string_view formWord, double significantDigits,
                                double decimals, bool digitGrouping);

}  // namespace zel
