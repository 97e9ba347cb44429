// Compiles a library file through the engine the way the calculator loads a
// user library (one AddCode of the whole text), then reports how many
// procedures the engine holds and the process's peak resident memory.
// usage: bench_compile FILE.vbs   -> stdout: procedure count; stderr: peak_kb N
#include <fstream>
#include <iostream>
#include <string>

#include "vbs/engine.h"

namespace {

// Peak resident set size in kB, as the kernel tracks it (VmHWM).
long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: bench_compile FILE.vbs\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "cannot read " << argv[1] << "\n";
    return 2;
  }
  in.seekg(0, std::ios::end);
  std::string bytes(size_t(in.tellg()), '\0');
  in.seekg(0, std::ios::beg);
  in.read(bytes.data(), std::streamsize(bytes.size()));
  // The generated library is ASCII, so widening each byte is its UTF-16 form.
  std::u16string text(bytes.begin(), bytes.end());
  bytes.clear();
  bytes.shrink_to_fit();

  vbs::Engine engine;
  if (!engine.AddCode(text)) {
    const vbs::ErrorInfo& e = engine.Error();
    std::cerr << "compile failed: error " << e.Number << " at line " << e.Line << "\n";
    return 1;
  }
  std::cout << engine.Procedures().size() << "\n";
  std::cerr << "peak_kb " << PeakResidentKb() << "\n";
  return 0;
}
