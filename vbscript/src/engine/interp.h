#pragma once
// The interpreter: compiling texts (parse + resolve) into the global table
// (globals.h) and walking the resolved syntax trees over frames on the slot
// stack (frame.h). Its members are defined by concern: interp.cpp (set-up,
// host entry points), calls.cpp, expr.cpp, assign.cpp, stmt.cpp,
// classes.cpp, errors.cpp and pick_routines.cpp (the routine each node
// runs, from the routine families in *_routines.h); interp_inline.h holds
// what they share.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "engine/ast.h"
#include "engine/class_instance.h"
#include "engine/frame.h"
#include "engine/globals.h"
#include "engine/host_args.h"
#include "engine/parser.h"
#include "vbs/builtin.h"
#include "vbs/engine.h"
#include "vbs/object.h"
#include "vbs/variant.h"

namespace vbs {

class Resolver;

// Thrown for conditions that On Error Resume Next must not swallow (host
// interrupt).
struct AbortError {
  ScriptError err;
};

// An expression compiled on its own (Eval): its nodes and their arena.
struct CompiledExpr {
  std::unique_ptr<NodeArena> arena;  // first: outlives the nodes
  ExprP expr;
};

// What the script's run-time library keeps between statements: the Err
// object's fields and Rnd's generator.
struct RuntimeState {
  ErrState err;
  uint32_t rndSeed = 327680;  // Rnd's 24-bit generator, VBScript's seed
  float lastRnd = 0;          // Rnd(0) repeats it
  bool raisedByErr = false;   // the error in flight came from Err.Raise
};

class Interp {
 public:
  explicit Interp(Engine* owner);
  ~Interp();

  // Host API
  void AddObject(std::u16string_view name, Ref<HostObject> obj);
  bool AddCode(std::u16string_view text);
  bool CompileCode(std::u16string_view text);
  bool ExecuteStatement(std::u16string_view text);
  bool Eval(std::u16string_view text, Variant& out);
  std::shared_ptr<const CompiledFunction> CompileFunction(std::span<const std::u16string> params,
                                                          std::u16string_view expression);
  bool CallFunction(const CompiledFunction& fn, std::span<const Variant> args,
                    const FunctionResultSink& each);
  std::vector<ProcedureInfo> Procedures() const;
  std::vector<GlobalNameInfo> GlobalNames() const { return globals_.GlobalNames(); }
  void Reset();
  void RequestInterrupt() {
    interrupt_.store(true);
    callGate_.store(kGateClosed);
  }
  // Makes this interpreter the one StopRequested() and CheckStopRequest()
  // ask while a host call runs on the thread (nested calls restore the outer one).
  struct RunningScope {
    explicit RunningScope(Interp& in);
    ~RunningScope();
    RunningScope(const RunningScope&) = delete;
    RunningScope& operator=(const RunningScope&) = delete;
    Interp* previous;
  };

  ErrorInfo error;
  UiHost* ui = nullptr;
  FileAccess fileAccess = FileAccess::Allowed;
  RuntimeState state;

  // Services for natives (Context)
  Variant EvalInScope(std::u16string_view text);
  void ExecuteInScope(std::u16string_view text, bool global);
  Variant MakeFuncRef(std::u16string_view name);
  // Me outside a class, and what its members reach (member = global slot + 1).
  Variant GlobalObject();
  int GlobalMemberId(std::u16string_view name) const;
  void InvokeGlobal(int member, InvokeKind kind, Args& args, Variant& result);

  // Calls used by ClassInstance / FuncRef
  Variant CallProcValues(Proc* p, ClassInstance* me, Variant* args, int nargs);
  void InvokeClassMember(ClassInstance* inst, int member, InvokeKind kind, Args& args,
                         Variant& result);
  void RunTerminate(ClassInstance* inst);

 private:
  friend class Resolver;
  friend bool StopRequested();
  friend void CheckStopRequest();
  friend class Context;  // CheckInterrupt for natives

