#pragma once
// Helpers for tests that drive the modal input dialog: the action runs from
// the event loop once the dialog is up, as a user would act on it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <memory>

#include "app_settings.h"
#include "appservices_test_support.h"
#include "prompt_service.h"
#include "zel_dialog.h"
#include "zel_io_module.h"

namespace zel::test {

// Schedules `action` for when the dialog is shown modally. If the action
// leaves the dialog up, it is cancelled after a while and the test fails.
inline void WhenShown(std::function<void(zelDialog&)> action) {
  WhenModal<zelDialog>(
      []() -> zelDialog* {
        const bool up = IODialogLoaded() && IODialog().isVisible() &&
                        QApplication::activeModalWidget() == &IODialog();
        return up ? &IODialog() : nullptr;
      },
      [action](zelDialog& dialog) {
        action(dialog);
        QTimer::singleShot(3000, [] {
          if (IODialogLoaded() && IODialog().isVisible()) {
            ADD_FAILURE() << "the dialog was left open";
            IODialog().cmdExit_Click();
          }
        });
      },
      "the dialog never came up");
}

inline void PressKey(QWidget* target, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

// A fresh dialog on an in-memory settings store, message boxes recorded.
class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetAppSettings(&store);
    UnloadIODialog();
  }
  void TearDown() override {
    UnloadIODialog();
    SetAppSettings(nullptr);
  }
  void StoreOrder(std::initializer_list<int> order) {
    int k = 0;
    for (int id : order) store.Set(kUnitOrderSection, std::to_string(k++), std::to_string(id));
  }
  std::vector<int> StoredOrder() const {
    std::vector<int> order;
    for (int k = 0; k < kQuantityCount; ++k) {
      const std::string key = std::to_string(k);
      if (!store.Has(kUnitOrderSection, key)) break;
      order.push_back(std::stoi(store.Get(kUnitOrderSection, key, "")));
    }
    return order;
  }

  MemorySettingsStore store;
  PromptRecorder prompts;
};

}  // namespace zel::test
