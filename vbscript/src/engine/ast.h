#pragma once
// Syntax tree. The parser builds it; the resolver fills in where each name
// lives (frame slot, global slot, class member, built-in) so the interpreter
// never looks a name up by text.
#include <cstdint>
#include <memory>
#include <new>
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
// node, and is freed without visiting its nodes. Nodes are never destroyed
// one by one; the few that hold memory of their own (string values, names)
// are cleaned up by the arena when it goes.
class NodeArena {
 public:
  NodeArena() = default;
  NodeArena(const NodeArena&) = delete;
  NodeArena& operator=(const NodeArena&) = delete;
  ~NodeArena();
  // Nodes hold nothing that needs more than 8-byte alignment.
  static constexpr size_t kAlign = 8;
  void* Alloc(size_t n) {
    n = (n + kAlign - 1) & ~(kAlign - 1);
    if (n > left_) [[unlikely]]
      return AllocSlow(n);
    void* p = cur_;
    cur_ += n;
    left_ -= n;
    return p;
  }
  // Told the length of the text about to be compiled: a large text skips
  // the small blocks and starts with the large ones, whose pages are
  // mapped a few at a time instead of one fault per 4 kB.
  void ExpectText(size_t chars);
  // Runs `fn(p)` when the arena is freed, before its memory goes. The
  // list lives in the arena itself: no separate growing table.
  void AtFree(void* p, void (*fn)(void*)) {
    auto* f = static_cast<Finalizer*>(Alloc(sizeof(Finalizer)));
    f->next = finalizers_;
    f->p = p;
    f->fn = fn;
    finalizers_ = f;
  }

 private:
  struct Finalizer {
    Finalizer* next;
    void* p;
    void (*fn)(void*);
  };
  void* AllocSlow(size_t n);  // starts a new block
  struct BlockHead;
  BlockHead* blocks_ = nullptr;  // newest first, headers inside the blocks
  Finalizer* finalizers_ = nullptr;
  char* cur_ = nullptr;
  size_t left_ = 0;
  size_t nextBlock_ = 0;  // size of the next block; 0 until the first
};
// The arena new nodes come from on this thread.
inline thread_local NodeArena* tCurrentNodeArena = nullptr;
inline NodeArena*& CurrentNodeArena() { return tCurrentNodeArena; }
[[noreturn]] void NoNodeArena();
// The current arena; compiling without one is a programming error.
inline NodeArena& RequireNodeArena() {
  NodeArena* a = tCurrentNodeArena;
  if (!a) [[unlikely]]
    NoNodeArena();
  return *a;
}
struct NodeArenaScope {
  NodeArena* saved;
  explicit NodeArenaScope(NodeArena* a) : saved(CurrentNodeArena()) { CurrentNodeArena() = a; }
  ~NodeArenaScope() { CurrentNodeArena() = saved; }
};

// Owning pointer to a node: dropping it leaves the node to its arena.
struct NodeDrop {
  void operator()(const void*) const noexcept {}
};
template <class T>
using NodeP = std::unique_ptr<T, NodeDrop>;

// Makes a node in the current arena. Node types that own memory say so
// with a static Finalize (run when the arena goes).
template <class T, class... Args>
NodeP<T> MakeNode(Args&&... args) {
  NodeArena& a = RequireNodeArena();
  static_assert(alignof(T) <= NodeArena::kAlign);
  T* p = ::new (a.Alloc(sizeof(T))) T(std::forward<Args>(args)...);
  if constexpr (requires(T* t) { T::Finalize(t); })
    a.AtFree(p, [](void* q) { T::Finalize(static_cast<T*>(q)); });
  return NodeP<T>(p);
}

