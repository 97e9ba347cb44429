#pragma once
// Routines that read a node: names, literals and array elements, and the
// in-place reads the operator and assignment routines build on. Included
// by pick_routines.cpp only: every routine is instantiated there.
#include "engine/interp.h"
#include "engine/interp_inline.h"

namespace vbs {

struct OperandReads {
  // The operand kinds under short names, for the routine templates.
  static constexpr OperandKind kAny = OperandKind::Any, kLocal = OperandKind::Local,
                               kLit = OperandKind::Literal, kGlobal = OperandKind::Global,
                               kElem = OperandKind::Element;

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

  // Cell of global variable `n` (declared or implicit), or nullptr.
  static inline __attribute__((always_inline)) Variant* GlobalVarCell(Interp& in, NameExpr* n) {
    return in.GlobalVarCell(n, false);
  }
  // Readable cell of global `e`: a variable or a constant.
  static inline __attribute__((always_inline)) const Variant* GlobalVar(Interp& in, Expr* e) {
    return in.GlobalReadCell(static_cast<NameExpr*>(e));
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
    if (ix->operand == OperandKind::Local) return FastIndex(f.slots[static_cast<NameExpr*>(ix)->slot].Deref());
    if (ix->operand == OperandKind::Global) {
      if (const Variant* g = GlobalVar(in, ix)) return FastIndex(*g);
    } else if (ix->operand == OperandKind::Literal) {
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
    if (ix->operand == OperandKind::Local) v = &f.slots[static_cast<NameExpr*>(ix)->slot].Deref();
    else if (ix->operand == OperandKind::Global) v = GlobalVar(in, ix);
    else if (ix->operand == OperandKind::Literal) v = &static_cast<LiteralExpr*>(ix)->value;
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

  // An operand read in place: a local, a literal, a global variable or
  // constant, or an element found without running code (else nullptr).
  template <OperandKind K>
  static inline __attribute__((always_inline)) const Variant* InPlace(Interp& in, Expr* x, Frame& f) {
    if constexpr (K == kLocal) return &f.slots[static_cast<NameExpr*>(x)->slot].Deref();
    else if constexpr (K == kLit) return &static_cast<LiteralExpr*>(x)->value;
    else if constexpr (K == kGlobal) return GlobalVar(in, x);
    else return ElementInPlace(in, x, f);
  }

  // The left or right operand of an operator read in place (InPlace); a
  // local through the slot the operator's node keeps.
  template <OperandKind K, bool kRight>
  static inline __attribute__((always_inline)) const Variant* SideInPlace(Interp& in, BinaryExpr* b, Frame& f) {
    if constexpr (K == kLocal) return &f.slots[kRight ? b->rslot : b->lslot].Deref();
    else return InPlace<K>(in, kRight ? b->rhs.get() : b->lhs.get(), f);
  }

  // One operand read in place (locals, literals, known global variables) or
  // evaluated into `tmp`.
  template <OperandKind K>
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
  static constexpr bool Peekable(OperandKind k) { return k == kLocal || k == kLit || k == kGlobal; }
};

}  // namespace vbs
