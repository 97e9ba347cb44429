// Axis ticks and labels, and the view arithmetic of the mouse, without a
// screen.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "plot_axis.h"
#include "plot_path.h"
#include "plot_view.h"

namespace zel::plot {
namespace {

std::vector<std::string> Labels(const std::vector<Tick>& ticks) {
  std::vector<std::string> out;
  for (const Tick& t : ticks) out.push_back(t.label);
  return out;
}

TEST(PlotAxis, LinearTicksAreRoundAndLabelledAtAnyMagnitude) {
  struct Case {
    double lo, hi;
    std::vector<std::string> labels;
  } cases[] = {
      {0, 10, {"0", "2", "4", "6", "8", "10"}},
      {-1, 1, {"-1", "-0.5", "0", "0.5", "1"}},
      {0.1, 0.35, {"0.1", "0.15", "0.2", "0.25", "0.3", "0.35"}},
      {-3e-12, 4e-12, {"-2p", "0", "2p", "4p"}},
      {0, 5e15, {"0", "1P", "2P", "3P", "4P", "5P"}},
      {-2e15, -1e15, {"-2P", "-1.8P", "-1.6P", "-1.4P", "-1.2P", "-1P"}},
      {1000, 9000, {"2000", "4000", "6000", "8000"}},
      {1000, 10000, {"2k", "4k", "6k", "8k", "10k"}},
      {0, 2e-5, {"0", "5\xC2\xB5", "10\xC2\xB5", "15\xC2\xB5", "20\xC2\xB5"}},
      {1e30, 5e30, {"1e30", "2e30", "3e30", "4e30", "5e30"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Labels(LinearTicks(c.lo, c.hi, 6)), c.labels) << c.lo << " .. " << c.hi;
  }
  // A tick on zero is exactly zero, not a rounding remainder.
  for (const Tick& t : LinearTicks(-0.3, 0.3, 6))
    if (t.label == "0") {
      EXPECT_EQ(t.value, 0.0);
    }
}

TEST(PlotAxis, RangesWithoutTicksGiveNone) {
  EXPECT_TRUE(LinearTicks(1, 1, 6).empty());
  EXPECT_TRUE(LinearTicks(2, 1, 6).empty());
  EXPECT_TRUE(LinearTicks(0, std::numeric_limits<double>::infinity(), 6).empty());
  EXPECT_TRUE(LogTicks(0, 10, 6).empty());
  EXPECT_TRUE(LogTicks(-1, 10, 6).empty());
}

TEST(PlotAxis, LogTicksAreDecadesOrTheirSteps) {
  EXPECT_EQ(Labels(LogTicks(1e-3, 1e3, 8)), (std::vector<std::string>{"0.001", "0.01", "0.1", "1", "10", "100", "1000"}));
  // Many decades: every n-th, on the prefixes' decades.
  EXPECT_EQ(Labels(LogTicks(1e-12, 1e15, 6)),
            (std::vector<std::string>{"1p", "1\xC2\xB5", "1", "1M", "1T"}));
  // Within two decades: 1, 2 and 5.
  EXPECT_EQ(Labels(LogTicks(1, 100, 10)), (std::vector<std::string>{"1", "2", "5", "10", "20", "50", "100"}));
  // Inside one step of those: linear ticks.
  EXPECT_EQ(Labels(LogTicks(2.1, 4.9, 6)), (std::vector<std::string>{"2.5", "3", "3.5", "4", "4.5"}));
}

TEST(PlotAxis, ReadoutKeepsSixDigits) {
  EXPECT_EQ(ReadoutText(3.14159265), "3.14159");
  EXPECT_EQ(ReadoutText(-2.5e-9), "-2.5n");
  EXPECT_EQ(ReadoutText(1234567), "1.23457M");
  EXPECT_EQ(ReadoutText(0), "0");
  EXPECT_EQ(ReadoutText(std::nan("")), "-");
}

TEST(PlotView, ZoomKeepsTheValueUnderTheAnchor) {
  const AxisRange lin{0, 10, false};
  const AxisRange in = ZoomAbout(lin, 0.3, 0.5);
  EXPECT_DOUBLE_EQ(FromFraction(in, 0.3), 3);
  EXPECT_DOUBLE_EQ(in.hi - in.lo, 5);
  EXPECT_DOUBLE_EQ(in.lo, 1.5);

  const AxisRange log{1, 1e4, true};
  const AxisRange out = ZoomAbout(log, 0.25, 2);  // 10 is a quarter of the way
  EXPECT_NEAR(FromFraction(out, 0.25), 10, 1e-9);
  EXPECT_NEAR(std::log10(out.hi) - std::log10(out.lo), 8, 1e-9);

  // No zooming in past what doubles tell apart; the range stays.
  const AxisRange narrow{1e15, 1e15 + 1, false};
  EXPECT_EQ(ZoomAbout(narrow, 0.5, 1e-6), narrow);
}

TEST(PlotView, PanMovesBySharesOfTheSpan) {
  EXPECT_EQ(Pan(AxisRange{0, 10, false}, 0.25), (AxisRange{2.5, 12.5, false}));
  EXPECT_EQ(Pan(AxisRange{-4, -2, false}, -1), (AxisRange{-6, -4, false}));
  const AxisRange log = Pan(AxisRange{1, 100, true}, 0.5);
  EXPECT_NEAR(log.lo, 10, 1e-9);
  EXPECT_NEAR(log.hi, 1000, 1e-9);
  // At the edge of the doubles the range is not squeezed.
  EXPECT_EQ(Pan(AxisRange{0, 1e300, false}, 1), (AxisRange{0, 1e300, false}));
}

TEST(PlotView, RectangleZoomTakesTheRangeBetween) {
  const AxisRange r = Between(AxisRange{0, 100, false}, 0.6, 0.2);
  EXPECT_DOUBLE_EQ(r.lo, 20);
  EXPECT_DOUBLE_EQ(r.hi, 60);
  EXPECT_EQ(Between(AxisRange{0, 100, false}, 0.5, 0.5001), (AxisRange{0, 100, false}));
}

TEST(PlotView, FitShowsEveryValueAndSensibleRangesForDegenerateData) {
  const double nan = std::nan("");
  const double mixed[] = {nan, -2, 8, nan};
  EXPECT_EQ(FitValues(mixed, false), (AxisRange{-2.5, 8.5, false}));
  const double constant[] = {5, 5, 5};
  EXPECT_EQ(FitValues(constant, false), (AxisRange{4.5, 5.5, false}));
  const double zeros[] = {0, 0};
  EXPECT_EQ(FitValues(zeros, false), (AxisRange{-1, 1, false}));
  const double gaps[] = {nan, nan};
  EXPECT_EQ(FitValues(gaps, false), (AxisRange{0, 1, false}));
  EXPECT_EQ(FitValues(gaps, true), (AxisRange{1, 10, true}));
  const double tiny[] = {1e-12, 3e-12};
  const AxisRange t = FitValues(tiny, false);
  EXPECT_LT(t.lo, 1e-12);
  EXPECT_GT(t.hi, 3e-12);
  EXPECT_FALSE(LinearTicks(t.lo, t.hi, 6).empty());
  const double hugeConst[] = {1e15, 1e15};
  const AxisRange h = FitValues(hugeConst, false);
  EXPECT_EQ(h, (AxisRange{0.9e15, 1.1e15, false}));
  EXPECT_FALSE(LinearTicks(h.lo, h.hi, 6).empty());
  // A logarithmic axis leaves out what it cannot show.
  const double withNegative[] = {-5, 10, 1000};
  const AxisRange l = FitValues(withNegative, true);
  EXPECT_NEAR(std::log10(l.lo), 0.9, 1e-9);
  EXPECT_NEAR(std::log10(l.hi), 3.1, 1e-9);
  const double constantLog[] = {100};
  const AxisRange cl = FitValues(constantLog, true);
  EXPECT_NEAR(cl.lo, std::pow(10.0, 1.5), 1e-9);
}

TEST(PlotView, UsableRangesForAnyInput) {
  EXPECT_EQ(Usable(AxisRange{5, 1, false}), (AxisRange{1, 5, false}));
  const AxisRange log = Usable(AxisRange{-3, 100, true});
  EXPECT_DOUBLE_EQ(log.lo, 0.1);
  const AxisRange inf = Usable(AxisRange{-std::numeric_limits<double>::infinity(), 1, false});
  EXPECT_EQ(inf.lo, -1e300);
}

TEST(PlotPath, LinesBreakAtGapsAndShrinkToThePixelColumns) {
  PlotView view{{0, 10, false}, {0, 10, false}};
  const std::vector<double> xs = {0, 1, 2, 3, 4, 5};
  const double nan = std::nan("");
  const auto lines = TraceLines(xs, {0, 1, nan, 3, 4, 5}, view, 100, 100);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 2u);
  EXPECT_EQ(lines[1].size(), 3u);
  EXPECT_DOUBLE_EQ(lines[1][0].x, 30);
  EXPECT_DOUBLE_EQ(lines[1][0].y, 70);

  // 10,000 samples across 100 pixels: at most four points a column, and
  // the column's extremes kept.
  std::vector<double> manyX, manyY;
  for (int i = 0; i < 10000; ++i) {
    manyX.push_back(i / 1000.0);
    manyY.push_back(i % 2 ? 9 : 1);
  }
  const auto dense = TraceLines(manyX, manyY, view, 100, 100);
  ASSERT_EQ(dense.size(), 1u);
  EXPECT_LE(dense[0].size(), 400u);
  double top = 1e9, bottom = -1e9;
  for (const PixelPoint& p : dense[0]) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  EXPECT_DOUBLE_EQ(top, 10);
  EXPECT_DOUBLE_EQ(bottom, 90);

  // A logarithmic y axis cannot show 0 or below: gaps there.
  PlotView logY{{0, 10, false}, {1, 100, true}};
  EXPECT_EQ(TraceLines(xs, {1, 10, 0, -1, 10, 100}, logY, 100, 100).size(), 2u);
}

TEST(PlotPath, ValueAtReadsBetweenSamples) {
  const std::vector<double> xs = {0, 1, 2, 3};
  const std::vector<double> ys = {0, 10, std::nan(""), 30};
  EXPECT_DOUBLE_EQ(ValueAt(xs, ys, 0.5), 5);
  EXPECT_DOUBLE_EQ(ValueAt(xs, ys, 3), 30);
  EXPECT_TRUE(std::isnan(ValueAt(xs, ys, 1.5)));
  EXPECT_TRUE(std::isnan(ValueAt(xs, ys, -1)));
}

}  // namespace
}  // namespace zel::plot
