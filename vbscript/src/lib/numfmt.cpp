#include "lib/numfmt.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vbs::lib {

namespace {

// Decimal digits of |value| rounded half away from zero to `frac` places,
// returned as integer-part digits and fraction digits.
void DecimalDigits(double value, int frac, std::string& intPart, std::string& fracPart) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  // buf: d.dddddddddddddde[+-]XX
  std::string mant;
  mant.push_back(buf[0]);
  mant.append(buf + 2, 14);
  const int exp10 = std::atoi(std::strchr(buf, 'e') + 1);
  // Digit k of mant has weight 10^(exp10 - k). Keep digits with weight >= 10^-frac.
  const int keep = exp10 + 1 + frac;   // number of mant digits to keep
  std::string digits;                  // all digits of the rounded number, scaled by 10^frac
  if (keep <= 0) {
    digits = (keep == 0 && mant[0] >= '5') ? "1" : "0";
  } else {
    if (keep >= static_cast<int>(mant.size())) {
      digits = mant + std::string(keep - mant.size(), '0');
    } else {
      digits = mant.substr(0, keep);
      if (mant[keep] >= '5') {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i < 0) digits.insert(digits.begin(), '1');
        else ++digits[i];
      }
    }
  }
  if (static_cast<int>(digits.size()) <= frac) digits.insert(0, frac + 1 - digits.size(), '0');
  intPart = digits.substr(0, digits.size() - frac);
  fracPart = digits.substr(digits.size() - frac);
  size_t nz = intPart.find_first_not_of('0');
  intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
}

}  // namespace

std::u16string FormatFixed(double value, const NumberFormat& fmt) {
  return FormatStyled(value, fmt, NumberStyle::Number);
}

std::u16string FormatStyled(double value, const NumberFormat& fmt, NumberStyle style) {
  if (style == NumberStyle::Percent) value *= 100;
  if (!std::isfinite(value)) return u"";   // callers reject these first
  std::string ip, fp;
  DecimalDigits(value, fmt.digits < 0 ? 0 : fmt.digits, ip, fp);
  const bool zero = ip == "0" && fp.find_first_not_of('0') == std::string::npos;
  const bool negative = value < 0 && !zero;
  std::string body;
  if (fmt.group && ip.size() > 3) {
    const size_t first = ip.size() % 3 == 0 ? 3 : ip.size() % 3;
    body = ip.substr(0, first);
    for (size_t i = first; i < ip.size(); i += 3) body += "," + ip.substr(i, 3);
  } else if (ip == "0" && !fmt.leadingDigit && !fp.empty()) {
    body.clear();
  } else {
    body = ip;
  }
  if (!fp.empty()) body += "." + fp;
  if (style == NumberStyle::Currency) body = "$" + body;
  if (style == NumberStyle::Percent) body += "%";
  if (negative) body = fmt.parens ? "(" + body + ")" : "-" + body;
  return std::u16string(body.begin(), body.end());
}

double RoundDigits(double value, int digits) {
  if (!std::isfinite(value)) return value;
  if (digits == 0) return std::nearbyint(value);
  if (digits > 15) return value;   // no double has more significant decimals to round
  // Work on the 15-digit decimal form so that 0.285 counts as ending in 5.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", value);
  const double scale = std::pow(10.0, digits);
  double scaled = std::strtod(buf, nullptr) * scale;
  char buf2[64];
  std::snprintf(buf2, sizeof buf2, "%.14e", scaled);
  scaled = std::strtod(buf2, nullptr);
  const double fl = std::floor(scaled);
  const double diff = scaled - fl;
  double r;
  if (std::fabs(diff - 0.5) < 1e-9 * std::max(1.0, std::fabs(scaled)) && std::fabs(scaled) < 1e15)
    r = std::fmod(fl, 2.0) == 0 ? fl : fl + 1;
  else
    r = std::nearbyint(scaled);
  const double out = r / scale;
  // Back through 15 digits to drop the binary noise of the division.
  std::snprintf(buf, sizeof buf, "%.14e", out);
  return std::strtod(buf, nullptr);
}

float RndNext(uint32_t& seed, double arg, bool hasArg) {
  if (hasArg && arg == 0) return static_cast<float>(seed) / 16777216.0f;   // the last number again
  if (hasArg && arg < 0) {
    // A negative argument seeds from its single-precision bit pattern, so
    // the same argument always starts the same sequence.
    const float f = static_cast<float>(arg);
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    seed = (bits + (bits >> 24)) & 0xFFFFFF;
  }
  seed = (seed * 0xFD43FDu + 0xC39EC3u) & 0xFFFFFF;
  return static_cast<float>(seed) / 16777216.0f;
}

void RndRandomize(uint32_t& seed, double value) {
  // The high word of the double, folded to 16 bits, becomes the middle of
  // the seed; the low byte of the old seed stays.
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  uint32_t hi = static_cast<uint32_t>(bits >> 32);
  hi ^= hi >> 16;
  seed = ((hi & 0xFFFF) << 8) | (seed & 0xFF);
}

double RndTimerSeed() {
  using namespace std::chrono;
  const auto now = system_clock::now().time_since_epoch();
  return static_cast<double>(static_cast<float>(
      static_cast<double>(duration_cast<microseconds>(now).count() % 86400000000LL) / 1e6));
}

}  // namespace vbs::lib
