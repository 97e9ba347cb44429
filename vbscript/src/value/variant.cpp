// Storage of the value model: strings, arrays, Variant refcounting, objects'
// default behaviour and the error texts.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "vbs/object.h"
#include "vbs/textcodec.h"
#include "vbs/value_conv.h"
#include "vbs/variant.h"

namespace vbs {

// ---- errors -------------------------------------------------------------------

namespace {
// Sorted by number.
constexpr StandardError kErrTexts[] = {
    {5, "Invalid procedure call or argument"},
    {6, "Overflow"},
    {7, "Out of memory"},
    {9, "Subscript out of range"},
    {10, "This array is fixed or temporarily locked"},
    {11, "Division by zero"},
    {13, "Type mismatch"},
    {14, "Out of string space"},
    {17, "Can't perform requested operation"},
    {28, "Out of stack space"},
    {35, "Sub or Function not defined"},
    {48, "Error in loading DLL"},
    {51, "Internal error"},
    {52, "Bad file name or number"},
    {53, "File not found"},
    {54, "Bad file mode"},
    {55, "File already open"},
    {57, "Device I/O error"},
    {58, "File already exists"},
    {61, "Disk full"},
    {62, "Input past end of file"},
    {67, "Too many files"},
    {68, "Device unavailable"},
    {70, "Permission denied"},
    {71, "Disk not ready"},
    {74, "Can't rename with different drive"},
    {75, "Path/File access error"},
    {76, "Path not found"},
    {91, "Object variable not set"},
    {92, "For loop not initialized"},
    {94, "Invalid use of Null"},
    {322, "Can't create necessary temporary file"},
    {424, "Object required"},
    {429, "ActiveX component can't create object"},
    {430, "Class doesn't support Automation"},
    {432, "File name or class name not found during Automation operation"},
    {438, "Object doesn't support this property or method"},
    {440, "Automation error"},
    {445, "Object doesn't support this action"},
    {446, "Object doesn't support named arguments"},
    {447, "Object doesn't support current locale setting"},
    {448, "Named argument not found"},
    {449, "Argument not optional"},
    {450, "Wrong number of arguments or invalid property assignment"},
    {451, "Object not a collection"},
    {453, "Specified DLL function not found"},
    {455, "Code resource lock error"},
    {457, "This key is already associated with an element of this collection"},
    {458, "Variable uses an Automation type not supported in VBScript"},
    {462, "The remote server machine does not exist or is unavailable"},
    {481, "Invalid picture"},
    {500, "Variable is undefined"},
    {501, "Illegal assignment"},
    {502, "Object not safe for scripting"},
    {503, "Object not safe for initializing"},
    {504, "Object not safe for creating"},
    {505, "Invalid or unqualified reference"},
    {506, "Class not defined"},
    {507, "An exception occurred"},
    {1001, "Out of memory"},
    {1002, "Syntax error"},
    {1003, "Expected ':'"},
    {1005, "Expected '('"},
    {1006, "Expected ')'"},
    {1007, "Expected ']'"},
    {1010, "Expected identifier"},
    {1011, "Expected '='"},
    {1012, "Expected 'If'"},
    {1013, "Expected 'To'"},
    {1014, "Expected 'End'"},
    {1015, "Expected 'Function'"},
    {1016, "Expected 'Sub'"},
    {1017, "Expected 'Then'"},
    {1018, "Expected 'Wend'"},
    {1019, "Expected 'Loop'"},
    {1020, "Expected 'Next'"},
    {1021, "Expected 'Case'"},
    {1022, "Expected 'Select'"},
    {1023, "Expected expression"},
    {1024, "Expected statement"},
    {1025, "Expected end of statement"},
    {1026, "Expected integer constant"},
    {1027, "Expected 'While' or 'Until'"},
    {1028, "Expected 'While,' 'Until,' or end of statement"},
    {1029, "Expected 'With'"},
    {1030, "Identifier too long"},
    {1031, "Invalid number"},
    {1032, "Invalid character"},
    {1033, "Unterminated string constant"},
    {1034, "Unterminated comment"},
    {1037, "Invalid use of 'Me' keyword"},
    {1038, "'loop' without 'do'"},
    {1039, "Invalid 'exit' statement"},
    {1040, "Invalid 'for' loop control variable"},
    {1041, "Name redefined"},
    {1042, "Must be first statement on the line"},
    {1043, "Cannot assign to non-ByVal argument"},
    {1044, "Cannot use parentheses when calling a Sub"},
    {1045, "Expected literal constant"},
    {1046, "Expected 'In'"},
    {1047, "Expected 'Class'"},
    {1048, "Must be defined inside a Class"},
    {1049, "Expected Let or Set or Get in property declaration"},
    {1050, "Expected 'Property'"},
    {1051, "Number of arguments must be consistent across properties specification"},
    {1052, "Cannot have multiple default property/method in a Class"},
    {1053, "Class initialize or terminate do not have arguments"},
    {1054, "Property set or let must have at least one argument"},
    {1055, "Unexpected 'Next'"},
    {1056, "'Default' can be specified only on 'Property' or 'Function' or 'Sub'"},
    {1057, "'Default' specification must also specify 'Public'"},
    {1058, "'Default' specification can only be on Property Get"},
    {5016, "Regular Expression object expected"},
    {5017, "Syntax error in regular expression"},
    {5018, "Unexpected quantifier"},
    {5019, "Expected ']' in regular expression"},
    {5020, "Expected ')' in regular expression"},
    {5021, "Invalid range in character set"},
    {32811, "Element not found"},
};
}  // namespace

std::u16string U16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::span<const StandardError> StandardErrors() { return kErrTexts; }

std::u16string StandardErrorText(int number) {
  size_t lo = 0, hi = sizeof(kErrTexts) / sizeof(kErrTexts[0]);
  while (lo < hi) {
    size_t mid = (lo + hi) / 2;
    if (kErrTexts[mid].number < number) lo = mid + 1;
    else hi = mid;
  }
  if (lo < sizeof(kErrTexts) / sizeof(kErrTexts[0]) && kErrTexts[lo].number == number)
    return U16(kErrTexts[lo].text);
  return U16("Unknown runtime error");
}

std::u16string ScriptError::Text() const {
  return description.empty() ? StandardErrorText(number) : description;
}

void Throw(int number) { throw ScriptError(number); }

namespace detail {
void ThrowOverflow() { throw ScriptError(6); }
}  // namespace detail

// ---- strings ------------------------------------------------------------------

String* String::MakeUninit(size_t length, size_t capacity) {
  if (capacity < length) capacity = length;
  if (length > kMaxLength) throw ScriptError(7);
  if (capacity > kMaxLength) capacity = kMaxLength;
  void* mem = std::malloc(sizeof(String) + (capacity + 1) * sizeof(char16_t));
  if (!mem) throw ScriptError(7);
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
  if (need > kMaxLength) throw ScriptError(7);
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
  if (ndims < 1 || ndims > kMaxDims) throw ScriptError(9);
  size_t total = 1;
  for (int i = 0; i < ndims; ++i) {
    if (ubounds[i] < -1) throw ScriptError(9);
    size_t n = size_t(int64_t(ubounds[i]) + 1);
    if (n != 0 && total > kMaxElements / n) throw ScriptError(7);
    total *= n;
  }
  if (total > kMaxElements) throw ScriptError(7);
  return total;
}

Array* Array::Create(const int32_t* ubounds, int ndims) {
  size_t total = CheckedCount(ubounds, ndims);
  Array* a = new Array();
  try {
    a->data_.resize(total);
  } catch (const std::bad_alloc&) {
    delete a;
    throw ScriptError(7);
  }
  a->dims_.reserve(size_t(ndims));
  for (int i = 0; i < ndims; ++i) a->dims_.push_back({0, ubounds[i] + 1});
  return a;
}

Array* Array::FromValues(std::vector<Variant> values) {
  Array* a = new Array();
  a->dims_.push_back({0, int32_t(values.size())});
  a->data_ = std::move(values);
  return a;
}

Array* Array::Clone() const {
  Array* a = new Array();
  a->dims_ = dims_;
  try {
    a->data_ = data_;
  } catch (const std::bad_alloc&) {
    delete a;
    throw ScriptError(7);
  }
  return a;
}

int32_t Array::LBound(int dim) const {
  if (dim < 1 || dim > int(dims_.size())) throw ScriptError(9);
  return dims_[size_t(dim - 1)].lbound;
}

int32_t Array::UBound(int dim) const {
  if (dim < 1 || dim > int(dims_.size())) throw ScriptError(9);
  const Dim& d = dims_[size_t(dim - 1)];
  return d.lbound + d.count - 1;
}

Variant& Array::AtSlow(const int32_t* idx, int n) {
  if (n != int(dims_.size())) throw ScriptError(9);
  size_t pos = 0, stride = 1;
  for (int i = 0; i < n; ++i) {
    const Dim& d = dims_[size_t(i)];
    int64_t k = int64_t(idx[i]) - d.lbound;
    if (k < 0 || k >= d.count) throw ScriptError(9);
    pos += size_t(k) * stride;
    stride *= size_t(d.count);
  }
  return data_[pos];
}

void Array::ReDim(const int32_t* ubounds, int ndims, bool preserve) {
  size_t total = CheckedCount(ubounds, ndims);
  if (preserve && !dims_.empty()) {
    if (ndims != int(dims_.size())) throw ScriptError(9);
    for (int i = 0; i + 1 < ndims; ++i)
      if (dims_[size_t(i)].count != ubounds[i] + 1) throw ScriptError(9);
    // First subscript varies fastest, so the last dimension's change is a
    // plain resize of the storage.
    try {
      data_.resize(total);
    } catch (const std::bad_alloc&) {
      throw ScriptError(7);
    }
    dims_.back().count = ubounds[ndims - 1] + 1;
    return;
  }
  std::vector<Variant> fresh;
  try {
    fresh.resize(total);
  } catch (const std::bad_alloc&) {
    throw ScriptError(7);
  }
  // Swap first, destroy the old elements after: their destruction may run
  // object finalisers.
  data_.swap(fresh);
  dims_.clear();
  for (int i = 0; i < ndims; ++i) dims_.push_back({0, ubounds[i] + 1});
}

void Array::ResetElements() {
  for (Variant& v : data_) v.Clear();
}

void ReDimVariable(Variant& var, const int32_t* ubounds, int ndims, bool preserve) {
  Variant& v = var.Deref();
  if (v.IsArray()) {
    if ((v.flags() & Variant::kFixedArray) || v.array()->Locked()) throw ScriptError(10);
    v.ArrayForWrite()->ReDim(ubounds, ndims, preserve);
    return;
  }
  // ReDim Preserve of a non-array works like a plain ReDim.
  v = Variant::FromArray(Array::Create(ubounds, ndims));
}

void EraseVariable(Variant& var) {
  Variant& v = var.Deref();
  if (!v.IsArray()) throw ScriptError(13);
  if (v.array()->Locked()) throw ScriptError(10);
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

void Object::Invoke(int, InvokeKind, Args&, Variant&) { throw ScriptError(438); }

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

Variant DefaultValue(Object* obj) {
  if (!obj) throw ScriptError(91);
  Ref<Object> keep(obj);
  Args none;
  Variant result;
  obj->Invoke(0, InvokeKind::PropertyGet, none, result);
  return result;
}

}  // namespace vbs