// A list inside a node: it grows only while its text is compiled, from
// the arena current then, and goes with that arena. Like the nodes, its
// elements are never destroyed one by one. Half the size of a vector with
// an allocator that remembers its arena.
template <class T>
class NodeList {
 public:
  NodeList() = default;
  NodeList(const NodeList&) = delete;
  NodeList& operator=(const NodeList&) = delete;
  NodeList(NodeList&& o) noexcept : data_(o.data_), size_(o.size_), cap_(o.cap_) { o.Forget(); }
  NodeList& operator=(NodeList&& o) noexcept {
    if (this != &o) {
      data_ = o.data_;
      size_ = o.size_;
      cap_ = o.cap_;
      o.Forget();
    }
    return *this;
  }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T& operator[](size_t i) { return data_[i]; }
  const T& operator[](size_t i) const { return data_[i]; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  T& front() { return data_[0]; }
  T& back() { return data_[size_ - 1]; }
  const T& back() const { return data_[size_ - 1]; }
  void push_back(T&& v) { emplace_back(std::move(v)); }
  template <class... Args>
  T& emplace_back(Args&&... args) {
    if (size_ == cap_) Grow();
    T* p = ::new (data_ + size_) T(std::forward<Args>(args)...);
    ++size_;
    return *p;
  }
  void clear() { size_ = 0; }

 private:
  void Forget() {
    data_ = nullptr;
    size_ = cap_ = 0;
  }
  void Grow() {
    static_assert(alignof(T) <= NodeArena::kAlign);
    const uint32_t cap = cap_ ? cap_ * 2 : 2;
    T* d = static_cast<T*>(RequireNodeArena().Alloc(cap * sizeof(T)));
    for (uint32_t i = 0; i < size_; ++i) ::new (d + i) T(std::move(data_[i]));
    data_ = d;
    cap_ = cap;
  }
  T* data_ = nullptr;
  uint32_t size_ = 0;
  uint32_t cap_ = 0;
};

// A copy of `s` in the current arena (which must be set): names in nodes
// live as long as the nodes, with no allocation of their own.
std::u16string_view ArenaText(std::u16string_view s);
// Stores a value in a node's field: a value that holds memory (a string)
// is released with the arena, since the node is never destroyed.
void SetNodeValue(Variant& field, Variant v);
// The same for a value that something else keeps for at least as long as
// the node (the text's one copy of a literal, a built-in constant): a
// string is then shared without a reference or clean-up of the node's own.
void SetNodeValueKept(Variant& field, const Variant& kept);

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

// How operators, subscripts and calls may read a node, told by the
// resolver once the node is resolved; the routines are picked by it.
enum class OperandKind : uint8_t {
  Any,      // evaluated by its routine
  Local,    // a local variable without arguments: read in place
  Literal,  // read in place
  Global,   // a global name without arguments: a variable or constant read in place
  Element,  // a(i) or a(i, j) on a local or declared global variable
  CallSite, // name(a1..aN) on a global name, N <= 4, every argument given
};

struct Expr {
  enum Kind : uint8_t {
    Literal, Name, Member, Call, Unary, Binary, New, Me, WithObj, Paren,
  };
  // The small fields last: node types put their own small fields in the
  // padding after them.
  EvalFn fn = nullptr;
  int line = 0, col = 0;
  Kind kind;
  OperandKind operand = OperandKind::Any;
  explicit Expr(Kind k) : kind(k) {}
  // Nodes come from MakeNode only, and go with their arena.
  static void* operator new(size_t) = delete;
  static void operator delete(void*) = delete;
};
using ExprP = NodeP<Expr>;
using ExprList = NodeList<ExprP>;

struct LiteralExpr : Expr {
  Variant value;              // a string or object through SetNodeValue
  LiteralExpr() : Expr(Literal) {}
};

// A bare name with optional argument list: x, f(1, 2), a(3), f()
struct NameExpr : Expr {
  bool hasParens = false;
  NameKind nk = NameKind::Unresolved;
  int slot = -1;
  std::u16string_view name;   // as written (text in the node arena or the declaration)
  ExprList args;    // nullptr element = omitted argument
  int local = -1;             // Dyn: fallback local slot
  bool strict = false;        // Option Explicit: undeclared names are errors
  bool declaredVar = false;   // Global: a declared variable when resolved
  // A call of up to four arguments: how each one is passed, four bits per
  // argument (Interp::ArgPlan), worked out once with the node's routine.
  uint16_t argPlan = 0;
  union {
    // A built-in constant's value (NameKind::Constant), set through
    // SetNodeValueKept.
    Variant constVal{};
    // A call site's (never a constant), with argPlan: for an argument that
    // is a local, its slot; for a local plus or minus an Integer literal,
    // the slot in the low 16 bits and the literal in the high 16. The call
    // reads them here instead of visiting the argument's nodes.
    uint32_t argSlots[4];
  };
  // Global: the variable's cell once it is known to be a declared variable
  // or constant (those never change kind, and global cells never move), so
  // reads skip the slot table.
  Variant* gcell = nullptr;
  NameExpr() : Expr(Name) {}
  ~NameExpr() {}  // never run: nodes go with their arena
};

// obj.name [(args)]; obj null = the innermost With object
struct MemberExpr : Expr {
  bool hasParens = false;
  // Lookup cache: the class and member index seen last time.
  mutable bool cachePublic = false;  // the cached member is Public
  mutable int cacheMember = -1;
  mutable const void* cacheKey = nullptr;
  ExprP obj;
  std::u16string_view name;   // text in the node arena
  ExprList args;
  MemberExpr() : Expr(Member) {}
};

// callee(args) where callee is not a plain name/member (f(1)(2), (x)(1))
struct CallExpr : Expr {
  ExprP callee;
  ExprList args;
  CallExpr() : Expr(Call) {}
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
  // The slot of an operand that is a local (OperandKind::Local), read from
  // here rather than from the operand's node.
  int32_t lslot = 0, rslot = 0;
  BinaryExpr() : Expr(Binary) {}
};

struct NewExpr : Expr {
  std::u16string className;
  int globalSlot = -1;    // slot that holds the class (resolved)
  NewExpr() : Expr(New) {}
  static void Finalize(NewExpr* e) { std::destroy_at(&e->className); }
};

// (expr): forces a value (a parenthesised argument goes by value)
struct ParenExpr : Expr {
  ExprP inner;
  ParenExpr() : Expr(Paren) {}
};

struct Stmt;
using StmtP = NodeP<Stmt>;
using Block = NodeList<StmtP>;

struct Stmt {
  enum Kind : uint8_t {
    Assign, CallS, Dim, ReDim, If, Select, For, ForEach, Do, Exit, With, OnError,
    Erase, Const, Nop,
  };
  // As in Expr: the small fields last, for the node types' own.
  ExecFn fn = nullptr;
  int line = 0, col = 0;
  Kind kind;
  explicit Stmt(Kind k) : kind(k) {}
  static void* operator new(size_t) = delete;
  static void operator delete(void*) = delete;
};

struct AssignStmt : Stmt {
  bool isSet = false;
  ExprP target;   // NameExpr or MemberExpr (possibly with args)
  ExprP value;
  AssignStmt() : Stmt(Assign) {}
};

struct CallStmt : Stmt {
  ExprP call;     // NameExpr / MemberExpr / CallExpr
  CallStmt() : Stmt(CallS) {}
};

struct DimVar {
  std::u16string_view name;       // text in the node arena
  int line = 0, col = 0;
  bool isArray = false;           // declared with parentheses
  ExprList bounds;      // empty with isArray = dynamic array
  ExprP target;                   // resolved NameExpr for the variable
};

struct DimStmt : Stmt {
  NodeList<DimVar> vars;
  DimStmt() : Stmt(Dim) {}
};

struct ReDimStmt : Stmt {
  bool preserve = false;
  struct Item {
    ExprP target;                 // NameExpr without args, or MemberExpr
    ExprList bounds;
  };
  NodeList<Item> items;
  ReDimStmt() : Stmt(ReDim) {}
};

struct IfStmt : Stmt {
  // If c Then ... [Else ...] whose c is a comparison with a truth routine
  // (run by Interp::RunIfTest).
  bool singleTest = false;
  ExprList conds;
  NodeList<Block> blocks;          // one per cond
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
    NodeList<CaseTest> tests;
    Block body;
  };
  NodeList<Case> cases;
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
  bool condAtTop = true;
  bool isUntil = false;
  bool isWhileWend = false;
  ExprP cond;
  Block body;
  DoStmt() : Stmt(Do) {}
};

