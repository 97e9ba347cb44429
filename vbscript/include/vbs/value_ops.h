#pragma once
// Operators on Variants with VBScript's typing. The Integer/Long/Double
// cases are inline because the VM runs them in its hottest loops; every
// other case goes to an out-of-line slow path. All raise run-time errors.
#include <cmath>
#include <cstdint>

#include "vbs/variant.h"

namespace vbs {

// ---- slow paths (value_ops.cpp) -------------------------------------------
Variant AddSlow(const Variant& a, const Variant& b);
Variant SubSlow(const Variant& a, const Variant& b);
Variant MulSlow(const Variant& a, const Variant& b);
Variant DivSlow(const Variant& a, const Variant& b);
Variant OpIntDiv(const Variant& a, const Variant& b);  // "\"
Variant OpMod(const Variant& a, const Variant& b);
Variant OpPow(const Variant& a, const Variant& b);     // "^"
Variant OpNeg(const Variant& a);                       // unary "-"
Variant OpConcat(const Variant& a, const Variant& b);  // "&"
Variant OpNot(const Variant& a);
Variant OpAnd(const Variant& a, const Variant& b);
Variant OpOr(const Variant& a, const Variant& b);
Variant OpXor(const Variant& a, const Variant& b);
Variant OpEqv(const Variant& a, const Variant& b);
Variant OpImp(const Variant& a, const Variant& b);
// "Is": same object (both Nothing counts as the same); 424 for non-objects.
bool OpIs(const Variant& a, const Variant& b);

// `target = target & rhs` without copying target when its string is not
// shared: the append reuses spare capacity, so a loop of appends is
// amortised linear.
void ConcatAssign(Variant& target, const Variant& rhs);

// ---- comparison -------------------------------------------------------------
enum class CompareMode : uint8_t { Binary, Text };
enum class CmpResult : int8_t { Less = -1, Equal = 0, Greater = 1, Null = 2 };

// VBScript's comparison of two values: numbers numerically, strings by code
// unit (or case-insensitively in Text mode), a number is less than a string,
// Empty is 0 against a number and "" against a string, Null gives Null.
CmpResult CompareSlow(const Variant& a, const Variant& b, CompareMode mode);
// The same where an operand may be a literal in the source ("hard"): a
// literal keeps its type and a string against a number is converted to the
// literal's type; text that is no number keeps the Variant rule, so this
// never raises where CompareSlow does not. Two literals compare as
// numbers. Without a literal this is CompareSlow.
CmpResult CompareWithLiterals(const Variant& a, bool aLiteral, const Variant& b, bool bLiteral);
// Plain string comparison (-1/0/1), for StrComp, InStr and sorting.
int CompareStrings(std::u16string_view a, std::u16string_view b, CompareMode mode);

namespace detail {
// Integer or Long as a 32-bit value.
inline bool AsInt(const Variant& v, int32_t& out) {
  if (v.type() == vbLong) { out = v.longVal(); return true; }
  if (v.type() == vbInteger) { out = v.intVal(); return true; }
  return false;
}
// Double, Integer or Long as a double.
inline bool AsDbl(const Variant& v, double& out) {
  switch (v.type()) {
    case vbDouble: out = v.doubleVal(); return true;
    case vbLong: out = v.longVal(); return true;
    case vbInteger: out = v.intVal(); return true;
    default: return false;
  }
}
template <class T>
inline CmpResult Order(T x, T y) {
  return x < y ? CmpResult::Less : x > y ? CmpResult::Greater : CmpResult::Equal;
}
}  // namespace detail

inline CmpResult Compare(const Variant& a, const Variant& b,
                         CompareMode mode = CompareMode::Binary) {
  int32_t x, y;
  if (detail::AsInt(a, x) && detail::AsInt(b, y)) return detail::Order(x, y);
  double p, q;
  if ((a.type() == vbDouble || b.type() == vbDouble) && detail::AsDbl(a, p) && detail::AsDbl(b, q))
    return detail::Order(p, q);
  return CompareSlow(a, b, mode);
}

namespace detail {
inline Variant CmpToVariant(CmpResult r, bool lt, bool eq, bool gt) {
  if (r == CmpResult::Null) return Variant::Null();
  return Variant::FromBool(r == CmpResult::Less ? lt : r == CmpResult::Equal ? eq : gt);
}
}  // namespace detail

inline Variant OpEq(const Variant& a, const Variant& b) { return detail::CmpToVariant(Compare(a, b), false, true, false); }
inline Variant OpNe(const Variant& a, const Variant& b) { return detail::CmpToVariant(Compare(a, b), true, false, true); }
inline Variant OpLt(const Variant& a, const Variant& b) { return detail::CmpToVariant(Compare(a, b), true, false, false); }
inline Variant OpLe(const Variant& a, const Variant& b) { return detail::CmpToVariant(Compare(a, b), true, true, false); }
inline Variant OpGt(const Variant& a, const Variant& b) { return detail::CmpToVariant(Compare(a, b), false, false, true); }
inline Variant OpGe(const Variant& a, const Variant& b) { return detail::CmpToVariant(Compare(a, b), false, true, true); }

// Truth of a condition (If, While, Until): Null is False, strings must be
// numeric or "True"/"False" (else 13), objects use their default value.
bool IsTrueSlow(const Variant& v);
inline bool IsTrue(const Variant& v) {
  if (v.type() == vbBoolean) return v.boolVal();
  if (v.type() == vbLong) return v.longVal() != 0;
  if (v.type() == vbInteger) return v.intVal() != 0;
  return IsTrueSlow(v);
}

// ---- whole numbers -----------------------------------------------------------
// The subtype a whole-number result takes: Integer when `integer` allows it
// (both operands were Integer) and it fits, else Long when it fits, else
// Double.
inline VarType WholeNumberType(int64_t r, bool integer) {
  if (integer && r >= INT16_MIN && r <= INT16_MAX) return vbInteger;
  if (r >= INT32_MIN && r <= INT32_MAX) return vbLong;
  return vbDouble;
}
inline Variant WholeNumber(int64_t r, bool integer) {
  switch (WholeNumberType(r, integer)) {
    case vbInteger: return Variant::FromInteger(int16_t(r));
    case vbLong: return Variant::FromLong(int32_t(r));
    default: return Variant::FromDouble(double(r));
  }
}
// The same written over `v` in place (what v held is released).
inline void SetWholeNumber(Variant& v, int64_t r, bool integer) {
  switch (WholeNumberType(r, integer)) {
    case vbInteger: v.SetInteger(int16_t(r)); return;
    case vbLong: v.SetLong(int32_t(r)); return;
    default: v.SetDouble(double(r)); return;
  }
}

// ---- arithmetic fast paths ----------------------------------------------------
namespace detail {
inline Variant CheckedDouble(double r) {
  if (!std::isfinite(r)) Raise(kErrOverflow);
  return Variant::FromDouble(r);
}
}  // namespace detail

// Integer/Long pairs stay integral (Integer only when both are Integer);
// pairs with a Double and an Integer, Long or Double are plain doubles.
#define VBS_FAST_ARITH(name, op, slow)                                              \
  inline Variant name(const Variant& a, const Variant& b) {                       \
    int32_t x, y;                                                                 \
    if (detail::AsInt(a, x) && detail::AsInt(b, y))                               \
      return WholeNumber(int64_t(x) op int64_t(y),                                \
                         a.type() == vbInteger && b.type() == vbInteger);         \
    double p, q;                                                                  \
    if ((a.type() == vbDouble || b.type() == vbDouble) && detail::AsDbl(a, p) &&  \
        detail::AsDbl(b, q))                                                      \
      return detail::CheckedDouble(p op q);                                       \
    return slow(a, b);                                                            \
  }
VBS_FAST_ARITH(OpAdd, +, AddSlow)
VBS_FAST_ARITH(OpSub, -, SubSlow)
VBS_FAST_ARITH(OpMul, *, MulSlow)
#undef VBS_FAST_ARITH

inline Variant OpDiv(const Variant& a, const Variant& b) {
  double p, q;
  if (detail::AsDbl(a, p) && detail::AsDbl(b, q) && q != 0.0) return detail::CheckedDouble(p / q);
  return DivSlow(a, b);
}

}  // namespace vbs
