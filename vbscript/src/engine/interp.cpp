// The interpreter's set-up and host entry points: the global namespace,
// compiling and running texts, Eval/Execute in a scope, and the Engine facade.
#include "engine/interp.h"

#include <algorithm>
#include <new>

#include "engine/interp_inline.h"
#include "engine/resolver.h"
#include "engine/stack_guard.h"

namespace vbs {

// ---- Interp: setup ---------------------------------------------------------------
Interp::Interp(Engine* owner) : owner_(owner) {
  RegisterStandardLibrary();
  Init();
}

void Interp::Init() {
  stackLimit_ = StackLimitForThisThread();
  SyncGate();
  alive_ = std::make_shared<bool>(true);
  globals_.Add(u"Err", u"err", GlobalSlot::ErrObj, Variant::FromObject(MakeErrObject(this).get()));
}

void Interp::Teardown() {
  // Release script values while the code behind their classes still runs.
  globals_.ReleaseValues();
  *alive_ = false;
  globalObj_ = nullptr;
  globals_.Clear();
  programs_.clear();
  optionExplicit_ = false;
  state.err.Clear();
}

Interp::~Interp() { Teardown(); }

void Interp::Reset() {
  Teardown();
  error = ErrorInfo();
  Init();
}

void Interp::AddObject(std::u16string_view name, Ref<HostObject> obj) {
  auto key = FoldName(name);
  int slot = globals_.Find(key);
  if (slot < 0) slot = globals_.Add(name, key, GlobalSlot::Undefined, Variant());
  // A variable the script declared stays a variable that now holds the
  // object (compiled code reaches declared variables directly).
  if (globals_.slot(slot).kind != GlobalSlot::Var) globals_.slot(slot).kind = GlobalSlot::HostObj;
  globals_.value(slot) = Variant::FromObject(obj.get());
}

std::vector<ProcedureInfo> Interp::Procedures() const { return globals_.Procedures(); }

// ---- compilation -------------------------------------------------------------------
void Interp::Commit(Declarations& d, const std::shared_ptr<Program>& prog) {
  globals_.Commit(d, prog);
  programs_.push_back(prog);
}

std::shared_ptr<Program> Interp::CompileProgram(std::u16string_view text, Frame* scope,
                                                std::vector<std::u16string>* newExtras) {
  bool explicitOpt = false;
  std::unique_ptr<Program> parsed = ParseProgram(text, explicitOpt);
  std::shared_ptr<Program> prog(parsed.release());
  Resolver r(*this, *prog, explicitOpt || optionExplicit_);
  r.ReserveForText(text.size());
  if (scope && scope->extras)
    for (auto& lp : scope->extras->procs) r.frameProcs_.push_back(lp.key);
  Proc* p = scope ? scope->proc : nullptr;
  ClassDef* c = scope && scope->me ? scope->me->cls() : nullptr;
  {
    NodeArenaScope arena(prog->arena.get());  // nodes the resolver adds
    r.ResolveAll(p, c, scope && scope->extras ? &scope->extras->names : nullptr);
  }
  Declarations d = r.TakeDeclarations();
  Commit(d, prog);
  if (newExtras) *newExtras = std::move(d.newExtras);
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
  stackLimit_ = StackLimitForThisThread();
  SetInterrupt(false);
  posSet_ = false;
  error = ErrorInfo();
}


std::shared_ptr<Program> Interp::CompileTopLevel(std::u16string_view text) {
  try {
    return CompileProgram(text, nullptr, nullptr);
  } catch (const CompileError& ce) {
    RecordCompileError(ce, text);
  } catch (const ScriptError& se) {
    RecordCompileError(CompileError{se.number, 1, 1}, text);
  } catch (const std::bad_alloc&) {
    RecordCompileError(CompileError{kErrOutOfMemory, 1, 1}, text);
  }
  return nullptr;
}

bool Interp::RunText(std::u16string_view text) {
  BeginHostCall();
  std::shared_ptr<Program> prog = CompileTopLevel(text);
  if (!prog) return false;
  ProgramRelease release{*this, prog};
  return RunRecordingErrors(text, [&] { RunProgram(*prog, nullptr); });
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
    RecordCompileError(CompileError{kErrOutOfMemory, 1, 1}, text);
    return false;
  }
  return RunRecordingErrors(text, [&] {
    Variant* slots = stack_.Push(1);
    FrameScope scope(stack_, slots, 1, curFrame_);
    Frame top;
    top.slots = slots;
    curFrame_ = &top;
    out = EvalExpr(e.expr.get(), top);
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
  Declarations d = r.TakeDeclarations();
  Commit(d, keep);
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
    Raise(ce.number);
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
    Raise(ce.number);
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

// ---- Context -------------------------------------------------------------------------
UiHost* Context::ui() const { return interp_.ui; }
FileAccess Context::fileAccess() const { return interp_.fileAccess; }
void Context::CheckInterrupt() { interp_.CheckInterrupt(); }
ErrState& Context::err() { return interp_.state.err; }
uint32_t& Context::rndSeed() { return interp_.state.rndSeed; }
float& Context::lastRnd() { return interp_.state.lastRnd; }
Variant Context::DefaultValue(const Variant& v) {
  const Variant& d = v.Deref();
  if (d.IsObject()) {
    if (!d.object()) Raise(kErrObjectNotSet);
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
std::shared_ptr<const CompiledFunction> Engine::CompileFunction(std::span<const std::u16string> params,
                                                                std::u16string_view expression) {
  return impl_->CompileFunction(params, expression);
}
bool Engine::CallFunction(const CompiledFunction& fn, std::span<const Variant> args,
                          const FunctionResultSink& each) {
  return impl_->CallFunction(fn, args, each);
}
const ErrorInfo& Engine::Error() const { return impl_->error; }
std::vector<ProcedureInfo> Engine::Procedures() const { return impl_->Procedures(); }
std::vector<GlobalNameInfo> Engine::GlobalNames() const { return impl_->GlobalNames(); }
void Engine::Reset() { impl_->Reset(); }
void Engine::SetUiHost(UiHost* host) { impl_->ui = host; }
UiHost* Engine::GetUiHost() const { return impl_->ui; }
void Engine::SetFileAccess(FileAccess access) { impl_->fileAccess = access; }
void Engine::RequestInterrupt() { impl_->RequestInterrupt(); }

}  // namespace vbs
