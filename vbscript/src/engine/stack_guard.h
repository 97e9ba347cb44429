#pragma once
// Deep recursion (script calls, nested expressions in the parser, nested
// destructors) must end in error 28 before the native stack runs out. The
// guard compares the current stack position with the thread's stack limit.
#include <cstddef>
#include <cstdint>

namespace vbs {

struct StackBounds {
  uintptr_t low = 0;   // lowest usable address (stack grows down)
};

// The limit below which we refuse to go deeper: the thread's stack end plus
// a safety margin for the work done between two checks.
uintptr_t StackLimitForThisThread();

inline bool StackExhausted() {
  thread_local uintptr_t limit = StackLimitForThisThread();
  char probe;
  return reinterpret_cast<uintptr_t>(&probe) < limit;
}

}  // namespace vbs
