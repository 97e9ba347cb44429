// How a node gets its routine: from its kind, its operator and the kinds
// of its operands (Expr::operand, set by the resolver), one routine of the
// families in operand_routines.h, arith_routines.h, assign_routines.h,
// call_routines.h and member_routines.h.
#include "engine/assign_routines.h"
#include "engine/call_routines.h"
#include "engine/member_routines.h"

namespace vbs {

namespace {

using Reads = OperandReads;
using Ops = OperatorRoutines;
using Assigns = AssignRoutines;
using Calls = CallRoutines;

// The kind an operator reads an operand as: a call site is just evaluated.
OperandKind ReadKind(const Expr* x) {
  return x->operand == OperandKind::CallSite ? OperandKind::Any : x->operand;
}

// Whether every argument of name(args) is given and there are at most
// four: a call whose passing can be worked out once (PlanArgs).
bool FixedArgs(const NameExpr* n) {
  if (n->args.size() > 4) return false;
  for (auto& a : n->args)
    if (!a) return false;
  return true;
}

template <BinOp OP>
EvalFn PickOperator(OperandKind lk, OperandKind rk) {
#define VBS_ROW(L) {&Ops::Bin<OP, L, Reads::kAny>, &Ops::Bin<OP, L, Reads::kLocal>, &Ops::Bin<OP, L, Reads::kLit>, \
                    &Ops::Bin<OP, L, Reads::kGlobal>, &Ops::Bin<OP, L, Reads::kElem>}
  static const EvalFn table[5][5] = {VBS_ROW(Reads::kAny), VBS_ROW(Reads::kLocal), VBS_ROW(Reads::kLit),
                                     VBS_ROW(Reads::kGlobal), VBS_ROW(Reads::kElem)};
#undef VBS_ROW
  return table[int(lk)][int(rk)];
}

template <BinOp OP>
TestFn PickTest(OperandKind lk, OperandKind rk) {
#define VBS_ROW(L) {&Ops::Test<OP, L, Reads::kAny>, &Ops::Test<OP, L, Reads::kLocal>, &Ops::Test<OP, L, Reads::kLit>, \
                    &Ops::Test<OP, L, Reads::kGlobal>}
  static const TestFn table[4][4] = {VBS_ROW(Reads::kAny), VBS_ROW(Reads::kLocal), VBS_ROW(Reads::kLit),
                                     VBS_ROW(Reads::kGlobal)};
#undef VBS_ROW
  // An element is evaluated: a test reads in place only what runs no code.
  auto index = [](OperandKind k) { return k > Reads::kGlobal ? 0 : int(k); };
  return table[index(lk)][index(rk)];
}

