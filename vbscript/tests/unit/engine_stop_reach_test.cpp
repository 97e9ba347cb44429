// Stop reaches a script wherever it waits outside the interpreter's own
// loops: in a regular expression that backtracks for ever, and in a write
// to a device that takes nothing more.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <string>
#include <thread>

#include "vbs/engine.h"
#include "vbs/textcodec.h"
#include "vbs/value_conv.h"

namespace vbs {
namespace {

using namespace std::chrono_literals;

// Tells the test that the script reached the call before its long wait.
class Signal : public HostObject {
 public:
  std::u16string TypeName() const override { return u"Signal"; }
  int FindMember(std::u16string_view n) const override { return NameEquals(n, "ready") ? 1 : -1; }
  void Invoke(int, InvokeKind, Args&, Variant&) override { ready = true; }
  std::atomic<bool> ready{false};
};

// Runs code on a thread and asks for a stop a moment after the script has
// signalled, so that the request lands inside the wait and not before it.
// Returns the error the run ended with (0 for none). A stop that never
// lands ends the test process: the thread cannot be left running.
int StopWhileWaiting(Engine& e, Signal& signal, const std::string& code) {
  auto run = std::async(std::launch::async, [&] { return e.ExecuteStatement(Utf8ToUtf16(code)) ? 0 : e.Error().Number; });
  while (!signal.ready.load() && run.wait_for(1ms) != std::future_status::ready) {
  }
  std::this_thread::sleep_for(200ms);
  e.RequestInterrupt();
  if (run.wait_for(60s) != std::future_status::ready) {
    ADD_FAILURE() << "the stop request did not end the script";
    std::fflush(stdout);
    std::_Exit(1);
  }
  return run.get();
}

}  // namespace

TEST(EngineStopReach, StopEndsARegularExpressionThatBacktracksForEver) {
  Engine e;
  Ref<Signal> signal(new Signal());
  e.AddObject(u"sig", signal);
  // The back reference keeps the matcher's guard out: about 2^40 tries.
  // On Error Resume Next does not take the stop.
  EXPECT_EQ(StopWhileWaiting(e, *signal,
                             "On Error Resume Next\n"
                             "Set re = New RegExp : re.Pattern = \"(a+)+\\1b\"\n"
                             "s = String(40, \"a\")\n"
                             "sig.Ready\n"
                             "found = re.Test(s)\n"
                             "reached = True"),
            kErrInterrupted);
  EXPECT_EQ(e.Error().Line, 5);
  Variant reached;
  ASSERT_TRUE(e.Eval(u"IsEmpty(reached)", reached));
  EXPECT_TRUE(reached.boolVal());
}

TEST(EngineStopReach, StopEndsAWriteToADeviceThatTakesNothing) {
  // A terminal nobody reads: its buffer fills and every further write waits.
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const std::string device = ::ptsname(master);
  {
    Engine e;
    Ref<Signal> signal(new Signal());
    e.AddObject(u"sig", signal);
    EXPECT_EQ(StopWhileWaiting(e, *signal,
                               "Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
                               "Set ts = fso.CreateTextFile(\"" + device + "\")\n"
                               "sig.Ready\n"
                               "ts.Write String(1000000, \"x\")"),
              kErrInterrupted);
    EXPECT_EQ(e.Error().Line, 4);
  }   // releasing the stream does not wait either
  ::close(master);
}

}  // namespace vbs
