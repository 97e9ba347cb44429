#include "plot_setup.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "leading_number.h"
#include "numtext.h"
#include "settings_store.h"
#include "vbs/textcodec.h"

namespace zel::plot {

const char kPlotSection[] = "frmPlot";

namespace {

constexpr uint32_t kColors[kMaxTraces] = {0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e,
                                          0x9467bd, 0x8c564b, 0xe377c2, 0x17becf};

std::string Key(const char* name, int index) { return name + std::to_string(index + 1); }

bool ReadFlag(const SettingsStore& s, const std::string& key, bool def) {
  const std::string v = s.Get(kPlotSection, key, def ? "True" : "False");
  if (v == "True" || v == "true" || v == "TRUE") return true;
  if (v == "False" || v == "false" || v == "FALSE") return false;
  return def;
}

double ReadDouble(const SettingsStore& s, const std::string& key, double def) {
  const std::string text = s.Get(kPlotSection, key, "");
  if (text.empty()) return def;
  const double v = LeadingNumber(text);
  return std::isfinite(v) ? v : def;
}

std::optional<uint32_t> ParseColor(const std::string& text) {
  unsigned v = 0;
  char tail = 0;
  if (text.size() != 7 || std::sscanf(text.c_str(), "#%6x%c", &v, &tail) != 1) return std::nullopt;
  return v;
}

}  // namespace

PlotSetup::PlotSetup() {
  for (int i = 0; i < kMaxTraces; ++i) traces[size_t(i)].color = DefaultColor(i);
}

uint32_t DefaultColor(int index) { return kColors[size_t(index) % kMaxTraces]; }

int FreeTrace(const PlotSetup& setup) {
  for (int i = 0; i < kMaxTraces; ++i)
    if (setup.traces[size_t(i)].expression.empty()) return i;
  return -1;
}

int ClampSamples(double samples) {
  if (!(samples >= kMinSamples)) return kMinSamples;
  if (samples > kMaxSamples) return kMaxSamples;
  return int(std::lround(samples));
}

PlotSetup ReadPlotSetup(const SettingsStore& s) {
  PlotSetup p;
  for (int i = 0; i < kMaxTraces; ++i) {
    TraceEntry& t = p.traces[size_t(i)];
    t.expression = vbs::Utf8ToUtf16(s.Get(kPlotSection, Key("Trace", i), ""));
    if (auto c = ParseColor(s.Get(kPlotSection, Key("Color", i), ""))) t.color = *c;
    t.on = ReadFlag(s, Key("Show", i), true);
  }
  p.xFrom = ReadDouble(s, "XFrom", p.xFrom);
  p.xTo = ReadDouble(s, "XTo", p.xTo);
  p.samples = ClampSamples(ReadDouble(s, "Samples", kDefaultSamples));
  p.logX = ReadFlag(s, "LogX", false);
  p.logY = ReadFlag(s, "LogY", false);
  return p;
}

void SavePlotSetup(SettingsStore& s, const PlotSetup& p) {
  for (int i = 0; i < kMaxTraces; ++i) {
    const TraceEntry& t = p.traces[size_t(i)];
    s.Set(kPlotSection, Key("Trace", i), vbs::Utf16ToUtf8(t.expression));
    char color[16];
    std::snprintf(color, sizeof color, "#%06X", unsigned(t.color & 0xFFFFFF));
    s.Set(kPlotSection, Key("Color", i), color);
    s.Set(kPlotSection, Key("Show", i), t.on ? "True" : "False");
  }
  s.Set(kPlotSection, "XFrom", FormatGeneralNumber(p.xFrom));
  s.Set(kPlotSection, "XTo", FormatGeneralNumber(p.xTo));
  s.Set(kPlotSection, "Samples", std::to_string(p.samples));
  s.Set(kPlotSection, "LogX", p.logX ? "True" : "False");
  s.Set(kPlotSection, "LogY", p.logY ? "True" : "False");
}

}  // namespace zel::plot
