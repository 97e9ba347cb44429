// The slot stack's segments, and the procedures Execute declared in a frame.
#include "engine/frame.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "vbs/object.h"

namespace vbs {

Proc* ExtraVars::FindProc(std::u16string_view name) const {
  for (auto& lp : procs)
    if (NameEquals(name, lp.key)) return lp.proc;
  return nullptr;
}

Variant* SlotStack::PushSlow(int n) {
  Sync();
  size_t need = size_t(n);
  // Move on to the next segment (the current one stays as it is: frames
  // in it are still live).
  if (cur_ < segs_.size() && segs_[cur_].used > 0) ++cur_;
  while (cur_ < segs_.size() && segs_[cur_].cap < need) {
    // An unused segment that is too small: replace it by a bigger one.
    std::free(segs_[cur_].data);
    segs_.erase(segs_.begin() + std::ptrdiff_t(cur_));
  }
  if (cur_ >= segs_.size()) {
    size_t cap = std::max<size_t>(need, 16384);
    // Zeroed memory is Empty slots, made without a constructor call per
    // slot; segments hold nothing to release once their frames are gone.
    segs_.reserve(segs_.size() + 1);
    auto* data = static_cast<Variant*>(std::calloc(cap + kPad, sizeof(Variant)));
    if (!data) throw std::bad_alloc();
    segs_.push_back(Seg{data, cap, 0});
    cur_ = segs_.size() - 1;
  }
  Seg& s = segs_[cur_];
  Variant* p = s.data + s.used;
  s.used += need;
  Load();
  return p;
}

void SlotStack::PopSlow(Variant* base) {
  Sync();
  // The frame starts a segment (or lives in an earlier one): walk back.
  for (;;) {
    Seg& s = segs_[cur_];
    if (base >= s.data && base < s.data + s.cap) {
      s.used = size_t(base - s.data);
      if (s.used == 0 && cur_ > 0) --cur_;
      Load();
      return;
    }
    s.used = 0;
    if (cur_ == 0) {
      Load();
      return;
    }
    --cur_;
  }
}

void SlotStack::ReleaseSlots(Variant* base, int n) {
  for (int i = n - 1; i >= 0; --i)
    if (Variant::IsRefType(base[i].type())) base[i].ResetSlot();
}

SlotStack::~SlotStack() {
  for (auto& s : segs_) std::free(s.data);
}

}  // namespace vbs
