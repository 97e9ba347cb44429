// Conversions between Variant subtypes, text <-> number, and type inspection.
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "numtext.h"
#include "vbs/datetime.h"
#include "vbs/object.h"
#include "vbs/value_conv.h"

namespace vbs {

double RoundHalfEven(double v) { return std::nearbyint(v); }

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string_view Trim(std::u16string_view t) {
  while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
  return t;
}

std::optional<double> ParseRadix(std::u16string_view t, int radix) {
  if (t.empty()) return std::nullopt;
  uint64_t v = 0;
  for (char16_t c : t) {
    int d;
    if (c >= u'0' && c <= u'9') d = c - u'0';
    else if (c >= u'a' && c <= u'f') d = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F') d = c - u'A' + 10;
    else return std::nullopt;
    if (d >= radix) return std::nullopt;
    v = v * uint64_t(radix) + uint64_t(d);
    if (v > 0xFFFFFFFFull) return std::nullopt;
  }
  // Text hex and octal are 32-bit: "&HFFFF" is 65535, "&HFFFFFFFF" is -1.
  return double(int32_t(uint32_t(v)));
}

std::u16string Ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::u16string IntText(int64_t v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::u16string(buf, r.ptr);
}


}  // namespace

std::optional<double> ParseNumber(std::u16string_view text) {
  std::u16string_view t = Trim(text);
  if (t.empty()) return std::nullopt;
  if (t[0] == u'&' && t.size() >= 2) {
    char16_t k = t[1];
    if (k == u'h' || k == u'H') return ParseRadix(t.substr(2), 16);
    if (k == u'o' || k == u'O') return ParseRadix(t.substr(2), 8);
    return std::nullopt;
  }
  // Besides the plain form, the system's number reader takes a sign before
  // or after the number ("- 7", "7-"), parentheses for negative "(7)" and a
  // leading currency symbol "$5".
  bool negative = false, signSeen = false;
  if (t.front() == u'(' && t.back() == u')') {
    negative = true;
    signSeen = true;
    t = Trim(t.substr(1, t.size() - 2));
  }
  if (!t.empty() && (t.front() == u'+' || t.front() == u'-')) {
    if (signSeen) return std::nullopt;
    negative = t.front() == u'-';
    signSeen = true;
    t = Trim(t.substr(1));
  }
  if (!t.empty() && t.front() == u'$') t = Trim(t.substr(1));
  if (!t.empty() && (t.back() == u'+' || t.back() == u'-')) {
    if (signSeen) return std::nullopt;
    negative = t.back() == u'-';
    t = Trim(t.substr(0, t.size() - 1));
  }
  std::string buf;
  buf.reserve(t.size() + 1);
  if (negative) buf.push_back('-');
  size_t i = 0;
  int digits = 0;
  while (i < t.size() && ((t[i] >= u'0' && t[i] <= u'9') || (t[i] == u',' && digits > 0))) {
    if (t[i] != u',') { buf.push_back(char(t[i])); ++digits; }
    ++i;
  }
  if (i < t.size() && t[i] == u'.') {
    buf.push_back('.');
    ++i;
    while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') { buf.push_back(char(t[i++])); ++digits; }
  }
  if (digits == 0) return std::nullopt;
  if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
    buf.push_back('e');
    ++i;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) buf.push_back(char(t[i++]));
    int ed = 0;
    while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') { buf.push_back(char(t[i++])); ++ed; }
    if (ed == 0) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  return std::strtod(buf.c_str(), nullptr);
}

std::u16string DoubleToText(double v) { return Ascii(zel::FormatGeneralNumber(v)); }
std::u16string SingleToText(float v) { return Ascii(zel::FormatGeneralNumber(double(v), 7)); }

std::u16string CurrencyToText(int64_t scaled) {
  bool neg = scaled < 0;
  uint64_t u = neg ? uint64_t(0) - uint64_t(scaled) : uint64_t(scaled);
  uint64_t whole = u / 10000, frac = u % 10000;
  std::u16string s = neg ? u"-" : u"";
  s += IntText(int64_t(whole));
  if (frac) {
    char f[5];
    for (int k = 3; k >= 0; --k) { f[k] = char('0' + frac % 10); frac /= 10; }
    int n = 4;
    while (n > 0 && f[n - 1] == '0') --n;
    s.push_back(u'.');
    for (int k = 0; k < n; ++k) s.push_back(char16_t(f[k]));
  }
  return s;
}

double ToNumber(const Variant& in) {
  const Variant& v = in.Deref();
  switch (v.type()) {
    case vbEmpty: return 0.0;
    case vbNull: Raise(kErrInvalidNull);
    case vbBoolean: return v.boolVal() ? -1.0 : 0.0;
    case vbByte: return v.byteVal();
    case vbInteger: return v.intVal();
    case vbLong: return v.longVal();
    case vbSingle: return v.singleVal();
    case vbDouble: return v.doubleVal();
    case vbCurrency: return double(v.currencyScaled()) / 10000.0;
    case vbDate: return v.dateVal();
    case vbString: {
      auto d = ParseNumber(v.str());
      if (!d) Raise(kErrTypeMismatch);
      if (!std::isfinite(*d)) Raise(kErrOverflow);
      return *d;
    }
    case vbObject: return ToNumber(DefaultValue(v.object()));
    default: Raise(kErrTypeMismatch);
  }
}

