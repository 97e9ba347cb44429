#include "engine/interp.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "engine/resolver.h"
#include "engine/stack_guard.h"
#include "vbs/libobjects.h"
#include "vbs/value_conv.h"
#include "vbs/value_ops.h"

namespace vbs {

std::u16string FoldName(std::u16string_view s) {
  std::u16string r(s);
  for (auto& c : r)
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
  return r;
}

namespace {

// Split and Filter give String arrays: an element stored into one becomes
// text as CStr makes it (Null raises 94); objects do not fit at all.
inline void FitElement(const Variant& array, Variant& v) {
  if (array.type() != (vbArray | vbString) || v.IsString()) return;
  if (v.IsObject() || v.IsArray()) Throw(13);
  v = CStrVariant(v);
}

constexpr int kMaxCallDepth = 100000;

// ---- the Err object ---------------------------------------------------------
class ErrObject : public HostObject {
 public:
  explicit ErrObject(Interp* in) : in_(in) {}
  std::u16string TypeName() const override { return u"ErrObject"; }
  int FindMember(std::u16string_view n) const override {
    static const char* const names[] = {"number", "description", "source", "helpfile",
                                        "helpcontext", "clear", "raise"};
    for (int i = 0; i < 7; ++i)
      if (NameEquals(n, names[i])) return i;
    return -1;
  }
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override {
    ErrState& e = in_->err;
    bool set = kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet;
    auto value = [&]() -> Variant& {
      if (args.size() < 1) Throw(450);
      return args[args.size() - 1];
    };
    switch (member) {
      case 0:
        if (set) e.number = ToLong(value());
        else result = Variant::FromLong(e.number);
        return;
      case 1:
        if (set) e.description = ToText(value());
        else result = Variant::FromString(e.description);
        return;
      case 2:
        if (set) e.source = ToText(value());
        else result = Variant::FromString(e.source);
        return;
      case 3:
        if (set) e.helpFile = ToText(value());
        else result = Variant::FromString(e.helpFile);
        return;
      case 4:
        if (set) e.helpContext = ToLong(value());
        else result = Variant::FromLong(e.helpContext);
        return;
      case 5:
        if (set) Throw(438);
        e.Clear();
        return;
      case 6: {
        if (set) Throw(438);
        if (args.size() < 1 || args.Missing(0)) Throw(450);
        int number = ToLong(args[0]);
        if (number == 0) Throw(5);
        ErrState n;
        n.number = number;
        n.source = args.Missing(1) ? std::u16string(u"Microsoft VBScript runtime error") : ToText(args[1]);
        n.description = args.Missing(2) ? StandardErrorText(number) : ToText(args[2]);
        if (!args.Missing(3)) n.helpFile = ToText(args[3]);
        if (!args.Missing(4)) n.helpContext = ToLong(args[4]);
        e = n;
        in_->raisedByErr = true;
        throw ScriptError(number, n.description);
      }
      default:
        Throw(438);
    }
  }

 private:
  Interp* in_;
};

// GetRef's result: calling its default member calls the procedure.
class FuncRef : public HostObject {
 public:
  FuncRef(Interp* in, Proc* p, std::shared_ptr<Program> keep, std::shared_ptr<bool> alive)
      : in_(in), proc_(p), keep_(std::move(keep)), alive_(std::move(alive)) {}
  std::u16string TypeName() const override { return u"Object"; }
  int FindMember(std::u16string_view) const override { return -1; }
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override {
    if (member != 0 || kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) Throw(438);
    if (!*alive_) Throw(424);
    std::vector<Variant> raw;
    raw.reserve(size_t(args.size()));
    for (int i = 0; i < args.size(); ++i) raw.push_back(args.Raw(i));
    result = in_->CallProcValues(proc_, nullptr, raw.data(), int(raw.size()));
  }

