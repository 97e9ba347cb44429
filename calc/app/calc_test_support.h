#pragma once
// Shared set-up of the window and host tests: a temporary program folder
// with its VBS library folder, an in-memory settings store, and a prompt
// recorder that answers every message box.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app_settings.h"
#include "calc_session.h"
#include "frm_main.h"
#include "prompt_service.h"
#include "script_runner.h"
#include "user_editor.h"
#include "zel_calculator.h"

namespace zel::test {

// Runs `action` from the event loop once the busy state shows (once). A
// script still running long after is stopped, and the test fails.
class WhenBusy : public QObject {
 public:
  explicit WhenBusy(std::function<void()> action, int watchdogMs = 30000)
      : action_(std::move(action)) {
    ScriptRunner* runner = ScriptRunner::Instance();
    connect(runner, &ScriptRunner::busyShownChanged, this, [this](bool shown) {
      if (!shown || fired_) return;
      fired_ = true;
      QTimer::singleShot(0, this, [this] { action_(); });
    });
    watchdog_.setSingleShot(true);
    connect(&watchdog_, &QTimer::timeout, this, [] {
      ADD_FAILURE() << "the script was still running";
      ScriptRunner::Instance()->RequestStop();
    });
    watchdog_.start(watchdogMs);
  }
  bool Fired() const { return fired_; }

 private:
  std::function<void()> action_;
  bool fired_ = false;
  QTimer watchdog_;
};

class CalcFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    SetAppSettings(&store_);
    ASSERT_TRUE(SetLibraryPath(session_, tmp_.path()));
    recorder_ = std::make_unique<PromptRecorder>();
    // Only stand-in editors of the test's own folder really start; the
    // desktop's programs never do.
    session_.gStartProcess = [this](const QString& program, const QStringList& arguments) {
      started_.append(QStringList{program} + arguments);
      if (!program.startsWith(tmp_.path())) return false;
      return QProcess::startDetached(program, arguments);
    };
  }
  void TearDown() override {
    w_.reset();
    ReleaseEngine(session_);
    recorder_.reset();
    SetAppSettings(nullptr);
  }
  QString LibDir() const { return QDir(tmp_.path()).filePath(QStringLiteral("VBS")); }
  void WriteLib(const QString& name, const QByteArray& bytes) {
    QFile f(QDir(LibDir()).filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  // The names of the engine's procedures, upper-cased.
  static QStringList Procedures(const CalcSession& session) {
    QStringList names;
    for (const auto& p : session.gScriptEngine->Procedures()) names << ToQ(p.Name).toUpper();
    return names;
  }
  QStringList Procedures() const { return Procedures(session_); }
  PromptRecorder& Prompts() { return *recorder_; }
  // Waits up to 10 s for `done`.
  template <class F>
  static bool WaitFor(F done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 10000) QTest::qWait(20);
    return done();
  }
  // Loads the library and shows the main window as start-up leaves it.
  void OpenMainWindow() {
    ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
    w_ = std::make_unique<frmMain>(session_);
    w_->RestoreSettings();
    w_->show();
  }

  QTemporaryDir tmp_;
  MemorySettingsStore store_;
  CalcSession session_;  // each test's own, as start-up would make it
  QList<QStringList> started_;  // program and arguments of each start
  std::unique_ptr<PromptRecorder> recorder_;
  std::unique_ptr<frmMain> w_;  // OpenMainWindow's window
};

}  // namespace zel::test
