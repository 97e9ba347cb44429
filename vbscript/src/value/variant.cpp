// Storage of the value model: strings, arrays, Variant refcounting and
// objects' default behaviour.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include <sys/mman.h>

#include "vbs/object.h"
#include "vbs/textcodec.h"
#include "vbs/value_conv.h"
#include "vbs/variant.h"

namespace vbs {

std::u16string U16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// ---- strings ------------------------------------------------------------------

String* String::MakeUninit(size_t length, size_t capacity) {
  if (capacity < length) capacity = length;
  if (length > kMaxLength) Raise(kErrOutOfMemory);
  if (capacity > kMaxLength) capacity = kMaxLength;
  void* mem = std::malloc(sizeof(String) + (capacity + 1) * sizeof(char16_t));
  if (!mem) Raise(kErrOutOfMemory);
  String* s = new (mem) String();
  s->length_ = uint32_t(length);
  s->capacity_ = uint32_t(capacity);
  s->data()[length] = 0;
  return s;
}

String* String::Make(std::u16string_view text, size_t capacity) {
  String* s = MakeUninit(text.size(), capacity);
  if (!text.empty()) std::memcpy(s->data(), text.data(), text.size() * sizeof(char16_t));
  return s;
}

void String::Free(String* s) {
  s->~String();
  std::free(s);
}

String* String::Append(String* s, std::u16string_view more) {
  size_t need = size_t(s->length_) + more.size();
  if (need > kMaxLength) Raise(kErrOutOfMemory);
  if (need <= s->capacity_) {
    // `more` may point into s itself; memmove handles the overlap case
    // because the target lies beyond the current text.
    std::memmove(s->data() + s->length_, more.data(), more.size() * sizeof(char16_t));
    s->length_ = uint32_t(need);
    s->data()[need] = 0;
    return s;
  }
  size_t cap = std::max<size_t>(need, size_t(s->capacity_) * 2);
  if (cap < 16) cap = 16;
  String* n = MakeUninit(need, cap);
  std::memcpy(n->data(), s->data(), s->length_ * sizeof(char16_t));
  std::memcpy(n->data() + s->length_, more.data(), more.size() * sizeof(char16_t));
  s->Release();
  return n;
}

// ---- Variant --------------------------------------------------------------------

Variant Variant::FromString(std::u16string_view s) { return FromString(String::Make(s)); }
Variant Variant::FromUtf8(std::string_view s) { return FromString(Utf8ToUtf16(s)); }

Variant Variant::FromArray(Array* a) {
  Variant r = Make(VarType(vbArray | vbVariant));
  r.a_ = a;
  return r;
}

Variant Variant::FromObject(Object* o) {
  Variant r = Make(vbObject);
  r.o_ = o;
  if (o) o->AddRef();
  return r;
}

void Variant::AddRefSlow() const {
  if (type_() == vbString) s_->AddRef();
  else if (type_() == vbObject) { if (o_) o_->AddRef(); }
  else a_->AddRef();
}

void Variant::ReleaseSlow() {
  // Reset the tag first: releasing an object can run script code that
  // looks at this very variable.
  VarType t = type_();
  SetType(vbEmpty);
  ReleaseRaw(t, i64_);
}

void Variant::ReleaseRaw(VarType t, int64_t bits) {
  void* p;
  std::memcpy(&p, &bits, sizeof p);
  if (t == vbString) static_cast<String*>(p)->Release();
  else if (t == vbObject) { if (p) static_cast<Object*>(p)->Release(); }
  else static_cast<Array*>(p)->Release();
}

Array* Variant::ArrayForWriteShared() {
  Array* c = a_->Clone();
  a_->Release();
  a_ = c;
  return a_;
}

// ---- arrays ---------------------------------------------------------------------

size_t Array::CheckedCount(const int32_t* ubounds, int ndims) {
  if (ndims < 1 || ndims > kMaxDims) Raise(kErrSubscriptOutOfRange);
  size_t total = 1;
  for (int i = 0; i < ndims; ++i) {
    if (ubounds[i] < -1) Raise(kErrSubscriptOutOfRange);
    size_t n = size_t(int64_t(ubounds[i]) + 1);
    if (n != 0 && total > kMaxElements / n) Raise(kErrOutOfMemory);
    total *= n;
  }
  if (total > kMaxElements) Raise(kErrOutOfMemory);
  return total;
}

namespace {
// Element storage of `total` values. A large store asks for 2 MB pages: a
// 32 MB array then takes 16 page faults instead of 8,192, and those faults
// are most of the time of filling it. Growing keeps the doubling of
// capacity, so ReDim Preserve one element at a time stays linear.
void SizeElements(std::vector<Variant>& v, size_t total) {
  constexpr size_t kHuge = size_t(2) << 20;
  if (total > v.capacity() && total * sizeof(Variant) >= 2 * kHuge) {
    v.reserve(std::max(total, v.size() * 2));
    const uintptr_t lo = (reinterpret_cast<uintptr_t>(v.data()) + kHuge - 1) & ~uintptr_t(kHuge - 1);
    const uintptr_t hi = reinterpret_cast<uintptr_t>(v.data() + v.capacity()) & ~uintptr_t(kHuge - 1);
    // Only advice: without it the pages are small.
    if (hi > lo) madvise(reinterpret_cast<void*>(lo), hi - lo, MADV_HUGEPAGE);
  }
  v.resize(total);
}
}  // namespace

Array* Array::Create(const int32_t* ubounds, int ndims) {
  size_t total = CheckedCount(ubounds, ndims);
  Array* a = new Array();
  try {
    SizeElements(a->data_, total);
  } catch (const std::bad_alloc&) {
    delete a;
    Raise(kErrOutOfMemory);
  }
  a->dims_.reserve(size_t(ndims));
  for (int i = 0; i < ndims; ++i) a->dims_.push_back({0, ubounds[i] + 1});
  a->KeepShape();
  return a;
}

Array* Array::FromValues(std::vector<Variant> values) {
  Array* a = new Array();
  a->dims_.push_back({0, int32_t(values.size())});
  a->data_ = std::move(values);
  a->KeepShape();
  return a;
}

Array* Array::Clone() const {
  Array* a = new Array();
  a->dims_ = dims_;
  a->KeepShape();
  try {
    a->data_ = data_;
  } catch (const std::bad_alloc&) {
    delete a;
    Raise(kErrOutOfMemory);
  }
  return a;
}

int32_t Array::LBound(int dim) const {
  if (dim < 1 || dim > int(dims_.size())) Raise(kErrSubscriptOutOfRange);
  return dims_[size_t(dim - 1)].lbound;
}

int32_t Array::UBound(int dim) const {
  if (dim < 1 || dim > int(dims_.size())) Raise(kErrSubscriptOutOfRange);
  const Dim& d = dims_[size_t(dim - 1)];
  return d.lbound + d.count - 1;
}

Variant& Array::AtSlow(const int32_t* idx, int n) {
  if (n != int(dims_.size())) Raise(kErrSubscriptOutOfRange);
  size_t pos = 0, stride = 1;
  for (int i = 0; i < n; ++i) {
    const Dim& d = dims_[size_t(i)];
    int64_t k = int64_t(idx[i]) - d.lbound;
    if (k < 0 || k >= d.count) Raise(kErrSubscriptOutOfRange);
    pos += size_t(k) * stride;
    stride *= size_t(d.count);
  }
  return data_[pos];
}

void Array::ReDim(const int32_t* ubounds, int ndims, bool preserve) {
  size_t total = CheckedCount(ubounds, ndims);
  if (preserve && !dims_.empty()) {
    if (ndims != int(dims_.size())) Raise(kErrSubscriptOutOfRange);
    for (int i = 0; i + 1 < ndims; ++i)
      if (dims_[size_t(i)].count != ubounds[i] + 1) Raise(kErrSubscriptOutOfRange);
    // First subscript varies fastest, so the last dimension's change is a
    // plain resize of the storage.
    try {
      SizeElements(data_, total);
    } catch (const std::bad_alloc&) {
      Raise(kErrOutOfMemory);
    }
    dims_.back().count = ubounds[ndims - 1] + 1;
    KeepShape();
    return;
  }
  std::vector<Variant> fresh;
  try {
    SizeElements(fresh, total);
  } catch (const std::bad_alloc&) {
    Raise(kErrOutOfMemory);
  }
  // Swap first, destroy the old elements after: their destruction may run
  // object finalisers.
  count1_ = rows2_ = cols2_ = 0;  // no fast path into the new store before its bounds are in
  data_.swap(fresh);
  dims_.clear();
  for (int i = 0; i < ndims; ++i) dims_.push_back({0, ubounds[i] + 1});
  KeepShape();
}

void Array::ResetElements() {
  for (Variant& v : data_) v.Clear();
}

void ReDimVariable(Variant& var, const int32_t* ubounds, int ndims, bool preserve) {
  Variant& v = var.Deref();
  if (v.IsArray()) {
    if ((v.flags() & Variant::kFixedArray) || v.array()->Locked()) Raise(kErrArrayLocked);
    v.ArrayForWrite()->ReDim(ubounds, ndims, preserve);
    return;
  }
  // ReDim Preserve of a non-array works like a plain ReDim.
  v = Variant::FromArray(Array::Create(ubounds, ndims));
}

void EraseVariable(Variant& var) {
  Variant& v = var.Deref();
  if (!v.IsArray()) Raise(kErrTypeMismatch);
  if (v.array()->Locked()) Raise(kErrArrayLocked);
  if (v.flags() & Variant::kFixedArray) {
    v.ArrayForWrite()->ResetElements();
  } else {
    // Detach the old storage before it dies, for the same reason as ReDim.
    Variant old = std::move(v);
    v = Variant::FromArray(new Array());
  }
}

int32_t ToIndex(const Variant& v) { return ToLong(v); }

// ---- objects ----------------------------------------------------------------------

int Object::FindMember(std::u16string_view) const { return -1; }

void Object::Invoke(int, InvokeKind, Args&, Variant&) { Raise(kErrNoSuchMember); }

bool Object::Enumerate(std::vector<Variant>&) { return false; }

namespace {
inline char16_t FoldAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }
}  // namespace

