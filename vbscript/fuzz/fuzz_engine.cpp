// Fuzz target: arbitrary bytes as script text, compiled and run. A watchdog
// interrupts scripts that loop forever, so every input ends. The engine has
// no file system object: no input can write a file.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <thread>

#include "vbs/engine.h"
#include "vbs/textcodec.h"

namespace {

// One watchdog thread for the whole run: starting a thread per input costs
// more than most inputs take to run.
class Watchdog {
 public:
  Watchdog() : thread_([this] { Loop(); }) { thread_.detach(); }

  void Arm(vbs::Engine* engine) {
    std::lock_guard<std::mutex> lock(m_);
    engine_ = engine;
    deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    cv_.notify_one();
  }
  void Disarm() {
    std::lock_guard<std::mutex> lock(m_);
    engine_ = nullptr;
  }

 private:
  void Loop() {
    std::unique_lock<std::mutex> lock(m_);
    for (;;) {
      if (!engine_) {
        cv_.wait(lock);
        continue;
      }
      if (cv_.wait_until(lock, deadline_) == std::cv_status::timeout && engine_ &&
          std::chrono::steady_clock::now() >= deadline_) {
        engine_->RequestInterrupt();
        engine_ = nullptr;
      }
    }
  }

  std::mutex m_;
  std::condition_variable cv_;
  vbs::Engine* engine_ = nullptr;
  std::chrono::steady_clock::time_point deadline_;
  std::thread thread_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Watchdog* watchdog = new Watchdog;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto text = vbs::DecodeScriptText(bytes);
  if (!text) return 0;
  vbs::Engine engine;
  engine.SetFileAccess(vbs::FileAccess::Denied);
  watchdog->Arm(&engine);
  engine.AddCode(*text);
  vbs::Variant v;
  engine.Eval(u"1 + 1", v);
  // Freeing what the script left behind runs its Class_Terminate handlers:
  // bounded the same way, before the engine goes.
  watchdog->Arm(&engine);
  engine.Reset();
  watchdog->Disarm();
  return 0;
}
