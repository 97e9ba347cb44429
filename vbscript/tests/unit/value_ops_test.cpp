// Operator typing, promotion and the Null/Empty rules.
#include <gtest/gtest.h>

#include <functional>

#include "vbs/value_conv.h"
#include "vbs/value_ops.h"
#include "test_support.h"

namespace vbs {
namespace {

Variant I(int16_t v) { return Variant::FromInteger(v); }
Variant L(int32_t v) { return Variant::FromLong(v); }
Variant D(double v) { return Variant::FromDouble(v); }
Variant S(const char16_t* s) { return Variant::FromString(s); }
Variant B(bool v) { return Variant::FromBool(v); }
Variant By(uint8_t v) { return Variant::FromByte(v); }
Variant Cur(double v) { return Variant::FromCurrencyScaled(int64_t(v * 10000)); }

using vbs::unittest::ErrorOf;

// Type and value of a result in one comparable string, e.g. "Integer 5".
std::string Show(const Variant& v) {
  std::u16string t = TypeNameOf(v);
  std::u16string x = v.IsNull() ? u"" : ToText(v);
  std::string r(t.begin(), t.end());
  if (!x.empty()) r += " " + std::string(x.begin(), x.end());
  return r;
}

TEST(ValueArithmetic, IntegerTypesPromoteOnOverflow) {
  EXPECT_EQ(Show(OpAdd(I(2), I(3))), "Integer 5");
  EXPECT_EQ(Show(OpAdd(I(32767), I(1))), "Long 32768");
  EXPECT_EQ(Show(OpMul(I(300), I(300))), "Long 90000");
  EXPECT_EQ(Show(OpSub(I(-32768), I(1))), "Long -32769");
  EXPECT_EQ(Show(OpAdd(L(2147483647), L(1))), "Double 2147483648");
  EXPECT_EQ(Show(OpMul(L(65536), L(65536))), "Double 4294967296");
  EXPECT_EQ(Show(OpAdd(I(1), L(1))), "Long 2");
  EXPECT_EQ(Show(OpAdd(By(200), By(55))), "Byte 255");
  EXPECT_EQ(Show(OpAdd(By(200), By(56))), "Integer 256");
  EXPECT_EQ(Show(OpSub(By(1), By(2))), "Integer -1");
  EXPECT_EQ(Show(OpAdd(By(1), I(1))), "Integer 2");
}

TEST(ValueArithmetic, BooleanEmptyAndStrings) {
  EXPECT_EQ(Show(OpAdd(B(true), B(true))), "Integer -2");
  EXPECT_EQ(Show(OpAdd(B(true), L(5))), "Long 4");
  EXPECT_EQ(Show(OpAdd(Variant(), Variant())), "Integer 0");
  EXPECT_EQ(Show(OpAdd(Variant(), L(7))), "Long 7");
  EXPECT_EQ(Show(OpAdd(B(true), Variant())), "Integer -1");
  EXPECT_EQ(Show(OpAdd(Variant(), By(3))), "Byte 3");
  EXPECT_EQ(Show(OpAdd(Variant(), Variant::FromDate(1))), "Date 12/31/1899");
  EXPECT_EQ(Show(OpSub(Variant(), B(true))), "Integer 1");
  EXPECT_EQ(Show(OpSub(Variant(), D(1.5))), "Double -1.5");
  // "+" of two strings joins them; string and number add numerically.
  EXPECT_EQ(Show(OpAdd(S(u"1"), S(u"2"))), "String 12");
  EXPECT_EQ(Show(OpAdd(S(u"1"), I(2))), "Double 3");
  EXPECT_EQ(Show(OpAdd(S(u"ab"), Variant())), "String ab");
  EXPECT_EQ(Show(OpMul(S(u" 2 "), S(u"3"))), "Double 6");
  EXPECT_EQ(ErrorOf([] { OpAdd(S(u"abc"), I(1)); }), 13);
  EXPECT_EQ(ErrorOf([] { OpSub(S(u"1"), S(u"x")); }), 13);
}

TEST(ValueArithmetic, NullPropagates) {
  for (auto op : {OpAdd, OpSub, OpMul, OpDiv, OpIntDiv, OpMod, OpPow}) {
    EXPECT_TRUE(op(Variant::Null(), I(1)).IsNull());
    EXPECT_TRUE(op(S(u"x"), Variant::Null()).IsNull());
  }
  EXPECT_TRUE(OpNeg(Variant::Null()).IsNull());
}

TEST(ValueArithmetic, FloatingAndCurrency) {
  EXPECT_EQ(Show(OpAdd(D(0.1), D(0.2))), "Double 0.3");
  EXPECT_EQ(Show(OpAdd(Variant::FromSingle(1.5f), I(1))), "Single 2.5");
  // Single with Long widens to Double.
  EXPECT_EQ(Show(OpAdd(Variant::FromSingle(1.5f), L(1))), "Double 2.5");
  EXPECT_EQ(Show(OpAdd(Cur(1.25), I(2))), "Currency 3.25");
  EXPECT_EQ(Show(OpMul(Cur(1.5), Cur(1.5))), "Currency 2.25");
  EXPECT_EQ(Show(OpAdd(Cur(0.5), D(0.25))), "Currency 0.75");
  EXPECT_EQ(Show(OpMul(Cur(0.5), D(0.25))), "Double 0.125");
  EXPECT_EQ(Show(OpDiv(Cur(1), I(4))), "Double 0.25");
  EXPECT_EQ(ErrorOf([] { OpMul(D(1e308), D(10)); }), 6);
  EXPECT_EQ(ErrorOf([] { OpAdd(Cur(9e14), Cur(9e14)); }), 6);
}

TEST(ValueArithmetic, DateArithmeticKeepsDate) {
  Variant d = Variant::FromDate(43831);  // 1/1/2020
  EXPECT_EQ(Show(OpAdd(d, I(1))), "Date 1/2/2020");
  EXPECT_EQ(Show(OpSub(d, I(1))), "Date 12/31/2019");
  EXPECT_EQ(Show(OpSub(d, Variant::FromDate(43830))), "Double 1");
  EXPECT_EQ(Show(OpMul(d, I(1))), "Double 43831");
}

TEST(ValueArithmetic, Division) {
  EXPECT_EQ(Show(OpDiv(I(1), I(2))), "Double 0.5");
  EXPECT_EQ(Show(OpDiv(I(4), I(2))), "Double 2");
  EXPECT_EQ(Show(OpDiv(D(1), D(4))), "Double 0.25");
  EXPECT_EQ(ErrorOf([] { OpDiv(I(1), I(0)); }), 11);
  EXPECT_EQ(ErrorOf([] { OpDiv(D(1), D(0)); }), 11);
  EXPECT_EQ(ErrorOf([] { OpDiv(I(0), Variant()); }), 6);
}

TEST(ValueArithmetic, IntegerDivisionAndModRoundHalfEven) {
  EXPECT_EQ(Show(OpIntDiv(I(7), I(2))), "Integer 3");
  EXPECT_EQ(Show(OpIntDiv(I(-7), I(2))), "Integer -3");
  EXPECT_EQ(Show(OpIntDiv(D(7), I(2))), "Long 3");
  // 2.5 rounds to 2, 3.5 to 4.
  EXPECT_EQ(Show(OpIntDiv(D(10), D(2.5))), "Long 5");
  EXPECT_EQ(Show(OpIntDiv(D(10), D(3.5))), "Long 2");
  EXPECT_EQ(Show(OpMod(I(10), I(3))), "Integer 1");
  EXPECT_EQ(Show(OpMod(I(-10), I(3))), "Integer -1");
  EXPECT_EQ(Show(OpMod(D(5.5), I(4))), "Long 2");  // 5.5 -> 6
  EXPECT_EQ(Show(OpMod(D(4.5), I(3))), "Long 1");  // 4.5 -> 4
  EXPECT_EQ(Show(OpIntDiv(By(9), By(2))), "Byte 4");
  EXPECT_EQ(Show(OpIntDiv(Variant(), By(2))), "Integer 0");
  EXPECT_EQ(ErrorOf([] { OpIntDiv(I(1), D(0.4)); }), 11);
  EXPECT_EQ(ErrorOf([] { OpMod(I(1), I(0)); }), 11);
  EXPECT_EQ(ErrorOf([] { OpIntDiv(D(3e9), I(1)); }), 6);
  EXPECT_EQ(ErrorOf([] { OpIntDiv(L(INT32_MIN), L(-1)); }), 6);
}

TEST(ValueArithmetic, PowerAndNegation) {
  EXPECT_EQ(Show(OpPow(I(2), I(10))), "Double 1024");
  EXPECT_EQ(Show(OpPow(I(-3), I(2))), "Double 9");
  EXPECT_EQ(Show(OpPow(I(4), D(0.5))), "Double 2");
  EXPECT_EQ(ErrorOf([] { OpPow(I(-8), D(1.0 / 3)); }), 5);
  EXPECT_EQ(ErrorOf([] { OpPow(D(10), I(400)); }), 6);
  EXPECT_EQ(Show(OpNeg(I(-32768))), "Long 32768");
  EXPECT_EQ(Show(OpNeg(L(INT32_MIN))), "Double 2147483648");
  EXPECT_EQ(Show(OpNeg(B(true))), "Integer 1");
  EXPECT_EQ(Show(OpNeg(By(5))), "Integer -5");
  EXPECT_EQ(Show(OpNeg(Variant())), "Integer 0");
  EXPECT_EQ(Show(OpNeg(S(u"2.5"))), "Double -2.5");
  EXPECT_EQ(Show(OpNeg(Cur(1.5))), "Currency -1.5");
}

TEST(ValueConcat, NullEmptyAndNumbers) {
  EXPECT_EQ(Show(OpConcat(S(u"a"), Variant::Null())), "String a");
  EXPECT_EQ(Show(OpConcat(Variant(), Variant())), "String");
  EXPECT_TRUE(OpConcat(Variant::Null(), Variant::Null()).IsNull());
  EXPECT_EQ(Show(OpConcat(I(1), D(0.5))), "String 10.5");
  EXPECT_EQ(Show(OpConcat(B(true), Variant::FromSingle(0.1f))), "String True0.1");
  EXPECT_EQ(Show(OpConcat(S(u"x"), Variant::FromDate(43831.5))), "String x1/1/2020 12:00:00 PM");
}

// A string of one byte (as ChrB makes) joins byte by byte, low byte first.
Variant OneByte(char16_t b) {
  String* s = String::Make(std::u16string(1, b));
  s->SetOddByte(true);
  return Variant::FromString(s);
}

TEST(ValueConcat, OddByteStringsJoinBytewise) {
  const Variant ab = OpConcat(OneByte(0x41), OneByte(0x42));
  EXPECT_EQ(ab.str(), u"\u4241");
  EXPECT_EQ(ab.string()->byteSize(), 2u);
  const Variant abc = OpConcat(ab, OneByte(0x43));
  EXPECT_EQ(abc.string()->byteSize(), 3u);
  EXPECT_EQ(abc.str(), u"\u4241\u0043");
  // Ordinary text after an odd byte shifts by one byte.
  const Variant ax = OpConcat(OneByte(0x41), S(u"\u3042"));
  EXPECT_EQ(ax.str(), u"\u4241\u0030");
  EXPECT_EQ(ax.string()->byteSize(), 3u);
  EXPECT_EQ(OpConcat(I(7), OneByte(0x41)).string()->byteSize(), 3u);
  EXPECT_FALSE(OpConcat(S(u"a"), S(u"b")).string()->oddByte());

  // x = x & b: the in-place append must not lose the odd byte.
  Variant t = OneByte(0x01);
  ConcatAssign(t, OneByte(0x02));
  ConcatAssign(t, OneByte(0x03));
  EXPECT_EQ(t.string()->byteSize(), 3u);
  EXPECT_EQ(t.str(), u"\u0201\u0003");
  Variant u = S(u"ab");
  ConcatAssign(u, OneByte(0x43));
  EXPECT_EQ(u.string()->byteSize(), 5u);
  EXPECT_EQ(u.str(), u"ab\u0043");
}

TEST(ValueCompare, NumbersStringsAndEmpty) {
  EXPECT_EQ(Compare(I(1), D(1.0)), CmpResult::Equal);
  EXPECT_EQ(Compare(L(2), I(10)), CmpResult::Less);
  EXPECT_EQ(Compare(B(true), I(-1)), CmpResult::Equal);
  EXPECT_EQ(Compare(Cur(1.5), D(1.5)), CmpResult::Equal);
  EXPECT_EQ(Compare(S(u"abc"), S(u"abd")), CmpResult::Less);
  EXPECT_EQ(Compare(S(u"B"), S(u"a")), CmpResult::Less);  // code unit order
  EXPECT_EQ(Compare(S(u"B"), S(u"a"), CompareMode::Text), CmpResult::Greater);
  EXPECT_EQ(Compare(S(u"ABC"), S(u"abc"), CompareMode::Text), CmpResult::Equal);
  EXPECT_EQ(Compare(S(u"ab"), S(u"abc")), CmpResult::Less);
  // A number is less than any string, even a numeric one.
  EXPECT_EQ(Compare(I(100), S(u"1")), CmpResult::Less);
  EXPECT_EQ(Compare(S(u"10"), I(10)), CmpResult::Greater);
  EXPECT_EQ(Compare(Variant(), I(0)), CmpResult::Equal);
  EXPECT_EQ(Compare(Variant(), I(-1)), CmpResult::Greater);
  EXPECT_EQ(Compare(Variant(), S(u"")), CmpResult::Equal);
  EXPECT_EQ(Compare(S(u"a"), Variant()), CmpResult::Greater);
  EXPECT_EQ(Compare(Variant(), Variant()), CmpResult::Equal);
  EXPECT_EQ(Compare(Variant::Null(), Variant::Null()), CmpResult::Null);
  EXPECT_EQ(Compare(I(1), Variant::Null()), CmpResult::Null);
}

TEST(ValueCompare, OperatorsGiveBooleanOrNull) {
  EXPECT_EQ(Show(OpEq(I(1), L(1))), "Boolean True");
  EXPECT_EQ(Show(OpNe(I(1), L(1))), "Boolean False");
  EXPECT_EQ(Show(OpLt(D(1.5), I(2))), "Boolean True");
  EXPECT_EQ(Show(OpGe(S(u"b"), S(u"a"))), "Boolean True");
  EXPECT_EQ(Show(OpLe(I(3), I(2))), "Boolean False");
  EXPECT_EQ(Show(OpGt(I(3), I(2))), "Boolean True");
  EXPECT_TRUE(OpEq(Variant::Null(), I(1)).IsNull());
}

TEST(ValueLogic, BitwiseTyping) {
  EXPECT_EQ(Show(OpAnd(B(true), B(false))), "Boolean False");
  EXPECT_EQ(Show(OpOr(B(true), B(false))), "Boolean True");
  EXPECT_EQ(Show(OpAnd(I(12), I(10))), "Integer 8");
  EXPECT_EQ(Show(OpOr(I(12), L(3))), "Long 15");
  EXPECT_EQ(Show(OpXor(I(12), I(10))), "Integer 6");
  EXPECT_EQ(Show(OpAnd(B(true), I(6))), "Integer 6");
  EXPECT_EQ(Show(OpAnd(By(255), By(15))), "Byte 15");
  EXPECT_EQ(Show(OpNot(B(true))), "Boolean False");
  EXPECT_EQ(Show(OpNot(I(0))), "Integer -1");
  EXPECT_EQ(Show(OpNot(By(0))), "Byte 255");
  EXPECT_EQ(Show(OpNot(Variant())), "Integer -1");
  EXPECT_EQ(Show(OpNot(L(5))), "Long -6");
  EXPECT_EQ(Show(OpEqv(B(true), B(true))), "Boolean True");
  EXPECT_EQ(Show(OpImp(B(true), B(false))), "Boolean False");
  EXPECT_EQ(Show(OpImp(B(false), B(false))), "Boolean True");
  EXPECT_EQ(Show(OpAnd(D(6.5), I(3))), "Long 2");  // 6.5 -> 6
  EXPECT_EQ(Show(OpAnd(S(u"3"), I(1))), "Long 1");
  EXPECT_EQ(Show(OpAnd(S(u"true"), B(true))), "Boolean True");
  EXPECT_EQ(Show(OpXor(Variant(), By(200))), "Integer 200");
  EXPECT_EQ(Show(OpNot(S(u"3"))), "Long -4");
  EXPECT_EQ(ErrorOf([] { OpAnd(S(u"x"), I(1)); }), 13);
}

TEST(ValueLogic, ThreeValuedWithNull) {
  Variant n = Variant::Null();
  EXPECT_EQ(Show(OpAnd(n, B(false))), "Boolean False");
  EXPECT_TRUE(OpAnd(n, B(true)).IsNull());
  EXPECT_EQ(Show(OpOr(n, B(true))), "Boolean True");
  EXPECT_TRUE(OpOr(B(false), n).IsNull());
  EXPECT_EQ(Show(OpAnd(I(0), n)), "Integer 0");
  EXPECT_TRUE(OpXor(n, B(true)).IsNull());
  EXPECT_TRUE(OpEqv(B(false), n).IsNull());
  EXPECT_TRUE(OpNot(n).IsNull());
  EXPECT_EQ(Show(OpImp(B(false), n)), "Boolean True");
  EXPECT_EQ(Show(OpImp(n, B(true))), "Boolean True");
  EXPECT_TRUE(OpImp(B(true), n).IsNull());
  EXPECT_TRUE(OpImp(n, B(false)).IsNull());
}

TEST(ValueLogic, ConditionTruth) {
  EXPECT_TRUE(IsTrue(I(2)));
  EXPECT_FALSE(IsTrue(Variant()));
  EXPECT_FALSE(IsTrue(Variant::Null()));
  EXPECT_TRUE(IsTrue(S(u"true")));
  EXPECT_TRUE(IsTrue(S(u"-1")));
  EXPECT_FALSE(IsTrue(D(0.0)));
  EXPECT_EQ(ErrorOf([] { IsTrue(S(u"maybe")); }), 13);
}

}  // namespace
}  // namespace vbs
