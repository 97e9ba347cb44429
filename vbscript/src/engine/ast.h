#pragma once
// Syntax tree. The parser builds it; the resolver fills in where each name
// lives (frame slot, global slot, class member, built-in) so the interpreter
// never looks a name up by text.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "vbs/variant.h"

namespace vbs {

struct Proc;
struct ClassDef;
struct Expr;
struct Stmt;
struct Frame;
class Interp;
enum class Flow : uint8_t { Normal, ExitDo, ExitFor, ExitProc };
// Each node carries the routine that runs it, chosen once the names are
// resolved, so the interpreter dispatches by one indirect call.
using EvalFn = Variant (*)(Interp&, Expr*, Frame&);
using ExecFn = Flow (*)(Interp&, Stmt*, Frame&);
// A comparison used as a condition: its truth without building a Boolean.
using TestFn = bool (*)(Interp&, Expr*, Frame&);

// The nodes of one compiled text are carved from one arena that is freed
// with the text: a large library compiles without a heap allocation per
// node. Nodes made while no arena is current come from the heap.
class NodeArena {
 public:
  NodeArena() = default;
  NodeArena(const NodeArena&) = delete;
  NodeArena& operator=(const NodeArena&) = delete;
  ~NodeArena();
  void* Alloc(size_t n) {
    n = (n + 15) & ~size_t(15);
    if (n > left_) return AllocSlow(n);
    void* p = cur_;
    cur_ += n;
    left_ -= n;
    return p;
  }

