// Freeing what lost its last reference. Freeing one object releases what
// it holds, which may free the next: a linked list of 200,000 instances (or
// arrays nested as deep) would take one native frame per link. Whatever
// comes free while something is being freed waits in a queue instead, and
// one loop frees it all, holder before held, in the order they were held.
#include <algorithm>
#include <vector>

#include "vbs/object.h"
#include "vbs/variant.h"

namespace vbs {

struct ReleaseQueue {
  struct Item {
    Object* obj;
    Array* arr;
  };
  std::vector<Item> items;
  bool draining = false;

  static ReleaseQueue& Get() {
    thread_local ReleaseQueue q;
    return q;
  }

  void Free(Item it) {
    if (draining) {
      items.push_back(it);
      return;
    }
    draining = true;
    const size_t base = items.size();
    for (;;) {
      const size_t mark = items.size();
      if (it.obj) it.obj->Finalize();
      else delete it.arr;
      // What this one held goes next, first-held first.
      std::reverse(items.begin() + std::ptrdiff_t(mark), items.end());
      if (items.size() == base) break;
      it = items.back();
      items.pop_back();
    }
    draining = false;
  }
};

void FreeUnreferenced(Object* o) { ReleaseQueue::Get().Free({o, nullptr}); }
void FreeUnreferenced(Array* a) { ReleaseQueue::Get().Free({nullptr, a}); }

ImmediateReleases::ImmediateReleases() : saved_(ReleaseQueue::Get().draining) {
  ReleaseQueue::Get().draining = false;
}
ImmediateReleases::~ImmediateReleases() { ReleaseQueue::Get().draining = saved_; }

}  // namespace vbs
