// Strings, arrays, objects and Variant ownership: sharing, copy on write,
// in-place appends, bounds, deterministic destruction, ByRef arguments.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "vbs/object.h"
#include "vbs/value_conv.h"
#include "vbs/value_ops.h"
#include "test_support.h"

namespace vbs {
namespace {

using vbs::unittest::ErrorOf;

TEST(ValueString, CopiesShareAndReleaseText) {
  Variant a = Variant::FromString(u"hello");
  EXPECT_EQ(a.string()->Refs(), 1u);
  {
    Variant b = a;
    EXPECT_EQ(b.string(), a.string());
    EXPECT_EQ(a.string()->Refs(), 2u);
    Variant c = std::move(b);
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(a.string()->Refs(), 2u);
  }
  EXPECT_EQ(a.string()->Refs(), 1u);
  a.SetLong(3);  // releases the text (ASan reports a leak otherwise)
  EXPECT_EQ(a.type(), vbLong);
}

TEST(ValueString, AppendReusesCapacityWhenUnique) {
  Variant s = Variant::FromString(u"");
  int reallocations = 0;
  const String* last = s.string();
  for (int i = 0; i < 10000; ++i) {
    ConcatAssign(s, Variant::FromString(u"ab"));
    if (s.string() != last) {
      ++reallocations;
      last = s.string();
    }
  }
  EXPECT_EQ(s.str().size(), 20000u);
  EXPECT_EQ(s.str().substr(19996), u"abab");
  // Geometric growth: a handful of moves, not one per append.
  EXPECT_LT(reallocations, 20);
  EXPECT_GE(s.string()->capacity(), 20000u);
}

TEST(ValueString, AppendCopiesSharedTextAndHandlesAliasing) {
  Variant s = Variant::FromString(u"x");
  Variant keep = s;
  ConcatAssign(s, Variant::FromLong(1));
  EXPECT_EQ(s.str(), u"x1");
  EXPECT_EQ(keep.str(), u"x");  // the other owner does not see the append
  ConcatAssign(s, s);           // s = s & s
  EXPECT_EQ(s.str(), u"x1x1");
  for (int i = 0; i < 5; ++i) ConcatAssign(s, s);
  EXPECT_EQ(s.str().size(), 128u);
  ConcatAssign(s, Variant::Null());
  EXPECT_EQ(s.str().size(), 128u);
  Variant n = Variant::Null();
  ConcatAssign(n, Variant::Null());
  EXPECT_TRUE(n.IsNull());
  Variant e;
  ConcatAssign(e, Variant::FromDouble(0.5));
  EXPECT_EQ(e.str(), u"0.5");
}

TEST(ValueString, AbsurdLengthIsOutOfMemory) {
  EXPECT_EQ(ErrorOf([] { String::MakeUninit(String::kMaxLength + 1); }), 7);
  Variant s = Variant::FromString(u"ab");
  String* big = String::MakeUninit(String::kMaxLength - 1);
  Variant bigV = Variant::FromString(big);
  EXPECT_EQ(ErrorOf([&] { ConcatAssign(bigV, s); }), 7);
}

TEST(ValueArray, CopyOnWrite) {
  Variant a = Variant::FromArray(Array::Create1(2));
  a.ArrayForWrite()->At1(0) = Variant::FromLong(1);
  Variant b = a;  // VBScript assignment copies; here it shares until written
  EXPECT_EQ(a.array(), b.array());
  b.ArrayForWrite()->At1(0) = Variant::FromLong(2);
  EXPECT_NE(a.array(), b.array());
  EXPECT_EQ(a.array()->At1(0).longVal(), 1);
  EXPECT_EQ(b.array()->At1(0).longVal(), 2);
  // Writing an unshared array does not copy.
  Array* before = b.array();
  b.ArrayForWrite()->At1(1) = Variant::FromLong(3);
  EXPECT_EQ(b.array(), before);
}

TEST(ValueArray, MultiDimensionalBounds) {
  int32_t ub[] = {2, 3};
  Variant a = Variant::FromArray(Array::Create(ub, 2));
  Array* arr = a.ArrayForWrite();
  EXPECT_EQ(arr->Dims(), 2);
  EXPECT_EQ(arr->Count(), 12u);
  EXPECT_EQ(arr->UBound(1), 2);
  EXPECT_EQ(arr->UBound(2), 3);
  EXPECT_EQ(arr->LBound(2), 0);
  int32_t at[] = {2, 3};
  arr->At(at, 2) = Variant::FromLong(23);
  EXPECT_EQ(arr->Data()[11].longVal(), 23);  // first subscript varies fastest
  int32_t out[] = {3, 0};
  EXPECT_EQ(ErrorOf([&] { arr->At(out, 2); }), 9);
  EXPECT_EQ(ErrorOf([&] { arr->At1(0); }), 9);  // wrong number of subscripts
  EXPECT_EQ(ErrorOf([&] { arr->UBound(3); }), 9);
  EXPECT_EQ(ErrorOf([&] { arr->UBound(0); }), 9);
  int32_t neg[] = {-1};
  EXPECT_EQ(ErrorOf([&] { arr->At(neg, 1); }), 9);
}

TEST(ValueArray, ReDimPreserveAndErase) {
  Variant v;
  int32_t three[] = {3};
  ReDimVariable(v, three, 1, false);
  ASSERT_TRUE(v.IsArray());
  for (int i = 0; i <= 3; ++i) v.ArrayForWrite()->At1(i) = Variant::FromLong(i * 10);
  int32_t five[] = {5};
  ReDimVariable(v, five, 1, true);
  EXPECT_EQ(v.array()->UBound(1), 5);
  EXPECT_EQ(v.array()->At1(3).longVal(), 30);
  EXPECT_TRUE(v.array()->At1(5).IsEmpty());
  int32_t one[] = {1};
  ReDimVariable(v, one, 1, true);
  EXPECT_EQ(v.array()->Count(), 2u);
  EXPECT_EQ(v.array()->At1(1).longVal(), 10);
  ReDimVariable(v, one, 1, false);
  EXPECT_TRUE(v.array()->At1(1).IsEmpty());

  // Preserve may only change the last dimension.
  int32_t twoD[] = {1, 1};
  ReDimVariable(v, twoD, 2, false);
  int32_t widerLast[] = {1, 4};
  ReDimVariable(v, widerLast, 2, true);
  EXPECT_EQ(v.array()->UBound(2), 4);
  int32_t widerFirst[] = {2, 4};
  EXPECT_EQ(ErrorOf([&] { ReDimVariable(v, widerFirst, 2, true); }), 9);

  EraseVariable(v);
  EXPECT_TRUE(v.IsArray());
  EXPECT_EQ(ErrorOf([&] { v.array()->UBound(1); }), 9);
  EXPECT_EQ(ErrorOf([] { Variant x = Variant::FromLong(1); EraseVariable(x); }), 13);
}

TEST(ValueArray, CopiesWriteApartAndPreserveAddsEmptyElements) {
  Variant v = Variant::FromArray(Array::FromValues({Variant::FromString(u"a")}));
  EXPECT_EQ(TypeNameOf(v), u"Variant()");
  EXPECT_EQ(VarTypeOf(v), vbArray | vbVariant);
  Variant copy = v;
  copy.ArrayForWrite()->At1(0) = Variant::FromLong(3);
  EXPECT_EQ(v.array()->At1(0).str(), u"a");
  EXPECT_EQ(copy.array()->At1(0).longVal(), 3);
  int32_t two[] = {2};
  ReDimVariable(v, two, 1, true);
  EXPECT_EQ(v.array()->At1(0).str(), u"a");
  EXPECT_TRUE(v.array()->At1(2).IsEmpty());
}

TEST(ValueArray, FixedArraysAndAbsurdSizes) {
  Variant f = Variant::FromArray(Array::Create1(2));
  f.SetFlags(Variant::kFixedArray);
  f.ArrayForWrite()->At1(1) = Variant::FromLong(5);
  int32_t four[] = {4};
  EXPECT_EQ(ErrorOf([&] { ReDimVariable(f, four, 1, false); }), 10);
  Variant copy = f;  // a copy is an ordinary dynamic array
  EXPECT_EQ(copy.flags(), 0);
  ReDimVariable(copy, four, 1, true);
  EXPECT_EQ(copy.array()->UBound(1), 4);
  EraseVariable(f);  // fixed: elements cleared, bounds kept
  EXPECT_EQ(f.array()->UBound(1), 2);
  EXPECT_TRUE(f.array()->At1(1).IsEmpty());
  EXPECT_EQ(copy.array()->At1(1).longVal(), 5);

  // The flag belongs to the variable: it survives relocation of a growing
  // table of variables and assignment into it.
  std::vector<Variant> slots(1);
  slots[0] = Variant::FromArray(Array::Create1(1));
  slots[0].SetFlags(Variant::kFixedArray);
  for (int i = 0; i < 100; ++i) slots.emplace_back();
  EXPECT_EQ(slots[0].flags(), Variant::kFixedArray);
  slots[0] = copy;
  EXPECT_EQ(ErrorOf([&] { ReDimVariable(slots[0], four, 1, false); }), 10);

  EXPECT_EQ(ErrorOf([] { Array::Create1(1000000000); }), 7);
  int32_t huge[] = {100000, 100000};
  EXPECT_EQ(ErrorOf([&] { Array::Create(huge, 2); }), 7);
  EXPECT_EQ(ErrorOf([] { Array::Create1(-2); }), 9);
  Variant empty = Variant::FromArray(Array::Create1(-1));
  EXPECT_EQ(empty.array()->UBound(1), -1);
  EXPECT_EQ(ToIndex(Variant::FromDouble(1.5)), 2);
  EXPECT_EQ(ToIndex(Variant::FromString(u"2")), 2);
}

// Records its destruction so that tests can see when the last reference went.
class Probe : public HostObject {
 public:
  Probe(int* deaths, Variant* lastSeen) : deaths_(deaths), lastSeen_(lastSeen) {}
  ~Probe() override { ++*deaths_; }
  int FindMember(std::u16string_view name) const override {
    if (NameEquals(name, "Twice")) return 1;
    return -1;
  }
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override {
    if (member != 1 || kind != InvokeKind::Method) Raise(kErrNoSuchMember);
    // Doubles its ByRef argument in place and returns the old value.
    if (args.Missing(0)) Raise(kErrWrongArgCount, u"needs a value");
    result = args[0];
    args[0] = OpMul(args[0], Variant::FromLong(2));
    if (lastSeen_) *lastSeen_ = result;
  }
  std::u16string TypeName() const override { return u"Probe"; }

