#pragma once
// The interpreter: global namespace, compiler front end (parse + resolve)
// and the tree-walking evaluator over resolved syntax trees. Its members are
// defined by concern: interp.cpp (set-up, host entry points), calls.cpp,
// expr.cpp, assign.cpp, stmt.cpp, classes.cpp, errors.cpp and
// fast_paths.cpp (the routines picked per node); interp_inline.h holds
// what they share.
#include <atomic>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/ast.h"
#include "engine/name_index.h"
#include "engine/parser.h"
#include "vbs/builtin.h"
#include "vbs/engine.h"
#include "vbs/object.h"
#include "vbs/variant.h"

namespace vbs {

class Interp;
class ClassInstance;
class Resolver;

// Lower-cases ASCII letters: the key for case-insensitive name tables.
std::u16string FoldName(std::u16string_view s);

struct GlobalSlot {
  enum Kind : uint8_t { Undefined, Var, Implicit, Const, Procedure, Class, HostObj, ErrObj };
  Kind kind = Undefined;
  std::u16string name;
  Proc* proc = nullptr;
  ClassDef* cls = nullptr;
  std::shared_ptr<Program> owner;  // keeps proc / class alive
  bool listed = false;             // in the procedure list already
};

// Thrown for conditions that On Error Resume Next must not swallow (host
// interrupt).
struct AbortError {
  ScriptError err;
};


// Variables and procedures that Execute declared inside a running
// procedure: they live as long as the procedure's frame and are reached by
// the procedure itself and by later Execute/Eval in it, never from outside.
struct ExtraVars {
  std::vector<std::u16string> names;
  std::vector<std::unique_ptr<Variant>> values;
  struct LocalProc {
    std::u16string key;  // folded name
    Proc* proc;          // owned by a program kept in Interp::programs_
  };
  std::vector<LocalProc> procs;
  Proc* FindProc(std::u16string_view name) const;
};

// An expression compiled on its own (Eval): its nodes and their arena.
struct CompiledExpr {
  std::unique_ptr<NodeArena> arena;  // first: outlives the nodes
  ExprP expr;
};

struct Frame {
  Variant* slots = nullptr;
  std::shared_ptr<ExtraVars> extras;
  Proc* proc = nullptr;             // nullptr at top level
  ClassInstance* me = nullptr;
  bool onErrorResume = false;
  Frame* parent = nullptr;
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

// Segmented stack of frame slots: segments never move, so ByRef pointers
// into a caller's frame stay valid.
class SlotStack {
 public:
  // Fresh slots come back Empty and without flags (a slot must not
  // inherit a fixed-array mark); Pop releases only what holds a reference,
  // so a frame of numbers costs one pass of stores here and none there.
  Variant* Push(int n) {
    Variant* p = Reserve(n);
    // Whole groups of four: segments end in kPad spare slots, and slots
    // above the top hold nothing that needs releasing.
    Variant* q = p;
    do {
      std::memset(static_cast<void*>(q), 0, kPad * sizeof(Variant));
      q += kPad;
    } while (q < p + n);
    return p;
  }
  // A call's frame: the argument slots 1..nargs are left unset for the
  // caller to build in place (until then they hold nothing to release);
  // the result slot and the locals come back Empty.
  Variant* PushArgs(int n, int nargs) {
    Variant* p = Reserve(n);
    std::memset(static_cast<void*>(p), 0, sizeof(Variant));
    for (Variant* q = p + nargs + 1; q < p + n; q += kPad)
      std::memset(static_cast<void*>(q), 0, kPad * sizeof(Variant));
    return p;
  }
  void Pop(Variant* base, int n) {
    // One pass ORs the types, in the groups of four Push zeroed (spare
    // slots past the frame hold no references): no String, Object or array
    // bit means nothing to release (Boolean and the like only cost the
    // slow pass).
    unsigned any = base[0].type() | base[1].type() | base[2].type() | base[3].type();
    for (const Variant* q = base + kPad; q < base + n; q += kPad) {
      // Kept a plain loop: frames are short, and a vectorised one spends
      // more deciding how to run than it saves.
      asm("" : "+r"(q));
      any |= q[0].type() | q[1].type() | q[2].type() | q[3].type();
    }
    if (any & (vbArray | vbString)) ReleaseSlots(base, n);
    if (base > start_ && base < end_) {
      top_ = base;
      return;
    }
    PopSlow(base);
  }
  ~SlotStack();

 private:
  struct Seg {
    Variant* data;
    size_t cap;
    size_t used;
  };
  Variant* Reserve(int n) {
    if (__builtin_expect(end_ - top_ < n, 0)) return PushSlow(n);
    Variant* p = top_;
    top_ += n;
    return p;
  }
  Variant* PushSlow(int n);
  void PopSlow(Variant* base);
  static void ReleaseSlots(Variant* base, int n);
  static constexpr int kPad = 4;
  // The current segment is mirrored in start_/top_/end_ for the fast
  // paths; the slow paths write it back and reload it.
  void Sync() {
    if (cur_ < segs_.size()) segs_[cur_].used = size_t(top_ - start_);
  }
  void Load() {
    if (cur_ < segs_.size()) {
      Seg& s = segs_[cur_];
      start_ = s.data;
      top_ = s.data + s.used;
      end_ = s.data + s.cap;
    }
  }
  std::vector<Seg> segs_;
  size_t cur_ = 0;
  Variant* start_ = nullptr;
  Variant* top_ = nullptr;
  Variant* end_ = nullptr;
};

// Instance of a script Class.
class ClassInstance : public Object {
 public:
  ClassInstance(Interp* in, ClassDef* cls, std::shared_ptr<Program> prog,
                std::shared_ptr<bool> alive);
  ~ClassInstance() override;
  std::u16string TypeName() const override { return cls_->name; }
  int FindMember(std::u16string_view name) const override;
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override;

