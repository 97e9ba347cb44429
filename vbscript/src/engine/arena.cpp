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

void NoNodeArena() { throw std::logic_error("nodes are made only in a node arena"); }

// Each block starts with this header: the arena's list of blocks costs no
// allocation of its own.
struct NodeArena::BlockHead {
  BlockHead* next;
  size_t size;
};

NodeArena::~NodeArena() {
  for (Finalizer* f = finalizers_; f; f = f->next) f->fn(f->p);
  for (BlockHead* b = blocks_; b;) {
    BlockHead* next = b->next;
    FreeBlock(reinterpret_cast<char*>(b), b->size);
    b = next;
  }
}

void NodeArena::ExpectText(size_t chars) {
  // Nodes take about ten bytes per character of text: from about 100,000
  // characters on they fill the small blocks anyway.
  if (!blocks_ && chars >= 100000) nextBlock_ = kHugeBlock;
}

void* NodeArena::AllocSlow(size_t n) {
  static_assert(sizeof(BlockHead) % kAlign == 0);
  size_t size = nextBlock_ ? nextBlock_ : kFirstBlock;
  nextBlock_ = std::min(size * 2, kHugeBlock);
  if (n + sizeof(BlockHead) > size) {
    size = n + sizeof(BlockHead) + kFirstBlock;  // an outsized node gets a block of its own
    if (size == kHugeBlock) size += 16;
  }
  char* b = AllocBlock(size);
  auto* head = reinterpret_cast<BlockHead*>(b);
  head->next = blocks_;
  head->size = size;
  blocks_ = head;
  cur_ = b + sizeof(BlockHead) + n;
  left_ = size - sizeof(BlockHead) - n;
  return b + sizeof(BlockHead);
}

std::u16string_view ArenaText(std::u16string_view s) {
  if (s.empty()) return {};
  auto* p = static_cast<char16_t*>(RequireNodeArena().Alloc(s.size() * sizeof(char16_t)));
  std::copy(s.begin(), s.end(), p);
  return {p, s.size()};
}

void SetNodeValueKept(Variant& field, const Variant& kept) {
  if (!kept.IsString()) return SetNodeValue(field, kept);
  field = kept;
  // Hand back the reference the copy took: `kept` holds the string for the
  // node, and nothing changes or releases a node's value once it is set.
  field.string()->Release();
}

void SetNodeValue(Variant& field, Variant v) {
  field = std::move(v);
  if (Variant::IsRefType(field.type())) RequireNodeArena().AtFree(&field, [](void* q) { static_cast<Variant*>(q)->Clear(); });
}

}  // namespace vbs