TestFn PickTestFor(BinOp op, OperandKind lk, OperandKind rk) {
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
EvalFn PickFastOperator(BinOp op, OperandKind lk, OperandKind rk) {
  switch (op) {
    case BinOp::Add: return PickOperator<BinOp::Add>(lk, rk);
    case BinOp::Sub: return PickOperator<BinOp::Sub>(lk, rk);
    case BinOp::Mul: return PickOperator<BinOp::Mul>(lk, rk);
    case BinOp::Div: return PickOperator<BinOp::Div>(lk, rk);
    case BinOp::Eq: return PickOperator<BinOp::Eq>(lk, rk);
    case BinOp::Ne: return PickOperator<BinOp::Ne>(lk, rk);
    case BinOp::Lt: return PickOperator<BinOp::Lt>(lk, rk);
    case BinOp::Gt: return PickOperator<BinOp::Gt>(lk, rk);
    case BinOp::Le: return PickOperator<BinOp::Le>(lk, rk);
    case BinOp::Ge: return PickOperator<BinOp::Ge>(lk, rk);
    default: return nullptr;
  }
}

EvalFn PickBinary(BinaryExpr* b) {
  if (b->op >= BinOp::Eq && b->op <= BinOp::Ge)
    b->literals = uint8_t((IsTypedLiteral(b->lhs.get()) ? 1 : 0) | (IsTypedLiteral(b->rhs.get()) ? 2 : 0));
  const OperandKind lk = ReadKind(b->lhs.get()), rk = ReadKind(b->rhs.get());
  if (lk == OperandKind::Local) b->lslot = static_cast<NameExpr*>(b->lhs.get())->slot;
  if (rk == OperandKind::Local) b->rslot = static_cast<NameExpr*>(b->rhs.get())->slot;
  if (b->chain > Ops::kLongChain) return &Ops::Chain;
  b->test = PickTestFor(b->op, lk, rk);
  if (EvalFn fast = PickFastOperator(b->op, lk, rk)) return fast;
  switch (b->op) {
#define VBS_BIN(op) \
  case BinOp::op:   \
    return &Ops::Bin<BinOp::op>;
    VBS_BIN(Add) VBS_BIN(Sub) VBS_BIN(Mul) VBS_BIN(Div) VBS_BIN(IntDiv) VBS_BIN(Mod)
    VBS_BIN(Pow) VBS_BIN(Concat) VBS_BIN(Eq) VBS_BIN(Ne) VBS_BIN(Lt) VBS_BIN(Gt)
    VBS_BIN(Le) VBS_BIN(Ge) VBS_BIN(Is) VBS_BIN(And) VBS_BIN(Or) VBS_BIN(Xor)
    VBS_BIN(Eqv) VBS_BIN(Imp)
#undef VBS_BIN
  }
  return &Ops::Bin<BinOp::Add>;  // not reached: every operator is listed
}

EvalFn PickName(NameExpr* n) {
  switch (n->operand) {
    case OperandKind::Local: return &Reads::LocalRead;
    case OperandKind::Global: return &Reads::GlobalRead;
    case OperandKind::Element: return n->args.size() == 1 ? &Reads::IndexN<1> : &Reads::IndexN<2>;
    case OperandKind::CallSite: {
      static const EvalFn sites[] = {&Calls::CallSite<0>, &Calls::CallSite<1>, &Calls::CallSite<2>,
                                     &Calls::CallSite<3>, &Calls::CallSite<4>};
      Interp::PlanArgs(n);
      return sites[n->args.size()];
    }
    default:
      // name(args) on a global name that cannot be a fixed call site.
      if (n->hasParens && n->nk == NameKind::Global) return &Calls::CallGlobal;
      return &Reads::Name;
  }
}

// The object-code routine for an expression, or nullptr.
EvalFn PickMember(const Expr* e) {
  if (e->kind == Expr::Member) return &MemberRoutines::Get;
  if (e->kind == Expr::Name) {
    auto* n = static_cast<const NameExpr*>(e);
    if (n->nk == NameKind::Field && !n->hasParens) return &MemberRoutines::FieldRead;
  }
  return nullptr;
}

// The object-code routine for a statement, or nullptr.
ExecFn PickMember(const Stmt* s) {
  if (s->kind == Stmt::CallS) {
    if (static_cast<const vbs::CallStmt*>(s)->call->kind == Expr::Member) return &MemberRoutines::CallStmt;
    return nullptr;
  }
  if (s->kind != Stmt::Assign) return nullptr;
  auto* a = static_cast<const vbs::AssignStmt*>(s);
  if (a->target->kind == Expr::Member) return &MemberRoutines::AssignStmt;
  if (a->target->kind != Expr::Name) return nullptr;
  auto* n = static_cast<const NameExpr*>(a->target.get());
  if (n->hasParens) return nullptr;
  if (a->isSet) {
    if (n->nk == NameKind::Local || n->nk == NameKind::Global) return &MemberRoutines::SetVar;
    return nullptr;
  }
  // s = s & x keeps the generic routine's in-place append.
  if (a->value->kind == Expr::Binary && static_cast<const BinaryExpr*>(a->value.get())->op == BinOp::Concat)
    return nullptr;
  if (n->nk == NameKind::Field) return &MemberRoutines::AssignField;
  return nullptr;
}

// The routine Form<OP, OP2, LK, RK> for a product's operand kinds (each a
// local, a literal, a global or an element).
template <template <BinOp, BinOp, OperandKind, OperandKind> class Form, BinOp OP, BinOp OP2>
ExecFn PickProductKinds(OperandKind lk, OperandKind rk) {
#define VBS_ROW(L) {&Form<OP, OP2, L, Reads::kLocal>::Run, &Form<OP, OP2, L, Reads::kLit>::Run, \
                    &Form<OP, OP2, L, Reads::kGlobal>::Run, &Form<OP, OP2, L, Reads::kElem>::Run}
  static const ExecFn table[4][4] = {VBS_ROW(Reads::kLocal), VBS_ROW(Reads::kLit), VBS_ROW(Reads::kGlobal),
                                     VBS_ROW(Reads::kElem)};
#undef VBS_ROW
  return table[int(lk) - int(Reads::kLocal)][int(rk) - int(Reads::kLocal)];
}
template <BinOp OP, BinOp OP2, OperandKind LK, OperandKind RK>
struct AccumulateForm {
  static Flow Run(Interp& in, Stmt* s, Frame& f) { return Assigns::AccumulateProduct<OP, OP2, LK, RK>(in, s, f); }
};
template <BinOp OP, BinOp OP2, OperandKind LK, OperandKind RK>
struct ProductPlusForm {
  static Flow Run(Interp& in, Stmt* s, Frame& f) { return Assigns::AssignProductPlus<OP, OP2, LK, RK>(in, s, f); }
};

