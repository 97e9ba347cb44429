#include "catalogue.h"

#include <algorithm>
#include <cmath>

namespace zel {
namespace {

// The factors are derived from a handful of constants, evaluated left to
// right in double precision. Powers go through std::pow (not repeated
// multiplication) because that is what fixes their last bit.
constexpr double kFoot = 0.3048;        // metres per foot
constexpr double kLbPerKg = 2.20462;    // pounds per kilogram
constexpr double kGravity = 9.80665;    // newtons per kilogram-force
constexpr double kKcal = 4186.8;        // joules per kilocalorie
constexpr double kHour = 3600;          // seconds per hour
constexpr double kBtuPerKcal = 3.96832;
constexpr double kCelsiusToF = 1.8;     // size of a Celsius degree in F degrees
constexpr double kGalPerM3 = 264.172;   // US gallons per cubic metre
constexpr double kGalPerBarrel = 42;
constexpr double kPi = 3.14159265358979;

std::vector<QuantityDef> BuildCatalogue() {
  const double inch = kFoot / 12;
  const double atm = (10332.2 / 10000) * 10000 * kGravity;
  const double mmHg = atm / 760;
  const double mH2O = (1000 / 13.595) * mmHg;
  const double lbfFt = kGravity / kLbPerKg * kFoot;
  const double kcalPerH = kKcal / kHour;
  const double lbfFtPerS = kGravity / (kLbPerKg / kFoot);
  const double hrCPerKcal = kHour / kKcal;
  const double gallon = 1 / kGalPerM3;
  const double gallonPerMin = 1 / kGalPerM3 / 60;

  return {
      {"Temperature", {{"C", 1}, {"K", 1}, {"F", 1}, {"R", 1}}},
      {"Weight",
       {{"g", 1},
        {"kg", 1000},
        {"lb", 1000 / kLbPerKg},
        {"M.ton(French)", 1000000},
        {"L.ton(English)", 1016100},
        {"S.ton(US)", 907200}}},
      {"Length",
       {{"m", 1}, {"mm", 0.001}, {"in", inch}, {"ft", kFoot}, {"mile", 1609.344}}},
      {"Area",
       {{"m2", 1},
        {"cm2", 0.0001},
        {"mm2", 0.000001},
        {"in2", std::pow(kFoot / 12, 2)},
        {"ft2", std::pow(kFoot, 2)}}},
      {"Volume",
       {{"m3", 1},
        {"cm3", 0.000001},
        {"mm3", 0.000000001},
        {"in3", std::pow(kFoot / 12, 3)},
        {"ft3", std::pow(kFoot, 3)},
        {"US Gal", gallon},
        {"barrel", kGalPerBarrel * gallon}}},
      {"Time", {{"second", 1}, {"minute", 60}, {"hour", 3600}, {"day", 86400}}},
      {"Angle",
       {{"sec(\")", 1}, {"min(')", 60}, {"deg", 3600}, {"rad", 3600 * 180 / kPi}}},
      {"Velocity",
       {{"m/s", 1},
        {"ft/sec", kFoot},
        {"m/min", 1.0 / 60},
        {"ft/min", kFoot / 60},
        {"knot", 0.5148},
        {"mile/hr", 0.44704},
        {"km/hr", 1 / 3.6}}},
      {"Volume Rate",
       {{"m3/s", 1},
        {"m3/h", 1 / kHour},
        {"ft3/s", std::pow(kFoot, 3)},
        {"ft3/h", std::pow(kFoot, 3) / kHour},
        {"US gal/min", gallonPerMin},
        {"BPSD", kGalPerBarrel * gallonPerMin / 60 / 24}}},
      {"Density",
       {{"kg/m3(=g/L)", 1},
        {"g/cm3", 1000},
        {"lb/in3", 1 / (std::pow(kFoot / 12, 3) * kLbPerKg)},
        {"lb/ft3", 1 / (std::pow(kFoot, 3) * kLbPerKg)},
        {"API", 1}}},
      {"Pressure",
       {{"Pa (=N/m2)", 1},
        {"kPa", 1000},
        {"dyn/cm2", 0.1},
        {"bar (=Mdyn/cm2)", 100000},
        {"atm", atm},
        {"kgf/cm2", 98066.5},
        {"lbf/in2 (=psi)", 98066.5 / (std::pow(30.48 / 12, 2) * kLbPerKg)},
        {"mmHg(0'C)", mmHg},
        {"inHg(0'C)", (304.8 / 12) * mmHg},
        {"mH2O(4'C)", mH2O},
        {"ftH2O(4'C)", mH2O * kFoot}}},
      {"Viscosity",
       {{"Pa.s(=N.s/m2)(=kg/m/s)", 1},
        {"cP(=mPa.s)", 1.0 / 1000},
        {"P(=g/cm/s)(=poise)", 0.1},
        {"kg/m/h", 1 / kHour},
        {"kgf.s/m2", kGravity},
        {"gf.s/cm2", 98.06649999999999},
        {"Lb/ft/s", 1 / kLbPerKg / kFoot},
        {"lbf.s/ft2", kGravity / kLbPerKg / kFoot / kFoot}}},
      {"Kinetic Vis, Diffusion Coefficient",
       {{"m2/S", 1},
        {"cm2/s (=stokes)", 0.0001},
        {"mm2/s (=cSt)", 0.000001},
        {"m2/hr", 1 / kHour},
        {"ft2/sec", std::pow(kFoot, 2)},
        {"ft2/h", std::pow(kFoot, 2) / kHour}}},
      {"Energy, Work, Heat",
       {{"J (=N.m)", 1},
        {"kJ", 1000},
        {"erg (=dyn.m)", 0.0000001},
        {"kW.h", 3600000},
        {"kcal", kKcal},
        {"BTU", kKcal / kBtuPerKcal},
        {"kgf.m", kGravity},
        {"lbf.ft", lbfFt},
        {"PS.h", 2647795.5},
        {"HP.h", lbfFt * 550 * 3600}}},
      {"Power",
       {{"W (=J/s)", 1},
        {"kW", 1000},
        {"MW", 1000000},
        {"kcal/h", kcalPerH},
        {"BTU/h", kcalPerH / kBtuPerKcal},
        {"kgf.m/s", kGravity},
        {"lbf.ft/s", lbfFtPerS},
        {"PS", 735.49875},
        {"HP", lbfFtPerS * 550},
        {"Refton(Japan)", 3861},
        {"Refton(USA)", 3516}}},
      {"Heat Capacity, Sp.Entropy",
       {{"J/kg/K", 1}, {"kJ/kg/K", 1000}, {"kcal/kg/'C", kKcal}, {"BTU/lb/'F", kKcal}}},
      {"Latent Heat, Sp.Enthalpy",
       {{"J/kg", 1}, {"kJ/kg", 1000}, {"kcal/kg", kKcal}, {"BTU/lb", kKcal / kCelsiusToF}}},
      {"Heat Flux",
       {{"W/m2", 1},
        {"kcal/m2/h", kcalPerH},
        {"BTU/ft2/h", kcalPerH / (std::pow(kFoot, 2) * kBtuPerKcal)}}},
      {"Thermal Conductivity",
       {{"W/m/K(=J/m/s/K)", 1},
        {"cal/cm/s/'C", 418.68},
        {"kcal/m/h/'C", kcalPerH},
        {"BTU/ft/h/'F", kcalPerH / 1.209543936 * kCelsiusToF}}},
      {"Heat Transfer Coefficient",
       {{"W/m2/K", 1},
        {"kcal/m2/h/'C", kcalPerH},
        {"Btu/ft2/h/'F", kcalPerH / (std::pow(kFoot, 2) * kBtuPerKcal / kCelsiusToF)}}},
      {"Heat Transfer Resistant",
       {{"m2.K/W", 1},
        {"m2.h.'C/kcal", hrCPerKcal},
        {"ft2.h.'F/Btu", (std::pow(kFoot, 2) * kBtuPerKcal / kCelsiusToF) * hrCPerKcal}}},
      {"Surface Tension",
       {{"N/m (=J/m2)", 1},
        {"dyne/cm (=mN/m)", 0.001},
        {"gf/cm", kGravity / 10},
        {"kgf/m", kGravity},
        {"lbf/ft", kGravity / kLbPerKg / kFoot}}},
      {"Force, Weight",
       {{"N", 1}, {"dyne", 0.00001}, {"kgf", kGravity}, {"lbf", kGravity / kLbPerKg}}},
  };
}

}  // namespace

const std::vector<QuantityDef>& Catalogue() {
  static const std::vector<QuantityDef> catalogue = BuildCatalogue();
  return catalogue;
}

const std::array<std::string, kQuantityCount>& QuantityNames() {
  static const std::array<std::string, kQuantityCount> names = [] {
    std::array<std::string, kQuantityCount> n;
    for (int i = 0; i < kQuantityCount; ++i) n[i] = Catalogue()[i].name;
    return n;
  }();
  return names;
}

std::optional<int> FindQuantityId(std::string_view name) {
  const auto& names = QuantityNames();
  for (int i = 0; i < kQuantityCount; ++i)
    if (names[i] == name) return i;
  return std::nullopt;
}

bool LoadQuantity(UnitTable& table, std::string_view name) {
  const auto id = FindQuantityId(name);
  if (!id) return false;
  const QuantityDef& q = Catalogue()[*id];
  table.UnitName[0] = q.name;
  table.UnitFactor[0] = static_cast<double>(q.units.size());
  // Only slots 1..n are written; the converters never read past n, and the
  // slots above keep what a larger quantity left there.
  for (size_t i = 0; i < q.units.size(); ++i) {
    table.UnitName[i + 1] = q.units[i].label;
    table.UnitFactor[i + 1] = q.units[i].factor;
  }
  return true;
}

int UnitCount(const UnitTable& table) {
  const double n = std::nearbyint(table.UnitFactor[0]);
  if (!(n >= 0)) return 0;  // also catches NaN
  // Keep n + 1 a valid slot.
  return static_cast<int>(std::min(n, double(kUnitTableSize - 2)));
}

int FindUnitNumber(const UnitTable& table, std::string_view label) {
  const int n = UnitCount(table);
  for (int i = 1; i <= n; ++i)
    if (table.UnitName[i] == label) return i;
  return n + 1;
}

double UnitFactorOf(const UnitTable& table, std::string_view label) {
  return table.UnitFactor[FindUnitNumber(table, label)];
}

}  // namespace zel
