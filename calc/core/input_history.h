#pragma once
// Up and Down in the input line walk its history as in a terminal: Up
// recalls the newest entry, then older ones; Down goes back towards the
// newest and at last to what the user had typed. Qt-free.
#include <functional>
#include <optional>
#include <string>

namespace zel {

struct HistoryWalk {
  int position = -1;    // the history entry shown (0 the newest); -1 the user's own text
  std::u16string draft; // the user's own text, kept while walking
};

// One step, older (Up) or newer (Down), over `count` entries that `entry`
// gives newest first; `current` is the line's text. The text to show, or
// nothing when the step leads nowhere (past the oldest, or Down while the
// line already shows the user's own text).
std::optional<std::u16string> StepHistory(HistoryWalk& walk, bool older, int count,
                                          const std::function<std::u16string(int)>& entry,
                                          const std::u16string& current);

}  // namespace zel
