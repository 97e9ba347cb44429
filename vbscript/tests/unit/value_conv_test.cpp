// Conversions (CStr, CInt, ... CDate), text to number, type inspection.
#include <gtest/gtest.h>

#include <functional>

#include "vbs/datetime.h"
#include "vbs/object.h"
#include "vbs/value_conv.h"
#include "test_support.h"

namespace vbs {
namespace {

using vbs::unittest::ErrorOf;

std::string A(const std::u16string& s) { return std::string(s.begin(), s.end()); }
std::string Text(const Variant& v) { return A(ToText(v)); }
Variant S(const char16_t* s) { return Variant::FromString(s); }

TEST(ValueText, CStrOfEachSubtype) {
  EXPECT_EQ(Text(Variant()), "");
  EXPECT_EQ(Text(Variant::FromBool(true)), "True");
  EXPECT_EQ(Text(Variant::FromBool(false)), "False");
  EXPECT_EQ(Text(Variant::FromByte(255)), "255");
  EXPECT_EQ(Text(Variant::FromInteger(-32768)), "-32768");
  EXPECT_EQ(Text(Variant::FromLong(INT32_MIN)), "-2147483648");
  EXPECT_EQ(Text(Variant::FromDouble(0.1 + 0.2)), "0.3");
  EXPECT_EQ(Text(Variant::FromDouble(1e20)), "1E+20");
  EXPECT_EQ(Text(Variant::FromDouble(-1.5e-7)), "-1.5E-07");
  EXPECT_EQ(Text(Variant::FromSingle(0.1f)), "0.1");
  EXPECT_EQ(Text(Variant::FromSingle(1.0f / 3)), "0.3333333");
  EXPECT_EQ(Text(Variant::FromCurrencyScaled(12345)), "1.2345");
  EXPECT_EQ(Text(Variant::FromCurrencyScaled(-15000)), "-1.5");
  EXPECT_EQ(Text(Variant::FromCurrencyScaled(INT64_MAX)), "922337203685477.5807");
  EXPECT_EQ(Text(Variant::FromCurrencyScaled(INT64_MIN)), "-922337203685477.5808");
  EXPECT_EQ(ErrorOf([] { ToText(Variant::Null()); }), 94);
  // The text of a string variant is shared, not copied.
  Variant s = S(u"shared");
  Variant c = CStrVariant(s);
  EXPECT_EQ(c.string(), s.string());
}

TEST(ValueText, ParseNumberForms) {
  EXPECT_EQ(ParseNumber(u"  12  "), 12.0);
  EXPECT_EQ(ParseNumber(u"-1.5e3"), -1500.0);
  EXPECT_EQ(ParseNumber(u"1E3"), 1000.0);
  EXPECT_EQ(ParseNumber(u".5"), 0.5);
  EXPECT_EQ(ParseNumber(u"10."), 10.0);
  EXPECT_EQ(ParseNumber(u"+7"), 7.0);
  EXPECT_EQ(ParseNumber(u"1,000"), 1000.0);
  EXPECT_EQ(ParseNumber(u"&HFF"), 255.0);
  EXPECT_EQ(ParseNumber(u"&hFFFF"), 65535.0);
  EXPECT_EQ(ParseNumber(u"&HFFFFFFFF"), -1.0);
  EXPECT_EQ(ParseNumber(u"&O17"), 15.0);
  EXPECT_EQ(ParseNumber(u"- 7"), -7.0);
  EXPECT_EQ(ParseNumber(u"7-"), -7.0);
  EXPECT_EQ(ParseNumber(u" (7) "), -7.0);
  EXPECT_EQ(ParseNumber(u"$5"), 5.0);
  for (const char16_t* bad : {u"", u"   ", u"12abc", u"abc", u".", u"1e", u"&H", u"&HG", u"&O8", u"1 2",
                              u"-", u",5", u"&H100000000",
                              u"1d2", u"-(7)", u"-7-", u"()"})
    EXPECT_FALSE(ParseNumber(bad).has_value()) << A(bad);
}

TEST(ValueConvert, RoundingIsHalfEven) {
  EXPECT_EQ(ToInteger(Variant::FromDouble(2.5)), 2);
  EXPECT_EQ(ToInteger(Variant::FromDouble(3.5)), 4);
  EXPECT_EQ(ToInteger(Variant::FromDouble(-2.5)), -2);
  EXPECT_EQ(ToInteger(Variant::FromDouble(2.6)), 3);
  EXPECT_EQ(ToLong(Variant::FromDouble(0.5)), 0);
  EXPECT_EQ(ToLong(Variant::FromDouble(1.5)), 2);
  EXPECT_EQ(ToByte(Variant::FromDouble(254.5)), 254);
  // 0.00015 as a double lies just below the half.
  EXPECT_EQ(ToCurrencyScaled(Variant::FromDouble(0.00015)), 1);
  EXPECT_EQ(ToCurrencyScaled(Variant::FromDouble(1.23456)), 12346);
  // Large amounts keep every digit of their whole part.
  EXPECT_EQ(ToCurrencyScaled(Variant::FromDouble(-922337203685477.0)), -9223372036854770000);
  EXPECT_EQ(ToCurrencyScaled(Variant::FromString(u"123456789012.5")), 1234567890125000);
  EXPECT_EQ(ToLong(S(u" 42 ")), 42);
  EXPECT_EQ(ToLong(Variant::FromBool(true)), -1);
  EXPECT_EQ(ToLong(Variant()), 0);
}

TEST(ValueConvert, RangeAndTypeErrors) {
  EXPECT_EQ(ErrorOf([] { ToInteger(Variant::FromLong(32768)); }), 6);
  EXPECT_EQ(ErrorOf([] { ToInteger(Variant::FromDouble(-32768.6)); }), 6);
  EXPECT_EQ(ToInteger(Variant::FromDouble(-32768.4)), -32768);
  EXPECT_EQ(ErrorOf([] { ToByte(Variant::FromInteger(-1)); }), 6);
  EXPECT_EQ(ErrorOf([] { ToByte(Variant::FromInteger(256)); }), 6);
  EXPECT_EQ(ErrorOf([] { ToLong(Variant::FromDouble(2147483647.5)); }), 6);
  EXPECT_EQ(ErrorOf([] { ToSingle(Variant::FromDouble(1e39)); }), 6);
  EXPECT_EQ(ErrorOf([] { ToCurrencyScaled(Variant::FromDouble(1e15)); }), 6);
  EXPECT_EQ(ErrorOf([] { ToDouble(S(u"")); }), 13);
  EXPECT_EQ(ErrorOf([] { ToDouble(S(u"12abc")); }), 13);
  EXPECT_EQ(ErrorOf([] { ToDouble(S(u"1e999")); }), 6);
  EXPECT_EQ(ErrorOf([] { ToLong(Variant::Null()); }), 94);
  EXPECT_EQ(ErrorOf([] { ToLong(Variant::FromArray(Array::Create1(1))); }), 13);
  EXPECT_EQ(ErrorOf([] { ToLong(Variant::Nothing()); }), 91);
}

TEST(ValueConvert, BooleanConversion) {
  EXPECT_TRUE(ToBool(S(u"TRUE")));
  EXPECT_FALSE(ToBool(S(u" false ")));
  EXPECT_TRUE(ToBool(S(u"0.1")));
  EXPECT_FALSE(ToBool(S(u"0")));
  EXPECT_TRUE(ToBool(Variant::FromDouble(-0.4)));
  EXPECT_FALSE(ToBool(Variant()));
  EXPECT_EQ(ErrorOf([] { ToBool(S(u"yes")); }), 13);
  EXPECT_EQ(ErrorOf([] { ToBool(Variant::Null()); }), 94);
}

TEST(ValueConvert, ConvertToGivesTheSubtype) {
  EXPECT_EQ(ConvertTo(S(u"3.7"), vbInteger).intVal(), 4);
  EXPECT_EQ(ConvertTo(S(u"3.7"), vbDouble).doubleVal(), 3.7);
  EXPECT_EQ(ConvertTo(Variant::FromLong(7), vbString).str(), u"7");
  EXPECT_EQ(ConvertTo(Variant::FromInteger(2), vbCurrency).currencyScaled(), 20000);
  EXPECT_EQ(ConvertTo(S(u"1/2/2020"), vbDate).type(), vbDate);
  EXPECT_EQ(ConvertTo(Variant::FromBool(true), vbDate).dateVal(), -1.0);
  EXPECT_EQ(ConvertTo(S(u"-1.5"), vbDate).dateVal(), -1.5);  // a number, not a date
  EXPECT_EQ(ErrorOf([] { ConvertTo(S(u"1e999"), vbBoolean); }), 6);
  EXPECT_EQ(ErrorOf([] { ConvertTo(S(u"not a date"), vbDate); }), 13);
  EXPECT_EQ(ErrorOf([] { ConvertTo(Variant::FromDouble(1e10), vbDate); }), 6);
}

TEST(ValueInspect, IsNumericAndIsDate) {
  EXPECT_TRUE(IsNumericValue(Variant()));
  EXPECT_TRUE(IsNumericValue(Variant::FromBool(false)));
  EXPECT_TRUE(IsNumericValue(S(u" 1e3 ")));
  EXPECT_TRUE(IsNumericValue(S(u"&H10")));
  EXPECT_FALSE(IsNumericValue(S(u"")));
  EXPECT_FALSE(IsNumericValue(S(u"12abc")));
  EXPECT_FALSE(IsNumericValue(Variant::Null()));
  EXPECT_FALSE(IsNumericValue(Variant::FromDate(1)));
  EXPECT_FALSE(IsNumericValue(Variant::Nothing()));
  EXPECT_TRUE(IsDateValue(S(u"2020-01-05")));
  EXPECT_TRUE(IsDateValue(Variant::FromDate(0)));
  EXPECT_FALSE(IsDateValue(S(u"13/13/2020")));
  EXPECT_FALSE(IsDateValue(Variant::FromLong(5)));
}

class Thing : public HostObject {
 public:
  explicit Thing(Variant dflt) : dflt_(std::move(dflt)) {}
  int FindMember(std::u16string_view name) const override { return NameEquals(name, "Value") ? 0 : -1; }
  void Invoke(int member, InvokeKind kind, Args&, Variant& result) override {
    if (member != 0 || kind == InvokeKind::PropertyLet) Raise(kErrNoSuchMember);
    result = dflt_;
  }
  std::u16string TypeName() const override { return u"Thing"; }

