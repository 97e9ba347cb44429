#pragma once
// The script value: a 16-byte tagged union with refcounted strings, arrays
// and objects. Copying a Variant is cheap (at most one refcount increment);
// strings and arrays are shared until written (arrays copy on write, strings
// are immutable except for in-place appends by their only owner).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vbs/errors.h"

#define VBS_INLINE __attribute__((always_inline)) inline

namespace vbs {

enum VarType : uint16_t {
  vbEmpty = 0,
  vbNull = 1,
  vbInteger = 2,
  vbLong = 3,
  vbSingle = 4,
  vbDouble = 5,
  vbCurrency = 6,
  vbDate = 7,
  vbString = 8,
  vbObject = 9,
  vbError = 10,
  vbBoolean = 11,
  vbVariant = 12,
  vbDataObject = 13,
  vbByte = 17,
  vbArray = 0x2000,
  // Internal only: a reference to another Variant (ByRef argument slots).
  // Never visible to scripts; Deref() resolves it.
  vbByRef = 0x4000,
};

class Object;
class Array;
// Frees an object (Finalize) or array whose last reference went. Chains
// of them are freed by a loop, never by recursion on the native stack.
void FreeUnreferenced(Object* o);
void FreeUnreferenced(Array* a);

// Refcounted, length-counted UTF-16 text with spare capacity. The characters
// follow the header in the same allocation.
class String {
 public:
  // refs = 1 on return. Throws ScriptError 7 when the size is absurd.
  static String* Make(std::u16string_view text, size_t capacity = 0);
  static String* MakeUninit(size_t length, size_t capacity = 0);

  void AddRef() { ++refs_; }
  void Release() {
    if (--refs_ == 0) Free(this);
  }
  bool Unique() const { return refs_ == 1; }
  uint32_t Refs() const { return refs_; }

  char16_t* data() { return reinterpret_cast<char16_t*>(this + 1); }
  const char16_t* data() const { return reinterpret_cast<const char16_t*>(this + 1); }
  size_t size() const { return length_; }
  size_t capacity() const { return capacity_; }
  std::u16string_view view() const { return {data(), length_}; }

  // Byte strings (ChrB, MidB, ...) may hold an odd number of bytes: the
  // last code unit then carries only its low byte. LenB counts bytes.
  bool oddByte() const { return odd_ != 0; }
  void SetOddByte(bool odd) { odd_ = odd ? 1 : 0; }
  size_t byteSize() const { return size_t(length_) * 2 - odd_; }

  // Appends in place when the string has room, else returns a new, larger
  // string (refs = 1) holding both; the old one is released in that case.
  // Only valid on a uniquely owned string that is not oddByte().
  static String* Append(String* s, std::u16string_view more);

  static constexpr size_t kMaxLength = size_t(1) << 28;  // code units

 private:
  String() = default;
  static void Free(String* s);
  uint32_t refs_ = 1;
  uint32_t length_ = 0;
  uint32_t capacity_ = 0;
  uint32_t odd_ = 0;
};
static_assert(sizeof(String) == 16);

class Variant {
 public:
  Variant() : hdr_(vbEmpty), i64_(0) {}
  // The copies, moves and setters are forced inline: the engine's routine
  // files are large enough that the compiler otherwise gives up on them
  // in the hottest paths.
  VBS_INLINE ~Variant() {
    if (IsRefType(type_())) ReleaseSlow();
  }
  // The header (type and flags) is always read and written as one 8-byte
  // word: a narrower store followed by a whole-word load (every copy and
  // move) would stall the processor's store forwarding.
  VBS_INLINE Variant(const Variant& o) : hdr_(o.hdr_ & kTypeMask), i64_(o.i64_) {
    if (IsRefType(type_())) AddRefSlow();
  }
  // Moving relocates the slot (a growing vector of variables keeps its
  // flags); assignment replaces the value and keeps the target's flags.
  VBS_INLINE Variant(Variant&& o) noexcept : hdr_(o.hdr_), i64_(o.i64_) {
    o.hdr_ = hdr_ & kFlagsMask;  // vbEmpty, flags kept
  }
  VBS_INLINE Variant& operator=(const Variant& o) {
    if (this != &o) {
      const uint64_t h = o.hdr_;
      if (IsRefType(uint16_t(h))) o.AddRefSlow();
      // Release the old value only after the new one is in place: an
      // object's finaliser may run script code that reads this variable.
      const uint64_t oldHdr = hdr_;
      const int64_t oldBits = i64_;
      hdr_ = (oldHdr & kFlagsMask) | (h & kTypeMask);
      i64_ = o.i64_;
      if (IsRefType(uint16_t(oldHdr))) ReleaseRaw(VarType(uint16_t(oldHdr)), oldBits);
    }
    return *this;
  }
  VBS_INLINE Variant& operator=(Variant&& o) noexcept {
    if (this != &o) {
      const uint64_t h = o.hdr_;
      const uint64_t oldHdr = hdr_;
      const int64_t oldBits = i64_;
      hdr_ = (oldHdr & kFlagsMask) | (h & kTypeMask);
      i64_ = o.i64_;
      o.hdr_ = h & kFlagsMask;
      if (IsRefType(uint16_t(oldHdr))) ReleaseRaw(VarType(uint16_t(oldHdr)), oldBits);
    }
    return *this;
  }

