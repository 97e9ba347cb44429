#pragma once
// Routines for calls of global names: name(args) as an expression or as a
// statement, run right at the site when the procedure takes as many
// arguments as the site gives.
#include "engine/operand_routines.h"

namespace vbs {

struct CallRoutines : OperandReads {
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
    if (Proc* p = in.FixedProc<N>(n)) return in.CallFixed<N>(p, n, f);
    return CallGlobal(in, e, f);
  }
  // The statement F a1, ..., aN (or Call F(...)) on a global name.
  template <int N>
  static Flow CallSiteStmt(Interp& in, Stmt* s, Frame& f) {
    auto* n = static_cast<NameExpr*>(static_cast<CallStmt*>(s)->call.get());
    if (Proc* p = in.FixedProc<N>(n)) {
      in.CallFixed<N>(p, n, f);
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

};

}  // namespace vbs