enum class ExitKind : uint8_t { Do, For, Function, Sub, Property };
struct ExitStmt : Stmt {
  ExitKind what;
  ExitStmt() : Stmt(Exit) {}
};

struct WithStmt : Stmt {
  bool global = false;
  int slot = -1;  // hidden variable holding the object
  ExprP obj;
  Block body;
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
    std::u16string_view name;     // text in the node arena
    int line = 0, col = 0;
    ExprP value;
    ExprP target;
  };
  NodeList<Item> items;
  ConstStmt() : Stmt(Const) {}
};

struct NopStmt : Stmt {
  NopStmt() : Stmt(Nop) {}
};

// Procedures and classes -----------------------------------------------

enum class ProcKind : uint8_t { Sub, Function, PropGet, PropLet, PropSet };

struct Param {
  std::u16string_view name;  // in the node arena (a compiled function: in the function)
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
  NodeList<Stmt*> decls;   // its Dim and Const statements, in text order
  // Frame layout: [0] = result (Function / Property Get), then params, then
  // locals. nslots is the total.
  int nslots = 0;
  // The body when it is one If on a comparison (IfStmt::singleTest), the
  // shape of most recursive functions: calls run it in place.
  IfStmt* ifBody = nullptr;
  // What a call runs of ifBody, kept here so that it is not fetched through
  // the If's lists on every call: the comparison and its routine, and each
  // branch's statement when the branch is exactly one (else nullptr).
  Expr* ifCond = nullptr;
  TestFn ifTest = nullptr;
  Stmt* ifThen = nullptr;
  Stmt* ifElse = nullptr;
  // A branch that is x = y between locals (the usual base case, F = n):
  // its slots, [0] the Then branch and [1] the Else; -1 for any other.
  int ifCopyTo[2] = {-1, -1};
  int ifCopyFrom[2] = {-1, -1};
  // The body's statement when it is exactly one and not ifBody.
  Stmt* bodyOne = nullptr;
  // For Eval/Execute inside the proc: views of the names in the node arena
  // or in this Proc (its name, its parameters' names).
  std::vector<std::u16string_view> slotNames;
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
  int FindMember(std::u16string_view n) const;
};

// One compiled unit (a text given to AddCode / ExecuteStatement / ...).
struct Program {
  // First member: destroyed last, after every node carved from it.
  std::unique_ptr<NodeArena> arena = std::make_unique<NodeArena>();
  Block top;
  std::vector<Stmt*> topDecls;  // Dim and Const statements of `top`, in text order
  std::vector<std::unique_ptr<Proc>> procs;
  std::vector<std::unique_ptr<ClassDef>> classes;
  int topSlots = 0;   // frame slots needed by top-level code (With temps)
};

}  // namespace vbs
