#pragma once
// Base of the library's native objects: members listed by name, and the
// read-only collections (Item and Count) several of them return.
#include <cstdint>
#include <string_view>
#include <vector>

#include "vbs/object.h"
#include "vbs/value_conv.h"
#include "vbs/variant.h"

namespace vbs::lib {

// Native object with members listed by name (Members()): a class whose
// default member is listed first gets id 0 for it.
class LibObject : public HostObject {
 public:
  int FindMember(std::u16string_view name) const override { return Members().Find(name); }

 protected:
  virtual MemberTable Members() const = 0;
  // `obj.Collection(i)`: a property without parameters called with
  // arguments passes them on to the default member of what it returns.
  static void ApplyDefault(Variant& result, Args& a);
};

// A read-only collection: Item (the default member) and Count, and For
// Each over its items. What the items are, and how Item finds one, is the
// subclass's.
class Collection : public LibObject {
 public:
  void Invoke(int member, InvokeKind kind, Args& a, Variant& result) final;
  bool Enumerate(std::vector<Variant>& out) override = 0;

 protected:
  // The item for Item's argument; raises when there is none.
  virtual Variant Item(const Variant& key) = 0;
  virtual int32_t Count() = 0;
  MemberTable Members() const final;
};

// Object creation by class name, as CreateObject and New use it.
Ref<HostObject> CreateDictionary();
Ref<HostObject> CreateRegExpObject();
Ref<HostObject> CreateFileSystemObject();

}  // namespace vbs::lib