bool NameEquals(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

bool NameEquals(std::u16string_view a, const char* ascii) {
  size_t i = 0;
  for (; ascii[i]; ++i) {
    if (i >= a.size() || FoldAscii(a[i]) != FoldAscii(char16_t(static_cast<unsigned char>(ascii[i]))))
      return false;
  }
  return i == a.size();
}

int MemberTable::Find(std::u16string_view name) const {
  for (size_t i = 0; i < names_.size(); ++i)
    if (NameEquals(name, names_[i])) return firstId_ + int(i);
  return -1;
}

void NeedArgs(const Args& a, int min, int max, OmittedArgs omitted) {
  if (omitted == OmittedArgs::Counted) {
    if (a.size() > max) Raise(kErrWrongArgCount);
    for (int i = 0; i < min; ++i)
      if (a.Missing(i)) Raise(kErrArgNotOptional);
    return;
  }
  int given = a.size();
  while (given > min && a.Missing(given - 1)) --given;
  for (int i = 0; i < min; ++i)
    if (a.Missing(i)) Raise(kErrWrongArgCount);
  if (given < min || given > max) Raise(kErrWrongArgCount);
}

Variant DefaultValue(Object* obj) {
  if (!obj) Raise(kErrObjectNotSet);
  Ref<Object> keep(obj);
  Args none;
  Variant result;
  obj->Invoke(0, InvokeKind::PropertyGet, none, result);
  return result;
}

}  // namespace vbs
