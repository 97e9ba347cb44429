// Expression evaluation on the general path: operators, names, indexing and
// the variable cells that reads and assignments go through.
#include "engine/interp.h"
#include "engine/interp_inline.h"

namespace vbs {

Variant Interp::EvalGeneric(Expr* e, Frame& f) {
  if (StackLow()) Raise(kErrOutOfStack);  // ((( ... ))), - - - ...: nested as deep as the parser allowed
  switch (e->kind) {
    case Expr::Literal:
      return static_cast<LiteralExpr*>(e)->value;
    case Expr::Name: {
      auto* n = static_cast<NameExpr*>(e);
      if (!n->hasParens) {
        if (n->nk == NameKind::Local) return f.slots[n->slot].Deref();
        if (n->nk == NameKind::Global) {
          if (const Variant* cell = GlobalReadCell(n)) return *cell;
        }
      }
      return EvalName(n, f, false);
    }
    case Expr::Binary: {
      auto* b = static_cast<BinaryExpr*>(e);
      Variant l = EvalExpr(b->lhs.get(), f);
      Variant r = EvalExpr(b->rhs.get(), f);
      // The value operators decide Integer/Long/Double pairs inline.
      return ApplyBinary(b->op, l, r, b->literals);
    }
    case Expr::Unary: {
      auto* u = static_cast<UnaryExpr*>(e);
      Variant v = EvalExpr(u->operand.get(), f);
      switch (u->op) {
        case UnOp::Neg: return OpNeg(v);
        case UnOp::Not: return OpNot(v);
        case UnOp::Plus:
          return v;  // leaves its operand as it is: an object, text, a Boolean
      }
      return v;
    }
    case Expr::Member:
      return EvalMember(static_cast<MemberExpr*>(e), f, false);
    case Expr::Call:
      return EvalCallExpr(static_cast<CallExpr*>(e), f);
    case Expr::Paren: {
      Variant v = EvalExpr(static_cast<ParenExpr*>(e)->inner.get(), f);
      return v;
    }
    case Expr::New:
      return NewObject(static_cast<NewExpr*>(e));
    case Expr::Me:
      if (!f.me) return GlobalObject();  // outside a class: the script itself
      return Variant::FromObject(f.me);
    case Expr::WithObj:
      break;
  }
  return Variant();
}

Variant Interp::IndexValue(const Variant& baseIn, ExprList& args, Frame& f) {
  const Variant& base = baseIn.Deref();
  if (base.IsArray()) {
    int32_t buf[8];
    std::vector<int32_t> big;
    int32_t* idx = buf;
    if (args.size() > 8) {
      big.resize(args.size());
      idx = big.data();
    }
    for (size_t i = 0; i < args.size(); ++i) {
      if (!args[i]) Raise(kErrSubscriptOutOfRange);
      idx[i] = ToIndex(EvalExpr(args[i].get(), f));
    }
    // base is a variable's storage: reading the indices may have replaced
    // the array in it, so look again.
    if (!base.IsArray()) Raise(kErrTypeMismatch);
    return base.array()->At(idx, int(args.size()));
  }
  if (base.IsObject()) {
    Variant obj = base;
    return CallObject(obj, u"", &args, f, InvokeKind::PropertyGet, nullptr);
  }
  if (args.empty()) return base;
  Raise(kErrTypeMismatch);
}

Variant Interp::EvalName(NameExpr* n, Frame& f, bool asStatement) {
  switch (n->nk) {
    case NameKind::Local: {
      Variant& v = f.slots[n->slot].Deref();
      if (!n->hasParens) return v;
      return IndexValue(v, n->args, f);
    }
    case NameKind::Field: {
      Variant& v = f.me->fields()[size_t(n->slot)];
      if (!n->hasParens) return v;
      return IndexValue(v, n->args, f);
    }
    case NameKind::Dyn:
      if (globals_.slot(n->slot).kind == GlobalSlot::Undefined) {
        if (Proc* p = FrameProc(f, n->name)) return CallProc(p, nullptr, n->args, f);
        if (n->strict) Raise(kErrUndefinedVariable);
        Variant& v = f.slots[n->local].Deref();
        if (!n->hasParens) return v;
        return IndexValue(v, n->args, f);
      }
      [[fallthrough]];
    case NameKind::Global: {
      GlobalSlot::Kind k = globals_.slot(n->slot).kind;
      switch (k) {
        case GlobalSlot::Procedure: {
          // Programs stay alive until Reset, so a procedure that is
          // redefined while it runs keeps its code.
          return CallProc(globals_.slot(n->slot).proc, nullptr, n->args, f);
        }
        case GlobalSlot::Undefined:
          if (Proc* p = FrameProc(f, n->name)) return CallProc(p, nullptr, n->args, f);
          if (n->strict) Raise(kErrUndefinedVariable);
          // Calling something that was never defined.
          if (n->hasParens || asStatement) Raise(kErrTypeMismatch, u"Type mismatch: '" + std::u16string(n->name) + u"'");
          return Variant();
        case GlobalSlot::Class:
          Raise(kErrTypeMismatch);
        default: {
          Variant& v = globals_.value(n->slot);
          if (!n->hasParens) return v;
          return IndexValue(v, n->args, f);
        }
      }
    }
    case NameKind::MeMember: {
      if (!f.me) Raise(kErrObjectRequired);
      return CallClassMember(f.me, n->slot, n->hasParens ? &n->args : nullptr, f);
    }
    case NameKind::Builtin:
      return CallBuiltin(n->slot, n->args, f);
    case NameKind::Constant:
      if (n->hasParens && !n->args.empty()) Raise(kErrTypeMismatch);
      return n->constVal;
    case NameKind::Unresolved:
      break;
  }
  Raise(kErrUndefinedVariable);
}

Variant* Interp::MakeImplicit(NameExpr* n) {
  GlobalSlot& g = globals_.slot(n->slot);
  if (g.kind != GlobalSlot::Undefined) return nullptr;
  if (n->strict) Raise(kErrUndefinedVariable);
  g.kind = GlobalSlot::Implicit;
  return &globals_.value(n->slot);
}

// The cell of a name that lives in the frame: a local, a field of Me, or an
// undeclared name while no global of that name exists yet (its hidden
// local). nullptr: the name is the global's.
Variant* Interp::FrameCell(NameExpr* n, Frame& f) {
  switch (n->nk) {
    case NameKind::Local:
      return &f.slots[n->slot].Deref();
    case NameKind::Field:
      return &f.me->fields()[size_t(n->slot)];
    case NameKind::Dyn:
      if (globals_.slot(n->slot).kind != GlobalSlot::Undefined) return nullptr;
      if (n->strict) Raise(kErrUndefinedVariable);
      return &f.slots[n->local].Deref();
    default:
      return nullptr;
  }
}

Variant* Interp::ByRefCell(Expr* e, Frame& f) {
  if (e->kind != Expr::Name) return nullptr;
  auto* n = static_cast<NameExpr*>(e);
  if (n->hasParens) return nullptr;
  switch (n->nk) {
    case NameKind::Local:
    case NameKind::Field:
      return FrameCell(n, f);
    case NameKind::Dyn:
      if (Variant* local = FrameCell(n, f)) return local;
      [[fallthrough]];
    case NameKind::Global:
      return GlobalVarCell(n, true);
    default:
      return nullptr;
  }
}

Variant* Interp::VarCell(NameExpr* n, Frame& f, bool forWrite) {
  switch (n->nk) {
    case NameKind::Local:
    case NameKind::Field:
      return FrameCell(n, f);
    case NameKind::Dyn:
      if (Variant* local = FrameCell(n, f)) return local;
      [[fallthrough]];
    case NameKind::Global: {
      if (Variant* cell = GlobalVarCell(n, true)) return cell;
      switch (globals_.slot(n->slot).kind) {
        case GlobalSlot::Const:
        case GlobalSlot::HostObj:
        case GlobalSlot::ErrObj:
          if (forWrite) Raise(kErrIllegalAssignment);
          return &globals_.value(n->slot);
        default:
          return nullptr;
      }
    }
    default:
      return nullptr;
  }
}

Variant Interp::EvalCallExpr(CallExpr* c, Frame& f) {
  if (StackLow()) Raise(kErrOutOfStack);  // f(1)(2)(3)... nests without bound
  // (F)(x): a procedure named in parentheses is called with the list that
  // follows (ByRef arguments as in F(x)), not first without arguments.
  if (c->callee->kind == Expr::Paren) {
    Expr* in = c->callee.get();
    while (in->kind == Expr::Paren) in = static_cast<ParenExpr*>(in)->inner.get();
    if (in->kind == Expr::Name && !static_cast<NameExpr*>(in)->hasParens) {
      auto* n = static_cast<NameExpr*>(in);
      switch (n->nk) {
        case NameKind::Builtin:
          return CallBuiltin(n->slot, c->args, f);
        case NameKind::MeMember:
          if (f.me) return CallClassMember(f.me, n->slot, &c->args, f);
          break;
        case NameKind::Global:
        case NameKind::Dyn:
          if (globals_.slot(n->slot).kind == GlobalSlot::Procedure)
            return CallProc(globals_.slot(n->slot).proc, nullptr, c->args, f);
          break;
        default:
          break;
      }
    }
  }
  Variant callee = EvalExpr(c->callee.get(), f);
  return IndexValue(callee, c->args, f);
}

}  // namespace vbs
