// Scripting.Dictionary: keys kept in insertion order, looked up by hash.
#include <cmath>
#include <unordered_map>

#include "lib/objbase.h"
#include "lib/textalgo.h"

namespace vbs::lib {

namespace {

// A key as the dictionary compares it: numbers by value whatever their
// subtype, strings exactly or (text mode) ignoring case, objects by identity.
struct KeyId {
  enum Kind : uint8_t { Empty, Null, Number, Bool, Date, Text, Obj } kind = Empty;
  double num = 0;
  std::u16string text;
  const void* obj = nullptr;
  bool operator==(const KeyId& o) const {
    return kind == o.kind && num == o.num && text == o.text && obj == o.obj;
  }
};

struct KeyHash {
  size_t operator()(const KeyId& k) const {
    size_t h = std::hash<int>()(k.kind);
    h ^= std::hash<double>()(k.num) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    h ^= std::hash<std::u16string>()(k.text) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    h ^= std::hash<const void*>()(k.obj) + (h << 6) + (h >> 2);
    return h;
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
        if (index_.count(id)) Raise(kErrDuplicateKey);
        Insert(std::move(id), a[0], a[1]);
        return;
      }
      case kExists:
        NeedArgs(a, 1, 1);
        result = Variant::FromBool(index_.count(Id(a[0])) != 0);
        return;
      case kItems: case kKeys: {
        NeedArgs(a, 0, 0);
        std::vector<Variant> out;
        out.reserve(index_.size());
        for (const auto& e : entries_)
          if (e.alive) out.push_back(member == kItems ? e.value : e.key);
        result = Variant::FromArray(Array::FromValues(std::move(out)));
        return;
      }
      case kKey: {
        if (kind != InvokeKind::PropertyLet && kind != InvokeKind::PropertySet) Raise(kErrNoSuchMember);
        NeedArgs(a, 2, 2);
        auto it = index_.find(Id(a[0]));
        if (it == index_.end()) Raise(kErrElementNotFound);
        KeyId newId = Id(a[1]);
        if (index_.count(newId)) Raise(kErrDuplicateKey);
        const size_t pos = it->second;
        index_.erase(it);
        entries_[pos].key = Stored(a[1]);
        index_.emplace(std::move(newId), pos);
        return;
      }
      case kRemove: {
        NeedArgs(a, 1, 1);
        auto it = index_.find(Id(a[0]));
        if (it == index_.end()) Raise(kErrElementNotFound);
        Entry& e = entries_[it->second];
        e.alive = false;
        e.key = Variant();
        e.value = Variant();
        index_.erase(it);
        ++dead_;
        if (dead_ > 16 && dead_ * 2 > entries_.size()) Compact();
        return;
      }
      case kRemoveAll:
        NeedArgs(a, 0, 0);
        entries_.clear();
        index_.clear();
        dead_ = 0;
        return;
      case kCount:
        NeedArgs(a, 0, 0);
        result = Variant::FromLong(static_cast<int32_t>(index_.size()));
        return;
      case kCompareMode:
        if (kind == InvokeKind::PropertyLet) {
          NeedArgs(a, 1, 1);
          const int32_t mode = ToLong(a[0]);
          if (mode < 0 || !index_.empty()) Raise(kErrInvalidCall);
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
  };

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
        k.text = textMode_ ? ToLower(v.str()) : std::u16string(v.str());
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

  Entry& FindOrAdd(const Variant& key) {
    KeyId id = Id(key);
    auto it = index_.find(id);
    if (it != index_.end()) return entries_[it->second];
    return Insert(std::move(id), key, Variant());
  }

  Entry& Insert(KeyId id, const Variant& key, const Variant& value) {
    index_.emplace(std::move(id), entries_.size());
    entries_.push_back(Entry{Stored(key), value, true});
    return entries_.back();
  }

  void Compact() {
    std::vector<Entry> kept;
    kept.reserve(index_.size());
    for (auto& e : entries_)
      if (e.alive) kept.push_back(std::move(e));
    entries_ = std::move(kept);
    index_.clear();
    for (size_t i = 0; i < entries_.size(); ++i) index_.emplace(Id(entries_[i].key), i);
    dead_ = 0;
  }

  std::vector<Entry> entries_;
  std::unordered_map<KeyId, size_t, KeyHash> index_;
  size_t dead_ = 0;
  bool textMode_ = false;
  int32_t mode_ = 0;
};

}  // namespace

Ref<HostObject> CreateDictionary() { return Ref<HostObject>(new Dictionary()); }

}  // namespace vbs::lib
