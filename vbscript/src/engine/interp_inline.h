#pragma once
// Pieces the evaluator's files share: frame guards, element fitting, the
// numeric subtype tests, and the hot routines that must inline into the
// loops and calls of every file.
#include <new>

#include "engine/interp.h"
#include "vbs/libobjects.h"
#include "vbs/value_conv.h"
#include "vbs/value_ops.h"

namespace vbs {

constexpr int kMaxCallDepth = 100000;

struct DepthGuard {
  int& d;
  explicit DepthGuard(int& depth) : d(depth) { ++d; }
  ~DepthGuard() { --d; }
};

struct FrameScope {
  SlotStack& st;
  Variant* base;
  int n;
  Frame*& cur;
  Frame* saved;
  FrameScope(SlotStack& s, Variant* b, int count, Frame*& c)
      : st(s), base(b), n(count), cur(c), saved(c) {}
  ~FrameScope() {
    cur = saved;
    st.Pop(base, n);
  }
};

// A number or string written in the source keeps its type in comparisons.
inline bool IsTypedLiteral(const Expr* e) {
  if (e->kind != Expr::Literal) return false;
  switch (static_cast<const LiteralExpr*>(e)->value.type()) {
    case vbInteger: case vbLong: case vbDouble: case vbString: return true;
    default: return false;
  }
}

inline bool IsIntegral(VarType t) { return t == vbInteger || t == vbLong; }
using detail::AsDbl;   // Double, Integer or Long as a double
inline int32_t IntOf(const Variant& v) { return v.type() == vbLong ? v.longVal() : v.intVal(); }
// A whole-number result written into a slot that holds nothing to release
// and no flags: WholeNumberType's subtype, written whole.
__attribute__((always_inline)) inline void InitWholeNumber(Variant& slot, int64_t r, bool integer) {
  new (&slot) Variant(WholeNumber(r, integer));
}

// The Err object that global slot 0 holds.
Ref<HostObject> MakeErrObject(Interp* in);

// Runs statement s by `run`: an error it raises goes to Err under On Error
// Resume Next (the block then goes on with its next statement), else it
// leaves with the statement's position noted.
template <class Run>
__attribute__((always_inline)) inline Flow Interp::RunStatement(Stmt* s, Frame& f, Run&& run) {
  try {
    return run();
  } catch (const ScriptError& e) {
    if (f.onErrorResume) {
      CatchToErr(e);
      return Flow::Normal;
    }
    NotePos(s->line, s->col);
    throw;
  } catch (const std::bad_alloc&) {
    if (f.onErrorResume) {
      CatchToErr(ScriptError(kErrOutOfMemory));
      return Flow::Normal;
    }
    NotePos(s->line, s->col);
    Raise(kErrOutOfMemory);
  } catch (const AbortError&) {
    NotePos(s->line, s->col);
    throw;
  }
}

__attribute__((always_inline)) inline Flow Interp::ExecOne(Stmt* s, Frame& f) {
  return RunStatement(s, f, [&]() __attribute__((always_inline)) { return Exec(s, f); });
}

// ExecBlock's loop, inlined into the loop statements. A block of one
// statement (a short function, an If branch) skips the loop.
__attribute__((always_inline)) inline Flow Interp::ExecBody(Block& b, Frame& f) {
  if (b.size() == 1) return ExecOne(b[0].get(), f);
  for (auto& sp : b) {
    Flow r = ExecOne(sp.get(), f);
    if (r != Flow::Normal) return r;
  }
  return Flow::Normal;
}

// The truth of comparison c by its routine, as If takes it: an error in c
// under On Error Resume Next takes the Then branch.
__attribute__((always_inline)) inline bool Interp::IfTruth(TestFn test, Expr* c, Frame& f) {
  try {
    return test(*this, c, f);
  } catch (const ScriptError& e) {
    return ConditionFailed(e, f);
  }
}

// If c Then ... [Else ...] with a comparison c (IfStmt::singleTest).
__attribute__((always_inline)) inline Flow Interp::RunIfTest(IfStmt* i, Frame& f) {
  Expr* c = i->conds[0].get();
  const bool t = IfTruth(static_cast<BinaryExpr*>(c)->test, c, f);
  return ExecBody(t ? i->blocks[0] : i->elseBlock, f);
}

// RunIfTest for a procedure's ifBody, from what the Proc keeps of it.
__attribute__((always_inline)) inline Flow Interp::RunProcIf(Proc* p, Frame& f) {
  const bool t = IfTruth(p->ifTest, p->ifCond, f);
  // A plain copy between locals runs here (as AssignLocalFrom would).
  const int k = t ? 0 : 1;
  if (const int from = p->ifCopyFrom[k]; from >= 0) {
    const Variant& src = f.slots[from].Deref();
    Variant& cell = f.slots[p->ifCopyTo[k]].Deref();
    if (Variant::PlainPair(cell, src)) {
      cell.CopyPlain(src);
      return Flow::Normal;
    }
  }
  if (Stmt* s = t ? p->ifThen : p->ifElse) return ExecOne(s, f);
  return ExecBody(t ? p->ifBody->blocks[0] : p->ifBody->elseBlock, f);
}

__attribute__((always_inline)) inline Variant Interp::RunProcBody(Proc* p, ClassInstance* me,
                                                                   Variant* slots) {
  Frame nf(slots, p, me, curFrame_);
  curFrame_ = &nf;
  // Err keeps what a trapping procedure left in it: callers read it after
  // the call returns.
  ExecBody(p->body, nf);
  return std::move(slots[0]);
}

// Argument i of a fixed call into its slot, which holds nothing yet, by
// the site's plan (PlanArgs) and whether the parameter is ByRef; false
// when it may be an array element, which CallElementsFrom then takes.
template <bool kByRef>
__attribute__((always_inline)) inline bool Interp::PassFixedArg(NameExpr* site, size_t i, Variant& slot,
                                                                unsigned kind, Frame& f) {
  // By bit tests, the usual kinds first (ArgPlan). Locals are found from
  // the site's own record of their slots.
  if (kind & kArgLocal) {
    Variant& cell = f.slots[site->argSlots[i]].Deref();
    if constexpr (kByRef) slot.SetRef(&cell);
    else new (&slot) Variant(cell);
    return true;
  }
  Expr* a = site->args[i].get();
  auto* nm = static_cast<NameExpr*>(a);
  if (kind & kArgLiteral) {
    if (!(kind & 2)) {
      new (&slot) Variant(static_cast<LiteralExpr*>(a)->value);
      return true;
    }
    const uint32_t d = site->argSlots[i];
    const Variant& l = f.slots[d & 0xFFFF].Deref();
    const int32_t y = int16_t(d >> 16);  // the Integer literal
    const bool add = kind == kArgLocalAdd;
    if (__builtin_expect(l.type() == vbInteger, 1)) {
      const int32_t x = l.intVal();
      InitWholeNumber(slot, add ? x + y : x - y, true);
      return true;
    }
    if (l.type() == vbLong) {
      const int64_t x = l.longVal();
      InitWholeNumber(slot, add ? x + y : x - y, false);
      return true;
    }
  } else if (kind == kArgCall) {
    // A call's result; on anything else name(args) may be an element.
    const GlobalSlot& g = globals_.slot(nm->slot);
    if (g.kind == GlobalSlot::Procedure) {
      // A fixed call site of the procedure's own count runs without
      // looking the name up again in its routine.
      const size_t n = nm->args.size();
      if (nm->operand == OperandKind::CallSite && g.proc->nparams == n) {
        switch (n) {
          case 1: new (&slot) Variant(CallKnown<1>(g.proc, nm, f)); return true;
          case 2: new (&slot) Variant(CallKnown<2>(g.proc, nm, f)); return true;
          case 3: new (&slot) Variant(CallKnown<3>(g.proc, nm, f)); return true;
          case 4: new (&slot) Variant(CallKnown<4>(g.proc, nm, f)); return true;
          default: break;
        }
      }
    } else if (kByRef) {
      return false;
    }
  } else if (kind == kArgGlobal) {
    if constexpr (kByRef) {
      if (!nm->gcell) return PassArg(a, slot, f);
      slot.SetRef(nm->gcell);  // a declared variable's cell (GlobalVarCell)
      return true;
    }
  } else if (kind == kArgOther) {
    if constexpr (kByRef) return PassArg(a, slot, f);
  }
  // The value is built right in the slot.
  new (&slot) Variant(a->fn(*this, a, f));
  return true;
}

// A fixed call as an argument of another (PassFixedArg), its procedure
// known: kept out of line, since CallFixed cannot inline into itself.
template <int N>
__attribute__((noinline)) Variant Interp::CallKnown(Proc* p, NameExpr* site, Frame& f) {
  return CallFixed<N>(p, site, f);
}

// The arguments of a fixed call to a procedure with ByVal parameters: the
// index of the first one CallElementsFrom must take, or N.
template <int N>
__attribute__((noinline)) size_t Interp::PassMixedArgs(Proc* p, NameExpr* site, Frame& f, Variant* slots) {
  const unsigned plan = site->argPlan;
  for (int i = 0; i < N; ++i) {
    const unsigned kind = (plan >> (4 * i)) & 15;
    const bool ok = (p->byRefMask >> i) & 1 ? PassFixedArg<true>(site, size_t(i), slots[i + 1], kind, f)
                                            : PassFixedArg<false>(site, size_t(i), slots[i + 1], kind, f);
    if (!ok) return size_t(i);
  }
  return N;
}

// Undoes a call's frame however the call ends. It keeps only the frame
// record: everything else is read back from there.
struct CallScope {
  Interp& in;
  Frame& nf;
  ~CallScope() { in.EndCall(nf); }
};

// The common call: a procedure with exactly N parameters, from a site whose
// arguments were sorted once (PlanArgs). Each argument gets its own
// unrolled step; the frame record is filled in first so that little else
// has to be kept across the argument calls.
template <int N>
__attribute__((always_inline)) inline Variant Interp::CallFixed(Proc* p, NameExpr* site, Frame& f) {
  // The gate holds the stop request and the native stack limit in one word.
  if (__builtin_expect(GateTripped() || depth_ >= kMaxCallDepth, 0)) CallRefused();
  Frame nf(stack_.PushArgs(p->nslots, N), p, nullptr, curFrame_);
  ++depth_;
  CallScope scope{*this, nf};
  // Most procedures take every argument ByRef (the default): one test here
  // spares each argument its own.
  constexpr uint64_t kAllByRef = (uint64_t(1) << N) - 1;
  if (__builtin_expect((p->byRefMask & kAllByRef) == kAllByRef, 1)) {
    const unsigned plan = site->argPlan;
#pragma GCC unroll 4
    for (int i = 0; i < N; ++i)
      if (!PassFixedArg<true>(site, size_t(i), nf.slots[i + 1], (plan >> (4 * i)) & 15, f))
        return CallElementsFrom(nf, site->args, f, size_t(i));
  } else if (const size_t i = PassMixedArgs<N>(p, site, f, nf.slots); i < size_t(N)) {
    return CallElementsFrom(nf, site->args, f, i);
  }
  curFrame_ = &nf;
  // A body that is one If on a comparison runs here, without a routine
  // call of its own.
  if (IfStmt* i = p->ifBody) RunStatement(i, nf, [&]() __attribute__((always_inline)) { return RunProcIf(p, nf); });
  else if (Stmt* s = p->bodyOne) ExecOne(s, nf);
  else ExecBody(p->body, nf);
  return std::move(nf.slots[0]);
}

inline bool Interp::Test(Expr* c, Frame& f) {
  if (c->kind == Expr::Binary) {
    if (TestFn t = static_cast<BinaryExpr*>(c)->test) return t(*this, c, f);
  }
  Variant v = c->fn(*this, c, f);
  return IsTrue(v);
}

// One binary operator on two values; `literals` marks a comparison operand
// that is a literal (bit 0 left, bit 1 right), which is hard typed.
inline Variant ApplyBinary(BinOp op, const Variant& l, const Variant& r, uint8_t literals) {
  if (literals && op >= BinOp::Eq && op <= BinOp::Ge) {
    CmpResult c = CompareWithLiterals(l, literals & 1, r, literals & 2);
    switch (op) {
      case BinOp::Eq: return detail::CmpToVariant(c, false, true, false);
      case BinOp::Ne: return detail::CmpToVariant(c, true, false, true);
      case BinOp::Lt: return detail::CmpToVariant(c, true, false, false);
      case BinOp::Le: return detail::CmpToVariant(c, true, true, false);
      case BinOp::Gt: return detail::CmpToVariant(c, false, false, true);
      case BinOp::Ge: return detail::CmpToVariant(c, false, true, true);
      default: break;
    }
  }
  switch (op) {
    case BinOp::Add: return OpAdd(l, r);
    case BinOp::Sub: return OpSub(l, r);
    case BinOp::Mul: return OpMul(l, r);
    case BinOp::Div: return OpDiv(l, r);
    case BinOp::IntDiv: return OpIntDiv(l, r);
    case BinOp::Mod: return OpMod(l, r);
    case BinOp::Pow: return OpPow(l, r);
    case BinOp::Concat: return OpConcat(l, r);
    case BinOp::Eq: return OpEq(l, r);
    case BinOp::Ne: return OpNe(l, r);
    case BinOp::Lt: return OpLt(l, r);
    case BinOp::Gt: return OpGt(l, r);
    case BinOp::Le: return OpLe(l, r);
    case BinOp::Ge: return OpGe(l, r);
    case BinOp::Is: return Variant::FromBool(OpIs(l, r));
    case BinOp::And: return OpAnd(l, r);
    case BinOp::Or: return OpOr(l, r);
    case BinOp::Xor: return OpXor(l, r);
    case BinOp::Eqv: return OpEqv(l, r);
    case BinOp::Imp: return OpImp(l, r);
  }
  return Variant();
}

// The body of a host call: an error that ends it is recorded for the host
// (Engine::Error) and the call answers false.
template <class F>
bool Interp::RunRecordingErrors(std::u16string_view text, F&& body) {
  RunningScope running(*this);
  try {
    body();
    return true;
  } catch (const ScriptError& e) {
    RecordError(e, text);
  } catch (const AbortError& a) {
    RecordError(a.err, text);
  } catch (const std::bad_alloc&) {
    RecordError(ScriptError(kErrOutOfMemory), text);
  }
  return false;
}

}  // namespace vbs
