#pragma once
// Shared by the tests that answer a real modal window from the event loop,
// as a user would once it is up.
#include <gtest/gtest.h>

#include <QTimer>
#include <functional>
#include <memory>

namespace zel::test {

// Runs `act` on the window `find` returns once there is one (polled for
// about 3 s); `missing` is the failure when none comes up. `act`'s last step
// should end the window (a click, a key).
template <class W>
void WhenModal(std::function<W*()> find, std::function<void(W&)> act, const char* missing) {
  auto poll = std::make_shared<std::function<void(int)>>();
  *poll = [poll, find, act, missing](int attempts) {
    if (W* window = find()) {
      const auto run = act;  // the closure goes with the next line
      *poll = nullptr;
      run(*window);
      return;
    }
    if (attempts > 300) {
      ADD_FAILURE() << missing;
      *poll = nullptr;
      return;
    }
    QTimer::singleShot(10, [poll, attempts] {
      if (*poll) (*poll)(attempts + 1);
    });
  };
  QTimer::singleShot(0, [poll] {
    if (*poll) (*poll)(0);
  });
}

}  // namespace zel::test
