// When a long script is announced as busy.
#include <gtest/gtest.h>

#include "busy_after_delay.h"

namespace zel {
namespace {

using std::chrono::milliseconds;

TEST(BusyAfterDelay, QuietForTheDelayThenDue) {
  const BusyAfterDelay::Clock::time_point t0{std::chrono::seconds(100)};
  BusyAfterDelay busy;
  busy.Begin(t0);
  const struct {
    int atMs;
    int quietMs;
  } cases[] = {{0, 500}, {1, 499}, {499, 1}, {500, 0}, {2000, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(busy.QuietLeft(t0 + milliseconds(c.atMs)), milliseconds(c.quietMs)) << c.atMs;
  // Part of a millisecond does not count yet, as with a millisecond clock.
  EXPECT_EQ(busy.QuietLeft(t0 + std::chrono::microseconds(499900)), milliseconds(1));
}

TEST(BusyAfterDelay, ChangedDelayAndNewActionCountFromTheirOwnStart) {
  const BusyAfterDelay::Clock::time_point t0{std::chrono::seconds(100)};
  BusyAfterDelay busy;
  busy.SetDelayMs(1000);
  busy.Begin(t0);
  EXPECT_EQ(busy.QuietLeft(t0 + milliseconds(600)), milliseconds(400));
  busy.Begin(t0 + milliseconds(5000));
  EXPECT_EQ(busy.QuietLeft(t0 + milliseconds(5600)), milliseconds(400));
}

TEST(BusyAfterDelay, ShowsOnceUntilTheActionEnds) {
  const BusyAfterDelay::Clock::time_point t0{std::chrono::seconds(100)};
  BusyAfterDelay busy;
  busy.Begin(t0);
  EXPECT_FALSE(busy.SetShown(false));  // nothing to tell
  EXPECT_TRUE(busy.SetShown(true));
  EXPECT_FALSE(busy.SetShown(true));
  EXPECT_TRUE(busy.Shown());
  // While it shows there is no quiet time left, whatever the clock says.
  EXPECT_EQ(busy.QuietLeft(t0), milliseconds(0));
  EXPECT_TRUE(busy.SetShown(false));
  busy.Begin(t0 + milliseconds(100));
  EXPECT_EQ(busy.QuietLeft(t0 + milliseconds(100)), milliseconds(500));
}

}  // namespace
}  // namespace zel
