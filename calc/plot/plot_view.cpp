#include "plot_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zel::plot {

namespace {

constexpr double kLimit = 1e300;
// Narrower than this share of its magnitude, a span has no distinct values
// left to plot.
constexpr double kMinRelativeSpan = 1e-12;

double Coord(const AxisRange& a, double v) { return a.log ? std::log10(v) : v; }
double Value(const AxisRange& a, double c) { return a.log ? std::pow(10.0, c) : c; }

// The range from coordinates (log10 on a logarithmic axis), kept usable.
AxisRange FromCoords(const AxisRange& like, double c0, double c1) {
  AxisRange r = like;
  r.lo = Value(like, std::min(c0, c1));
  r.hi = Value(like, std::max(c0, c1));
  return Usable(r);
}

}  // namespace

AxisRange Usable(AxisRange a) {
  if (!std::isfinite(a.lo)) a.lo = a.lo > 0 ? kLimit : -kLimit;
  if (!std::isfinite(a.hi)) a.hi = a.hi > 0 ? kLimit : -kLimit;
  if (std::isnan(a.lo) || std::isnan(a.hi)) a.lo = 0, a.hi = 1;
  if (a.lo > a.hi) std::swap(a.lo, a.hi);
  a.lo = std::clamp(a.lo, -kLimit, kLimit);
  a.hi = std::clamp(a.hi, -kLimit, kLimit);
  if (a.log) {
    if (a.hi <= 0) a.hi = 10;
    if (a.lo <= 0) a.lo = a.hi / 1000;
    a.lo = std::max(a.lo, 1e-300);
    const double c0 = std::log10(a.lo), c1 = std::log10(a.hi);
    if (c1 - c0 < 1e-9) {
      const double mid = (c0 + c1) / 2;
      a.lo = std::pow(10.0, mid - 0.5);
      a.hi = std::pow(10.0, mid + 0.5);
    }
    return a;
  }
  const double magnitude = std::max({std::fabs(a.lo), std::fabs(a.hi), 1e-300});
  if (a.hi - a.lo < magnitude * kMinRelativeSpan) {
    const double mid = a.lo / 2 + a.hi / 2;
    const double half = std::max(std::fabs(mid) * kMinRelativeSpan, 1e-300);
    a.lo = mid - half;
    a.hi = mid + half;
  }
  return a;
}

double ToFraction(const AxisRange& a, double v) {
  if (a.log && !(v > 0)) return std::numeric_limits<double>::quiet_NaN();
  const double c0 = Coord(a, a.lo), c1 = Coord(a, a.hi);
  return (Coord(a, v) - c0) / (c1 - c0);
}

double FromFraction(const AxisRange& a, double f) {
  const double c0 = Coord(a, a.lo), c1 = Coord(a, a.hi);
  return Value(a, c0 + f * (c1 - c0));
}

AxisRange ZoomAbout(const AxisRange& a, double anchor, double factor) {
  if (!(factor > 0) || !std::isfinite(factor)) return a;
  const double c0 = Coord(a, a.lo), c1 = Coord(a, a.hi);
  const double at = c0 + anchor * (c1 - c0);
  // Zoomed in no further than the values can tell apart: the anchor stays.
  if (factor < 1 && !a.log) {
    const double magnitude = std::max(std::fabs(a.lo), std::fabs(a.hi));
    if ((c1 - c0) * factor < magnitude * kMinRelativeSpan * 10) return a;
  }
  if (factor < 1 && a.log && (c1 - c0) * factor < 1e-9) return a;
  if (factor > 1 && a.log && (c1 - c0) * factor > 600) return a;
  return FromCoords(a, at - (at - c0) * factor, at + (c1 - at) * factor);
}

AxisRange Pan(const AxisRange& a, double shift) {
  const double c0 = Coord(a, a.lo), c1 = Coord(a, a.hi);
  const double d = shift * (c1 - c0);
  AxisRange r = FromCoords(a, c0 + d, c1 + d);
  // At the edge of the representable values the span is kept, not squeezed.
  if (!a.log && (c1 + d > kLimit || c0 + d < -kLimit)) return a;
  if (a.log && (c1 + d > 300 || c0 + d < -300)) return a;
  return r;
}

AxisRange Between(const AxisRange& a, double from, double to) {
  if (std::fabs(to - from) < 1e-3) return a;
  const double c0 = Coord(a, a.lo), c1 = Coord(a, a.hi);
  return FromCoords(a, c0 + from * (c1 - c0), c0 + to * (c1 - c0));
}

AxisRange FitValues(std::span<const double> values, bool log) {
  AxisRange r{0, 0, log};
  double lo = std::numeric_limits<double>::infinity(), hi = -lo;
  for (double v : values) {
    if (!std::isfinite(v) || (log && !(v > 0))) continue;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  if (!(lo <= hi)) return log ? AxisRange{1, 10, true} : AxisRange{0, 1, false};
  if (log) {
    const double c0 = std::log10(lo), c1 = std::log10(hi);
    const double m = c1 > c0 ? (c1 - c0) * 0.05 : 0.5;
    r.lo = std::pow(10.0, c0 - m);
    r.hi = std::pow(10.0, c1 + m);
    return Usable(r);
  }
  if (hi > lo) {
    const double m = (hi - lo) * 0.05;
    r.lo = lo - m;
    r.hi = hi + m;
    if (!std::isfinite(r.lo) || !std::isfinite(r.hi)) r.lo = lo, r.hi = hi;
    return Usable(r);
  }
  // A constant: a tenth of its size either side, or 1 either side of 0.
  const double half = lo == 0 ? 1 : std::fabs(lo) * 0.1;
  r.lo = lo - half;
  r.hi = hi + half;
  return Usable(r);
}

}  // namespace zel::plot
