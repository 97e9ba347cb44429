#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <stdexcept>

#include "engine/ast.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vbs {
namespace {
// Every node is preceded by a header that says where it came from.
constexpr size_t kHeader = 16;
// Blocks grow from small (a one-line text stays cheap) to large (a big
// library takes few blocks); the largest are huge pages where the system
// offers them, so the first touch of a block costs one page fault, not 512.
constexpr size_t kFirstBlock = 16 * 1024;
constexpr size_t kHugeBlock = 2 * 1024 * 1024;

char* AllocBlock(size_t size) {
#if defined(__linux__)
  if (size == kHugeBlock) {
    // Map twice the size and keep the aligned half: huge pages need it.
    void* m = mmap(nullptr, 2 * kHugeBlock, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m == MAP_FAILED) throw std::bad_alloc();
    uintptr_t base = reinterpret_cast<uintptr_t>(m);
    uintptr_t aligned = (base + kHugeBlock - 1) & ~uintptr_t(kHugeBlock - 1);
    if (aligned > base) munmap(m, aligned - base);
    uintptr_t end = base + 2 * kHugeBlock;
    if (end > aligned + kHugeBlock) munmap(reinterpret_cast<void*>(aligned + kHugeBlock), end - aligned - kHugeBlock);
#ifdef MADV_HUGEPAGE
    madvise(reinterpret_cast<void*>(aligned), kHugeBlock, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<char*>(aligned);
  }
#endif
  char* b = static_cast<char*>(std::malloc(size));
  if (!b) throw std::bad_alloc();
  return b;
}

void FreeBlock(char* b, size_t size) {
#if defined(__linux__)
  if (size == kHugeBlock) {
    munmap(b, kHugeBlock);
    return;
  }
#endif
  (void)size;
  std::free(b);
}
}  // namespace

NodeArena*& CurrentNodeArena() {
  thread_local NodeArena* current = nullptr;
  return current;
}

NodeArena::~NodeArena() {
  for (auto& [b, size] : blocks_) FreeBlock(b, size);
}

void* NodeArena::AllocSlow(size_t n) {
  {
    size_t next = blocks_.empty() ? kFirstBlock : std::min(blocks_.back().second * 2, kHugeBlock);
    size_t size = next;
    if (n > next) {
      size = n + kFirstBlock;  // an outsized node gets a block of its own
      if (size == kHugeBlock) size += 16;
    }
    char* b = AllocBlock(size);
    blocks_.emplace_back(b, size);
    cur_ = b;
    left_ = size;
  }
  void* p = cur_;
  cur_ += n;
  left_ -= n;
  return p;
}

void* AllocNode(size_t n) {
  NodeArena* a = CurrentNodeArena();
  char* p;
  if (a) {
    p = static_cast<char*>(a->Alloc(n + kHeader));
    p[0] = 1;
  } else {
    p = static_cast<char*>(std::malloc(n + kHeader));
    if (!p) throw std::bad_alloc();
    p[0] = 0;
  }
  return p + kHeader;
}

std::u16string_view ArenaText(std::u16string_view s) {
  if (s.empty()) return {};
  NodeArena* a = CurrentNodeArena();
  if (!a) throw std::logic_error("names are copied only into a node arena");
  auto* p = static_cast<char16_t*>(a->Alloc(s.size() * sizeof(char16_t)));
  std::copy(s.begin(), s.end(), p);
  return {p, s.size()};
}

void DropChild(ExprP& child) noexcept {
  thread_local std::vector<Expr*> waiting;
  thread_local bool busy = false;
  Expr* e = child.release();
  if (!e) return;
  if (busy) {
    waiting.push_back(e);
    return;
  }
  busy = true;
  delete e;
  while (!waiting.empty()) {
    Expr* next = waiting.back();
    waiting.pop_back();
    delete next;
  }
  busy = false;
}

void FreeNode(void* p) noexcept {
  if (!p) return;
  char* h = static_cast<char*>(p) - kHeader;
  if (h[0] == 0) std::free(h);  // arena nodes go with their arena
}

}  // namespace vbs