// x = x + a * b, x = x - a / b ... (Accumulate) and y = a * b + c ...
// (ProductPlus): the fused routine when a and b are read in place, else
// nullptr.
template <template <BinOp, BinOp, OperandKind, OperandKind> class Form>
ExecFn PickProduct(BinOp op, Expr* product) {
  if (product->kind != Expr::Binary) return nullptr;
  auto* m = static_cast<BinaryExpr*>(product);
  if (m->op != BinOp::Mul && m->op != BinOp::Div) return nullptr;
  const OperandKind lk = ReadKind(m->lhs.get()), rk = ReadKind(m->rhs.get());
  if (lk == Reads::kAny || rk == Reads::kAny) return nullptr;
  if (op == BinOp::Add)
    return m->op == BinOp::Mul ? PickProductKinds<Form, BinOp::Add, BinOp::Mul>(lk, rk)
                               : PickProductKinds<Form, BinOp::Add, BinOp::Div>(lk, rk);
  return m->op == BinOp::Mul ? PickProductKinds<Form, BinOp::Sub, BinOp::Mul>(lk, rk)
                             : PickProductKinds<Form, BinOp::Sub, BinOp::Div>(lk, rk);
}

// x = F(...) where F(...) is a fixed call site: its routine, else nullptr.
template <bool kLocalTarget>
ExecFn PickAssignCall(const Expr* value) {
  if (value->operand != OperandKind::CallSite) return nullptr;
  static const ExecFn routines[] = {
      &Assigns::AssignCall<0, kLocalTarget>, &Assigns::AssignCall<1, kLocalTarget>,
      &Assigns::AssignCall<2, kLocalTarget>, &Assigns::AssignCall<3, kLocalTarget>,
      &Assigns::AssignCall<4, kLocalTarget>};
  return routines[static_cast<const NameExpr*>(value)->args.size()];
}

