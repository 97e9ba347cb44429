// Specialised node routines: each resolved node gets the routine for its
// shape (operand kinds, numeric operators, element access, accumulation).
#include <cmath>

#include "engine/interp.h"
#include "engine/interp_inline.h"

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
    const GlobalSlot& g = in.globals_.slot(n->slot);
    if (g.kind == GlobalSlot::Procedure) return in.CallProc(g.proc, nullptr, n->args, f);
    return GlobalElementOrOther(in, e, f);
  }
  // name(a1..aN), N <= 4, where the name is global: the call runs here
  // when it names a procedure of N parameters, else as above.
  template <int N>
  static Variant CallSite(Interp& in, Expr* e, Frame& f) {
    auto* n = static_cast<NameExpr*>(e);
    const GlobalSlot& g = in.globals_.slot(n->slot);
    if (__builtin_expect(g.kind == GlobalSlot::Procedure && g.proc->nparams == N, 1))
      return in.CallFixed<N>(g.proc, n->args, n->argPlan, f);
    return CallGlobal(in, e, f);
  }
  // The statement F a1, ..., aN (or Call F(...)) on a global name.
  template <int N>
  static Flow CallSiteStmt(Interp& in, Stmt* s, Frame& f) {
    auto* n = static_cast<NameExpr*>(static_cast<CallStmt*>(s)->call.get());
    const GlobalSlot& g = in.globals_.slot(n->slot);
    if (__builtin_expect(g.kind == GlobalSlot::Procedure && g.proc->nparams == N, 1)) {
      in.CallFixed<N>(g.proc, n->args, n->argPlan, f);
      return Flow::Normal;
    }
    return in.ExecGeneric(s, f);
  }
  // Kept out of line so that the call path above stays lean.
  static __attribute__((noinline)) Variant GlobalElementOrOther(Interp& in, Expr* e, Frame& f) {
    auto* n = static_cast<NameExpr*>(e);
    if (n->args.size() == 1 && n->args[0]) return IndexN<1>(in, e, f);
    if (n->args.size() == 2 && n->args[0] && n->args[1]) return IndexN<2>(in, e, f);
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
          int64_t z = OP == BinOp::Add ? x + y : OP == BinOp::Sub ? x - y : x * y;
          SetWholeNumber(out, z, tl == vbInteger && tr == vbInteger);
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
        if (OP == BinOp::Div && __builtin_expect(b == 0, 0)) return false;
        double z = OP == BinOp::Add ? a + b : OP == BinOp::Sub ? a - b : OP == BinOp::Mul ? a * b : a / b;
        if (__builtin_expect(!std::isfinite(z), 0)) return false;  // the slow path raises Overflow
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
  // kElem: a(i) or a(i, j) whose element is read in place when finding it
  // runs no script code.
  enum OperandKind { kAny, kLocal, kLit, kGlobal, kElem };

  // Cell of global variable `n` (declared or implicit), or nullptr.
  static inline __attribute__((always_inline)) Variant* GlobalVarCell(Interp& in, NameExpr* n) {
    return in.GlobalVarCell(n, false);
  }
  // Readable cell of global `e`: a variable or a constant.
  static inline __attribute__((always_inline)) const Variant* GlobalVar(Interp& in, Expr* e) {
    return in.GlobalReadCell(static_cast<NameExpr*>(e));
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
    } else if constexpr (RK == kElem) {
      if (const Variant* el = ElementInPlace(in, re, f)) return Finish<OP>(l, *el, b->literals);
      Variant r = re->fn(in, re, f);
      return Finish<OP>(l, r, b->literals);
    } else {
      Variant r = re->fn(in, re, f);
      return Finish<OP>(l, r, b->literals);
    }
  }

  // Left operand read in place (a variable or an element): it stays in
  // place only while the right side runs no script code, which could
  // change the variable or resize the array; else its value is kept first.
  template <BinOp OP, int RK>
  static inline __attribute__((always_inline)) Variant WithLeftInPlace(Interp& in, BinaryExpr* b,
                                                                      Frame& f, const Variant& l) {
    Expr* re = b->rhs.get();
    if constexpr (RK == kLocal || RK == kLit) {
      return WithLeft<OP, RK>(in, b, f, l);
    } else {
      const Variant* rp = nullptr;
      if constexpr (RK == kGlobal) rp = GlobalVar(in, re);
      else if constexpr (RK == kElem) rp = ElementInPlace(in, re, f);
      if (rp) return Finish<OP>(l, *rp, b->literals);
      Variant lv = l;
      Variant r = re->fn(in, re, f);
      return Finish<OP>(lv, r, b->literals);
    }
  }

  template <BinOp OP, int LK = kAny, int RK = kAny>
  static Variant Bin(Interp& in, Expr* e, Frame& f) {
    auto* b = static_cast<BinaryExpr*>(e);
    Expr* le = b->lhs.get();
    if constexpr (LK == kLocal) {
      return WithLeftInPlace<OP, RK>(in, b, f, f.slots[static_cast<NameExpr*>(le)->slot].Deref());
    } else if constexpr (LK == kLit) {
      return WithLeft<OP, RK>(in, b, f, static_cast<LiteralExpr*>(le)->value);
    } else if constexpr (LK == kGlobal) {
      if (const Variant* g = GlobalVar(in, le)) return WithLeftInPlace<OP, RK>(in, b, f, *g);
      Variant l = le->fn(in, le, f);
      return WithLeft<OP, RK>(in, b, f, l);
    } else if constexpr (LK == kElem) {
      if (const Variant* el = ElementInPlace(in, le, f)) return WithLeftInPlace<OP, RK>(in, b, f, *el);
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
    return ApplyBinary(OP, l, r, literals);
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

  // a(i) and a(i, j) for a local or global variable holding an array.
  static inline __attribute__((always_inline)) int32_t FastIndex(const Variant& v) {
    if (v.type() == vbLong) return v.longVal();
    if (v.type() == vbInteger) return v.intVal();
    return ToIndex(v);
  }
  static inline __attribute__((always_inline)) Variant* ElementCell(Interp& in, NameExpr* n, Frame& f) {
    if (n->nk == NameKind::Local) return &f.slots[n->slot].Deref();
    return GlobalVarCell(in, n);
  }
  // A subscript that is a variable is read in place; anything else is
  // evaluated. `ranCode` tells whether script code may have run since the
  // array's cell was looked up.
  static inline __attribute__((always_inline)) int32_t Subscript(Interp& in, Expr* ix, Frame& f, bool& ranCode) {
    if (ix->fn == &LocalRead) return FastIndex(f.slots[static_cast<NameExpr*>(ix)->slot].Deref());
    if (ix->fn == &GlobalRead) {
      if (const Variant* g = GlobalVar(in, ix)) return FastIndex(*g);
    } else if (ix->fn == &Literal) {
      return FastIndex(static_cast<LiteralExpr*>(ix)->value);
    }
    ranCode = true;
    Variant iv = ix->fn(in, ix, f);
    return FastIndex(iv);
  }
  // The element named by a(i) or a(i, j), found without running script
  // code: the variable holds an array and the subscripts are Integer or
  // Long variables or literals. Otherwise nullptr (nothing was evaluated).
  static inline __attribute__((always_inline)) bool PlainSubscript(Interp& in, Expr* ix, Frame& f, int32_t& out) {
    const Variant* v;
    if (ix->fn == &LocalRead) v = &f.slots[static_cast<NameExpr*>(ix)->slot].Deref();
    else if (ix->fn == &GlobalRead) v = GlobalVar(in, ix);
    else if (ix->fn == &Literal) v = &static_cast<LiteralExpr*>(ix)->value;
    else return false;
    if (!v) return false;
    if (v->type() == vbLong) out = v->longVal();
    else if (v->type() == vbInteger) out = v->intVal();
    else return false;
    return true;
  }
  static inline __attribute__((always_inline)) const Variant* ElementInPlace(Interp& in, Expr* e, Frame& f) {
    auto* n = static_cast<NameExpr*>(e);
    // A global variable's cell is known after its first use.
    Variant* cell = n->nk == NameKind::Local ? &f.slots[n->slot].Deref() : n->gcell;
    if (!cell || !cell->IsArray()) return nullptr;
    int32_t i, j;
    if (!PlainSubscript(in, n->args[0].get(), f, i)) return nullptr;
    if (n->args.size() == 1) return &cell->array()->At1(i);
    if (!PlainSubscript(in, n->args[1].get(), f, j)) return nullptr;
    return &cell->array()->At2(i, j);
  }
  template <int N>
  static inline __attribute__((always_inline)) Variant& Element(Interp& in, NameExpr* n, Variant* cell, Frame& f) {
    bool ranCode = false;
    int32_t i = Subscript(in, n->args[0].get(), f, ranCode);
    if constexpr (N == 1) {
      // The subscript may have replaced the array in the variable.
      if (ranCode && !cell->IsArray()) Raise(kErrTypeMismatch);
      return cell->array()->At1(i);
    } else {
      int32_t j = Subscript(in, n->args[1].get(), f, ranCode);
      if (ranCode && !cell->IsArray()) Raise(kErrTypeMismatch);
      return cell->array()->At2(i, j);
    }
  }
  template <int N>
  static Variant IndexN(Interp& in, Expr* e, Frame& f) {
    auto* n = static_cast<NameExpr*>(e);
    Variant* cell = ElementCell(in, n, f);
    if (!cell || !cell->IsArray()) return in.EvalName(n, f, false);
    return Element<N>(in, n, cell, f);
  }
  template <int N>
  static Flow AssignIndexN(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* n = static_cast<NameExpr*>(a->target.get());
    Variant* cell = ElementCell(in, n, f);
    if (!cell || !cell->IsArray()) return in.ExecGeneric(s, f);
    Variant v = a->value->fn(in, a->value.get(), f);
    if (v.IsObject()) {
      in.Assign(n, std::move(v), false, f);
      return Flow::Normal;
    }
    bool ranCode = false;
    int32_t i = Subscript(in, n->args[0].get(), f, ranCode);
    int32_t j = N == 2 ? Subscript(in, n->args[1].get(), f, ranCode) : 0;
    // The value or a subscript may have replaced the array in the variable.
    if (!cell->IsArray()) Raise(kErrTypeMismatch);
    Array* arr = cell->ArrayForWrite();
    if constexpr (N == 1) arr->At1(i) = std::move(v);
    else arr->At2(i, j) = std::move(v);
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
  // ---- sums of products -------------------------------------------------
  // s = s + a * b and y = a * b + c (also - and /) with every operand read
  // in place: the staple of numeric code, computed without a node call or
  // a temporary. Each step follows the operators' own subtype rules, on
  // numbers held as (subtype, value): whole numbers exactly in 64 bits.
  struct Num {
    VarType t;  // vbInteger, vbLong or vbDouble
    int64_t i;  // whole numbers
    double d;   // Double
  };
  static inline __attribute__((always_inline)) bool ToNum(const Variant& v, Num& n) {
    switch (v.type()) {
      case vbDouble: n.t = vbDouble; n.i = 0; n.d = v.doubleVal(); return true;
      case vbLong: n.t = vbLong; n.i = v.longVal(); n.d = 0; return true;
      case vbInteger: n.t = vbInteger; n.i = v.intVal(); n.d = 0; return true;
      default: return false;
    }
  }
  // x OP y for + - * /; false where the operator's own routine must decide
  // (division by zero, overflow).
  template <BinOp OP>
  static inline __attribute__((always_inline)) bool NumOp(const Num& x, const Num& y, Num& z) {
    if (x.t != vbDouble && y.t != vbDouble) {
      if constexpr (OP == BinOp::Div) {
        if (y.i == 0) return false;
        z.t = vbDouble;
        z.d = double(x.i) / double(y.i);
        return true;
      } else {
        const int64_t r = OP == BinOp::Add ? x.i + y.i : OP == BinOp::Sub ? x.i - y.i : x.i * y.i;
        z.t = WholeNumberType(r, x.t == vbInteger && y.t == vbInteger);
        z.i = r;
        z.d = z.t == vbDouble ? double(r) : 0;
        return true;
      }
    }
    const double a = x.t == vbDouble ? x.d : double(x.i), b = y.t == vbDouble ? y.d : double(y.i);
    if (OP == BinOp::Div && b == 0) return false;
    const double r = OP == BinOp::Add ? a + b : OP == BinOp::Sub ? a - b : OP == BinOp::Mul ? a * b : a / b;
    if (__builtin_expect(!std::isfinite(r), 0)) return false;
    z.t = vbDouble;
    z.d = r;
    return true;
  }
  static inline __attribute__((always_inline)) void StoreNum(Variant& cell, const Num& z) {
    // What the cell held may run code when released (Class_Terminate): the
    // new value must be in place by then, as an assignment has it.
    if (__builtin_expect(Variant::IsRefType(cell.type()), 0)) {
      cell = z.t == vbDouble ? Variant::FromDouble(z.d)
           : z.t == vbLong ? Variant::FromLong(int32_t(z.i)) : Variant::FromInteger(int16_t(z.i));
      return;
    }
    if (z.t == vbDouble) cell.SetDouble(z.d);
    else if (z.t == vbLong) cell.SetLong(int32_t(z.i));
    else cell.SetInteger(int16_t(z.i));
  }
  // An operand read in place: a local, a literal, a global variable or
  // constant, or an element found without running code (else nullptr).
  template <int K>
  static inline __attribute__((always_inline)) const Variant* InPlace(Interp& in, Expr* x, Frame& f) {
    if constexpr (K == kLocal) return &f.slots[static_cast<NameExpr*>(x)->slot].Deref();
    else if constexpr (K == kLit) return &static_cast<LiteralExpr*>(x)->value;
    else if constexpr (K == kGlobal) return GlobalVar(in, x);
    else return ElementInPlace(in, x, f);
  }
  // a OP2 b for the product node m.
  template <BinOp OP2, int LK, int RK>
  static inline __attribute__((always_inline)) bool Product(Interp& in, BinaryExpr* m, Frame& f, Num& p) {
    const Variant* l = InPlace<LK>(in, m->lhs.get(), f);
    if (!l) return false;
    const Variant* r = InPlace<RK>(in, m->rhs.get(), f);
    Num a, b;
    return r && ToNum(*l, a) && ToNum(*r, b) && NumOp<OP2>(a, b, p);
  }
  // The target's cell when a number may simply be stored in it.
  static inline __attribute__((always_inline)) Variant* PlainTarget(Interp& in, NameExpr* n, Frame& f) {
    Variant* cell = n->nk == NameKind::Local ? &f.slots[n->slot].Deref() : GlobalVarCell(in, n);
    return cell && !(cell->flags() & Variant::kFixedArray) ? cell : nullptr;
  }
  template <BinOp OP, BinOp OP2, int LK, int RK>
  static Flow AccumulateProduct(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* m = static_cast<BinaryExpr*>(static_cast<BinaryExpr*>(a->value.get())->rhs.get());
    Variant* cell = PlainTarget(in, static_cast<NameExpr*>(a->target.get()), f);
    Num x, p, z;
    if (cell && ToNum(*cell, x) && Product<OP2, LK, RK>(in, m, f, p) && NumOp<OP>(x, p, z)) {
      StoreNum(*cell, z);
      return Flow::Normal;
    }
    return Accumulate<OP>(in, s, f);
  }
  // y = a * b + c (also - and /): c is a local, a literal or a global.
  template <BinOp OP, BinOp OP2, int LK, int RK>
  static Flow AssignProductPlus(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* b = static_cast<BinaryExpr*>(a->value.get());
    Expr* ce = b->rhs.get();
    const Variant* c = ce->isLocalRead ? &f.slots[static_cast<NameExpr*>(ce)->slot].Deref()
                     : ce->kind == Expr::Literal ? &static_cast<LiteralExpr*>(ce)->value : GlobalVar(in, ce);
    Num p, y, z;
    if (c && Product<OP2, LK, RK>(in, static_cast<BinaryExpr*>(b->lhs.get()), f, p) && ToNum(*c, y) &&
        NumOp<OP>(p, y, z)) {
      if (Variant* cell = PlainTarget(in, static_cast<NameExpr*>(a->target.get()), f)) {
        StoreNum(*cell, z);
        return Flow::Normal;
      }
    }
    auto* n = static_cast<NameExpr*>(a->target.get());
    return n->nk == NameKind::Local ? AssignLocal(in, s, f) : AssignGlobal(in, s, f);
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

  // A comparison's truth for If and Do: numbers compared directly,
  // anything else through the operator and IsTrue.
  template <BinOp OP>
  static inline __attribute__((always_inline)) bool Truth(const Variant& l, const Variant& r,
                                                         uint8_t literals) {
    const VarType tl = l.type(), tr = r.type();
    if (IsIntegral(tl) && IsIntegral(tr)) return Compare<OP>(IntOf(l), IntOf(r));
    double a, b;
    if (tl == vbDouble && tr == vbDouble) return Compare<OP>(l.doubleVal(), r.doubleVal());
    if ((tl == vbDouble || tr == vbDouble) && AsDbl(l, a) && AsDbl(r, b)) return Compare<OP>(a, b);
    return TruthSlow<OP>(l, r, literals);
  }
  template <BinOp OP>
  static __attribute__((noinline)) bool TruthSlow(const Variant& l, const Variant& r, uint8_t literals) {
    Variant v = Slow<OP>(l, r, literals);
    return IsTrue(v);
  }
  template <BinOp OP, class T>
  static inline bool Compare(T a, T b) {
    return OP == BinOp::Eq ? a == b : OP == BinOp::Ne ? a != b : OP == BinOp::Lt ? a < b
         : OP == BinOp::Gt ? a > b : OP == BinOp::Le ? a <= b : a >= b;
  }
  // One operand read in place (locals, literals, known global variables) or
  // evaluated into `tmp`.
  template <int K>
  static inline __attribute__((always_inline)) const Variant& Operand(Interp& in, Expr* e, Frame& f,
                                                                     Variant& tmp) {
    if constexpr (K == kLocal) {
      return f.slots[static_cast<NameExpr*>(e)->slot].Deref();
    } else if constexpr (K == kLit) {
      return static_cast<LiteralExpr*>(e)->value;
    } else {
      if constexpr (K == kGlobal) {
        if (const Variant* g = GlobalVar(in, e)) return *g;
      }
      tmp = e->fn(in, e, f);
      return tmp;
    }
  }
  // Operands a routine can read without running code (InPlace).
  static constexpr bool Peekable(int k) { return k == kLocal || k == kLit || k == kGlobal; }
  // Both operands read in place: no temporaries on the common path.
  template <BinOp OP, int LK, int RK>
  static bool Test(Interp& in, Expr* e, Frame& f) {
    if constexpr (Peekable(LK) && Peekable(RK)) {
      auto* b = static_cast<BinaryExpr*>(e);
      const Variant* l = InPlace<LK>(in, b->lhs.get(), f);
      const Variant* r = InPlace<RK>(in, b->rhs.get(), f);
      if (l && r) return Truth<OP>(*l, *r, b->literals);
      return TestCold<OP, LK, RK>(in, e, f);
    } else {
      return TestBody<OP, LK, RK>(in, e, f);
    }
  }
  template <BinOp OP, int LK, int RK>
  static __attribute__((noinline)) bool TestCold(Interp& in, Expr* e, Frame& f) {
    return TestBody<OP, LK, RK>(in, e, f);
  }
  template <BinOp OP, int LK, int RK>
  static inline __attribute__((always_inline)) bool TestBody(Interp& in, Expr* e, Frame& f) {
    auto* b = static_cast<BinaryExpr*>(e);
    Variant lt, rt;
    const Variant& l = Operand<LK>(in, b->lhs.get(), f, lt);
    Expr* re = b->rhs.get();
    if constexpr (RK == kLocal || RK == kLit) {
      return Truth<OP>(l, Operand<RK>(in, re, f, rt), b->literals);
    } else {
      if constexpr (RK == kGlobal) {
        if (const Variant* g = GlobalVar(in, re)) return Truth<OP>(l, *g, b->literals);
      }
      // The right side may run code that changes the variable the left
      // operand was read from: keep the value it had.
      if constexpr (LK != kAny && LK != kLit) lt = l;
      rt = re->fn(in, re, f);
      if constexpr (LK == kLit) return Truth<OP>(l, rt, b->literals);
      else return Truth<OP>(lt, rt, b->literals);
    }
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
        t = in.Test(c, f);
      } catch (const ScriptError& e) {
        t = in.ConditionFailed(e, f);
      }
      if (t) return in.ExecBody(i->blocks[k], f);
    }
    return in.ExecBody(i->elseBlock, f);
  }
  // If c Then ... [Else ...] where c is a comparison with a truth routine.
  static Flow IfTest(Interp& in, Stmt* s, Frame& f) { return in.RunIfTest(static_cast<IfStmt*>(s), f); }
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
  // x = y or x = <literal> for a local x: copied cell to cell.
  template <int K>
  static Flow AssignLocalFrom(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    const Variant& src = *InPlace<K>(in, a->value.get(), f);
    Variant& cell = f.slots[static_cast<NameExpr*>(a->target.get())->slot].Deref();
    if (!src.IsObject() && !(cell.flags() & Variant::kFixedArray)) {
      cell = src;
      return Flow::Normal;
    }
    return AssignLocalCold(in, s, f);
  }
  // Kept out of line: the common path above then saves no registers.
  static __attribute__((noinline)) Flow AssignLocalCold(Interp& in, Stmt* s, Frame& f) {
    return AssignLocal(in, s, f);
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
  // x = F(a1..aN) with F a global name: the call runs right here (no
  // routine in between), and its result moves into x.
  template <int N, bool kLocalTarget>
  static Flow AssignCall(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* c = static_cast<NameExpr*>(a->value.get());
    const GlobalSlot& g = in.globals_.slot(c->slot);
    if (__builtin_expect(g.kind != GlobalSlot::Procedure || g.proc->nparams != N, 0))
      return AssignCallOther<kLocalTarget>(in, s, f);
    Variant v = in.CallFixed<N>(g.proc, c->args, c->argPlan, f);
    auto* n = static_cast<NameExpr*>(a->target.get());
    Variant* cell = kLocalTarget ? &f.slots[n->slot].Deref() : v.IsObject() ? nullptr : GlobalVarCell(in, n);
    if (cell && !v.IsObject() && !(cell->flags() & Variant::kFixedArray)) {
      *cell = std::move(v);
      return Flow::Normal;
    }
    in.Assign(n, std::move(v), false, f);
    return Flow::Normal;
  }
  template <bool kLocalTarget>
  static __attribute__((noinline)) Flow AssignCallOther(Interp& in, Stmt* s, Frame& f) {
    return kLocalTarget ? AssignLocal(in, s, f) : AssignGlobal(in, s, f);
  }
};

// x = F(...) where F(...) is a fixed call site: its routine, else nullptr.
template <bool kLocalTarget>
static ExecFn AssignCallFor(Expr* value) {
  if (value->fn == &Ev::CallSite<0>) return &Ev::AssignCall<0, kLocalTarget>;
  if (value->fn == &Ev::CallSite<1>) return &Ev::AssignCall<1, kLocalTarget>;
  if (value->fn == &Ev::CallSite<2>) return &Ev::AssignCall<2, kLocalTarget>;
  if (value->fn == &Ev::CallSite<3>) return &Ev::AssignCall<3, kLocalTarget>;
  if (value->fn == &Ev::CallSite<4>) return &Ev::AssignCall<4, kLocalTarget>;
  return nullptr;
}

// How a binary operator reads an operand (Ev::OperandKind).
static int OperandKindOf(Expr* x) {
  if (x->fn == &Ev::LocalRead) return int(Ev::kLocal);
  if (x->fn == &Ev::GlobalRead) return int(Ev::kGlobal);
  if (x->kind == Expr::Literal) return int(Ev::kLit);
  if (x->fn == &Ev::IndexN<1> || x->fn == &Ev::IndexN<2>) return int(Ev::kElem);
  if (x->fn == &Ev::CallGlobal) {
    // Only a declared variable: g(x) is far more often a call.
    auto* n = static_cast<NameExpr*>(x);
    if (n->declaredVar && (n->args.size() == 1 || n->args.size() == 2) && n->args[0] && n->args.back())
      return int(Ev::kElem);
  }
  return int(Ev::kAny);
}

template <BinOp OP>
static EvalFn PickKinds(int lk, int rk) {
#define VBS_ROW(L) {&Ev::Bin<OP, L, Ev::kAny>, &Ev::Bin<OP, L, Ev::kLocal>, &Ev::Bin<OP, L, Ev::kLit>, \
                    &Ev::Bin<OP, L, Ev::kGlobal>, &Ev::Bin<OP, L, Ev::kElem>}
  static const EvalFn table[5][5] = {VBS_ROW(Ev::kAny), VBS_ROW(Ev::kLocal), VBS_ROW(Ev::kLit),
                                     VBS_ROW(Ev::kGlobal), VBS_ROW(Ev::kElem)};
#undef VBS_ROW
  return table[lk][rk];
}

template <BinOp OP>
static TestFn PickTest(int lk, int rk) {
#define VBS_ROW(L) {&Ev::Test<OP, L, Ev::kAny>, &Ev::Test<OP, L, Ev::kLocal>, &Ev::Test<OP, L, Ev::kLit>, \
                    &Ev::Test<OP, L, Ev::kGlobal>}
  static const TestFn table[4][4] = {VBS_ROW(Ev::kAny), VBS_ROW(Ev::kLocal), VBS_ROW(Ev::kLit),
                                     VBS_ROW(Ev::kGlobal)};
#undef VBS_ROW
  return table[lk > Ev::kGlobal ? Ev::kAny : lk][rk > Ev::kGlobal ? Ev::kAny : rk];
}

