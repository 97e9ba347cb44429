#pragma once
// Shared helpers for binding library functions to the engine: argument
// reading with the script's conversion rules.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "lib/objbase.h"
#include "lib/textalgo.h"
#include "vbs/builtin.h"
#include "vbs/object.h"
#include "vbs/value_conv.h"
#include "vbs/value_ops.h"
#include "vbs/variant.h"

namespace vbs::lib {

// An argument with omitted optional arguments and Empty told apart.
inline bool Has(const Args& a, int i) { return !a.Missing(i); }

inline bool IsNullArg(const Args& a, int i) { return Has(a, i) && a[i].IsNull(); }

// A value that may be an object: its default value, else itself.
inline Variant Plain(Context& ctx, const Variant& v) { return v.IsObject() ? ctx.DefaultValue(v) : v; }

std::u16string Str(Context& ctx, const Variant& v);                 // CStr; Null raises 94
int32_t Long(Context& ctx, const Variant& v);                       // CLng
double Dbl(Context& ctx, const Variant& v);                         // CDbl
double DateArg(Context& ctx, const Variant& v);                     // CDate
bool Bool(Context& ctx, const Variant& v);                          // CBool

// Text of an argument without copying it when it already is a String: the
// string functions are called in loops over large texts.
class TextArg {
 public:
  TextArg(Context& ctx, const Variant& v) {
    if (v.IsString()) {
      view_ = v.str();
    } else {
      own_ = Str(ctx, v);
      view_ = own_;
    }
  }
  TextArg(const TextArg&) = delete;
  TextArg& operator=(const TextArg&) = delete;
  std::u16string_view view() const { return view_; }
  operator std::u16string_view() const { return view_; }
  size_t size() const { return view_.size(); }
  bool empty() const { return view_.empty(); }
  char16_t operator[](size_t i) const { return view_[i]; }

 private:
  std::u16string own_;
  std::u16string_view view_;
};

// Optional argument helpers: `def` when omitted.
int32_t OptLong(Context& ctx, const Args& a, int i, int32_t def);
std::u16string OptStr(Context& ctx, const Args& a, int i, std::u16string_view def);
// vbBinaryCompare / vbTextCompare argument (error 5 for other values).
Compare OptCompare(Context& ctx, const Args& a, int i);

inline Variant Text(std::u16string_view s) { return Variant::FromString(s); }
// An array of Variants holding strings, as Split and Filter return.
Variant StringArray(const std::vector<std::u16string>& items);
// Elements of a one-dimensional array argument (13 when not an array).
const Array& ArrayArg(Context& ctx, const Variant& v, Variant& holder);

// Registration of each family (called from RegisterLibraryBuiltins).
void RegisterStringBuiltins();
void RegisterMathBuiltins();
void RegisterDateBuiltins();
void RegisterScriptBuiltins();
void RegisterLibraryConstants();

}  // namespace vbs::lib