  void Init();
  void Teardown();
  // Compilation
  void Commit(Declarations& d, const std::shared_ptr<Program>& prog);
  std::shared_ptr<Program> CompileProgram(std::u16string_view text, Frame* scope,
                                          std::vector<std::u16string>* newExtras);
  // A procedure that Execute declared in the procedure running in `f`.
  static Proc* FrameProc(const Frame& f, std::u16string_view name) {
    return f.extras && !f.extras->procs.empty() ? f.extras->FindProc(name) : nullptr;
  }
  CompiledExpr CompileExpr(std::u16string_view text, Frame* scope);
  // Slots of a frame that runs code inside procedure frame `scope`: refs to
  // its variables and Execute-declared extras, then `temps` own slots.
  Variant* PushScopedFrame(Frame& scope, int temps, int& total);
  bool RunText(std::u16string_view text);
  // A top-level text compiled and committed; nullptr with the error
  // recorded when it does not compile.
  std::shared_ptr<Program> CompileTopLevel(std::u16string_view text);
  void ReleaseIfPlain(const std::shared_ptr<Program>& prog);
  // Calls ReleaseIfPlain when a run ends, also by an error.
  struct ProgramRelease {
    Interp& in;
    const std::shared_ptr<Program>& prog;
    ~ProgramRelease() { in.ReleaseIfPlain(prog); }
  };
  // Runs a host call's body: an error that ends it is recorded for the
  // host (Engine::Error) and the call answers false.
  template <class F>
  bool RunRecordingErrors(std::u16string_view text, F&& body);
  void RunProgram(Program& prog, Frame* scope);
  void RecordError(const ScriptError& e, std::u16string_view text);
  void RecordCompileError(const CompileError& e, std::u16string_view text);
  void BeginHostCall();

