#pragma once
// Base of the library's native objects: members listed by name.
#include <string_view>
#include <vector>

#include "vbs/object.h"
#include "vbs/value_conv.h"
#include "vbs/variant.h"

namespace vbs::lib {

// Native object with members listed by name; member ids are positions in
// the list, so a class whose default member is listed first gets id 0.
class LibObject : public HostObject {
 public:
  int FindMember(std::u16string_view name) const override;

 protected:
  virtual const std::vector<const char*>& Members() const = 0;
  // Helpers for Invoke implementations.
  static void NeedArgs(const Args& a, int min, int max);
  // `obj.Collection(i)`: a property without parameters called with
  // arguments passes them on to the default member of what it returns.
  static void ApplyDefault(Variant& result, Args& a);
};

// Object creation by class name, as CreateObject and New use it.
Ref<HostObject> CreateDictionary();
Ref<HostObject> CreateRegExpObject();
Ref<HostObject> CreateFileSystemObject();

}  // namespace vbs::lib
