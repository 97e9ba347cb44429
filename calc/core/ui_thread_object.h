#pragma once
// A script object whose calls run on the user-interface thread. zelIO shows
// and fills widgets, which live on that thread; the script that calls it
// runs on the engine's worker and waits for the answer.
#include "vbs/object.h"

namespace zel {

class UiThreadObject : public vbs::HostObject {
 public:
  explicit UiThreadObject(vbs::Ref<vbs::HostObject> inner) : inner_(std::move(inner)) {}
  // The engine may be released on its worker: the inner object is let go
  // on the user-interface thread, where the program holds it too.
  ~UiThreadObject() override;

  int FindMember(std::u16string_view name) const override;
  void Invoke(int member, vbs::InvokeKind kind, vbs::Args& args, vbs::Variant& result) override;
  std::u16string TypeName() const override;
  bool Enumerate(std::vector<vbs::Variant>& items) override;

  const vbs::Ref<vbs::HostObject>& Inner() const { return inner_; }

 private:
  vbs::Ref<vbs::HostObject> inner_;
};

}  // namespace zel
