// Shared by the value and library unit tests: the run-time error number a
// call raises, or 0 when it returns normally.
#pragma once

#include <functional>

#include "vbs/variant.h"

namespace vbs::unittest {

inline int ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const ScriptError& e) {
    return e.number;
  }
  return 0;
}

}  // namespace vbs::unittest