 private:
  Interp* in_;
  Proc* proc_;
  std::shared_ptr<Program> keep_;
  std::shared_ptr<bool> alive_;
};

struct DepthGuard {
  int& d;
  explicit DepthGuard(int& depth) : d(depth) { ++d; }
  ~DepthGuard() { --d; }
};

}  // namespace

// ---- SlotStack ----------------------------------------------------------------
Variant* SlotStack::PushSlow(int n) {
  Sync();
  size_t need = size_t(n);
  // Move on to the next segment (the current one stays as it is: frames
  // in it are still live).
  if (cur_ < segs_.size() && segs_[cur_].used > 0) ++cur_;
  while (cur_ < segs_.size() && segs_[cur_].cap < need) {
    // An unused segment that is too small: replace it by a bigger one.
    delete[] segs_[cur_].data;
    segs_.erase(segs_.begin() + std::ptrdiff_t(cur_));
  }
  if (cur_ >= segs_.size()) {
    size_t cap = std::max<size_t>(need, 16384);
    segs_.push_back(Seg{new Variant[cap], cap, 0});
    cur_ = segs_.size() - 1;
  }
  Seg& s = segs_[cur_];
  Variant* p = s.data + s.used;
  s.used += need;
  Load();
  return p;
}

void SlotStack::PopSlow(Variant* base) {
  Sync();
  // The frame starts a segment (or lives in an earlier one): walk back.
  for (;;) {
    Seg& s = segs_[cur_];
    if (base >= s.data && base < s.data + s.cap) {
      s.used = size_t(base - s.data);
      if (s.used == 0 && cur_ > 0) --cur_;
      Load();
      return;
    }
    s.used = 0;
    if (cur_ == 0) {
      Load();
      return;
    }
    --cur_;
  }
}

SlotStack::~SlotStack() {
  for (auto& s : segs_) delete[] s.data;
}

struct FrameScope {
  SlotStack& st;
  Variant* base;
  int n;
  Frame*& cur;
  Frame* saved;
  FrameScope(SlotStack& s, Variant* b, int count, Frame*& c)
      : st(s), base(b), n(count), cur(c), saved(c) {}
  ~FrameScope() {
    cur = saved;
    st.Pop(base, n);
  }
};

// ---- ClassInstance -----------------------------------------------------------
ClassInstance::ClassInstance(Interp* in, ClassDef* cls, std::shared_ptr<Program> prog,
                             std::shared_ptr<bool> alive)
    : interp_(in), cls_(cls), prog_(std::move(prog)), alive_(std::move(alive)) {
  fields_.resize(cls->fields.size());
  for (size_t i = 0; i < cls->fields.size(); ++i) {
    const FieldDef& f = cls->fields[i];
    if (f.isArray) {
      if (f.bounds.empty()) {
        fields_[i] = Variant::FromArray(new Array());
      } else {
        fields_[i] = Variant::FromArray(Array::Create(f.bounds.data(), int(f.bounds.size())));
        fields_[i].SetFlags(Variant::kFixedArray);
      }
    }
  }
}

ClassInstance::~ClassInstance() = default;

int ClassInstance::FindMember(std::u16string_view name) const {
  int m = cls_->FindMember(name);
  if (m < 0 || !cls_->members[size_t(m)].isPublic) return -1;
  return m + 1;
}

void ClassInstance::Invoke(int member, InvokeKind kind, Args& args, Variant& result) {
  if (!*alive_) Throw(424);
  interp_->InvokeClassMember(this, member, kind, args, result);
}

void ClassInstance::Finalize() {
  if (cls_->term && initialized && *alive_ && !StackExhausted()) {
    refs_ = 1;  // alive while Class_Terminate runs
    {
      ImmediateReleases inOrder;
      interp_->RunTerminate(this);
    }
    if (--refs_ != 0) return;  // the terminate handler kept a reference
  }
  delete this;
}

int ClassDef::FindMember(std::u16string_view n) const {
  for (size_t i = 0; i < members.size(); ++i)
    if (NameEquals(members[i].name, n)) return int(i);
  return -1;
}

// A number or string written in the source keeps its type in comparisons.
static bool IsTypedLiteral(const Expr* e) {
  if (e->kind != Expr::Literal) return false;
  switch (static_cast<const LiteralExpr*>(e)->value.type()) {
    case vbInteger: case vbLong: case vbDouble: case vbString: return true;
    default: return false;
  }
}

// ---- Interp: setup ---------------------------------------------------------------
Interp::Interp(Engine* owner) : owner_(owner) {
  RegisterStandardLibrary();
  Init();
}

void Interp::Init() {
  stackLimit_ = StackLimitForThisThread();
  alive_ = std::make_shared<bool>(true);
  GlobalSlot g;
  g.kind = GlobalSlot::ErrObj;
  g.name = u"Err";
  gslots_.push_back(g);
  gvals_.push_back(Variant::FromObject(new ErrObject(this)));
  gindex_[u"err"] = 0;
}

void Interp::Teardown() {
  // Release script values while the code behind their classes still runs.
  // Script variables go first, so Class_Terminate handlers can still use
  // the host's objects.
  for (size_t i = 0; i < gvals_.size(); ++i) {
    GlobalSlot::Kind k = i < gslots_.size() ? gslots_[i].kind : GlobalSlot::Var;
    if (k == GlobalSlot::HostObj || k == GlobalSlot::ErrObj) continue;
    Variant tmp = std::move(gvals_[i]);
    tmp.Clear();
  }
  gvals_.ForEach([](Variant& v) {
    Variant tmp = std::move(v);
    tmp.Clear();
  });
  *alive_ = false;
  gvals_.clear();
  gslots_.clear();
  gindex_.Clear();
  procOrder_.clear();
  programs_.clear();
  optionExplicit_ = false;
  err.Clear();
}

Interp::~Interp() { Teardown(); }

void Interp::Reset() {
  Teardown();
  error = ErrorInfo();
  Init();
}

int Interp::FindGlobal(const std::u16string& name) const {
  const int* v = gindex_.Find(name);
  return v ? *v : -1;
}

void Interp::AddObject(std::u16string_view name, Ref<HostObject> obj) {
  auto key = FoldName(name);
  int slot = FindGlobal(key);
  if (slot < 0) {
    slot = int(gslots_.size());
    GlobalSlot g;
    g.name = std::u16string(name);
    gslots_.push_back(g);
    gvals_.emplace_back();
    gindex_[key] = slot;
  }
  // A variable the script declared stays a variable that now holds the
  // object (compiled code reaches declared variables directly).
  if (gslots_[size_t(slot)].kind != GlobalSlot::Var) gslots_[size_t(slot)].kind = GlobalSlot::HostObj;
  gvals_[size_t(slot)] = Variant::FromObject(obj.get());
}

std::vector<ProcedureInfo> Interp::Procedures() const {
  std::vector<ProcedureInfo> out;
  for (int s : procOrder_) {
    const GlobalSlot& g = gslots_[size_t(s)];
    if (g.kind != GlobalSlot::Procedure || !g.proc) continue;
    out.push_back({g.proc->name, int(g.proc->params.size()), g.proc->kind == ProcKind::Function});
  }
  return out;
}

// ---- compilation -------------------------------------------------------------------
void Interp::Commit(Resolver& r, const std::shared_ptr<Program>& prog) {
  int base = int(gslots_.size());
  for (auto& g : r.pending_) {
    int idx = int(gslots_.size());
    gindex_[FoldName(g.name)] = idx;
    gslots_.push_back(g);
    gvals_.emplace_back();
  }
  for (auto& rd : r.redeclare_) {
    GlobalSlot& g = gslots_[size_t(rd.slot)];
    if (rd.kind != GlobalSlot::Procedure) g.kind = rd.kind;
  }
  (void)base;
  for (auto& p : prog->procs) {
    if (r.procsLocal_) break;
    int s = FindGlobal(FoldName(p->name));
    GlobalSlot& g = gslots_[size_t(s)];
    g.kind = GlobalSlot::Procedure;
    g.proc = p.get();
    g.owner = prog;
    if (!g.listed) {
      g.listed = true;
      procOrder_.push_back(s);
    }
  }
  for (auto& c : prog->classes) {
    int s = FindGlobal(FoldName(c->name));
    GlobalSlot& g = gslots_[size_t(s)];
    g.kind = GlobalSlot::Class;
    g.cls = c.get();
    g.owner = prog;
  }
  programs_.push_back(prog);
}

std::shared_ptr<Program> Interp::CompileProgram(std::u16string_view text, Frame* scope,
                                                std::vector<std::u16string>* newExtras) {
  bool explicitOpt = false;
  std::unique_ptr<Program> parsed = ParseProgram(text, explicitOpt);
  std::shared_ptr<Program> prog(parsed.release());
  Resolver r(*this, *prog, explicitOpt || optionExplicit_);
  if (scope && scope->extras)
    for (auto& lp : scope->extras->procs) r.frameProcs_.push_back(lp.key);
  Proc* p = scope ? scope->proc : nullptr;
  ClassDef* c = scope && scope->me ? scope->me->cls() : nullptr;
  {
    NodeArenaScope arena(prog->arena.get());  // nodes the resolver adds
    r.ResolveAll(p, c, scope && scope->extras ? &scope->extras->names : nullptr);
  }
  Commit(r, prog);
  if (newExtras) *newExtras = std::move(r.newExtras_);
  return prog;
}

Variant* Interp::PushScopedFrame(Frame& scope, int temps, int& total) {
  int nslots = scope.proc ? scope.proc->nslots : 0;
  int nextra = scope.extras ? int(scope.extras->values.size()) : 0;
  total = std::max(1, nslots + nextra + temps);
  Variant* slots = stack_.Push(total);
  for (int i = 0; i < nslots; ++i) slots[i] = Variant::RefTo(&scope.slots[i].Deref());
  for (int j = 0; j < nextra; ++j) slots[nslots + j] = Variant::RefTo(scope.extras->values[size_t(j)].get());
  return slots;
}

void Interp::BeginHostCall() {
  interrupt_.store(false, std::memory_order_relaxed);
  stackLimit_ = StackLimitForThisThread();
  posSet_ = false;
  error = ErrorInfo();
}

static std::u16string LineText(std::u16string_view text, int line) {
  int cur = 1;
  size_t i = 0;
  while (cur < line && i < text.size()) {
    if (text[i] == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      ++cur;
    } else if (text[i] == u'\n') {
      ++cur;
    }
    ++i;
  }
  if (cur != line) return {};
  size_t e = i;
  while (e < text.size() && text[e] != u'\r' && text[e] != u'\n') ++e;
  return std::u16string(text.substr(i, e - i));
}

void Interp::RecordCompileError(const CompileError& e, std::u16string_view text) {
  error.Number = e.number;
  error.Description = StandardErrorText(e.number);
  error.Line = e.line;
  error.Column = e.col;
  error.Source = LineText(text, e.line);
  error.IsCompileError = true;
}

void Interp::RecordError(const ScriptError& e, std::u16string_view text) {
  error.Number = e.number;
  error.Description = e.Text();
  error.Line = posSet_ ? errLine_ : 1;
  error.Column = posSet_ ? errCol_ : 1;
  error.Source = LineText(text, error.Line);
  error.IsCompileError = false;
  err.number = e.number;
  err.description = error.Description;
}

std::shared_ptr<Program> Interp::CompileTopLevel(std::u16string_view text) {
  try {
    return CompileProgram(text, nullptr, nullptr);
  } catch (const CompileError& ce) {
    RecordCompileError(ce, text);
  } catch (const ScriptError& se) {
    RecordCompileError(CompileError{se.number, 1, 1}, text);
  } catch (const std::bad_alloc&) {
    RecordCompileError(CompileError{7, 1, 1}, text);
  }
  return nullptr;
}

bool Interp::RunText(std::u16string_view text) {
  BeginHostCall();
  std::shared_ptr<Program> prog = CompileTopLevel(text);
  if (!prog) return false;
  ProgramRelease release{*this, prog};
  return Guarded(text, [&] { RunProgram(*prog, nullptr); });
}

bool Interp::CompileCode(std::u16string_view text) {
  BeginHostCall();
  std::shared_ptr<Program> prog = CompileTopLevel(text);
  if (!prog) return false;
  ReleaseIfPlain(prog);
  return true;
}

// A text that declares no procedure or class is not needed once it ran:
// nothing refers to its nodes any more. Dropping it keeps a long session
// of statements (or Execute in a loop) from piling up compiled code.
void Interp::ReleaseIfPlain(const std::shared_ptr<Program>& prog) {
  if (!prog || !prog->procs.empty() || !prog->classes.empty()) return;
  for (size_t i = programs_.size(); i-- > 0;) {
    if (programs_[i] == prog) {
      programs_.erase(programs_.begin() + std::ptrdiff_t(i));
      return;
    }
  }
}

template <class F>
bool Interp::Guarded(std::u16string_view text, F&& body) {
  try {
    body();
    return true;
  } catch (const ScriptError& e) {
    RecordError(e, text);
  } catch (const AbortError& a) {
    RecordError(a.err, text);
  } catch (const std::bad_alloc&) {
    RecordError(ScriptError(7), text);
  }
  return false;
}

bool Interp::AddCode(std::u16string_view text) { return RunText(text); }
bool Interp::ExecuteStatement(std::u16string_view text) { return RunText(text); }

bool Interp::Eval(std::u16string_view text, Variant& out) {
  BeginHostCall();
  CompiledExpr e;
  try {
    e = CompileExpr(text, nullptr);
  } catch (const CompileError& ce) {
    RecordCompileError(ce, text);
    return false;
  } catch (const std::bad_alloc&) {
    RecordCompileError(CompileError{7, 1, 1}, text);
    return false;
  }
  return Guarded(text, [&] {
    Variant* slots = stack_.Push(1);
    FrameScope scope(stack_, slots, 1, curFrame_);
    Frame top;
    top.slots = slots;
    curFrame_ = &top;
    try {
      out = EvalExpr(e.expr.get(), top);
    } catch (const ScriptError&) {
      throw;
    }
  });
}

CompiledExpr Interp::CompileExpr(std::u16string_view text, Frame* scope) {
  CompiledExpr out;
  out.arena = std::make_unique<NodeArena>();
  NodeArenaScope arena(out.arena.get());
  ExprP e = ParseExpression(text);
  Program dummy;
  Resolver r(*this, dummy, optionExplicit_);
  if (scope && (scope->proc || scope->me))
    r.SetProcScope(scope->proc, scope->me ? scope->me->cls() : nullptr,
                   scope->extras ? &scope->extras->names : nullptr);
  r.ResolveExprOnly(e.get());
  auto keep = std::make_shared<Program>();
  Commit(r, keep);
  programs_.pop_back();
  out.expr = std::move(e);
  return out;
}

void Interp::RunProgram(Program& prog, Frame* scope) {
  int n = 0;
  Variant* slots;
  Frame top;
  if (scope && scope->proc) {
    // Execute inside a procedure: its variables are reached through refs.
    // One set of Execute declarations per call, shared by nested Executes.
    if (!scope->extras) scope->extras = std::make_shared<ExtraVars>();
    slots = PushScopedFrame(*scope, prog.topSlots, n);
    top.proc = scope->proc;
    top.me = scope->me;
    top.onErrorResume = scope->onErrorResume;
    top.extras = scope->extras;
  } else {
    n = std::max(1, prog.topSlots);
    slots = stack_.Push(n);
  }
  FrameScope fs(stack_, slots, n, curFrame_);
  top.slots = slots;
  top.parent = scope;
  curFrame_ = &top;
  // Constants are known before any statement runs.
  for (auto& s : prog.top)
    if (s->kind == Stmt::Const) Exec(s.get(), top);
  ExecBlock(prog.top, top);
}

// ---- services for natives --------------------------------------------------------
Variant Interp::EvalInScope(std::u16string_view text) {
  Frame* f = curFrame_;
  CompiledExpr e;
  try {
    e = CompileExpr(text, f);
  } catch (const CompileError& ce) {
    throw ScriptError(ce.number);
  }
  if (f && f->proc) {
    int n = 0;
    Variant* slots = PushScopedFrame(*f, 0, n);
    FrameScope fs(stack_, slots, n, curFrame_);
    Frame inner;
    inner.slots = slots;
    inner.proc = f->proc;
    inner.me = f->me;
    inner.extras = f->extras;
    inner.parent = f;
    curFrame_ = &inner;
    return EvalExpr(e.expr.get(), inner);
  }
  if (f) return EvalExpr(e.expr.get(), *f);
  Variant* tmp = stack_.Push(1);
  FrameScope fs(stack_, tmp, 1, curFrame_);
  Frame top;
  top.slots = tmp;
  curFrame_ = &top;
  return EvalExpr(e.expr.get(), top);
}

void Interp::ExecuteInScope(std::u16string_view text, bool global) {
  Frame* f = global ? nullptr : curFrame_;
  if (f && !f->proc) f = nullptr;
  std::shared_ptr<Program> prog;
  std::vector<std::u16string> newExtras;
  try {
    prog = CompileProgram(text, f, &newExtras);
  } catch (const CompileError& ce) {
    throw ScriptError(ce.number);
  }
  if (f && (!newExtras.empty() || !prog->procs.empty())) {
    if (!f->extras) f->extras = std::make_shared<ExtraVars>();
    for (auto& n : newExtras) {
      f->extras->names.push_back(n);
      f->extras->values.push_back(std::make_unique<Variant>());
    }
    auto& procs = f->extras->procs;
    for (auto& p : prog->procs) {
      std::u16string key = FoldName(p->name);
      auto it = std::find_if(procs.begin(), procs.end(), [&](auto& lp) { return lp.key == key; });
      if (it != procs.end()) it->proc = p.get();
      else procs.push_back({std::move(key), p.get()});
    }
  }
  ProgramRelease release{*this, prog};
  RunProgram(*prog, f);
}

Proc* ExtraVars::FindProc(std::u16string_view name) const {
  for (auto& lp : procs)
    if (NameEquals(name, lp.key)) return lp.proc;
  return nullptr;
}

Variant Interp::MakeFuncRef(std::u16string_view name) {
  int s = FindGlobal(FoldName(name));
  if (s < 0 || gslots_[size_t(s)].kind != GlobalSlot::Procedure) Throw(5);
  const GlobalSlot& g = gslots_[size_t(s)];
  return Variant::FromObject(new FuncRef(this, g.proc, g.owner, alive_));
}

[[noreturn]] void Interp::ThrowInterrupt() {
  interrupt_.store(false, std::memory_order_relaxed);
  throw AbortError{ScriptError(kInterruptErrorNumber, u"User interrupt occurred")};
}

void Interp::CatchToErr(const ScriptError& e) {
  if (!raisedByErr) {
    err.number = e.number;
    err.description = e.Text();
    err.source = u"Microsoft VBScript runtime error";
    err.helpFile.clear();
    err.helpContext = 0;
  }
  raisedByErr = false;
  posSet_ = false;
}

// ---- procedure calls -------------------------------------------------------------
Variant Interp::CallProc(Proc* p, ClassInstance* me, ExprList& args, Frame& f) {
  if (args.size() != p->params.size()) Throw(450);
  CheckInterrupt();
  if (depth_ >= kMaxCallDepth || StackLow()) Throw(28);
  DepthGuard dg(depth_);
  int n = p->nslots;
  Variant* slots = stack_.Push(n);
  FrameScope fs(stack_, slots, n, curFrame_);
  const size_t nargs = args.size();
  for (size_t i = 0; i < nargs; ++i) {
    Expr* a = args[i].get();
    if (!a) Throw(450);
    if (p->params[i].byRef && a->kind == Expr::Name) {
      auto* nm = static_cast<NameExpr*>(a);
      if (!nm->hasParens) {
        if (nm->nk == NameKind::Local) {
          slots[i + 1] = Variant::RefTo(&f.slots[nm->slot].Deref());
          continue;
        }
        if (Variant* cell = ByRefCell(a, f)) {
          slots[i + 1] = Variant::RefTo(cell);
          continue;
        }
      } else if (!nm->args.empty()) {
        return CallProcWithElements(p, me, args, f, slots, i);
      }
    }
    // Fresh slots are Empty: the value is built right in place.
    new (&slots[i + 1]) Variant(a->fn(*this, a, f));
  }
  return RunProcBody(p, me, slots);
}

// Rest of CallProc from argument `first` on, when an argument may be an
// array element: such elements go by reference too. An element of a
// Variant array is referred to in place, its array locked for the call; an
// element of a typed array (from Split, Filter...) is copied in and written
// back converted when the call returns.
Variant Interp::CallProcWithElements(Proc* p, ClassInstance* me, ExprList& args,
                                     Frame& f, Variant* slots, size_t first) {
  struct WriteBack {
    Variant* arrayCell;
    std::vector<int32_t> idx;
    int slot;
  };
  std::vector<WriteBack> writeBacks;
  struct Locks {
    std::vector<Array*> arrays;
    ~Locks() {
      for (Array* a : arrays) {
        a->Unlock();
        a->Release();
      }
    }
  } locks;
  for (size_t i = first; i < args.size(); ++i) {
    Expr* a = args[i].get();
    if (!a) Throw(450);
    if (p->params[i].byRef) {
      if (Variant* cell = ByRefCell(a, f)) {
        slots[i + 1] = Variant::RefTo(cell);
        continue;
      }
      if (a->kind == Expr::Name) {
        auto* n = static_cast<NameExpr*>(a);
        if (n->hasParens && !n->args.empty()) {
          Variant* base = VarCell(n, f, false);
          if (base && base->IsArray()) {
            WriteBack wb{base, {}, int(i + 1)};
            for (auto& ix : n->args) {
              if (!ix) Throw(9);
              wb.idx.push_back(ToIndex(EvalExpr(ix.get(), f)));
            }
            base = VarCell(n, f, false);
            if (!base->IsArray()) Throw(13);
            if (VarType(base->type() & ~vbArray) == vbVariant) {
              Array* arr = base->ArrayForWrite();
              Variant& element = arr->At(wb.idx.data(), int(wb.idx.size()));
              arr->AddRef();
              arr->Lock();
              locks.arrays.push_back(arr);
              slots[i + 1] = Variant::RefTo(&element);
              continue;
            }
            slots[i + 1] = base->array()->At(wb.idx.data(), int(wb.idx.size()));
            wb.arrayCell = base;
            writeBacks.push_back(std::move(wb));
            continue;
          }
        }
      }
    }
    slots[i + 1] = EvalExpr(a, f);
  }
  Variant result = RunProcBody(p, me, slots);
  for (auto& wb : writeBacks) {
    if (!wb.arrayCell->IsArray()) continue;
    Variant v = slots[wb.slot].Deref();
    FitElement(*wb.arrayCell, v);
    Array* arr = wb.arrayCell->ArrayForWrite();
    arr->At(wb.idx.data(), int(wb.idx.size())) = std::move(v);
  }
  return result;
}

__attribute__((always_inline)) inline Variant Interp::RunProcBody(Proc* p, ClassInstance* me,
                                                                   Variant* slots) {
  Frame nf;
  nf.slots = slots;
  nf.proc = p;
  nf.me = me;
  nf.parent = curFrame_;
  curFrame_ = &nf;
  // Err keeps what a trapping procedure left in it: callers read it after
  // the call returns.
  ExecBody(p->body, nf);
  return std::move(slots[0]);
}

Variant Interp::CallProcValues(Proc* p, ClassInstance* me, Variant* args, int nargs) {
  if (size_t(nargs) != p->params.size()) Throw(450);
  CheckInterrupt();
  if (depth_ >= kMaxCallDepth || StackLow()) Throw(28);
  DepthGuard dg(depth_);
  int n = p->nslots;
  Variant* slots = stack_.Push(n);
  FrameScope fs(stack_, slots, n, curFrame_);
  for (int i = 0; i < nargs; ++i) {
    Variant& a = args[i];
    if (a.IsByRef() && p->params[size_t(i)].byRef) slots[i + 1] = a;
    else slots[i + 1] = a.Deref();
  }
  return RunProcBody(p, me, slots);
}

void Interp::RunTerminate(ClassInstance* inst) {
  // Errors in Class_Terminate are dropped: the object goes away anyway.
  bool savedPos = posSet_;
  int l = errLine_, c = errCol_;
  try {
    CallProcValues(inst->cls()->term, inst, nullptr, 0);
  } catch (const ScriptError&) {
  } catch (const AbortError&) {
  } catch (const std::bad_alloc&) {
  }
  posSet_ = savedPos;
  errLine_ = l;
  errCol_ = c;
}

void Interp::InvokeClassMember(ClassInstance* inst, int member, InvokeKind kind, Args& args,
                               Variant& result) {
  ClassDef* cls = inst->cls();
  int mi = member == 0 ? cls->defaultMember : member - 1;
  if (mi < 0 || mi >= int(cls->members.size())) Throw(438);
  ClassMember& m = cls->members[size_t(mi)];
  std::vector<Variant> raw;
  for (int i = 0; i < args.size(); ++i) raw.push_back(args.Raw(i));
  bool assign = kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet;
  if (m.field >= 0) {
    Variant& cell = inst->fields()[size_t(m.field)];
    if (!assign) {
      if (args.size() == 0) {
        result = cell;
      } else {
        if (!cell.IsArray()) Throw(13);
        std::vector<int32_t> idx;
        for (int i = 0; i < args.size(); ++i) idx.push_back(ToIndex(args[i]));
        result = cell.array()->At(idx.data(), int(idx.size()));
      }
      return;
    }
    Variant v = args[args.size() - 1];
    if (args.size() == 1) {
      AssignCell(cell, std::move(v), kind == InvokeKind::PropertySet);
    } else {
      if (!cell.IsArray()) Throw(13);
      std::vector<int32_t> idx;
      for (int i = 0; i + 1 < args.size(); ++i) idx.push_back(ToIndex(args[i]));
      FitElement(cell, v);
      Array* a = cell.ArrayForWrite();
      a->At(idx.data(), int(idx.size())) = std::move(v);
    }
    return;
  }
  Proc* p = nullptr;
  if (!assign) p = m.method ? m.method : m.get;
  else if (kind == InvokeKind::PropertySet) p = m.set ? m.set : m.let;
  else p = m.let ? m.let : m.set;
  if (!p) Throw(438);
  Variant r = CallProcValues(p, inst, raw.data(), int(raw.size()));
  if (!assign) result = std::move(r);
}

// ---- expressions ------------------------------------------------------------------
namespace {
inline bool IsIntegral(VarType t) { return t == vbInteger || t == vbLong; }
using detail::AsDbl;   // Double, Integer or Long as a double
inline int32_t IntOf(const Variant& v) { return v.type() == vbLong ? v.longVal() : v.intVal(); }
}  // namespace

// Mixed Integer/Long/Double operands are the bulk of numeric code; they are
// decided here without the general conversion path. Everything else (and
// division by zero) goes to the value operators.
bool Interp::FastBinary(BinOp op, const Variant& l, const Variant& r, Variant& out) {
  const VarType tl = l.type(), tr = r.type();
  if (IsIntegral(tl) && IsIntegral(tr)) {
    int64_t a = IntOf(l), b = IntOf(r);
    bool bothInt = tl == vbInteger && tr == vbInteger;
    switch (op) {
      case BinOp::Add: out = detail::IntResult(a + b, bothInt); return true;
      case BinOp::Sub: out = detail::IntResult(a - b, bothInt); return true;
      case BinOp::Mul: out = detail::IntResult(a * b, bothInt); return true;
      case BinOp::Div:
        if (b == 0) return false;
        out = Variant::FromDouble(double(a) / double(b));
        return true;
      case BinOp::Eq: out = Variant::FromBool(a == b); return true;
      case BinOp::Ne: out = Variant::FromBool(a != b); return true;
      case BinOp::Lt: out = Variant::FromBool(a < b); return true;
      case BinOp::Gt: out = Variant::FromBool(a > b); return true;
      case BinOp::Le: out = Variant::FromBool(a <= b); return true;
      case BinOp::Ge: out = Variant::FromBool(a >= b); return true;
      default: return false;
    }
  }
  double a, b;
  if ((tl == vbDouble || tr == vbDouble) && AsDbl(l, a) && AsDbl(r, b)) {
    switch (op) {
      case BinOp::Add: out = detail::CheckedDouble(a + b); return true;
      case BinOp::Sub: out = detail::CheckedDouble(a - b); return true;
      case BinOp::Mul: out = detail::CheckedDouble(a * b); return true;
      case BinOp::Div:
        if (b == 0) return false;
        out = detail::CheckedDouble(a / b);
        return true;
      case BinOp::Eq: out = Variant::FromBool(a == b); return true;
      case BinOp::Ne: out = Variant::FromBool(a != b); return true;
      case BinOp::Lt: out = Variant::FromBool(a < b); return true;
      case BinOp::Gt: out = Variant::FromBool(a > b); return true;
      case BinOp::Le: out = Variant::FromBool(a <= b); return true;
      case BinOp::Ge: out = Variant::FromBool(a >= b); return true;
      default: return false;
    }
  }
  return false;
}
Variant Interp::EvalGeneric(Expr* e, Frame& f) {
  if (StackLow()) Throw(28);  // ((( ... ))), - - - ...: nested as deep as the parser allowed
  switch (e->kind) {
    case Expr::Literal:
      return static_cast<LiteralExpr*>(e)->value;
    case Expr::Name: {
      auto* n = static_cast<NameExpr*>(e);
      if (!n->hasParens) {
        if (n->nk == NameKind::Local) return f.slots[n->slot].Deref();
        if (n->nk == NameKind::Global) {
          GlobalSlot::Kind k = gslots_[size_t(n->slot)].kind;
          if (k == GlobalSlot::Var || k == GlobalSlot::Implicit || k == GlobalSlot::Const)
            return gvals_[size_t(n->slot)];
        }
      }
      return EvalName(n, f, false);
    }
    case Expr::Binary: {
      auto* b = static_cast<BinaryExpr*>(e);
      Variant l = EvalExpr(b->lhs.get(), f);
      Variant r = EvalExpr(b->rhs.get(), f);
      {
        Variant fast;
        if (FastBinary(b->op, l, r, fast)) return fast;
      }
      try {
        switch (b->op) {
          case BinOp::Add: return OpAdd(l, r);
          case BinOp::Sub: return OpSub(l, r);
          case BinOp::Mul: return OpMul(l, r);
          case BinOp::Div: return OpDiv(l, r);
          case BinOp::IntDiv: return OpIntDiv(l, r);
          case BinOp::Mod: return OpMod(l, r);
          case BinOp::Pow: return OpPow(l, r);
          case BinOp::Concat: return OpConcat(l, r);
          case BinOp::Eq: return OpEq(l, r);
          case BinOp::Ne: return OpNe(l, r);
          case BinOp::Lt: return OpLt(l, r);
          case BinOp::Gt: return OpGt(l, r);
          case BinOp::Le: return OpLe(l, r);
          case BinOp::Ge: return OpGe(l, r);
          case BinOp::Is: return Variant::FromBool(OpIs(l, r));
          case BinOp::And: return OpAnd(l, r);
          case BinOp::Or: return OpOr(l, r);
          case BinOp::Xor: return OpXor(l, r);
          case BinOp::Eqv: return OpEqv(l, r);
          case BinOp::Imp: return OpImp(l, r);
        }
      } catch (const ScriptError&) {
        throw;
      }
      return Variant();
    }
    case Expr::Unary: {
      auto* u = static_cast<UnaryExpr*>(e);
      Variant v = EvalExpr(u->operand.get(), f);
      try {
        switch (u->op) {
          case UnOp::Neg: return OpNeg(v);
          case UnOp::Not: return OpNot(v);
          case UnOp::Plus:
            if (v.IsObject()) return DefaultValue(v.object());
            return v;
        }
      } catch (const ScriptError&) {
        throw;
      }
      return v;
    }
    case Expr::Member:
      return EvalMember(static_cast<MemberExpr*>(e), f, false);
    case Expr::Call:
      return EvalCallExpr(static_cast<CallExpr*>(e), f);
    case Expr::Paren: {
      Variant v = EvalExpr(static_cast<ParenExpr*>(e)->inner.get(), f);
      return v;
    }
    case Expr::New:
      return NewObject(static_cast<NewExpr*>(e));
    case Expr::Me:
      if (!f.me) {
        Throw(424);
      }
      return Variant::FromObject(f.me);
    case Expr::WithObj:
      break;
  }
  return Variant();
}

Variant Interp::IndexValue(const Variant& baseIn, ExprList& args, Frame& f) {
  const Variant& base = baseIn.Deref();
  if (base.IsArray()) {
    int32_t buf[8];
    std::vector<int32_t> big;
    int32_t* idx = buf;
    if (args.size() > 8) {
      big.resize(args.size());
      idx = big.data();
    }
    for (size_t i = 0; i < args.size(); ++i) {
      if (!args[i]) Throw(9);
      idx[i] = ToIndex(EvalExpr(args[i].get(), f));
    }
    // base is a variable's storage: reading the indices may have replaced
    // the array in it, so look again.
    if (!base.IsArray()) Throw(13);
    return base.array()->At(idx, int(args.size()));
  }
  if (base.IsObject()) {
    Variant obj = base;
    return CallObject(obj, u"", 0, &args, true, f, InvokeKind::PropertyGet, nullptr);
  }
  if (args.empty()) return base;
  Throw(13);
}

Variant Interp::EvalName(NameExpr* n, Frame& f, bool asStatement) {
  try {
    switch (n->nk) {
      case NameKind::Local: {
        Variant& v = f.slots[n->slot].Deref();
        if (!n->hasParens) return v;
        return IndexValue(v, n->args, f);
      }
      case NameKind::Field: {
        Variant& v = f.me->fields()[size_t(n->slot)];
        if (!n->hasParens) return v;
        return IndexValue(v, n->args, f);
      }
      case NameKind::Dyn:
        if (gslots_[size_t(n->slot)].kind == GlobalSlot::Undefined) {
          if (Proc* p = FrameProc(f, n->name)) return CallProc(p, nullptr, n->args, f);
          if (n->strict) Throw(500);
          Variant& v = f.slots[n->local].Deref();
          if (!n->hasParens) return v;
          return IndexValue(v, n->args, f);
        }
        [[fallthrough]];
      case NameKind::Global: {
        GlobalSlot::Kind k = gslots_[size_t(n->slot)].kind;
        switch (k) {
          case GlobalSlot::Procedure: {
            // Programs stay alive until Reset, so a procedure that is
            // redefined while it runs keeps its code.
            return CallProc(gslots_[size_t(n->slot)].proc, nullptr, n->args, f);
          }
          case GlobalSlot::Undefined:
            if (Proc* p = FrameProc(f, n->name)) return CallProc(p, nullptr, n->args, f);
            if (n->strict) Throw(500);
            // Calling something that was never defined.
            if (n->hasParens || asStatement) throw ScriptError(13, u"Type mismatch: '" + std::u16string(n->name) + u"'");
            return Variant();
          case GlobalSlot::Class:
            Throw(13);
          default: {
            Variant& v = gvals_[size_t(n->slot)];
            if (!n->hasParens) return v;
            return IndexValue(v, n->args, f);
          }
        }
      }
      case NameKind::MeMember: {
        if (!f.me) Throw(424);
        return CallClassMember(f.me, n->slot, n->hasParens ? &n->args : nullptr, f);
      }
      case NameKind::Builtin:
        return CallBuiltin(n->slot, n->args, f);
      case NameKind::Constant:
        if (n->hasParens && !n->args.empty()) Throw(13);
        return n->constVal;
      case NameKind::Unresolved:
        break;
    }
  } catch (const ScriptError&) {
    throw;
  }
  Throw(500);
}

// Member `mi` of a script object, read or called.
Variant Interp::CallClassMember(ClassInstance* inst, int mi, ExprList* args, Frame& f) {
  ClassMember& m = inst->cls()->members[size_t(mi)];
  static ExprList kNoArgs;
  ExprList& a = args ? *args : kNoArgs;
  if (m.field >= 0) {
    Variant& v = inst->fields()[size_t(m.field)];
    if (a.empty()) return v;
    return IndexValue(v, a, f);
  }
  Proc* p = m.method ? m.method : m.get;
  if (!p) Throw(438);
  Variant keepAlive = Variant::FromObject(inst);
  return CallProc(p, inst, a, f);
}

Variant Interp::CallBuiltin(int index, ExprList& args, Frame& f) {
  const BuiltinDef& d = BuiltinAt(index);
  int n = int(args.size());
  if (n < d.minArgs || (d.maxArgs >= 0 && n > d.maxArgs)) Throw(450);
  Variant buf[8];
  std::vector<Variant> big;
  Variant* items = buf;
  if (n > 8) {
    big.resize(size_t(n));
    items = big.data();
  }
  for (int i = 0; i < n; ++i) {
    Expr* a = args[size_t(i)].get();
    if (!a) items[i] = Variant::Missing();
    else items[i] = EvalExpr(a, f);
  }
  Args av(items, n);
  Context ctx(*this);
  return d.fn(ctx, av);
}

Variant* Interp::ByRefCell(Expr* e, Frame& f) {
  if (e->kind != Expr::Name) return nullptr;
  auto* n = static_cast<NameExpr*>(e);
  if (n->hasParens) return nullptr;
  switch (n->nk) {
    case NameKind::Local:
      return &f.slots[n->slot].Deref();
    case NameKind::Field:
      return &f.me->fields()[size_t(n->slot)];
    case NameKind::Dyn:
      if (gslots_[size_t(n->slot)].kind == GlobalSlot::Undefined) {
        if (n->strict) Throw(500);
        return &f.slots[n->local].Deref();
      }
      [[fallthrough]];
    case NameKind::Global: {
      if (n->gcell) return n->gcell;
      GlobalSlot& g = gslots_[size_t(n->slot)];
      if (g.kind == GlobalSlot::Var) return n->gcell = &gvals_[size_t(n->slot)];
      if (g.kind == GlobalSlot::Implicit) return &gvals_[size_t(n->slot)];
      if (g.kind == GlobalSlot::Undefined) {
        if (n->strict) Throw(500);
        g.kind = GlobalSlot::Implicit;
        return &gvals_[size_t(n->slot)];
      }
      return nullptr;
    }
    default:
      return nullptr;
  }
}

Variant* Interp::VarCell(NameExpr* n, Frame& f, bool forWrite) {
  switch (n->nk) {
    case NameKind::Local:
      return &f.slots[n->slot].Deref();
    case NameKind::Field:
      return &f.me->fields()[size_t(n->slot)];
    case NameKind::Dyn:
      if (gslots_[size_t(n->slot)].kind == GlobalSlot::Undefined) {
        if (n->strict) Throw(500);
        return &f.slots[n->local].Deref();
      }
      [[fallthrough]];
    case NameKind::Global: {
      GlobalSlot& g = gslots_[size_t(n->slot)];
      switch (g.kind) {
        case GlobalSlot::Var:
        case GlobalSlot::Implicit:
          return &gvals_[size_t(n->slot)];
        case GlobalSlot::Undefined:
          if (n->strict) Throw(500);
          g.kind = GlobalSlot::Implicit;
          return &gvals_[size_t(n->slot)];
        case GlobalSlot::Const:
        case GlobalSlot::HostObj:
        case GlobalSlot::ErrObj:
          if (forWrite) Throw(501);
          return &gvals_[size_t(n->slot)];
        default:
          return nullptr;
      }
    }
    default:
      return nullptr;
  }
}

Variant Interp::EvalCallExpr(CallExpr* c, Frame& f) {
  if (StackLow()) Throw(28);  // f(1)(2)(3)... nests without bound
  Variant callee = EvalExpr(c->callee.get(), f);
  try {
    return IndexValue(callee, c->args, f);
  } catch (const ScriptError&) {
    throw;
  }
}

Variant Interp::EvalMember(MemberExpr* m, Frame& f, bool asStatement) {
  if (StackLow()) Throw(28);  // o.a.b.c... nests without bound
  Variant obj = EvalExpr(m->obj.get(), f);
  try {
    return CallObject(obj, m->name, -1, m->hasParens ? &m->args : nullptr, m->hasParens, f,
                      asStatement ? InvokeKind::Method : InvokeKind::PropertyGet, m);
  } catch (const ScriptError&) {
    throw;
  }
}

void Interp::BuildHostArgs(ExprList* args, Frame& f, std::vector<Variant>& out) {
  if (!args) return;
  out.reserve(args->size() + 1);
  for (auto& a : *args) {
    if (!a) {
      out.push_back(Variant::Missing());
      continue;
    }
    if (Variant* cell = ByRefCell(a.get(), f)) out.push_back(Variant::RefTo(cell));
    else out.push_back(EvalExpr(a.get(), f));
  }
}

int Interp::LookupClassMember(ClassInstance* ci, std::u16string_view name, MemberExpr* site,
                              Frame& f) {
  int mi;
  if (site && site->cacheKey == ci->cls()) {
    mi = site->cacheMember;
  } else {
    mi = ci->cls()->FindMember(name);
    if (site) {
      site->cacheKey = ci->cls();
      site->cacheMember = mi;
    }
  }
  if (mi < 0) Throw(438);
  if (!ci->cls()->members[size_t(mi)].isPublic && !(f.me && f.me->cls() == ci->cls())) Throw(438);
  return mi;
}

Variant Interp::CallObject(const Variant& objIn, std::u16string_view member, int cachedMember,
                           ExprList* args, bool hasParens, Frame& f, InvokeKind kind,
                           MemberExpr* site) {
  (void)cachedMember;
  (void)hasParens;
  const Variant& ov = objIn.Deref();
  if (!ov.IsObject()) Throw(424);
  Object* o = ov.object();
  if (!o) Throw(91);
  Variant hold = ov;  // keeps the object alive during the call
  bool isDefault = member.empty();
  if (auto* ci = dynamic_cast<ClassInstance*>(o)) {
    int mi;
    if (isDefault) {
      mi = ci->cls()->defaultMember;
      if (mi < 0) Throw(438);
    } else {
      mi = LookupClassMember(ci, member, site, f);
    }
    return CallClassMember(ci, mi, args, f);
  }
  int id = isDefault ? 0 : o->FindMember(member);
  if (id < 0) Throw(438);
  std::vector<Variant> items;
  BuildHostArgs(args, f, items);
  Args av(items.data(), int(items.size()));
  Variant result;
  o->Invoke(id, kind, av, result);
  return result;
}

Variant Interp::NewObject(NewExpr* n) {
  const GlobalSlot& g = gslots_[size_t(n->globalSlot)];
  if (g.kind != GlobalSlot::Class) {
    // Not a script class: a built-in class whose factory is registered as
    // a function of the same name (RegExp).
    Ref<HostObject> obj = NewLibraryObject(n->className);
    if (!obj) throw ScriptError(506, u"Class not defined: '" + n->className + u"'");
    return Variant::FromObject(obj.get());
  }
  auto* inst = new ClassInstance(this, g.cls, g.owner, alive_);
  Variant v = Variant::FromObject(inst);
  if (g.cls->init) CallProcValues(g.cls->init, inst, nullptr, 0);
  inst->initialized = true;
  return v;
}

// ---- assignment --------------------------------------------------------------------
void Interp::AssignCell(Variant& cell, Variant&& value, bool isSet) {
  if (isSet) {
    if (!value.IsObject()) Throw(424);
    cell = std::move(value);
    return;
  }
  if (value.IsObject()) {
    if (value.IsNothing()) Throw(91);
    Variant d = DefaultValue(value.object());
    cell = std::move(d);
    return;
  }
  uint16_t flags = cell.flags();
  if (flags & Variant::kFixedArray) Throw(501);
  cell = std::move(value);
}

void Interp::AssignIndexed(Variant& baseIn, ExprList& idxExprs, Variant&& value,
                           bool isSet, Frame& f) {
  int32_t buf[8];
  std::vector<int32_t> big;
  int32_t* idx = buf;
  if (idxExprs.size() > 8) {
    big.resize(idxExprs.size());
    idx = big.data();
  }
  Variant& base = baseIn.Deref();
  if (base.IsArray()) {
    for (size_t i = 0; i < idxExprs.size(); ++i) {
      if (!idxExprs[i]) Throw(9);
      idx[i] = ToIndex(EvalExpr(idxExprs[i].get(), f));
    }
    if (!base.IsArray()) Throw(13);
    if (isSet) {
      if (!value.IsObject()) Throw(424);
    } else if (value.IsObject()) {
      if (value.IsNothing()) Throw(91);
      value = DefaultValue(value.object());
    }
    FitElement(base, value);
    Array* a = base.ArrayForWrite();
    a->At(idx, int(idxExprs.size())) = std::move(value);
    return;
  }
  if (base.IsObject()) {
    Variant hold = base;
    Object* o = hold.object();
    if (!o) Throw(91);
    std::vector<Variant> items;
    BuildHostArgs(&idxExprs, f, items);
    items.push_back(std::move(value));
    Args av(items.data(), int(items.size()));
    Variant ignored;
    o->Invoke(0, isSet ? InvokeKind::PropertySet : InvokeKind::PropertyLet, av, ignored);
    return;
  }
  Throw(13);
}

void Interp::AssignMember(MemberExpr* m, Variant&& value, bool isSet, Frame& f) {
  Variant obj = EvalExpr(m->obj.get(), f);
  const Variant& ov = obj.Deref();
  if (!ov.IsObject()) Throw(424);
  Object* o = ov.object();
  if (!o) Throw(91);
  if (auto* ci = dynamic_cast<ClassInstance*>(o)) {
    int mi = LookupClassMember(ci, m->name, m, f);
    ClassMember& cm = ci->cls()->members[size_t(mi)];
    if (cm.field >= 0) {
      Variant& cell = ci->fields()[size_t(cm.field)];
      if (m->hasParens && !m->args.empty()) AssignIndexed(cell, m->args, std::move(value), isSet, f);
      else AssignCell(cell, std::move(value), isSet);
      return;
    }
    SetClassProperty(ci, cm, m->hasParens ? &m->args : nullptr, std::move(value), isSet, f);
    return;
  }
  int id = o->FindMember(m->name);
  if (id < 0) Throw(438);
  std::vector<Variant> items;
  BuildHostArgs(m->hasParens ? &m->args : nullptr, f, items);
  items.push_back(std::move(value));
  Args av(items.data(), int(items.size()));
  Variant ignored;
  o->Invoke(id, isSet ? InvokeKind::PropertySet : InvokeKind::PropertyLet, av, ignored);
}

void Interp::SetClassProperty(ClassInstance* ci, ClassMember& cm, ExprList* args,
                              Variant&& value, bool isSet, Frame& f) {
  Proc* p = isSet ? (cm.set ? cm.set : nullptr) : (cm.let ? cm.let : nullptr);
  if (!p) {
    if (!isSet && !cm.let && cm.set && value.IsObject()) p = cm.set;
    else Throw(isSet ? 438 : 438);
  }
  if (!isSet && value.IsObject() && p == cm.let) {
    if (value.IsNothing()) Throw(91);
    value = DefaultValue(value.object());
  }
  std::vector<Variant> items;
  BuildHostArgs(args, f, items);
  items.push_back(std::move(value));
  Variant hold = Variant::FromObject(ci);
  CallProcValues(p, ci, items.data(), int(items.size()));
}

void Interp::Assign(Expr* target, Variant&& value, bool isSet, Frame& f) {
  switch (target->kind) {
    case Expr::Name: {
      auto* n = static_cast<NameExpr*>(target);
      if (n->nk == NameKind::MeMember) {
        if (!f.me) Throw(424);
        ClassMember& cm = f.me->cls()->members[size_t(n->slot)];
        SetClassProperty(f.me, cm, n->hasParens ? &n->args : nullptr, std::move(value), isSet, f);
        return;
      }
      Variant* cell = VarCell(n, f, true);
      if (!cell) {
        if (n->nk == NameKind::Builtin || n->nk == NameKind::Constant) Throw(501);
        Throw(501);
      }
      if (n->hasParens && !n->args.empty()) {
        AssignIndexed(*cell, n->args, std::move(value), isSet, f);
        return;
      }
      AssignCell(*cell, std::move(value), isSet);
      return;
    }
    case Expr::Member:
      AssignMember(static_cast<MemberExpr*>(target), std::move(value), isSet, f);
      return;
    case Expr::Call: {
      auto* c = static_cast<CallExpr*>(target);
      Variant base = EvalExpr(c->callee.get(), f);
      AssignIndexed(base, c->args, std::move(value), isSet, f);
      return;
    }
    default:
      Throw(501);
  }
}

// ---- statements --------------------------------------------------------------------
Flow Interp::ExecBlock(Block& b, Frame& f) {
  // Blocks nest as deep as the parser allowed, which may be more than is
  // left below a deep recursion.
  if (StackLow()) Throw(28);
  return ExecBody(b, f);
}

// ExecBlock's loop, inlined into the loop statements.
__attribute__((always_inline)) inline Flow Interp::ExecBody(Block& b, Frame& f) {
  for (auto& sp : b) {
    Stmt* s = sp.get();
    try {
      Flow r = Exec(s, f);
      if (r != Flow::Normal) return r;
    } catch (const ScriptError& e) {
      if (f.onErrorResume) {
        CatchToErr(e);
        continue;
      }
      NotePos(s->line, s->col);
      throw;
    } catch (const std::bad_alloc&) {
      if (f.onErrorResume) {
        CatchToErr(ScriptError(7));
        continue;
      }
      NotePos(s->line, s->col);
      throw ScriptError(7);
    } catch (const AbortError&) {
      NotePos(s->line, s->col);
      throw;
    }
  }
  return Flow::Normal;
}

Flow Interp::ExecGeneric(Stmt* s, Frame& f) {
  if (StackLow()) Throw(28);  // loops and Select nest like blocks
  switch (s->kind) {
    case Stmt::Assign: {
      auto* a = static_cast<AssignStmt*>(s);
      Expr* t = a->target.get();
      if (!a->isSet && t->kind == Expr::Name) {
        auto* n = static_cast<NameExpr*>(t);
        if (!n->hasParens && n->nk != NameKind::MeMember) {
          // s = s & x: append in place when s owns its string.
          Expr* v = a->value.get();
          if (v->kind == Expr::Binary) {
            auto* b = static_cast<BinaryExpr*>(v);
            if (b->op == BinOp::Concat && b->lhs->kind == Expr::Name) {
              auto* ln = static_cast<NameExpr*>(b->lhs.get());
              if (ln->nk == n->nk && ln->slot == n->slot && !ln->hasParens &&
                  (n->nk == NameKind::Local || n->nk == NameKind::Global || n->nk == NameKind::Field)) {
                Variant* cell = VarCell(n, f, true);
                if (cell && cell->IsString()) {
                  Variant rhs = EvalExpr(b->rhs.get(), f);
                  cell = VarCell(n, f, true);
                  if (cell->IsString() && !rhs.IsObject()) {
                    try {
                      ConcatAssign(*cell, rhs);
                    } catch (const ScriptError&) {
                      throw;
                    }
                    return Flow::Normal;
                  }
                  Variant lv = *cell;
                  Variant r;
                  try {
                    r = OpConcat(lv, rhs);
                  } catch (const ScriptError&) {
                    throw;
                  }
                  AssignCell(*cell, std::move(r), false);
                  return Flow::Normal;
                }
              }
            }
          }
          Variant val = EvalExpr(v, f);
          if (!val.IsObject()) {
            Variant* cell = nullptr;
            if (n->nk == NameKind::Local) {
              cell = &f.slots[n->slot].Deref();
            } else if (n->nk == NameKind::Global) {
              GlobalSlot::Kind k = gslots_[size_t(n->slot)].kind;
              if (k == GlobalSlot::Var || k == GlobalSlot::Implicit) cell = &gvals_[size_t(n->slot)];
            }
            if (cell && !(cell->flags() & Variant::kFixedArray)) {
              *cell = std::move(val);
              return Flow::Normal;
            }
          }
          Assign(t, std::move(val), false, f);
          return Flow::Normal;
        }
      }
      Variant val = EvalExpr(a->value.get(), f);
      Assign(t, std::move(val), a->isSet, f);
      return Flow::Normal;
    }
    case Stmt::CallS: {
      Expr* c = static_cast<CallStmt*>(s)->call.get();
      switch (c->kind) {
        case Expr::Name:
          EvalName(static_cast<NameExpr*>(c), f, true);
          break;
        case Expr::Member:
          EvalMember(static_cast<MemberExpr*>(c), f, true);
          break;
        default:
          EvalExpr(c, f);
          break;
      }
      return Flow::Normal;
    }
    case Stmt::Dim:
      ExecDim(static_cast<DimStmt*>(s), f);
      return Flow::Normal;
    case Stmt::ReDim:
      ExecReDim(static_cast<ReDimStmt*>(s), f);
      return Flow::Normal;
    case Stmt::If: {
      auto* i = static_cast<IfStmt*>(s);
      for (size_t k = 0; k < i->conds.size(); ++k) {
        bool failed;
        if (EvalCondition(i->conds[k].get(), f, failed)) return ExecBlock(i->blocks[k], f);
      }
      return ExecBlock(i->elseBlock, f);
    }
    case Stmt::Select:
      return ExecSelect(static_cast<SelectStmt*>(s), f);
    case Stmt::For:
      return ExecFor(static_cast<ForStmt*>(s), f);
    case Stmt::ForEach:
      return ExecForEach(static_cast<ForEachStmt*>(s), f);
    case Stmt::Do:
      return ExecDo(static_cast<DoStmt*>(s), f);
    case Stmt::Exit:
      switch (static_cast<ExitStmt*>(s)->what) {
        case ExitKind::Do: return Flow::ExitDo;
        case ExitKind::For: return Flow::ExitFor;
        default: return Flow::ExitProc;
      }
    case Stmt::With: {
      auto* w = static_cast<WithStmt*>(s);
      f.slots[w->slot] = EvalExpr(w->obj.get(), f);
      Flow r;
      try {
        r = ExecBlock(w->body, f);
      } catch (...) {
        f.slots[w->slot].Clear();
        throw;
      }
      f.slots[w->slot].Clear();
      return r;
    }
    case Stmt::OnError:
      f.onErrorResume = static_cast<OnErrorStmt*>(s)->resumeNext;
      err.Clear();
      return Flow::Normal;
    case Stmt::Erase:
      for (auto& t : static_cast<EraseStmt*>(s)->targets) {
        if (t->kind != Expr::Name) Throw(13);
        Variant* cell = VarCell(static_cast<NameExpr*>(t.get()), f, true);
        if (!cell) Throw(13);
        EraseVariable(*cell);
      }
      return Flow::Normal;
    case Stmt::Const:
      for (auto& c : static_cast<ConstStmt*>(s)->items) {
        Variant v = EvalExpr(c.value.get(), f);
        auto* n = static_cast<NameExpr*>(c.target.get());
        if (n->nk == NameKind::Global) gvals_[size_t(n->slot)] = std::move(v);
        else if (Variant* cell = VarCell(n, f, false)) *cell = std::move(v);
      }
      return Flow::Normal;
    case Stmt::Nop:
      return Flow::Normal;
  }
  return Flow::Normal;
}

void Interp::ExecDim(DimStmt* s, Frame& f) {
  for (auto& v : s->vars) {
    if (!v.isArray) continue;
    Variant* cell = VarCell(static_cast<NameExpr*>(v.target.get()), f, true);
    if (!cell) continue;
    if (v.bounds.empty()) {
      *cell = Variant::FromArray(new Array());
      continue;
    }
    std::vector<int32_t> ub;
    for (auto& b : v.bounds) ub.push_back(ToIndex(EvalExpr(b.get(), f)));
    cell = VarCell(static_cast<NameExpr*>(v.target.get()), f, true);
    *cell = Variant::FromArray(Array::Create(ub.data(), int(ub.size())));
    cell->SetFlags(Variant::kFixedArray);
  }
}

void Interp::ExecReDim(ReDimStmt* s, Frame& f) {
  for (auto& it : s->items) {
    std::vector<int32_t> ub;
    for (auto& b : it.bounds) ub.push_back(ToIndex(EvalExpr(b.get(), f)));
    Variant* cell = nullptr;
    if (it.target->kind == Expr::Name) cell = VarCell(static_cast<NameExpr*>(it.target.get()), f, true);
    if (!cell) Throw(13);
    ReDimVariable(*cell, ub.data(), int(ub.size()), s->preserve);
  }
}

Flow Interp::ExecSelect(SelectStmt* s, Frame& f) {
  Variant subj;
  try {
    subj = EvalExpr(s->subject.get(), f);
  } catch (const ScriptError& e) {
    ConditionFailed(e, f);
    if (!s->cases.empty()) return ExecBlock(s->cases.front().body, f);
    return ExecBlock(s->elseBlock, f);
  }
  const bool subjLit = IsTypedLiteral(s->subject.get());
  auto cmp = [&](Expr* x) {
    Variant v = EvalExpr(x, f);
    return CompareWithLiterals(subj, subjLit, v, IsTypedLiteral(x));
  };
  for (auto& c : s->cases) {
    bool hit = false;
    for (auto& t : c.tests) {
      try {
        CmpResult r = cmp(t.a.get());
        switch (t.kind) {
          case CaseTest::Value:
            hit = r == CmpResult::Equal;
            break;
          case CaseTest::Range: {
            CmpResult r2 = cmp(t.b.get());
            hit = (r == CmpResult::Equal || r == CmpResult::Greater) &&
                  (r2 == CmpResult::Equal || r2 == CmpResult::Less);
            break;
          }
          case CaseTest::IsCmp:
            switch (t.cmp) {
              case BinOp::Eq: hit = r == CmpResult::Equal; break;
              case BinOp::Ne: hit = r == CmpResult::Less || r == CmpResult::Greater; break;
              case BinOp::Lt: hit = r == CmpResult::Less; break;
              case BinOp::Gt: hit = r == CmpResult::Greater; break;
              case BinOp::Le: hit = r == CmpResult::Less || r == CmpResult::Equal; break;
              case BinOp::Ge: hit = r == CmpResult::Greater || r == CmpResult::Equal; break;
              default: break;
            }
            break;
        }
      } catch (const ScriptError& e) {
        hit = ConditionFailed(e, f);
      }
      if (hit) break;
    }
    if (hit) return ExecBlock(c.body, f);
  }
  if (s->hasElse) return ExecBlock(s->elseBlock, f);
  return Flow::Normal;
}

static bool IsIntType(VarType t) { return t == vbInteger || t == vbLong || t == vbByte; }
static int64_t IntOf64(const Variant& v) {
  switch (v.type()) {
    case vbInteger: return v.intVal();
    case vbLong: return v.longVal();
    case vbByte: return v.byteVal();
    default: return 0;
  }
}

Flow Interp::ExecFor(ForStmt* s, Frame& f) {
  auto* var = static_cast<NameExpr*>(s->var.get());
  Variant from = EvalExpr(s->from.get(), f);
  Variant to = EvalExpr(s->to.get(), f);
  Variant step = s->step ? EvalExpr(s->step.get(), f) : Variant::FromInteger(1);
  if (from.IsObject()) from = DefaultValue(from.object());
  if (to.IsObject()) to = DefaultValue(to.object());
  if (step.IsObject()) step = DefaultValue(step.object());
  if (from.IsNull() || to.IsNull() || step.IsNull()) Throw(94);
  // Text bounds count as the numbers they spell ("abc" raises 13).
  for (Variant* v : {&from, &to, &step})
    if (v->IsString()) *v = Variant::FromDouble(ToDouble(*v));
  Variant* cell = VarCell(var, f, true);
  if (!cell) Throw(13);
  if (IsIntType(from.type()) && IsIntType(to.type()) && IsIntType(step.type())) {
    auto small = [](VarType t) { return t == vbInteger || t == vbByte; };
    bool allInt = small(from.type()) && small(to.type()) && small(step.type());
    int64_t i = IntOf64(from), end = IntOf64(to), st = IntOf64(step);
    bool first = true;
    for (;;) {
      if (st >= 0 ? i > end : i < end) break;
      // The counter starts with the start value's own subtype.
      if (first && from.type() == vbByte) cell->SetByte(uint8_t(i));
      else if (allInt && i >= INT16_MIN && i <= INT16_MAX) cell->SetInteger(int16_t(i));
      else if (i >= INT32_MIN && i <= INT32_MAX) cell->SetLong(int32_t(i));
      else Throw(6);
      first = false;
      Flow r = ExecBody(s->body, f);
      if (r == Flow::ExitFor) return Flow::Normal;
      if (r != Flow::Normal) return r;
      CheckInterrupt();
      if (IsIntType(cell->type())) {
        i = IntOf64(*cell);
      } else {
        // The body stored something else in the counter: continue generically.
        Variant cur = *cell;
        i = int64_t(ToDouble(cur));
      }
      i += st;
    }
    if (allInt && i >= INT16_MIN && i <= INT16_MAX) cell->SetInteger(int16_t(i));
    else if (i >= INT32_MIN && i <= INT32_MAX) cell->SetLong(int32_t(i));
    else cell->SetDouble(double(i));
    return Flow::Normal;
  }
  // General case: Variant arithmetic with VBScript's typing.
  double stv = ToDouble(step);
  AssignCell(*cell, Variant(from), false);
  for (;;) {
    cell = VarCell(var, f, true);
    Variant cur = *cell;
    CmpResult c = Compare(cur, to);
    if (stv >= 0 ? c == CmpResult::Greater : c == CmpResult::Less) break;
    Flow r = ExecBlock(s->body, f);
    if (r == Flow::ExitFor) return Flow::Normal;
    if (r != Flow::Normal) return r;
    CheckInterrupt();
    cell = VarCell(var, f, true);
    Variant next = OpAdd(*cell, step);
    *cell = std::move(next);
  }
  return Flow::Normal;
}

Flow Interp::ExecForEach(ForEachStmt* s, Frame& f) {
  std::vector<Variant> items;
  Variant arrHold;
  const Variant* data = nullptr;
  size_t count = 0;
  try {
    Variant coll = EvalExpr(s->coll.get(), f);
    const Variant& cv = coll.Deref();
    if (cv.IsArray()) {
      arrHold = cv;  // our reference keeps this snapshot unchanged
      data = arrHold.array()->Data();
      count = arrHold.array()->Count();
    } else if (cv.IsObject() && cv.object()) {
      if (!cv.object()->Enumerate(items)) Throw(451);
      data = items.data();
      count = items.size();
    } else {
      Throw(cv.IsObject() ? 91 : 451);
    }
  } catch (const ScriptError& e) {
    // Resuming runs the body once, the variable untouched.
    ConditionFailed(e, f);
    Flow r = ExecBlock(s->body, f);
    return r == Flow::ExitFor ? Flow::Normal : r;
  }
  auto* var = s->var.get();
  for (size_t i = 0; i < count; ++i) {
    Variant item = data[i];
    bool isObj = item.IsObject();
    Assign(var, std::move(item), isObj, f);
    Flow r = ExecBlock(s->body, f);
    if (r == Flow::ExitFor) return Flow::Normal;
    if (r != Flow::Normal) return r;
    CheckInterrupt();
  }
  return Flow::Normal;
}

Flow Interp::ExecDo(DoStmt* s, Frame& f) {
  for (;;) {
    if (s->cond && s->condAtTop) {
      bool failed;
      const bool c = EvalCondition(s->cond.get(), f, failed);
      if (!failed && c == s->isUntil) break;
    }
    Flow r = ExecBlock(s->body, f);
    if (r == Flow::ExitDo && !s->isWhileWend) return Flow::Normal;
    if (r != Flow::Normal) return r;
    CheckInterrupt();
    if (s->cond && !s->condAtTop) {
      bool failed;
      const bool c = EvalCondition(s->cond.get(), f, failed);
      if (!failed && c == s->isUntil) break;
    }
  }
  return Flow::Normal;
}

// A block statement's condition. Under On Error Resume Next a failing
// condition goes on into the block (scripts rely on it): the error lands
// in Err and `failed` tells the caller to enter.
bool Interp::EvalCondition(Expr* c, Frame& f, bool& failed) {
  failed = false;
  try {
    Variant v = EvalExpr(c, f);
    return IsTrue(v);
  } catch (const ScriptError& e) {
    failed = ConditionFailed(e, f);
    return true;
  }
}

bool Interp::ConditionFailed(const ScriptError& e, Frame& f) {
  if (!f.onErrorResume) throw;  // called from a handler: rethrows e
  CatchToErr(e);
  return true;
}

// ---- Context -------------------------------------------------------------------------
UiHost* Context::ui() const { return interp_.ui; }
ErrState& Context::err() { return interp_.err; }
uint32_t& Context::rndSeed() { return interp_.rndSeed; }
float& Context::lastRnd() { return interp_.lastRnd; }
Variant Context::EvalGlobal(std::u16string_view text) { return interp_.EvalInScope(text); }
void Context::ExecuteGlobal(std::u16string_view text) { interp_.ExecuteInScope(text, true); }
Variant Context::DefaultValue(const Variant& v) {
  const Variant& d = v.Deref();
  if (d.IsObject()) {
    if (!d.object()) Throw(91);
    return vbs::DefaultValue(d.object());
  }
  return d;
}

// ---- the engine's own built-ins ---------------------------------------------------
namespace {
Variant BiEval(Context& ctx, Args& a) { return ctx.interp().EvalInScope(ToText(a[0])); }
Variant BiExecute(Context& ctx, Args& a) {
  ctx.interp().ExecuteInScope(ToText(a[0]), false);
  return Variant();
}
Variant BiExecuteGlobal(Context& ctx, Args& a) {
  ctx.interp().ExecuteInScope(ToText(a[0]), true);
  return Variant();
}
Variant BiGetRef(Context& ctx, Args& a) { return ctx.interp().MakeFuncRef(ToText(a[0])); }
}  // namespace

void RegisterEngineBuiltins() {
  static const BuiltinDef defs[] = {
      {"Eval", 1, 1, BiEval},
      {"Execute", 1, 1, BiExecute},
      {"ExecuteGlobal", 1, 1, BiExecuteGlobal},
      {"GetRef", 1, 1, BiGetRef},
  };
  RegisterBuiltins(defs, sizeof(defs) / sizeof(defs[0]));
}

// ---- Engine facade -------------------------------------------------------------------
Engine::Engine() : impl_(std::make_unique<Interp>(this)) {}
Engine::~Engine() = default;
void Engine::AddObject(std::u16string_view name, Ref<HostObject> obj) { impl_->AddObject(name, std::move(obj)); }
bool Engine::AddCode(std::u16string_view text) { return impl_->AddCode(text); }
bool Engine::CompileCode(std::u16string_view text) { return impl_->CompileCode(text); }
bool Engine::ExecuteStatement(std::u16string_view text) { return impl_->ExecuteStatement(text); }
bool Engine::Eval(std::u16string_view text, Variant& out) { return impl_->Eval(text, out); }
const ErrorInfo& Engine::Error() const { return impl_->error; }
void Engine::ClearError() { impl_->error = ErrorInfo(); }
std::vector<ProcedureInfo> Engine::Procedures() const { return impl_->Procedures(); }
void Engine::Reset() { impl_->Reset(); }
void Engine::SetUiHost(UiHost* host) { impl_->ui = host; }
UiHost* Engine::GetUiHost() const { return impl_->ui; }
void Engine::RequestInterrupt() { impl_->RequestInterrupt(); }

}  // namespace vbs

