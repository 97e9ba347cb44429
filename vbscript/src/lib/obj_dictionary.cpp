// Scripting.Dictionary: keys kept in insertion order, looked up by hash.
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string_view>

#include "lib/objbase.h"
#include "lib/textalgo.h"

namespace vbs::lib {

namespace {

// A key as the dictionary compares it: numbers by value whatever their
// subtype, strings exactly or (text mode) ignoring case, objects by identity.
struct KeyId {
  enum Kind : uint8_t { Empty, Null, Number, Bool, Date, Text, Obj } kind = Empty;
  double num = 0;
  std::u16string_view own;     // the key's own text (binary mode)
  const void* obj = nullptr;
  std::u16string folded;       // text mode: the text in lower case
  bool isFolded = false;
  std::u16string_view text() const { return isFolded ? std::u16string_view(folded) : own; }
  bool operator==(const KeyId& o) const {
    return kind == o.kind && num == o.num && obj == o.obj && (kind != Text || text() == o.text());
  }
  uint32_t Hash() const {
    uint64_t h;
    if (kind == Text) h = std::hash<std::u16string_view>()(text());
    else if (kind == Obj) h = uint64_t(reinterpret_cast<uintptr_t>(obj)) >> 4;
    else h = std::bit_cast<uint64_t>(num);
    h = (h ^ kind) * 0x9e3779b97f4a7c15ULL;
    return uint32_t(h >> 32) | 1u;  // never 0: 0 marks a free place
  }
};

class Dictionary final : public LibObject {
 public:
  enum Member { kItem, kAdd, kExists, kItems, kKeys, kKey, kRemove, kRemoveAll, kCount, kCompareMode };

  std::u16string TypeName() const override { return u"Dictionary"; }

  bool Enumerate(std::vector<Variant>& items) override {
    for (const auto& e : entries_)
      if (e.alive) items.push_back(e.key);
    return true;
  }

  void Invoke(int member, InvokeKind kind, Args& a, Variant& result) override {
    switch (member) {
      case kItem:
        if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) {
          NeedArgs(a, 2, 2);
          Entry& e = FindOrAdd(a[0]);
          e.value = a[1];
        } else {
          NeedArgs(a, 1, 1);
          // Reading a missing key adds it with an Empty item.
          result = FindOrAdd(a[0]).value;
        }
        return;
      case kAdd: {
        NeedArgs(a, 2, 2);
        KeyId id = Id(a[0]);
        const uint32_t h = id.Hash();
        if (Find(id, h) != kNone) Raise(kErrDuplicateKey);
        Insert(id, h, a[0], a[1]);
        return;
      }
      case kExists: {
        NeedArgs(a, 1, 1);
        KeyId id = Id(a[0]);
        result = Variant::FromBool(Find(id, id.Hash()) != kNone);
        return;
      }
      case kItems: case kKeys: {
        NeedArgs(a, 0, 0);
        std::vector<Variant> out;
        out.reserve(Live());
        for (const auto& e : entries_)
          if (e.alive) out.push_back(member == kItems ? e.value : e.key);
        result = Variant::FromArray(Array::FromValues(std::move(out)));
        return;
      }
      case kKey: {
        if (kind != InvokeKind::PropertyLet && kind != InvokeKind::PropertySet) Raise(kErrNoSuchMember);
        NeedArgs(a, 2, 2);
        KeyId oldId = Id(a[0]);
        const uint32_t place = Find(oldId, oldId.Hash());
        if (place == kNone) Raise(kErrElementNotFound);
        KeyId newId = Id(a[1]);
        const uint32_t h = newId.Hash();
        if (Find(newId, h) != kNone) Raise(kErrDuplicateKey);
        const uint32_t pos = table_[place].entry;
        table_[place].entry = kGone;
        Entry& e = entries_[pos];
        e.key = Stored(a[1]);
        e.hash = h;
        e.folded = std::move(newId.folded);
        if ((used_ + 1) * 2 > table_.size()) Reindex(Live());
        else used_ += Place(h, pos);
        return;
      }
      case kRemove: {
        NeedArgs(a, 1, 1);
        KeyId id = Id(a[0]);
        const uint32_t place = Find(id, id.Hash());
        if (place == kNone) Raise(kErrElementNotFound);
        Entry& e = entries_[table_[place].entry];
        table_[place].entry = kGone;
        e.alive = false;
        e.key = Variant();
        e.value = Variant();
        e.folded.clear();
        ++dead_;
        if (dead_ > 16 && dead_ * 2 > entries_.size()) Compact();
        return;
      }
      case kRemoveAll:
        NeedArgs(a, 0, 0);
        entries_.clear();
        table_.clear();
        used_ = 0;
        dead_ = 0;
        return;
      case kCount:
        NeedArgs(a, 0, 0);
        result = Variant::FromLong(static_cast<int32_t>(Live()));
        return;
      case kCompareMode:
        if (kind == InvokeKind::PropertyLet) {
          NeedArgs(a, 1, 1);
          const int32_t mode = ToLong(a[0]);
          if (mode < 0 || Live() != 0) Raise(kErrInvalidCall);
          textMode_ = mode >= 1;   // text and database compare both ignore case
          mode_ = mode;
        } else {
          result = Variant::FromLong(mode_);
        }
        return;
      default:
        Raise(kErrNoSuchMember);
    }
  }

