#pragma once
// zelPlot, the object through which the input line and scripts plot:
// zelPlot.Add(expression, from, to) adds a trace to the plot window (opening
// it) and returns the trace's number 1 to 8; zelPlot.Clear removes every
// trace. Its members are reached only as zelPlot.<member>.
#include <functional>
#include <string>

#include "vbs/object.h"

namespace zel::plot {

// What the object asks of the plot window.
class PlotTarget {
 public:
  virtual ~PlotTarget() = default;
  // Adds the trace with x from `from` to `to` (from < to) and shows it; the
  // trace's 0-based index, or -1 when all eight are in use.
  virtual int AddTrace(const std::u16string& expression, double from, double to) = 0;
  virtual void ClearTraces() = 0;
};

class zelPlotObject : public vbs::HostObject {
 public:
  enum Member { kAdd = 1, kClear };

  // `target` is asked for the window on every call (it may not exist yet).
  explicit zelPlotObject(std::function<PlotTarget&()> target) : target_(std::move(target)) {}

  int FindMember(std::u16string_view name) const override;
  // Add raises 5 when all eight traces are in use or the range is empty
  // (from = to, or an end that is not a finite number); from > to is taken
  // the other way round. Arguments that are not numbers raise 13.
  void Invoke(int member, vbs::InvokeKind kind, vbs::Args& args, vbs::Variant& result) override;
  std::u16string TypeName() const override { return u"zelPlot"; }

 private:
  std::function<PlotTarget&()> target_;
};

}  // namespace zel::plot