// ---- specialised node routines ------------------------------------------------
namespace vbs {

struct Ev {
  static Variant Generic(Interp& in, Expr* e, Frame& f) { return in.EvalGeneric(e, f); }
  static Variant Literal(Interp&, Expr* e, Frame&) { return static_cast<LiteralExpr*>(e)->value; }
  static Variant LocalRead(Interp&, Expr* e, Frame& f) {
    return f.slots[static_cast<NameExpr*>(e)->slot].Deref();
  }
  static Variant GlobalRead(Interp& in, Expr* e, Frame& f) {
    if (const Variant* v = GlobalVar(in, e)) return *v;
    return in.EvalName(static_cast<NameExpr*>(e), f, false);
  }
  static Variant Name(Interp& in, Expr* e, Frame& f) {
    return in.EvalName(static_cast<NameExpr*>(e), f, false);
  }
  // name(args) where the name is global: most often a procedure call.
  static Variant CallGlobal(Interp& in, Expr* e, Frame& f) {
    auto* n = static_cast<NameExpr*>(e);
    const GlobalSlot& g = in.gslots_[size_t(n->slot)];
    if (g.kind == GlobalSlot::Procedure) return in.CallProc(g.proc, nullptr, n->args, f);
    if (n->args.size() == 1 && n->args[0]) return Index1(in, e, f);
    return in.EvalName(n, f, false);
  }

