#pragma once
// Routines for assignments: to a variable from a value, a variable or a
// call's result, to an element, and the accumulations x = x + e and
// s = s + a * b computed in place.
#include "engine/arith_routines.h"

namespace vbs {

struct AssignRoutines : OperatorRoutines {
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

  // a(i) = v and a(i, j) = v where v is a literal or a local holding a
  // number, a Boolean, Empty, Null or a date: with the subscripts read in
  // place (PlainSubscript) no code runs before the store, so the value is
  // copied straight from where it is into the element. Anything else (a
  // string, an object or array, a subscript to convert, an array not known
  // yet) goes the general way, which then reads everything afresh.
  template <int N, OperandKind K>
  static Flow AssignIndexFrom(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* n = static_cast<NameExpr*>(a->target.get());
    Variant* cell = n->nk == NameKind::Local ? &f.slots[n->slot].Deref() : n->gcell;
    const Variant& src = *InPlace<K>(in, a->value.get(), f);
    int32_t i, j = 0;
    // Values that hold a reference go the general way too: a(i) = a must
    // store a copy of a as it was, which the general assignment's own
    // reference makes.
    if (cell && cell->IsArray() && !Variant::IsRefType(src.type()) && PlainSubscript(in, n->args[0].get(), f, i) &&
        (N == 1 || PlainSubscript(in, n->args[1].get(), f, j))) {
      Array* arr = cell->ArrayForWrite();
      Variant& el = N == 1 ? arr->At1(i) : arr->At2(i, j);
      if (Variant::PlainPair(el, src)) el.CopyPlain(src);
      else el = src;
      return Flow::Normal;
    }
    return AssignIndexN<N>(in, s, f);
  }

