#include "leading_number.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace zel {
namespace {

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Walks the text with the skipped characters taken out.
class Reader {
 public:
  explicit Reader(std::string_view t) : text_(t) { SkipBlanks(); }
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  void Next() {
    ++pos_;
    SkipBlanks();
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && IsSkipped(text_[pos_])) ++pos_;
  }
  std::string_view text_;
  size_t pos_ = 0;
};

int DigitValue(char c, int radix) {
  int d = -1;
  if (c >= '0' && c <= '9') d = c - '0';
  else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
  return d < radix ? d : -1;
}

double ReadRadixInteger(Reader& r, int radix) {
  // Kept exact up to 64 bits; beyond that the magnitude is accumulated as a
  // double.
  uint64_t bits = 0;
  double big = 0;
  bool overflowed = false;
  for (int d; (d = DigitValue(r.Peek(), radix)) >= 0; r.Next()) {
    if (!overflowed && bits > (std::numeric_limits<uint64_t>::max() - d) / radix) {
      overflowed = true;
      big = static_cast<double>(bits);
    }
    if (overflowed) big = big * radix + d;
    else bits = bits * radix + d;
  }
  if (overflowed) return big;
  if (bits <= 0xFFFF) return static_cast<int16_t>(static_cast<uint16_t>(bits));
  if (bits <= 0xFFFFFFFF) return static_cast<int32_t>(static_cast<uint32_t>(bits));
  return static_cast<double>(bits);
}

}  // namespace

double LeadingNumber(std::string_view text) {
  Reader r(text);
  if (r.Peek() == '&') {
    r.Next();
    const char p = r.Peek();
    if (p == 'H' || p == 'h') { r.Next(); return ReadRadixInteger(r, 16); }
    if (p == 'O' || p == 'o') { r.Next(); return ReadRadixInteger(r, 8); }
    return 0;
  }

  // Gather the accepted characters into a compact form that from_chars reads
  // without regard to the locale.
  std::string num;
  bool negative = false;
  if (r.Peek() == '+' || r.Peek() == '-') {
    negative = r.Peek() == '-';
    r.Next();
  }
  bool anyDigit = false, seenPoint = false;
  // Decimal position of the first significant digit, to tell overflow from
  // underflow when the value is out of range.
  long magnitude = 0;
  bool significant = false;
  for (;; r.Next()) {
    const char c = r.Peek();
    if (c >= '0' && c <= '9') {
      anyDigit = true;
      num.push_back(c);
      if (c != '0') significant = true;
      if (!seenPoint && significant) ++magnitude;
      if (seenPoint && !significant) --magnitude;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
      num.push_back(c);
    } else {
      break;
    }
  }
  if (!anyDigit) return 0;

  if (r.Peek() == 'E' || r.Peek() == 'e') {
    r.Next();
    std::string exp = "e";
    if (r.Peek() == '+' || r.Peek() == '-') {
      exp.push_back(r.Peek());
      r.Next();
    }
    long expValue = 0;
    bool expDigits = false;
    for (char c; (c = r.Peek()) >= '0' && c <= '9'; r.Next()) {
      exp.push_back(c);
      expDigits = true;
      if (expValue < 100000) expValue = expValue * 10 + (c - '0');
    }
    // An "E" without digits is not part of the number.
    if (expDigits) {
      num += exp;
      magnitude += exp[1] == '-' ? -expValue : expValue;
    }
  }

  double value = 0;
  const auto [ptr, ec] =
      std::from_chars(num.data(), num.data() + num.size(), value);
  (void)ptr;
  if (ec == std::errc::result_out_of_range)
    value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  if (value == 0) return 0;  // no negative zero
  return negative ? -value : value;
}

std::optional<int16_t> RoundToInt16(double v) {
  const double r = std::nearbyint(v);
  if (!(r >= -32768 && r <= 32767)) return std::nullopt;
  return static_cast<int16_t>(r);
}

std::optional<int16_t> ReadInt16Text(std::string_view text) {
  return RoundToInt16(LeadingNumber(text));
}

}  // namespace zel
