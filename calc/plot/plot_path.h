#pragma once
// A trace as lines on the screen: its samples mapped into a plot area of
// so many pixels, broken at gaps (and, on a logarithmic axis, at values it
// cannot show), with runs of samples that fall into one pixel column
// reduced to the four that draw the same (first, lowest, highest, last):
// 10,000 samples cost no more to draw than the area is wide.
#include <vector>

#include "plot_view.h"

namespace zel::plot {

struct PixelPoint {
  double x;
  double y;  // downwards, as on the screen
};

using Polyline = std::vector<PixelPoint>;

// Lines of `ys` against `xs` in an area of width x height pixels with its
// top left corner at (0, 0). Points far outside are kept (the painter
// clips); points beyond any sensible pixel range are pulled in to it.
std::vector<Polyline> TraceLines(const std::vector<double>& xs, const std::vector<double>& ys,
                                 const PlotView& view, double width, double height);

// The trace's value at `x` read from its samples: linear between the two
// samples around x, NaN in a gap or outside the samples.
double ValueAt(const std::vector<double>& xs, const std::vector<double>& ys, double x);

}  // namespace zel::plot
