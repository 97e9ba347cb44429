#pragma once
// Map from (already folded) names to ints for the compiler's name tables:
// open addressing over a power-of-two table, so a lookup is one hash and
// usually one string comparison, with no division and no node allocation.
// The keys' characters live one after another in one buffer: an entry is
// 24 bytes and a new name costs no allocation of its own.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace vbs {

// Whether n characters at a and b are the same: names are short, so an
// inline compare of four characters at a time beats a call of memcmp.
inline bool SameChars(const char16_t* a, const char16_t* b, size_t n) {
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    uint64_t x, y;
    std::memcpy(&x, a + i, sizeof x);
    std::memcpy(&y, b + i, sizeof y);
    if (x != y) return false;
  }
  for (; i < n; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

class NameIndex {
 public:
  // The value stored for `key`, or nullptr.
  int* Find(std::u16string_view key) { return Find(key, Hash(key)); }
  // The same with the key's Hash() computed by the caller (one hash for
  // several tables).
  int* Find(std::u16string_view key, uint64_t h) {
    size_t i = Locate(key, h);
    return i == kNone ? nullptr : &slots_[i].value;
  }
  const int* Find(std::u16string_view key) const { return const_cast<NameIndex*>(this)->Find(key); }
  const int* Find(std::u16string_view key, uint64_t h) const {
    return const_cast<NameIndex*>(this)->Find(key, h);
  }
  // One step of the hash, for code that computes it while it walks a name.
  static constexpr uint64_t kHashStart = 14695981039346656037ull;  // FNV-1a over code units
  static uint64_t HashStep(uint64_t h, char16_t c) { return (h ^ c) * 1099511628211ull; }
  static uint64_t HashEnd(uint64_t h) { return h ^ (h >> 29); }
  static uint64_t Hash(std::u16string_view s) {
    uint64_t h = kHashStart;
    for (char16_t c : s) h = HashStep(h, c);
    return HashEnd(h);
  }
  bool Contains(std::u16string_view key) const { return Find(key) != nullptr; }

  // The value for `key`, inserted as 0 when absent.
  int& operator[](std::u16string_view key) { return Insert(key, Hash(key)); }
  // The same with the key's Hash() computed by the caller.
  int& Insert(std::u16string_view key, uint64_t h) {
    if (int* v = Find(key, h)) return *v;
    if ((count_ + tombs_ + 1) * 4 > slots_.size() * 3) Grow(slots_.empty() ? 32 : slots_.size() * 2);
    size_t i = size_t(h) & mask_;
    while (slots_[i].state == kUsed) i = (i + 1) & mask_;
    Entry& e = slots_[i];
    if (e.state == kTomb) --tombs_;
    e.state = kUsed;
    e.hash = h;
    e.keyPos = uint32_t(keys_.size());
    e.keyLen = uint32_t(key.size());
    keys_.append(key);
    e.value = 0;
    ++count_;
    used_.push_back(uint32_t(i));
    return e.value;
  }

  void Erase(std::u16string_view key) {
    size_t i = Locate(key, Hash(key));
    if (i == kNone) return;
    slots_[i].state = kTomb;  // its characters stay in the buffer until Clear
    --count_;
    ++tombs_;
  }

  // Room for `n` names without growing again.
  void Reserve(size_t n) {
    size_t want = 32;
    while (want * 3 < (n + tombs_) * 4) want *= 2;
    if (want > slots_.size()) Grow(want);
  }

  // Forgets every name; keeps the table for reuse.
  void Clear() {
    for (uint32_t i : used_) slots_[i].state = kEmpty;
    used_.clear();
    keys_.clear();
    count_ = 0;
    tombs_ = 0;
  }
  size_t size() const { return count_; }
  // Calls fn(key, hash, value) for every name.
  template <class F>
  void ForEach(F&& fn) const {
    for (const Entry& e : slots_) {
      if (e.state == kUsed) fn(std::u16string_view(keys_.data() + e.keyPos, e.keyLen), e.hash, e.value);
    }
  }

 private:
  enum : uint8_t { kEmpty, kUsed, kTomb };
  static constexpr size_t kNone = ~size_t(0);
  size_t Locate(std::u16string_view key, uint64_t h) const {
    if (count_ == 0) return kNone;
    for (size_t i = size_t(h) & mask_;; i = (i + 1) & mask_) {
      const Entry& e = slots_[i];
      if (e.state == kEmpty) return kNone;
      if (e.state == kUsed && e.hash == h && e.keyLen == key.size() &&
          SameChars(keys_.data() + e.keyPos, key.data(), key.size()))
        return i;
    }
  }
  struct Entry {
    uint64_t hash = 0;
    uint32_t keyPos = 0;  // in keys_
    uint32_t keyLen = 0;
    int value = 0;
    uint8_t state = kEmpty;
  };
  static_assert(sizeof(Entry) == 24);
  void Grow(size_t size) {
    std::vector<Entry> old;
    old.swap(slots_);
    slots_.resize(size);
    mask_ = slots_.size() - 1;
    used_.clear();
    count_ = 0;
    tombs_ = 0;
    for (Entry& e : old) {
      if (e.state != kUsed) continue;
      size_t i = size_t(e.hash) & mask_;
      while (slots_[i].state != kEmpty) i = (i + 1) & mask_;
      slots_[i] = e;
      ++count_;
      used_.push_back(uint32_t(i));
    }
  }

  std::vector<Entry> slots_;
  std::vector<uint32_t> used_;  // slots written since the last Clear
  std::u16string keys_;         // every key's characters, in insertion order
  size_t mask_ = 0;
  size_t count_ = 0;
  size_t tombs_ = 0;
};

}  // namespace vbs
