#pragma once
// Routines for the operators: numeric fast paths for each pair of operand
// kinds, long operator chains, the truth of a comparison for If and Do,
// and the numbers of a sum of products.
#include <cmath>

#include "engine/operand_routines.h"

namespace vbs {

struct OperatorRoutines : OperandReads {
  // Numeric fast path for one operator, fully inlined. kPlainOut: `out`
  // holds a plain value and no flags (Variant::PlainPair), so the result
  // is written whole, with no release check.
  template <BinOp OP, bool kPlainOut = false>
  static inline __attribute__((always_inline)) bool Fast(const Variant& l, const Variant& r, Variant& out) {
    constexpr bool arith = OP == BinOp::Add || OP == BinOp::Sub || OP == BinOp::Mul || OP == BinOp::Div;
    constexpr bool cmp = OP == BinOp::Eq || OP == BinOp::Ne || OP == BinOp::Lt || OP == BinOp::Gt ||
                         OP == BinOp::Le || OP == BinOp::Ge;
    constexpr bool whole = OP == BinOp::Mod || OP == BinOp::IntDiv;
    if constexpr (OP == BinOp::Concat) {
      // No default property can run between the reads and the join, so
      // the operands need no copies.
      if (l.type() == vbObject || r.type() == vbObject) return false;
      out = OpConcat(l, r);
      return true;
    } else if constexpr (whole) {
      const VarType tl = l.type(), tr = r.type();
      if (!IsIntegral(tl) || !IsIntegral(tr)) return false;
      int64_t x = IntOf(l), y = IntOf(r);
      if (y == 0) return false;  // the operator's routine raises
      int64_t z = OP == BinOp::Mod ? x % y : x / y;
      if (z > INT32_MAX) return false;  // Long \ -1: Overflow
      SetWholeNumber(out, z, tl == vbInteger && tr == vbInteger);
      return true;
    } else if constexpr (!arith && !cmp) {
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
          if constexpr (kPlainOut) new (&out) Variant(Variant::FromDouble(double(x) / double(y)));
          else out.SetDouble(double(x) / double(y));
          return true;
        } else if constexpr (arith) {
          int64_t z = OP == BinOp::Add ? x + y : OP == BinOp::Sub ? x - y : x * y;
          if constexpr (kPlainOut) InitWholeNumber(out, z, tl == vbInteger && tr == vbInteger);
          else SetWholeNumber(out, z, tl == vbInteger && tr == vbInteger);
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
        if constexpr (kPlainOut) new (&out) Variant(Variant::FromDouble(z));
        else out.SetDouble(z);
        return true;
      } else {
        bool res = OP == BinOp::Eq ? a == b : OP == BinOp::Ne ? a != b : OP == BinOp::Lt ? a < b
                 : OP == BinOp::Gt ? a > b : OP == BinOp::Le ? a <= b : a >= b;
        out.SetBool(res);
        return true;
      }
    }
  }

  template <BinOp OP>
  static inline __attribute__((always_inline)) Variant Finish(const Variant& l, const Variant& r,
                                                              uint8_t literals = 0) {
    Variant out;
    if (!Fast<OP>(l, r, out)) out = Slow<OP>(l, r, literals);
    return out;
  }

