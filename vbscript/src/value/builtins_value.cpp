// The conversion and type functions of the language, registered as
// built-ins: CStr ... CDate, TypeName, VarType, the Is* tests, Array,
// UBound and LBound, and the VarType constants.
#include "vbs/builtin.h"
#include "vbs/value_conv.h"

namespace vbs {

namespace {

Variant Conv(Args& a, VarType t) {
  const Variant& v = a[0];
  if (v.IsNull()) {
    Raise(kErrInvalidNull);
  }
  return ConvertTo(v, t);
}

Variant FnCStr(Context&, Args& a) { return Conv(a, vbString); }
Variant FnCBool(Context&, Args& a) { return Conv(a, vbBoolean); }
Variant FnCByte(Context&, Args& a) { return Conv(a, vbByte); }
Variant FnCInt(Context&, Args& a) { return Conv(a, vbInteger); }
Variant FnCLng(Context&, Args& a) { return Conv(a, vbLong); }
Variant FnCSng(Context&, Args& a) { return Conv(a, vbSingle); }
Variant FnCDbl(Context&, Args& a) { return Conv(a, vbDouble); }
Variant FnCCur(Context&, Args& a) { return Conv(a, vbCurrency); }
Variant FnCDate(Context&, Args& a) { return Conv(a, vbDate); }

Variant FnTypeName(Context&, Args& a) { return Variant::FromString(TypeNameOf(a[0])); }
Variant FnVarType(Context&, Args& a) { return Variant::FromInteger(int16_t(VarTypeOf(a[0]))); }
Variant FnIsEmpty(Context&, Args& a) { return Variant::FromBool(a[0].IsEmpty()); }
Variant FnIsNull(Context&, Args& a) { return Variant::FromBool(a[0].IsNull()); }
Variant FnIsNumeric(Context&, Args& a) { return Variant::FromBool(IsNumericValue(a[0])); }
Variant FnIsArray(Context&, Args& a) { return Variant::FromBool(a[0].IsArray()); }
Variant FnIsObject(Context&, Args& a) { return Variant::FromBool(a[0].IsObject()); }
Variant FnIsDate(Context&, Args& a) { return Variant::FromBool(IsDateValue(a[0])); }

Variant FnArray(Context&, Args& a) {
  std::vector<Variant> items;
  items.reserve(size_t(a.size()));
  for (int i = 0; i < a.size(); ++i) items.push_back(a[i]);
  return Variant::FromArray(Array::FromValues(std::move(items)));
}

Variant Bound(Args& a, bool upper) {
  const Variant& v = a[0];
  if (!v.IsArray()) Raise(kErrTypeMismatch);
  int dim = a.Missing(1) ? 1 : ToLong(a[1]);
  const Array* arr = v.array();
  return Variant::FromLong(upper ? arr->UBound(dim) : arr->LBound(dim));
}
Variant FnUBound(Context&, Args& a) { return Bound(a, true); }
Variant FnLBound(Context&, Args& a) { return Bound(a, false); }

}  // namespace

void RegisterValueBuiltins() {
  static const BuiltinDef kDefs[] = {
      {"CStr", 1, 1, FnCStr},         {"CBool", 1, 1, FnCBool},       {"CByte", 1, 1, FnCByte},
      {"CInt", 1, 1, FnCInt},         {"CLng", 1, 1, FnCLng},         {"CSng", 1, 1, FnCSng},
      {"CDbl", 1, 1, FnCDbl},         {"CCur", 1, 1, FnCCur},         {"CDate", 1, 1, FnCDate},
      {"TypeName", 1, 1, FnTypeName}, {"VarType", 1, 1, FnVarType},   {"IsEmpty", 1, 1, FnIsEmpty},
      {"IsNull", 1, 1, FnIsNull},     {"IsNumeric", 1, 1, FnIsNumeric}, {"IsArray", 1, 1, FnIsArray},
      {"IsObject", 1, 1, FnIsObject}, {"IsDate", 1, 1, FnIsDate},     {"Array", 0, -1, FnArray},
      {"UBound", 1, 2, FnUBound},     {"LBound", 1, 2, FnLBound},
  };
  RegisterBuiltins(kDefs, sizeof(kDefs) / sizeof(kDefs[0]));

  static const ConstDef kConsts[] = {
      {"vbEmpty", Variant::FromInteger(vbEmpty)},     {"vbNull", Variant::FromInteger(vbNull)},
      {"vbInteger", Variant::FromInteger(vbInteger)}, {"vbLong", Variant::FromInteger(vbLong)},
      {"vbSingle", Variant::FromInteger(vbSingle)},   {"vbDouble", Variant::FromInteger(vbDouble)},
      {"vbCurrency", Variant::FromInteger(vbCurrency)}, {"vbDate", Variant::FromInteger(vbDate)},
      {"vbString", Variant::FromInteger(vbString)},   {"vbObject", Variant::FromInteger(vbObject)},
      {"vbError", Variant::FromInteger(vbError)},     {"vbBoolean", Variant::FromInteger(vbBoolean)},
      {"vbVariant", Variant::FromInteger(vbVariant)}, {"vbDataObject", Variant::FromInteger(vbDataObject)},
      {"vbByte", Variant::FromInteger(vbByte)},       {"vbArray", Variant::FromInteger(int16_t(vbArray))},
  };
  RegisterConstants(kConsts, sizeof(kConsts) / sizeof(kConsts[0]));
}

}  // namespace vbs
