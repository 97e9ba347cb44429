// The log and the input history kept between runs, seen from the window:
// a restart shows them again under a separator, Clear Log and AC keep a
// backup, a damaged kept file is set aside and named, and the two new
// options are read from and saved to section "Option".
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "calc_test_support.h"
#include "frm_main.h"
#include "keypad.h"
#include "log_keeper.h"

namespace zel::test {
namespace {

class KeptLogWindow : public CalcFixture {
 protected:
  void SetUp() override {
    CalcFixture::SetUp();
    ASSERT_TRUE(data_.isValid());
    ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  }
  void TearDown() override {
    w_.reset();
    CalcFixture::TearDown();
  }
  // A new run: a window that restores its options and the kept log.
  void Start() {
    w_.reset();
    w_ = std::make_unique<frmMain>(session_);
    w_->RestoreSettings();
    w_->StartKeptLog(data_.path());
    w_->show();
  }
  // Quits as the unload routine does (no engine release).
  void Quit() { w_->Form_Unload(false); }
  void Eval(const QString& expression) {
    w_->txtUserInput->setEditText(expression);
    w_->cmdUserNumKey[size_t(kKeyExe)]->click();
  }
  QString Read(const QString& name) const {
    QFile f(data_.filePath(name));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
  QStringList History() const {
    QStringList items;
    for (int i = 0; i < w_->txtUserInput->count(); ++i) items << w_->txtUserInput->itemText(i);
    return items;
  }

  QTemporaryDir data_;
  std::unique_ptr<frmMain> w_;
};

TEST_F(KeptLogWindow, TheNextRunShowsTheLogAndHistoryUnderASeparatorScrolledToTheEnd) {
  Start();
  EXPECT_EQ(w_->LogText(), "");  // nothing kept yet: no separator either
  for (int i = 1; i <= 60; ++i) Eval(QStringLiteral("%1*2").arg(i));
  Eval(QStringLiteral("\"a\" & vbCrLf & \"b\""));
  const QString logged = w_->LogText();
  // Every result is in the file as soon as it is logged.
  EXPECT_TRUE(Read("KeptLog.txt").endsWith("『\"a\" & vbCrLf & \"b\"』\na\nb\n"));
  Quit();

  Start();
  const QString log = w_->LogText();
  ASSERT_TRUE(log.startsWith(logged)) << log.toStdString();
  static const QRegularExpression separator(
      QStringLiteral("^\r\n──── \\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d ────$"));
  EXPECT_TRUE(separator.match(log.mid(logged.size())).hasMatch()) << log.mid(logged.size()).toStdString();
  EXPECT_EQ(History().size(), 61);
  EXPECT_EQ(History().front(), "\"a\" & vbCrLf & \"b\"");
  EXPECT_EQ(History().back(), "1*2");
  EXPECT_EQ(w_->txtUserInput->currentText(), "");
  QTest::qWait(50);
  QScrollBar* bar = w_->txtOutputDisplay->verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());