static TestFn PickTestFor(BinOp op, int lk, int rk) {
  switch (op) {
    case BinOp::Eq: return PickTest<BinOp::Eq>(lk, rk);
    case BinOp::Ne: return PickTest<BinOp::Ne>(lk, rk);
    case BinOp::Lt: return PickTest<BinOp::Lt>(lk, rk);
    case BinOp::Gt: return PickTest<BinOp::Gt>(lk, rk);
    case BinOp::Le: return PickTest<BinOp::Le>(lk, rk);
    case BinOp::Ge: return PickTest<BinOp::Ge>(lk, rk);
    default: return nullptr;
  }
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

// Whether name(args) can be a fixed call site (every argument given, at
// most four); if so, how its arguments are passed is worked out here.
static bool PlanCallSite(NameExpr* n) {
  if (n->args.size() > 4) return false;
  for (auto& a : n->args)
    if (!a) return false;
  n->argPlan = Interp::PlanArgs(n->args);
  return true;
}

// A global name with arguments: a fixed call site when it can be one.
static EvalFn CallSiteFor(NameExpr* n) {
  static const EvalFn sites[] = {&Ev::CallSite<0>, &Ev::CallSite<1>, &Ev::CallSite<2>, &Ev::CallSite<3>,
                                 &Ev::CallSite<4>};
  return PlanCallSite(n) ? sites[n->args.size()] : &Ev::CallGlobal;
}

void Interp::Specialize(Expr* e) {
  if (EvalFn member = MemberRoutine(e)) {
    e->fn = member;
    return;
  }
  switch (e->kind) {
    case Expr::Literal:
      e->fn = &Ev::Literal;
      return;
    case Expr::Name: {
      auto* n = static_cast<NameExpr*>(e);
      e->isLocalRead = !n->hasParens && n->nk == NameKind::Local;
      // A declared variable stays one (a procedure of its name cannot be
      // added), so g(i) on it is an element read from the start.
      if (n->hasParens && n->nk == NameKind::Global && n->declaredVar && n->args.size() == 1 && n->args[0])
        e->fn = &Ev::IndexN<1>;
      else if (n->hasParens && n->nk == NameKind::Global && n->declaredVar && n->args.size() == 2 &&
               n->args[0] && n->args[1])
        e->fn = &Ev::IndexN<2>;
      else if (n->hasParens && n->nk == NameKind::Global)
        e->fn = CallSiteFor(n);
      else if (n->hasParens && n->nk == NameKind::Local && n->args.size() == 1 && n->args[0])
        e->fn = &Ev::IndexN<1>;
      else if (n->hasParens && n->nk == NameKind::Local && n->args.size() == 2 && n->args[0] && n->args[1])
        e->fn = &Ev::IndexN<2>;
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
      int lk = OperandKindOf(b->lhs.get()), rk = OperandKindOf(b->rhs.get());
      b->test = PickTestFor(b->op, lk, rk);
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

// The routine Form<OP, OP2, LK, RK> for a product's operand kinds (each a
// local, a literal, a global or an element).
template <template <BinOp, BinOp, int, int> class Form, BinOp OP, BinOp OP2>
static ExecFn PickProductKinds(int lk, int rk) {
#define VBS_ROW(L) {&Form<OP, OP2, L, Ev::kLocal>::Run, &Form<OP, OP2, L, Ev::kLit>::Run, \
                    &Form<OP, OP2, L, Ev::kGlobal>::Run, &Form<OP, OP2, L, Ev::kElem>::Run}
  static const ExecFn table[4][4] = {VBS_ROW(Ev::kLocal), VBS_ROW(Ev::kLit), VBS_ROW(Ev::kGlobal),
                                     VBS_ROW(Ev::kElem)};
#undef VBS_ROW
  return table[lk - Ev::kLocal][rk - Ev::kLocal];
}
template <BinOp OP, BinOp OP2, int LK, int RK>
struct AccumulateForm {
  static Flow Run(Interp& in, Stmt* s, Frame& f) { return Ev::AccumulateProduct<OP, OP2, LK, RK>(in, s, f); }
};
template <BinOp OP, BinOp OP2, int LK, int RK>
struct ProductPlusForm {
  static Flow Run(Interp& in, Stmt* s, Frame& f) { return Ev::AssignProductPlus<OP, OP2, LK, RK>(in, s, f); }
};

// x = x + a * b, x = x - a / b ... (Accumulate) and y = a * b + c ...
// (ProductPlus): the fused routine when a and b are read in place, else
// nullptr.
template <template <BinOp, BinOp, int, int> class Form>
static ExecFn PickProduct(BinOp op, Expr* product) {
  if (product->kind != Expr::Binary) return nullptr;
  auto* m = static_cast<BinaryExpr*>(product);
  if (m->op != BinOp::Mul && m->op != BinOp::Div) return nullptr;
  const int lk = OperandKindOf(m->lhs.get()), rk = OperandKindOf(m->rhs.get());
  if (lk == Ev::kAny || rk == Ev::kAny) return nullptr;
  if (op == BinOp::Add)
    return m->op == BinOp::Mul ? PickProductKinds<Form, BinOp::Add, BinOp::Mul>(lk, rk)
                               : PickProductKinds<Form, BinOp::Add, BinOp::Div>(lk, rk);
  return m->op == BinOp::Mul ? PickProductKinds<Form, BinOp::Sub, BinOp::Mul>(lk, rk)
                             : PickProductKinds<Form, BinOp::Sub, BinOp::Div>(lk, rk);
}

void Interp::Specialize(Stmt* s) {
  s->fn = &Ev::StmtGeneric;
  if (ExecFn member = MemberRoutine(s)) {
    s->fn = member;
    return;
  }
  if (s->kind == Stmt::CallS) {
    // A call of a global name with all its arguments given (at most four).
    Expr* c = static_cast<CallStmt*>(s)->call.get();
    if (c->kind != Expr::Name) return;
    auto* n = static_cast<NameExpr*>(c);
    if (n->nk != NameKind::Global || !PlanCallSite(n)) return;
    static const ExecFn sites[] = {&Ev::CallSiteStmt<0>, &Ev::CallSiteStmt<1>, &Ev::CallSiteStmt<2>,
                                   &Ev::CallSiteStmt<3>, &Ev::CallSiteStmt<4>};
    s->fn = sites[n->args.size()];
    return;
  }
  if (s->kind == Stmt::If) {
    auto* i = static_cast<IfStmt*>(s);
    Expr* c = i->conds.size() == 1 ? i->conds[0].get() : nullptr;
    i->singleTest = c && c->kind == Expr::Binary && static_cast<BinaryExpr*>(c)->test;
    s->fn = i->singleTest ? &Ev::IfTest : &Ev::If;
    return;
  }
  if (s->kind != Stmt::Assign) return;
  auto* a = static_cast<AssignStmt*>(s);
  if (a->isSet || a->target->kind != Expr::Name) return;
  auto* n = static_cast<NameExpr*>(a->target.get());
  if (n->hasParens) {
    if (n->nk != NameKind::Local && n->nk != NameKind::Global) return;
    if (n->args.size() == 1 && n->args[0]) s->fn = &Ev::AssignIndexN<1>;
    else if (n->args.size() == 2 && n->args[0] && n->args[1]) s->fn = &Ev::AssignIndexN<2>;
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
        if (b->op == BinOp::Add || b->op == BinOp::Sub) {
          if (ExecFn fn = PickProduct<AccumulateForm>(b->op, b->rhs.get())) {
            s->fn = fn;
            return;
          }
        }
        if (b->op == BinOp::Add) { s->fn = &Ev::Accumulate<BinOp::Add>; return; }
        if (b->op == BinOp::Sub) { s->fn = &Ev::Accumulate<BinOp::Sub>; return; }
        if (b->op == BinOp::Mul) { s->fn = &Ev::Accumulate<BinOp::Mul>; return; }
      }
    }
  }
  if (a->value->kind == Expr::Binary) {
    auto* b = static_cast<BinaryExpr*>(a->value.get());
    const int ck = OperandKindOf(b->rhs.get());
    if ((b->op == BinOp::Add || b->op == BinOp::Sub) && ck != Ev::kAny && ck != Ev::kElem) {
      if (ExecFn fn = PickProduct<ProductPlusForm>(b->op, b->lhs.get())) {
        s->fn = fn;
        return;
      }
    }
  }
  if (ExecFn call = n->nk == NameKind::Local ? AssignCallFor<true>(a->value.get())
                                             : AssignCallFor<false>(a->value.get())) {
    s->fn = call;
    return;
  }
  if (n->nk == NameKind::Local) {
    if (a->value->fn == &Ev::LocalRead) s->fn = &Ev::AssignLocalFrom<Ev::kLocal>;
    else if (a->value->kind == Expr::Literal) s->fn = &Ev::AssignLocalFrom<Ev::kLit>;
    else s->fn = &Ev::AssignLocal;
  } else {
    s->fn = &Ev::AssignGlobal;
  }
}

}  // namespace vbs
