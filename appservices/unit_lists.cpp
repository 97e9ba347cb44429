#include "unit_lists.h"

#include <QComboBox>
#include <QListWidget>

namespace zel {

void FillQuantitySelector(QComboBox* selector, const QuantityOrder& order) {
  const auto& names = QuantityNames();
  selector->clear();
  for (int16_t id : order) selector->addItem(QString::fromStdString(names[size_t(id)]));
}

void FillUnitLists(const UnitTable& table, QListWidget* left, QListWidget* right) {
  const int n = UnitCount(table);
  left->clear();
  right->clear();
  for (int i = 1; i <= n; ++i) {
    const QString label = QString::fromStdString(table.UnitName[size_t(i)]);
    left->addItem(label);
    right->addItem(label);
  }
  if (n == 0) return;
  left->setCurrentRow(0);
  right->setCurrentRow(0);
}

std::string CurrentUnitLabel(const QListWidget* list) {
  const QListWidgetItem* item = list->currentItem();
  return item ? item->text().toStdString() : std::string();
}

}  // namespace zel