  // Numeric fast path for one operator, fully inlined.
  template <BinOp OP>
  static inline __attribute__((always_inline)) bool Fast(const Variant& l, const Variant& r, Variant& out) {
    constexpr bool arith = OP == BinOp::Add || OP == BinOp::Sub || OP == BinOp::Mul || OP == BinOp::Div;
    constexpr bool cmp = OP == BinOp::Eq || OP == BinOp::Ne || OP == BinOp::Lt || OP == BinOp::Gt ||
                         OP == BinOp::Le || OP == BinOp::Ge;
    if constexpr (!arith && !cmp) {
      return false;
    } else {
      const VarType tl = l.type(), tr = r.type();
      double a, b;
      if (IsIntegral(tl) && IsIntegral(tr)) {
        int64_t x = IntOf(l), y = IntOf(r);
        // Results are written with the in-place setters: building a
        // temporary and copying it costs a store-forwarding stall.
        if constexpr (OP == BinOp::Div) {
          if (y == 0) return false;
          out.SetDouble(double(x) / double(y));
          return true;
        } else if constexpr (arith) {
          bool bothInt = tl == vbInteger && tr == vbInteger;
          int64_t z = OP == BinOp::Add ? x + y : OP == BinOp::Sub ? x - y : x * y;
          if (bothInt && z >= INT16_MIN && z <= INT16_MAX) out.SetInteger(int16_t(z));
          else if (z >= INT32_MIN && z <= INT32_MAX) out.SetLong(int32_t(z));
          else out.SetDouble(double(z));
          return true;
        } else {
          bool res = OP == BinOp::Eq ? x == y : OP == BinOp::Ne ? x != y : OP == BinOp::Lt ? x < y
                   : OP == BinOp::Gt ? x > y : OP == BinOp::Le ? x <= y : x >= y;
          out.SetBool(res);
          return true;
        }
      }
      if (tl == vbDouble && tr == vbDouble) {
        a = l.doubleVal();
        b = r.doubleVal();
      } else if ((tl == vbDouble || tr == vbDouble) && AsDbl(l, a) && AsDbl(r, b)) {
      } else {
        return false;
      }
      if constexpr (arith) {
        if (OP == BinOp::Div && b == 0) return false;
        double z = OP == BinOp::Add ? a + b : OP == BinOp::Sub ? a - b : OP == BinOp::Mul ? a * b : a / b;
        if (!std::isfinite(z)) return false;  // the slow path raises Overflow
        out.SetDouble(z);
        return true;
      } else {
        bool res = OP == BinOp::Eq ? a == b : OP == BinOp::Ne ? a != b : OP == BinOp::Lt ? a < b
                 : OP == BinOp::Gt ? a > b : OP == BinOp::Le ? a <= b : a >= b;
        out.SetBool(res);
        return true;
      }
    }
  }