// x = a OP b into a local x from locals and literals: its routine, else
// nullptr.
template <BinOp OP>
ExecFn PickAssignLocalBinKinds(OperandKind lk, OperandKind rk) {
  static const ExecFn table[2][2] = {
      {&Assigns::AssignLocalBin<OP, Reads::kLocal, Reads::kLocal>, &Assigns::AssignLocalBin<OP, Reads::kLocal, Reads::kLit>},
      {&Assigns::AssignLocalBin<OP, Reads::kLit, Reads::kLocal>, &Assigns::AssignLocalBin<OP, Reads::kLit, Reads::kLit>}};
  return table[lk == Reads::kLit][rk == Reads::kLit];
}
ExecFn PickAssignLocalBin(BinaryExpr* b) {
  const OperandKind lk = b->lhs->operand, rk = b->rhs->operand;
  auto plain = [](OperandKind k) { return k == Reads::kLocal || k == Reads::kLit; };
  if (!plain(lk) || !plain(rk)) return nullptr;
  switch (b->op) {
    case BinOp::Add: return PickAssignLocalBinKinds<BinOp::Add>(lk, rk);
    case BinOp::Sub: return PickAssignLocalBinKinds<BinOp::Sub>(lk, rk);
    case BinOp::Mul: return PickAssignLocalBinKinds<BinOp::Mul>(lk, rk);
    default: return nullptr;
  }
}

// x = F(..) OP G(..) into a local x, both operands call sites: its
// routine, else nullptr.
template <BinOp OP>
ExecFn PickAssignLocalCallsOf(size_t n1, size_t n2) {
  static const ExecFn routines[] = {&Assigns::AssignLocalCalls<OP, 0>, &Assigns::AssignLocalCalls<OP, 1>,
                                    &Assigns::AssignLocalCalls<OP, 2>, &Assigns::AssignLocalCalls<OP, 3>};
  return routines[n1 == n2 && n1 >= 1 && n1 <= 3 ? n1 : 0];
}
ExecFn PickAssignLocalCalls(BinaryExpr* b) {
  if (b->lhs->operand != OperandKind::CallSite || b->rhs->operand != OperandKind::CallSite) return nullptr;
  const size_t n1 = static_cast<NameExpr*>(b->lhs.get())->args.size();
  const size_t n2 = static_cast<NameExpr*>(b->rhs.get())->args.size();
  switch (b->op) {
    case BinOp::Add: return PickAssignLocalCallsOf<BinOp::Add>(n1, n2);
    case BinOp::Sub: return PickAssignLocalCallsOf<BinOp::Sub>(n1, n2);
    case BinOp::Mul: return PickAssignLocalCallsOf<BinOp::Mul>(n1, n2);
    default: return nullptr;
  }
}

// Whether two names read the same thing: the same variable, or the same
// variable's element by the same variables or whole-number literals.
bool SameName(const Expr* x, const Expr* y) {
  if (x->kind == Expr::Literal && y->kind == Expr::Literal) {
    const Variant& a = static_cast<const LiteralExpr*>(x)->value;
    const Variant& b = static_cast<const LiteralExpr*>(y)->value;
    return a.type() == b.type() && ((a.type() == vbInteger && a.intVal() == b.intVal()) ||
                                    (a.type() == vbLong && a.longVal() == b.longVal()));
  }
  if (x->kind != Expr::Name || y->kind != Expr::Name) return false;
  auto* a = static_cast<const NameExpr*>(x);
  auto* b = static_cast<const NameExpr*>(y);
  if (a->nk != b->nk || a->slot != b->slot || a->hasParens != b->hasParens || a->args.size() != b->args.size())
    return false;
  if (a->nk != NameKind::Local && a->nk != NameKind::Global) return false;
  for (size_t k = 0; k < a->args.size(); ++k) {
    const Expr* i = a->args[k].get();
    const Expr* j = b->args[k].get();
    if (!i || !j) return false;
    // Subscripts are plain variables or literals, nothing that runs code.
    if (i->kind == Expr::Name && static_cast<const NameExpr*>(i)->hasParens) return false;
    if (!SameName(i, j)) return false;
  }
  return true;
}