  // Evaluation
  Variant EvalExpr(Expr* e, Frame& f) { return e->fn(*this, e, f); }
  Variant EvalGeneric(Expr* e, Frame& f);
  Flow ExecGeneric(Stmt* s, Frame& f);
  Variant EvalName(NameExpr* n, Frame& f, bool asStatement);
  Variant EvalMember(MemberExpr* m, Frame& f, bool asStatement);
  Variant EvalCallExpr(CallExpr* c, Frame& f);
  Variant CallBuiltin(int index, ExprList& args, Frame& f);
  Variant CallProc(Proc* p, ClassInstance* me, ExprList& args, Frame& f);
  // Whether name(args) may be an array element (a variable, not a
  // procedure or built-in): such an argument goes by reference.
  bool MayNameElement(const NameExpr* n) const {
    switch (n->nk) {
      case NameKind::Local: case NameKind::Field: case NameKind::Dyn: return true;
      case NameKind::Global: return globals_.slot(n->slot).kind != GlobalSlot::Procedure;
      default: return false;
    }
  }
  Variant RunProcBody(Proc* p, ClassInstance* me, Variant* slots);
  // A call site of N (at most four) arguments whose passing was worked out
  // with the node (NameExpr::argPlan).
  template <int N>
  Variant CallFixed(Proc* p, NameExpr* site, Frame& f);
  // What a fixed call site of N arguments calls: the procedure its global
  // name holds when it takes N parameters, else nullptr.
  template <int N>
  __attribute__((always_inline)) Proc* FixedProc(const NameExpr* site) const {
    const GlobalSlot& g = globals_.slot(site->slot);
    return __builtin_expect(g.kind == GlobalSlot::Procedure && g.proc->nparams == N, 1) ? g.proc : nullptr;
  }
  template <int N>
  Variant CallKnown(Proc* p, NameExpr* site, Frame& f);
  // One argument of a fixed call (CallFixed), and all of them for a
  // procedure that takes some ByVal.
  template <bool kByRef>
  bool PassFixedArg(NameExpr* site, size_t i, Variant& slot, unsigned kind, Frame& f);
  template <int N>
  size_t PassMixedArgs(Proc* p, NameExpr* site, Frame& f, Variant* slots);
  // A ByRef argument that is a name into its slot (which holds nothing to
  // release): a reference to the variable's cell, else the value; false
  // when it may be an array element (CallProcWithElements takes the rest).
  bool PassArg(Expr* a, Variant& slot, Frame& f);
  // CallFixed from argument `first` on through CallProcWithElements.
  Variant CallElementsFrom(Frame& nf, ExprList& args, Frame& f, size_t first);
  // The end of a call CallFixed began: its frame goes.
  __attribute__((always_inline)) void EndCall(Frame& nf) {
    curFrame_ = nf.parent;
    stack_.Pop(nf.slots, nf.proc->nslots);
    --depth_;
  }
  friend struct CallScope;
  // Interrupt, call depth or native stack: the call cannot go on.
  // The gate tripped (CallFixed): a stop raises the interrupt, the call
  // depth or native stack error 28; otherwise the call goes on.
  void CallRefused();
  // What every fixed call compares its native stack position with: the
  // stack limit, or kGateClosed while a stop is pending so that the next
  // call takes the slow path. Set with interrupt_ (SetInterrupt).
  static constexpr uintptr_t kGateClosed = ~uintptr_t(0);
  void SetInterrupt(bool on) {
    interrupt_.store(on);
    SyncGate();
  }
  void SyncGate() {
    callGate_.store(stackLimit_);
    // A stop requested meanwhile by another thread must not be lost.
    if (interrupt_.load()) callGate_.store(kGateClosed);
  }
  bool GateTripped() const {
    char probe;
    return reinterpret_cast<uintptr_t>(&probe) < callGate_.load(std::memory_order_relaxed);
  }
  Variant CallProcWithElements(Proc* p, ClassInstance* me, ExprList& args, Frame& f,
                               Variant* slots, size_t first);
  Variant CallClassMember(ClassInstance* inst, int mi, ExprList* args, Frame& f);
  Variant CallObject(const Variant& obj, std::u16string_view member, ExprList* args, Frame& f,
                     InvokeKind kind, MemberExpr* site);
  int LookupClassMember(ClassInstance* ci, std::u16string_view name, MemberExpr* site, Frame& f);
  int SiteMember(ClassInstance* ci, MemberExpr* m, Frame& f);
  const Variant& MemberObject(Expr* oe, Frame& f, Variant& tmp);
  // The arguments as a host object takes them, with `extra` Empty places
  // after them (for the value of an assignment).
  void BuildHostArgs(ExprList* args, Frame& f, HostArgList& out, size_t extra = 0);
  Variant IndexValue(const Variant& base, ExprList& args, Frame& f);
  Variant NewObject(NewExpr* n);
  Variant* FrameCell(NameExpr* n, Frame& f);
  // The cell of global variable n (a name resolved to a global slot): a
  // declared variable's (remembered in n->gcell: it never moves or changes
  // kind) or an implicit one's. With `makeImplicit`, a name not defined yet
  // becomes an implicit variable (500 under Option Explicit). nullptr for
  // anything else (a constant, a procedure, an object the host added).
  __attribute__((always_inline)) Variant* GlobalVarCell(NameExpr* n, bool makeImplicit) {
    if (n->gcell) return n->gcell;
    if (Variant* cell = VariableCell(n)) return cell;
    return makeImplicit ? MakeImplicit(n) : nullptr;
  }
  // The first part of it, small enough for the node routines to inline.
  Variant* VariableCell(NameExpr* n) {
    const GlobalSlot::Kind k = globals_.slot(n->slot).kind;
    if (k == GlobalSlot::Var) return n->gcell = &globals_.value(n->slot);
    if (k == GlobalSlot::Implicit) return &globals_.value(n->slot);
    return nullptr;
  }
  // Global n, not defined yet, as an implicit variable; nullptr when it is
  // something else.
  Variant* MakeImplicit(NameExpr* n);
  // What a read of global n finds in place: a variable's or a constant's
  // cell, else nullptr.
  __attribute__((always_inline)) const Variant* GlobalReadCell(NameExpr* n) {
    if (n->gcell) return n->gcell;
    if (Variant* c = VariableCell(n)) return c;
    if (globals_.slot(n->slot).kind == GlobalSlot::Const) return &globals_.value(n->slot);
    return nullptr;
  }
  Variant* VarCell(NameExpr* n, Frame& f, bool forWrite);
  Variant* ByRefCell(Expr* e, Frame& f);
  void Assign(Expr* target, Variant&& value, bool isSet, Frame& f);
  void AssignCell(Variant& cell, Variant&& value, bool isSet);
  void AssignIndexed(Variant& base, ExprList& idx, Variant&& value, bool isSet,
                     Frame& f);
  void AssignMember(MemberExpr* m, Variant&& value, bool isSet, Frame& f);
  bool AssignNested(CallExpr* c, Variant& value, bool isSet, Frame& f);
  void SetClassProperty(ClassInstance* ci, ClassMember& cm, ExprList* args,
                        Variant&& value, bool isSet, Frame& f);

