#pragma once
// When a running script is announced as busy. For its first moments
// nothing changes on screen and user input waits, so a quick evaluation
// looks like a synchronous one; once the delay has passed the busy state
// shows and stays until the user's action ends.
#include <chrono>

namespace zel {

class BusyAfterDelay {
 public:
  using Clock = std::chrono::steady_clock;

  int DelayMs() const { return delayMs_; }
  void SetDelayMs(int ms) { delayMs_ = ms; }

  // An action begins at `now`: its quiet moments start counting.
  void Begin(Clock::time_point now) { start_ = now; }
  // How much longer the action stays quiet; zero once the busy state is
  // due or shows.
  std::chrono::milliseconds QuietLeft(Clock::time_point now) const;

  bool Shown() const { return shown_; }
  // true when this changes what shows (the windows are then told).
  bool SetShown(bool shown);

 private:
  Clock::time_point start_{};
  int delayMs_ = 500;
  bool shown_ = false;
};

}  // namespace zel