 private:
  int* deaths_;
  Variant* lastSeen_;
};

TEST(ValueObject, LastReferenceDestroysAtOnce) {
  int deaths = 0;
  Variant a = Variant::FromObject(new Probe(&deaths, nullptr));
  EXPECT_EQ(a.object()->Refs(), 1u);
  {
    Variant b = a;
    Ref<Object> r(b.object());
    EXPECT_EQ(a.object()->Refs(), 3u);
  }
  EXPECT_EQ(deaths, 0);
  a = Variant::Nothing();
  EXPECT_EQ(deaths, 1);
  EXPECT_TRUE(a.IsNothing());
  EXPECT_EQ(ErrorOf([&] { OpIs(a, Variant::FromLong(1)); }), 424);
  EXPECT_TRUE(OpIs(a, Variant::Nothing()));

  // An array holding the only reference destroys it with its elements.
  Variant arr = Variant::FromArray(Array::Create1(0));
  arr.ArrayForWrite()->At1(0) = Variant::FromObject(new Probe(&deaths, nullptr));
  EraseVariable(arr);
  EXPECT_EQ(deaths, 2);
}

// Looks at a variable while it is being finalised, like a Class_Terminate
// that reads a global.
class Watcher : public HostObject {
 public:
  Watcher(const Variant* watched, VarType* seen) : watched_(watched), seen_(seen) {}
  ~Watcher() override { *seen_ = watched_->type(); }
  int FindMember(std::u16string_view) const override { return -1; }
  void Invoke(int, InvokeKind, Args&, Variant&) override { Raise(kErrNoSuchMember); }
  std::u16string TypeName() const override { return u"Watcher"; }

