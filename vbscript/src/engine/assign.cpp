// Assignment: Let and Set into variables, array elements and default
// properties.
#include "engine/interp.h"
#include "engine/interp_inline.h"

namespace vbs {

// ---- assignment --------------------------------------------------------------------
void Interp::AssignCell(Variant& cell, Variant&& value, bool isSet) {
  if (isSet) {
    if (!value.IsObject()) Throw(424);
    cell = std::move(value);
    return;
  }
  if (value.IsObject()) {
    if (value.IsNothing()) Throw(91);
    Variant d = DefaultValue(value.object());
    cell = std::move(d);
    return;
  }
  uint16_t flags = cell.flags();
  if (flags & Variant::kFixedArray) Throw(501);
  cell = std::move(value);
}

void Interp::AssignIndexed(Variant& baseIn, ExprList& idxExprs, Variant&& value,
                           bool isSet, Frame& f) {
  int32_t buf[8];
  std::vector<int32_t> big;
  int32_t* idx = buf;
  if (idxExprs.size() > 8) {
    big.resize(idxExprs.size());
    idx = big.data();
  }
  Variant& base = baseIn.Deref();
  if (base.IsArray()) {
    for (size_t i = 0; i < idxExprs.size(); ++i) {
      if (!idxExprs[i]) Throw(9);
      idx[i] = ToIndex(EvalExpr(idxExprs[i].get(), f));
    }
    if (!base.IsArray()) Throw(13);
    if (isSet) {
      if (!value.IsObject()) Throw(424);
    } else if (value.IsObject()) {
      if (value.IsNothing()) Throw(91);
      value = DefaultValue(value.object());
    }
    FitElement(base, value);
    Array* a = base.ArrayForWrite();
    a->At(idx, int(idxExprs.size())) = std::move(value);
    return;
  }
  if (base.IsObject()) {
    Variant hold = base;
    Object* o = hold.object();
    if (!o) Throw(91);
    std::vector<Variant> items;
    BuildHostArgs(&idxExprs, f, items);
    items.push_back(std::move(value));
    Args av(items.data(), int(items.size()));
    Variant ignored;
    o->Invoke(0, isSet ? InvokeKind::PropertySet : InvokeKind::PropertyLet, av, ignored);
    return;
  }
  Throw(13);
}

void Interp::Assign(Expr* target, Variant&& value, bool isSet, Frame& f) {
  switch (target->kind) {
    case Expr::Name: {
      auto* n = static_cast<NameExpr*>(target);
      if (n->nk == NameKind::MeMember) {
        if (!f.me) Throw(424);
        ClassMember& cm = f.me->cls()->members[size_t(n->slot)];
        SetClassProperty(f.me, cm, n->hasParens ? &n->args : nullptr, std::move(value), isSet, f);
        return;
      }
      Variant* cell = VarCell(n, f, true);
      if (!cell) {
        if (n->nk == NameKind::Builtin || n->nk == NameKind::Constant) Throw(501);
        Throw(501);
      }
      if (n->hasParens && !n->args.empty()) {
        AssignIndexed(*cell, n->args, std::move(value), isSet, f);
        return;
      }
      AssignCell(*cell, std::move(value), isSet);
      return;
    }
    case Expr::Member:
      AssignMember(static_cast<MemberExpr*>(target), std::move(value), isSet, f);
      return;
    case Expr::Call: {
      auto* c = static_cast<CallExpr*>(target);
      Variant base = EvalExpr(c->callee.get(), f);
      AssignIndexed(base, c->args, std::move(value), isSet, f);
      return;
    }
    default:
      Throw(501);
  }
}

}  // namespace vbs
