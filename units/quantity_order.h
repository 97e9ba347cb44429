#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "catalogue.h"
#include "settings_store.h"

namespace zel {

// Display order of a converter's quantity selector: index = display position,
// value = quantity id. Each converter keeps its own in its own settings
// section, one key per position ("0".."22").
using QuantityOrder = std::array<int16_t, kQuantityCount>;

// Position k shows quantity k.
QuantityOrder IdentityQuantityOrder();

// Reads keys "0".."22" of `section` (default: the key itself). A stored order
// that is not a permutation of 0..22 (a value out of range or beyond 16 bits,
// a repeated id, text without a number) cannot be shown as stored; the
// identity order is used instead.
QuantityOrder ReadQuantityOrder(const SettingsStore& store,
                                const std::string& section);

// Moves the quantity shown at `selectedPosition` to position 0, shifting the
// ones before it down by one. Position 0, no selection (-1) or a position
// outside the order leave it unchanged.
void MoveToFront(QuantityOrder& order, int selectedPosition);

// Writes every position as decimal text under keys "0".."22".
void SaveQuantityOrder(SettingsStore& store, const std::string& section,
                       const QuantityOrder& order);

}  // namespace zel
