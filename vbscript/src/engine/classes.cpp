// Script classes and member access on objects: instances and their fields,
// New, Class_Terminate, and o.m read, called or assigned.
#include "engine/interp.h"
#include "engine/interp_inline.h"
#include "engine/stack_guard.h"

namespace vbs {

// ---- ClassInstance -----------------------------------------------------------
ClassInstance::ClassInstance(Interp* in, ClassDef* cls, std::shared_ptr<Program> prog,
                             std::shared_ptr<bool> alive)
    : interp_(in), cls_(cls), prog_(std::move(prog)), alive_(std::move(alive)) {
  scriptClass_ = true;
  fields_.resize(cls->fields.size());
  for (size_t i = 0; i < cls->fields.size(); ++i) {
    const FieldDef& f = cls->fields[i];
    if (f.isArray) {
      if (f.bounds.empty()) {
        fields_[i] = Variant::FromArray(new Array());
      } else {
        fields_[i] = Variant::FromArray(Array::Create(f.bounds.data(), int(f.bounds.size())));
        fields_[i].SetFlags(Variant::kFixedArray);
      }
    }
  }
}

ClassInstance::~ClassInstance() = default;

int ClassInstance::FindMember(std::u16string_view name) const {
  int m = cls_->FindMember(name);
  if (m < 0 || !cls_->members[size_t(m)].isPublic) return -1;
  return m + 1;
}

void ClassInstance::Invoke(int member, InvokeKind kind, Args& args, Variant& result) {
  if (!*alive_) Raise(kErrObjectRequired);
  interp_->InvokeClassMember(this, member, kind, args, result);
}

void ClassInstance::Finalize() {
  if (cls_->term && initialized && *alive_ && !StackExhausted()) {
    refs_ = 1;  // alive while Class_Terminate runs
    {
      ImmediateReleases inOrder;
      interp_->RunTerminate(this);
    }
    if (--refs_ != 0) return;  // the terminate handler kept a reference
  }
  delete this;
}

int ClassDef::FindMember(std::u16string_view n) const {
  for (size_t i = 0; i < members.size(); ++i)
    if (NameEquals(members[i].name, n)) return int(i);
  return -1;
}

void Interp::RunTerminate(ClassInstance* inst) {
  // A stop request is pending: the script is to end, not to run more of
  // its code (freeing a long list would otherwise run every handler).
  if (interrupt_.load(std::memory_order_relaxed)) return;
  // Errors in Class_Terminate are dropped: the object goes away anyway.
  bool savedPos = posSet_;
  int l = errLine_, c = errCol_;
  try {
    CallProcValues(inst->cls()->term, inst, nullptr, 0);
  } catch (const ScriptError&) {
  } catch (const AbortError&) {
    // The stop request ended this handler; it still stands for the script
    // around it, which cannot see this exception.
    SetInterrupt(true);
  } catch (const std::bad_alloc&) {
  }
  posSet_ = savedPos;
  errLine_ = l;
  errCol_ = c;
}

void Interp::InvokeClassMember(ClassInstance* inst, int member, InvokeKind kind, Args& args,
                               Variant& result) {
  ClassDef* cls = inst->cls();
  int mi = member == 0 ? cls->defaultMember : member - 1;
  if (mi < 0 || mi >= int(cls->members.size())) Raise(kErrNoSuchMember);
  ClassMember& m = cls->members[size_t(mi)];
  // The host may pass the only reference in a variable the member's code
  // can clear (a ByRef argument).
  Ref<Object> hold(inst);
  std::vector<Variant> raw;
  for (int i = 0; i < args.size(); ++i) raw.push_back(args.Raw(i));
  bool assign = kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet;
  if (m.field >= 0) {
    Variant& cell = inst->fields()[size_t(m.field)];
    if (!assign) {
      if (args.size() == 0) {
        result = cell;
      } else {
        if (!cell.IsArray()) Raise(kErrTypeMismatch);
        std::vector<int32_t> idx;
        for (int i = 0; i < args.size(); ++i) idx.push_back(ToIndex(args[i]));
        result = cell.array()->At(idx.data(), int(idx.size()));
      }
      return;
    }
    Variant v = args[args.size() - 1];
    if (args.size() == 1) {
      AssignCell(cell, std::move(v), kind == InvokeKind::PropertySet);
    } else {
      if (!cell.IsArray()) Raise(kErrTypeMismatch);
      std::vector<int32_t> idx;
      for (int i = 0; i + 1 < args.size(); ++i) idx.push_back(ToIndex(args[i]));
      Array* a = cell.ArrayForWrite();
      a->At(idx.data(), int(idx.size())) = std::move(v);
    }
    return;
  }
  Proc* p = nullptr;
  if (!assign) p = m.method ? m.method : m.get;
  else if (kind == InvokeKind::PropertySet) p = m.set ? m.set : m.let;
  else p = m.let ? m.let : m.set;
  if (!p) Raise(kErrNoSuchMember);
  Variant r = CallProcValues(p, inst, raw.data(), int(raw.size()));
  if (!assign) result = std::move(r);
}

// The field a trivial accessor reads or writes (see Proc::accessorField).
// Such a call is done in place: its one statement cannot fail, recurse or
// run other code when the value involved is not an object.
static int AccessorField(Proc* p) {
  if (p->accessorField != -2) return p->accessorField;
  p->accessorField = -1;
  const AssignStmt* only = nullptr;
  for (auto& st : p->body) {
    if (st->kind == Stmt::Nop) continue;
    if (only || st->kind != Stmt::Assign) return -1;
    only = static_cast<const AssignStmt*>(st.get());
  }
  if (!only || only->isSet || only->target->kind != Expr::Name || only->value->kind != Expr::Name)
    return -1;
  auto* to = static_cast<const NameExpr*>(only->target.get());
  auto* from = static_cast<const NameExpr*>(only->value.get());
  if (to->hasParens || from->hasParens) return -1;
  if (p->kind == ProcKind::PropGet && p->params.empty() && to->nk == NameKind::Local &&
      to->slot == 0 && from->nk == NameKind::Field)
    return p->accessorField = from->slot;
  if (p->kind == ProcKind::PropLet && p->params.size() == 1 && !p->params[0].isArray &&
      to->nk == NameKind::Field && from->nk == NameKind::Local && from->slot == 1)
    return p->accessorField = to->slot;
  return -1;
}

static ExprList kNoArgs;  // o.m without parentheses

// Member `mi` of a script object, read or called. A call holds the
// instance: its code may drop every other reference to it.
Variant Interp::CallClassMember(ClassInstance* inst, int mi, ExprList* args, Frame& f) {
  ClassMember& m = inst->cls()->members[size_t(mi)];
  if (m.field >= 0) {
    Variant& v = inst->fields()[size_t(m.field)];
    if (!args || args->empty()) return v;
    Ref<Object> hold(inst);
    return IndexValue(v, *args, f);
  }
  Proc* p = m.method ? m.method : m.get;
  if (!p) Raise(kErrNoSuchMember);
  if (!m.method && (!args || args->empty()) && AccessorField(p) >= 0) {
    // An object would be assigned by its default value: leave that to the call.
    const Variant& v = inst->fields()[size_t(p->accessorField)];
    if (!v.IsObject()) return v;
  }
  Ref<Object> hold(inst);
  return CallProc(p, inst, args ? *args : kNoArgs, f);
}

// The value that holds a member's object: a variable is read in place (no
// reference taken), anything else is evaluated into `tmp`. Callers take
// the object out before any script code can change the variable.
const Variant& Interp::MemberObject(Expr* oe, Frame& f, Variant& tmp) {
  if (oe->kind == Expr::Name) {
    auto* n = static_cast<NameExpr*>(oe);
    if (!n->hasParens) {
      switch (n->nk) {
        case NameKind::Local: return f.slots[n->slot].Deref();
        case NameKind::Field: return f.me->fields()[size_t(n->slot)];
        case NameKind::Global:
          if (n->gcell) return *n->gcell;
          break;
        default: break;
      }
    }
  }
  tmp = EvalExpr(oe, f);
  return tmp.Deref();
}

// The member a site names on a script object: the site remembers the class
// and member it saw last.
inline int Interp::SiteMember(ClassInstance* ci, MemberExpr* m, Frame& f) {
  ClassDef* cls = ci->cls();
  if (m->cacheKey == cls && m->cachePublic) return m->cacheMember;
  return LookupClassMember(ci, m->name, m, f);
}

Variant Interp::EvalMember(MemberExpr* m, Frame& f, bool asStatement) {
  if (StackLow()) Raise(kErrOutOfStack);  // o.a.b.c... nests without bound
  Variant tmp;
  const Variant& ov = MemberObject(m->obj.get(), f, tmp);
  ExprList* args = m->hasParens ? &m->args : nullptr;
  if (ov.IsObject() && ov.object() && ov.object()->IsScriptClass()) {
    auto* ci = static_cast<ClassInstance*>(ov.object());
    return CallClassMember(ci, SiteMember(ci, m, f), args, f);
  }
  return CallObject(ov, m->name, args, f, asStatement ? InvokeKind::Method : InvokeKind::PropertyGet, m);
}

void Interp::BuildHostArgs(ExprList* args, Frame& f, HostArgList& out, size_t extra) {
  const size_t n = args ? args->size() : 0;
  out.Size(n + extra);
  for (size_t i = 0; i < n; ++i) {
    Expr* a = (*args)[i].get();
    if (!a) out[i] = Variant::Missing();
    else if (Variant* cell = ByRefCell(a, f)) out[i] = Variant::RefTo(cell);
    else out[i] = EvalExpr(a, f);
  }
}

int Interp::LookupClassMember(ClassInstance* ci, std::u16string_view name, MemberExpr* site,
                              Frame& f) {
  int mi;
  if (site && site->cacheKey == ci->cls()) {
    mi = site->cacheMember;
  } else {
    mi = ci->cls()->FindMember(name);
    if (site) {
      site->cacheKey = ci->cls();
      site->cacheMember = mi;
      site->cachePublic = mi >= 0 && ci->cls()->members[size_t(mi)].isPublic;
    }
  }
  if (mi < 0) Raise(kErrNoSuchMember);
  if (!ci->cls()->members[size_t(mi)].isPublic && !(f.me && f.me->cls() == ci->cls())) Raise(kErrNoSuchMember);
  return mi;
}

Variant Interp::CallObject(const Variant& objIn, std::u16string_view member, ExprList* args, Frame& f,
                           InvokeKind kind, MemberExpr* site) {
  const Variant& ov = objIn.Deref();
  // A member of Nothing is as much a missing object as one of a number.
  if (!ov.IsObject() || !ov.object()) Raise(kErrObjectRequired);
  Object* o = ov.object();
  bool isDefault = member.empty();
  if (o->IsScriptClass()) {
    auto* ci = static_cast<ClassInstance*>(o);
    int mi;
    if (isDefault) {
      mi = ci->cls()->defaultMember;
      if (mi < 0) Raise(kErrNoSuchMember);
    } else {
      mi = LookupClassMember(ci, member, site, f);
    }
    return CallClassMember(ci, mi, args, f);
  }
  int id = isDefault ? 0 : o->FindMember(member);
  if (id < 0) Raise(kErrNoSuchMember);
  Ref<Object> hold(o);  // the arguments may drop the caller's reference
  HostArgList items;
  BuildHostArgs(args, f, items);
  Args av(items.data(), int(items.size()));
  Variant result;
  o->Invoke(id, kind, av, result);
  return result;
}

Variant Interp::NewObject(NewExpr* n) {
  const GlobalSlot& g = globals_.slot(n->globalSlot);
  if (g.kind != GlobalSlot::Class) {
    // Not a script class: a built-in class whose factory is registered as
    // a function of the same name (RegExp).
    Ref<HostObject> obj = NewLibraryObject(n->className);
    if (!obj) Raise(kErrClassNotDefined, u"Class not defined: '" + n->className + u"'");
    return Variant::FromObject(obj.get());
  }
  auto* inst = new ClassInstance(this, g.cls, g.owner, alive_);
  Variant v = Variant::FromObject(inst);
  if (g.cls->init) CallProcValues(g.cls->init, inst, nullptr, 0);
  inst->initialized = true;
  return v;
}

void Interp::AssignMember(MemberExpr* m, Variant&& value, bool isSet, Frame& f) {
  Variant tmp;
  const Variant& ov = MemberObject(m->obj.get(), f, tmp);
  if (!ov.IsObject() || !ov.object()) Raise(kErrObjectRequired);
  Object* o = ov.object();
  // Indices, a default value and Property Let code may all drop the
  // variable's reference to the object.
  Ref<Object> hold(o);
  if (o->IsScriptClass()) {
    auto* ci = static_cast<ClassInstance*>(o);
    int mi = SiteMember(ci, m, f);
    ClassMember& cm = ci->cls()->members[size_t(mi)];
    if (cm.field >= 0) {
      Variant& cell = ci->fields()[size_t(cm.field)];
      if (m->hasParens && !m->args.empty()) AssignIndexed(cell, m->args, std::move(value), isSet, f);
      else AssignCell(cell, std::move(value), isSet);
      return;
    }
    SetClassProperty(ci, cm, m->hasParens ? &m->args : nullptr, std::move(value), isSet, f);
    return;
  }
  int id = o->FindMember(m->name);
  if (id < 0) Raise(kErrNoSuchMember);
  HostArgList items;
  BuildHostArgs(m->hasParens ? &m->args : nullptr, f, items, 1);
  items[items.size() - 1] = std::move(value);
  Args av(items.data(), int(items.size()));
  Variant ignored;
  o->Invoke(id, isSet ? InvokeKind::PropertySet : InvokeKind::PropertyLet, av, ignored);
}

void Interp::SetClassProperty(ClassInstance* ci, ClassMember& cm, ExprList* args,
                              Variant&& value, bool isSet, Frame& f) {
  Proc* p = isSet ? (cm.set ? cm.set : nullptr) : (cm.let ? cm.let : nullptr);
  if (!p) {
    if (!isSet && !cm.let && cm.set && value.IsObject()) p = cm.set;
    else Raise(kErrNoSuchMember);
  }
  if (!isSet && value.IsObject() && p == cm.let) {
    if (value.IsNothing()) Raise(kErrObjectNotSet);
    value = DefaultValue(value.object());
  }
  // The caller holds the instance for the call.
  if (!args || args->empty()) {
    if (p == cm.let && !value.IsObject() && AccessorField(p) >= 0) {
      Variant& cell = ci->fields()[size_t(p->accessorField)];
      if (!(cell.flags() & Variant::kFixedArray)) {
        cell = std::move(value);
        return;
      }
    }
    // The common Property Let: the value alone, no list on the heap.
    CallProcValues(p, ci, &value, 1);
    return;
  }
  HostArgList items;
  BuildHostArgs(args, f, items, 1);
  items[items.size() - 1] = std::move(value);
  CallProcValues(p, ci, items.data(), int(items.size()));
}

}  // namespace vbs
