#pragma once
// Routines for object code: o.m read, called and assigned, fields of Me,
// and Set into a variable. They skip the generic dispatch; the member work
// itself is classes.cpp's.
#include "engine/interp.h"
#include "engine/interp_inline.h"

namespace vbs {

struct MemberRoutines {
  static Variant Get(Interp& in, Expr* e, Frame& f) {
    return in.EvalMember(static_cast<MemberExpr*>(e), f, false);
  }
  // A field of Me, read inside its class. The instance outlives the frame.
  static Variant FieldRead(Interp&, Expr* e, Frame& f) {
    return f.me->fields()[size_t(static_cast<NameExpr*>(e)->slot)];
  }

  // o.m args
  static Flow CallStmt(Interp& in, Stmt* s, Frame& f) {
    in.EvalMember(static_cast<MemberExpr*>(static_cast<vbs::CallStmt*>(s)->call.get()), f, true);
    return Flow::Normal;
  }
  // o.m = v and Set o.m = v: the value first, then the object.
  static Flow AssignStmt(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<vbs::AssignStmt*>(s);
    Variant v = a->value->fn(in, a->value.get(), f);
    in.AssignMember(static_cast<MemberExpr*>(a->target.get()), std::move(v), a->isSet, f);
    return Flow::Normal;
  }
  // field = v inside a class.
  static Flow AssignField(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<vbs::AssignStmt*>(s);
    auto* n = static_cast<NameExpr*>(a->target.get());
    Variant v = a->value->fn(in, a->value.get(), f);
    Variant& cell = f.me->fields()[size_t(n->slot)];
    if (!v.IsObject() && !(cell.flags() & Variant::kFixedArray)) {
      cell = std::move(v);
      return Flow::Normal;
    }
    in.Assign(n, std::move(v), false, f);
    return Flow::Normal;
  }
  // Set x = v for a local or a global variable.
  static Flow SetVar(Interp& in, Stmt* s, Frame& f) {
    auto* a = static_cast<vbs::AssignStmt*>(s);
    auto* n = static_cast<NameExpr*>(a->target.get());
    Variant v = a->value->fn(in, a->value.get(), f);
    Variant* cell = n->nk == NameKind::Local ? &f.slots[n->slot].Deref() : in.GlobalVarCell(n, false);
    if (cell && v.IsObject()) {
      *cell = std::move(v);  // the old object goes after the new one is in
      return Flow::Normal;
    }
    in.Assign(n, std::move(v), true, f);
    return Flow::Normal;
  }
};

}  // namespace vbs
