#pragma once
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/ast.h"
#include "engine/interp.h"
#include "engine/name_index.h"

namespace vbs {

class Resolver {
 public:
  Resolver(Interp& in, Program& prog, bool optionExplicit);
  // Throws CompileError; on success Commit() makes the new names real.
  void ResolveAll(Proc* scopeProc = nullptr, ClassDef* scopeCls = nullptr,
                  const std::vector<std::u16string>* extras = nullptr);
  // For Eval / Execute inside a procedure: names of that frame, then the
  // variables earlier Execute calls declared there.
  void SetProcScope(Proc* p, ClassDef* cls, const std::vector<std::u16string>* extras) {
    proc_ = p;
    cls_ = cls;
    locals_.Clear();
    dynLocals_.Clear();
    int base = 0;
    if (p) {
      // A Sub's slot 0 is unused: its name means the procedure itself.
      const bool hasResult = p->kind == ProcKind::Function || p->kind == ProcKind::PropGet;
      for (size_t i = hasResult ? 0 : 1; i < p->slotNames.size(); ++i)
        if (!p->slotNames[i].empty()) locals_[FoldName(p->slotNames[i])] = int(i);
      for (int d : p->dynSlots) {
        auto key = FoldName(p->slotNames[size_t(d)]);
        locals_.Erase(key);
        dynLocals_[key] = d;
      }
      base = p->nslots;
    }
    if (extras)
      for (size_t j = 0; j < extras->size(); ++j) locals_[FoldName((*extras)[j])] = base + int(j);
    evalBase_ = base + (extras ? int(extras->size()) : 0);
    evalScope_ = true;
  }
  // Sizes the tables of new global names for a text of `chars` characters
  // (a large library declares a global name every few hundred).
  void ReserveForText(size_t chars) {
    decls_.newSlots.reserve(chars / 128);
    decls_.index.Reserve(chars / 256);
    while (memoBits_ < 11 && (size_t(64) << memoBits_) < chars) ++memoBits_;
  }
  // Procedures an earlier Execute declared in that call (folded names).
  std::vector<std::u16string> frameProcs_;
  void ResolveExprOnly(Expr* e) { ResolveExpr(e); }
  // What the text declares, once it has resolved; the resolver is done.
  Declarations TakeDeclarations() { return std::move(decls_); }

 private:
  int LookupGlobal(std::u16string_view key) const;
  int LookupGlobal(std::u16string_view key, uint64_t hash) const;
  GlobalSlot::Kind GlobalKind(int slot) const;
  // `name` folded, in one buffer shared by the resolver's lookups:
  // resolving a large text makes no allocation per name.
  // Its hash is left in foldHash_; the view holds until the next call.
  std::u16string_view Folded(std::u16string_view name);
  int NewPending(std::u16string_view name, std::u16string_view key, uint64_t hash, GlobalSlot::Kind kind);
  int DeclareGlobal(std::u16string_view name, GlobalSlot::Kind kind, int line, int col);
  void CollectGlobalDecls();
  void CollectLocalDecls(Proc& p);
  int AddLocal(Proc& p, std::u16string_view name, int line, int col);
  int NewTemp();
  void BuildClass(ClassDef& c);
  static bool NameEqualsFold(std::u16string_view a, std::u16string_view lowerB);
  void ResolveProc(Proc& p, ClassDef* cls);
  static void PrefetchNodes(const Proc& prev, const Proc& next);
  void ResolveBlock(Block& b);
  void ResolveStmt(Stmt* s);
  void ResolveStmtInner(Stmt* s);
  void ResolveExpr(Expr* e);
  void ResolveExprInner(Expr* e);
  // A resolved node: how operators read it, then its routine.
  void Finish(Expr* e);
  void ResolveName(NameExpr* n);
  void DeclareReDimmed(NameExpr* n);

  Interp& in_;
  Program& prog_;
  Declarations decls_;
  bool strict_;
  bool evalScope_ = false;
  int evalBase_ = 0;
  uint64_t foldHash_ = 0;
  // The names of a text point to one copy per spelling (the parser keeps
  // them so): a spelling folded once is found again by its address, then
  // checked against the copy of its characters kept here.
  struct FoldMemo {
    const char16_t* text = nullptr;
    uint32_t len = 0;
    uint32_t pos = 0;  // in foldStore_: the spelling, then its folded form
    uint64_t hash = 0;
  };
  std::vector<FoldMemo> foldMemo_;
  int memoBits_ = 6;  // 2^memoBits_ entries: more for a larger text
  std::u16string foldStore_;
  std::u16string foldBuf_;
  int doDepth_ = 0, forDepth_ = 0, whileDepth_ = 0;
  void CollectScopedDecls(Block& b);
  Proc* proc_ = nullptr;
  ClassDef* cls_ = nullptr;
  // Global slots this text declares, by slot number.
  std::vector<bool> declaredHere_;
  bool DeclaredHere(int slot) const { return size_t(slot) < declaredHere_.size() && declaredHere_[size_t(slot)]; }
  void MarkDeclaredHere(int slot) {
    if (size_t(slot) >= declaredHere_.size()) declaredHere_.resize(size_t(slot) + 1);
    declaredHere_[size_t(slot)] = true;
  }
  NameIndex locals_;
  // Undeclared names of the procedure: name -> its fallback local slot.
  NameIndex dynLocals_;
  std::vector<int> withSlots_;
  std::vector<BinaryExpr*> spine_;  // left sides of an operator chain being resolved
};

}  // namespace vbs
