#pragma once
// A running procedure's frame and the stack its slots live on: slots never
// move while their frame lives, so a ByRef argument can point into a
// caller's frame.
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ast.h"
#include "vbs/variant.h"

namespace vbs {

class ClassInstance;

// Variables and procedures that Execute declared inside a running
// procedure: they live as long as the procedure's frame and are reached by
// the procedure itself and by later Execute/Eval in it, never from outside.
struct ExtraVars {
  std::vector<std::u16string> names;
  std::vector<std::unique_ptr<Variant>> values;
  struct LocalProc {
    std::u16string key;  // folded name
    Proc* proc;          // owned by a program kept in Interp::programs_
  };
  std::vector<LocalProc> procs;
  Proc* FindProc(std::u16string_view name) const;
};

struct Frame {
  Variant* slots = nullptr;
  std::shared_ptr<ExtraVars> extras;
  Proc* proc = nullptr;             // nullptr at top level
  ClassInstance* me = nullptr;
  bool onErrorResume = false;
  Frame* parent = nullptr;
  Frame() = default;
  // A call's frame, made in one go.
  Frame(Variant* s, Proc* p, ClassInstance* m, Frame* up) : slots(s), proc(p), me(m), parent(up) {}
};

// Segmented stack of frame slots: segments never move, so ByRef pointers
// into a caller's frame stay valid.
class SlotStack {
 public:
  // Fresh slots come back Empty and without flags (a slot must not
  // inherit a fixed-array mark); Pop releases only what holds a reference,
  // so a frame of numbers costs one pass of stores here and none there.
  Variant* Push(int n) {
    Variant* p = Reserve(n);
    // Whole groups of four: segments end in kPad spare slots, and slots
    // above the top hold nothing that needs releasing.
    Variant* q = p;
    do {
      std::memset(static_cast<void*>(q), 0, kPad * sizeof(Variant));
      q += kPad;
    } while (q < p + n);
    return p;
  }
  // A call's frame: the argument slots 1..nargs are left unset for the
  // caller to build in place (until then they hold nothing to release);
  // the result slot and the locals come back Empty.
  Variant* PushArgs(int n, int nargs) {
    Variant* p = Reserve(n);
    std::memset(static_cast<void*>(p), 0, sizeof(Variant));
    for (Variant* q = p + nargs + 1; q < p + n; q += kPad)
      std::memset(static_cast<void*>(q), 0, kPad * sizeof(Variant));
    return p;
  }
  void Pop(Variant* base, int n) {
    // One pass ORs the types, in the groups of four Push zeroed (spare
    // slots past the frame hold no references): no String, Object or array
    // bit means nothing to release (Boolean and the like only cost the
    // slow pass).
    unsigned any = base[0].type() | base[1].type() | base[2].type() | base[3].type();
    // Most frames are one group.
    if (n > kPad) {
      for (const Variant* q = base + kPad; q < base + n; q += kPad) {
        // Kept a plain loop: frames are short, and a vectorised one spends
        // more deciding how to run than it saves.
        asm("" : "+r"(q));
        any |= q[0].type() | q[1].type() | q[2].type() | q[3].type();
      }
    }
    if (any & (vbArray | vbString)) ReleaseSlots(base, n);
    if (base > start_ && base < end_) {
      top_ = base;
      return;
    }
    PopSlow(base);
  }
  ~SlotStack();

 private:
  struct Seg {
    Variant* data;
    size_t cap;
    size_t used;
  };
  Variant* Reserve(int n) {
    // Addresses compared as numbers: the new top may lie past the segment.
    const uintptr_t q = reinterpret_cast<uintptr_t>(top_) + uintptr_t(n) * sizeof(Variant);
    if (__builtin_expect(q > reinterpret_cast<uintptr_t>(end_), 0)) return PushSlow(n);
    Variant* p = top_;
    top_ = reinterpret_cast<Variant*>(q);
    return p;
  }
  Variant* PushSlow(int n);
  void PopSlow(Variant* base);
  static void ReleaseSlots(Variant* base, int n);
  static constexpr int kPad = 4;
  // The current segment is mirrored in start_/top_/end_ for the fast
  // paths; the slow paths write it back and reload it.
  void Sync() {
    if (cur_ < segs_.size()) segs_[cur_].used = size_t(top_ - start_);
  }
  void Load() {
    if (cur_ < segs_.size()) {
      Seg& s = segs_[cur_];
      start_ = s.data;
      top_ = s.data + s.used;
      end_ = s.data + s.cap;
    }
  }
  std::vector<Seg> segs_;
  size_t cur_ = 0;
  Variant* start_ = nullptr;
  Variant* top_ = nullptr;
  Variant* end_ = nullptr;
};

}  // namespace vbs
