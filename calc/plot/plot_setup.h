#pragma once
// What the plot window shows and keeps between runs: up to eight traces
// (an expression in x, a colour, shown or not), the range of x, the number
// of samples and the kind of each axis; and how it is kept in the settings
// section "frmPlot".
#include <array>
#include <cstdint>
#include <string>

namespace zel {
class SettingsStore;
}

namespace zel::plot {

constexpr int kMaxTraces = 8;
constexpr int kDefaultSamples = 1000;
constexpr int kMinSamples = 2;
constexpr int kMaxSamples = 100000;
extern const char kPlotSection[];  // "frmPlot"

struct TraceEntry {
  std::u16string expression;  // empty: the trace is not in use
  uint32_t color = 0;         // 0xRRGGBB
  bool on = true;
};

struct PlotSetup {
  std::array<TraceEntry, kMaxTraces> traces;
  double xFrom = 0;
  double xTo = 10;
  int samples = kDefaultSamples;
  bool logX = false;
  bool logY = false;

  PlotSetup();  // each trace with its default colour
};

// The colour trace `index` (0-based) starts with: eight that tell apart on
// white and in print.
uint32_t DefaultColor(int index);

// The first trace not in use, or -1 when all eight are.
int FreeTrace(const PlotSetup& setup);

// Samples kept within kMinSamples..kMaxSamples.
int ClampSamples(double samples);

// Keys: "Trace1".."Trace8" (expression), "Color1".. ("#RRGGBB"), "Show1"..
// ("True"/"False"), "XFrom", "XTo", "Samples", "LogX", "LogY". Absent or
// unreadable keys give the defaults.
PlotSetup ReadPlotSetup(const SettingsStore& store);
void SavePlotSetup(SettingsStore& store, const PlotSetup& setup);

}  // namespace zel::plot