// a(i) = a(i) OP x OP2 y and a(i, j) = ...: the in-place update, else nullptr.
ExecFn PickElementAccumulate(AssignStmt* a, NameExpr* n) {
  if (a->value->kind != Expr::Binary) return nullptr;
  auto* b = static_cast<BinaryExpr*>(a->value.get());
  if ((b->op != BinOp::Add && b->op != BinOp::Sub) || b->lhs->operand != OperandKind::Element ||
      !SameName(n, b->lhs.get()) || b->rhs->kind != Expr::Binary)
    return nullptr;
  auto* m = static_cast<BinaryExpr*>(b->rhs.get());
  if (m->op != BinOp::Mul && m->op != BinOp::Div) return nullptr;
  const bool add = b->op == BinOp::Add, mul = m->op == BinOp::Mul;
  if (n->args.size() == 1)
    return add ? (mul ? &Assigns::ElementAccumulate<1, BinOp::Add, BinOp::Mul> : &Assigns::ElementAccumulate<1, BinOp::Add, BinOp::Div>)
               : (mul ? &Assigns::ElementAccumulate<1, BinOp::Sub, BinOp::Mul> : &Assigns::ElementAccumulate<1, BinOp::Sub, BinOp::Div>);
  return add ? (mul ? &Assigns::ElementAccumulate<2, BinOp::Add, BinOp::Mul> : &Assigns::ElementAccumulate<2, BinOp::Add, BinOp::Div>)
             : (mul ? &Assigns::ElementAccumulate<2, BinOp::Sub, BinOp::Mul> : &Assigns::ElementAccumulate<2, BinOp::Sub, BinOp::Div>);
}

// x = <value> for a plain local or global x (no Set, no arguments).
ExecFn PickAssign(AssignStmt* a, NameExpr* n) {
  Expr* value = a->value.get();
  if (value->kind == Expr::Binary) {
    auto* b = static_cast<BinaryExpr*>(value);
    // x = x OP e: the accumulations.
    if (b->lhs->kind == Expr::Name) {
      auto* l = static_cast<NameExpr*>(b->lhs.get());
      if (!l->hasParens && l->nk == n->nk && l->slot == n->slot) {
        if (b->op == BinOp::Add || b->op == BinOp::Sub)
          if (ExecFn fn = PickProduct<AccumulateForm>(b->op, b->rhs.get())) return fn;
        if (b->op == BinOp::Add) return &Assigns::Accumulate<BinOp::Add>;
        if (b->op == BinOp::Sub) return &Assigns::Accumulate<BinOp::Sub>;
        if (b->op == BinOp::Mul) return &Assigns::Accumulate<BinOp::Mul>;
      }
    }
    // y = a * b + c with c read in place (not an element).
    const OperandKind ck = ReadKind(b->rhs.get());
    if ((b->op == BinOp::Add || b->op == BinOp::Sub) && ck != Reads::kAny && ck != Reads::kElem)
      if (ExecFn fn = PickProduct<ProductPlusForm>(b->op, b->lhs.get())) return fn;
  }
  if (n->nk == NameKind::Local && value->kind == Expr::Binary) {
    if (ExecFn fn = PickAssignLocalBin(static_cast<BinaryExpr*>(value))) return fn;
    if (ExecFn fn = PickAssignLocalCalls(static_cast<BinaryExpr*>(value))) return fn;
  }
  if (ExecFn call = n->nk == NameKind::Local ? PickAssignCall<true>(value) : PickAssignCall<false>(value))
    return call;
  if (n->nk != NameKind::Local) return &Assigns::AssignGlobal;
  if (value->operand == OperandKind::Local) return &Assigns::AssignLocalFrom<Reads::kLocal>;
  if (value->operand == OperandKind::Literal) return &Assigns::AssignLocalFrom<Reads::kLit>;
  return &Assigns::AssignLocal;
}

}  // namespace

