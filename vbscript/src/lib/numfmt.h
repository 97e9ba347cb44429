#pragma once
// Number helpers behind FormatNumber/FormatCurrency/FormatPercent, Round and
// Rnd, in the en-US conventions scripts expect.
#include <cstdint>
#include <string>

namespace vbs::lib {

// Tristate arguments: -1 true, 0 false, -2 the locale default.
struct NumberFormat {
  int digits = 2;             // digits after the decimal point
  bool leadingDigit = true;   // "0.5" rather than ".5"
  bool parens = false;        // "(1.00)" rather than "-1.00"
  bool group = true;          // "1,000" rather than "1000"
};

// Rounds half away from zero on the value's 15-digit decimal form, so that
// 1.005 with two digits gives 1.01 as the script functions do.
std::u16string FormatFixed(double value, const NumberFormat& fmt);
enum class NumberStyle { Number, Currency, Percent };
std::u16string FormatStyled(double value, const NumberFormat& fmt, NumberStyle style);

// Banker's rounding to `digits` decimals (Round(2.5) = 2, Round(0.125, 2) = 0.12).
double RoundDigits(double value, int digits);

// The script engine's 24-bit linear congruential generator; the state is
// the engine's seed.
float RndNext(uint32_t& seed, double arg, bool hasArg);   // Rnd([arg])
void RndRandomize(uint32_t& seed, double value);          // Randomize n
double RndTimerSeed();                                    // what Randomize alone uses

}  // namespace vbs::lib
