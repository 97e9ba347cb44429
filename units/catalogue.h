#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

// The 23 physical quantities of both unit converters. A quantity's id is its
// position in QuantityNames(); unit numbers count from 1 in the unit lists.
inline constexpr int kQuantityCount = 23;
// Both loaded unit tables have 16 slots: slot 0 describes the quantity,
// slots 1..n its units (n is at most 11).
inline constexpr int kUnitTableSize = 16;

struct UnitDef {
  std::string label;
  double factor;  // one of this unit expressed in the quantity's base unit
};

struct QuantityDef {
  std::string name;
  std::vector<UnitDef> units;  // display order; units[0] is the base unit
};

// The catalogue in id order. Built once, on first use.
const std::vector<QuantityDef>& Catalogue();

// The quantity names in id order.
const std::array<std::string, kQuantityCount>& QuantityNames();

// Id of the quantity whose name is exactly `name` (case-sensitive).
std::optional<int> FindQuantityId(std::string_view name);

// The loaded unit table a converter owns. UnitName[0] is the loaded
// quantity's name, UnitFactor[0] its unit count n as a double; slots 1..n hold
// labels and factors. Slots above n keep whatever an earlier load left there.
struct UnitTable {
  std::array<std::string, kUnitTableSize> UnitName{};
  std::array<double, kUnitTableSize> UnitFactor{};
};

// Copies the quantity called exactly `name` into the table. Returns false and
// leaves the table untouched when no quantity has that name.
bool LoadQuantity(UnitTable& table, std::string_view name);

// n, the number of units of the loaded quantity: UnitFactor[0] rounded to the
// nearest integer, kept within what the table can index (0 before any load).
int UnitCount(const UnitTable& table);

// The first slot 1..n whose label equals `label`; n + 1 when none does (that
// slot holds 0 or a stale factor).
int FindUnitNumber(const UnitTable& table, std::string_view label);

// UnitFactor[FindUnitNumber(table, label)].
double UnitFactorOf(const UnitTable& table, std::string_view label);

}  // namespace zel
