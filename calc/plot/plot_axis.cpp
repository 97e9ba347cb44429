#include "plot_axis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zel::plot {

namespace {

// SI prefixes from 1e-24 to 1e24, three decades apart; index 8 is none.
constexpr const char* kPrefixes[] = {"y", "z", "a", "f", "p", "n", "\xC2\xB5", "m", "",
                                     "k", "M", "G", "T", "P", "E", "Z", "Y"};
constexpr int kNoPrefix = 8;

bool Everyday(double magnitude) { return magnitude == 0 || (magnitude >= 1e-3 && magnitude < 1e4); }

// The exponent (a multiple of 3) of the prefix for a magnitude.
int PrefixExponent(double magnitude) {
  return int(std::floor(std::log10(magnitude) / 3.0)) * 3;
}

std::string Fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", std::clamp(decimals, 0, 15), v);
  std::string s = buf;
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return s;
}

int DecimalsFor(double step) {
  if (!(step > 0)) return 0;
  // A hair below an integer power (0.1 stored as 0.09999...) counts as it.
  return std::max(0, int(-std::floor(std::log10(step) + 1e-9)));
}

}  // namespace

double NiceStep(double span, int maxTicks) {
  if (!(span > 0) || !std::isfinite(span)) return 0;
  const double raw = span / std::max(1, maxTicks);
  const double mag = std::pow(10.0, std::floor(std::log10(raw)));
  const double norm = raw / mag;
  const double nice = norm <= 1 ? 1 : norm <= 2 ? 2 : norm <= 5 ? 5 : 10;
  return nice * mag;
}

std::string TickLabel(double value, double step, double magnitude) {
  if (value == 0) return "0";
  if (Everyday(magnitude)) return Fixed(value, DecimalsFor(step));
  const int exp = PrefixExponent(magnitude);
  const double scale = std::pow(10.0, exp);
  const int decimals = DecimalsFor(step / scale);
  if (exp >= -24 && exp <= 24) return Fixed(value / scale, decimals) + kPrefixes[kNoPrefix + exp / 3];
  return Fixed(value / scale, decimals) + "e" + std::to_string(exp);
}

std::string ReadoutText(double value) {
  if (!std::isfinite(value)) return "-";
  if (value == 0) return "0";
  const double mag = std::fabs(value);
  char buf[64];
  if (Everyday(mag)) {
    std::snprintf(buf, sizeof buf, "%.6g", value);
    return buf;
  }
  const int exp = PrefixExponent(mag);
  std::snprintf(buf, sizeof buf, "%.6g", value / std::pow(10.0, exp));
  if (exp >= -24 && exp <= 24) return std::string(buf) + kPrefixes[kNoPrefix + exp / 3];
  return std::string(buf) + "e" + std::to_string(exp);
}

std::vector<Tick> LinearTicks(double lo, double hi, int maxTicks) {
  std::vector<Tick> out;
  if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi)) return out;
  const double step = NiceStep(hi - lo, maxTicks);
  if (!(step > 0)) return out;
  const double magnitude = std::max(std::fabs(lo), std::fabs(hi));
  const double first = std::ceil(lo / step - 1e-9);
  const double last = std::floor(hi / step + 1e-9);
  // A span too narrow for the values' own precision has no distinct ticks.
  if (last - first > 1000 || first == first + 1) return out;
  for (double k = first; k <= last; ++k) {
    double v = k * step;
    if (std::fabs(v) < step * 1e-9) v = 0;
    out.push_back({v, TickLabel(v, step, magnitude)});
  }
  return out;
}

std::vector<Tick> LogTicks(double lo, double hi, int maxTicks) {
  std::vector<Tick> out;
  if (!(lo > 0) || !(hi > lo) || !std::isfinite(hi)) return out;
  const double a = std::log10(lo), b = std::log10(hi);
  const int first = int(std::ceil(a - 1e-9)), last = int(std::floor(b + 1e-9));
  const int decades = last - first + 1;
  auto add = [&](double v) { out.push_back({v, TickLabel(v, v, std::fabs(v))}); };
  if (decades > std::max(1, maxTicks)) {
    int stride = (decades + maxTicks - 1) / std::max(1, maxTicks);
    // Past two, a multiple of three: the ticks fall on the prefixes.
    if (stride > 2) stride = (stride + 2) / 3 * 3;
    for (int k = first; k <= last; ++k)
      if (k % stride == 0) add(std::pow(10.0, k));
    return out;
  }
  if (b - a > 2.5 || decades * 3 > maxTicks) {
    for (int k = first; k <= last; ++k) add(std::pow(10.0, k));
    if (decades >= 2) return out;
  }
  // Less than a few decades: 1, 2 and 5 of each.
  out.clear();
  for (int k = int(std::floor(a)); k <= last; ++k) {
    for (double m : {1.0, 2.0, 5.0}) {
      const double v = m * std::pow(10.0, k);
      if (v >= lo * (1 - 1e-12) && v <= hi * (1 + 1e-12)) add(v);
    }
  }
  if (out.size() >= 2) return out;
  // Within one stretch between those: the linear axis's ticks.
  return LinearTicks(lo, hi, maxTicks);
}

}  // namespace zel::plot
