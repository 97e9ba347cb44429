// Procedure calls: argument passing (ByRef cells, array elements),
// built-in calls and GetRef's references.
#include "engine/interp.h"

#include <algorithm>
#include <new>

#include "engine/interp_inline.h"

namespace vbs {

namespace {


// GetRef's result: calling its default member calls the procedure.
class FuncRef : public HostObject {
 public:
  FuncRef(Interp* in, Proc* p, std::shared_ptr<Program> keep, std::shared_ptr<bool> alive)
      : in_(in), proc_(p), keep_(std::move(keep)), alive_(std::move(alive)) {}
  std::u16string TypeName() const override { return u"Object"; }
  int FindMember(std::u16string_view) const override { return -1; }
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override {
    if (member != 0 || kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) Raise(kErrNoSuchMember);
    if (!*alive_) Raise(kErrObjectRequired);
    std::vector<Variant> raw;
    raw.reserve(size_t(args.size()));
    for (int i = 0; i < args.size(); ++i) raw.push_back(args.Raw(i));
    result = in_->CallProcValues(proc_, nullptr, raw.data(), int(raw.size()));
  }

 private:
  Interp* in_;
  Proc* proc_;
  std::shared_ptr<Program> keep_;
  std::shared_ptr<bool> alive_;
};

// The script's global object, which Me names outside a class: its members
// are the global procedures and variables.
class ScriptGlobals : public HostObject {
 public:
  ScriptGlobals(Interp* in, std::shared_ptr<bool> alive) : in_(in), alive_(std::move(alive)) {}
  std::u16string TypeName() const override { return u"Object"; }
  int FindMember(std::u16string_view name) const override { return *alive_ ? in_->GlobalMemberId(name) : -1; }
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override {
    if (!*alive_) Raise(kErrObjectRequired);
    in_->InvokeGlobal(member, kind, args, result);
  }

