// Assignment: Let and Set into variables, array elements and default
// properties.
#include "engine/interp.h"
#include "engine/interp_inline.h"

namespace vbs {

// ---- assignment --------------------------------------------------------------------
void Interp::AssignCell(Variant& cell, Variant&& value, bool isSet) {
  if (isSet) {
    if (!value.IsObject()) Raise(kErrObjectRequired);
    cell = std::move(value);
    return;
  }
  if (value.IsObject()) {
    if (value.IsNothing()) Raise(kErrObjectNotSet);
    Variant d = DefaultValue(value.object());
    cell = std::move(d);
    return;
  }
  uint16_t flags = cell.flags();
  if (flags & Variant::kFixedArray) Raise(kErrIllegalAssignment);
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
      if (!idxExprs[i]) Raise(kErrSubscriptOutOfRange);
      idx[i] = ToIndex(EvalExpr(idxExprs[i].get(), f));
    }
    if (!base.IsArray()) Raise(kErrTypeMismatch);
    if (isSet) {
      if (!value.IsObject()) Raise(kErrObjectRequired);
    } else if (value.IsObject()) {
      if (value.IsNothing()) Raise(kErrObjectNotSet);
      value = DefaultValue(value.object());
    }
    Array* a = base.ArrayForWrite();
    a->At(idx, int(idxExprs.size())) = std::move(value);
    return;
  }
  if (base.IsObject()) {
    Variant hold = base;
    Object* o = hold.object();
    if (!o) Raise(kErrObjectNotSet);
    HostArgList items;
    BuildHostArgs(&idxExprs, f, items, 1);
    items[items.size() - 1] = std::move(value);
    Args av(items.data(), int(items.size()));
    Variant ignored;
    o->Invoke(0, isSet ? InvokeKind::PropertySet : InvokeKind::PropertyLet, av, ignored);
    return;
  }
  Raise(kErrTypeMismatch);
}

// a(i)(j) = v where a(i) holds an array: v goes into that inner array, in
// place. Every subscript is read first (they may run code that resizes
// the arrays), then the elements are found without running any. False,
// with nothing evaluated, when the chain does not start at an element of
// an array variable; an element on the way that holds no array ends in
// the usual way (an object's default property, else 13).
bool Interp::AssignNested(CallExpr* c, Variant& value, bool isSet, Frame& f) {
  std::vector<CallExpr*> levels;  // outermost first
  Expr* x = c;
  while (x->kind == Expr::Call) {
    levels.push_back(static_cast<CallExpr*>(x));
    x = static_cast<CallExpr*>(x)->callee.get();
  }
  if (x->kind != Expr::Name) return false;
  auto* n = static_cast<NameExpr*>(x);
  if (!n->hasParens || n->args.empty() || !MayNameElement(n)) return false;
  Variant* base = VarCell(n, f, false);
  if (!base || !base->Deref().IsArray()) return false;
  // Subscripts in text order: the variable's, then each list after it. An
  // object subscript also gets its default value now, for an array to be
  // indexed by (that may run script code, which must not happen during the
  // walk); an object on the way is given the object itself.
  std::vector<std::vector<Variant>> subs, plain;
  subs.reserve(levels.size() + 1);
  plain.reserve(levels.size() + 1);
  auto read = [&](ExprList& list) {
    subs.emplace_back();
    plain.emplace_back();
    for (auto& e : list) {
      Variant v = e ? EvalExpr(e.get(), f) : Variant::Missing();
      Variant p = v;
      if (v.IsObject() && v.object()) {
        try {
          p = DefaultValue(v.object());
        } catch (const ScriptError&) {
          // No default value: indexing an array with it raises then.
        }
      }
      subs.back().push_back(std::move(v));
      plain.back().push_back(std::move(p));
    }
  };
  read(n->args);
  for (size_t k = levels.size(); k-- > 0;) read(levels[k]->args);
  // An object stored without Set stores its default value, found now:
  // it may run code, which must not happen once an element is in hand.
  if (isSet) {
    if (!value.IsObject()) Raise(kErrObjectRequired);
  } else if (value.IsObject()) {
    if (value.IsNothing()) Raise(kErrObjectNotSet);
    value = DefaultValue(value.object());
  }
  auto indices = [](const std::vector<Variant>& vs) {
    std::vector<int32_t> out;
    for (const Variant& v : vs) {
      if (v.IsMissing()) Raise(kErrSubscriptOutOfRange);
      out.push_back(ToIndex(v));
    }
    return out;
  };
  base = VarCell(n, f, false);
  if (!base || !base->Deref().IsArray()) Raise(kErrTypeMismatch);
  Variant* cell = &base->Deref();
  Variant scratch;  // what an object's default property gave on the way
  for (size_t k = 0; k < subs.size(); ++k) {
    const bool last = k + 1 == subs.size();
    if (!cell->IsArray()) {
      // An object on the way: its default property takes the subscripts.
      if (!cell->IsObject()) Raise(kErrTypeMismatch);
      Variant hold = *cell;
      if (!hold.object()) Raise(kErrObjectNotSet);
      std::vector<Variant>& items = subs[k];
      if (last) items.push_back(std::move(value));
      Args av(items.data(), int(items.size()));
      Variant got;
      hold.object()->Invoke(0, !last ? InvokeKind::PropertyGet : isSet ? InvokeKind::PropertySet
                                                                      : InvokeKind::PropertyLet,
                            av, got);
      if (last) return true;
      scratch = std::move(got);  // a value: what is written into it is lost
      cell = &scratch;
      continue;
    }
    const std::vector<int32_t> idx = indices(plain[k]);
    cell = &cell->ArrayForWrite()->At(idx.data(), int(idx.size()));
    if (last) *cell = std::move(value);
  }
  return true;
}

void Interp::Assign(Expr* target, Variant&& value, bool isSet, Frame& f) {
  switch (target->kind) {
    case Expr::Name: {
      auto* n = static_cast<NameExpr*>(target);
      if (n->nk == NameKind::MeMember) {
        if (!f.me) Raise(kErrObjectRequired);
        ClassMember& cm = f.me->cls()->members[size_t(n->slot)];
        SetClassProperty(f.me, cm, n->hasParens ? &n->args : nullptr, std::move(value), isSet, f);
        return;
      }
      Variant* cell = VarCell(n, f, true);
      if (!cell) Raise(kErrIllegalAssignment);
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
      if (AssignNested(c, value, isSet, f)) return;
      Variant base = EvalExpr(c->callee.get(), f);
      AssignIndexed(base, c->args, std::move(value), isSet, f);
      return;
    }
    default:
      Raise(kErrIllegalAssignment);
  }
}

}  // namespace vbs