  // The separator is kept with the new session's first result, and a third
  // run shows both sessions.
  Eval(QStringLiteral("7*6"));
  Quit();
  Start();
  EXPECT_EQ(w_->LogText().count(QStringLiteral("────")), 4);
  EXPECT_TRUE(w_->LogText().contains("『7*6』\r\n42\r\n──── "));
  EXPECT_TRUE(Prompts().Asked().empty());
}

TEST_F(KeptLogWindow, ClearLogAsksAndAcKeepsTheContentBeforeInOneBackup) {
  Start();
  Eval(QStringLiteral("1+1"));
  Prompts().Answer(kAnswerNo);
  w_->mnuClearLog->trigger();
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(Prompts().Asked()[0].buttons, PromptButtons::YesNo);
  EXPECT_EQ(Prompts().Asked()[0].defaultButton, 1);
  EXPECT_EQ(w_->LogText(), "\r\n『1+1』\r\n2");

  Prompts().Answer(kAnswerYes);
  w_->mnuClearLog->trigger();
  EXPECT_EQ(w_->LogText(), "");
  EXPECT_EQ(Read("KeptLog.txt"), "");
  EXPECT_EQ(Read("KeptLog.bak"), "『1+1』\n2\n");

  // AC with "AC Key Clear Output": the backup before is replaced.
  Eval(QStringLiteral("2+2"));
  w_->mnuACKeyOption->trigger();
  w_->cmdUserNumKey[size_t(kKeyAc)]->click();
  EXPECT_EQ(w_->LogText(), "");
  EXPECT_EQ(Read("KeptLog.bak"), "『2+2』\n4\n");
  Eval(QStringLiteral("3+3"));
  EXPECT_EQ(Read("KeptLog.txt"), "『3+3』\n6\n");
  // Clearing leaves the history alone.
  EXPECT_EQ(Read("InputHistory.txt"), "1+1\n2+2\n3+3\n");
}

TEST_F(KeptLogWindow, AKeptFileThatCannotBeReadIsSetAsideAndNamed) {
  QFile bad(data_.filePath("KeptLog.txt"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("\x82\xa0\x82\xa2\r\n\x93\xfa\x96\x7b\r\n");  // another encoding
  bad.close();
  Start();
  EXPECT_EQ(w_->LogText(), "");
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  const QString text = Prompts().Asked()[0].text;
  const QStringList aside = QDir(data_.path()).entryList({"KeptLog.txt.unreadable-*"});
  ASSERT_EQ(aside.size(), 1);
  EXPECT_TRUE(text.contains(QDir::toNativeSeparators(data_.filePath(aside[0])))) << text.toStdString();
  // The run goes on with a new kept log.
  Eval(QStringLiteral("5*5"));
  EXPECT_EQ(Read("KeptLog.txt"), "『5*5』\n25\n");
}

TEST_F(KeptLogWindow, TheTwoOptionsAreOnByDefaultAndSavedAsTrueOrFalse) {
  Start();
  const QList<QAction*> entries = w_->mnuOpt->actions();
  ASSERT_GE(entries.size(), 8);
  EXPECT_EQ(entries[entries.size() - 3], w_->mnuReloadOnSave);
  EXPECT_EQ(entries[entries.size() - 2], w_->mnuKeepLog);
  EXPECT_EQ(w_->mnuReloadOnSave->text(), "Reload Library on Save");
  EXPECT_EQ(w_->mnuKeepLog->text(), "Keep Log");
  EXPECT_TRUE(w_->mnuReloadOnSave->isChecked());
  EXPECT_TRUE(w_->mnuKeepLog->isChecked());
  EXPECT_EQ(w_->mnuFile->actions().back(), w_->mnuClearLog);
  Quit();
  EXPECT_EQ(store_.Get("Option", "ReloadOnSave", ""), "True");
  EXPECT_EQ(store_.Get("Option", "KeepLog", ""), "True");

  Start();
  Eval(QStringLiteral("1+2"));
  w_->mnuReloadOnSave->trigger();
  w_->mnuKeepLog->trigger();
  // Off: nothing more is kept.
  Eval(QStringLiteral("2+3"));
  Quit();
  EXPECT_EQ(store_.Get("Option", "ReloadOnSave", ""), "False");
  EXPECT_EQ(store_.Get("Option", "KeepLog", ""), "False");
  EXPECT_EQ(Read("KeptLog.txt"), "『1+2』\n3\n");

  // Off at start: the kept log is neither shown nor added to.
  Start();
  EXPECT_FALSE(w_->mnuReloadOnSave->isChecked());
  EXPECT_FALSE(w_->mnuKeepLog->isChecked());
  EXPECT_EQ(w_->LogText(), "");
  Eval(QStringLiteral("3+4"));
  EXPECT_EQ(Read("KeptLog.txt"), "『1+2』\n3\n");
}

}  // namespace
}  // namespace zel::test
