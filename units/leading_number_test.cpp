#include "leading_number.h"

#include <gtest/gtest.h>

#include <cmath>

#include "quantity_order.h"

namespace zel {
namespace {

TEST(LeadingNumber, DecimalForms) {
  EXPECT_EQ(LeadingNumber("12"), 12);
  EXPECT_EQ(LeadingNumber("-1.5"), -1.5);
  EXPECT_EQ(LeadingNumber("+3"), 3);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_EQ(LeadingNumber("7."), 7);
  EXPECT_EQ(LeadingNumber("2.5E3"), 2500);
  EXPECT_EQ(LeadingNumber("2.5e-3"), 0.0025);
  EXPECT_EQ(LeadingNumber("1e+2"), 100);
  EXPECT_EQ(LeadingNumber("0.1"), 0.1);  // correctly rounded, as a literal
}

TEST(LeadingNumber, StopsAtTheFirstCharacterThatDoesNotFit) {
  EXPECT_EQ(LeadingNumber(" 12.5e1x"), 125);
  EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
  EXPECT_EQ(LeadingNumber("3+4"), 3);
  EXPECT_EQ(LeadingNumber("12abc"), 12);
  EXPECT_EQ(LeadingNumber("5e"), 5);     // exponent mark without digits
  EXPECT_EQ(LeadingNumber("5e-x"), 5);
  EXPECT_EQ(LeadingNumber("5E2E3"), 500);
  EXPECT_EQ(LeadingNumber("1,5"), 1);    // never a locale separator
  EXPECT_EQ(LeadingNumber("--1"), 0);
}

TEST(LeadingNumber, BlanksTabsAndLineFeedsAreSkippedAnywhere) {
  EXPECT_EQ(LeadingNumber("1 2"), 12);
  EXPECT_EQ(LeadingNumber("\t- 1\n2 . 5 e 1"), -125);
  EXPECT_EQ(LeadingNumber("  \n\t"), 0);
  // A carriage return is not among them.
  EXPECT_EQ(LeadingNumber("1\r2"), 1);
  EXPECT_EQ(LeadingNumber("& H 1 0"), 16);
}

TEST(LeadingNumber, NoNumberGivesZero) {
  for (const char* text : {"", "abc", "-", "+", ".", "-.", "e5", "&", "&X10", "&H", "x1"}) {
    const double v = LeadingNumber(text);
    EXPECT_EQ(v, 0) << text;
    EXPECT_FALSE(std::signbit(v)) << text;
  }
  EXPECT_FALSE(std::signbit(LeadingNumber("-0")));
}

TEST(LeadingNumber, HexAndOctalPrefixes) {
  EXPECT_EQ(LeadingNumber("&H10"), 16);
  EXPECT_EQ(LeadingNumber("&hff"), 255);
  EXPECT_EQ(LeadingNumber("&O17"), 15);
  EXPECT_EQ(LeadingNumber("&o178"), 15);  // 8 is not an octal digit
  EXPECT_EQ(LeadingNumber("&H1G"), 1);
  // 16- and 32-bit patterns read as signed values, as literals do.
  EXPECT_EQ(LeadingNumber("&HFFFF"), -1);
  EXPECT_EQ(LeadingNumber("&H7FFF"), 32767);
  EXPECT_EQ(LeadingNumber("&H8000"), -32768);
  EXPECT_EQ(LeadingNumber("&H10000"), 65536);
  EXPECT_EQ(LeadingNumber("&HFFFFFFFF"), -1);
  EXPECT_EQ(LeadingNumber("&O177777"), -1);
  EXPECT_EQ(LeadingNumber("&H100000000"), 4294967296.0);
  EXPECT_EQ(LeadingNumber("&H10000000000000000"), 18446744073709551616.0);
}

TEST(LeadingNumber, BeyondTheDoubleRange) {
  EXPECT_EQ(LeadingNumber("1e999"), HUGE_VAL);
  EXPECT_EQ(LeadingNumber("-1e999"), -HUGE_VAL);
  EXPECT_EQ(LeadingNumber("1e-999"), 0);
  EXPECT_EQ(LeadingNumber("0.000001e-320"), 0);
  EXPECT_EQ(LeadingNumber("1e99999999999999999999"), HUGE_VAL);
  EXPECT_EQ(LeadingNumber("1.7976931348623157e308"), 1.7976931348623157e308);
}

TEST(Int16Reading, NearestTiesToEvenWithin16Bits) {
  EXPECT_EQ(ReadInt16Text("7.6"), 8);
  EXPECT_EQ(ReadInt16Text("7.4"), 7);
  EXPECT_EQ(ReadInt16Text("2.5"), 2);
  EXPECT_EQ(ReadInt16Text("3.5"), 4);
  EXPECT_EQ(ReadInt16Text("-2.5"), -2);
  EXPECT_EQ(ReadInt16Text("abc"), 0);
  EXPECT_EQ(ReadInt16Text("32767.4"), 32767);
  EXPECT_EQ(ReadInt16Text("-32768.5"), -32768);
  EXPECT_FALSE(ReadInt16Text("32767.5"));
  EXPECT_FALSE(ReadInt16Text("-32769"));
  EXPECT_FALSE(ReadInt16Text("1e999"));
  EXPECT_FALSE(RoundToInt16(std::nan("")));
}

QuantityOrder Order(std::initializer_list<int> front) {
  // The given ids first, then the others in id order.
  QuantityOrder o{};
  std::array<bool, kQuantityCount> used{};
  int k = 0;
  for (int id : front) { o[k++] = static_cast<int16_t>(id); used[id] = true; }
  for (int id = 0; id < kQuantityCount; ++id)
    if (!used[id]) o[k++] = static_cast<int16_t>(id);
  return o;
}

TEST(QuantityOrderStore, NothingStoredIsTheIdentity) {
  MemorySettingsStore store;
  EXPECT_EQ(ReadQuantityOrder(store, "frmUnitConv"), Order({}));
}

TEST(QuantityOrderStore, MoveToFrontSaveAndReadBack) {
  MemorySettingsStore store;
  QuantityOrder order = ReadQuantityOrder(store, "frmUnitConv");
  MoveToFront(order, 5);
  SaveQuantityOrder(store, "frmUnitConv", order);
  EXPECT_EQ(store.Get("frmUnitConv", "0", ""), "5");
  EXPECT_EQ(store.Get("frmUnitConv", "5", ""), "4");
  EXPECT_EQ(store.Get("frmUnitConv", "22", ""), "22");
  EXPECT_FALSE(store.Has("frmUnitConv", "23"));

  order = ReadQuantityOrder(store, "frmUnitConv");
  EXPECT_EQ(order, Order({5}));
  MoveToFront(order, 3);  // shows id 2, "Length"
  SaveQuantityOrder(store, "frmUnitConv", order);
  EXPECT_EQ(ReadQuantityOrder(store, "frmUnitConv"), Order({2, 5}));
  // The other converter's section is independent.
  EXPECT_EQ(ReadQuantityOrder(store, "UnitOrder"), Order({}));

  MoveToFront(order, 22);
  EXPECT_EQ(order, Order({22, 2, 5}));
}

TEST(QuantityOrderStore, PositionZeroOrNoSelectionKeepsTheOrder) {
  const QuantityOrder start = Order({7, 3});
  for (int k : {0, -1, 23, 1000}) {
    QuantityOrder o = start;
    MoveToFront(o, k);
    EXPECT_EQ(o, start) << k;
  }
}

TEST(QuantityOrderStore, StoredTextIsReadByTheLeadingNumberRule) {
  MemorySettingsStore store;
  SaveQuantityOrder(store, "S", Order({9, 4}));
  store.Set("S", "0", " 8.6 ");  // rounds to 9
  store.Set("S", "1", "4abc");
  EXPECT_EQ(ReadQuantityOrder(store, "S"), Order({9, 4}));
}

TEST(QuantityOrderStore, NonPermutationFallsBackToIdentity) {
  const QuantityOrder identity = Order({});
  const QuantityOrder stored = Order({1, 0});
  struct Bad { const char* key; const char* text; };
  for (const Bad& bad : {Bad{"3", "23"}, Bad{"3", "-1"}, Bad{"0", "0"},
                         Bad{"5", "abc"}, Bad{"2", "70000"}, Bad{"4", "1e999"}}) {
    MemorySettingsStore store;
    SaveQuantityOrder(store, "S", stored);
    ASSERT_EQ(ReadQuantityOrder(store, "S"), stored);
    store.Set("S", bad.key, bad.text);
    EXPECT_EQ(ReadQuantityOrder(store, "S"), identity) << bad.key << "=" << bad.text;
  }
}

}  // namespace
}  // namespace zel