  // Operands by kind: locals, literals and global variables are read in
  // place; anything else is evaluated into a value built in place.
  enum OperandKind { kAny, kLocal, kLit, kGlobal };

  // Cell of global variable `n` (declared or implicit), or nullptr.
  static inline Variant* GlobalVarCell(Interp& in, NameExpr* n) {
    if (n->gcell) return n->gcell;
    return GlobalVarCellSlow(in, n);
  }
  static Variant* GlobalVarCellSlow(Interp& in, NameExpr* n) {
    GlobalSlot::Kind k = in.gslots_[size_t(n->slot)].kind;
    if (k == GlobalSlot::Var) return n->gcell = &in.gvals_[size_t(n->slot)];
    if (k == GlobalSlot::Implicit) return &in.gvals_[size_t(n->slot)];
    return nullptr;
  }
  // Readable cell of global `e`: a variable or a constant.
  static inline const Variant* GlobalVar(Interp& in, Expr* e) {
    auto* n = static_cast<NameExpr*>(e);
    if (n->gcell) return n->gcell;
    if (Variant* c = GlobalVarCellSlow(in, n)) return c;
    if (in.gslots_[size_t(n->slot)].kind == GlobalSlot::Const) return &in.gvals_[size_t(n->slot)];
    return nullptr;
  }