void Interp::PickRoutine(Expr* e) {
  if (EvalFn member = PickMember(e)) {
    e->fn = member;
    return;
  }
  switch (e->kind) {
    case Expr::Literal: e->fn = &Reads::Literal; return;
    case Expr::Name: e->fn = PickName(static_cast<NameExpr*>(e)); return;
    case Expr::Binary: e->fn = PickBinary(static_cast<BinaryExpr*>(e)); return;
    default: e->fn = &Reads::Generic; return;
  }
}

void Interp::LocalCopySlots(Stmt* s, int& to, int& from) {
  if (s->fn != &Assigns::AssignLocalFrom<Reads::kLocal>) return;
  auto* a = static_cast<AssignStmt*>(s);
  to = static_cast<NameExpr*>(a->target.get())->slot;
  from = static_cast<NameExpr*>(a->value.get())->slot;
}

void Interp::PickRoutine(Stmt* s) {
  s->fn = &Ops::StmtGeneric;
  if (ExecFn member = PickMember(s)) {
    s->fn = member;
    return;
  }
  if (s->kind == Stmt::CallS) {
    // A call of a global name with all its arguments given (at most four).
    Expr* c = static_cast<CallStmt*>(s)->call.get();
    if (c->kind != Expr::Name) return;
    auto* n = static_cast<NameExpr*>(c);
    if (n->nk != NameKind::Global || !FixedArgs(n)) return;
    PlanArgs(n);
    static const ExecFn sites[] = {&Calls::CallSiteStmt<0>, &Calls::CallSiteStmt<1>, &Calls::CallSiteStmt<2>,
                                   &Calls::CallSiteStmt<3>, &Calls::CallSiteStmt<4>};
    s->fn = sites[n->args.size()];
    return;
  }
  if (s->kind == Stmt::If) {
    auto* i = static_cast<IfStmt*>(s);
    Expr* c = i->conds.size() == 1 ? i->conds[0].get() : nullptr;
    i->singleTest = c && c->kind == Expr::Binary && static_cast<BinaryExpr*>(c)->test;
    s->fn = i->singleTest ? &Ops::IfTest : &Ops::If;
    if (c && c->operand == OperandKind::Element && !i->singleTest && static_cast<NameExpr*>(c)->args.size() <= 2)
      s->fn = &Ops::IfElement;
    return;
  }
  if (s->kind != Stmt::Assign) return;
  auto* a = static_cast<AssignStmt*>(s);
  if (a->isSet || a->target->kind != Expr::Name) return;
  auto* n = static_cast<NameExpr*>(a->target.get());
  if (n->nk != NameKind::Local && n->nk != NameKind::Global) return;
  if (n->hasParens) {
    const OperandKind vk = a->value->operand;
    const bool inPlace = vk == Reads::kLocal || vk == Reads::kLit;
    if (ExecFn fn = PickElementAccumulate(a, n)) {
      s->fn = fn;
      return;
    }
    if (n->args.size() == 1 && n->args[0]) {
      s->fn = !inPlace ? &Assigns::AssignIndexN<1>
            : vk == Reads::kLocal ? &Assigns::AssignIndexFrom<1, Reads::kLocal> : &Assigns::AssignIndexFrom<1, Reads::kLit>;
    } else if (n->args.size() == 2 && n->args[0] && n->args[1]) {
      s->fn = !inPlace ? &Assigns::AssignIndexN<2>
            : vk == Reads::kLocal ? &Assigns::AssignIndexFrom<2, Reads::kLocal> : &Assigns::AssignIndexFrom<2, Reads::kLit>;
    }
    return;
  }
  // s = s & x keeps its in-place append path in the generic routine.
  if (a->value->kind == Expr::Binary && static_cast<BinaryExpr*>(a->value.get())->op == BinOp::Concat)
    return;
  s->fn = PickAssign(a, n);
}

}  // namespace vbs
