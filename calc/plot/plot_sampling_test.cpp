// Sampling through the engine, the values for the clipboard, the settings
// of the window and the zelPlot object, without a screen.
#include <gtest/gtest.h>

#include <cmath>

#include "plot_sampling.h"
#include "plot_setup.h"
#include "settings_store.h"
#include "vbs/engine.h"
#include "vbs/value_conv.h"
#include "zel_plot_object.h"

namespace zel::plot {
namespace {

std::u16string EvalText(vbs::Engine& e, std::u16string_view text) {
  vbs::Variant v;
  EXPECT_TRUE(e.Eval(text, v));
  return vbs::ToText(v);
}

TEST(PlotSampling, PlansSpanTheRangeEndsIncluded) {
  EXPECT_EQ(SamplePlan(0, 1, 5, false), (std::vector<double>{0, 0.25, 0.5, 0.75, 1}));
  EXPECT_EQ(SamplePlan(1, 0, 3, false), (std::vector<double>{0, 0.5, 1}));
  const auto log = SamplePlan(1, 1000, 4, true);
  ASSERT_EQ(log.size(), 4u);
  EXPECT_NEAR(log[1], 10, 1e-9);
  EXPECT_NEAR(log[2], 100, 1e-9);
  EXPECT_EQ(log[3], 1000);
  EXPECT_EQ(SamplePlan(0, 1, 1, false).size(), 2u);
  EXPECT_EQ(SamplePlan(0, 1, 1'000'000, false).size(), 100000u);
  EXPECT_TRUE(SamplePlan(2, 2, 10, false).empty());
  EXPECT_TRUE(SamplePlan(0, 10, 10, true).empty());
  EXPECT_TRUE(SamplePlan(0, INFINITY, 10, false).empty());
}

TEST(PlotSampling, FailingSamplesAreGapsCountedWithTheFirstError) {
  vbs::Engine e;
  ASSERT_TRUE(e.AddCode(u"Function Half(v)\r\nIf v >= 2 Then Half = \"big\" Else Half = v / 2\r\nEnd Function\r\n"));
  const TraceSamples s = SampleExpression(e, u"Half(1 / x)", SamplePlan(-1, 1, 5, false));
  // x = -1, -0.5, 0, 0.5, 1: 0 divides by zero, 0.5 gives a text.
  ASSERT_EQ(s.y.size(), 5u);
  EXPECT_EQ(s.y[0], -0.5);
  EXPECT_EQ(s.y[1], -1);
  EXPECT_TRUE(std::isnan(s.y[2]));
  EXPECT_TRUE(std::isnan(s.y[3]));
  EXPECT_EQ(s.y[4], 0.5);
  EXPECT_EQ(s.gaps, 2);
  EXPECT_EQ(s.firstError, u"Division by zero (x = 0)");
  EXPECT_TRUE(s.compileError.empty());
  EXPECT_FALSE(s.stopped);

  const TraceSamples text = SampleExpression(e, u"Half(x) & \"\"", SamplePlan(0, 1, 2, false));
  EXPECT_EQ(text.gaps, 2);
  EXPECT_EQ(text.firstError, u"Not a number: String (x = 0)");
}

TEST(PlotSampling, TheUsersXIsNeitherReadNorChanged) {
  vbs::Engine e;
  ASSERT_TRUE(e.ExecuteStatement(u"x = 42"));
  const TraceSamples s = SampleExpression(e, u"x * x", SamplePlan(0, 2, 3, false));
  EXPECT_EQ(s.y, (std::vector<double>{0, 1, 4}));
  EXPECT_EQ(EvalText(e, u"x"), u"42");
  vbs::Engine fresh;
  SampleExpression(fresh, u"Sin(x)", SamplePlan(0, 1, 3, false));
  EXPECT_EQ(EvalText(fresh, u"IsEmpty(x)"), u"True");
}

TEST(PlotSampling, AnExpressionThatDoesNotCompileSamplesNothing) {
  vbs::Engine e;
  const TraceSamples s = SampleExpression(e, u"Sin(x", SamplePlan(0, 1, 10, false));
  EXPECT_FALSE(s.compileError.empty());
  EXPECT_TRUE(s.y.empty());
  EXPECT_EQ(s.gaps, 0);
}

TEST(PlotSampling, ValuesAreTabSeparatedWithEmptyGaps) {
  const std::vector<double> xs = {0, 0.5, 1};
  const std::vector<double> a = {1, std::nan(""), 3};
  const std::vector<double> b = {1e-20, 2, 1.0 / 3};
  EXPECT_EQ(ValuesText(xs, {{u"Sin(x)", &a}, {u"x^2", &b}}),
            u"x\tSin(x)\tx^2\r\n0\t1\t1E-20\r\n0.5\t\t2\r\n1\t3\t0.333333333333333\r\n");
}

TEST(PlotSetupStore, SavedTracesAndRangesComeBack) {
  MemorySettingsStore store;
  const PlotSetup fresh = ReadPlotSetup(store);
  EXPECT_EQ(fresh.samples, kDefaultSamples);
  EXPECT_EQ(fresh.traces[2].color, DefaultColor(2));
  EXPECT_EQ(FreeTrace(fresh), 0);

  PlotSetup p;
  p.traces[0] = {u"DarcyFriction(x, 0.05, 50)", 0x123456, true};
  p.traces[3] = {u"Sin(x)/x \u00B0", 0xABCDEF, false};
  p.xFrom = -0.25;
  p.xTo = 1e6;
  p.samples = 12345;
  p.logX = true;
  SavePlotSetup(store, p);
  EXPECT_EQ(store.Get(kPlotSection, "Color1", ""), "#123456");
  EXPECT_EQ(store.Get(kPlotSection, "Show4", ""), "False");
  const PlotSetup back = ReadPlotSetup(store);
  for (int i = 0; i < kMaxTraces; ++i) {
    EXPECT_EQ(back.traces[size_t(i)].expression, p.traces[size_t(i)].expression) << i;
    EXPECT_EQ(back.traces[size_t(i)].color, p.traces[size_t(i)].color) << i;
    EXPECT_EQ(back.traces[size_t(i)].on, p.traces[size_t(i)].on) << i;
  }
  EXPECT_EQ(back.xFrom, -0.25);
  EXPECT_EQ(back.xTo, 1e6);
  EXPECT_EQ(back.samples, 12345);
  EXPECT_TRUE(back.logX);
  EXPECT_FALSE(back.logY);
  EXPECT_EQ(FreeTrace(back), 1);

  // Hand-edited values out of bounds are brought back in.
  store.Set(kPlotSection, "Samples", "5000000");
  store.Set(kPlotSection, "Color2", "red");
  store.Set(kPlotSection, "XTo", "1e999");
  const PlotSetup edited = ReadPlotSetup(store);
  EXPECT_EQ(edited.samples, kMaxSamples);
  EXPECT_EQ(edited.traces[1].color, DefaultColor(1));
  EXPECT_EQ(edited.xTo, 10);
}

class FakeTarget : public PlotTarget {
 public:
  int AddTrace(const std::u16string& expression, double from, double to) override {
    if (added.size() >= 8) return -1;
    added.push_back({expression, from, to});
    return int(added.size()) - 1;
  }
  void ClearTraces() override { added.clear(); }
  struct Added {
    std::u16string expression;
    double from, to;
  };
  std::vector<Added> added;
};

TEST(PlotObject, AddReturnsTheTraceNumberAndRefusesWithError5) {
  FakeTarget target;
  vbs::Engine e;
  e.AddObject(u"zelPlot", vbs::Ref<vbs::HostObject>(new zelPlotObject([&]() -> PlotTarget& { return target; })));
  EXPECT_EQ(EvalText(e, u"zelPlot.Add(\"Sin(x)\", 0, 6.28)"), u"1");
  EXPECT_EQ(EvalText(e, u"zelPlot.Add(\"x\", 5, -5)"), u"2");
  ASSERT_EQ(target.added.size(), 2u);
  EXPECT_EQ(target.added[0].expression, u"Sin(x)");
  EXPECT_EQ(target.added[1].from, -5);
  EXPECT_EQ(target.added[1].to, 5);
  // Not global: only through the object.
  vbs::Variant v;
  EXPECT_FALSE(e.Eval(u"Add(\"x\", 0, 1)", v));

  vbs::Variant out;
  EXPECT_FALSE(e.Eval(u"zelPlot.Add(\"x\", 1, 1)", out));
  EXPECT_EQ(e.Error().Number, 5);
  EXPECT_FALSE(e.Eval(u"zelPlot.Add(\"x\", \"a\", 1)", out));
  EXPECT_EQ(e.Error().Number, 13);
  for (int i = 3; i <= 8; ++i) ASSERT_TRUE(e.Eval(u"zelPlot.Add(\"x\", 0, 1)", out));
  EXPECT_EQ(vbs::ToText(out), u"8");
  EXPECT_FALSE(e.Eval(u"zelPlot.Add(\"x\", 0, 1)", out));
  EXPECT_EQ(e.Error().Number, 5);
  ASSERT_TRUE(e.ExecuteStatement(u"zelPlot.Clear"));
  EXPECT_TRUE(target.added.empty());
  EXPECT_EQ(EvalText(e, u"zelPlot.Add(\"x\", 0, 1)"), u"1");
}

}  // namespace
}  // namespace zel::plot
