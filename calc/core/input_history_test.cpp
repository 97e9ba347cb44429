// Walking the input line's history with Up and Down.
#include <gtest/gtest.h>

#include <vector>

#include "input_history.h"

namespace zel {
namespace {

TEST(InputHistory, UpGoesOlderDownComesBackToWhatWasTyped) {
  const std::vector<std::u16string> history = {u"3*3", u"2*2", u"1+1"};  // newest first
  auto entry = [&](int i) { return history[size_t(i)]; };
  const int count = int(history.size());
  HistoryWalk walk;
  std::u16string line = u"12";
  // U is Up, D Down; what the line shows after each (null: it stays).
  const struct {
    char key;
    const char16_t* shown;
  } steps[] = {{'D', nullptr}, {'U', u"3*3"}, {'U', u"2*2"}, {'U', u"1+1"}, {'U', nullptr},
               {'D', u"2*2"}, {'D', u"3*3"}, {'D', u"12"},  {'D', nullptr}, {'U', u"3*3"}};
  for (const auto& s : steps) {
    const auto shown = StepHistory(walk, s.key == 'U', count, entry, line);
    if (!s.shown) {
      EXPECT_FALSE(shown.has_value()) << s.key;
      continue;
    }
    ASSERT_TRUE(shown.has_value()) << s.key;
    EXPECT_EQ(*shown, s.shown);
    line = *shown;
  }
}

TEST(InputHistory, EmptyLineAndEmptyOrShrunkHistory) {
  HistoryWalk walk;
  auto none = [](int) { return std::u16string(u"never"); };
  EXPECT_FALSE(StepHistory(walk, true, 0, none, u"").has_value());
  EXPECT_FALSE(StepHistory(walk, false, 0, none, u"").has_value());
  // An empty line: Up shows the newest entry, Down the empty line again.
  auto one = [](int) { return std::u16string(u"7*6"); };
  EXPECT_EQ(StepHistory(walk, true, 1, one, u""), u"7*6");
  EXPECT_EQ(StepHistory(walk, false, 1, one, u"7*6"), u"");
  // A walk past an entry that has gone stops at the oldest still there.
  walk.position = 5;
  EXPECT_EQ(StepHistory(walk, false, 2, [](int i) { return std::u16string(i ? u"old" : u"new"); }, u""),
            u"new");
}

}  // namespace
}  // namespace zel
