// Compiles a library file through the engine the way the calculator loads a
// user library (one AddCode of the whole text), then reports how many
// procedures the engine holds and the process's peak resident memory.
// usage: bench_compile FILE.vbs   -> stdout: procedure count; stderr: peak_kb N
//
// The file is mapped and widened to UTF-16 in one pass into a buffer on
// huge pages (where the system offers them): reading it through streams
// into a growing string would fault in every 4 kB page of the text twice
// and time the stream library rather than the compile.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>

#include "vbs/engine.h"

namespace {

// Peak resident set size in kB, as the kernel tracks it (VmHWM).
long PeakResidentKb() {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long kb = -1;
  while (std::fgets(line, sizeof line, f)) {
    if (std::strncmp(line, "VmHWM:", 6) == 0) {
      kb = std::atol(line + 6);
      break;
    }
  }
  std::fclose(f);
  return kb;
}

constexpr size_t kHuge = size_t(2) << 20;

// `chars` UTF-16 code units of writable memory; the whole 2 MB pieces of it
// on huge pages.
char16_t* TextBuffer(size_t chars) {
  const size_t bytes = (chars * sizeof(char16_t) + 4095) & ~size_t(4095);
  void* m = mmap(nullptr, bytes + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (m == MAP_FAILED) return nullptr;
  auto base = reinterpret_cast<uintptr_t>(m);
  const uintptr_t aligned = (base + kHuge - 1) & ~uintptr_t(kHuge - 1);
  if (aligned > base) munmap(m, aligned - base);
  const uintptr_t end = base + bytes + kHuge;
  if (end > aligned + bytes) munmap(reinterpret_cast<void*>(aligned + bytes), end - aligned - bytes);
#ifdef MADV_HUGEPAGE
  if (bytes >= kHuge) madvise(reinterpret_cast<void*>(aligned), bytes & ~(kHuge - 1), MADV_HUGEPAGE);
#endif
  return reinterpret_cast<char16_t*>(aligned);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: bench_compile FILE.vbs\n";
    return 2;
  }
  const int fd = open(argv[1], O_RDONLY);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0) {
    std::cerr << "cannot read " << argv[1] << "\n";
    return 2;
  }
  const size_t size = size_t(st.st_size);
  char16_t* text = TextBuffer(size ? size : 1);
  if (!text) {
    std::cerr << "out of memory\n";
    return 2;
  }
  if (size) {
    void* m = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (m == MAP_FAILED) {
      std::cerr << "cannot read " << argv[1] << "\n";
      return 2;
    }
    // The generated library is ASCII: each byte widened is its UTF-16 form.
    const auto* bytes = static_cast<const unsigned char*>(m);
    for (size_t i = 0; i < size; ++i) text[i] = bytes[i];
    munmap(m, size);
  }
  close(fd);

  vbs::Engine engine;
  if (!engine.AddCode(std::u16string_view(text, size))) {
    const vbs::ErrorInfo& e = engine.Error();
    std::cerr << "compile failed: error " << e.Number << " at line " << e.Line << "\n";
    return 1;
  }
  std::cout << engine.Procedures().size() << "\n";
  std::cerr << "peak_kb " << PeakResidentKb() << "\n";
  return 0;
}
