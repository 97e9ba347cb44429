#include "lib/objbase.h"

namespace vbs::lib {

int LibObject::FindMember(std::u16string_view name) const {
  const auto& names = Members();
  for (size_t i = 0; i < names.size(); ++i)
    if (NameEquals(name, names[i])) return static_cast<int>(i);
  return -1;
}

void LibObject::NeedArgs(const Args& a, int min, int max) {
  int given = a.size();
  while (given > min && a.Missing(given - 1)) --given;   // trailing omitted arguments
  for (int i = 0; i < min; ++i)
    if (a.Missing(i)) Raise(kErrWrongArgCount);
  if (given < min || given > max) Raise(kErrWrongArgCount);
}

void LibObject::ApplyDefault(Variant& result, Args& a) {
  if (a.size() == 0) return;
  if (!result.IsObject() || result.IsNothing()) Raise(kErrWrongArgCount);
  const Variant holder = result;
  Variant out;
  holder.object()->Invoke(0, InvokeKind::PropertyGet, a, out);
  result = std::move(out);
}

}  // namespace vbs::lib
