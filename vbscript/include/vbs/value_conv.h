#pragma once
// Conversions and type inspection with VBScript's rules (CStr, CLng, ...).
// Each throws ScriptError: 13 Type mismatch, 6 Overflow, 94 Invalid use of
// Null. Objects are converted through their default value.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vbs/variant.h"

namespace vbs {

// Banker's rounding (half to even), as CInt/CLng and "\"/Mod use it.
double RoundHalfEven(double v);

// Text -> number as VBScript reads it: blanks around, sign, digits with
// optional "," group separators, decimal point, exponent, or &H/&O
// integers. nullopt when the text is not numeric (including "").
std::optional<double> ParseNumber(std::u16string_view text);

std::u16string ToText(const Variant& v);   // CStr
Variant CStrVariant(const Variant& v);     // CStr, reusing the string when it is one
bool ToBool(const Variant& v);             // CBool ("True"/"False" or numeric text)
uint8_t ToByte(const Variant& v);          // CByte
int16_t ToInteger(const Variant& v);       // CInt
int32_t ToLong(const Variant& v);          // CLng
float ToSingle(const Variant& v);          // CSng
double ToDouble(const Variant& v);         // CDbl
int64_t ToCurrencyScaled(const Variant& v);  // CCur, scaled by 10000
double ToDate(const Variant& v);           // CDate (serial)
// The number a value stands for in arithmetic: Empty 0, Boolean -1/0,
// numeric strings as Double. Throws 13 for non-numeric, 94 for Null.
double ToNumber(const Variant& v);

// Converting Variant forms (the built-in functions' results).
Variant ConvertTo(const Variant& v, VarType type);  // vbBoolean, vbByte, ... vbString

// Number -> text as CStr writes it.
std::u16string DoubleToText(double v);
std::u16string SingleToText(float v);
std::u16string CurrencyToText(int64_t scaled);

bool IsNumericValue(const Variant& v);
bool IsDateValue(const Variant& v);        // IsDate
int VarTypeOf(const Variant& v);           // VarType (arrays: vbArray + vbVariant)
std::u16string TypeNameOf(const Variant& v);  // TypeName ("Variant()" for arrays)

// Narrow-string helper for messages and tests.
std::u16string U16(std::string_view ascii);

}  // namespace vbs
