// The start-up sequence: one instance per user, the library folder, the
// silent ends, and the program run as a second process.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <unistd.h>

#include "calc_test_support.h"
#include "frm_main.h"
#include "startup.h"
#include "user_editor.h"

namespace zel::test {
namespace {

class StartupTest : public CalcFixture {
 protected:
  void SetUp() override {
    CalcFixture::SetUp();
    ASSERT_TRUE(program_.isValid());
    ASSERT_TRUE(locks_.isValid());
  }
  StartupOptions Options() const { return {program_.path(), locks_.path(), data_.path()}; }
  QTemporaryDir program_;
  QTemporaryDir data_;
  QTemporaryDir locks_;
};

TEST_F(StartupTest, FirstStartCreatesTheLibraryFolderAndShowsTheWindow) {
  StartupSession s;
  ASSERT_EQ(StartProgram(s, Options()), StartupResult::Running);
  EXPECT_EQ(s.calc.gLibraryPath, QDir::toNativeSeparators(program_.path() + "/VBS"));
  EXPECT_TRUE(QFileInfo(program_.path() + "/VBS").isDir());
  ASSERT_TRUE(s.window);
  EXPECT_TRUE(s.window->isVisible());
  // Windows and message boxes without an owner show the program's icon too.
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  EXPECT_TRUE(s.calc.gScriptEngine != nullptr);
  EXPECT_FALSE(s.calc.gHelpFile.isEmpty());
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
  EXPECT_FALSE(s.calc.gScriptEngine);
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Critical);
  EXPECT_TRUE(Prompts().Asked()[0].text.contains(QDir::toNativeSeparators(notADir + "/VBS")));
}

TEST_F(StartupTest, LoadErrorAnsweredNoEndsTheProgram) {
  store_.Set("Option", "UserEditor", "true");
  QDir(program_.path()).mkdir("VBS");
  QFile f(program_.path() + "/VBS/bad.vbs");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("Function (\r\n");
  f.close();
  Prompts().Answer(kAnswerNo);
  StartupSession s;
  s.calc.gStartProcess = [](const QString&, const QStringList&) { return true; };
  EXPECT_EQ(StartProgram(s, Options()), StartupResult::EditorStarted);
  EXPECT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_FALSE(s.window);
  EXPECT_FALSE(s.calc.gScriptEngine);
}

TEST_F(StartupTest, NoLibraryStartsWithAnEngineButWithoutTheLibraryFiles) {
  ASSERT_TRUE(QDir(program_.path()).mkdir("VBS"));
  QFile f(program_.path() + "/VBS/nag.vbs");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("Function F()\r\n  F = 1\r\nEnd Function\r\nDo\r\n  MsgBox \"x\"\r\nLoop\r\n");
  f.close();
  StartupOptions options = Options();
  options.loadLibrary = false;
  StartupSession s;
  ASSERT_EQ(StartProgram(s, options), StartupResult::Running);
  EXPECT_TRUE(Prompts().Asked().empty());
  EXPECT_TRUE(Procedures(s.calc).isEmpty());
  EXPECT_EQ(ToQ(vbs::ToText(EvaluateExpression(s.calc, u"6*7"))), "42");
  EXPECT_EQ(s.calc.gLibraryPath, QDir::toNativeSeparators(program_.path() + "/VBS"));
}

// The program run as a process of its own.
class ProgramRun : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    ASSERT_TRUE(home_.isValid());
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("HOME", home_.path());
    env_.insert("XDG_CONFIG_HOME", home_.path() + "/config");
    env_.insert("XDG_DATA_HOME", home_.path() + "/data");
    env_.insert("XDG_CACHE_HOME", home_.path() + "/cache");
    env_.insert("QT_QPA_PLATFORM", "offscreen");
    // A process ended on purpose is no leak report.
    env_.insert("ASAN_OPTIONS", "detect_leaks=0");
  }
  struct Outcome {
    bool finished = false;
    int status = -1;
    QByteArray out, err;
  };
  Outcome Run(const QString& program, const QStringList& args, int waitMs = 30000) {
    QProcess p;
    p.setProcessEnvironment(env_);
    p.start(program, args);
    Outcome o;
    if (!p.waitForStarted()) return o;
    o.finished = p.waitForFinished(waitMs);
    if (!o.finished) {
      p.kill();
      p.waitForFinished();
    }
    o.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    o.out = p.readAllStandardOutput();
    o.err = p.readAllStandardError();
    return o;
  }
  QTemporaryDir home_;
  QProcessEnvironment env_;
};