  template <BinOp OP>
  static inline __attribute__((always_inline)) Variant Finish(const Variant& l, const Variant& r,
                                                              uint8_t literals = 0) {
    Variant out;
    if (!Fast<OP>(l, r, out)) out = Slow<OP>(l, r, literals);
    return out;
  }

  template <BinOp OP, int RK>
  static inline __attribute__((always_inline)) Variant WithLeft(Interp& in, BinaryExpr* b, Frame& f,
                                                               const Variant& l) {
    Expr* re = b->rhs.get();
    if constexpr (RK == kLocal) {
      return Finish<OP>(l, f.slots[static_cast<NameExpr*>(re)->slot].Deref(), b->literals);
    } else if constexpr (RK == kLit) {
      return Finish<OP>(l, static_cast<LiteralExpr*>(re)->value, b->literals);
    } else if constexpr (RK == kGlobal) {
      if (const Variant* g = GlobalVar(in, re)) return Finish<OP>(l, *g, b->literals);
      Variant r = re->fn(in, re, f);
      return Finish<OP>(l, r, b->literals);
    } else {
      Variant r = re->fn(in, re, f);
      return Finish<OP>(l, r, b->literals);
    }
  }

  template <BinOp OP, int LK = kAny, int RK = kAny>
  static Variant Bin(Interp& in, Expr* e, Frame& f) {
    auto* b = static_cast<BinaryExpr*>(e);
    Expr* le = b->lhs.get();
    if constexpr (LK == kLocal) {
      return WithLeft<OP, RK>(in, b, f, f.slots[static_cast<NameExpr*>(le)->slot].Deref());
    } else if constexpr (LK == kLit) {
      return WithLeft<OP, RK>(in, b, f, static_cast<LiteralExpr*>(le)->value);
    } else if constexpr (LK == kGlobal) {
      if (const Variant* g = GlobalVar(in, le)) return WithLeft<OP, RK>(in, b, f, *g);
      Variant l = le->fn(in, le, f);
      return WithLeft<OP, RK>(in, b, f, l);
    } else {
      Variant l = le->fn(in, le, f);
      return WithLeft<OP, RK>(in, b, f, l);
    }
  }

