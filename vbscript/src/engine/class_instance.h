#pragma once
// An instance of a class the script declared: its fields, and its members
// reached through the interpreter that owns the class's code.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ast.h"
#include "vbs/object.h"
#include "vbs/variant.h"

namespace vbs {

class Interp;

// Instance of a script Class.
class ClassInstance : public Object {
 public:
  ClassInstance(Interp* in, ClassDef* cls, std::shared_ptr<Program> prog,
                std::shared_ptr<bool> alive);
  ~ClassInstance() override;
  std::u16string TypeName() const override { return cls_->name; }
  int FindMember(std::u16string_view name) const override;
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override;

  ClassDef* cls() const { return cls_; }
  std::vector<Variant>& fields() { return fields_; }
  bool initialized = false;

 protected:
  void Finalize() override;

 private:
  Interp* interp_;
  ClassDef* cls_;
  std::shared_ptr<Program> prog_;
  std::shared_ptr<bool> alive_;
  std::vector<Variant> fields_;
};

}  // namespace vbs
