// Operators beyond the inline fast paths: VBScript's result typing for every
// pair of subtypes, Null propagation, string and date arithmetic.
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <new>

#include "vbs/datetime.h"
#include "vbs/object.h"
#include "vbs/value_conv.h"
#include "vbs/value_ops.h"

namespace vbs {

namespace {

// Numeric rank of an operand; the result of + - * takes the higher rank.
enum Rank : int { kREmpty, kRByte, kRInteger, kRLong, kRSingle, kRDouble, kRCurrency, kRDate };

// Objects in arithmetic stand for their default value; ByRef slots for
// their target.
const Variant& Plain(const Variant& v, Variant& holder) {
  const Variant& d = v.Deref();
  if (d.IsObject()) {
    holder = DefaultValue(d.object());
    return holder;
  }
  return d;
}

Rank RankOf(const Variant& v) {
  switch (v.type()) {
    case vbEmpty: return kREmpty;
    case vbBoolean: return kRInteger;
    case vbByte: return kRByte;
    case vbInteger: return kRInteger;
    case vbLong: return kRLong;
    case vbSingle: return kRSingle;
    case vbDouble: return kRDouble;
    case vbCurrency: return kRCurrency;
    case vbDate: return kRDate;
    case vbString: return kRDouble;  // numeric text counts as Double
    default: Raise(kErrTypeMismatch);
  }
}

Rank Combine(Rank a, Rank b) {
  if ((a == kRSingle && b == kRLong) || (a == kRLong && b == kRSingle)) return kRDouble;
  Rank r = a > b ? a : b;
  return r == kREmpty ? kRInteger : r;
}

bool IsIntegral(const Variant& v) {
  switch (v.type()) {
    case vbEmpty: case vbBoolean: case vbByte: case vbInteger: case vbLong: return true;
    default: return false;
  }
}

int64_t IntOf(const Variant& v) {
  switch (v.type()) {
    case vbBoolean: return v.boolVal() ? -1 : 0;
    case vbByte: return v.byteVal();
    case vbInteger: return v.intVal();
    case vbLong: return v.longVal();
    default: return 0;
  }
}

// A Byte result stays a Byte while it fits; past that, the whole-number rule.
Variant IntegralResult(int64_t r, Rank rank) {
  if (rank == kRByte && r >= 0 && r <= 255) return Variant::FromByte(uint8_t(r));
  return WholeNumber(r, rank <= kRInteger);
}

Variant FloatResult(double r, Rank rank) {
  if (std::isnan(r)) Raise(kErrOverflow);
  if (!std::isfinite(r)) Raise(kErrOverflow);
  if (rank == kRSingle) {
    if (std::fabs(r) <= double(FLT_MAX)) return Variant::FromSingle(float(r));
    return Variant::FromDouble(r);
  }
  if (rank == kRDate) {
    if (r < kMinDate || r > kMaxDate) Raise(kErrOverflow);
    return Variant::FromDate(r);
  }
  return Variant::FromDouble(r);
}

int64_t CurOf(const Variant& v) { return ToCurrencyScaled(v); }

enum class Arith { Add, Sub, Mul };

Variant Arithmetic(const Variant& ain, const Variant& bin, Arith op) {
  Variant ha, hb;
  const Variant& a = Plain(ain, ha);
  const Variant& b = Plain(bin, hb);
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  if (op == Arith::Add) {
    // "+" joins two strings; a string plus Empty is the string.
    if (a.IsString() && (b.IsString() || b.IsEmpty())) return OpConcat(a, b);
    if (a.IsEmpty() && b.IsString()) return b;
  }
  Rank rank = Combine(RankOf(a), RankOf(b));
  if (op == Arith::Sub && a.type() == vbDate && b.type() == vbDate) rank = kRDouble;
  if (op == Arith::Mul && rank == kRDate) rank = kRDouble;
  // Currency times a floating value (or numeric text) is a Double.
  if (op == Arith::Mul && rank == kRCurrency) {
    for (const Variant* x : {&a, &b})
      if (x->type() == vbSingle || x->type() == vbDouble || x->type() == vbString) rank = kRDouble;
  }

  if (rank <= kRLong && IsIntegral(a) && IsIntegral(b)) {
    int64_t x = IntOf(a), y = IntOf(b);
    int64_t r = op == Arith::Add ? x + y : op == Arith::Sub ? x - y : x * y;
    return IntegralResult(r, rank);
  }
  if (rank == kRCurrency) {
    int64_t x = CurOf(a), y = CurOf(b), r;
    if (op == Arith::Mul) {
      __int128 p = static_cast<__int128>(x) * y;
      // Scale back with banker's rounding.
      __int128 q = p / 10000, rem = p % 10000;
      if (rem < 0) { rem = -rem; }
      if (rem > 5000 || (rem == 5000 && (q & 1))) q += p < 0 ? -1 : 1;
      if (q > INT64_MAX || q < INT64_MIN) Raise(kErrOverflow);
      r = int64_t(q);
    } else if (op == Arith::Add ? __builtin_add_overflow(x, y, &r) : __builtin_sub_overflow(x, y, &r)) {
      Raise(kErrOverflow);
    }
    return Variant::FromCurrencyScaled(r);
  }
  double x = ToNumber(a), y = ToNumber(b);
  double r = op == Arith::Add ? x + y : op == Arith::Sub ? x - y : x * y;
  return FloatResult(r, rank);
}

// Operands of "\" and Mod: rounded to whole numbers that fit a Long.
int64_t RoundedLong(const Variant& v) {
  if (v.type() == vbLong || v.type() == vbInteger || v.type() == vbByte || v.type() == vbBoolean) return IntOf(v);
  double d = RoundHalfEven(ToNumber(v));
  if (!(d >= -2147483648.0 && d <= 2147483647.0)) Raise(kErrOverflow);
  return int64_t(d);
}

Rank IntDivRank(const Variant& a, const Variant& b) {
  auto r = [](const Variant& v) {
    switch (v.type()) {
      case vbByte: return kRByte;
      case vbEmpty: case vbBoolean: case vbInteger: return kRInteger;
      default: return kRLong;
    }
  };
  Rank ra = r(a), rb = r(b);
  return ra > rb ? ra : rb;
}

}  // namespace

Variant AddSlow(const Variant& a, const Variant& b) { return Arithmetic(a, b, Arith::Add); }
Variant SubSlow(const Variant& a, const Variant& b) { return Arithmetic(a, b, Arith::Sub); }
Variant MulSlow(const Variant& a, const Variant& b) { return Arithmetic(a, b, Arith::Mul); }

Variant DivSlow(const Variant& ain, const Variant& bin) {
  Variant ha, hb;
  const Variant& a = Plain(ain, ha);
  const Variant& b = Plain(bin, hb);
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  Rank ra = RankOf(a), rb = RankOf(b);
  double x = ToNumber(a), y = ToNumber(b);
  if (y == 0.0) Raise(x == 0.0 ? kErrOverflow : kErrDivisionByZero);
  double r = x / y;
  Rank m = ra > rb ? ra : rb;
  if (m == kRSingle && ra != kRLong && rb != kRLong) return FloatResult(r, kRSingle);
  return FloatResult(r, kRDouble);
}

Variant OpIntDiv(const Variant& ain, const Variant& bin) {
  Variant ha, hb;
  const Variant& a = Plain(ain, ha);
  const Variant& b = Plain(bin, hb);
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  int64_t x = RoundedLong(a), y = RoundedLong(b);
  if (y == 0) Raise(kErrDivisionByZero);
  int64_t r = x / y;
  if (r > INT32_MAX) Raise(kErrOverflow);
  return IntegralResult(r, IntDivRank(a, b));
}

Variant OpMod(const Variant& ain, const Variant& bin) {
  Variant ha, hb;
  const Variant& a = Plain(ain, ha);
  const Variant& b = Plain(bin, hb);
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  int64_t x = RoundedLong(a), y = RoundedLong(b);
  if (y == 0) Raise(kErrDivisionByZero);
  return IntegralResult(x % y, IntDivRank(a, b));
}

Variant OpPow(const Variant& ain, const Variant& bin) {
  Variant ha, hb;
  const Variant& a = Plain(ain, ha);
  const Variant& b = Plain(bin, hb);
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  double x = ToNumber(a), y = ToNumber(b);
  if (x == 0.0 && y < 0.0) Raise(kErrInvalidCall);
  double r = std::pow(x, y);
  if (std::isnan(r)) Raise(kErrInvalidCall);
  if (!std::isfinite(r)) Raise(kErrOverflow);
  return Variant::FromDouble(r);
}

Variant OpNeg(const Variant& ain) {
  Variant ha;
  const Variant& a = Plain(ain, ha);
  switch (a.type()) {
    case vbNull: return Variant::Null();
    case vbEmpty: return Variant::FromInteger(0);
    case vbBoolean: case vbByte: case vbInteger: return IntegralResult(-IntOf(a), kRInteger);
    case vbLong: return IntegralResult(-int64_t(a.longVal()), kRLong);
    case vbSingle: return Variant::FromSingle(-a.singleVal());
    case vbDouble: return Variant::FromDouble(-a.doubleVal());
    case vbCurrency:
      if (a.currencyScaled() == INT64_MIN) Raise(kErrOverflow);
      return Variant::FromCurrencyScaled(-a.currencyScaled());
    case vbDate: return FloatResult(-a.dateVal(), kRDate);
    case vbString: return Variant::FromDouble(-ToNumber(a));
    default: Raise(kErrTypeMismatch);
  }
}

// ---- concatenation ------------------------------------------------------------------

namespace {
// Text of one side of "&": Null and Empty are "".
void AppendText(std::u16string& out, const Variant& v) {
  if (v.IsNull() || v.IsEmpty()) return;
  if (v.IsString()) out += v.str();
  else out += ToText(v);
}
}  // namespace

namespace {
bool OddBytes(const Variant& v) { return v.IsString() && v.string()->oddByte(); }

// "&" with a byte string of odd length on either side: the two texts are
// joined byte by byte (low byte of each code unit first).
Variant ConcatBytes(const Variant& a, const Variant& b) {
  std::u16string ta, tb;
  AppendText(ta, a);
  AppendText(tb, b);
  const size_t na = ta.size() * 2 - (OddBytes(a) ? 1 : 0);
  const size_t nb = tb.size() * 2 - (OddBytes(b) ? 1 : 0);
  const size_t n = na + nb;
  auto byteAt = [&](size_t k) -> unsigned {
    if (k >= n) return 0;
    const std::u16string& t = k < na ? ta : tb;
    if (k >= na) k -= na;
    return (unsigned(t[k / 2]) >> (8 * (k & 1))) & 0xFFu;
  };
  String* s = String::MakeUninit((n + 1) / 2);
  for (size_t i = 0; i < s->size(); ++i)
    s->data()[i] = char16_t(byteAt(2 * i) | (byteAt(2 * i + 1) << 8));
  s->SetOddByte(n % 2 != 0);
  return Variant::FromString(s);
}
}  // namespace

Variant OpConcat(const Variant& ain, const Variant& bin) {
  Variant ha, hb;
  const Variant& a = Plain(ain, ha);
  const Variant& b = Plain(bin, hb);
  if (a.IsNull() && b.IsNull()) return Variant::Null();
  if (a.IsString() && (b.IsEmpty() || b.IsNull())) return a;
  if (b.IsString() && (a.IsEmpty() || a.IsNull())) return b;
  if (OddBytes(a) || OddBytes(b)) [[unlikely]] return ConcatBytes(a, b);
  if (a.IsString() && b.IsString()) {
    std::u16string_view x = a.str(), y = b.str();
    String* s = String::MakeUninit(x.size() + y.size());
    if (!x.empty()) std::memcpy(s->data(), x.data(), x.size() * sizeof(char16_t));
    if (!y.empty()) std::memcpy(s->data() + x.size(), y.data(), y.size() * sizeof(char16_t));
    return Variant::FromString(s);
  }
  // Text and a whole number ("k" & i): the digits go straight into the result.
  if (a.IsString() != b.IsString()) {
    const Variant& n = a.IsString() ? b : a;
    if (n.type() == vbInteger || n.type() == vbLong) {
      char digits[12];
      const auto r = std::to_chars(digits, digits + sizeof digits,
                                   n.type() == vbLong ? int32_t(n.longVal()) : int32_t(n.intVal()));
      const size_t nd = size_t(r.ptr - digits);
      std::u16string_view t = a.IsString() ? a.str() : b.str();
      String* s = String::MakeUninit(t.size() + nd);
      char16_t* p = s->data();
      if (a.IsString()) {
        if (!t.empty()) std::memcpy(p, t.data(), t.size() * sizeof(char16_t));
        p += t.size();
      }
      for (size_t i = 0; i < nd; ++i) *p++ = char16_t(digits[i]);
      if (!a.IsString() && !t.empty()) std::memcpy(p, t.data(), t.size() * sizeof(char16_t));
      return Variant::FromString(s);
    }
  }
  std::u16string out;
  AppendText(out, a);
  AppendText(out, b);
  return Variant::FromString(out);
}

void ConcatAssign(Variant& target, const Variant& rhs) {
  Variant& t = target.Deref();
  const Variant& r = rhs.Deref();
  if (t.IsString() && t.string()->Unique() && !t.string()->oddByte() && !OddBytes(r)) {
    if (r.IsString()) {
      // Build the new Variant before touching t: r may alias t.
      String* s = String::Append(t.string(), r.str());
      Variant fresh = Variant::FromString(s);
      // t's String* was consumed by Append (kept or released); forget it
      // without a second release.
      new (&t) Variant(std::move(fresh));
      return;
    }
    if (r.IsNull() || r.IsEmpty()) return;
    if (!r.IsObject()) {
      std::u16string text = ToText(r);
      String* s = String::Append(t.string(), text);
      Variant fresh = Variant::FromString(s);
      new (&t) Variant(std::move(fresh));
      return;
    }
  }
  t = OpConcat(t, rhs);
}

// ---- comparison -------------------------------------------------------------------

namespace {
char16_t FoldCase(char16_t c) {
  if (c >= u'a' && c <= u'z') return char16_t(c - 32);
  if (c < 0x80) return c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return char16_t(c - 32);  // Latin-1 letters
  if (c >= 0xFF41 && c <= 0xFF5A) return char16_t(c - 32);            // full-width a-z
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return char16_t(c - 32); // Greek
  if (c >= 0x430 && c <= 0x44F) return char16_t(c - 32);              // Cyrillic
  return c;
}

bool IsNumericType(VarType t) {
  switch (t) {
    case vbBoolean: case vbByte: case vbInteger: case vbLong: case vbSingle:
    case vbDouble: case vbCurrency: case vbDate:
      return true;
    default:
      return false;
  }
}

template <class T>
CmpResult Order(T x, T y) {
  return x < y ? CmpResult::Less : x > y ? CmpResult::Greater : CmpResult::Equal;
}
}  // namespace

int CompareStrings(std::u16string_view a, std::u16string_view b, CompareMode mode) {
  if (mode == CompareMode::Binary) {
    int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
  }
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    char16_t x = FoldCase(a[i]), y = FoldCase(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

CmpResult CompareSlow(const Variant& ain, const Variant& bin, CompareMode mode) {
  Variant ha, hb;
  const Variant& a = Plain(ain, ha);
  const Variant& b = Plain(bin, hb);
  if (a.IsNull() || b.IsNull()) return CmpResult::Null;
  const VarType ta = a.type(), tb = b.type();
  if (ta == vbString || tb == vbString) {
    if (ta == vbString && tb == vbString)
      return CmpResult(CompareStrings(a.str(), b.str(), mode));
    if (ta == vbEmpty) return b.str().empty() ? CmpResult::Equal : CmpResult::Less;
    if (tb == vbEmpty) return a.str().empty() ? CmpResult::Equal : CmpResult::Greater;
    // A number is less than any string.
    if (IsNumericType(ta)) return CmpResult::Less;
    if (IsNumericType(tb)) return CmpResult::Greater;
    Raise(kErrTypeMismatch);
  }
  if (ta == vbEmpty && tb == vbEmpty) return CmpResult::Equal;
  if ((ta != vbEmpty && !IsNumericType(ta)) || (tb != vbEmpty && !IsNumericType(tb))) Raise(kErrTypeMismatch);
  if (ta == vbCurrency && tb == vbCurrency) return Order(a.currencyScaled(), b.currencyScaled());
  if (IsIntegral(a) && IsIntegral(b)) return Order(IntOf(a), IntOf(b));
  return Order(ToNumber(a), ToNumber(b));
}

CmpResult CompareWithLiterals(const Variant& ain, bool aLiteral, const Variant& bin, bool bLiteral) {
  Variant ha, hb;
  const Variant& a = Plain(ain, ha);
  const Variant& b = Plain(bin, hb);
  const VarType ta = a.type(), tb = b.type();
  const bool textLeft = ta == vbString && IsNumericType(tb);
  const bool mixed = textLeft || (tb == vbString && IsNumericType(ta));
  if (!mixed || !(aLiteral || bLiteral)) return CompareSlow(a, b, CompareMode::Binary);
  const Variant& text = textLeft ? a : b;
  const Variant& num = textLeft ? b : a;
  const bool numLiteral = textLeft ? bLiteral : aLiteral;
  Variant conv;
  if (numLiteral) {
    // Text that is no number cannot take the literal's type: the Variant
    // rule decides (a number is less than any string), nothing is raised.
    const std::optional<double> d = ParseNumber(text.str());
    if (!d || !std::isfinite(*d)) return CompareSlow(a, b, CompareMode::Binary);
    conv = Variant::FromDouble(*d);
    return textLeft ? CompareSlow(conv, num, CompareMode::Binary) : CompareSlow(num, conv, CompareMode::Binary);
  }
  conv = Variant::FromString(ToText(num));
  return textLeft ? CompareSlow(text, conv, CompareMode::Binary) : CompareSlow(conv, text, CompareMode::Binary);
}

bool IsTrueSlow(const Variant& in) {
  Variant h;
  const Variant& v = Plain(in, h);
  switch (v.type()) {
    case vbNull: case vbEmpty: return false;
    case vbString: return ToBool(v);
    case vbCurrency: return v.currencyScaled() != 0;
    default: return ToNumber(v) != 0.0;
  }
}

bool OpIs(const Variant& ain, const Variant& bin) {
  const Variant& a = ain.Deref();
  const Variant& b = bin.Deref();
  if (!a.IsObject() || !b.IsObject()) Raise(kErrObjectRequired);
  return a.object() == b.object();
}

// ---- logical / bitwise -----------------------------------------------------------

namespace {
// An operand of a bitwise operator: its bits and the width class it brings.
struct Bits {
  bool null = false;
  bool isBool = false;
  Rank rank = kREmpty;
  int32_t v = 0;
};

Bits BitsOf(const Variant& in, Variant& holder) {
  const Variant& x = Plain(in, holder);
  Bits b;
  switch (x.type()) {
    case vbNull: b.null = true; return b;
    case vbEmpty: b.rank = kRInteger; return b;
    case vbBoolean: b.isBool = true; b.rank = kRInteger; b.v = x.boolVal() ? -1 : 0; return b;
    case vbString: {
      // Numeric text works as a Long; "True" and "False" (also as files
      // write them, "#TRUE#" and "#FALSE#") as Booleans.
      std::u16string_view t = x.str();
      const bool yes = NameEquals(t, "True") || NameEquals(t, "#True#");
      if (yes || NameEquals(t, "False") || NameEquals(t, "#False#")) {
        b.isBool = true;
        b.rank = kRInteger;
        b.v = yes ? -1 : 0;
        return b;
      }
      b.rank = kRLong;
      b.v = ToLong(x);
      return b;
    }
    case vbByte: b.rank = kRByte; b.v = x.byteVal(); return b;
    case vbInteger: b.rank = kRInteger; b.v = x.intVal(); return b;
    default: b.rank = kRLong; b.v = ToLong(x); return b;
  }
}

Variant BitsResult(int32_t r, const Bits& a, const Bits& b) {
  bool boolA = a.isBool || a.null, boolB = b.isBool || b.null;
  if (boolA && boolB) return Variant::FromBool(r != 0);
  Rank rank = a.null ? b.rank : b.null ? a.rank : (a.rank > b.rank ? a.rank : b.rank);
  if (rank == kRByte) return Variant::FromByte(uint8_t(r));
  if (rank == kRInteger) return Variant::FromInteger(int16_t(r));
  return Variant::FromLong(r);
}

// All bits set for the operand's width (True, -1, 255 for a Byte).
bool AllOnes(const Bits& x) { return x.rank == kRByte ? x.v == 255 : x.v == -1; }

enum class Logic { And, Or, Xor, Eqv, Imp };

Variant Logical(const Variant& ain, const Variant& bin, Logic op) {
  Variant ha, hb;
  Bits a = BitsOf(ain, ha), b = BitsOf(bin, hb);
  if (a.null || b.null) {
    if (a.null && b.null) return Variant::Null();
    const Bits& k = a.null ? b : a;  // the known side
    switch (op) {
      case Logic::And:
        if (k.v == 0) return BitsResult(0, a, b);
        return Variant::Null();
      case Logic::Or:
        if (AllOnes(k)) return BitsResult(k.v, a, b);
        return Variant::Null();
      case Logic::Imp:
        if (b.null && a.v == 0) return BitsResult(-1, a, b);  // False Imp Null
        if (a.null && AllOnes(b)) return BitsResult(b.v, a, b);  // Null Imp True
        return Variant::Null();
      default:
        return Variant::Null();
    }
  }
  int32_t r;
  switch (op) {
    case Logic::And: r = a.v & b.v; break;
    case Logic::Or: r = a.v | b.v; break;
    case Logic::Xor: r = a.v ^ b.v; break;
    case Logic::Eqv: r = ~(a.v ^ b.v); break;
    default: r = ~a.v | b.v; break;
  }
  return BitsResult(r, a, b);
}
}  // namespace

Variant OpAnd(const Variant& a, const Variant& b) { return Logical(a, b, Logic::And); }
Variant OpOr(const Variant& a, const Variant& b) { return Logical(a, b, Logic::Or); }
Variant OpXor(const Variant& a, const Variant& b) { return Logical(a, b, Logic::Xor); }
Variant OpEqv(const Variant& a, const Variant& b) { return Logical(a, b, Logic::Eqv); }
Variant OpImp(const Variant& a, const Variant& b) { return Logical(a, b, Logic::Imp); }

Variant OpNot(const Variant& in) {
  Variant h;
  Bits a = BitsOf(in, h);
  if (a.null) return Variant::Null();
  if (a.isBool) return Variant::FromBool(a.v == 0);
  if (a.rank == kRByte) return Variant::FromByte(uint8_t(~a.v));
  if (a.rank == kRInteger) return Variant::FromInteger(int16_t(~a.v));
  return Variant::FromLong(~a.v);
}

}  // namespace vbs
