// Statements: blocks, assignment and call statements, Dim and ReDim, the
// loops, Select Case and block conditions under On Error Resume Next.
#include <algorithm>

#include "engine/interp.h"
#include "engine/interp_inline.h"

namespace vbs {

// ---- statements --------------------------------------------------------------------
Flow Interp::ExecBlock(Block& b, Frame& f) {
  // Blocks nest as deep as the parser allowed, which may be more than is
  // left below a deep recursion.
  if (StackLow()) Raise(kErrOutOfStack);
  return ExecBody(b, f);
}


// Whether v is target & x (& y ...): a chain of concatenations down the
// left that starts at the variable assigned.
static bool AppendsTo(Expr* v, const NameExpr* n) {
  if (n->nk != NameKind::Local && n->nk != NameKind::Global && n->nk != NameKind::Field) return false;
  if (v->kind != Expr::Binary || static_cast<BinaryExpr*>(v)->op != BinOp::Concat) return false;
  while (v->kind == Expr::Binary && static_cast<BinaryExpr*>(v)->op == BinOp::Concat)
    v = static_cast<BinaryExpr*>(v)->lhs.get();
  if (v->kind != Expr::Name) return false;
  auto* ln = static_cast<NameExpr*>(v);
  return ln->nk == n->nk && ln->slot == n->slot && !ln->hasParens;
}

// s = s & x (& y ...) where s holds a string: the result the operators
// give, built by appending to s's own string in place when nothing
// changed s meanwhile, so that building a text piece by piece costs no
// copy of the whole text per step.
Flow Interp::AppendPieces(NameExpr* n, BinaryExpr* top, const Variant& s, Frame& f) {
  if (top->lhs->kind == Expr::Name) {
    // One piece, the usual case: no lists.
    Variant old = s;
    const void* was = old.string();
    Variant x = EvalExpr(top->rhs.get(), f);
    Variant* cell = VarCell(n, f, true);
    if (!x.IsObject() && cell->IsString() && cell->string() == was) {
      old = Variant();
      ConcatAssign(*cell, x);
      return Flow::Normal;
    }
    Variant r = OpConcat(old, x);
    AssignCell(*VarCell(n, f, true), std::move(r), false);
    return Flow::Normal;
  }
  std::vector<Expr*> pieces;
  pieces.reserve(top->chain);
  for (Expr* v = top; v->kind == Expr::Binary && static_cast<BinaryExpr*>(v)->op == BinOp::Concat;
       v = static_cast<BinaryExpr*>(v)->lhs.get())
    pieces.push_back(static_cast<BinaryExpr*>(v)->rhs.get());
  std::reverse(pieces.begin(), pieces.end());
  // s as the operators read it, before any piece runs.
  Variant old = s;
  const void* was = old.string();
  std::vector<Variant> vals;
  vals.reserve(pieces.size());
  size_t i = 0;
  while (i < pieces.size()) {
    vals.push_back(EvalExpr(pieces[i++], f));
    // An object's default value runs code: from there on, the operators'
    // own order.
    if (vals.back().IsObject()) break;
  }
  if (!vals.back().IsObject()) {
    Variant* cell = VarCell(n, f, true);
    if (cell->IsString() && cell->string() == was) {
      old = Variant();  // s's string is its own again
      for (const Variant& x : vals) ConcatAssign(*cell, x);
      return Flow::Normal;
    }
  }
  Variant r = std::move(old);
  for (const Variant& x : vals) r = OpConcat(r, x);
  for (; i < pieces.size(); ++i) {
    Variant x = EvalExpr(pieces[i], f);
    r = OpConcat(r, x);
  }
  AssignCell(*VarCell(n, f, true), std::move(r), false);
  return Flow::Normal;
}

Flow Interp::ExecGeneric(Stmt* s, Frame& f) {
  if (StackLow()) Raise(kErrOutOfStack);  // loops and Select nest like blocks
  switch (s->kind) {
    case Stmt::Assign: {
      auto* a = static_cast<AssignStmt*>(s);
      Expr* t = a->target.get();
      if (!a->isSet && t->kind == Expr::Name) {
        auto* n = static_cast<NameExpr*>(t);
        if (!n->hasParens && n->nk != NameKind::MeMember) {
          // s = s & x (& y ...): append in place when s owns its string.
          Expr* v = a->value.get();
          if (AppendsTo(v, n)) {
            Variant* cell = VarCell(n, f, true);
            if (cell && cell->IsString()) return AppendPieces(n, static_cast<BinaryExpr*>(v), *cell, f);
          }
          Variant val = EvalExpr(v, f);
          if (!val.IsObject()) {
            Variant* cell = nullptr;
            if (n->nk == NameKind::Local) {
              cell = &f.slots[n->slot].Deref();
            } else if (n->nk == NameKind::Global) {
              cell = GlobalVarCell(n, false);
            }
            if (cell && !(cell->flags() & Variant::kFixedArray)) {
              *cell = std::move(val);
              return Flow::Normal;
            }
          }
          Assign(t, std::move(val), false, f);
          return Flow::Normal;
        }
      }
      Variant val = EvalExpr(a->value.get(), f);
      Assign(t, std::move(val), a->isSet, f);
      return Flow::Normal;
    }
    case Stmt::CallS: {
      Expr* c = static_cast<CallStmt*>(s)->call.get();
      switch (c->kind) {
        case Expr::Name:
          EvalName(static_cast<NameExpr*>(c), f, true);
          break;
        case Expr::Member:
          EvalMember(static_cast<MemberExpr*>(c), f, true);
          break;
        default:
          EvalExpr(c, f);
          break;
      }
      return Flow::Normal;
    }
    case Stmt::Dim:
      ExecDim(static_cast<DimStmt*>(s), f);
      return Flow::Normal;
    case Stmt::ReDim:
      ExecReDim(static_cast<ReDimStmt*>(s), f);
      return Flow::Normal;
    case Stmt::If: {
      auto* i = static_cast<IfStmt*>(s);
      for (size_t k = 0; k < i->conds.size(); ++k) {
        bool failed;
        if (EvalCondition(i->conds[k].get(), f, failed)) return ExecBlock(i->blocks[k], f);
      }
      return ExecBlock(i->elseBlock, f);
    }
    case Stmt::Select:
      return ExecSelect(static_cast<SelectStmt*>(s), f);
    case Stmt::For:
      return ExecFor(static_cast<ForStmt*>(s), f);
    case Stmt::ForEach:
      return ExecForEach(static_cast<ForEachStmt*>(s), f);
    case Stmt::Do:
      return ExecDo(static_cast<DoStmt*>(s), f);
    case Stmt::Exit:
      switch (static_cast<ExitStmt*>(s)->what) {
        case ExitKind::Do: return Flow::ExitDo;
        case ExitKind::For: return Flow::ExitFor;
        default: return Flow::ExitProc;
      }
    case Stmt::With: {
      auto* w = static_cast<WithStmt*>(s);
      f.slots[w->slot] = EvalExpr(w->obj.get(), f);
      Flow r;
      try {
        r = ExecBlock(w->body, f);
      } catch (...) {
        f.slots[w->slot].Clear();
        throw;
      }
      f.slots[w->slot].Clear();
      return r;
    }
    case Stmt::OnError:
      f.onErrorResume = static_cast<OnErrorStmt*>(s)->resumeNext;
      state.err.Clear();
      return Flow::Normal;
    case Stmt::Erase:
      for (auto& t : static_cast<EraseStmt*>(s)->targets) {
        if (t->kind != Expr::Name) Raise(kErrTypeMismatch);
        Variant* cell = VarCell(static_cast<NameExpr*>(t.get()), f, true);
        if (!cell) Raise(kErrTypeMismatch);
        EraseVariable(*cell);
      }
      return Flow::Normal;
    case Stmt::Const:
      for (auto& c : static_cast<ConstStmt*>(s)->items) {
        Variant v = EvalExpr(c.value.get(), f);
        auto* n = static_cast<NameExpr*>(c.target.get());
        if (n->nk == NameKind::Global) globals_.value(n->slot) = std::move(v);
        else if (Variant* cell = VarCell(n, f, false)) *cell = std::move(v);
      }
      return Flow::Normal;
    case Stmt::Nop:
      return Flow::Normal;
  }
  return Flow::Normal;
}

void Interp::ExecDim(DimStmt* s, Frame& f) {
  for (auto& v : s->vars) {
    if (!v.isArray) continue;
    Variant* cell = VarCell(static_cast<NameExpr*>(v.target.get()), f, true);
    if (!cell) continue;
    if (v.bounds.empty()) {
      *cell = Variant::FromArray(new Array());
      continue;
    }
    std::vector<int32_t> ub;
    for (auto& b : v.bounds) ub.push_back(ToIndex(EvalExpr(b.get(), f)));
    cell = VarCell(static_cast<NameExpr*>(v.target.get()), f, true);
    *cell = Variant::FromArray(Array::Create(ub.data(), int(ub.size())));
    cell->SetFlags(Variant::kFixedArray);
  }
}

void Interp::ExecReDim(ReDimStmt* s, Frame& f) {
  for (auto& it : s->items) {
    std::vector<int32_t> ub;
    for (auto& b : it.bounds) ub.push_back(ToIndex(EvalExpr(b.get(), f)));
    Variant* cell = nullptr;
    if (it.target->kind == Expr::Name) cell = VarCell(static_cast<NameExpr*>(it.target.get()), f, true);
    if (!cell) Raise(kErrTypeMismatch);
    ReDimVariable(*cell, ub.data(), int(ub.size()), s->preserve);
  }
}

Flow Interp::ExecSelect(SelectStmt* s, Frame& f) {
  Variant subj;
  try {
    subj = EvalExpr(s->subject.get(), f);
  } catch (const ScriptError& e) {
    // Resuming goes on after End Select: no branch runs, not even Case Else.
    ConditionFailed(e, f);
    return Flow::Normal;
  }
  const bool subjLit = IsTypedLiteral(s->subject.get());
  auto cmp = [&](Expr* x) {
    Variant v = EvalExpr(x, f);
    return CompareWithLiterals(subj, subjLit, v, IsTypedLiteral(x));
  };
  for (auto& c : s->cases) {
    bool hit = false;
    for (auto& t : c.tests) {
      try {
        CmpResult r = cmp(t.a.get());
        switch (t.kind) {
          case CaseTest::Value:
            hit = r == CmpResult::Equal;
            break;
          case CaseTest::Range: {
            CmpResult r2 = cmp(t.b.get());
            hit = (r == CmpResult::Equal || r == CmpResult::Greater) &&
                  (r2 == CmpResult::Equal || r2 == CmpResult::Less);
            break;
          }
          case CaseTest::IsCmp:
            switch (t.cmp) {
              case BinOp::Eq: hit = r == CmpResult::Equal; break;
              case BinOp::Ne: hit = r == CmpResult::Less || r == CmpResult::Greater; break;
              case BinOp::Lt: hit = r == CmpResult::Less; break;
              case BinOp::Gt: hit = r == CmpResult::Greater; break;
              case BinOp::Le: hit = r == CmpResult::Less || r == CmpResult::Equal; break;
              case BinOp::Ge: hit = r == CmpResult::Greater || r == CmpResult::Equal; break;
              default: break;
            }
            break;
        }
      } catch (const ScriptError& e) {
        hit = ConditionFailed(e, f);
      }
      if (hit) break;
    }
    if (hit) return ExecBlock(c.body, f);
  }
  if (s->hasElse) return ExecBlock(s->elseBlock, f);
  return Flow::Normal;
}

static bool IsIntType(VarType t) { return t == vbInteger || t == vbLong || t == vbByte; }
static int64_t IntOf64(const Variant& v) {
  switch (v.type()) {
    case vbInteger: return v.intVal();
    case vbLong: return v.longVal();
    case vbByte: return v.byteVal();
    default: return 0;
  }
}

Flow Interp::ExecFor(ForStmt* s, Frame& f) {
  auto* var = static_cast<NameExpr*>(s->var.get());
  Variant from, to, step;
  Variant* cell;
  try {
    from = EvalExpr(s->from.get(), f);
    to = EvalExpr(s->to.get(), f);
    step = s->step ? EvalExpr(s->step.get(), f) : Variant::FromInteger(1);
    if (from.IsObject()) from = DefaultValue(from.object());
    if (to.IsObject()) to = DefaultValue(to.object());
    if (step.IsObject()) step = DefaultValue(step.object());
    if (from.IsNull() || to.IsNull() || step.IsNull()) Raise(kErrInvalidNull);
    // Text bounds count as the numbers they spell ("abc" raises 13).
    for (Variant* v : {&from, &to, &step})
      if (v->IsString()) *v = Variant::FromDouble(ToDouble(*v));
    cell = VarCell(var, f, true);
    if (!cell) Raise(kErrTypeMismatch);
  } catch (const ScriptError& e) {
    // Resuming after a failed start runs the body once, the counter
    // untouched, and the loop ends there.
    ConditionFailed(e, f);
    Flow r = ExecBlock(s->body, f);
    return r == Flow::ExitFor ? Flow::Normal : r;
  }
  // The counter starts with the start value's subtype and steps by the
  // rules of "+". Integer and Long counters with Integer or Long steps run
  // in whole numbers (ForWhole); every other mix goes on in Variant
  // arithmetic.
  const VarType ft = from.type();
  if ((ft == vbInteger || ft == vbLong) && IsIntType(to.type()) &&
      (step.type() == vbInteger || step.type() == vbLong)) {
    const int64_t i = IntOf64(from);
    if (ft == vbInteger) cell->SetInteger(int16_t(i));
    else cell->SetLong(int32_t(i));
    return ForWhole(s, f, cell, i, to, step);
  }
  AssignCell(*cell, Variant(from), false);
  return ForVariant(s, f, to, step, false);
}

// The loop of a For whose counter (already set to `i`) and step are
// Integer or Long and whose end is a whole number, one routine per
// direction and step subtype so that the loop tests neither.
Flow Interp::ForWhole(ForStmt* s, Frame& f, Variant* cell, int64_t i, const Variant& to, const Variant& step) {
  const int64_t end = IntOf64(to), st = IntOf64(step);
  const bool stepInt = step.type() == vbInteger;
  if (st >= 0) {
    if (i > end) return Flow::Normal;
    return stepInt ? ForWholeLoop<true, true>(s, f, cell, i, end, st, to, step)
                   : ForWholeLoop<true, false>(s, f, cell, i, end, st, to, step);
  }
  if (i < end) return Flow::Normal;
  return stepInt ? ForWholeLoop<false, true>(s, f, cell, i, end, st, to, step)
                 : ForWholeLoop<false, false>(s, f, cell, i, end, st, to, step);
}

template <bool kUp, bool kStepInt>
Flow Interp::ForWholeLoop(ForStmt* s, Frame& f, Variant* cell, int64_t i, int64_t end, int64_t st,
                          const Variant& to, const Variant& step) {
  auto loop = [&](auto&& body) __attribute__((always_inline)) -> Flow {
    VarType t = vbEmpty;
    for (;;) {
      Flow r = body();
      if (r == Flow::ExitFor) return Flow::Normal;
      if (r != Flow::Normal) return r;
      CheckInterrupt();
      // Read back: the body may have changed it. Over the Integer or Long
      // just read, the next value needs no release check.
      t = cell->type();
      if (t == vbInteger) i = cell->intVal();
      else if (t == vbLong) i = cell->longVal();
      else return ForVariant(s, f, to, step, true);  // the body stored another kind of value
      i += st;
      if (kUp ? i > end : i < end) break;
      // Not past a Long bound: the value fits a Long, so it is an Integer or
      // a Long by the rule of "+".
      if (WholeNumberType(i, kStepInt && t == vbInteger) == vbInteger) cell->OverwriteWithInteger(int16_t(i));
      else cell->OverwriteWithLong(int32_t(i));
    }
    SetWholeNumber(*cell, i, kStepInt && t == vbInteger);
    return Flow::Normal;
  };
  // A body of one statement: it and its routine are read once, not on
  // every pass (nodes and their routines do not change while code runs).
  if (s->body.size() == 1) {
    Stmt* const one = s->body[0].get();
    const ExecFn fn = one->fn;
    return loop([&]() __attribute__((always_inline)) {
      return RunStatement(one, f, [&]() __attribute__((always_inline)) { return fn(*this, one, f); });
    });
  }
  return loop([&]() __attribute__((always_inline)) { return ExecBody(s->body, f); });
}

// A For loop in Variant arithmetic with VBScript's typing: a start or step
// that is no Integer or Long (a Byte, a Double...), an end that is no whole
// number, or a body that stored something else in the counter (i = 6.6
// goes on 7.6, 8.6...). `increment` first steps the counter, for a loop
// taken over after its body ran.
Flow Interp::ForVariant(ForStmt* s, Frame& f, const Variant& to, const Variant& step, bool increment) {
  auto* var = static_cast<NameExpr*>(s->var.get());
  const double stv = ToDouble(step);
  Variant* cell;
  for (;;) {
    if (increment) {
      cell = VarCell(var, f, true);
      Variant next = OpAdd(*cell, step);
      *cell = std::move(next);
    }
    increment = true;
    cell = VarCell(var, f, true);
    Variant cur = *cell;
    CmpResult c = Compare(cur, to);
    if (stv >= 0 ? c == CmpResult::Greater : c == CmpResult::Less) break;
    Flow r = ExecBlock(s->body, f);
    if (r == Flow::ExitFor) return Flow::Normal;
    if (r != Flow::Normal) return r;
    CheckInterrupt();
  }
  return Flow::Normal;
}

Flow Interp::ExecForEach(ForEachStmt* s, Frame& f) {
  std::vector<Variant> items;
  Variant arrHold;
  const Variant* data = nullptr;
  size_t count = 0;
  try {
    Variant coll = EvalExpr(s->coll.get(), f);
    const Variant& cv = coll.Deref();
    if (cv.IsArray()) {
      arrHold = cv;  // our reference keeps this snapshot unchanged
      data = arrHold.array()->Data();
      count = arrHold.array()->Count();
    } else if (cv.IsObject() && cv.object()) {
      if (!cv.object()->Enumerate(items)) Raise(kErrNotCollection);
      data = items.data();
      count = items.size();
    } else {
      Raise(cv.IsObject() ? kErrObjectNotSet : kErrNotCollection);
    }
  } catch (const ScriptError& e) {
    // Resuming runs the body once, the variable untouched.
    ConditionFailed(e, f);
    Flow r = ExecBlock(s->body, f);
    return r == Flow::ExitFor ? Flow::Normal : r;
  }
  auto* var = s->var.get();
  for (size_t i = 0; i < count; ++i) {
    Variant item = data[i];
    bool isObj = item.IsObject();
    Assign(var, std::move(item), isObj, f);
    Flow r = ExecBlock(s->body, f);
    if (r == Flow::ExitFor) return Flow::Normal;
    if (r != Flow::Normal) return r;
    CheckInterrupt();
  }
  return Flow::Normal;
}

Flow Interp::ExecDo(DoStmt* s, Frame& f) {
  for (;;) {
    if (s->cond && s->condAtTop) {
      bool failed;
      const bool c = EvalCondition(s->cond.get(), f, failed);
      if (!failed && c == s->isUntil) break;
    }
    Flow r = ExecBlock(s->body, f);
    if (r == Flow::ExitDo && !s->isWhileWend) return Flow::Normal;
    if (r != Flow::Normal) return r;
    CheckInterrupt();
    if (s->cond && !s->condAtTop) {
      // Resuming after a failed Loop While / Until goes on after the
      // loop: the statement that follows it is the next one.
      bool failed;
      const bool c = EvalCondition(s->cond.get(), f, failed);
      if (failed || c == s->isUntil) break;
    }
  }
  return Flow::Normal;
}

// A block statement's condition. Under On Error Resume Next a failing
// condition goes on into the block (scripts rely on it): the error lands
// in Err and `failed` tells the caller to enter.
bool Interp::EvalCondition(Expr* c, Frame& f, bool& failed) {
  failed = false;
  try {
    return Test(c, f);
  } catch (const ScriptError& e) {
    failed = ConditionFailed(e, f);
    return true;
  }
}

bool Interp::ConditionFailed(const ScriptError& e, Frame& f) {
  if (!f.onErrorResume) throw;  // called from a handler: rethrows e
  CatchToErr(e);
  return true;
}

}  // namespace vbs