 private:
  Interp* in_;
  std::shared_ptr<bool> alive_;
};

}  // namespace

Variant Interp::GlobalObject() {
  if (!globalObj_) globalObj_ = Ref<HostObject>(new ScriptGlobals(this, alive_));
  return Variant::FromObject(globalObj_.get());
}

int Interp::GlobalMemberId(std::u16string_view name) const {
  const int s = globals_.Find(FoldName(name));
  if (s < 0) return -1;
  switch (globals_.slot(s).kind) {
    case GlobalSlot::Undefined: case GlobalSlot::Class: return -1;
    default: return s + 1;
  }
}

void Interp::InvokeGlobal(int member, InvokeKind kind, Args& args, Variant& result) {
  if (member <= 0 || member > globals_.count()) Raise(kErrNoSuchMember);
  const size_t s = size_t(member - 1);
  const bool assign = kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet;
  if (globals_.slot(s).kind == GlobalSlot::Procedure) {
    if (assign) Raise(kErrNoSuchMember);
    std::vector<Variant> raw;
    for (int i = 0; i < args.size(); ++i) raw.push_back(args.Raw(i));
    Proc* p = globals_.slot(s).proc;
    result = CallProcValues(p, nullptr, raw.data(), int(raw.size()));
    return;
  }
  Variant& cell = globals_.value(s);
  const int nidx = assign ? args.size() - 1 : args.size();
  std::vector<int32_t> idx;
  for (int i = 0; i < nidx; ++i) idx.push_back(ToIndex(args[i]));
  if (!assign) {
    if (idx.empty()) result = cell;
    else if (cell.IsArray()) result = cell.array()->At(idx.data(), int(idx.size()));
    else Raise(kErrTypeMismatch);
    return;
  }
  GlobalSlot::Kind k = globals_.slot(s).kind;
  if (k != GlobalSlot::Var && k != GlobalSlot::Implicit) Raise(kErrIllegalAssignment);
  Variant v = args[args.size() - 1];
  if (idx.empty()) {
    AssignCell(cell, std::move(v), kind == InvokeKind::PropertySet);
    return;
  }
  if (!cell.IsArray()) Raise(kErrTypeMismatch);
  cell.ArrayForWrite()->At(idx.data(), int(idx.size())) = std::move(v);
}

Variant Interp::MakeFuncRef(std::u16string_view name) {
  int s = globals_.Find(FoldName(name));
  if (s < 0 || globals_.slot(s).kind != GlobalSlot::Procedure) Raise(kErrInvalidCall);
  const GlobalSlot& g = globals_.slot(s);
  return Variant::FromObject(new FuncRef(this, g.proc, g.owner, alive_));
}

// ---- procedure calls -------------------------------------------------------------
Variant Interp::CallProc(Proc* p, ClassInstance* me, ExprList& args, Frame& f) {
  const size_t nargs = args.size();
  if (nargs != p->nparams) Raise(kErrWrongArgCount);
  CheckInterrupt();
  if (depth_ >= kMaxCallDepth || StackLow()) Raise(kErrOutOfStack);
  DepthGuard dg(depth_);
  const int n = p->nslots;
  Variant* slots = stack_.Push(n);
  FrameScope fs(stack_, slots, n, curFrame_);
  if (nargs > 64) return CallProcWithElements(p, me, args, f, slots, 0);
  const uint64_t byRef = p->byRefMask;
  for (size_t i = 0; i < nargs; ++i) {
    Expr* a = args[i].get();
    if (!a) return CallProcWithElements(p, me, args, f, slots, i);  // omitted
    if ((byRef >> i) & 1) {
      // The common ByRef argument: a plain local, referred to directly.
      if (a->operand == OperandKind::Local) {
        slots[i + 1].SetRef(&f.slots[static_cast<NameExpr*>(a)->slot].Deref());
        continue;
      }
      if (a->kind == Expr::Name) {
        if (PassArg(a, slots[i + 1], f)) continue;
        return CallProcWithElements(p, me, args, f, slots, i);
      }
    }
    // Fresh slots are Empty: the value is built right in place.
    new (&slots[i + 1]) Variant(a->fn(*this, a, f));
  }
  return RunProcBody(p, me, slots);
}

void Interp::PlanArgs(NameExpr* site) {
  const ExprList& args = site->args;
  uint16_t plan = 0;
  for (size_t i = 0; i < args.size() && i < 4; ++i) {
    const Expr* a = args[i].get();
    unsigned kind = kArgValue;
    if (a->kind == Expr::Name) {
      auto* nm = static_cast<const NameExpr*>(a);
      if (!nm->hasParens && nm->nk == NameKind::Local) {
        kind = kArgLocal;
        site->argSlots[i] = uint32_t(nm->slot);
      }
      else if (!nm->hasParens && nm->nk == NameKind::Global) kind = kArgGlobal;
      else if (nm->hasParens && !nm->args.empty() && nm->nk == NameKind::Global && !nm->declaredVar)
        kind = kArgCall;
      else kind = kArgOther;
    } else if (a->kind == Expr::Literal) {
      kind = kArgLiteral;
    } else if (a->kind == Expr::Binary) {
      auto* b = static_cast<const BinaryExpr*>(a);
      const int lslot = b->lhs->operand == OperandKind::Local ? static_cast<const NameExpr*>(b->lhs.get())->slot : -1;
      // The slot must fit beside the literal (else the operator's routine runs).
      if ((b->op == BinOp::Add || b->op == BinOp::Sub) && lslot >= 0 && lslot <= 0xFFFF &&
          b->rhs->kind == Expr::Literal && static_cast<const LiteralExpr*>(b->rhs.get())->value.type() == vbInteger) {
        kind = b->op == BinOp::Add ? kArgLocalAdd : kArgLocalSub;
        const int16_t y = static_cast<const LiteralExpr*>(b->rhs.get())->value.intVal();
        site->argSlots[i] = uint32_t(lslot) | uint32_t(uint16_t(y)) << 16;
      }
    }
    plan = uint16_t(plan | (kind << (4 * i)));
  }
  site->argPlan = plan;
}

bool Interp::PassArg(Expr* a, Variant& slot, Frame& f) {
  auto* nm = static_cast<NameExpr*>(a);
  if (!nm->hasParens) {
    if (Variant* cell = ByRefCell(a, f)) {
      slot.SetRef(cell);
      return true;
    }
  } else if (!nm->args.empty() && MayNameElement(nm)) {
    return false;
  }
  new (&slot) Variant(a->fn(*this, a, f));
  return true;
}

Variant Interp::CallElementsFrom(Frame& nf, ExprList& args, Frame& f, size_t first) {
  // The slots from `first` on were never set: Empty before they are assigned.
  for (size_t i = first; i < args.size(); ++i) new (&nf.slots[i + 1]) Variant();
  return CallProcWithElements(nf.proc, nullptr, args, f, nf.slots, first);
}

void Interp::CallRefused() {
  CheckInterrupt();
  if (depth_ >= kMaxCallDepth || StackLow()) Raise(kErrOutOfStack);
  SyncGate();  // a stop already taken left the gate closed
}

// Rest of CallProc from argument `first` on, when an argument may be an
// array element or be omitted: an element goes by reference too, referred
// to in place with its array locked for the call; an omitted argument
// passes the missing value.
Variant Interp::CallProcWithElements(Proc* p, ClassInstance* me, ExprList& args,
                                     Frame& f, Variant* slots, size_t first) {
  struct Locks {
    std::vector<Array*> arrays;
    ~Locks() {
      for (Array* a : arrays) {
        a->Unlock();
        a->Release();
      }
    }
  } locks;
  std::vector<int32_t> idx;
  for (size_t i = first; i < args.size(); ++i) {
    Expr* a = args[i].get();
    if (!a) {
      slots[i + 1] = Variant::Missing();
      continue;
    }
    if (p->ByRefParam(i)) {
      if (Variant* cell = ByRefCell(a, f)) {
        slots[i + 1] = Variant::RefTo(cell);
        continue;
      }
      if (a->kind == Expr::Name) {
        auto* n = static_cast<NameExpr*>(a);
        if (n->hasParens && !n->args.empty()) {
          Variant* base = VarCell(n, f, false);
          if (base && base->IsArray()) {
            idx.clear();
            for (auto& ix : n->args) {
              if (!ix) Raise(kErrSubscriptOutOfRange);
              idx.push_back(ToIndex(EvalExpr(ix.get(), f)));
            }
            base = VarCell(n, f, false);
            if (!base->IsArray()) Raise(kErrTypeMismatch);
            Array* arr = base->ArrayForWrite();
            Variant& element = arr->At(idx.data(), int(idx.size()));
            arr->AddRef();
            arr->Lock();
            locks.arrays.push_back(arr);
            slots[i + 1] = Variant::RefTo(&element);
            continue;
          }
        }
      }
    }
    slots[i + 1] = EvalExpr(a, f);
  }
  return RunProcBody(p, me, slots);
}


Variant Interp::CallProcValues(Proc* p, ClassInstance* me, Variant* args, int nargs) {
  if (uint32_t(nargs) != p->nparams) Raise(kErrWrongArgCount);
  CheckInterrupt();
  if (depth_ >= kMaxCallDepth || StackLow()) Raise(kErrOutOfStack);
  DepthGuard dg(depth_);
  int n = p->nslots;
  Variant* slots = stack_.Push(n);
  FrameScope fs(stack_, slots, n, curFrame_);
  for (int i = 0; i < nargs; ++i) {
    Variant& a = args[i];
    if (a.IsByRef() && p->ByRefParam(size_t(i))) slots[i + 1] = a;
    else slots[i + 1] = a.Deref();
  }
  return RunProcBody(p, me, slots);
}

Variant Interp::CallBuiltin(int index, ExprList& args, Frame& f) {
  const BuiltinDef& d = BuiltinAt(index);
  int n = int(args.size());
  if (n < d.minArgs || (d.maxArgs >= 0 && n > d.maxArgs)) Raise(kErrWrongArgCount);
  Variant buf[8];
  std::vector<Variant> big;
  Variant* items = buf;
  if (n > 8) {
    big.resize(size_t(n));
    items = big.data();
  }
  for (int i = 0; i < n; ++i) {
    Expr* a = args[size_t(i)].get();
    if (!a) items[i] = Variant::Missing();
    else items[i] = EvalExpr(a, f);
  }
  Args av(items, n);
  Context ctx(*this);
  return d.fn(ctx, av);
}

}  // namespace vbs