  template <BinOp OP>
  static Variant Slow(const Variant& l0, const Variant& r0, uint8_t literals) {
    // Copies: an operator may run script code (default properties) that
    // changes the variables the operands were read from.
    Variant l = l0, r = r0;
    if (literals) {
      CmpResult c = CompareWithLiterals(l, literals & 1, r, literals & 2);
      switch (OP) {
        case BinOp::Eq: return detail::CmpToVariant(c, false, true, false);
        case BinOp::Ne: return detail::CmpToVariant(c, true, false, true);
        case BinOp::Lt: return detail::CmpToVariant(c, true, false, false);
        case BinOp::Le: return detail::CmpToVariant(c, true, true, false);
        case BinOp::Gt: return detail::CmpToVariant(c, false, false, true);
        case BinOp::Ge: return detail::CmpToVariant(c, false, true, true);
        default: break;
      }
    }
    switch (OP) {
      case BinOp::Add: return OpAdd(l, r);
      case BinOp::Sub: return OpSub(l, r);
      case BinOp::Mul: return OpMul(l, r);
      case BinOp::Div: return OpDiv(l, r);
      case BinOp::IntDiv: return OpIntDiv(l, r);
      case BinOp::Mod: return OpMod(l, r);
      case BinOp::Pow: return OpPow(l, r);
      case BinOp::Concat: return OpConcat(l, r);
      case BinOp::Eq: return OpEq(l, r);
      case BinOp::Ne: return OpNe(l, r);
      case BinOp::Lt: return OpLt(l, r);
      case BinOp::Gt: return OpGt(l, r);
      case BinOp::Le: return OpLe(l, r);
      case BinOp::Ge: return OpGe(l, r);
      case BinOp::Is: return Variant::FromBool(OpIs(l, r));
      case BinOp::And: return OpAnd(l, r);
      case BinOp::Or: return OpOr(l, r);
      case BinOp::Xor: return OpXor(l, r);
      case BinOp::Eqv: return OpEqv(l, r);
      case BinOp::Imp: return OpImp(l, r);
    }
    return Variant();
  }

  // A long chain of operators (a & b & c ..., as generated scripts write
  // them): a loop along its left side, not one native frame per operator.
  static constexpr uint32_t kLongChain = 64;
  static Variant Chain(Interp& in, Expr* e, Frame& f) {
    std::vector<BinaryExpr*> spine;
    spine.reserve(static_cast<BinaryExpr*>(e)->chain);
    Expr* x = e;
    for (; x->kind == Expr::Binary; x = static_cast<BinaryExpr*>(x)->lhs.get())
      spine.push_back(static_cast<BinaryExpr*>(x));
    Variant l = x->fn(in, x, f);
    for (size_t i = spine.size(); i-- > 0;) {
      BinaryExpr* b = spine[i];
      Variant r = b->rhs->fn(in, b->rhs.get(), f);
      switch (b->op) {
        // The partial result is ours alone: append to it in place.
        case BinOp::Concat: ConcatAssign(l, r); break;
#define VBS_BIN(op) \
  case BinOp::op:   \
    l = Slow<BinOp::op>(l, r, b->literals); \
    break;
        VBS_BIN(Add) VBS_BIN(Sub) VBS_BIN(Mul) VBS_BIN(Div) VBS_BIN(IntDiv) VBS_BIN(Mod)
        VBS_BIN(Pow) VBS_BIN(Eq) VBS_BIN(Ne) VBS_BIN(Lt) VBS_BIN(Gt)
        VBS_BIN(Le) VBS_BIN(Ge) VBS_BIN(Is) VBS_BIN(And) VBS_BIN(Or) VBS_BIN(Xor)
        VBS_BIN(Eqv) VBS_BIN(Imp)
#undef VBS_BIN
      }
    }
    return l;
  }