 protected:
  MemberTable Members() const override {
    static constexpr const char* kNames[] = {"Item", "Add",    "Exists",    "Items", "Keys",
                                             "Key",  "Remove", "RemoveAll", "Count", "CompareMode"};
    return MemberTable(kNames);
  }

 private:
  struct Entry {
    Variant key, value;
    bool alive = true;
    uint32_t hash = 0;
    std::u16string folded;  // text mode: the key's text in lower case
  };
  // One place of the open-addressed index: the entry it holds.
  struct IndexPlace {
    uint32_t hash = 0;
    uint32_t entry = kFree;
  };
  static constexpr uint32_t kFree = UINT32_MAX, kGone = UINT32_MAX - 1, kNone = UINT32_MAX;

  size_t Live() const { return entries_.size() - dead_; }

  // Keys are stored as plain values: an object key stays the object.
  static Variant Stored(const Variant& v) { return v; }

  KeyId Id(const Variant& v) const {
    KeyId k;
    switch (v.type()) {
      case vbEmpty: k.kind = KeyId::Empty; break;
      case vbNull: k.kind = KeyId::Null; break;
      case vbBoolean: k.kind = KeyId::Bool; k.num = v.boolVal() ? 1 : 0; break;
      case vbDate: k.kind = KeyId::Date; k.num = v.dateVal(); break;
      case vbString:
        k.kind = KeyId::Text;
        if (textMode_) {
          k.folded = ToLower(v.str());
          k.isFolded = true;
        } else {
          k.own = v.str();
        }
        break;
      case vbObject: k.kind = KeyId::Obj; k.obj = v.object(); break;
      case vbByte: case vbInteger: case vbLong: case vbSingle: case vbDouble: case vbCurrency:
        k.kind = KeyId::Number;
        k.num = ToDouble(v);
        if (k.num == 0) k.num = 0;   // -0 and 0 are one key
        break;
      default:
        if (v.IsArray()) Raise(kErrTypeMismatch);
        k.kind = KeyId::Number;
        k.num = ToDouble(v);
        break;
    }
    return k;
  }

  // The identity of a stored entry's key, without copying its text.
  KeyId StoredId(const Entry& e) const {
    if (e.key.IsString()) {
      KeyId k;
      k.kind = KeyId::Text;
      k.own = textMode_ ? std::u16string_view(e.folded) : e.key.str();
      return k;
    }
    return Id(e.key);
  }

  // The index place that holds key `id`, or kNone.
  uint32_t Find(const KeyId& id, uint32_t h) const {
    if (table_.empty()) return kNone;
    const size_t mask = table_.size() - 1;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
      const IndexPlace& p = table_[i];
      if (p.entry == kFree) return kNone;
      if (p.entry != kGone && p.hash == h && StoredId(entries_[p.entry]) == id) return uint32_t(i);
    }
  }

  // Puts entry `pos` into the index, which has room for it; 1 when that
  // took a free place, 0 when it took a removed key's.
  size_t Place(uint32_t h, uint32_t pos) {
    const size_t mask = table_.size() - 1;
    size_t i = h & mask;
    while (table_[i].entry != kFree && table_[i].entry != kGone) i = (i + 1) & mask;
    const size_t took = table_[i].entry == kFree ? 1 : 0;
    table_[i] = IndexPlace{h, pos};
    return took;
  }

  // The index rebuilt for the live entries, at most half full after one
  // more key.
  void Reindex(size_t want) {
    size_t n = 16;
    while (n < want * 2) n *= 2;
    table_.assign(n, IndexPlace{});
    used_ = 0;
    for (size_t i = 0; i < entries_.size(); ++i)
      if (entries_[i].alive) used_ += Place(entries_[i].hash, uint32_t(i));
  }

  Entry& FindOrAdd(const Variant& key) {
    KeyId id = Id(key);
    const uint32_t h = id.Hash();
    const uint32_t place = Find(id, h);
    if (place != kNone) return entries_[table_[place].entry];
    return Insert(id, h, key, Variant());
  }

  Entry& Insert(KeyId& id, uint32_t h, const Variant& key, const Variant& value) {
    // Places taken, removed keys' included, stay under half the index.
    if ((used_ + 1) * 2 > table_.size()) Reindex(Live() + 1);
    const uint32_t pos = uint32_t(entries_.size());
    entries_.push_back(Entry{Stored(key), value, true, h, std::move(id.folded)});
    used_ += Place(h, pos);
    return entries_.back();
  }

  void Compact() {
    std::vector<Entry> kept;
    kept.reserve(Live());
    for (auto& e : entries_)
      if (e.alive) kept.push_back(std::move(e));
    entries_ = std::move(kept);
    dead_ = 0;
    Reindex(entries_.size());
  }

  std::vector<Entry> entries_;
  std::vector<IndexPlace> table_;  // a power of two in size, or empty
  size_t used_ = 0;            // places not free (removed keys' included)
  size_t dead_ = 0;
  bool textMode_ = false;
  int32_t mode_ = 0;
};

}  // namespace

Ref<HostObject> CreateDictionary() { return Ref<HostObject>(new Dictionary()); }

}  // namespace vbs::lib
