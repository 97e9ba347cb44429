#include "busy_after_delay.h"

namespace zel {

std::chrono::milliseconds BusyAfterDelay::QuietLeft(Clock::time_point now) const {
  using std::chrono::milliseconds;
  if (shown_) return milliseconds(0);
  const auto left = milliseconds(delayMs_) - std::chrono::duration_cast<milliseconds>(now - start_);
  return left.count() > 0 ? left : milliseconds(0);
}

bool BusyAfterDelay::SetShown(bool shown) {
  if (shown_ == shown) return false;
  shown_ = shown;
  return true;
}

}  // namespace zel
