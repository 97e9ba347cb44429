#include "lib/bind.h"

namespace vbs::lib {

std::u16string Str(Context& ctx, const Variant& v) {
  if (v.IsObject()) return ToText(ctx.DefaultValue(v));
  return ToText(v);
}

int32_t Long(Context& ctx, const Variant& v) { return ToLong(Plain(ctx, v)); }
double Dbl(Context& ctx, const Variant& v) { return ToDouble(Plain(ctx, v)); }
double DateArg(Context& ctx, const Variant& v) { return ToDate(Plain(ctx, v)); }
bool Bool(Context& ctx, const Variant& v) { return ToBool(Plain(ctx, v)); }

int32_t OptLong(Context& ctx, const Args& a, int i, int32_t def) { return Has(a, i) ? Long(ctx, a[i]) : def; }

std::u16string OptStr(Context& ctx, const Args& a, int i, std::u16string_view def) {
  return Has(a, i) ? Str(ctx, a[i]) : std::u16string(def);
}

Compare OptCompare(Context& ctx, const Args& a, int i) {
  if (!Has(a, i)) return Compare::Binary;
  const int32_t c = Long(ctx, a[i]);
  if (c == 0) return Compare::Binary;
  if (c == 1 || c == 2) return Compare::Text;
  Raise(kErrInvalidCall);
}

Variant StringArray(const std::vector<std::u16string>& items) {
  std::vector<Variant> values;
  values.reserve(items.size());
  for (const auto& s : items) values.push_back(Variant::FromString(s));
  return Variant::FromArray(Array::FromValues(std::move(values)));
}

const Array& ArrayArg(Context& ctx, const Variant& v, Variant& holder) {
  holder = Plain(ctx, v);
  if (holder.IsNull()) Raise(kErrInvalidNull);
  if (!holder.IsArray() || holder.array() == nullptr) Raise(kErrTypeMismatch);
  if (holder.array()->Dims() != 1) Raise(kErrTypeMismatch);
  return *holder.array();
}

}  // namespace vbs::lib
