// Math functions, Rnd/Randomize, Round, Hex and Oct.
#include <cmath>

#include "lib/bind.h"
#include "lib/numfmt.h"

namespace vbs::lib {

namespace {

// Applies `f` keeping the argument's numeric subtype where the script does:
// integers stay integers (widening on overflow), Currency stays Currency,
// everything else becomes Double.
// Currency works on its scaled integer so that no digit is lost: `digits`
// -1 for Abs, -2 Int, -3 Fix, else Round to that many decimals.
int64_t CurrencyOp(int64_t s, int digits) {
  if (digits == -1) {
    if (s == INT64_MIN) Raise(kErrOverflow);
    return s < 0 ? -s : s;
  }
  if (digits >= 4) return s;
  int64_t unit = 10000;
  if (digits >= 0) for (int i = 0; i < digits; ++i) unit /= 10;
  int64_t q = s / unit;
  const int64_t r = s % unit;
  if (digits == -2) {
    if (r < 0) --q;
  } else if (digits >= 0) {
    const int64_t twice = 2 * (r < 0 ? -r : r);
    if (twice > unit || (twice == unit && (q % 2 != 0))) q += r < 0 ? -1 : 1;
  }
  return q * unit;
}

template <class F>
Variant MapNumber(Context& ctx, const Variant& arg, F f, int currencyDigits) {
  const Variant v = Plain(ctx, arg);
  switch (v.type()) {
    case vbNull: return Variant::Null();
    case vbEmpty: return Variant::FromInteger(0);
    case vbBoolean: case vbByte: case vbInteger: case vbLong: {
      const int64_t x = v.type() == vbBoolean ? (v.boolVal() ? -1 : 0)
                        : v.type() == vbByte  ? v.byteVal()
                        : v.type() == vbInteger ? v.intVal() : v.longVal();
      // Abs, Int, Fix and Round of a whole number are whole numbers.
      const double r = f(static_cast<double>(x));
      if (v.type() == vbByte && r >= 0 && r <= 255) return Variant::FromByte(static_cast<uint8_t>(r));
      return WholeNumber(static_cast<int64_t>(r), v.type() != vbLong);
    }
    case vbSingle: return Variant::FromSingle(static_cast<float>(f(v.singleVal())));
    case vbCurrency: return Variant::FromCurrencyScaled(CurrencyOp(v.currencyScaled(), currencyDigits));
    case vbDate: return Variant::FromDate(f(v.dateVal()));
    default: {
      const double r = f(ToDouble(v));
      if (!std::isfinite(r)) Raise(kErrOverflow);
      return Variant::FromDouble(r);
    }
  }
}

Variant FnAbs(Context& ctx, Args& args) { return MapNumber(ctx, args[0], [](double x) { return std::fabs(x); }, -1); }
Variant FnInt(Context& ctx, Args& args) { return MapNumber(ctx, args[0], [](double x) { return std::floor(x); }, -2); }
Variant FnFix(Context& ctx, Args& args) { return MapNumber(ctx, args[0], [](double x) { return std::trunc(x); }, -3); }

Variant FnSgn(Context& ctx, Args& args) {
  if (IsNullArg(args, 0)) Raise(kErrInvalidNull);
  const double x = Dbl(ctx, args[0]);
  return Variant::FromInteger(static_cast<int16_t>(x > 0 ? 1 : x < 0 ? -1 : 0));
}

Variant Real(double r) {
  if (!std::isfinite(r)) Raise(kErrOverflow);
  return Variant::FromDouble(r);
}

Variant FnAtn(Context& ctx, Args& args) { return Real(std::atan(Dbl(ctx, args[0]))); }
Variant FnCos(Context& ctx, Args& args) { return Real(std::cos(Dbl(ctx, args[0]))); }
Variant FnSin(Context& ctx, Args& args) { return Real(std::sin(Dbl(ctx, args[0]))); }
Variant FnTan(Context& ctx, Args& args) { return Real(std::tan(Dbl(ctx, args[0]))); }
Variant FnExp(Context& ctx, Args& args) { return Real(std::exp(Dbl(ctx, args[0]))); }

Variant FnLog(Context& ctx, Args& args) {
  const double x = Dbl(ctx, args[0]);
  if (!(x > 0)) Raise(kErrInvalidCall);
  return Real(std::log(x));
}

Variant FnSqr(Context& ctx, Args& args) {
  const double x = Dbl(ctx, args[0]);
  if (x < 0) Raise(kErrInvalidCall);
  return Real(std::sqrt(x));
}

Variant FnRnd(Context& ctx, Args& args) {
  const bool has = Has(args, 0);
  const double arg = has ? Dbl(ctx, args[0]) : 0;
  const float r = RndNext(ctx.rndSeed(), arg, has);
  ctx.lastRnd() = r;
  return Variant::FromSingle(r);
}

Variant FnRandomize(Context& ctx, Args& args) {
  RndRandomize(ctx.rndSeed(), Has(args, 0) ? Dbl(ctx, args[0]) : RndTimerSeed());
  return Variant();
}

Variant FnRound(Context& ctx, Args& args) {
  if (IsNullArg(args, 0)) return Variant::Null();
  const int32_t digits = OptLong(ctx, args, 1, 0);
  if (digits < 0) Raise(kErrInvalidCall);
  const Variant v = Plain(ctx, args[0]);
  if (v.type() == vbBoolean) return v;  // Round keeps a Boolean as it is
  if (v.type() == vbString) {
    // Numeric text rounds as a Double.
    return Variant::FromDouble(RoundDigits(ToDouble(v), digits));
  }
  return MapNumber(ctx, v, [digits](double x) { return RoundDigits(x, digits); }, digits);
}

// Hex/Oct show Integer-sized values in 16 bits and everything else in 32.
Variant Radix(Context& ctx, Args& args, bool hex) {
  const Variant v = Plain(ctx, args[0]);
  if (v.IsNull()) return Variant::Null();
  int bits = 32;
  int64_t n;
  switch (v.type()) {
    case vbEmpty: n = 0; bits = 16; break;
    case vbBoolean: n = v.boolVal() ? -1 : 0; bits = 16; break;
    case vbByte: n = v.byteVal(); bits = 16; break;
    case vbInteger: n = v.intVal(); bits = 16; break;
    default: n = ToLong(v); break;
  }
  return Text(hex ? ToHex(n, bits) : ToOct(n, bits));
}

Variant FnHex(Context& ctx, Args& args) { return Radix(ctx, args, true); }
Variant FnOct(Context& ctx, Args& args) { return Radix(ctx, args, false); }

const BuiltinDef kMathBuiltins[] = {
    {"Abs", 1, 1, FnAbs},   {"Int", 1, 1, FnInt},   {"Fix", 1, 1, FnFix},     {"Sgn", 1, 1, FnSgn},
    {"Atn", 1, 1, FnAtn},   {"Cos", 1, 1, FnCos},   {"Sin", 1, 1, FnSin},     {"Tan", 1, 1, FnTan},
    {"Exp", 1, 1, FnExp},   {"Log", 1, 1, FnLog},   {"Sqr", 1, 1, FnSqr},     {"Rnd", 0, 1, FnRnd},
    {"Randomize", 0, 1, FnRandomize},               {"Round", 1, 2, FnRound}, {"Hex", 1, 1, FnHex},
    {"Oct", 1, 1, FnOct},
};

}  // namespace

void RegisterMathBuiltins() { RegisterBuiltins(kMathBuiltins, std::size(kMathBuiltins)); }

}  // namespace vbs::lib
