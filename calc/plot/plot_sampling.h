#pragma once
// Sampling a trace's expression over x through the script engine. The
// expression is compiled once as a function of its own x (the user's
// global x, if any, is neither read nor changed); a sample that raises or
// gives something that is not a number is a gap (NaN).
#include <optional>
#include <string>
#include <vector>

namespace vbs {
class Engine;
}

namespace zel::plot {

// `count` x values from `from` to `to`, both ends included, evenly spaced
// (by ratio on a logarithmic axis). `count` is kept within 2..100,000; the
// ends are swapped when reversed. Empty when the range cannot be sampled
// (not finite, empty, or not above 0 on a logarithmic axis).
std::vector<double> SamplePlan(double from, double to, int count, bool log);

struct TraceSamples {
  std::vector<double> y;          // one per x; NaN for a gap
  int gaps = 0;
  std::u16string firstError;      // what made the first gap, with its x
  std::u16string compileError;    // set: nothing was sampled
  bool stopped = false;           // Stop ended the sampling (the rest are gaps)
};

// Samples `expression` at every x of `xs` in `engine`, on the calling
// thread (the engine's own). One compile, then one run of all the calls.
TraceSamples SampleExpression(vbs::Engine& engine, std::u16string_view expression,
                              const std::vector<double>& xs);

// Tab-separated text of the samples for the clipboard: a heading line
// ("x", then each trace's expression), then one line per x with each
// trace's value (empty for a gap) in the general number format; lines end
// with CR LF.
struct ValueColumn {
  std::u16string heading;
  const std::vector<double>* y;
};
std::u16string ValuesText(const std::vector<double>& xs, const std::vector<ValueColumn>& columns);

}  // namespace zel::plot
