#include "catalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace zel {
namespace {

struct ExpectedUnit {
  const char* label;
  double factor;
};
struct ExpectedQuantity {
  const char* name;
  std::vector<ExpectedUnit> units;
};

// The published catalogue, factors written as the shortest decimal of each
// double.
const std::vector<ExpectedQuantity>& Published() {
  static const std::vector<ExpectedQuantity> q = {
      {"Temperature", {{"C", 1}, {"K", 1}, {"F", 1}, {"R", 1}}},
      {"Weight",
       {{"g", 1}, {"kg", 1000}, {"lb", 453.59290943563974}, {"M.ton(French)", 1000000},
        {"L.ton(English)", 1016100}, {"S.ton(US)", 907200}}},
      {"Length",
       {{"m", 1}, {"mm", 0.001}, {"in", 0.025400000000000002}, {"ft", 0.3048},
        {"mile", 1609.344}}},
      {"Area",
       {{"m2", 1}, {"cm2", 0.0001}, {"mm2", 1e-06}, {"in2", 0.0006451600000000001},
        {"ft2", 0.09290304}}},
      {"Volume",
       {{"m3", 1}, {"cm3", 1e-06}, {"mm3", 1e-09}, {"in3", 1.6387064000000006e-05},
        {"ft3", 0.028316846592000004}, {"US Gal", 0.003785412534257983},
        {"barrel", 0.15898732643883529}}},
      {"Time", {{"second", 1}, {"minute", 60}, {"hour", 3600}, {"day", 86400}}},
      {"Angle",
       {{"sec(\")", 1}, {"min(')", 60}, {"deg", 3600}, {"rad", 206264.80624709657}}},
      {"Velocity",
       {{"m/s", 1}, {"ft/sec", 0.3048}, {"m/min", 0.016666666666666666},
        {"ft/min", 0.00508}, {"knot", 0.5148}, {"mile/hr", 0.44704},
        {"km/hr", 0.2777777777777778}}},
      {"Volume Rate",
       {{"m3/s", 1}, {"m3/h", 0.0002777777777777778}, {"ft3/s", 0.028316846592000004},
        {"ft3/h", 7.86579072e-06}, {"US gal/min", 6.309020890429972e-05},
        {"BPSD", 1.8401310930420753e-06}}},
      {"Density",
       {{"kg/m3(=g/L)", 1}, {"g/cm3", 1000}, {"lb/in3", 27679.937628585543},
        {"lb/ft3", 16.018482423949973}, {"API", 1}}},
      {"Pressure",
       {{"Pa (=N/m2)", 1}, {"kPa", 1000}, {"dyn/cm2", 0.1}, {"bar (=Mdyn/cm2)", 100000},
        {"atm", 101324.26913}, {"kgf/cm2", 98066.5}, {"lbf/in2 (=psi)", 6894.765492772361},
        {"mmHg(0'C)", 133.32140675}, {"inHg(0'C)", 3386.36373145},
        {"mH2O(4'C)", 9806.649999999998}, {"ftH2O(4'C)", 2989.0669199999993}}},
      {"Viscosity",
       {{"Pa.s(=N.s/m2)(=kg/m/s)", 1}, {"cP(=mPa.s)", 0.001}, {"P(=g/cm/s)(=poise)", 0.1},
        {"kg/m/h", 0.0002777777777777778}, {"kgf.s/m2", 9.80665},
        {"gf.s/cm2", 98.06649999999999}, {"Lb/ft/s", 1.4881657133715214},
        {"lbf.s/ft2", 47.88031592203028}}},
      {"Kinetic Vis, Diffusion Coefficient",
       {{"m2/S", 1}, {"cm2/s (=stokes)", 0.0001}, {"mm2/s (=cSt)", 1e-06},
        {"m2/hr", 0.0002777777777777778}, {"ft2/sec", 0.09290304}, {"ft2/h", 2.58064e-05}}},
      {"Energy, Work, Heat",
       {{"J (=N.m)", 1}, {"kJ", 1000}, {"erg (=dyn.m)", 1e-07}, {"kW.h", 3600000},
        {"kcal", 4186.8}, {"BTU", 1055.0560438674302}, {"kgf.m", 9.80665},
        {"lbf.ft", 1.3558195607406265}, {"PS.h", 2647795.5}, {"HP.h", 2684522.73026644}}},
      {"Power",
       {{"W (=J/s)", 1}, {"kW", 1000}, {"MW", 1000000}, {"kcal/h", 1.163},
        {"BTU/h", 0.29307112329650836}, {"kgf.m/s", 9.80665},
        {"lbf.ft/s", 1.3558195607406265}, {"PS", 735.49875}, {"HP", 745.7007584073446},
        {"Refton(Japan)", 3861}, {"Refton(USA)", 3516}}},
      {"Heat Capacity, Sp.Entropy",
       {{"J/kg/K", 1}, {"kJ/kg/K", 1000}, {"kcal/kg/'C", 4186.8}, {"BTU/lb/'F", 4186.8}}},
      {"Latent Heat, Sp.Enthalpy",
       {{"J/kg", 1}, {"kJ/kg", 1000}, {"kcal/kg", 4186.8}, {"BTU/lb", 2326}}},
      {"Heat Flux", {{"W/m2", 1}, {"kcal/m2/h", 1.163}, {"BTU/ft2/h", 3.154591316888106}}},
      {"Thermal Conductivity",
       {{"W/m/K(=J/m/s/K)", 1}, {"cal/cm/s/'C", 418.68}, {"kcal/m/h/'C", 1.163},
        {"BTU/ft/h/'F", 1.7307349800974903}}},
      {"Heat Transfer Coefficient",
       {{"W/m2/K", 1}, {"kcal/m2/h/'C", 1.163}, {"Btu/ft2/h/'F", 5.67826437039859}}},
      {"Heat Transfer Resistant",
       {{"m2.K/W", 1}, {"m2.h.'C/kcal", 0.8598452278589853},
        {"ft2.h.'F/Btu", 0.1761101517592433}}},
      {"Surface Tension",
       {{"N/m (=J/m2)", 1}, {"dyne/cm (=mN/m)", 0.001}, {"gf/cm", 0.9806649999999999},
        {"kgf/m", 9.80665}, {"lbf/ft", 14.593920293034829}}},
      {"Force, Weight",
       {{"N", 1}, {"dyne", 1e-05}, {"kgf", 9.80665}, {"lbf", 4.448226905317016}}},
  };
  return q;
}

TEST(Catalogue, NamesLabelsAndFactorsMatchThePublishedTableBitForBit) {
  const auto& expected = Published();
  const auto& actual = Catalogue();
  ASSERT_EQ(expected.size(), actual.size());
  ASSERT_EQ(actual.size(), size_t(kQuantityCount));
  for (size_t q = 0; q < expected.size(); ++q) {
    SCOPED_TRACE(expected[q].name);
    EXPECT_EQ(actual[q].name, expected[q].name);
    EXPECT_EQ(QuantityNames()[q], expected[q].name);
    ASSERT_EQ(actual[q].units.size(), expected[q].units.size());
    for (size_t u = 0; u < expected[q].units.size(); ++u) {
      SCOPED_TRACE(expected[q].units[u].label);
      EXPECT_EQ(actual[q].units[u].label, expected[q].units[u].label);
      const double want = expected[q].units[u].factor;
      const double got = actual[q].units[u].factor;
      EXPECT_EQ(std::memcmp(&want, &got, sizeof want), 0)
          << "factor " << got << " differs in its bits from " << want;
    }
  }
}

TEST(Catalogue, OddLabelsAreKeptCharacterForCharacter) {
  const auto& c = Catalogue();
  EXPECT_EQ(c[6].units[0].label, std::string("sec(\")"));
  EXPECT_EQ(c[6].units[0].label.size(), 6u);
  EXPECT_EQ(c[12].units[0].label, "m2/S");
  EXPECT_EQ(c[13].units[5].label, "BTU");
  EXPECT_EQ(c[19].units[2].label, "Btu/ft2/h/'F");
  EXPECT_EQ(*FindQuantityId("Heat Transfer Resistant"), 20);
  // Names are compared exactly, never case-folded or trimmed.
  EXPECT_FALSE(FindQuantityId("length"));
  EXPECT_FALSE(FindQuantityId("Length "));
  EXPECT_FALSE(FindQuantityId(""));
}

TEST(UnitTable, LoadingWritesNameCountLabelsAndFactors) {
  UnitTable t;
  ASSERT_TRUE(LoadQuantity(t, "Force, Weight"));
  const std::array<std::string, 5> names = {"Force, Weight", "N", "dyne", "kgf", "lbf"};
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(t.UnitName[i], names[i]);
  EXPECT_EQ(t.UnitFactor[0], 4.0);
  EXPECT_EQ(UnitCount(t), 4);
  EXPECT_EQ(t.UnitFactor[3], 9.80665);
  EXPECT_EQ(t.UnitFactor[4], 4.448226905317016);
  // Nothing above n was touched on a fresh table.
  EXPECT_EQ(t.UnitName[5], "");
  EXPECT_EQ(t.UnitFactor[5], 0.0);

  ASSERT_TRUE(LoadQuantity(t, "Temperature"));
  EXPECT_EQ(UnitCount(t), 4);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(t.UnitFactor[i], 1.0);
}

TEST(UnitTable, SmallerQuantityLeavesStaleEntriesAboveN) {
  UnitTable t;
  ASSERT_TRUE(LoadQuantity(t, "Power"));
  const UnitTable power = t;
  ASSERT_TRUE(LoadQuantity(t, "Heat Flux"));
  EXPECT_EQ(t.UnitName[0], "Heat Flux");
  EXPECT_EQ(t.UnitFactor[0], 3.0);
  EXPECT_EQ(t.UnitName[3], "BTU/ft2/h");
  for (int i = 4; i <= 11; ++i) {
    EXPECT_EQ(t.UnitName[i], power.UnitName[i]) << i;
    EXPECT_EQ(t.UnitFactor[i], power.UnitFactor[i]) << i;
  }
  EXPECT_EQ(t.UnitName[11], "Refton(USA)");
}

TEST(UnitTable, UnknownNameChangesNothing) {
  UnitTable t;
  ASSERT_TRUE(LoadQuantity(t, "Length"));
  const UnitTable before = t;
  EXPECT_FALSE(LoadQuantity(t, "LENGTH"));
  EXPECT_FALSE(LoadQuantity(t, "Nonsense"));
  EXPECT_EQ(t.UnitName, before.UnitName);
  EXPECT_EQ(t.UnitFactor, before.UnitFactor);
}

TEST(UnitTable, FindUnitNumberGivesNPlusOneForAnUnknownLabel) {
  UnitTable t;
  // Before any load n is 0, so every label maps to slot 1, holding 0.
  EXPECT_EQ(FindUnitNumber(t, "m"), 1);
  EXPECT_EQ(UnitFactorOf(t, "m"), 0.0);

  ASSERT_TRUE(LoadQuantity(t, "Power"));
  ASSERT_TRUE(LoadQuantity(t, "Length"));
  EXPECT_EQ(FindUnitNumber(t, "m"), 1);
  EXPECT_EQ(FindUnitNumber(t, "mile"), 5);
  // A label of the earlier quantity is not found even though it still sits
  // in a stale slot: only 1..n are searched.
  EXPECT_EQ(FindUnitNumber(t, "HP"), 6);
  // Slot n + 1 holds the stale "Power" factor of unit 6.
  EXPECT_EQ(UnitFactorOf(t, "HP"), 9.80665);
  EXPECT_EQ(FindUnitNumber(t, "M"), 6);
}

TEST(UnitTable, UnitCountStaysWithinTheTable) {
  UnitTable t;
  t.UnitFactor[0] = 2.5;  // rounds to even
  EXPECT_EQ(UnitCount(t), 2);
  t.UnitFactor[0] = 3.5;
  EXPECT_EQ(UnitCount(t), 4);
  t.UnitFactor[0] = 1e9;
  EXPECT_EQ(FindUnitNumber(t, "x"), kUnitTableSize - 1);
  t.UnitFactor[0] = -3;
  EXPECT_EQ(FindUnitNumber(t, "x"), 1);
}

}  // namespace
}  // namespace zel
