#include "numtext.h"

#include <gtest/gtest.h>

#include <limits>

namespace zel {
namespace {

TEST(FormatGeneralNumber, Integers) {
  EXPECT_EQ(FormatGeneralNumber(0), "0");
  EXPECT_EQ(FormatGeneralNumber(-0.0), "0");
  EXPECT_EQ(FormatGeneralNumber(2000), "2000");
  EXPECT_EQ(FormatGeneralNumber(212), "212");
  EXPECT_EQ(FormatGeneralNumber(-7), "-7");
  EXPECT_EQ(FormatGeneralNumber(123456789012345), "123456789012345");
  EXPECT_EQ(FormatGeneralNumber(100000000000000), "100000000000000");
}

TEST(FormatGeneralNumber, FractionsAndNegatives) {
  EXPECT_EQ(FormatGeneralNumber(0.002), "0.002");
  EXPECT_EQ(FormatGeneralNumber(-1.5), "-1.5");
  EXPECT_EQ(FormatGeneralNumber(273.15), "273.15");
  EXPECT_EQ(FormatGeneralNumber(0.1), "0.1");
  EXPECT_EQ(FormatGeneralNumber(0.0001), "0.0001");
  EXPECT_EQ(FormatGeneralNumber(-0.00012), "-0.00012");
  EXPECT_EQ(FormatGeneralNumber(101324.26913), "101324.26913");
}

TEST(FormatGeneralNumber, RoundsToFifteenSignificantDigits) {
  EXPECT_EQ(FormatGeneralNumber(37.77777777777778), "37.7777777777778");
  EXPECT_EQ(FormatGeneralNumber(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FormatGeneralNumber(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(FormatGeneralNumber(-2.0 / 3), "-0.666666666666667");
  // Binary noise beyond the 15th digit disappears with the trailing zeros.
  EXPECT_EQ(FormatGeneralNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatGeneralNumber(254.00000000000003), "254");
  EXPECT_EQ(FormatGeneralNumber(9806.649999999998), "9806.65");
  // Rounding that carries into a new leading digit moves the exponent.
  EXPECT_EQ(FormatGeneralNumber(99999.99999999999), "100000");
  EXPECT_EQ(FormatGeneralNumber(999999999999999.9), "1E+15");
}

TEST(FormatGeneralNumber, ExponentFormAtBothEnds) {
  EXPECT_EQ(FormatGeneralNumber(1e20), "1E+20");
  EXPECT_EQ(FormatGeneralNumber(1e15), "1E+15");
  EXPECT_EQ(FormatGeneralNumber(1234567890123456), "1.23456789012346E+15");
  EXPECT_EQ(FormatGeneralNumber(-2.5e100), "-2.5E+100");
  EXPECT_EQ(FormatGeneralNumber(1e-5), "1E-05");
  EXPECT_EQ(FormatGeneralNumber(0.000015), "1.5E-05");
  EXPECT_EQ(FormatGeneralNumber(-1.8401310930420753e-06), "-1.84013109304208E-06");
  EXPECT_EQ(FormatGeneralNumber(1e-300), "1E-300");
  EXPECT_EQ(FormatGeneralNumber(std::numeric_limits<double>::max()),
            "1.79769313486232E+308");
  EXPECT_EQ(FormatGeneralNumber(std::numeric_limits<double>::denorm_min()),
            "4.94065645841247E-324");
}

TEST(FormatGeneralNumber, SingleUsesSevenDigits) {
  EXPECT_EQ(FormatGeneralNumber(static_cast<double>(1.1f), 7), "1.1");
  EXPECT_EQ(FormatGeneralNumber(static_cast<double>(1.0f / 3), 7), "0.3333333");
  EXPECT_EQ(FormatGeneralNumber(1234567, 7), "1234567");
  EXPECT_EQ(FormatGeneralNumber(12345678, 7), "1.234568E+07");
  EXPECT_EQ(FormatGeneralNumber(static_cast<double>(6465.0f), 7), "6465");
  EXPECT_EQ(FormatGeneralNumber(static_cast<double>(0.00001f), 7), "1E-05");
}

}  // namespace
}  // namespace zel
