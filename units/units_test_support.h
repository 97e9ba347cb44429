#pragma once
// Shared by the tests of the unit catalogue and of the unit window's rules.
#include <gtest/gtest.h>

#include "catalogue.h"

namespace zel::test {

// The catalogue's table of `quantity`; a name the catalogue lacks fails the test.
inline UnitTable Loaded(const char* quantity) {
  UnitTable t;
  EXPECT_TRUE(LoadQuantity(t, quantity)) << quantity;
  return t;
}

}  // namespace zel::test
