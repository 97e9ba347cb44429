#include "quantity_order.h"

#include "leading_number.h"

namespace zel {

QuantityOrder IdentityQuantityOrder() {
  QuantityOrder order{};
  for (int k = 0; k < kQuantityCount; ++k) order[k] = static_cast<int16_t>(k);
  return order;
}

QuantityOrder ReadQuantityOrder(const SettingsStore& store,
                                const std::string& section) {
  QuantityOrder order{};
  std::array<bool, kQuantityCount> seen{};
  for (int k = 0; k < kQuantityCount; ++k) {
    const std::string key = std::to_string(k);
    const auto id = ReadInt16Text(store.Get(section, key, key));
    if (!id || *id < 0 || *id >= kQuantityCount || seen[*id])
      return IdentityQuantityOrder();
    seen[*id] = true;
    order[k] = *id;
  }
  return order;
}

void MoveToFront(QuantityOrder& order, int selectedPosition) {
  if (selectedPosition < 1 || selectedPosition >= kQuantityCount) return;
  const int16_t chosen = order[selectedPosition];
  for (int j = selectedPosition; j >= 1; --j) order[j] = order[j - 1];
  order[0] = chosen;
}

void SaveQuantityOrder(SettingsStore& store, const std::string& section,
                       const QuantityOrder& order) {
  for (int k = 0; k < kQuantityCount; ++k)
    store.Set(section, std::to_string(k), std::to_string(order[k]));
}

}  // namespace zel
