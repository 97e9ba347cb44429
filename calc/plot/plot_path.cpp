#include "plot_path.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zel::plot {

namespace {

// Far enough outside for any screen, near enough for the painter's fixed
// point arithmetic.
constexpr double kFar = 1e6;

struct Column {
  bool open = false;
  long index = 0;
  PixelPoint first, low, high, last;
};

void Flush(Column& c, Polyline& line) {
  if (!c.open) return;
  line.push_back(c.first);
  // Lowest and highest in the order they came, so that the line is one
  // stroke through the column.
  const bool lowFirst = c.low.x <= c.high.x;
  const PixelPoint& a = lowFirst ? c.low : c.high;
  const PixelPoint& b = lowFirst ? c.high : c.low;
  for (const PixelPoint& p : {a, b, c.last}) {
    const PixelPoint& prev = line.back();
    if (p.x != prev.x || p.y != prev.y) line.push_back(p);
  }
  c.open = false;
}

}  // namespace

std::vector<Polyline> TraceLines(const std::vector<double>& xs, const std::vector<double>& ys,
                                 const PlotView& view, double width, double height) {
  std::vector<Polyline> lines;
  Polyline line;
  Column col;
  const size_t n = std::min(xs.size(), ys.size());
  auto endLine = [&] {
    Flush(col, line);
    // A lone sample between gaps stays: it is drawn as a dot.
    if (!line.empty()) lines.push_back(std::move(line));
    line.clear();
  };
  for (size_t i = 0; i < n; ++i) {
    const double fx = ToFraction(view.x, xs[i]);
    const double fy = ToFraction(view.y, ys[i]);
    if (!std::isfinite(fx) || !std::isfinite(fy)) {
      endLine();
      continue;
    }
    const PixelPoint p{std::clamp(fx * width, -kFar, kFar), std::clamp((1 - fy) * height, -kFar, kFar)};
    const long column = long(std::floor(p.x));
    if (col.open && column == col.index) {
      if (p.y > col.high.y) col.high = p;  // y grows downwards: "high" is lower on screen
      if (p.y < col.low.y) col.low = p;
      col.last = p;
      continue;
    }
    Flush(col, line);
    col = {true, column, p, p, p, p};
  }
  endLine();
  return lines;
}

double ValueAt(const std::vector<double>& xs, const std::vector<double>& ys, double x) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const size_t n = std::min(xs.size(), ys.size());
  if (n == 0 || !(x >= xs.front() && x <= xs.back())) return nan;
  const size_t hi = size_t(std::lower_bound(xs.begin(), xs.begin() + long(n), x) - xs.begin());
  if (hi < n && xs[hi] == x) return ys[hi];
  if (hi == 0 || hi >= n) return nan;
  const double y0 = ys[hi - 1], y1 = ys[hi];
  if (!std::isfinite(y0) || !std::isfinite(y1)) return nan;
  const double t = (x - xs[hi - 1]) / (xs[hi] - xs[hi - 1]);
  return y0 + t * (y1 - y0);
}

}  // namespace zel::plot