 private:
  Variant dflt_;
};

TEST(ValueInspect, TypeNameVarTypeAndDefaultMembers) {
  EXPECT_EQ(A(TypeNameOf(Variant())), "Empty");
  EXPECT_EQ(A(TypeNameOf(Variant::Null())), "Null");
  EXPECT_EQ(A(TypeNameOf(Variant::FromCurrencyScaled(1))), "Currency");
  EXPECT_EQ(A(TypeNameOf(Variant::Nothing())), "Nothing");
  EXPECT_EQ(A(TypeNameOf(Variant::FromArray(Array::Create1(2)))), "Variant()");
  EXPECT_EQ(VarTypeOf(Variant::FromArray(Array::Create1(2))), 8204);
  EXPECT_EQ(VarTypeOf(Variant::FromByte(1)), 17);
  EXPECT_EQ(VarTypeOf(Variant::Nothing()), 9);

  Ref<Thing> t = MakeRef<Thing>(Variant::FromDouble(2.5));
  Variant obj = Variant::FromObject(t.get());
  EXPECT_EQ(A(TypeNameOf(obj)), "Thing");
  // Conversions read an object through its default member.
  EXPECT_EQ(Text(obj), "2.5");
  EXPECT_EQ(ToLong(obj), 2);
  EXPECT_TRUE(IsNumericValue(obj));
  EXPECT_EQ(VarTypeOf(obj), 9);
}

}  // namespace
}  // namespace vbs
