// The global namespace: adding names, committing a compiled text's
// declarations, and releasing the values at the end.
#include "engine/globals.h"

#include <algorithm>

namespace vbs {

uint64_t FoldNameInto(std::u16string_view s, std::u16string& out) {
  out.resize(s.size());
  uint64_t h = NameIndex::kHashStart;
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
    out[i] = c;
    h = NameIndex::HashStep(h, c);
  }
  return NameIndex::HashEnd(h);
}

std::u16string FoldName(std::u16string_view s) {
  std::u16string r;
  FoldNameInto(s, r);
  return r;
}

int GlobalTable::Add(std::u16string_view name, std::u16string_view folded, GlobalSlot::Kind kind,
                     Variant value) {
  const int slot = count();
  GlobalSlot g;
  g.kind = kind;
  g.name = KeepName(name);
  slots_.push_back(std::move(g));
  values_.push_back(std::move(value));
  index_[folded] = slot;
  return slot;
}

std::u16string_view GlobalTable::KeepName(std::u16string_view name) {
  if (name.size() > nameLeft_) {
    const size_t size = std::max<size_t>(name.size(), 8192);
    nameBlocks_.emplace_back(new char16_t[size]);
    nameCur_ = nameBlocks_.back().get();
    nameLeft_ = size;
  }
  char16_t* p = nameCur_;
  std::copy(name.begin(), name.end(), p);
  nameCur_ += name.size();
  nameLeft_ -= name.size();
  return {p, name.size()};
}

void GlobalTable::Commit(Declarations& d, const std::shared_ptr<Program>& prog) {
  // Grown by doubling: texts committed one after another in a long
  // session do not copy the whole table each time.
  const size_t need = slots_.size() + d.newSlots.size();
  if (need > slots_.capacity()) slots_.reserve(std::max(need, slots_.capacity() * 2));
  // The text's own index holds its new names already: the smaller of the
  // two tables is added to the larger, which becomes the table's.
  if (d.index.size() > index_.size()) {
    index_.ForEach([&](std::u16string_view key, uint64_t hash, int slot) { d.index.Insert(key, hash) = slot; });
    std::swap(index_, d.index);
  } else {
    index_.Reserve(need);
    d.index.ForEach([&](std::u16string_view key, uint64_t hash, int slot) { index_.Insert(key, hash) = slot; });
  }
  for (auto& n : d.newSlots) {
    GlobalSlot& g = slots_.emplace_back();
    g.kind = n.kind;
    g.name = KeepName(n.name);
    values_.emplace_back();
  }
  for (auto& rd : d.redeclared) {
    GlobalSlot& g = slots_[size_t(rd.slot)];
    if (rd.kind != GlobalSlot::Procedure) g.kind = rd.kind;
  }
  for (size_t i = 0; i < prog->procs.size() && !d.procsLocal; ++i) {
    const int s = d.procSlots[i];
    GlobalSlot& g = slots_[size_t(s)];
    g.kind = GlobalSlot::Procedure;
    g.proc = prog->procs[i].get();
    g.owner = prog;
    if (!g.listed) {
      g.listed = true;
      procOrder_.push_back(s);
    }
  }
  for (size_t i = 0; i < prog->classes.size(); ++i) {
    GlobalSlot& g = slots_[size_t(d.classSlots[i])];
    g.kind = GlobalSlot::Class;
    g.cls = prog->classes[i].get();
    g.owner = prog;
  }
}

std::vector<ProcedureInfo> GlobalTable::Procedures() const {
  std::vector<ProcedureInfo> out;
  out.reserve(procOrder_.size());
  for (int s : procOrder_) {
    const GlobalSlot& g = slots_[size_t(s)];
    if (g.kind != GlobalSlot::Procedure || !g.proc) continue;
    ProcedureInfo info{g.proc->name, int(g.proc->params.size()), g.proc->kind == ProcKind::Function,
                       g.proc->line, {}};
    info.Params.reserve(g.proc->params.size());
    for (const Param& p : g.proc->params) info.Params.emplace_back(p.name);
    out.push_back(std::move(info));
  }
  return out;
}

std::vector<GlobalNameInfo> GlobalTable::GlobalNames() const {
  std::vector<GlobalNameInfo> out;
  for (const GlobalSlot& g : slots_) {
    switch (g.kind) {
      case GlobalSlot::Var:
      case GlobalSlot::Implicit: out.push_back({std::u16string(g.name), GlobalNameInfo::Variable, 0}); break;
      case GlobalSlot::Const: out.push_back({std::u16string(g.name), GlobalNameInfo::Constant, 0}); break;
      case GlobalSlot::Class:
        out.push_back({std::u16string(g.name), GlobalNameInfo::Class, g.cls ? g.cls->line : 0});
        break;
      default: break;  // procedures, the host's objects, names only referred to
    }
  }
  return out;
}

void GlobalTable::ReleaseValues() {
  // Script variables go first, so Class_Terminate handlers can still use
  // the host's objects; objects before arrays before the rest, so that the
  // handlers that run at the end of a script still read and write the
  // numbers and texts of the globals.
  for (int pass = 0; pass < 3; ++pass) {
    for (size_t i = 0; i < values_.size(); ++i) {
      GlobalSlot::Kind k = i < slots_.size() ? slots_[i].kind : GlobalSlot::Var;
      if (k == GlobalSlot::HostObj || k == GlobalSlot::ErrObj) continue;
      const Variant& v = values_[i];
      if (pass == 0 ? !v.IsObject() : pass == 1 ? !v.IsArray() : false) continue;
      Variant tmp = std::move(values_[i]);
      tmp.Clear();
    }
  }
  values_.ForEach([](Variant& v) {
    Variant tmp = std::move(v);
    tmp.Clear();
  });
}

void GlobalTable::Clear() {
  values_.clear();
  slots_.clear();
  index_.Clear();
  procOrder_.clear();
  nameBlocks_.clear();
  nameCur_ = nullptr;
  nameLeft_ = 0;
}

}  // namespace vbs