 private:
  const Variant* watched_;
  VarType* seen_;
};

TEST(ValueObject, FinaliserSeesTheNewValue) {
  VarType seen = vbNull;
  Variant v;
  v = Variant::FromObject(new Watcher(&v, &seen));
  v = Variant::FromLong(5);
  EXPECT_EQ(seen, vbLong);
  v = Variant::FromObject(new Watcher(&v, &seen));
  v.SetDouble(1.0);
  EXPECT_EQ(seen, vbDouble);
  Variant other = Variant::FromString(u"s");
  v = Variant::FromObject(new Watcher(&v, &seen));
  v = other;
  EXPECT_EQ(seen, vbString);
}

TEST(ValueObject, ArgsWriteThroughByRefSlots) {
  int deaths = 0;
  Ref<Probe> p = MakeRef<Probe>(&deaths, nullptr);
  Variant callerVar = Variant::FromLong(21);
  Variant slots[] = {Variant::RefTo(&callerVar)};
  Args args(slots, 1);
  Variant result;
  int member = p->FindMember(u"TWICE");
  ASSERT_EQ(member, 1);
  p->Invoke(member, InvokeKind::Method, args, result);
  EXPECT_EQ(result.longVal(), 21);
  EXPECT_EQ(callerVar.longVal(), 42);

  // By value: the caller's variable stays as it was.
  Variant byVal[] = {callerVar};
  Args args2(byVal, 1);
  p->Invoke(member, InvokeKind::Method, args2, result);
  EXPECT_EQ(callerVar.longVal(), 42);
  EXPECT_EQ(byVal[0].longVal(), 84);

  Variant omitted[] = {Variant::Missing(), Variant::FromLong(1)};
  Args args3(omitted, 2);
  EXPECT_TRUE(args3.Missing(0));
  EXPECT_FALSE(args3.Missing(1));
  EXPECT_TRUE(args3.Missing(2));
  try {
    p->Invoke(member, InvokeKind::Method, args3, result);
    ADD_FAILURE() << "no error raised";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number, 450);
    EXPECT_EQ(e.Text(), u"needs a value");
  }
  EXPECT_EQ(p->FindMember(u"nope"), -1);
  EXPECT_EQ(ErrorOf([&] { p->Invoke(1, InvokeKind::PropertyGet, args, result); }), 438);
}

TEST(ValueObject, DefaultMemberMissingOrNothing) {
  int deaths = 0;
  Ref<Probe> p = MakeRef<Probe>(&deaths, nullptr);
  EXPECT_EQ(ErrorOf([&] { DefaultValue(p.get()); }), 438);
  EXPECT_EQ(ErrorOf([] { DefaultValue(nullptr); }), 91);
  EXPECT_EQ(ErrorOf([&] { OpAdd(Variant::FromObject(p.get()), Variant::FromLong(1)); }), 438);
}

// The two argument-count rules of native members, on one table of calls
// of a member that takes one or two arguments (M = omitted).
TEST(ValueObject, ArgumentCountRules) {
  const Variant x = Variant::FromLong(1), m = Variant::Missing();
  struct Case {
    std::vector<Variant> args;
    int droppedAtEnd;  // the error under each rule, 0 for none
    int counted;
  };
  const Case cases[] = {
      {{}, 450, 449},        {{x}, 0, 0},           {{x, x}, 0, 0},     {{x, m}, 0, 0},
      {{x, x, x}, 450, 450}, {{x, m, m}, 0, 450},   {{m}, 450, 449},    {{m, x}, 450, 449},
  };
  for (const Case& c : cases) {
    std::vector<Variant> items = c.args;
    Args a(items.data(), int(items.size()));
    EXPECT_EQ(ErrorOf([&] { NeedArgs(a, 1, 2); }), c.droppedAtEnd) << items.size();
    EXPECT_EQ(ErrorOf([&] { NeedArgs(a, 1, 2, OmittedArgs::Counted); }), c.counted) << items.size();
  }
  static constexpr const char* kNames[] = {"Item", "Count"};
  EXPECT_EQ(MemberTable(kNames).Find(u"count"), 1);
  EXPECT_EQ(MemberTable(kNames, 5).Find(u"ITEM"), 5);
  EXPECT_EQ(MemberTable(kNames).Find(u"Items"), -1);
}

TEST(ValueErrors, StandardTexts) {
  EXPECT_EQ(StandardErrorText(5), u"Invalid procedure call or argument");
  EXPECT_EQ(StandardErrorText(9), u"Subscript out of range");
  EXPECT_EQ(StandardErrorText(13), u"Type mismatch");
  EXPECT_EQ(StandardErrorText(94), u"Invalid use of Null");
  EXPECT_EQ(StandardErrorText(450), u"Wrong number of arguments or invalid property assignment");
  EXPECT_EQ(StandardErrorText(1002), u"Syntax error");
  EXPECT_EQ(StandardErrorText(1025), u"Expected end of statement");
  EXPECT_EQ(StandardErrorText(1041), u"Name redefined");
  EXPECT_EQ(StandardErrorText(32811), u"Element not found");
  EXPECT_EQ(StandardErrorText(12345), u"Unknown runtime error");
  EXPECT_EQ(ScriptError(kErrDivisionByZero).Text(), u"Division by zero");
  // The hosts' own errors have their text when raised, but Err.Raise of
  // their numbers keeps the runtime's answer.
  EXPECT_EQ(ScriptError(kErrInvalidPropertyValue).Text(), u"Invalid property value");
  EXPECT_EQ(ScriptError(kErrInterrupted).Text(), u"User interrupt occurred");
  EXPECT_EQ(StandardErrorText(kErrInvalidPropertyValue), u"Unknown runtime error");
}

TEST(ValueVariant, SizeAndTagAfterSetters) {
  static_assert(sizeof(Variant) == 16);
  Variant v = Variant::FromString(u"x");
  v.SetDouble(1.5);
  EXPECT_EQ(v.type(), vbDouble);
  v.SetInteger(-2);
  EXPECT_EQ(ToText(v), u"-2");
  v = Variant::FromUtf8("日本");
  EXPECT_EQ(v.str().size(), 2u);
  Variant target = Variant::FromLong(1);
  Variant ref = Variant::RefTo(&target);
  EXPECT_EQ(ToLong(ref), 1);
  EXPECT_EQ(OpAdd(ref, Variant::FromLong(1)).longVal(), 2);
}

}  // namespace
}  // namespace vbs
