#include "input_history.h"

namespace zel {

std::optional<std::u16string> StepHistory(HistoryWalk& walk, bool older, int count,
                                          const std::function<std::u16string(int)>& entry,
                                          const std::u16string& current) {
  // The history may have shrunk or been replaced under a walk.
  if (walk.position >= count) walk.position = count - 1;
  if (older) {
    if (walk.position + 1 >= count) return std::nullopt;
    if (walk.position < 0) walk.draft = current;
    return entry(++walk.position);
  }
  if (walk.position < 0) return std::nullopt;
  if (--walk.position < 0) return walk.draft;
  return entry(walk.position);
}

}  // namespace zel
