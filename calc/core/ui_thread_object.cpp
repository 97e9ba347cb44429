#include "ui_thread_object.h"

#include "script_runner.h"

namespace zel {

UiThreadObject::~UiThreadObject() {
  ScriptRunner::RunOnUiThread([this] { inner_ = nullptr; });
}

int UiThreadObject::FindMember(std::u16string_view name) const {
  int member = -1;
  ScriptRunner::RunOnUiThread([&] { member = inner_->FindMember(name); });
  return member;
}

void UiThreadObject::Invoke(int member, vbs::InvokeKind kind, vbs::Args& args,
                            vbs::Variant& result) {
  ScriptRunner::RunOnUiThread([&] { inner_->Invoke(member, kind, args, result); });
}

std::u16string UiThreadObject::TypeName() const {
  std::u16string name;
  ScriptRunner::RunOnUiThread([&] { name = inner_->TypeName(); });
  return name;
}

bool UiThreadObject::Enumerate(std::vector<vbs::Variant>& items) {
  bool ok = false;
  ScriptRunner::RunOnUiThread([&] { ok = inner_->Enumerate(items); });
  return ok;
}

}  // namespace zel