double ToDouble(const Variant& v) { return ToNumber(v); }

std::u16string ToText(const Variant& in) {
  const Variant& v = in.Deref();
  switch (v.type()) {
    case vbEmpty: return {};
    case vbNull: Raise(kErrInvalidNull);
    case vbBoolean: return v.boolVal() ? u"True" : u"False";
    case vbByte: return IntText(v.byteVal());
    case vbInteger: return IntText(v.intVal());
    case vbLong: return IntText(v.longVal());
    case vbSingle: return SingleToText(v.singleVal());
    case vbDouble: return DoubleToText(v.doubleVal());
    case vbCurrency: return CurrencyToText(v.currencyScaled());
    case vbDate: return FormatDateTime(v.dateVal());
    case vbString: return std::u16string(v.str());
    case vbObject: return ToText(DefaultValue(v.object()));
    default: Raise(kErrTypeMismatch);
  }
}

Variant CStrVariant(const Variant& in) {
  const Variant& v = in.Deref();
  if (v.IsString()) return v;
  return Variant::FromString(ToText(v));
}

bool ToBool(const Variant& in) {
  const Variant& v = in.Deref();
  switch (v.type()) {
    case vbBoolean: return v.boolVal();
    case vbNull: Raise(kErrInvalidNull);
    case vbString: {
      std::u16string_view t = Trim(v.str());
      // "#TRUE#" and "#FALSE#" are how Boolean values are written to files.
      if (NameEquals(t, "True") || NameEquals(t, "#True#")) return true;
      if (NameEquals(t, "False") || NameEquals(t, "#False#")) return false;
      return ToNumber(v) != 0.0;
    }
    case vbObject: return ToBool(DefaultValue(v.object()));
    case vbCurrency: return v.currencyScaled() != 0;
    default: return ToNumber(v) != 0.0;
  }
}

namespace {
double RoundedIn(const Variant& v, double lo, double hi) {
  double d = RoundHalfEven(ToNumber(v));
  if (!(d >= lo && d <= hi)) Raise(kErrOverflow);
  return d;
}
}  // namespace

uint8_t ToByte(const Variant& v) {
  const Variant& d = v.Deref();
  if (d.type() == vbBoolean) return d.boolVal() ? 255 : 0;  // True's bits, as a byte
  return uint8_t(RoundedIn(v, 0, 255));
}
int16_t ToInteger(const Variant& v) {
  const Variant& d = v.Deref();
  if (d.type() == vbInteger) return d.intVal();
  if (d.type() == vbString) {
    // Hex and octal text of up to 16 bits reads as the literal would:
    // "&HFFFF" is -1, "&H8000" is -32768.
    std::u16string_view t = Trim(d.str());
    if (t.size() > 2 && t[0] == u'&' && t[1] != u'(') {
      auto n = ParseNumber(t);
      if (n && *n >= 32768.0 && *n <= 65535.0) return int16_t(int32_t(*n) - 65536);
    }
  }
  return int16_t(RoundedIn(v, -32768.0, 32767.0));
}
int32_t ToLong(const Variant& v) {
  const Variant& d = v.Deref();
  if (d.type() == vbLong) return d.longVal();
  if (d.type() == vbInteger) return d.intVal();
  return int32_t(RoundedIn(v, -2147483648.0, 2147483647.0));
}

float ToSingle(const Variant& v) {
  double d = ToNumber(v);
  if (std::fabs(d) > double(FLT_MAX)) Raise(kErrOverflow);
  return float(d);
}

namespace {
// Plain decimal text ("-123.4567") read exactly in ten-thousandths, so the
// extremes of the range survive; other forms go through a double.
std::optional<int64_t> ExactCurrencyText(std::u16string_view t) {
  t = Trim(t);
  bool neg = false;
  if (!t.empty() && (t.front() == u'-' || t.front() == u'+')) {
    neg = t.front() == u'-';
    t.remove_prefix(1);
  }
  __int128 whole = 0;
  size_t i = 0, digits = 0;
  for (; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i, ++digits) {
    whole = whole * 10 + (t[i] - u'0');
    if (whole > INT64_MAX) return std::nullopt;
  }
  int frac = 0, fracDigits = 0;
  bool restNonZero = false;
  int roundDigit = -1;
  if (i < t.size() && t[i] == u'.') {
    for (++i; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i, ++digits) {
      if (fracDigits < 4) {
        frac = frac * 10 + (t[i] - u'0');
        ++fracDigits;
      } else if (roundDigit < 0) {
        roundDigit = t[i] - u'0';
      } else if (t[i] != u'0') {
        restNonZero = true;
      }
    }
  }
  if (digits == 0 || i != t.size()) return std::nullopt;
  while (fracDigits < 4) { frac *= 10; ++fracDigits; }
  __int128 r = whole * 10000 + frac;
  // Banker's rounding of what lies beyond the fourth decimal.
  if (roundDigit > 5 || (roundDigit == 5 && (restNonZero || (r & 1)))) ++r;
  if (neg) r = -r;
  if (r > INT64_MAX || r < INT64_MIN) Raise(kErrOverflow);
  return int64_t(r);
}
}  // namespace

