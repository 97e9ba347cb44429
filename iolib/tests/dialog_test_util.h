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
#include "prompt_service.h"
#include "zel_dialog.h"
#include "zel_io_module.h"

namespace zel::testing {

// Schedules `action` for when the dialog is shown modally. If the action
// leaves the dialog up, it is cancelled after a while and the test fails.
inline void WhenShown(std::function<void(zelDialog&)> action) {
  auto poll = std::make_shared<std::function<void(int)>>();
  *poll = [poll, action](int attempts) {
    if (IODialogLoaded() && IODialog().isVisible() && QApplication::activeModalWidget() == &IODialog()) {
      action(IODialog());
      QTimer::singleShot(3000, [] {
        if (IODialogLoaded() && IODialog().isVisible()) {
          ADD_FAILURE() << "the dialog was left open";
          IODialog().cmdExit_Click();
        }
      });
      *poll = nullptr;  // breaks the self-reference
      return;
    }
    if (attempts > 300) {
      ADD_FAILURE() << "the dialog never came up";
      *poll = nullptr;
      return;
    }
    QTimer::singleShot(10, [poll, attempts] {
      if (*poll) (*poll)(attempts + 1);
    });
  };
  QTimer::singleShot(0, [poll] {
    if (*poll) (*poll)(0);
  });
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

}  // namespace zel::testing