  template <BinOp OP, OperandKind RK>
  static inline __attribute__((always_inline)) Variant WithLeft(Interp& in, BinaryExpr* b, Frame& f,
                                                               const Variant& l) {
    Expr* re = b->rhs.get();
    if constexpr (RK == kLocal) {
      return Finish<OP>(l, f.slots[b->rslot].Deref(), b->literals);
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
  template <BinOp OP, OperandKind RK>
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

  template <BinOp OP, OperandKind LK = kAny, OperandKind RK = kAny>
  static Variant Bin(Interp& in, Expr* e, Frame& f) {
    auto* b = static_cast<BinaryExpr*>(e);
    Expr* le = b->lhs.get();
    if constexpr (LK == kLocal) {
      return WithLeftInPlace<OP, RK>(in, b, f, f.slots[b->lslot].Deref());
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
  // a OP2 b for the product node m.
  template <BinOp OP2, OperandKind LK, OperandKind RK>
  static inline __attribute__((always_inline)) bool Product(Interp& in, BinaryExpr* m, Frame& f, Num& p) {
    const Variant* l = SideInPlace<LK, false>(in, m, f);
    if (!l) return false;
    const Variant* r = SideInPlace<RK, true>(in, m, f);
    Num a, b;
    return r && ToNum(*l, a) && ToNum(*r, b) && NumOp<OP2>(a, b, p);
  }

  // The same for two Doubles, the usual case of numeric code: false for
  // any other subtype, a division by zero or a result out of range, which
  // the general steps above then decide.
  template <BinOp OP>
  static inline __attribute__((always_inline)) bool DoubleOp(double a, double b, double& z) {
    if (OP == BinOp::Div && b == 0) return false;
    z = OP == BinOp::Add ? a + b : OP == BinOp::Sub ? a - b : OP == BinOp::Mul ? a * b : a / b;
    return __builtin_expect(std::isfinite(z), 1);
  }
  template <BinOp OP2, OperandKind LK, OperandKind RK>
  static inline __attribute__((always_inline)) bool DoubleProduct(Interp& in, BinaryExpr* m, Frame& f,
                                                                 double& p) {
    const Variant* l = SideInPlace<LK, false>(in, m, f);
    if (!l || l->type() != vbDouble) return false;
    const Variant* r = SideInPlace<RK, true>(in, m, f);
    return r && r->type() == vbDouble && DoubleOp<OP2>(l->doubleVal(), r->doubleVal(), p);
  }

  // A comparison's truth for If and Do: numbers compared directly,
  // anything else through the operator and IsTrue.
  template <BinOp OP>
  static inline __attribute__((always_inline)) bool Truth(const Variant& l, const Variant& r,
                                                         uint8_t literals) {
    const VarType tl = l.type(), tr = r.type();
    // Two Integers first: counters and small arguments mostly are.
    if (tl == vbInteger && tr == vbInteger) return Compare<OP>(l.intVal(), r.intVal());
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
  // Both operands read in place: no temporaries on the common path.
  template <BinOp OP, OperandKind LK, OperandKind RK>
  static bool Test(Interp& in, Expr* e, Frame& f) {
    if constexpr (Peekable(LK) && Peekable(RK)) {
      auto* b = static_cast<BinaryExpr*>(e);
      const Variant* l = SideInPlace<LK, false>(in, b, f);
      const Variant* r = SideInPlace<RK, true>(in, b, f);
      if (l && r) return Truth<OP>(*l, *r, b->literals);
      return TestCold<OP, LK, RK>(in, e, f);
    } else {
      return TestBody<OP, LK, RK>(in, e, f);
    }
  }
  template <BinOp OP, OperandKind LK, OperandKind RK>
  static __attribute__((noinline)) bool TestCold(Interp& in, Expr* e, Frame& f) {
    return TestBody<OP, LK, RK>(in, e, f);
  }
  template <BinOp OP, OperandKind LK, OperandKind RK>
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
  // If a(i) Then ... [Else ...]: an element read in place that holds a
  // Boolean (a table of flags) decides without a copy; any other value,
  // or an element not found in place, goes through the condition's own
  // routine as in If.
  static Flow IfElement(Interp& in, Stmt* s, Frame& f) {
    auto* i = static_cast<IfStmt*>(s);
    Expr* c = i->conds[0].get();
    bool t;
    try {
      const Variant* v = ElementInPlace(in, c, f);
      t = v && v->type() == vbBoolean ? v->boolVal() : in.Test(c, f);
    } catch (const ScriptError& e) {
      t = in.ConditionFailed(e, f);
    }
    return in.ExecBody(t ? i->blocks[0] : i->elseBlock, f);
  }
  // If c Then ... [Else ...] where c is a comparison with a truth routine.
  static Flow IfTest(Interp& in, Stmt* s, Frame& f) { return in.RunIfTest(static_cast<IfStmt*>(s), f); }
};

}  // namespace vbs