TEST_F(ProgramRun, SecondProcessEndsAtOnceWhateverItsRuntimeFolder) {
  // The lock lives beside the settings file; the session's runtime folder,
  // which may differ between two launches, plays no part.
  const QString settingsDir = home_.path() + "/config/zelCalc";
  ASSERT_TRUE(QDir().mkpath(settingsDir));
  QLockFile held(settingsDir + "/zelCalc.lock");
  ASSERT_TRUE(held.tryLock(0));
  env_.insert("XDG_RUNTIME_DIR", locks_.path());
  const Outcome o = Run(QStringLiteral(ZELCALC_EXE), {}, 20000);
  EXPECT_TRUE(o.finished);
  EXPECT_EQ(o.status, 0);
  EXPECT_TRUE(o.out.isEmpty());
}

TEST_F(ProgramRun, HelpNamesNoLibraryAndUnknownOptionsFail) {
  // No display at all: help does not need one.
  QProcessEnvironment noDisplay = env_;
  noDisplay.remove("DISPLAY");
  noDisplay.remove("WAYLAND_DISPLAY");
  noDisplay.insert("QT_QPA_PLATFORM", "xcb");
  env_ = noDisplay;
  const Outcome help = Run(QStringLiteral(ZELCALC_EXE), {"--help"});
  EXPECT_TRUE(help.finished);
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.contains("--no-library")) << help.out.toStdString();
  EXPECT_TRUE(help.out.contains("Usage: zelCalc")) << help.out.toStdString();

  env_.insert("QT_QPA_PLATFORM", "offscreen");
  const Outcome bogus = Run(QStringLiteral(ZELCALC_EXE), {"--bogus"});
  EXPECT_TRUE(bogus.finished);
  EXPECT_EQ(bogus.status, 1);
  EXPECT_TRUE(bogus.err.contains("bogus")) << bogus.err.toStdString();
}

TEST_F(ProgramRun, AStartThatFailsWithoutAMessageEndsWithStatus1) {
  // A program folder of our own (a link to the program) whose library
  // folder cannot be listed: the load fails before its first file, which
  // ends the program without a message.
  QTemporaryDir place;
  ASSERT_TRUE(place.isValid());
  const QString program = place.path() + "/zelCalc";
  if (::link(ZELCALC_EXE, QFile::encodeName(program).constData()) != 0) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZELCALC_EXE), program));
  }
  ASSERT_TRUE(QDir(place.path()).mkdir("VBS"));
  ASSERT_TRUE(QFile::setPermissions(place.path() + "/VBS", QFileDevice::Permissions()));
  QString runner = program;
  QStringList args;
  if (::geteuid() == 0) {
    // Permissions do not stop the superuser: the program runs as nobody,
    // in folders it may write.
    runner = QStandardPaths::findExecutable("setpriv");
    if (runner.isEmpty()) GTEST_SKIP() << "setpriv is needed to run the program without privileges";
    args = {"--reuid=65534", "--regid=65534", "--clear-groups", "--", program};
    for (const QString& dir : {place.path(), home_.path()})
      QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                     QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                     QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
  }
  const Outcome o = Run(runner, args);
  QFile::setPermissions(place.path() + "/VBS", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner);
  EXPECT_TRUE(o.finished) << "a message box waited for an answer";
  EXPECT_EQ(o.status, 1) << o.err.toStdString();
}

}  // namespace
}  // namespace zel::test
