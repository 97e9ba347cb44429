// Fuzz target: arbitrary bytes as script text, compiled and run. A watchdog
// interrupts scripts that loop forever, so every input ends.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <thread>

#include "vbs/engine.h"
#include "vbs/textcodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto text = vbs::DecodeScriptText(bytes);
  if (!text) return 0;
  vbs::Engine engine;
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> lock(m);
    if (!cv.wait_for(lock, std::chrono::milliseconds(500), [&] { return done; }))
      engine.RequestInterrupt();
  });
  engine.AddCode(*text);
  vbs::Variant v;
  engine.Eval(u"1 + 1", v);
  {
    std::lock_guard<std::mutex> lock(m);
    done = true;
  }
  cv.notify_one();
  watchdog.join();
  return 0;
}
