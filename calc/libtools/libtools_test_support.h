#pragma once
// The library tools' window tests: the calculator fixture with a main
// window, and helpers for what only the event loop can show.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTest>

#include "calc_test_support.h"
#include "frm_main.h"

namespace zel::test {

class ToolFixture : public CalcFixture {
 protected:
  void SetUp() override {
    CalcFixture::SetUp();
    main_ = std::make_unique<frmMain>();
    main_->show();
  }
  void TearDown() override {
    main_.reset();  // its tool windows go with it
    CalcFixture::TearDown();
  }
  // Waits up to 10 s for `done`.
  template <class F>
  static bool WaitFor(F done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 10000) QTest::qWait(20);
    return done();
  }
  QString Input() const { return main_->txtUserInput->currentText(); }
  std::string Stored(const char* section, const char* key) const {
    return store_.Get(section, key, "<absent>");
  }
  std::unique_ptr<frmMain> main_;
};

}  // namespace zel::test
