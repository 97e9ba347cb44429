#include "numtext.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zel {

std::string FormatGeneralNumber(double value, int digits) {
  if (std::isnan(value)) return "-1.#IND";
  if (std::isinf(value)) return value < 0 ? "-1.#INF" : "1.#INF";
  if (value == 0) return "0";
  if (digits < 1) digits = 1;
  if (digits > 17) digits = 17;

  // Round to `digits` significant digits once; the exponent printf reports
  // is the one after rounding (9.9999999999999999 becomes 1E+01).
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*E", digits - 1, value);
  const char* p = buf;
  bool negative = false;
  if (*p == '-') { negative = true; ++p; }
  std::string mant;
  for (; *p && *p != 'E'; ++p)
    if (*p != '.') mant.push_back(*p);
  int exp = std::atoi(p + 1);
  while (mant.size() > 1 && mant.back() == '0') mant.pop_back();

  std::string out;
  if (negative) out.push_back('-');
  if (exp < -4 || exp >= digits) {
    out.push_back(mant[0]);
    if (mant.size() > 1) {
      out.push_back('.');
      out.append(mant, 1, std::string::npos);
    }
    char e[16];
    std::snprintf(e, sizeof e, "E%c%02d", exp < 0 ? '-' : '+', std::abs(exp));
    out += e;
  } else if (exp < 0) {
    out += "0.";
    out.append(static_cast<size_t>(-exp - 1), '0');
    out += mant;
  } else {
    const size_t intDigits = static_cast<size_t>(exp) + 1;
    if (mant.size() <= intDigits) {
      out += mant;
      out.append(intDigits - mant.size(), '0');
    } else {
      out.append(mant, 0, intDigits);
      out.push_back('.');
      out.append(mant, intDigits, std::string::npos);
    }
  }
  return out;
}

}  // namespace zel
