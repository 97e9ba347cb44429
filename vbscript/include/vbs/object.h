#pragma once
// Objects seen by scripts: the refcounted base, the interface native host
// objects implement, their argument list, and the smart pointer.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vbs/variant.h"

namespace vbs {

enum class InvokeKind : uint8_t { Method, PropertyGet, PropertyLet, PropertySet };

// Arguments of a call as the callee sees them. Each element is a Variant or
// a ByRef slot (vbByRef) pointing at the caller's variable; operator[]
// resolves that, so writing args[i] writes the caller's variable when the
// caller passed one. For PropertyLet/PropertySet the value being assigned
// is the LAST element, after any index arguments.
class Args {
 public:
  Args() = default;
  Args(Variant* items, int count) : items_(items), count_(count) {}

  int size() const { return count_; }
  Variant& operator[](int i) const { return items_[i].Deref(); }
  // True for an omitted optional argument: f(a,,b) or beyond the end.
  bool Missing(int i) const { return i >= count_ || items_[i].Deref().IsMissing(); }
  // The slot as passed (a vbByRef slot is not resolved).
  Variant& Raw(int i) const { return items_[i]; }

 private:
  Variant* items_ = nullptr;
  int count_ = 0;
};

// Base of everything a Variant of type vbObject points at. Destruction is
// deterministic: when the last reference goes, Finalize() runs at once (a
// script class instance runs Class_Terminate there).
class Object {
 public:
  Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  virtual ~Object() = default;

  void AddRef() { ++refs_; }
  void Release() {
    if (--refs_ == 0) FreeUnreferenced(this);
  }
  uint32_t Refs() const { return refs_; }
  // True for instances of script classes, whose members the engine reaches
  // directly (no dynamic_cast on every member access).
  bool IsScriptClass() const { return scriptClass_; }

  virtual std::u16string TypeName() const = 0;
  // Member by case-insensitive name; -1 if none; 0 is the default member.
  virtual int FindMember(std::u16string_view name) const;
  // Throws ScriptError (438 when the member does not support the kind).
  virtual void Invoke(int member, InvokeKind kind, Args& args, Variant& result);
  // For Each: fills items and returns true; false = not a collection (451).
  virtual bool Enumerate(std::vector<Variant>& items);

 protected:
  // Called when the count drops to zero; the default deletes the object.
  // Overrides may run script code first; they must end by deleting or by
  // taking a new reference.
  virtual void Finalize() { delete this; }
  uint32_t refs_ = 0;
  bool scriptClass_ = false;  // fills padding after refs_

 private:
  friend struct ReleaseQueue;
};

// While one lives, releases happen at once instead of after the object
// being freed: script code run from Finalize (Class_Terminate) sees
// Set x = Nothing take effect where it is written.
class ImmediateReleases {
 public:
  ImmediateReleases();
  ~ImmediateReleases();
  ImmediateReleases(const ImmediateReleases&) = delete;
  ImmediateReleases& operator=(const ImmediateReleases&) = delete;

 private:
  bool saved_;
};

// Native objects offered to scripts (by the host through AddObject, or by
// the library: Dictionary, RegExp, ...).
class HostObject : public Object {
 public:
  int FindMember(std::u16string_view name) const override = 0;
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override = 0;
  std::u16string TypeName() const override = 0;
  bool Enumerate(std::vector<Variant>& items) override { (void)items; return false; }
};

// A native object's members by name: what FindMember looks up. The id of
// a member is its place in the table plus `firstId` (1 for an object whose
// id 0, the default member, has no name of its own).
class MemberTable {
 public:
  template <size_t N>
  constexpr MemberTable(const char* const (&names)[N], int firstId = 0) : names_(names), firstId_(firstId) {}
  // The member's id, or -1 (names match ignoring case).
  int Find(std::u16string_view name) const;

 private:
  std::span<const char* const> names_;
  int firstId_;
};

// How a member call's omitted arguments count.
enum class OmittedArgs : uint8_t {
  // The library's objects and the console host's: omitted arguments at the
  // end are as if not written, and an omitted one the member needs is a
  // wrong number of arguments (450).
  DroppedAtEnd,
  // A compiled class's methods: every argument written counts, and an
  // omitted one the member needs raises 449 "Argument not optional".
  Counted,
};

// The argument-count check of a native member that takes min..max
// arguments: raises 450, or 449 as `omitted` says.
void NeedArgs(const Args& a, int min, int max, OmittedArgs omitted = OmittedArgs::DroppedAtEnd);

// Intrusive smart pointer for Objects (and anything with AddRef/Release).
template <class T>
class Ref {
 public:
  Ref() = default;
  Ref(std::nullptr_t) {}
  Ref(T* p) : p_(p) {  // takes a new reference
    if (p_) p_->AddRef();
  }
  Ref(const Ref& o) : Ref(o.p_) {}
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  template <class U>
  Ref(const Ref<U>& o) : Ref(static_cast<T*>(o.get())) {}
  ~Ref() {
    if (p_) p_->Release();
  }
  Ref& operator=(Ref o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Gives up the reference without releasing it.
  T* Detach() { return std::exchange(p_, nullptr); }

 private:
  T* p_ = nullptr;
};

template <class T, class... A>
Ref<T> MakeRef(A&&... a) {
  return Ref<T>(new T(std::forward<A>(a)...));
}

// Case-insensitive comparison of identifiers (ASCII letters fold; other
// code units compare exactly), for FindMember implementations.
bool NameEquals(std::u16string_view a, std::u16string_view b);
bool NameEquals(std::u16string_view a, const char* ascii);

// The value behind an object's default member (PropertyGet of member 0).
// Throws 91 for Nothing and 438 when there is no default member.
Variant DefaultValue(Object* obj);

}  // namespace vbs