  // ---- construction -------------------------------------------------------
  static Variant Empty() { return Variant(); }
  static Variant Null() { return Make(vbNull); }
  // Values narrower than 8 bytes are written as the whole zero-extended
  // word: a narrow store followed by the 8-byte load of the next copy of
  // the value would stall the processor's store forwarding.
  static Variant FromBool(bool v) { return Make(vbBoolean, v); }
  static Variant FromByte(uint8_t v) { return Make(vbByte, v); }
  static Variant FromInteger(int16_t v) { return Make(vbInteger, uint16_t(v)); }
  static Variant FromLong(int32_t v) { return Make(vbLong, uint32_t(v)); }
  static Variant FromSingle(float v) { return Make(vbSingle, SingleBits(v)); }
  static Variant FromDouble(double v) { Variant r = Make(vbDouble); r.d_ = v; return r; }
  // Currency is a 64-bit integer scaled by 10000 (1.5 is 15000).
  static Variant FromCurrencyScaled(int64_t v) { Variant r = Make(vbCurrency); r.i64_ = v; return r; }
  // Date: days since 12/30/1899; the fraction is the time of day.
  static Variant FromDate(double v) { Variant r = Make(vbDate); r.d_ = v; return r; }
  static Variant FromString(std::u16string_view s);
  static Variant FromUtf8(std::string_view s);
  static Variant FromString(String* s) { Variant r = Make(vbString); r.s_ = s; return r; }  // adopts one ref
  // Adopts one ref. Every array holds Variants (TypeName "Variant()").
  static Variant FromArray(Array* a);
  static Variant FromObject(Object* o);  // adds a ref; nullptr = Nothing
  static Variant Nothing() { Variant r = Make(vbObject); r.o_ = nullptr; return r; }
  // vbError value; the "missing optional argument" marker is Missing().
  static Variant FromError(int32_t code) { return Make(vbError, uint32_t(code)); }
  static constexpr int32_t kParamNotFound = int32_t(0x80020004u);
  static Variant Missing() { return FromError(kParamNotFound); }
  static Variant RefTo(Variant* target) { Variant r = Make(vbByRef); r.ref_ = target; return r; }

  // ---- inspection ---------------------------------------------------------
  VarType type() const { return type_(); }
  bool IsEmpty() const { return type_() == vbEmpty; }
  bool IsNull() const { return type_() == vbNull; }
  bool IsString() const { return type_() == vbString; }
  bool IsObject() const { return type_() == vbObject; }
  bool IsArray() const { return (type_() & vbArray) != 0; }
  bool IsByRef() const { return type_() == vbByRef; }
  bool IsMissing() const { return type_() == vbError && i32_ == kParamNotFound; }
  bool IsNothing() const { return type_() == vbObject && o_ == nullptr; }

  bool boolVal() const { return b_; }
  uint8_t byteVal() const { return by_; }
  int16_t intVal() const { return i16_; }
  int32_t longVal() const { return i32_; }
  float singleVal() const { return f_; }
  double doubleVal() const { return d_; }
  int64_t currencyScaled() const { return i64_; }
  double dateVal() const { return d_; }
  int32_t errorVal() const { return i32_; }
  String* string() const { return s_; }
  std::u16string_view str() const { return s_->view(); }
  Array* array() const { return a_; }
  Object* object() const { return o_; }
  Variant* ref() const { return ref_; }

  // Follows a ByRef slot to the Variant it stands for.
  // A reference always has a target: saying so spares the callers' null
  // checks on the pointers they take from here.
  const Variant& Deref() const {
    if (type_() != vbByRef) return *this;
    if (!ref_) __builtin_unreachable();
    return *ref_;
  }
  Variant& Deref() {
    if (type_() != vbByRef) return *this;
    if (!ref_) __builtin_unreachable();
    return *ref_;
  }

  // Writable access to the array, copying it first when it is shared.
  // Precondition: IsArray().
  inline Array* ArrayForWrite();

