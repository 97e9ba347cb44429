// When a saved library reloads itself: the quiet period after a burst of
// saves, the wait for a script or a dialog, and which folder changes count.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "reload_schedule.h"

namespace zel {
namespace {

namespace fs = std::filesystem;
using Action = ReloadSchedule::Action;

TEST(ReloadSchedule, SavesCloserThanTheQuietPeriodGiveOneReloadAfterTheLast) {
  ReloadSchedule s(300);
  EXPECT_EQ(s.Check(0, false, false).action, Action::Nothing);
  // Three saves 100 ms apart: each one puts the reload off.
  for (long long t : {1000, 1100, 1200}) {
    s.Changed(t);
    const auto next = s.Check(t + 50, false, false);
    EXPECT_EQ(next.action, Action::WaitQuiet);
    EXPECT_EQ(next.checkAt, t + 300);
  }
  EXPECT_EQ(s.Check(1499, false, false).action, Action::WaitQuiet);
  EXPECT_EQ(s.Check(1500, false, false).action, Action::Reload);
  s.Reloaded();
  EXPECT_EQ(s.Check(5000, false, false).action, Action::Nothing);
}

TEST(ReloadSchedule, AReloadWaitsUntilTheScriptHasEndedAndTheDialogIsClosed) {
  ReloadSchedule s(300);
  s.Changed(0);
  struct Case {
    long long now;
    bool script, dialog;
    Action expected;
  } const cases[] = {
      {400, true, false, Action::WaitBusy},
      {2000, true, true, Action::WaitBusy},
      {3000, false, true, Action::WaitBusy},
      {3100, false, false, Action::Reload},
  };
  for (const Case& c : cases) {
    const auto next = s.Check(c.now, c.script, c.dialog);
    EXPECT_EQ(next.action, c.expected) << c.now;
    if (c.expected == Action::WaitBusy) {
      EXPECT_GT(next.checkAt, c.now);
    }
  }
}

TEST(ReloadSchedule, OnlyLibraryFilesAndTheirVersionsMakeADifference) {
  const fs::path dir = fs::temp_directory_path() / ("reload-snapshot-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "sub.vbs");
  auto put = [&](const char* name, const char* text) { std::ofstream(dir / name) << text; };
  put("a.vbs", "Function A\nEnd Function\n");
  put("B.VBS", "x");
  const LibrarySnapshot first = TakeLibrarySnapshot(dir);
  ASSERT_EQ(first.size(), 2u);  // the folder named like a file is none
  EXPECT_EQ(first[0].name, "B.VBS");

  // Editors' side files come and go without a change.
  put("a.vbs~", "backup");
  put(".a.vbs.swp", "swap");
  put("notes.txt", "");
  EXPECT_EQ(TakeLibrarySnapshot(dir), first);

  // Saved in place with the same size: the time tells.
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  put("B.VBS", "y");
  const LibrarySnapshot inPlace = TakeLibrarySnapshot(dir);
  EXPECT_NE(inPlace, first);
  // Saved by rename: a new file takes the name.
  put("a.tmp", "Function A\nEnd Function\n");
  fs::rename(dir / "a.tmp", dir / "a.vbs");
  EXPECT_NE(TakeLibrarySnapshot(dir), inPlace);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zel
