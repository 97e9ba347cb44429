#include "zel_plot_object.h"

#include <cmath>
#include <utility>

#include "vbs/value_conv.h"

namespace zel::plot {

namespace {
constexpr const char* kMemberNames[] = {"Add", "Clear"};
}

int zelPlotObject::FindMember(std::u16string_view name) const {
  return vbs::MemberTable(kMemberNames, kAdd).Find(name);
}

void zelPlotObject::Invoke(int member, vbs::InvokeKind kind, vbs::Args& args, vbs::Variant& result) {
  if (member < kAdd || member > kClear) vbs::Raise(vbs::kErrNoSuchMember);
  if (kind == vbs::InvokeKind::PropertyLet || kind == vbs::InvokeKind::PropertySet)
    vbs::Raise(vbs::kErrWrongArgCount);
  if (member == kClear) {
    vbs::NeedArgs(args, 0, 0, vbs::OmittedArgs::Counted);
    target_().ClearTraces();
    return;
  }
  vbs::NeedArgs(args, 3, 3, vbs::OmittedArgs::Counted);
  const std::u16string expression = vbs::ToText(args[0]);
  double from = vbs::ToDouble(args[1]);
  double to = vbs::ToDouble(args[2]);
  if (!std::isfinite(from) || !std::isfinite(to) || from == to) vbs::Raise(vbs::kErrInvalidCall);
  if (from > to) std::swap(from, to);
  const int index = target_().AddTrace(expression, from, to);
  if (index < 0) vbs::Raise(vbs::kErrInvalidCall);
  result = vbs::Variant::FromInteger(index + 1);
}

}  // namespace zel::plot
