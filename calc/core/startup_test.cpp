// The start-up sequence: one instance per user, the library folder, the
// silent ends, and the program run as a second process.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QTest>

#include "calc_test_support.h"
#include "frm_main.h"
#include "startup.h"

namespace zel::test {
namespace {

class StartupTest : public CalcFixture {
 protected:
  void SetUp() override {
    CalcFixture::SetUp();
    ASSERT_TRUE(program_.isValid());
    ASSERT_TRUE(locks_.isValid());
    gLibraryPath.clear();
  }
  StartupOptions Options() const { return {program_.path(), locks_.path(), QString()}; }
  QTemporaryDir program_;
  QTemporaryDir locks_;
};

TEST_F(StartupTest, FirstStartCreatesTheLibraryFolderAndShowsTheWindow) {
  StartupSession s;
  ASSERT_EQ(StartProgram(s, Options()), StartupResult::Running);
  EXPECT_EQ(gLibraryPath, QDir::toNativeSeparators(program_.path() + "/VBS"));
  EXPECT_TRUE(QFileInfo(program_.path() + "/VBS").isDir());
  ASSERT_TRUE(s.window);
  EXPECT_TRUE(s.window->isVisible());
  // Windows and message boxes without an owner show the program's icon too.
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  EXPECT_TRUE(gScriptEngine != nullptr);
  EXPECT_FALSE(gHelpFile.isEmpty());
  EXPECT_TRUE(Prompts().Asked().empty());
  ASSERT_TRUE(QTest::qWaitForWindowActive(s.window.get()));
  QWidget* focus = QApplication::focusWidget();
  EXPECT_TRUE(focus == s.window->txtUserInput || focus == s.window->txtUserInput->lineEdit());
}

TEST_F(StartupTest, SecondStartEndsSilently) {
  StartupSession first;
  ASSERT_EQ(StartProgram(first, Options()), StartupResult::Running);
  StartupSession second;
  EXPECT_EQ(StartProgram(second, Options()), StartupResult::AlreadyRunning);
  EXPECT_FALSE(second.window);
  EXPECT_TRUE(Prompts().Asked().empty());
  // Once the first one is gone the next start runs.
  first.window.reset();
  first.lock.reset();
  StartupSession third;
  EXPECT_EQ(StartProgram(third, Options()), StartupResult::Running);
}

TEST_F(StartupTest, LockOfACrashedRunDoesNotBlock) {
  // A lock naming a process that no longer exists.
  QProcess gone;
  gone.start(QStringLiteral("/bin/true"));
  ASSERT_TRUE(gone.waitForFinished());
  const qint64 deadPid = gone.processId() ? gone.processId() : 999999;
  {
    QFile f(QDir(locks_.path()).filePath("zelCalc.lock"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::number(deadPid) + "\nzelCalc\n" + QSysInfo::machineHostName().toUtf8() + "\n");
  }
  StartupSession s;
  EXPECT_EQ(StartProgram(s, Options()), StartupResult::Running);
}

TEST_F(StartupTest, ALockThatCannotBeWrittenDoesNotStopTheStart) {
  // The lock folder is a plain file: no lock can be made inside it.
  const QString notADir = QDir(locks_.path()).filePath("plainfile");
  {
    QFile f(notADir);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  StartupSession s;
  EXPECT_EQ(StartProgram(s, {program_.path(), notADir, QString()}), StartupResult::Running);
  ASSERT_TRUE(s.window);
  EXPECT_TRUE(s.window->isVisible());
  EXPECT_TRUE(Prompts().Asked().empty());
}

TEST_F(StartupTest, LibraryFolderThatCannotBeMadeIsToldBeforeTheEnd) {
  // The program folder is a plain file: no VBS folder can be made in it.
  const QString notADir = QDir(program_.path()).filePath("plainfile");
  {
    QFile f(notADir);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  StartupSession s;
  EXPECT_EQ(StartProgram(s, {notADir, locks_.path(), QString()}), StartupResult::Failed);
  EXPECT_FALSE(s.window);
  EXPECT_FALSE(gScriptEngine);
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Critical);
  EXPECT_TRUE(Prompts().Asked()[0].text.contains(QDir::toNativeSeparators(notADir + "/VBS")));
}

TEST_F(StartupTest, LoadErrorAnsweredNoEndsTheProgram) {
  store_.Set("Option", "UserEditor", "true");
  gStartProcess = [](const QString&, const QStringList&) { return true; };
  QDir(program_.path()).mkdir("VBS");
  QFile f(program_.path() + "/VBS/bad.vbs");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("Function (\r\n");
  f.close();
  Prompts().Answer(kAnswerNo);
  StartupSession s;
  EXPECT_EQ(StartProgram(s, Options()), StartupResult::EditorStarted);
  EXPECT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_FALSE(s.window);
  EXPECT_FALSE(gScriptEngine);
}

TEST_F(StartupTest, SecondProcessEndsAtOnceWhileOneRuns) {
  // The program keeps its lock in the per-user runtime folder; give the
  // child its own and hold the lock there as a running instance would.
  QLockFile held(QDir(locks_.path()).filePath("zelCalc.lock"));
  ASSERT_TRUE(held.tryLock(0));
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", locks_.path());
  env.insert("QT_QPA_PLATFORM", "offscreen");
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(ZELCALC_EXE), {});
  ASSERT_TRUE(p.waitForStarted());
  EXPECT_TRUE(p.waitForFinished(20000));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 0);
  EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
}

}  // namespace
}  // namespace zel::test