  // a(i) for a local or global variable holding a one-dimensional array.
  static inline int32_t FastIndex(const Variant& v) {
    if (v.type() == vbLong) return v.longVal();
    if (v.type() == vbInteger) return v.intVal();
    return ToIndex(v);
  }
  static inline Variant* ElementCell(Interp& in, NameExpr* n, Frame& f) {
    if (n->nk == NameKind::Local) return &f.slots[n->slot].Deref();
    return GlobalVarCell(in, n);
  }
  static Variant Index1(Interp& in, Expr* e, Frame& f) {
    auto* n = static_cast<NameExpr*>(e);
    Variant* cell = ElementCell(in, n, f);
    if (!cell || !cell->IsArray()) return in.EvalName(n, f, false);
    Expr* ix = n->args[0].get();
    int32_t i;
    {
      Variant iv = ix->fn(in, ix, f);
      i = FastIndex(iv);
    }
    if (!cell->IsArray()) Throw(13);
    return cell->array()->At1(i);
  }
  static Flow AssignIndex1(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* n = static_cast<NameExpr*>(a->target.get());
    Variant* cell = ElementCell(in, n, f);
    if (!cell || !cell->IsArray()) return in.ExecGeneric(s, f);
    Variant v = a->value->fn(in, a->value.get(), f);
    if (v.IsObject()) {
      in.Assign(n, std::move(v), false, f);
      return Flow::Normal;
    }
    Expr* ix = n->args[0].get();
    int32_t i;
    {
      Variant iv = ix->fn(in, ix, f);
      i = FastIndex(iv);
    }
    if (!cell->IsArray()) Throw(13);
    FitElement(*cell, v);
    cell->ArrayForWrite()->At1(i) = std::move(v);
    return Flow::Normal;
  }

  // x = x + e, x = x - e, x = x * e for a numeric variable x: the new value
  // is computed from a snapshot of x and stored in place.
  template <BinOp OP>
  static __attribute__((noinline)) Flow AccumulateDoubleSlow(Interp& in, NameExpr* n, double x,
                                                             const Variant& rv, Frame& f) {
    Variant out = Finish<OP>(Variant::FromDouble(x), rv);
    in.Assign(n, std::move(out), false, f);
    return Flow::Normal;
  }
  template <BinOp OP>
  static Flow Accumulate(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* n = static_cast<NameExpr*>(a->target.get());
    auto* b = static_cast<BinaryExpr*>(a->value.get());
    Variant* cell = nullptr;
    if (n->nk == NameKind::Local) cell = &f.slots[n->slot].Deref();
    else cell = GlobalVarCell(in, n);
    if (!cell || cell->flags()) return in.ExecGeneric(s, f);
    const VarType tc = cell->type();
    Expr* re = b->rhs.get();
    if (tc == vbDouble) {
      const double x = cell->doubleVal();
      Variant rv = re->fn(in, re, f);
      const VarType tr = rv.type();
      double y;
      if (tr == vbDouble) y = rv.doubleVal();
      else if (tr == vbLong) y = rv.longVal();
      else if (tr == vbInteger) y = rv.intVal();
      else return AccumulateDoubleSlow<OP>(in, n, x, rv, f);
      const double z = OP == BinOp::Add ? x + y : OP == BinOp::Sub ? x - y : x * y;
      if (__builtin_expect(!std::isfinite(z), 0)) return AccumulateDoubleSlow<OP>(in, n, x, rv, f);
      // The right side may have run code that stored something else in x.
      if (__builtin_expect(cell->type() != vbDouble, 0)) return AccumulateDoubleSlow<OP>(in, n, x, rv, f);
      cell->SetDouble(z);
      return Flow::Normal;
    }
    if (IsIntegral(tc)) {
      Variant lv = *cell;
      Variant rv = re->fn(in, re, f);
      Variant out = Finish<OP>(lv, rv);
      if (!out.IsObject() && !cell->flags()) *cell = std::move(out);
      else in.Assign(n, std::move(out), false, f);
      return Flow::Normal;
    }
    return in.ExecGeneric(s, f);
  }

  // Statements
  static Flow StmtGeneric(Interp& in, Stmt* s, Frame& f) { return in.ExecGeneric(s, f); }
  static Flow If(Interp& in, Stmt* s, Frame& f) {
    auto* i = static_cast<IfStmt*>(s);
    const size_t n = i->conds.size();
    for (size_t k = 0; k < n; ++k) {
      Expr* c = i->conds[k].get();
      bool t;
      try {
        Variant v = c->fn(in, c, f);
        t = IsTrue(v);
      } catch (const ScriptError& e) {
        t = in.ConditionFailed(e, f);
      }
      if (t) return in.ExecBody(i->blocks[k], f);
    }
    return in.ExecBody(i->elseBlock, f);
  }
  // x = <expr> for a local x (no Set, no arguments)
  static Flow AssignLocal(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* n = static_cast<NameExpr*>(a->target.get());
    Variant v = a->value->fn(in, a->value.get(), f);
    Variant& cell = f.slots[n->slot].Deref();
    if (!v.IsObject() && !(cell.flags() & Variant::kFixedArray)) {
      cell = std::move(v);
      return Flow::Normal;
    }
    in.Assign(n, std::move(v), false, f);
    return Flow::Normal;
  }
  static Flow AssignGlobal(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* n = static_cast<NameExpr*>(a->target.get());
    Variant v = a->value->fn(in, a->value.get(), f);
    Variant* cell = v.IsObject() ? nullptr : GlobalVarCell(in, n);
    if (cell && !(cell->flags() & Variant::kFixedArray)) {
      *cell = std::move(v);
      return Flow::Normal;
    }
    in.Assign(n, std::move(v), false, f);
    return Flow::Normal;
  }
};

template <BinOp OP>
static EvalFn PickKinds(int lk, int rk) {
#define VBS_ROW(L) {&Ev::Bin<OP, L, Ev::kAny>, &Ev::Bin<OP, L, Ev::kLocal>, &Ev::Bin<OP, L, Ev::kLit>, &Ev::Bin<OP, L, Ev::kGlobal>}
  static const EvalFn table[4][4] = {VBS_ROW(Ev::kAny), VBS_ROW(Ev::kLocal), VBS_ROW(Ev::kLit), VBS_ROW(Ev::kGlobal)};
#undef VBS_ROW
  return table[lk][rk];
}

// Operators with numeric fast paths get operand-specialised routines.
static EvalFn PickFastBin(BinOp op, int lk, int rk) {
  switch (op) {
    case BinOp::Add: return PickKinds<BinOp::Add>(lk, rk);
    case BinOp::Sub: return PickKinds<BinOp::Sub>(lk, rk);
    case BinOp::Mul: return PickKinds<BinOp::Mul>(lk, rk);
    case BinOp::Div: return PickKinds<BinOp::Div>(lk, rk);
    case BinOp::Eq: return PickKinds<BinOp::Eq>(lk, rk);
    case BinOp::Ne: return PickKinds<BinOp::Ne>(lk, rk);
    case BinOp::Lt: return PickKinds<BinOp::Lt>(lk, rk);
    case BinOp::Gt: return PickKinds<BinOp::Gt>(lk, rk);
    case BinOp::Le: return PickKinds<BinOp::Le>(lk, rk);
    case BinOp::Ge: return PickKinds<BinOp::Ge>(lk, rk);
    default: return nullptr;
  }
}

void Interp::Specialize(Expr* e) {
  switch (e->kind) {
    case Expr::Literal:
      e->fn = &Ev::Literal;
      return;
    case Expr::Name: {
      auto* n = static_cast<NameExpr*>(e);
      if (n->hasParens && n->nk == NameKind::Global)
        e->fn = &Ev::CallGlobal;
      else if (n->hasParens && n->args.size() == 1 && n->args[0] && n->nk == NameKind::Local)
        e->fn = &Ev::Index1;
      else if (!n->hasParens && n->nk == NameKind::Local) e->fn = &Ev::LocalRead;
      else if (!n->hasParens && n->nk == NameKind::Global) e->fn = &Ev::GlobalRead;
      else e->fn = &Ev::Name;
      return;
    }
    case Expr::Binary: {
      auto* b = static_cast<BinaryExpr*>(e);
      if (b->op >= BinOp::Eq && b->op <= BinOp::Ge)
        b->literals = uint8_t((IsTypedLiteral(b->lhs.get()) ? 1 : 0) | (IsTypedLiteral(b->rhs.get()) ? 2 : 0));
      if (b->chain > Ev::kLongChain) {
        e->fn = &Ev::Chain;
        return;
      }
      auto kindOf = [](Expr* x) {
        if (x->fn == &Ev::LocalRead) return int(Ev::kLocal);
        if (x->fn == &Ev::GlobalRead) return int(Ev::kGlobal);
        if (x->kind == Expr::Literal) return int(Ev::kLit);
        return int(Ev::kAny);
      };
      int lk = kindOf(b->lhs.get()), rk = kindOf(b->rhs.get());
      EvalFn fast = PickFastBin(b->op, lk, rk);
      if (fast) {
        e->fn = fast;
        return;
      }
      switch (b->op) {
#define VBS_BIN(op) \
  case BinOp::op:   \
    e->fn = &Ev::Bin<BinOp::op>; \
    return;
        VBS_BIN(Add) VBS_BIN(Sub) VBS_BIN(Mul) VBS_BIN(Div) VBS_BIN(IntDiv) VBS_BIN(Mod)
        VBS_BIN(Pow) VBS_BIN(Concat) VBS_BIN(Eq) VBS_BIN(Ne) VBS_BIN(Lt) VBS_BIN(Gt)
        VBS_BIN(Le) VBS_BIN(Ge) VBS_BIN(Is) VBS_BIN(And) VBS_BIN(Or) VBS_BIN(Xor)
        VBS_BIN(Eqv) VBS_BIN(Imp)
#undef VBS_BIN
      }
      return;
    }
    default:
      e->fn = &Ev::Generic;
      return;
  }
}

void Interp::Specialize(Stmt* s) {
  s->fn = &Ev::StmtGeneric;
  if (s->kind == Stmt::If) {
    s->fn = &Ev::If;
    return;
  }
  if (s->kind != Stmt::Assign) return;
  auto* a = static_cast<AssignStmt*>(s);
  if (a->isSet || a->target->kind != Expr::Name) return;
  auto* n = static_cast<NameExpr*>(a->target.get());
  if (n->hasParens) {
    if (n->args.size() == 1 && n->args[0] && (n->nk == NameKind::Local || n->nk == NameKind::Global))
      s->fn = &Ev::AssignIndex1;
    return;
  }
  // s = s & x keeps its in-place append path in the generic routine.
  if (a->value->kind == Expr::Binary && static_cast<BinaryExpr*>(a->value.get())->op == BinOp::Concat)
    return;
  if (n->nk != NameKind::Local && n->nk != NameKind::Global) return;
  if (a->value->kind == Expr::Binary) {
    auto* b = static_cast<BinaryExpr*>(a->value.get());
    if (b->lhs->kind == Expr::Name) {
      auto* l = static_cast<NameExpr*>(b->lhs.get());
      if (!l->hasParens && l->nk == n->nk && l->slot == n->slot) {
        if (b->op == BinOp::Add) { s->fn = &Ev::Accumulate<BinOp::Add>; return; }
        if (b->op == BinOp::Sub) { s->fn = &Ev::Accumulate<BinOp::Sub>; return; }
        if (b->op == BinOp::Mul) { s->fn = &Ev::Accumulate<BinOp::Mul>; return; }
      }
    }
  }
  if (n->nk == NameKind::Local) s->fn = &Ev::AssignLocal;
  else s->fn = &Ev::AssignGlobal;
}

}  // namespace vbs
