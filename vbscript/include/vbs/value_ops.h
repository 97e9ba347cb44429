#pragma once
// Operators on Variants with VBScript's typing. The Integer/Long/Double
// cases are inline because the VM runs them in its hottest loops; every
// other case goes to an out-of-line slow path. All throw ScriptError.
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
// Plain string comparison (-1/0/1), for StrComp, InStr and sorting.
int CompareStrings(std::u16string_view a, std::u16string_view b, CompareMode mode);

inline CmpResult Compare(const Variant& a, const Variant& b,
                         CompareMode mode = CompareMode::Binary) {
  const VarType ta = a.type(), tb = b.type();
  if (ta == vbLong && tb == vbLong) {
    return a.longVal() < b.longVal() ? CmpResult::Less
           : a.longVal() > b.longVal() ? CmpResult::Greater : CmpResult::Equal;
  }
  if (ta == vbDouble && tb == vbDouble) {
    return a.doubleVal() < b.doubleVal() ? CmpResult::Less
           : a.doubleVal() > b.doubleVal() ? CmpResult::Greater : CmpResult::Equal;
  }
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

// ---- arithmetic fast paths ----------------------------------------------------
namespace detail {
// Integer-typed result: Integer if it fits and both inputs were Integer,
// else Long if it fits, else Double.
inline Variant IntResult(int64_t r, bool bothInteger) {
  if (bothInteger && r >= INT16_MIN && r <= INT16_MAX) return Variant::FromInteger(int16_t(r));
  if (r >= INT32_MIN && r <= INT32_MAX) return Variant::FromLong(int32_t(r));
  return Variant::FromDouble(double(r));
}
[[noreturn]] void ThrowOverflow();
inline Variant CheckedDouble(double r) {
  if (!std::isfinite(r)) ThrowOverflow();
  return Variant::FromDouble(r);
}
}  // namespace detail

inline Variant OpAdd(const Variant& a, const Variant& b) {
  const VarType ta = a.type(), tb = b.type();
  if (ta == vbLong && tb == vbLong) return detail::IntResult(int64_t(a.longVal()) + b.longVal(), false);
  if (ta == vbInteger && tb == vbInteger) return detail::IntResult(int64_t(a.intVal()) + b.intVal(), true);
  if (ta == vbDouble && tb == vbDouble) return detail::CheckedDouble(a.doubleVal() + b.doubleVal());
  return AddSlow(a, b);
}
inline Variant OpSub(const Variant& a, const Variant& b) {
  const VarType ta = a.type(), tb = b.type();
  if (ta == vbLong && tb == vbLong) return detail::IntResult(int64_t(a.longVal()) - b.longVal(), false);
  if (ta == vbInteger && tb == vbInteger) return detail::IntResult(int64_t(a.intVal()) - b.intVal(), true);
  if (ta == vbDouble && tb == vbDouble) return detail::CheckedDouble(a.doubleVal() - b.doubleVal());
  return SubSlow(a, b);
}
inline Variant OpMul(const Variant& a, const Variant& b) {
  const VarType ta = a.type(), tb = b.type();
  if (ta == vbLong && tb == vbLong) return detail::IntResult(int64_t(a.longVal()) * b.longVal(), false);
  if (ta == vbInteger && tb == vbInteger) return detail::IntResult(int64_t(a.intVal()) * b.intVal(), true);
  if (ta == vbDouble && tb == vbDouble) return detail::CheckedDouble(a.doubleVal() * b.doubleVal());
  return MulSlow(a, b);
}
inline Variant OpDiv(const Variant& a, const Variant& b) {
  const VarType ta = a.type(), tb = b.type();
  if (ta == vbDouble && tb == vbDouble && b.doubleVal() != 0.0)
    return detail::CheckedDouble(a.doubleVal() / b.doubleVal());
  return DivSlow(a, b);
}

}  // namespace vbs