 private:
  void* AllocSlow(size_t n);  // starts a new block
  std::vector<std::pair<char*, size_t>> blocks_;  // start, size
  char* cur_ = nullptr;
  size_t left_ = 0;
};
// The arena new nodes come from on this thread (nullptr = heap).
NodeArena*& CurrentNodeArena();
struct NodeArenaScope {
  NodeArena* saved;
  explicit NodeArenaScope(NodeArena* a) : saved(CurrentNodeArena()) { CurrentNodeArena() = a; }
  ~NodeArenaScope() { CurrentNodeArena() = saved; }
};
void* AllocNode(size_t n);
void FreeNode(void* p) noexcept;

// Allocator for the lists inside nodes: memory from the arena that was
// current when the list was made (it goes with the arena), else the heap.
template <class T>
struct ArenaAlloc {
  using value_type = T;
  using propagate_on_container_move_assignment = std::true_type;
  using propagate_on_container_swap = std::true_type;
  using is_always_equal = std::false_type;
  NodeArena* arena;
  ArenaAlloc() noexcept : arena(CurrentNodeArena()) {}
  template <class U>
  ArenaAlloc(const ArenaAlloc<U>& o) noexcept : arena(o.arena) {}
  T* allocate(size_t n) {
    if (arena) return static_cast<T*>(arena->Alloc(n * sizeof(T)));
    return std::allocator<T>().allocate(n);
  }
  void deallocate(T* p, size_t n) noexcept {
    if (!arena) std::allocator<T>().deallocate(p, n);
  }
  template <class U>
  bool operator==(const ArenaAlloc<U>& o) const noexcept {
    return arena == o.arena;
  }
};
// A copy of `s` in the current arena (which must be set): names in nodes
// live as long as the nodes, with no allocation of their own.
std::u16string_view ArenaText(std::u16string_view s);

enum class BinOp : uint8_t {
  Add, Sub, Mul, Div, IntDiv, Mod, Pow, Concat, Eq, Ne, Lt, Gt, Le, Ge, Is,
  And, Or, Xor, Eqv, Imp,
};
enum class UnOp : uint8_t { Neg, Plus, Not };

// Where a name was found.
enum class NameKind : uint8_t {
  Unresolved,
  Local,       // frame slot `slot`
  Global,      // global slot `slot`
  Dyn,         // global slot `slot` if it is defined by then, else local `local`
  Field,       // field `slot` of Me (inside a class)
  MeMember,    // method/property of Me, by member index `slot`
  Builtin,     // built-in function index `slot`
  Constant,    // built-in constant, value in `constVal`
};

struct Expr {
  enum Kind : uint8_t {
    Literal, Name, Member, Call, Unary, Binary, New, Me, WithObj, Paren,
  };
  Kind kind;
  // Set with `fn`: a plain local variable read, which a ByRef argument
  // refers to directly.
  bool isLocalRead = false;
  int line = 0, col = 0;
  EvalFn fn = nullptr;
  explicit Expr(Kind k) : kind(k) {}
  virtual ~Expr() = default;
  static void* operator new(size_t n) { return AllocNode(n); }
  static void operator delete(void* p) noexcept { FreeNode(p); }
};
using ExprP = std::unique_ptr<Expr>;
// Deletes a child node. Chains nest without bound (a + b + c ..., o.a.b.c
// ...): nodes freed while another is being freed wait in a queue, so
// deleting a tree takes no native frame per level.
void DropChild(ExprP& child) noexcept;
using ExprList = std::vector<ExprP, ArenaAlloc<ExprP>>;
template <class T>
using NodeVec = std::vector<T, ArenaAlloc<T>>;  // a list inside a node

struct LiteralExpr : Expr {
  Variant value;
  LiteralExpr() : Expr(Literal) {}
};

// A bare name with optional argument list: x, f(1, 2), a(3), f()
struct NameExpr : Expr {
  std::u16string_view name;   // as written (text in the node arena or the declaration)
  ExprList args;    // nullptr element = omitted argument
  bool hasParens = false;
  NameKind nk = NameKind::Unresolved;
  int slot = -1;
  int local = -1;             // Dyn: fallback local slot
  bool strict = false;        // Option Explicit: undeclared names are errors
  bool declaredVar = false;   // Global: a declared variable when resolved
  Variant constVal;
  // Global: the variable's cell once it is known to be a declared variable
  // or constant (those never change kind, and global cells never move), so
  // reads skip the slot table.
  Variant* gcell = nullptr;
  NameExpr() : Expr(Name) {}
};

// obj.name [(args)]; obj null = the innermost With object
struct MemberExpr : Expr {
  ExprP obj;
  std::u16string_view name;   // text in the node arena
  ExprList args;
  bool hasParens = false;
  // Lookup cache: the class and member index seen last time.
  mutable const void* cacheKey = nullptr;
  mutable int cacheMember = -1;
  mutable bool cachePublic = false;  // the cached member is Public
  MemberExpr() : Expr(Member) {}
  ~MemberExpr() override { DropChild(obj); }
};

// callee(args) where callee is not a plain name/member (f(1)(2), (x)(1))
struct CallExpr : Expr {
  ExprP callee;
  ExprList args;
  CallExpr() : Expr(Call) {}
  ~CallExpr() override { DropChild(callee); }
};

struct UnaryExpr : Expr {
  UnOp op;
  ExprP operand;
  UnaryExpr() : Expr(Unary) {}
};

struct BinaryExpr : Expr {
  BinOp op;
  uint8_t literals = 0;  // comparison: bit 0 lhs, bit 1 rhs is a literal
  uint32_t chain = 1;  // operators along the lhs: 1 when lhs is no BinaryExpr
  ExprP lhs, rhs;
  TestFn test = nullptr;  // a comparison's truth as If / Do conditions ask for it
  BinaryExpr() : Expr(Binary) {}
  ~BinaryExpr() override {
    DropChild(lhs);
    DropChild(rhs);
  }
};

struct NewExpr : Expr {
  std::u16string className;
  int globalSlot = -1;    // slot that holds the class (resolved)
  NewExpr() : Expr(New) {}
};

// (expr): forces a value (a parenthesised argument goes by value)
struct ParenExpr : Expr {
  ExprP inner;
  ParenExpr() : Expr(Paren) {}
};

struct Stmt;
using StmtP = std::unique_ptr<Stmt>;
using Block = std::vector<StmtP, ArenaAlloc<StmtP>>;

struct Stmt {
  enum Kind : uint8_t {
    Assign, CallS, Dim, ReDim, If, Select, For, ForEach, Do, Exit, With, OnError,
    Erase, Const, Nop,
  };
  Kind kind;
  int line = 0, col = 0;
  ExecFn fn = nullptr;
  explicit Stmt(Kind k) : kind(k) {}
  virtual ~Stmt() = default;
  static void* operator new(size_t n) { return AllocNode(n); }
  static void operator delete(void* p) noexcept { FreeNode(p); }
};

struct AssignStmt : Stmt {
  ExprP target;   // NameExpr or MemberExpr (possibly with args)
  ExprP value;
  bool isSet = false;
  AssignStmt() : Stmt(Assign) {}
};

struct CallStmt : Stmt {
  ExprP call;     // NameExpr / MemberExpr / CallExpr
  CallStmt() : Stmt(CallS) {}
};

struct DimVar {
  std::u16string name;
  int line = 0, col = 0;
  bool isArray = false;           // declared with parentheses
  ExprList bounds;      // empty with isArray = dynamic array
  ExprP target;                   // resolved NameExpr for the variable
};

struct DimStmt : Stmt {
  NodeVec<DimVar> vars;
  DimStmt() : Stmt(Dim) {}
};

struct ReDimStmt : Stmt {
  bool preserve = false;
  struct Item {
    ExprP target;                 // NameExpr without args, or MemberExpr
    ExprList bounds;
  };
  NodeVec<Item> items;
  ReDimStmt() : Stmt(ReDim) {}
};

struct IfStmt : Stmt {
  ExprList conds;
  NodeVec<Block> blocks;          // one per cond
  Block elseBlock;
  IfStmt() : Stmt(If) {}
};

struct CaseTest {
  enum Kind : uint8_t { Value, Range, IsCmp } kind = Value;
  BinOp cmp = BinOp::Eq;
  ExprP a, b;
};
struct SelectStmt : Stmt {
  ExprP subject;
  struct Case {
    NodeVec<CaseTest> tests;
    Block body;
  };
  NodeVec<Case> cases;
  bool hasElse = false;
  Block elseBlock;
  SelectStmt() : Stmt(Select) {}
};

struct ForStmt : Stmt {
  ExprP var;      // NameExpr (or MemberExpr)
  ExprP from, to, step;
  Block body;
  ForStmt() : Stmt(For) {}
};

struct ForEachStmt : Stmt {
  ExprP var;
  ExprP coll;
  Block body;
  ForEachStmt() : Stmt(ForEach) {}
};

struct DoStmt : Stmt {
  ExprP cond;
  bool condAtTop = true;
  bool isUntil = false;
  bool isWhileWend = false;
  Block body;
  DoStmt() : Stmt(Do) {}
};

enum class ExitKind : uint8_t { Do, For, Function, Sub, Property };
struct ExitStmt : Stmt {
  ExitKind what;
  ExitStmt() : Stmt(Exit) {}
};

struct WithStmt : Stmt {
  ExprP obj;
  Block body;
  int slot = -1;  // hidden variable holding the object
  bool global = false;
  WithStmt() : Stmt(With) {}
};

struct OnErrorStmt : Stmt {
  bool resumeNext = false;
  OnErrorStmt() : Stmt(OnError) {}
};

struct EraseStmt : Stmt {
  ExprList targets;
  EraseStmt() : Stmt(Erase) {}
};

struct ConstStmt : Stmt {
  struct Item {
    std::u16string name;
    int line = 0, col = 0;
    ExprP value;
    ExprP target;
  };
  NodeVec<Item> items;
  ConstStmt() : Stmt(Const) {}
};

struct NopStmt : Stmt {
  NopStmt() : Stmt(Nop) {}
};

// Procedures and classes -----------------------------------------------

enum class ProcKind : uint8_t { Sub, Function, PropGet, PropLet, PropSet };

struct Param {
  std::u16string name;
  bool byRef = true;
  bool isArray = false;
};

struct Proc {
  std::u16string name;
  ProcKind kind = ProcKind::Sub;
  bool isPublic = true;
  bool isDefault = false;
  int line = 0, col = 0;
  std::vector<Param> params;
  // Set by the resolver from params: their count, and bit i for a ByRef
  // parameter i (parameters past 63 are looked up in params).
  uint32_t nparams = 0;
  uint64_t byRefMask = 0;
  bool ByRefParam(size_t i) const { return i < 64 ? (byRefMask >> i) & 1 : params[i].byRef; }
  Block body;
  // Frame layout: [0] = result (Function / Property Get), then params, then
  // locals. nslots is the total.
  int nslots = 0;
  std::vector<std::u16string> slotNames;   // for Eval/Execute inside the proc
  // Slots that stand in for a global not defined when the code runs (an
  // undeclared name): Eval/Execute treat them the same way.
  std::vector<int> dynSlots;
  ClassDef* owner = nullptr;
  bool usesOnError = false;
  // A Property Get whose body only returns a field, or a Property Let whose
  // body only stores its argument in one: that field; -1 for any other
  // procedure, -2 until it has been looked at.
  int accessorField = -2;
};

struct FieldDef {
  std::u16string name;
  int line = 0, col = 0;
  bool isPublic = true;
  bool isArray = false;
  std::vector<int32_t> bounds;
};

struct ClassMember {
  std::u16string name;      // case as declared
  bool isPublic = true;
  int field = -1;           // field index, or
  Proc* method = nullptr;   // Sub / Function
  Proc* get = nullptr;
  Proc* let = nullptr;
  Proc* set = nullptr;
};

struct ClassDef {
  std::u16string name;
  int line = 0;
  std::vector<FieldDef> fields;
  std::vector<ClassMember> members;       // index = member id (+1 for FindMember)
  std::vector<std::unique_ptr<Proc>> procs;
  int defaultMember = -1;
  Proc* init = nullptr;
  Proc* term = nullptr;
  std::vector<std::unique_ptr<DimStmt>> fieldDims;  // array bounds of fields
  int FindMember(std::u16string_view n) const;
};

// One compiled unit (a text given to AddCode / ExecuteStatement / ...).
struct Program {
  // First member: destroyed last, after every node carved from it.
  std::unique_ptr<NodeArena> arena = std::make_unique<NodeArena>();
  Block top;
  std::vector<std::unique_ptr<Proc>> procs;
  std::vector<std::unique_ptr<ClassDef>> classes;
  int topSlots = 0;   // frame slots needed by top-level code (With temps)
};

}  // namespace vbs
