#include "display_format.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "numtext.h"

namespace zel {

namespace {

// A decimal number as digits: value = d0.d1d2... x 10^exponent. No leading
// or trailing zeros in `digits`; empty digits are zero.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<Decimal> ParseNumberText(std::string_view t) {
  size_t i = 0;
  Decimal d;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) d.negative = t[i++] == '-';
  std::string all;
  int beforePoint = -1;
  for (; i < t.size(); ++i) {
    if (IsDigit(t[i])) {
      all.push_back(t[i]);
    } else if (t[i] == '.' && beforePoint < 0) {
      beforePoint = int(all.size());
    } else {
      break;
    }
  }
  if (all.empty()) return std::nullopt;
  if (beforePoint < 0) beforePoint = int(all.size());
  int exp = 0;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
    ++i;
    bool negExp = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) negExp = t[i++] == '-';
    const size_t start = i;
    // Five digits are far beyond any double; more would overflow the int.
    for (; i < t.size() && IsDigit(t[i]) && i - start < 5; ++i) exp = exp * 10 + (t[i] - '0');
    if (i == start) return std::nullopt;
    if (negExp) exp = -exp;
  }
  if (i != t.size()) return std::nullopt;
  size_t lead = 0;
  while (lead < all.size() && all[lead] == '0') ++lead;
  if (lead == all.size()) return Decimal{};  // zero, "-0" included
  size_t end = all.size();
  while (all[end - 1] == '0') --end;
  d.digits = all.substr(lead, end - lead);
  d.exponent = beforePoint - 1 - int(lead) + exp;
  return d;
}

// Keeps the first `keep` digits, rounding half away from zero on the next
// one; a carry out of the first digit moves the exponent.
void RoundDigits(Decimal& d, int keep) {
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  if (d.digits.size() <= size_t(keep)) return;
  const bool up = d.digits[size_t(keep)] >= '5';
  d.digits.resize(size_t(keep));
  if (up) {
    int k = keep - 1;
    while (k >= 0 && d.digits[size_t(k)] == '9') d.digits[size_t(k--)] = '0';
    if (k >= 0) {
      ++d.digits[size_t(k)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

// The digit of weight 10^power, '0' outside the digits.
char DigitAt(const Decimal& d, int power) {
  const long k = long(d.exponent) - power;
  return k >= 0 && size_t(k) < d.digits.size() ? d.digits[size_t(k)] : '0';
}

std::string Grouped(std::string_view integer) {
  std::string out;
  for (size_t i = 0; i < integer.size(); ++i) {
    if (i > 0 && (integer.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(integer[i]);
  }
  return out;
}

// The integer part (powers `highest` down to 0) and the fraction down to
// 10^-fractionDigits.
std::string Positional(const Decimal& d, int highest, int fractionDigits, bool grouping) {
  std::string integer;
  for (int p = highest; p >= 0; --p) integer.push_back(DigitAt(d, p));
  if (integer.empty()) integer = "0";
  std::string out = grouping ? Grouped(integer) : integer;
  if (fractionDigits > 0) {
    out.push_back('.');
    for (int p = -1; p >= -fractionDigits; --p) out.push_back(DigitAt(d, p));
  }
  return out;
}

std::string Signed(const Decimal& d, std::string text) {
  return d.negative && !d.digits.empty() ? "-" + text : text;
}

std::string FixedText(Decimal d, const DisplayFormat& f) {
  RoundDigits(d, d.exponent + 1 + f.decimals);
  return Signed(d, Positional(d, d.exponent, f.decimals, f.digitGrouping));
}

int FloorToThree(int e) { return e >= 0 ? e / 3 * 3 : -((-e + 2) / 3 * 3); }

constexpr int kLowestPrefixExponent = -24;
constexpr std::array<const char*, 17> kPrefixes = {
    "y", "z", "a", "f", "p", "n", "\u00B5", "m", "", "k", "M", "G", "T", "P", "E", "Z", "Y"};

std::string EngineeringText(Decimal d, const DisplayFormat& f) {
  if (d.digits.empty()) return "0";
  RoundDigits(d, f.significantDigits);
  const int e3 = FloorToThree(d.exponent);
  const int fraction = std::max(0, int(d.digits.size()) - (d.exponent - e3 + 1));
  std::string text = Positional(Decimal{false, d.digits, d.exponent - e3}, d.exponent - e3,
                                fraction, f.digitGrouping);
  const int prefix = (e3 - kLowestPrefixExponent) / 3;
  if (f.form == NumberForm::SIPrefix && e3 >= kLowestPrefixExponent &&
      size_t(prefix) < kPrefixes.size()) {
    if (e3 != 0) text += std::string(" ") + kPrefixes[size_t(prefix)];
  } else if (e3 != 0) {
    text += "E" + std::to_string(e3);
  }
  return Signed(d, text);
}

}  // namespace

std::string FormatForDisplay(std::string_view numberText, const DisplayFormat& format) {
  const std::optional<Decimal> d = ParseNumberText(numberText);
  if (!d) return std::string(numberText);
  switch (format.form) {
    case NumberForm::General: {
      if (d->digits.empty()) return "0";
      if (!format.digitGrouping) return std::string(numberText);
      // The first run of digits is the integer part (one digit in exponent form).
      const size_t start = numberText.find_first_of("0123456789");
      size_t end = start;
      while (end < numberText.size() && IsDigit(numberText[end])) ++end;
      return std::string(numberText.substr(0, start)) +
             Grouped(numberText.substr(start, end - start)) + std::string(numberText.substr(end));
    }
    case NumberForm::Engineering:
    case NumberForm::SIPrefix:
      return EngineeringText(*d, format);
    case NumberForm::Fixed:
      return FixedText(*d, format);
  }
  return std::string(numberText);
}

std::string FormatForDisplay(double value, const DisplayFormat& format) {
  return FormatForDisplay(FormatGeneralNumber(value), format);
}

std::string_view NumberFormWord(NumberForm form) {
  switch (form) {
    case NumberForm::Engineering: return "Engineering";
    case NumberForm::SIPrefix: return "SIPrefix";
    case NumberForm::Fixed: return "Fixed";
    case NumberForm::General: break;
  }
  return "General";
}

std::optional<NumberForm> NumberFormFromWord(std::string_view word) {
  for (NumberForm f : {NumberForm::General, NumberForm::Engineering, NumberForm::SIPrefix,
                       NumberForm::Fixed}) {
    const std::string_view w = NumberFormWord(f);
    if (w.size() != word.size()) continue;
    bool same = true;
    for (size_t i = 0; i < w.size() && same; ++i)
      same = (w[i] | 0x20) == (word[i] | 0x20);
    if (same) return f;
  }
  return std::nullopt;
}

std::optional<int> ReadDigitCount(std::string_view text, int lowest, int highest) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty() || text.size() > 3) return std::nullopt;
  int n = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n < lowest || n > highest) return std::nullopt;
  return n;
}

DisplayFormat SaneDisplayFormat(std::string_view formWord, double significantDigits,
                                double decimals, bool digitGrouping) {
  DisplayFormat f;
  f.form = NumberFormFromWord(formWord).value_or(NumberForm::General);
  auto whole = [](double v, int lowest, int highest, int fallback) {
    return v >= lowest && v <= highest && v == std::floor(v) ? int(v) : fallback;
  };
  f.significantDigits =
      whole(significantDigits, kMinSignificantDigits, kMaxSignificantDigits, f.significantDigits);
  f.decimals = whole(decimals, kMinDecimals, kMaxDecimals, f.decimals);
  f.digitGrouping = digitGrouping;
  return f;
}

}  // namespace zel
