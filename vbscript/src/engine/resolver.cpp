// Binds every name of a parsed text to where it lives: frame slots for
// procedure locals, global slots (new names get tentative slots that are
// committed only when the whole text compiled), class members, built-ins.
#include "engine/resolver.h"

#include <cstring>

#include "engine/interp.h"
#include "engine/stack_guard.h"

namespace vbs {

Resolver::Resolver(Interp& in, Program& prog, bool optionExplicit)
    : in_(in), prog_(prog), strict_(optionExplicit) {}

int Resolver::LookupGlobal(std::u16string_view key) const {
  return LookupGlobal(key, NameIndex::Hash(key));
}
int Resolver::LookupGlobal(std::u16string_view key, uint64_t hash) const {
  if (const int* v = decls_.index.Find(key, hash)) return *v;
  return in_.globals().Find(key, hash);
}

GlobalSlot::Kind Resolver::GlobalKind(int slot) const {
  int base = in_.globals().count();
  if (slot >= base) return decls_.newSlots[size_t(slot - base)].kind;
  return in_.globals().slot(size_t(slot)).kind;
}

std::u16string_view Resolver::Folded(std::u16string_view name) {
  if (foldMemo_.empty()) foldMemo_.resize(size_t(1) << memoBits_);
  const uint64_t a = reinterpret_cast<uintptr_t>(name.data()) >> 1;
  FoldMemo& m = foldMemo_[size_t((a * 0x9E3779B97F4A7C15ull) >> (64 - memoBits_))];
  if (m.text == name.data() && m.len == name.size() && !name.empty() &&
      std::memcmp(foldStore_.data() + m.pos, name.data(), name.size() * sizeof(char16_t)) == 0) {
    foldHash_ = m.hash;
    return {foldStore_.data() + m.pos + m.len, m.len};
  }
  foldHash_ = FoldNameInto(name, foldBuf_);
  m.text = name.data();
  m.len = uint32_t(name.size());
  m.pos = uint32_t(foldStore_.size());
  m.hash = foldHash_;
  foldStore_.append(name);
  foldStore_.append(foldBuf_);
  return {foldStore_.data() + m.pos + m.len, m.len};
}

int Resolver::NewPending(std::u16string_view name, std::u16string_view key, uint64_t hash, GlobalSlot::Kind kind) {
  int idx = in_.globals().count() + int(decls_.newSlots.size());
  decls_.NewSlot(name, kind);
  decls_.index.Insert(key, hash) = idx;
  return idx;
}

// A global declaration: a new slot, or an existing undeclared one taken
// over; 1041 when the name is already declared.
int Resolver::DeclareGlobal(std::u16string_view name, GlobalSlot::Kind kind, int line, int col) {
  const std::u16string_view key = Folded(name);
  const uint64_t hash = foldHash_;
  int slot = LookupGlobal(key, hash);
  if (slot >= 0) {
    GlobalSlot::Kind k = GlobalKind(slot);
    bool pendingSlot = slot >= in_.globals().count();
    // A procedure declared again replaces the earlier one (the last wins),
    // in the same text or a later one.
    const bool procAgain = k == GlobalSlot::Procedure && kind == GlobalSlot::Procedure;
    const bool redefinable = k == GlobalSlot::Undefined || k == GlobalSlot::Implicit || procAgain;
    if (!redefinable || (DeclaredHere(slot) && !procAgain)) throw CompileError{kErrNameRedefined, line, col};
    MarkDeclaredHere(slot);
    decls_.redeclared.push_back({slot, kind});
    if (pendingSlot) decls_.newSlots[size_t(slot - in_.globals().count())].kind = kind;
    return slot;
  }
  slot = NewPending(name, key, hash, kind);
  MarkDeclaredHere(slot);
  return slot;
}

namespace {
// Calls fn(name, line, col) for each name a Dim or Const statement declares.
template <class F>
void ForEachDeclared(Stmt* s, F&& fn) {
  if (s->kind == Stmt::Dim)
    for (auto& v : static_cast<DimStmt*>(s)->vars) fn(v.name, v.line, v.col);
  else
    for (auto& c : static_cast<ConstStmt*>(s)->items) fn(c.name, c.line, c.col);
}
}  // namespace

void Resolver::CollectGlobalDecls() {
  for (Stmt* s : prog_.topDecls) {
    const GlobalSlot::Kind kind = s->kind == Stmt::Dim ? GlobalSlot::Var : GlobalSlot::Const;
    ForEachDeclared(s, [&](std::u16string_view name, int line, int col) { DeclareGlobal(name, kind, line, col); });
  }
}

void Resolver::CollectLocalDecls(Proc& p) {
  for (Stmt* s : p.decls)
    ForEachDeclared(s, [&](std::u16string_view name, int line, int col) { AddLocal(p, name, line, col); });
}

void Resolver::CollectScopedDecls(Block& b) {
  auto add = [&](std::u16string_view name) {
    auto key = FoldName(name);
    if (locals_.Contains(key)) return;
    // The procedure's own code already uses the name (as an implicit
    // local): the declaration is that variable, or the procedure would
    // never see what the executed text stores in it.
    if (const int* dyn = dynLocals_.Find(key)) {
      locals_[key] = *dyn;
      return;
    }
    locals_[key] = evalBase_ + int(decls_.newExtras.size());
    decls_.newExtras.emplace_back(name);
  };
  for (auto& sp : b) {
    Stmt* s = sp.get();
    switch (s->kind) {
      case Stmt::Dim:
        for (auto& v : static_cast<DimStmt*>(s)->vars) add(v.name);
        break;
      case Stmt::Const:
        for (auto& c : static_cast<ConstStmt*>(s)->items) add(c.name);
        break;
      case Stmt::If: {
        auto* i = static_cast<IfStmt*>(s);
        for (auto& bl : i->blocks) CollectScopedDecls(bl);
        CollectScopedDecls(i->elseBlock);
        break;
      }
      case Stmt::For: CollectScopedDecls(static_cast<ForStmt*>(s)->body); break;
      case Stmt::ForEach: CollectScopedDecls(static_cast<ForEachStmt*>(s)->body); break;
      case Stmt::Do: CollectScopedDecls(static_cast<DoStmt*>(s)->body); break;
      case Stmt::With: CollectScopedDecls(static_cast<WithStmt*>(s)->body); break;
      default:
        break;
    }
  }
}

int Resolver::AddLocal(Proc& p, std::u16string_view name, int line, int col) {
  const std::u16string_view key = Folded(name);
  const size_t before = locals_.size();
  int& entry = locals_.Insert(key, foldHash_);
  if (locals_.size() == before) throw CompileError{kErrNameRedefined, line, col};
  int slot = p.nslots++;
  entry = slot;
  p.slotNames.emplace_back(name);
  return slot;
}

int Resolver::NewTemp() {
  if (evalScope_ && proc_) return evalBase_ + prog_.topSlots++;
  if (proc_) {
    proc_->slotNames.emplace_back();
    return proc_->nslots++;
  }
  return prog_.topSlots++;
}

void Resolver::ResolveAll(Proc* scopeProc, ClassDef* scopeCls,
                          const std::vector<std::u16string>* extras) {
  // Global names first, so that procedures see every global of the text.
  decls_.procsLocal = scopeProc != nullptr;
  if (!decls_.procsLocal) {
    for (auto& p : prog_.procs) decls_.procSlots.push_back(DeclareGlobal(p->name, GlobalSlot::Procedure, p->line, p->col));
  }
  for (auto& c : prog_.classes) decls_.classSlots.push_back(DeclareGlobal(c->name, GlobalSlot::Class, c->line, 1));
  if (!scopeProc) CollectGlobalDecls();
  for (auto& c : prog_.classes) BuildClass(*c);

  proc_ = nullptr;
  cls_ = nullptr;
  if (scopeProc || scopeCls) SetProcScope(scopeProc, scopeCls, extras);
  if (scopeProc) {
    // A procedure of the call hides a same-named implicit local (made where
    // the procedure's code used the name before it existed).
    for (auto& p : prog_.procs) {
      locals_.Erase(FoldName(p->name));
      dynLocals_.Erase(FoldName(p->name));
    }
    for (auto& k : frameProcs_) {
      locals_.Erase(k);
      dynLocals_.Erase(k);
    }
    // Execute inside a procedure declares its variables there.
    CollectScopedDecls(prog_.top);
    evalBase_ += int(decls_.newExtras.size());
  }
  ResolveBlock(prog_.top);
  evalScope_ = false;
  proc_ = nullptr;
  cls_ = nullptr;
  for (size_t i = 0; i < prog_.procs.size(); ++i) {
    if (i + 1 < prog_.procs.size()) PrefetchNodes(*prog_.procs[i], *prog_.procs[i + 1]);
    ResolveProc(*prog_.procs[i], nullptr);
  }
  for (auto& c : prog_.classes)
    for (auto& p : c->procs) ResolveProc(*p, c.get());
}

// The nodes of procedure `next` lie in the arena between the last statement
// of `prev` and its own last statement (a statement is made after what it
// holds): asks for those lines while `prev` is resolved, since a large
// text's tree no longer is in the cache when the resolver walks it again.
void Resolver::PrefetchNodes(const Proc& prev, const Proc& next) {
  if (prev.body.empty() || next.body.empty()) return;
  const auto from = reinterpret_cast<uintptr_t>(prev.body.back().get());
  const auto to = reinterpret_cast<uintptr_t>(next.body.back().get()) + 128;
  if (to <= from || to - from > 32 * 1024) return;  // another block: no guess
  for (uintptr_t a = from & ~uintptr_t(63); a < to; a += 64) __builtin_prefetch(reinterpret_cast<const void*>(a));
}

void Resolver::BuildClass(ClassDef& c) {
  std::unordered_map<std::u16string, int> idx;
  auto memberFor = [&](const std::u16string& name, int line, int col, bool isProp) -> ClassMember& {
    auto key = FoldName(name);
    auto it = idx.find(key);
    if (it != idx.end()) {
      ClassMember& m = c.members[size_t(it->second)];
      if (!isProp || m.field >= 0 || m.method) throw CompileError{kErrNameRedefined, line, col};
      return m;
    }
    idx[key] = int(c.members.size());
    c.members.emplace_back();
    c.members.back().name = name;
    return c.members.back();
  };
  for (size_t i = 0; i < c.fields.size(); ++i) {
    auto& f = c.fields[i];
    ClassMember& m = memberFor(f.name, f.line, f.col, false);
    m.field = int(i);
    m.isPublic = f.isPublic;
  }
  for (auto& pp : c.procs) {
    Proc* p = pp.get();
    bool isProp = p->kind == ProcKind::PropGet || p->kind == ProcKind::PropLet ||
                  p->kind == ProcKind::PropSet;
    ClassMember& m = memberFor(p->name, p->line, p->col, isProp);
    int mi = int(&m - c.members.data());
    switch (p->kind) {
      case ProcKind::Sub:
      case ProcKind::Function:
        if (m.get || m.let || m.set) throw CompileError{kErrNameRedefined, p->line, p->col};
        m.method = p;
        break;
      case ProcKind::PropGet:
        if (m.get) throw CompileError{kErrNameRedefined, p->line, p->col};
        m.get = p;
        break;
      case ProcKind::PropLet:
        if (m.let) throw CompileError{kErrNameRedefined, p->line, p->col};
        m.let = p;
        break;
      case ProcKind::PropSet:
        if (m.set) throw CompileError{kErrNameRedefined, p->line, p->col};
        m.set = p;
        break;
    }
    m.isPublic = p->isPublic || m.isPublic;
    if (!p->isPublic && !(m.get || m.let || m.set)) m.isPublic = false;
    if (p->isDefault) {
      if (c.defaultMember >= 0 && c.defaultMember != mi) throw CompileError{kErrMultipleDefaults, p->line, p->col};
      c.defaultMember = mi;
    }
    if (p->kind == ProcKind::Sub) {
      if (NameEqualsFold(p->name, u"class_initialize")) {
        if (!p->params.empty()) throw CompileError{kErrInitTerminateArgs, p->line, p->col};
        c.init = p;
      } else if (NameEqualsFold(p->name, u"class_terminate")) {
        if (!p->params.empty()) throw CompileError{kErrInitTerminateArgs, p->line, p->col};
        c.term = p;
      }
    }
  }
}

bool Resolver::NameEqualsFold(std::u16string_view a, std::u16string_view lowerB) {
  if (a.size() != lowerB.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t c = a[i];
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
    if (c != lowerB[i]) return false;
  }
  return true;
}

void Resolver::ResolveProc(Proc& p, ClassDef* cls) {
  doDepth_ = forDepth_ = whileDepth_ = 0;
  proc_ = &p;
  cls_ = cls;
  locals_.Clear();
  dynLocals_.Clear();
  withSlots_.clear();
  p.nslots = 1;  // slot 0: the result
  size_t declared = 0;
  for (Stmt* s : p.decls)
    declared += s->kind == Stmt::Dim ? static_cast<DimStmt*>(s)->vars.size() : static_cast<ConstStmt*>(s)->items.size();
  p.slotNames.clear();
  p.slotNames.reserve(1 + p.params.size() + declared);
  p.slotNames.push_back(p.name);
  for (auto& prm : p.params) AddLocal(p, prm.name, p.line, p.col);
  p.nparams = uint32_t(p.params.size());
  p.byRefMask = 0;
  for (size_t i = 0; i < p.params.size() && i < 64; ++i)
    if (p.params[i].byRef) p.byRefMask |= uint64_t(1) << i;
  CollectLocalDecls(p);
  ResolveBlock(p.body);
  if (p.body.size() == 1 && p.body[0]->kind == Stmt::If && static_cast<IfStmt*>(p.body[0].get())->singleTest) {
    auto* i = static_cast<IfStmt*>(p.body[0].get());
    p.ifBody = i;
    p.ifCond = i->conds[0].get();
    p.ifTest = static_cast<BinaryExpr*>(p.ifCond)->test;
    p.ifThen = i->blocks[0].size() == 1 ? i->blocks[0][0].get() : nullptr;
    p.ifElse = i->elseBlock.size() == 1 ? i->elseBlock[0].get() : nullptr;
    if (p.ifThen) Interp::LocalCopySlots(p.ifThen, p.ifCopyTo[0], p.ifCopyFrom[0]);
    if (p.ifElse) Interp::LocalCopySlots(p.ifElse, p.ifCopyTo[1], p.ifCopyFrom[1]);
  } else if (p.body.size() == 1) {
    p.bodyOne = p.body[0].get();
  }
  proc_ = nullptr;
  cls_ = nullptr;
}

// ReDim of a name nothing declares is that name's declaration, as Dim
// would be: Option Explicit accepts it. In a procedure it makes a local
// unless a global of that name is declared.
void Resolver::DeclareReDimmed(NameExpr* n) {
  if (evalScope_) return;  // Execute inside a procedure: its names are collected apart
  const std::u16string_view key = Folded(n->name);
  const uint64_t hash = foldHash_;
  if (proc_) {
    if (locals_.Find(key, hash) || NameEquals(proc_->name, key)) return;
    if (cls_ && cls_->FindMember(n->name) >= 0) return;
  }
  const int g = LookupGlobal(key, hash);
  if (g >= 0) {
    const GlobalSlot::Kind k = GlobalKind(g);
    if (k != GlobalSlot::Undefined && (proc_ || k != GlobalSlot::Implicit)) return;
  }
  if (proc_) AddLocal(*proc_, n->name, n->line, n->col);
  else DeclareGlobal(n->name, GlobalSlot::Var, n->line, n->col);
}

void Resolver::ResolveBlock(Block& b) {
  for (auto& s : b) ResolveStmt(s.get());
}

void Resolver::ResolveStmt(Stmt* s) {
  ResolveStmtInner(s);
  Interp::PickRoutine(s);
}

void Resolver::ResolveStmtInner(Stmt* s) {
  switch (s->kind) {
    case Stmt::Assign: {
      auto* a = static_cast<AssignStmt*>(s);
      ResolveExpr(a->target.get());
      ResolveExpr(a->value.get());
      break;
    }
    case Stmt::CallS:
      ResolveExpr(static_cast<CallStmt*>(s)->call.get());
      break;
    case Stmt::Dim:
      for (auto& v : static_cast<DimStmt*>(s)->vars) {
        auto n = MakeNode<NameExpr>();
        n->name = v.name;
        n->line = v.line;
        n->col = v.col;
        ResolveExpr(n.get());
        v.target = std::move(n);
        for (auto& b : v.bounds) ResolveExpr(b.get());
      }
      break;
    case Stmt::ReDim:
      for (auto& it : static_cast<ReDimStmt*>(s)->items) {
        if (strict_ && it.target->kind == Expr::Name) DeclareReDimmed(static_cast<NameExpr*>(it.target.get()));
        ResolveExpr(it.target.get());
        for (auto& b : it.bounds) ResolveExpr(b.get());
      }
      break;
    case Stmt::If: {
      auto* i = static_cast<IfStmt*>(s);
      for (auto& c : i->conds) ResolveExpr(c.get());
      for (auto& bl : i->blocks) ResolveBlock(bl);
      ResolveBlock(i->elseBlock);
      break;
    }
    case Stmt::Select: {
      auto* sel = static_cast<SelectStmt*>(s);
      ResolveExpr(sel->subject.get());
      for (auto& c : sel->cases) {
        for (auto& t : c.tests) {
          ResolveExpr(t.a.get());
          if (t.b) ResolveExpr(t.b.get());
        }
        ResolveBlock(c.body);
      }
      ResolveBlock(sel->elseBlock);
      break;
    }
    case Stmt::For: {
      auto* f = static_cast<ForStmt*>(s);
      ResolveExpr(f->var.get());
      ResolveExpr(f->from.get());
      ResolveExpr(f->to.get());
      if (f->step) ResolveExpr(f->step.get());
      ++forDepth_;
      ResolveBlock(f->body);
      --forDepth_;
      break;
    }
    case Stmt::ForEach: {
      auto* f = static_cast<ForEachStmt*>(s);
      ResolveExpr(f->var.get());
      ResolveExpr(f->coll.get());
      ++forDepth_;
      ResolveBlock(f->body);
      --forDepth_;
      break;
    }
    case Stmt::Do: {
      auto* d = static_cast<DoStmt*>(s);
      if (d->cond) ResolveExpr(d->cond.get());
      // While ... Wend cannot be left with Exit Do.
      int& depth = d->isWhileWend ? whileDepth_ : doDepth_;
      ++depth;
      ResolveBlock(d->body);
      --depth;
      break;
    }
    case Stmt::With: {
      auto* w = static_cast<WithStmt*>(s);
      ResolveExpr(w->obj.get());
      w->slot = NewTemp();
      withSlots_.push_back(w->slot);
      ResolveBlock(w->body);
      withSlots_.pop_back();
      break;
    }
    case Stmt::Erase:
      for (auto& t : static_cast<EraseStmt*>(s)->targets) ResolveExpr(t.get());
      break;
    case Stmt::Const:
      for (auto& c : static_cast<ConstStmt*>(s)->items) {
        auto n = MakeNode<NameExpr>();
        n->name = c.name;
        n->line = c.line;
        n->col = c.col;
        ResolveExpr(n.get());
        c.target = std::move(n);
        ResolveExpr(c.value.get());
      }
      break;
    case Stmt::OnError:
      if (proc_) proc_->usesOnError = true;
      break;
    case Stmt::Exit: {
      auto* e = static_cast<ExitStmt*>(s);
      bool ok = true;
      if (e->what == ExitKind::Do) ok = doDepth_ > 0;
      else if (e->what == ExitKind::For) ok = forDepth_ > 0;
      else if (e->what == ExitKind::Function) ok = proc_ && proc_->kind == ProcKind::Function;
      else if (e->what == ExitKind::Sub) ok = proc_ && proc_->kind == ProcKind::Sub;
      else if (e->what == ExitKind::Property)
        ok = proc_ && (proc_->kind == ProcKind::PropGet || proc_->kind == ProcKind::PropLet ||
                       proc_->kind == ProcKind::PropSet);
      if (!ok) throw CompileError{kErrInvalidExit, s->line, s->col};
      break;
    }
    case Stmt::Nop:
      break;
  }
}

void Resolver::ResolveExpr(Expr* e) {
  if (!e) return;
  if (StackExhausted()) throw CompileError{kErrOutOfStack, e->line, e->col};
  ResolveExprInner(e);
  Finish(e);
}

// How operators, subscripts and calls may read resolved node e.
static OperandKind OperandKindOf(const Expr* e) {
  if (e->kind == Expr::Literal) return OperandKind::Literal;
  if (e->kind != Expr::Name) return OperandKind::Any;
  auto* n = static_cast<const NameExpr*>(e);
  if (!n->hasParens) {
    if (n->nk == NameKind::Local) return OperandKind::Local;
    return n->nk == NameKind::Global ? OperandKind::Global : OperandKind::Any;
  }
  bool allGiven = true;
  for (auto& a : n->args) allGiven = allGiven && a;
  if (!allGiven) return OperandKind::Any;
  // A declared variable stays one (a procedure of its name cannot be
  // added), so g(i) on it is an element from the start.
  if ((n->nk == NameKind::Local || (n->nk == NameKind::Global && n->declaredVar)) &&
      (n->args.size() == 1 || n->args.size() == 2))
    return OperandKind::Element;
  if (n->nk == NameKind::Global && n->args.size() <= 4) return OperandKind::CallSite;
  return OperandKind::Any;
}

void Resolver::Finish(Expr* e) {
  e->operand = OperandKindOf(e);
  Interp::PickRoutine(e);
}

void Resolver::ResolveExprInner(Expr* e) {
  switch (e->kind) {
    case Expr::Literal:
    case Expr::Me:
    case Expr::WithObj:
      break;
    case Expr::Name:
      ResolveName(static_cast<NameExpr*>(e));
      for (auto& a : static_cast<NameExpr*>(e)->args) ResolveExpr(a.get());
      break;
    case Expr::Member: {
      auto* m = static_cast<MemberExpr*>(e);
      if (!m->obj) {
        if (withSlots_.empty()) throw CompileError{kErrSyntax, e->line, e->col};
        auto n = MakeNode<NameExpr>();
        n->line = e->line;
        n->col = e->col;
        n->nk = NameKind::Local;
        n->slot = withSlots_.back();
        Finish(n.get());
        m->obj = std::move(n);
      } else {
        ResolveExpr(m->obj.get());
      }
      for (auto& a : m->args) ResolveExpr(a.get());
      break;
    }
    case Expr::Call: {
      auto* c = static_cast<CallExpr*>(e);
      ResolveExpr(c->callee.get());
      for (auto& a : c->args) ResolveExpr(a.get());
      break;
    }
    case Expr::Unary:
      ResolveExpr(static_cast<UnaryExpr*>(e)->operand.get());
      break;
    case Expr::Binary: {
      auto* b = static_cast<BinaryExpr*>(e);
      if (b->lhs->kind != Expr::Binary) {
        ResolveExpr(b->lhs.get());
        ResolveExpr(b->rhs.get());
        break;
      }
      // a + b + c ... nests to the left without bound: walk down that
      // side by a loop, then resolve upwards in the usual order.
      // The buffer is shared: nested chains use the part above ours.
      const size_t base = spine_.size();
      for (Expr* x = b; x->kind == Expr::Binary; x = static_cast<BinaryExpr*>(x)->lhs.get())
        spine_.push_back(static_cast<BinaryExpr*>(x));
      ResolveExpr(spine_.back()->lhs.get());
      for (size_t i = spine_.size(); i-- > base;) {
        ResolveExpr(spine_[i]->rhs.get());
        if (i > base) Finish(spine_[i]);  // e itself: by ResolveExpr
      }
      spine_.resize(base);
      break;
    }
    case Expr::Paren:
      ResolveExpr(static_cast<ParenExpr*>(e)->inner.get());
      break;
    case Expr::New: {
      auto* n = static_cast<NewExpr*>(e);
      const std::u16string_view key = Folded(n->className);
      const uint64_t hash = foldHash_;
      int g = LookupGlobal(key, hash);
      if (g < 0) g = NewPending(n->className, key, hash, GlobalSlot::Undefined);
      n->globalSlot = g;
      break;
    }
  }
}

void Resolver::ResolveName(NameExpr* n) {
  n->strict = strict_;
  const std::u16string_view key = Folded(n->name);
  const uint64_t hash = foldHash_;
  if (proc_) {
    // The function's own name without arguments is its result variable.
    if ((proc_->kind == ProcKind::Function || proc_->kind == ProcKind::PropGet) && !n->hasParens &&
        NameEquals(proc_->name, key)) {
      n->nk = NameKind::Local;
      n->slot = 0;
      return;
    }
    if (const int* v = locals_.Find(key, hash)) {
      n->nk = NameKind::Local;
      n->slot = *v;
      return;
    }
  }
  if (cls_) {
    int mi = cls_->FindMember(n->name);
    if (mi >= 0) {
      const ClassMember& m = cls_->members[size_t(mi)];
      if (m.field >= 0) {
        n->nk = NameKind::Field;
        n->slot = m.field;
      } else {
        n->nk = NameKind::MeMember;
        n->slot = mi;
      }
      return;
    }
  }
  int g = LookupGlobal(key, hash);
  if (g >= 0) {
    GlobalSlot::Kind k = GlobalKind(g);
    if (k != GlobalSlot::Undefined || !proc_) {
      n->nk = NameKind::Global;
      n->slot = g;
      n->declaredVar = k == GlobalSlot::Var;
      return;
    }
  }
  const std::u16string keyText(key);  // the registry's tables take strings
  int b = FindBuiltinFolded(keyText);
  if (b >= 0) {
    n->nk = NameKind::Builtin;
    n->slot = b;
    return;
  }
  if (const Variant* c = FindConstantFolded(keyText)) {
    n->nk = NameKind::Constant;
    SetNodeValueKept(n->constVal, *c);
    return;
  }
  if (g < 0) g = NewPending(n->name, key, hash, GlobalSlot::Undefined);
  // Unknown inside a procedure: the global if one exists when the code
  // runs, else an implicit local. Every use decides again, so a global
  // made later (by the top level, another text or Execute) is the one seen.
  const int* dyn = proc_ ? dynLocals_.Find(key, hash) : nullptr;
  if (!dyn && (!proc_ || evalScope_)) {
    n->nk = NameKind::Global;
    n->slot = g;
    return;
  }
  n->nk = NameKind::Dyn;
  n->slot = g;
  if (dyn) {
    n->local = *dyn;
  } else {
    n->local = proc_->nslots++;
    proc_->slotNames.push_back(n->name);
    proc_->dynSlots.push_back(n->local);
    dynLocals_.Insert(key, hash) = n->local;  // later uses share the slot
  }
}

}  // namespace vbs
