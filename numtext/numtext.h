#pragma once
#include <string>

namespace zel {

// The general number format of results: VBScript's standard conversion of a
// double to text. At most `digits` significant digits (15 for Double, 7 for
// Single), no trailing zeros or point, exponent form ("1E+20", "1.5E-07")
// when the decimal exponent is below -4 or at least `digits`.
std::string FormatGeneralNumber(double value, int digits = 15);

}  // namespace zel