int64_t ToCurrencyScaled(const Variant& in) {
  const Variant& x = in.Deref();
  if (x.type() == vbCurrency) return x.currencyScaled();
  if (x.type() == vbString)
    if (auto exact = ExactCurrencyText(x.str())) return *exact;
  double v = ToNumber(x);
  // The largest Currency is 922337203685477.5807.
  if (!(std::fabs(v) < 922337203685478.0)) Raise(kErrOverflow);
  // Scale the whole part exactly and round only the fraction, so that
  // large amounts keep their last digits.
  double whole = std::trunc(v);
  __int128 r = static_cast<__int128>(int64_t(whole)) * 10000 + int64_t(RoundHalfEven((v - whole) * 10000.0));
  if (r > INT64_MAX || r < INT64_MIN) Raise(kErrOverflow);
  return int64_t(r);
}

namespace {
// Every serial whose day is 1/1/100 through 12/31/9999, with any time of
// day: before 1899 the fraction counts forward from the (negative) day, so
// -657434.5 is noon on the first day.
bool InDateRange(double d) { return d > kMinDate - 1.0 && d < std::floor(kMaxDate) + 1.0; }
}  // namespace

double ToDate(const Variant& in) {
  const Variant& v = in.Deref();
  switch (v.type()) {
    case vbDate: return v.dateVal();
    case vbNull: Raise(kErrInvalidNull);
    case vbString: {
      auto d = ParseDateTime(v.str());
      if (d) return *d;
      auto n = ParseNumber(v.str());
      if (!n) Raise(kErrTypeMismatch);
      if (!InDateRange(*n)) Raise(kErrOverflow);
      return *n;
    }
    case vbObject: return ToDate(DefaultValue(v.object()));
    default: {
      double d = ToNumber(v);
      if (!InDateRange(d)) Raise(kErrOverflow);
      return d;
    }
  }
}

Variant ConvertTo(const Variant& in, VarType type) {
  switch (type) {
    case vbBoolean: return Variant::FromBool(ToBool(in));
    case vbByte: return Variant::FromByte(ToByte(in));
    case vbInteger: return Variant::FromInteger(ToInteger(in));
    case vbLong: return Variant::FromLong(ToLong(in));
    case vbSingle: return Variant::FromSingle(ToSingle(in));
    case vbDouble: return Variant::FromDouble(ToDouble(in));
    case vbCurrency: return Variant::FromCurrencyScaled(ToCurrencyScaled(in));
    case vbDate: return Variant::FromDate(ToDate(in));
    case vbString: return CStrVariant(in);
    default: Raise(kErrTypeMismatch);
  }
}

bool IsNumericValue(const Variant& in) {
  const Variant& v = in.Deref();
  switch (v.type()) {
    case vbEmpty: case vbBoolean: case vbByte: case vbInteger: case vbLong:
    case vbSingle: case vbDouble: case vbCurrency:
      return true;
    case vbString: {
      auto d = ParseNumber(v.str());
      return d && std::isfinite(*d);
    }
    case vbObject:
      if (!v.object()) return false;
      try {
        return IsNumericValue(DefaultValue(v.object()));
      } catch (const ScriptError&) {
        return false;
      }
    default:
      return false;
  }
}

bool IsDateValue(const Variant& in) {
  const Variant& v = in.Deref();
  if (v.type() == vbDate) return true;
  if (v.type() == vbString) return ParseDateTime(v.str()).has_value();
  return false;
}

int VarTypeOf(const Variant& in) { return in.Deref().type(); }

namespace {
// Name of a subtype; an array is its element type's name with "()".
std::u16string ScalarTypeName(VarType t) {
  switch (t) {
    case vbEmpty: return u"Empty";
    case vbNull: return u"Null";
    case vbInteger: return u"Integer";
    case vbLong: return u"Long";
    case vbSingle: return u"Single";
    case vbDouble: return u"Double";
    case vbCurrency: return u"Currency";
    case vbDate: return u"Date";
    case vbString: return u"String";
    case vbObject: return u"Object";
    case vbError: return u"Error";
    case vbBoolean: return u"Boolean";
    case vbVariant: return u"Variant";
    case vbByte: return u"Byte";
    default: return u"Unknown";
  }
}
}  // namespace

std::u16string TypeNameOf(const Variant& in) {
  const Variant& v = in.Deref();
  if (v.IsArray()) return ScalarTypeName(VarType(v.type() & ~vbArray)) + u"()";
  if (v.IsObject()) return v.object() ? v.object()->TypeName() : u"Nothing";
  return ScalarTypeName(v.type());
}

}  // namespace vbs
