#include "lib/objbase.h"

namespace vbs::lib {

void LibObject::ApplyDefault(Variant& result, Args& a) {
  if (a.size() == 0) return;
  if (!result.IsObject() || result.IsNothing()) Raise(kErrWrongArgCount);
  const Variant holder = result;
  Variant out;
  holder.object()->Invoke(0, InvokeKind::PropertyGet, a, out);
  result = std::move(out);
}

MemberTable Collection::Members() const {
  static constexpr const char* kNames[] = {"Item", "Count"};
  return MemberTable(kNames);
}

void Collection::Invoke(int member, InvokeKind kind, Args& a, Variant& result) {
  if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) Raise(kErrNoSuchMember);
  if (member == 0) {
    NeedArgs(a, 1, 1);
    result = Item(a[0]);
  } else if (member == 1) {
    NeedArgs(a, 0, 0);
    result = Variant::FromLong(Count());
  } else {
    Raise(kErrNoSuchMember);
  }
}

}  // namespace vbs::lib