  // Per-variable flags: a property of the storage location. A copy
  // (copy construction) starts at 0; moves and assignments keep them.
  // kFixedArray marks a variable declared with bounds (Dim a(3)), which
  // ReDim refuses (error 10).
  enum : uint16_t { kFixedArray = 1 };
  uint16_t flags() const { return uint16_t(hdr_ >> 16); }
  void SetFlags(uint16_t f) { hdr_ = (hdr_ & kTypeMask) | (uint64_t(f) << 16); }

  // ---- in-place setters (fast paths for the VM) --------------------------
  void Clear() { Reset(vbEmpty); }
  VBS_INLINE void SetBool(bool v) { Reset(vbBoolean, v); }
  VBS_INLINE void SetInteger(int16_t v) { Reset(vbInteger, uint16_t(v)); }
  VBS_INLINE void SetLong(int32_t v) { Reset(vbLong, uint32_t(v)); }
  VBS_INLINE void SetDouble(double v) { Reset(vbDouble); d_ = v; }
  // Integer or Long v over a value that holds nothing counted (a number
  // just read from it): no release check. Flags are kept.
  void OverwriteWithInteger(int16_t v) { Overwrite(vbInteger, uint16_t(v)); }
  void OverwriteWithLong(int32_t v) { Overwrite(vbLong, uint32_t(v)); }
  // A fresh (Empty, flagless) slot made a reference to `target`.
  void SetRef(Variant* target) {
    hdr_ = vbByRef;
    ref_ = target;
  }
  // Back to Empty without flags, releasing what it held: a frame slot
  // handed back to the stack.
  void ResetSlot() {
    const uint64_t oldHdr = hdr_;
    const int64_t oldBits = i64_;
    hdr_ = vbEmpty;
    i64_ = 0;
    if (IsRefType(uint16_t(oldHdr))) ReleaseRaw(VarType(uint16_t(oldHdr)), oldBits);
  }

  // Whether `to = from` may be a plain two-word copy: both hold a number,
  // Empty, Null or a date (subtypes below String, so nothing counted and
  // no default property), and `to` carries no flags. One compare, since
  // the flags sit above the type in the header.
  static bool PlainPair(const Variant& to, const Variant& from) { return (to.hdr_ | from.hdr_) < vbString; }
  // The copy itself (PlainPair(*this, o) must hold).
  VBS_INLINE void CopyPlain(const Variant& o) {
    hdr_ = o.hdr_;
    i64_ = o.i64_;
    // Known from PlainPair: lets the compiler drop o's release check when
    // o goes next (a call's result moved into its variable).
    if (o.hdr_ >= vbString) __builtin_unreachable();
  }

  // String (8), Object (9) or any array: the types that hold a reference.
  static bool IsRefType(uint16_t t) {
    return (unsigned(t) - vbString < 2u) | ((t & vbArray) != 0);
  }

 private:
  static Variant Make(VarType t, int64_t bits = 0) {
    Variant r;
    r.hdr_ = t;
    r.i64_ = bits;
    return r;
  }
  static int64_t SingleBits(float v) {
    uint32_t u;
    std::memcpy(&u, &v, sizeof u);
    return u;
  }
  void Overwrite(VarType t, int64_t bits) {
    hdr_ = (hdr_ & kFlagsMask) | t;
    i64_ = bits;
  }
  // Type t with payload `bits` (the value zero-extended to 8 bytes).
  __attribute__((always_inline)) void Reset(VarType t, int64_t bits = 0) {
    const uint64_t oldHdr = hdr_;
    const int64_t oldBits = i64_;
    hdr_ = (oldHdr & kFlagsMask) | t;
    i64_ = bits;
    if (IsRefType(uint16_t(oldHdr))) ReleaseRaw(VarType(uint16_t(oldHdr)), oldBits);
  }
  VarType type_() const { return VarType(uint16_t(hdr_)); }
  void SetType(VarType t) { hdr_ = (hdr_ & kFlagsMask) | t; }
  static constexpr uint64_t kTypeMask = 0xFFFF, kFlagsMask = 0xFFFF0000;
  void AddRefSlow() const;
  void ReleaseSlow();
  Array* ArrayForWriteShared();
  static void ReleaseRaw(VarType type, int64_t bits);