  // a(i, j) = a(i, j) - x * y (also + and /, and a(i) = a(i) ...): the
  // element updated in place when it and both factors are Doubles and the
  // subscripts are read in place; the factors are read, and the product
  // taken, before the array is made ours to write (a shared array is
  // copied then). Anything else goes the general way, nothing changed yet.
  static inline __attribute__((always_inline)) const Variant* Peek(Interp& in, Expr* x, Frame& f) {
    switch (x->operand) {
      case OperandKind::Local: return InPlace<kLocal>(in, x, f);
      case OperandKind::Literal: return InPlace<kLit>(in, x, f);
      case OperandKind::Global: return InPlace<kGlobal>(in, x, f);
      case OperandKind::Element: return InPlace<kElem>(in, x, f);
      default: return nullptr;
    }
  }
  template <int N, BinOp OP, BinOp OP2>
  static Flow ElementAccumulate(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* n = static_cast<NameExpr*>(a->target.get());
    auto* m = static_cast<BinaryExpr*>(static_cast<BinaryExpr*>(a->value.get())->rhs.get());
    Variant* cell = n->nk == NameKind::Local ? &f.slots[n->slot].Deref() : n->gcell;
    const Variant* l = Peek(in, m->lhs.get(), f);
    const Variant* r = l && l->type() == vbDouble ? Peek(in, m->rhs.get(), f) : nullptr;
    double p, z;
    int32_t i, j = 0;
    if (r && r->type() == vbDouble && DoubleOp<OP2>(l->doubleVal(), r->doubleVal(), p) && cell &&
        cell->IsArray() && PlainSubscript(in, n->args[0].get(), f, i) &&
        (N == 1 || PlainSubscript(in, n->args[1].get(), f, j))) {
      Array* arr = cell->ArrayForWrite();
      Variant& el = N == 1 ? arr->At1(i) : arr->At2(i, j);
      if (el.type() == vbDouble && DoubleOp<OP>(el.doubleVal(), p, z)) {
        el.SetDouble(z);
        return Flow::Normal;
      }
    }
    return AssignIndexN<N>(in, s, f);
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
  // The target's cell when a number may simply be stored in it.
  static inline __attribute__((always_inline)) Variant* PlainTarget(Interp& in, NameExpr* n, Frame& f) {
    Variant* cell = n->nk == NameKind::Local ? &f.slots[n->slot].Deref() : GlobalVarCell(in, n);
    return cell && !(cell->flags() & Variant::kFixedArray) ? cell : nullptr;
  }
  // The routines below try Doubles first. Over variables and literals
  // that path calls nothing, so it runs without saving registers and the
  // general steps are a call away; an element read may call (a subscript
  // out of range), so there both run in one routine, the failed try
  // costing a few tests only.
  template <BinOp OP, BinOp OP2, OperandKind LK, OperandKind RK>
  static inline __attribute__((always_inline)) bool AccumulateDouble(Interp& in, Variant* cell, BinaryExpr* m,
                                                                    Frame& f) {
    double p, z;
    if (cell && cell->type() == vbDouble && DoubleProduct<OP2, LK, RK>(in, m, f, p) &&
        DoubleOp<OP>(cell->doubleVal(), p, z)) {
      cell->SetDouble(z);
      return true;
    }
    return false;
  }
  template <BinOp OP, BinOp OP2, OperandKind LK, OperandKind RK>
  static Flow AccumulateProduct(Interp& in, Stmt* s, Frame& f) {
    if constexpr (LK != kElem && RK != kElem) {
      auto* a = static_cast<AssignStmt*>(s);
      auto* m = static_cast<BinaryExpr*>(static_cast<BinaryExpr*>(a->value.get())->rhs.get());
      Variant* cell = PlainTarget(in, static_cast<NameExpr*>(a->target.get()), f);
      if (AccumulateDouble<OP, OP2, LK, RK>(in, cell, m, f)) return Flow::Normal;
    }
    return AccumulateProductNum<OP, OP2, LK, RK>(in, s, f);
  }
  template <BinOp OP, BinOp OP2, OperandKind LK, OperandKind RK>
  static __attribute__((noinline)) Flow AccumulateProductNum(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* m = static_cast<BinaryExpr*>(static_cast<BinaryExpr*>(a->value.get())->rhs.get());
    Variant* cell = PlainTarget(in, static_cast<NameExpr*>(a->target.get()), f);
    if constexpr (LK == kElem || RK == kElem) {
      if (AccumulateDouble<OP, OP2, LK, RK>(in, cell, m, f)) return Flow::Normal;
    }
    Num x, p, z;
    if (cell && ToNum(*cell, x) && Product<OP2, LK, RK>(in, m, f, p) && NumOp<OP>(x, p, z)) {
      StoreNum(*cell, z);
      return Flow::Normal;
    }
    return Accumulate<OP>(in, s, f);
  }
  // y = a * b + c (also - and /): c is a local, a literal or a global.
  static inline __attribute__((always_inline)) const Variant* Addend(Interp& in, Expr* ce, Frame& f) {
    return ce->operand == OperandKind::Local ? &f.slots[static_cast<NameExpr*>(ce)->slot].Deref()
         : ce->kind == Expr::Literal ? &static_cast<LiteralExpr*>(ce)->value : GlobalVar(in, ce);
  }
  template <BinOp OP, BinOp OP2, OperandKind LK, OperandKind RK>
  static inline __attribute__((always_inline)) bool ProductPlusDouble(Interp& in, AssignStmt* a, BinaryExpr* b,
                                                                     const Variant* c, Frame& f) {
    double p, z;
    if (c && c->type() == vbDouble && DoubleProduct<OP2, LK, RK>(in, static_cast<BinaryExpr*>(b->lhs.get()), f, p) &&
        DoubleOp<OP>(p, c->doubleVal(), z)) {
      Variant* cell = PlainTarget(in, static_cast<NameExpr*>(a->target.get()), f);
      if (cell && cell->type() == vbDouble) {
        cell->SetDouble(z);
        return true;
      }
    }
    return false;
  }
  template <BinOp OP, BinOp OP2, OperandKind LK, OperandKind RK>
  static Flow AssignProductPlus(Interp& in, Stmt* s, Frame& f) {
    if constexpr (LK != kElem && RK != kElem) {
      auto* a = static_cast<AssignStmt*>(s);
      auto* b = static_cast<BinaryExpr*>(a->value.get());
      if (ProductPlusDouble<OP, OP2, LK, RK>(in, a, b, Addend(in, b->rhs.get(), f), f)) return Flow::Normal;
    }
    return AssignProductPlusNum<OP, OP2, LK, RK>(in, s, f);
  }
  template <BinOp OP, BinOp OP2, OperandKind LK, OperandKind RK>
  static __attribute__((noinline)) Flow AssignProductPlusNum(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* b = static_cast<BinaryExpr*>(a->value.get());
    const Variant* c = Addend(in, b->rhs.get(), f);
    if constexpr (LK == kElem || RK == kElem) {
      if (ProductPlusDouble<OP, OP2, LK, RK>(in, a, b, c, f)) return Flow::Normal;
    }
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

  // x = <expr> for a local x (no Set, no arguments)
  static Flow AssignLocal(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* n = static_cast<NameExpr*>(a->target.get());
    Variant v = a->value->fn(in, a->value.get(), f);
    Variant& cell = f.slots[n->slot].Deref();
    if (Variant::PlainPair(cell, v)) {
      cell.CopyPlain(v);
      return Flow::Normal;
    }
    if (!v.IsObject() && !(cell.flags() & Variant::kFixedArray)) {
      cell = std::move(v);
      return Flow::Normal;
    }
    in.Assign(n, std::move(v), false, f);
    return Flow::Normal;
  }
  // x = a OP b for a local x, a and b locals or literals (OP + - *): the
  // numeric result is written straight into x, which the operator's fast
  // path reads a and b before it writes (x = a + x is fine). Anything else,
  // or a fixed array in x, goes the general way.
  template <BinOp OP, OperandKind LK, OperandKind RK>
  static Flow AssignLocalBin(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* b = static_cast<BinaryExpr*>(a->value.get());
    Variant& cell = f.slots[static_cast<NameExpr*>(a->target.get())->slot].Deref();
    const Variant& l = *SideInPlace<LK, false>(in, b, f);
    const Variant& r = *SideInPlace<RK, true>(in, b, f);
    if (Variant::PlainPair(cell, cell)) {
      if (Fast<OP, true>(l, r, cell)) return Flow::Normal;
    } else if (!(cell.flags() & Variant::kFixedArray) && Fast<OP>(l, r, cell)) {
      return Flow::Normal;
    }
    return AssignLocalCold(in, s, f);
  }
  // x = y or x = <literal> for a local x: copied cell to cell.
  template <OperandKind K>
  static Flow AssignLocalFrom(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    const Variant& src = *InPlace<K>(in, a->value.get(), f);
    Variant& cell = f.slots[static_cast<NameExpr*>(a->target.get())->slot].Deref();
    if (Variant::PlainPair(cell, src)) {
      cell.CopyPlain(src);
      return Flow::Normal;
    }
    return AssignLocalFromSlow<K>(in, s, f);
  }
  // The rest of it, out of line so that the plain copy saves no registers.
  template <OperandKind K>
  static __attribute__((noinline)) Flow AssignLocalFromSlow(Interp& in, Stmt* s, Frame& f) {
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
    Proc* p = in.FixedProc<N>(c);
    if (!p) return AssignCallOther<kLocalTarget>(in, s, f);
    Variant v = in.CallFixed<N>(p, c, f);
    auto* n = static_cast<NameExpr*>(a->target.get());
    Variant* cell = kLocalTarget ? &f.slots[n->slot].Deref() : v.IsObject() ? nullptr : GlobalVarCell(in, n);
    if (cell && Variant::PlainPair(*cell, v)) {
      cell->CopyPlain(v);
      return Flow::Normal;
    }
    if (cell && !v.IsObject() && !(cell->flags() & Variant::kFixedArray)) {
      *cell = std::move(v);
      return Flow::Normal;
    }
    in.Assign(n, std::move(v), false, f);
    return Flow::Normal;
  }
  // x = F(..) OP G(..) for a local x (OP + - *), both calls fixed call
  // sites of N arguments (N = 0: any count, through their routines): the
  // calls run here, and a numeric result is written straight into x, as
  // x = a OP b does (AssignLocalBin). Anything else is finished the way
  // AssignLocal finishes the operator's value.
  template <int N>
  static inline __attribute__((always_inline)) Variant CallOperand(Interp& in, Expr* e, Frame& f) {
    if constexpr (N > 0) {
      auto* c = static_cast<NameExpr*>(e);
      if (Proc* p = in.FixedProc<N>(c)) return in.CallFixed<N>(p, c, f);
    }
    return e->fn(in, e, f);
  }
  template <BinOp OP, int N>
  static Flow AssignLocalCalls(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<AssignStmt*>(s);
    auto* b = static_cast<BinaryExpr*>(a->value.get());
    Variant l = CallOperand<N>(in, b->lhs.get(), f);
    Variant r = CallOperand<N>(in, b->rhs.get(), f);
    auto* n = static_cast<NameExpr*>(a->target.get());
    Variant& cell = f.slots[n->slot].Deref();
    // Two Integers into a plain variable: the result needs 32 bits at most.
    if (l.type() == vbInteger && r.type() == vbInteger && Variant::PlainPair(cell, l)) {
      const int32_t x = l.intVal(), y = r.intVal();
      InitWholeNumber(cell, OP == BinOp::Add ? x + y : OP == BinOp::Sub ? x - y : x * y, true);
      return Flow::Normal;
    }
    if (!(cell.flags() & Variant::kFixedArray) && Fast<OP>(l, r, cell)) return Flow::Normal;
    return AssignLocalSlow<OP>(in, n, l, r, b->literals, f);
  }
  template <BinOp OP>
  static __attribute__((noinline)) Flow AssignLocalSlow(Interp& in, NameExpr* n, const Variant& l,
                                                        const Variant& r, uint8_t literals, Frame& f) {
    Variant v = Slow<OP>(l, r, literals);
    Variant& cell = f.slots[n->slot].Deref();
    if (!v.IsObject() && !(cell.flags() & Variant::kFixedArray)) {
      cell = std::move(v);
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

}  // namespace vbs