  ClassDef* cls() const { return cls_; }
  std::vector<Variant>& fields() { return fields_; }
  bool initialized = false;

 protected:
  void Finalize() override;

 private:
  Interp* interp_;
  ClassDef* cls_;
  std::shared_ptr<Program> prog_;
  std::shared_ptr<bool> alive_;
  std::vector<Variant> fields_;
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
  std::vector<ProcedureInfo> Procedures() const;
  void Reset();
  void RequestInterrupt() { interrupt_.store(true, std::memory_order_relaxed); }
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
  ErrState err;
  uint32_t rndSeed = 327680;
  float lastRnd = 0;

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
  void Commit(Resolver& r, const std::shared_ptr<Program>& prog);
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
  template <class F>
  bool Guarded(std::u16string_view text, F&& body);
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
      case NameKind::Global: return gslots_[size_t(n->slot)].kind != GlobalSlot::Procedure;
      default: return false;
    }
  }
  Variant RunProcBody(Proc* p, ClassInstance* me, Variant* slots);
  // A call site of N (at most four) arguments whose passing was worked out
  // with the node (NameExpr::argPlan).
  template <int N>
  Variant CallFixed(Proc* p, ExprList& args, unsigned plan, Frame& f);
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
  [[noreturn]] void CallRefused();
  Variant CallProcWithElements(Proc* p, ClassInstance* me, ExprList& args, Frame& f,
                               Variant* slots, size_t first);
  Variant CallClassMember(ClassInstance* inst, int mi, ExprList* args, Frame& f);
  Variant CallObject(const Variant& obj, std::u16string_view member, ExprList* args, Frame& f,
                     InvokeKind kind, MemberExpr* site);
  int LookupClassMember(ClassInstance* ci, std::u16string_view name, MemberExpr* site, Frame& f);
  int SiteMember(ClassInstance* ci, MemberExpr* m, Frame& f);
  const Variant& MemberObject(Expr* oe, Frame& f, Variant& tmp);
  void BuildHostArgs(ExprList* args, Frame& f, std::vector<Variant>& out);
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
    return GlobalVarCellSlow(n, makeImplicit);
  }
  Variant* GlobalVarCellSlow(NameExpr* n, bool makeImplicit);
  // What a read of global n finds in place: a variable's or a constant's
  // cell, else nullptr.
  __attribute__((always_inline)) const Variant* GlobalReadCell(NameExpr* n) {
    if (n->gcell) return n->gcell;
    if (Variant* c = GlobalVarCellSlow(n, false)) return c;
    if (gslots_[size_t(n->slot)].kind == GlobalSlot::Const) return &gvals_[size_t(n->slot)];
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
  Flow Guarded(Stmt* s, Frame& f, Run&& run);
  Flow RunIfTest(IfStmt* i, Frame& f);
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
  // Picks the routine that runs a resolved node.
  static void Specialize(Expr* e);
  static void Specialize(Stmt* s);
  // The object-code routine for a node (member_paths.cpp), or nullptr.
  static EvalFn MemberRoutine(const Expr* e);
  static ExecFn MemberRoutine(const Stmt* s);
  // How each argument of a call site is passed (four bits per argument).
  enum ArgPlan : unsigned { kArgValue, kArgLocal, kArgGlobal, kArgCall, kArgOther };
  static uint16_t PlanArgs(const ExprList& args);
  friend struct Ev;
  friend struct MemberEv;
  bool raisedByErr = false;   // the error in flight came from Err.Raise

 private:
  Engine* owner_;
  GlobalValues gvals_;
  std::vector<GlobalSlot> gslots_;
  NameIndex gindex_;  // folded name -> global slot
  std::vector<std::shared_ptr<Program>> programs_;
  std::vector<int> procOrder_;          // global slots of procedures, declaration order
  bool optionExplicit_ = false;
  std::atomic<bool> interrupt_{false};
  std::shared_ptr<bool> alive_;
  Ref<HostObject> globalObj_;  // made on first use (GlobalObject)
  SlotStack stack_;
  Frame* curFrame_ = nullptr;
  int depth_ = 0;
  uintptr_t stackLimit_ = 0;
  bool posSet_ = false;
  int errLine_ = 0, errCol_ = 0;

 public:
  // Resolution helpers used by the resolver
  int FindGlobal(const std::u16string& foldedName) const;
  int FindGlobal(std::u16string_view foldedName, uint64_t hash) const {
    const int* v = gindex_.Find(foldedName, hash);
    return v ? *v : -1;
  }
  const GlobalSlot& Slot(int i) const { return gslots_[size_t(i)]; }
  int SlotCount() const { return int(gslots_.size()); }
};

}  // namespace vbs
