#pragma once
// Tick marks of a plot axis: round values (1, 2 or 5 times a power of ten,
// or whole decades on a logarithmic axis) and labels that stay short at any
// magnitude, with SI prefixes outside the everyday range ("1p", "2.5M").
#include <string>
#include <vector>

namespace zel::plot {

struct Tick {
  double value;
  std::string label;  // UTF-8 ("µ" for micro)
};

// The round step that puts at most about `maxTicks` ticks on a span.
double NiceStep(double span, int maxTicks);

// Ticks of a linear axis from lo to hi (lo < hi, both finite), about
// `maxTicks` of them at most. Labels share one scale: the larger end's.
std::vector<Tick> LinearTicks(double lo, double hi, int maxTicks);

// Ticks of a logarithmic axis (0 < lo < hi): decades, every n-th when there
// are many; within less than about two decades also 2 and 5 times a decade,
// and linear ticks when even those are too few.
std::vector<Tick> LogTicks(double lo, double hi, int maxTicks);

// `value` as a tick label on an axis of the given magnitude (its larger end,
// absolute) and step: plain decimals from 0.001 up to 10,000, otherwise
// scaled by an SI prefix (y to Y), beyond those in exponent form. As many
// decimals as the step needs, no trailing zeros.
std::string TickLabel(double value, double step, double magnitude);

// A readout value (crosshair): 6 significant digits with the same prefixes.
std::string ReadoutText(double value);

}  // namespace zel::plot