  Flow ExecBlock(Block& b, Frame& f);
  Flow ExecBody(Block& b, Frame& f);
  Flow ExecOne(Stmt* s, Frame& f);
  template <class Run>
  Flow RunStatement(Stmt* s, Frame& f, Run&& run);
  bool IfTruth(TestFn test, Expr* c, Frame& f);
  Flow RunIfTest(IfStmt* i, Frame& f);
  Flow RunProcIf(Proc* p, Frame& f);
  Flow AppendPieces(NameExpr* n, BinaryExpr* top, const Variant& s, Frame& f);
  Flow Exec(Stmt* s, Frame& f) { return s->fn(*this, s, f); }
  Flow ExecFor(ForStmt* s, Frame& f);
  Flow ForWhole(ForStmt* s, Frame& f, Variant* cell, int64_t i, const Variant& to, const Variant& step);
  template <bool kUp, bool kStepInt>
  Flow ForWholeLoop(ForStmt* s, Frame& f, Variant* cell, int64_t i, int64_t end, int64_t st, const Variant& to,
                    const Variant& step);
  Flow ForVariant(ForStmt* s, Frame& f, const Variant& to, const Variant& step, bool increment);
  Flow ExecForEach(ForEachStmt* s, Frame& f);
  Flow ExecDo(DoStmt* s, Frame& f);
  bool EvalCondition(Expr* c, Frame& f, bool& failed);
  // A condition's truth (errors propagate).
  inline bool Test(Expr* c, Frame& f);
  // In a handler for `e` raised by a block statement's own expression:
  // true when On Error Resume Next takes it (Err set), else rethrows.
  bool ConditionFailed(const ScriptError& e, Frame& f);
  Flow ExecSelect(SelectStmt* s, Frame& f);
  void ExecDim(DimStmt* s, Frame& f);
  void ExecReDim(ReDimStmt* s, Frame& f);
  bool StackLow() const {
    char probe;
    return reinterpret_cast<uintptr_t>(&probe) < stackLimit_;
  }
  void CheckInterrupt() {
    if (interrupt_.load(std::memory_order_relaxed)) ThrowInterrupt();
  }
  [[noreturn]] void ThrowInterrupt();
  void CatchToErr(const ScriptError& e);
  void NotePos(int line, int col) {
    if (!posSet_) {
      posSet_ = true;
      errLine_ = line;
      errCol_ = col;
    }
  }

 public:
  // Picks the routine that runs a resolved node (pick_routines.cpp).
  static void PickRoutine(Expr* e);
  static void PickRoutine(Stmt* s);
  // For a statement x = y between locals (its routine is the plain local
  // copy): their slots into `to` and `from`.
  static void LocalCopySlots(Stmt* s, int& to, int& from);
  // How each argument of a call site is passed (four bits per argument).
  // A literal and a local plus or minus an Integer literal (n - 1) are
  // built straight in the callee's slot, the latter by the operator's own
  // subtype rules. The values are bits to test: 8 a local, 4 a value built
  // in place (2 of them: local +/- literal), else one of the first four.
  enum ArgPlan : unsigned {
    kArgValue = 0, kArgGlobal = 1, kArgCall = 2, kArgOther = 3,
    kArgLiteral = 4, kArgLocalAdd = 6, kArgLocalSub = 7, kArgLocal = 8
  };
  static void PlanArgs(NameExpr* site);
  friend struct OperandReads;
  friend struct CallRoutines;
  friend struct OperatorRoutines;
  friend struct AssignRoutines;
  friend struct MemberRoutines;

 private:
  Engine* owner_;
  GlobalTable globals_;
  std::vector<std::shared_ptr<Program>> programs_;
  bool optionExplicit_ = false;
  std::atomic<bool> interrupt_{false};
  std::atomic<uintptr_t> callGate_{0};
  std::shared_ptr<bool> alive_;
  Ref<HostObject> globalObj_;  // made on first use (GlobalObject)
  SlotStack stack_;
  Frame* curFrame_ = nullptr;
  int depth_ = 0;
  uintptr_t stackLimit_ = 0;
  bool posSet_ = false;
  int errLine_ = 0, errCol_ = 0;

 public:
  // What the resolver looks names up in.
  const GlobalTable& globals() const { return globals_; }
};

}  // namespace vbs
