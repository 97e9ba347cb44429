#pragma once
// The global namespace: one slot per name (what the name is) beside one
// value cell per name, the index from folded names to slots, and the order
// procedures were declared in. Compiled code keeps slot numbers and cell
// addresses, so slots are only ever added, and cells never move.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ast.h"
#include "engine/name_index.h"
#include "vbs/engine.h"
#include "vbs/variant.h"

namespace vbs {

// Lower-cases ASCII letters: the key for case-insensitive name tables.
std::u16string FoldName(std::u16string_view s);
// The same into `out`, whose buffer a caller folding many names reuses;
// returns the folded name's NameIndex::Hash, computed on the way.
uint64_t FoldNameInto(std::u16string_view s, std::u16string& out);

// What a global name is, and what it holds when that is code.
struct GlobalSlot {
  enum Kind : uint8_t { Undefined, Var, Implicit, Const, Procedure, Class, HostObj, ErrObj };
  Kind kind = Undefined;
  std::u16string_view name;  // kept by the GlobalTable
  Proc* proc = nullptr;
  ClassDef* cls = nullptr;
  std::shared_ptr<Program> owner;  // keeps proc / class alive
  bool listed = false;             // in the procedure list already
};

// Global variable storage: chunks that never move (ByRef arguments point
// into them) with constant-time indexing.
class GlobalValues {
 public:
  Variant& operator[](size_t i) { return chunks_[i >> kShift][i & kMask]; }
  size_t size() const { return size_; }
  void push_back(Variant v) {
    if ((size_ >> kShift) >= chunks_.size()) chunks_.emplace_back(new Variant[kChunk]);
    (*this)[size_] = std::move(v);
    ++size_;
  }
  void emplace_back() { push_back(Variant()); }
  void clear() {
    chunks_.clear();
    size_ = 0;
  }
  template <class F>
  void ForEach(F&& fn) {
    for (size_t i = 0; i < size_; ++i) fn((*this)[i]);
  }

 private:
  static constexpr size_t kShift = 10, kChunk = size_t(1) << kShift, kMask = kChunk - 1;
  std::vector<std::unique_ptr<Variant[]>> chunks_;
  size_t size_ = 0;
};

// What one compiled text declares, handed by the resolver to the
// interpreter in one piece once the whole text has resolved.
struct Declarations {
  struct Redeclared {
    int slot;
    GlobalSlot::Kind kind;
  };
  // New global slots, numbered on from the table's count. The names are
  // views of the compiled text's nodes until the commit copies them.
  struct NewName {
    std::u16string_view name;
    GlobalSlot::Kind kind;
  };
  std::vector<NewName> newSlots;
  void NewSlot(std::u16string_view name, GlobalSlot::Kind kind) { newSlots.push_back({name, kind}); }
  // Folded name -> slot number, for the new slots only.
  NameIndex index;
  // Existing slots the text declares again (an implicit variable declared,
  // a procedure replaced).
  std::vector<Redeclared> redeclared;
  // The global slot of each procedure (unless procsLocal) and class of the
  // text, in the program's order.
  std::vector<int> procSlots;
  std::vector<int> classSlots;
  // Execute inside a procedure: the text's procedures belong to that call,
  // not to the global namespace.
  bool procsLocal = false;
  // Names that Execute declares in the procedure's scope (in slot order).
  std::vector<std::u16string> newExtras;
};

class GlobalTable {
 public:
  GlobalSlot& slot(size_t i) { return slots_[i]; }
  const GlobalSlot& slot(size_t i) const { return slots_[i]; }
  Variant& value(size_t i) { return values_[i]; }
  int count() const { return int(slots_.size()); }
  // The slot of a folded name, or -1.
  int Find(std::u16string_view folded) const { return Find(folded, NameIndex::Hash(folded)); }
  int Find(std::u16string_view folded, uint64_t hash) const {
    const int* v = index_.Find(folded, hash);
    return v ? *v : -1;
  }
  // A new slot of `kind` for `name` (`folded` its key), holding `value`.
  int Add(std::u16string_view name, std::u16string_view folded, GlobalSlot::Kind kind, Variant value);
  // The declarations of a text that compiled: its new names become slots,
  // its procedures and classes (owned by `prog`) go into theirs.
  void Commit(Declarations& d, const std::shared_ptr<Program>& prog);
  // The global procedures in the order they were first declared.
  std::vector<ProcedureInfo> Procedures() const;
  std::vector<GlobalNameInfo> GlobalNames() const;
  // Releases every value the script holds (the host's objects last).
  void ReleaseValues();
  void Clear();

 private:
  GlobalValues values_;
  std::vector<GlobalSlot> slots_;
  // A copy of `name` that lives as long as the table.
  std::u16string_view KeepName(std::u16string_view name);
  NameIndex index_;  // folded name -> slot
  std::vector<int> procOrder_;  // slots of procedures, declaration order
  // The slots' names, one after another in blocks that never move.
  std::vector<std::unique_ptr<char16_t[]>> nameBlocks_;
  char16_t* nameCur_ = nullptr;
  size_t nameLeft_ = 0;
};

}  // namespace vbs
