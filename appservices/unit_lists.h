#pragma once
// The quantity selector and the two unit lists, filled the same way in both
// unit converters (the calculator's window and the input dialog).
#include <string>

#include "catalogue.h"
#include "quantity_order.h"

class QComboBox;
class QListWidget;

namespace zel {

// Position k of the selector shows the quantity order[k].
void FillQuantitySelector(QComboBox* selector, const QuantityOrder& order);

// Empties both lists, adds units 1..n of the loaded table to each, then
// selects the first entry of the left list and then of the right one.
void FillUnitLists(const UnitTable& table, QListWidget* left, QListWidget* right);

// The label of the list's current entry; empty when it has none.
std::string CurrentUnitLabel(const QListWidget* list);

}  // namespace zel
