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
  std::u16string text;
  text.reserve(size_t(in.tellg()));
  in.seekg(0, std::ios::beg);
  // Read in pieces and widen as we go: the generated library is ASCII, so
  // each byte widened is its UTF-16 form.
  char buf[65536];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) text.append(buf, buf + in.gcount());

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