  uint64_t hdr_;  // bits 0-15 the type, 16-31 the flags, the rest 0
  union {
    bool b_;
    uint8_t by_;
    int16_t i16_;
    int32_t i32_;
    float f_;
    double d_;
    int64_t i64_;
    String* s_;
    Array* a_;
    Object* o_;
    Variant* ref_;
  };
  friend class Array;
};
static_assert(sizeof(Variant) == 16, "Variant must stay 16 bytes");

// An array value: dimensions with lower bound 0 (kept per dimension anyway)
// and element count, elements stored with the FIRST subscript varying
// fastest, so ReDim Preserve (last dimension only) is a plain resize.
// A dynamic array that was never dimensioned or was erased has no
// dimensions; UBound of it raises 9.
class Array {
 public:
  struct Dim {
    int32_t lbound;
    int32_t count;
  };
  static constexpr size_t kMaxElements = size_t(1) << 26;
  static constexpr int kMaxDims = 60;

  Array() = default;
  // Bounds are upper bounds (Dim a(2, 3) gives {2, 3}); -1 makes an empty
  // dimension. Throws 9 for bounds below -1 and 7 for absurd sizes.
  static Array* Create(const int32_t* ubounds, int ndims);
  static Array* Create1(int32_t ubound) { return Create(&ubound, 1); }
  static Array* FromValues(std::vector<Variant> values);  // 1-D, 0-based

  void AddRef() { ++refs_; }
  void Release() {
    if (--refs_ == 0) FreeUnreferenced(this);
  }
  uint32_t Refs() const { return refs_; }
  Array* Clone() const;  // refs = 1, elements copied (shallow per element)

  // An element passed ByRef is referred to in place: while that call runs
  // the array is locked, so it is neither copied on write nor resized
  // (ReDim and Erase raise 10).
  void Lock() { ++locks_; }
  void Unlock() { --locks_; }
  bool Locked() const { return locks_ != 0; }

  int Dims() const { return int(dims_.size()); }
  int32_t LBound(int dim) const;  // dim counts from 1; throws 9
  int32_t UBound(int dim) const;
  size_t Count() const { return data_.size(); }
  Variant* Data() { return data_.data(); }
  const Variant* Data() const { return data_.data(); }

  // Element by subscripts; throws 9 when out of range or when the number of
  // subscripts does not match.
  __attribute__((always_inline)) Variant& At1(int32_t i) {
    if (uint32_t(i) < count1_) return data_[size_t(i)];
    return AtSlow(&i, 1);
  }
  __attribute__((always_inline)) Variant& At2(int32_t i, int32_t j) {
    if (uint32_t(i) < rows2_ && uint32_t(j) < cols2_) return data_[size_t(i) + size_t(j) * rows2_];
    const int32_t idx[2] = {i, j};
    return AtSlow(idx, 2);
  }
  Variant& At(const int32_t* idx, int n) {
    if (n == 1) return At1(idx[0]);
    return AtSlow(idx, n);
  }

  // ReDim: new bounds; with preserve only the last dimension may change
  // (else 9) and existing elements are kept.
  void ReDim(const int32_t* ubounds, int ndims, bool preserve);
  // Erase of a dynamic array: no dimensions left.
  void Clear() {
    dims_.clear();
    data_.clear();
    KeepShape();
  }
  // Erase of a fixed array: every element back to Empty, bounds kept.
  void ResetElements();

 private:
  Variant& AtSlow(const int32_t* idx, int n);
  static size_t CheckedCount(const int32_t* ubounds, int ndims);
  // The bounds of a 1-D or 2-D array again in the fields At1 and At2
  // test; after every change of dims_.
  void KeepShape() {
    count1_ = dims_.size() == 1 ? uint32_t(dims_[0].count) : 0;
    rows2_ = dims_.size() == 2 ? uint32_t(dims_[0].count) : 0;
    cols2_ = dims_.size() == 2 ? uint32_t(dims_[1].count) : 0;
  }
  uint32_t refs_ = 1;
  uint32_t locks_ = 0;
  // The element count of a 1-D array, the counts of a 2-D array's two
  // dimensions; 0 for any other shape.
  uint32_t count1_ = 0;
  uint32_t rows2_ = 0, cols2_ = 0;
  std::vector<Dim> dims_;
  std::vector<Variant> data_;
};

inline Array* Variant::ArrayForWrite() {
  return a_->Refs() > 1 && !a_->Locked() ? ArrayForWriteShared() : a_;
}

// ReDim of a variable (error 10 on a fixed array; a non-array becomes one).
void ReDimVariable(Variant& var, const int32_t* ubounds, int ndims, bool preserve);
// Erase statement (error 13 when not an array).
void EraseVariable(Variant& var);
// Subscript value to array index: banker's rounding to Long.
int32_t ToIndex(const Variant& v);

// ---- host-facing conversions (see also conv.h) ---------------------------
std::u16string ToText(const Variant& v);   // CStr; Empty -> "", Null -> 94
bool IsNumericValue(const Variant& v);     // IsNumeric
double ToDouble(const Variant& v);         // CDbl; throws ScriptError

}  // namespace vbs
