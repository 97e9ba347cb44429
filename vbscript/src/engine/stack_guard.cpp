#include "engine/stack_guard.h"

#include <pthread.h>
#include <sys/resource.h>

namespace vbs {

uintptr_t StackLimitForThisThread() {
  // Margin: what one step between checks may use, generous for sanitizer
  // builds whose frames are several times larger.
#if defined(__SANITIZE_ADDRESS__)
  constexpr size_t kMargin = 1024 * 1024;
#else
  constexpr size_t kMargin = 256 * 1024;
#endif
  char here;
  uintptr_t cur = reinterpret_cast<uintptr_t>(&here);
  // A thread's stack does not move, and asking for it is slow on the main
  // thread (glibc reads /proc/self/maps): asked once per thread, not once
  // per engine (the library browser makes one engine per file).
  thread_local bool known = false;
  thread_local void* addr = nullptr;
  thread_local size_t size = 0;
  if (!known) {
    known = true;
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      pthread_attr_getstack(&attr, &addr, &size);
      pthread_attr_destroy(&attr);
    }
  }
  const size_t stackSize = addr && size ? size : 1024 * 1024;
  uintptr_t low = addr ? reinterpret_cast<uintptr_t>(addr) : cur - stackSize;
  // Never trust more than 64 MB (an unlimited rlimit reports huge sizes).
  if (cur - low > 64u * 1024 * 1024) low = cur - 64u * 1024 * 1024;
  // Use at most 3/4 of what is left, and keep the margin free.
  uintptr_t avail = cur - low;
  uintptr_t keep = avail / 4 > kMargin ? avail / 4 : kMargin;
  if (keep >= avail) keep = avail / 2;
  return low + keep;
}

}  // namespace vbs
