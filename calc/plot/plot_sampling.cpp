#include "plot_sampling.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "numtext.h"
#include "plot_setup.h"
#include "vbs/engine.h"
#include "vbs/textcodec.h"
#include "vbs/value_conv.h"

namespace zel::plot {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::u16string U16(const std::string& s) { return vbs::Utf8ToUtf16(s); }

// A number for the curve; Booleans count (a condition plots as 0 / -1),
// text does not, even when it reads as a number.
std::optional<double> PlotValue(const vbs::Variant& value) {
  const vbs::Variant& v = value.Deref();
  switch (v.type()) {
    case vbs::vbInteger: case vbs::vbLong: case vbs::vbSingle: case vbs::vbDouble:
    case vbs::vbCurrency: case vbs::vbByte: case vbs::vbBoolean: {
      const double d = vbs::ToDouble(v);
      if (std::isfinite(d)) return d;
      return std::nullopt;
    }
    default: return std::nullopt;
  }
}

std::u16string KindName(const vbs::Variant& value) {
  const vbs::Variant& v = value.Deref();
  switch (v.type()) {
    case vbs::vbEmpty: return u"Empty";
    case vbs::vbNull: return u"Null";
    case vbs::vbString: return u"String";
    case vbs::vbDate: return u"Date";
    default: break;
  }
  if (v.IsArray()) return u"Array";
  if (v.IsObject()) return u"Object";
  return u"Variant";
}

std::u16string AtX(double x) { return u" (x = " + U16(FormatGeneralNumber(x)) + u")"; }

}  // namespace

std::vector<double> SamplePlan(double from, double to, int count, bool log) {
  std::vector<double> xs;
  if (!std::isfinite(from) || !std::isfinite(to) || from == to) return xs;
  if (from > to) std::swap(from, to);
  if (log && !(from > 0)) return xs;
  const int n = ClampSamples(count);
  xs.resize(size_t(n));
  if (log) {
    const double a = std::log(from), b = std::log(to);
    for (int i = 0; i < n; ++i) xs[size_t(i)] = std::exp(a + (b - a) * i / (n - 1));
  } else {
    for (int i = 0; i < n; ++i) xs[size_t(i)] = from + (to - from) * (double(i) / (n - 1));
  }
  // The ends exactly as asked, whatever the rounding on the way.
  xs.front() = from;
  xs.back() = to;
  return xs;
}

TraceSamples SampleExpression(vbs::Engine& engine, std::u16string_view expression,
                              const std::vector<double>& xs) {
  TraceSamples out;
  const std::u16string x = u"x";
  const auto fn = engine.CompileFunction(std::span<const std::u16string>(&x, 1), expression);
  if (!fn) {
    out.compileError = engine.Error().Description;
    return out;
  }
  out.y.assign(xs.size(), kNaN);
  std::vector<vbs::Variant> args;
  args.reserve(xs.size());
  for (double v : xs) args.push_back(vbs::Variant::FromDouble(v));
  size_t done = 0;
  const bool ran = engine.CallFunction(*fn, args, [&](size_t i, const vbs::Variant& v, const vbs::ErrorInfo* err) {
    done = i + 1;
    std::u16string why;
    if (err) {
      why = err->Description;
    } else if (const std::optional<double> d = PlotValue(v)) {
      out.y[i] = *d;
      return;
    } else {
      why = u"Not a number: " + KindName(v);
    }
    ++out.gaps;
    if (out.firstError.empty()) out.firstError = why + AtX(xs[i]);
  });
  if (!ran) {
    out.stopped = true;
    out.gaps += int(xs.size() - done);
    if (out.firstError.empty()) out.firstError = engine.Error().Description;
  }
  return out;
}

std::u16string ValuesText(const std::vector<double>& xs, const std::vector<ValueColumn>& columns) {
  std::u16string text = u"x";
  for (const ValueColumn& c : columns) text += u"\t" + c.heading;
  text += u"\r\n";
  for (size_t i = 0; i < xs.size(); ++i) {
    text += U16(FormatGeneralNumber(xs[i]));
    for (const ValueColumn& c : columns) {
      text += u'\t';
      if (c.y && i < c.y->size() && std::isfinite((*c.y)[i])) text += U16(FormatGeneralNumber((*c.y)[i]));
    }
    text += u"\r\n";
  }
  return text;
}

}  // namespace zel::plot
