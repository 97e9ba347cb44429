// Where windows without a stored place open, on screens of every size.
#include <gtest/gtest.h>

#include "window_placement.h"

namespace zel {
namespace {

// A 1280 x 900 desktop with a 30 pixel panel at the top; the main window
// at the top left with its input line ending 80 pixels down.
const QRect kScreen(0, 30, 1280, 870);
const QRect kMain(7, 37, 520, 270);
constexpr int kInputBottom = 100;

TEST(PlaceBeside, RightOfTheMainWindowElseBelowElseOverItBelowTheInputLine) {
  const struct {
    const char* what;
    QRect main;
    QSize outer;
    QList<QPoint> taken;  // corners of the windows already open
    QRect placed;
  } cases[] = {
      {"right", kMain, {310, 330}, {}, {527, 37, 310, 330}},
      {"right, a window elsewhere", kMain, {310, 330}, {{600, 400}}, {527, 37, 310, 330}},
      {"right, staggered past one there", kMain, {310, 330}, {{527, 37}}, {527, 67, 310, 330}},
      {"right, staggered past two", kMain, {310, 330}, {{527, 67}, {527, 37}}, {527, 97, 310, 330}},
      {"right, moved up to stay on the screen", {7, 600, 520, 270}, {310, 330}, {}, {527, 570, 310, 330}},
      {"below: no room on the right", {700, 37, 520, 270}, {310, 330}, {}, {700, 307, 310, 330}},
      {"below, kept on the screen", {1000, 37, 270, 270}, {310, 330}, {}, {970, 307, 310, 330}},
      {"over: no room right or below", {7, 37, 1200, 700}, {310, 330}, {}, {37, 101, 310, 330}},
      {"over, staggered", {7, 37, 1200, 700}, {310, 330}, {{37, 101}, {67, 131}}, {97, 161, 310, 330}},
      {"over, no room for the stagger", {7, 37, 1200, 700}, {310, 790}, {{37, 101}, {67, 101}},
       {97, 101, 310, 790}},
      {"larger than the screen: cut to it", kMain, {2000, 1000}, {}, {0, 30, 1280, 870}},
      {"help window, 960 x 700", kMain, {960, 700}, {}, {37, 101, 960, 700}},
  };
  for (const auto& c : cases) {
    const QRect placed = PlaceBeside(c.main, kInputBottom, c.outer, kScreen, c.taken);
    EXPECT_EQ(placed, c.placed) << c.what;
    EXPECT_TRUE(kScreen.contains(placed)) << c.what;
  }
}

// Only a screen too low for the window below the input line lets it cover
// the input line; it still stays on the screen.
TEST(PlaceBeside, CoversTheInputLineOnlyWhenTheScreenLeavesNoRoom) {
  const QRect low(0, 0, 800, 480);
  const QRect main(0, 0, 800, 470);
  const QRect placed = PlaceBeside(main, 60, {310, 450}, low);
  EXPECT_TRUE(low.contains(placed));
  EXPECT_EQ(placed.top(), 30);
  const QRect fits = PlaceBeside(main, 60, {310, 400}, low);
  EXPECT_GT(fits.top(), 60);
}

}  // namespace
}  // namespace zel
