// What tests of the unit catalogue and its conversions share (here and in
// the calculator's unit window tests).
#pragma once

#include <gtest/gtest.h>

#include "catalogue.h"

namespace zel::unittest {

// The unit table of one quantity; a name the catalogue lacks fails the test.
inline UnitTable Loaded(const char* quantity) {
  UnitTable t;
  EXPECT_TRUE(LoadQuantity(t, quantity)) << quantity;
  return t;
}

}  // namespace zel::unittest
