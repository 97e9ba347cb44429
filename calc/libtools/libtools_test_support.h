#pragma once
// The library tools' window tests: the calculator fixture with a main
// window, and helpers for what only the event loop can show.
#include <QApplication>
#include <QComboBox>
#include <QTest>

#include "calc_test_support.h"
#include "frm_main.h"

namespace zel::test {

class ToolFixture : public CalcFixture {
 protected:
  void SetUp() override {
    CalcFixture::SetUp();
    main_ = std::make_unique<frmMain>(session_);
    main_->show();
  }
  void TearDown() override {
    main_.reset();  // its tool windows go with it
    CalcFixture::TearDown();
  }
  QString Input() const { return main_->txtUserInput->currentText(); }
  std::string Stored(const char* section, const char* key) const {
    return store_.Get(section, key, "<absent>");
  }
  std::unique_ptr<frmMain> main_;
};

}  // namespace zel::test
