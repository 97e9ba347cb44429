#pragma once
// The visible part of a plot: a range on each axis, linear or logarithmic,
// and the arithmetic of the mouse on it (zoom about a point, pan, zoom to a
// rectangle, fit to the data). Positions are fractions of the plot area:
// 0 at an axis's low end, 1 at its high end.
#include <span>

namespace zel::plot {

struct AxisRange {
  double lo = 0;
  double hi = 1;
  bool log = false;

  bool operator==(const AxisRange&) const = default;
};

struct PlotView {
  AxisRange x;
  AxisRange y{0, 1, false};
};

// Where a value lies on the axis, as a fraction (outside 0..1 when it lies
// outside the range). NaN for a value a logarithmic axis cannot show (<= 0).
double ToFraction(const AxisRange& axis, double value);
double FromFraction(const AxisRange& axis, double fraction);

// Zoomed by `factor` (below 1 zooms in) about the value at `anchor`, which
// stays where it is. The span stays within what doubles can tell apart
// and no end goes past 1e300.
AxisRange ZoomAbout(const AxisRange& axis, double anchor, double factor);

// Moved by `shift` times the span (positive: towards higher values).
AxisRange Pan(const AxisRange& axis, double shift);

// The range between two positions (in either order), as the rectangle
// drawn with Shift gives; the axis unchanged when they are too close.
AxisRange Between(const AxisRange& axis, double from, double to);

// A range that shows every finite value of `values` (on a logarithmic axis
// every positive one) with a margin of 5% of the span (on a logarithmic
// axis of the decades). A single value gets a span of its own around it;
// no value at all gives 0..1 (1..10 on a logarithmic axis).
AxisRange FitValues(std::span<const double> values, bool log);

// A range the axis can show: lo < hi, both finite, positive on a
// logarithmic axis (a range reaching 0 or below keeps its high end and
// spans three decades under it).
AxisRange Usable(AxisRange axis);

}  // namespace zel::plot
