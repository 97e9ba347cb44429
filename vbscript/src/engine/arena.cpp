#include <cstdlib>
#include <new>

#include "engine/ast.h"

namespace vbs {
namespace {
// Every node is preceded by a header that says where it came from.
constexpr size_t kHeader = 16;
constexpr size_t kBlock = 64 * 1024;
}  // namespace

NodeArena*& CurrentNodeArena() {
  thread_local NodeArena* current = nullptr;
  return current;
}

NodeArena::~NodeArena() {
  for (char* b : blocks_) std::free(b);
}

void* NodeArena::Alloc(size_t n) {
  n = (n + 15) & ~size_t(15);
  if (n > left_) {
    size_t size = n > kBlock ? n : kBlock;
    char* b = static_cast<char*>(std::malloc(size));
    if (!b) throw std::bad_alloc();
    blocks_.push_back(b);
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

void FreeNode(void* p) noexcept {
  if (!p) return;
  char* h = static_cast<char*>(p) - kHeader;
  if (h[0] == 0) std::free(h);  // arena nodes go with their arena
}

}  // namespace vbs
