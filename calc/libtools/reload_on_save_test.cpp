// Reload Library on Save with the real folder watch: saves in place and
// by rename, files added and removed, a burst of saves, a reload held back
// by a script, and a file that fails to load.
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include "frm_customize.h"
#include "library_watcher.h"
#include "libtools_test_support.h"
#include "reload_on_save.h"
#include "status_line.h"

namespace zel::test {
namespace {

class ReloadOnSave : public ToolFixture {
 protected:
  void SetUp() override {
    ToolFixture::SetUp();
    WriteLib("area.vbs", "Function Area(r)\r\nArea = r * r\r\nEnd Function\r\n");
    WriteLib("util.vbs", "Function Twice(x)\r\nTwice = 2 * x\r\nEnd Function\r\n");
    ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  }
  QString Path(const QString& name) const { return QDir(LibDir()).filePath(name); }
  // As an editor that truncates the file and writes it again.
  void SaveInPlace(const QString& name, const QByteArray& text) {
    QFile f(Path(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
  }
  // As an editor that writes a new file and renames it over the old one.
  void SaveByRename(const QString& name, const QByteArray& text) {
    const QString temp = Path(QStringLiteral(".") + name + QStringLiteral(".tmp"));
    {
      QFile f(temp);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(text);
    }
    ASSERT_EQ(::rename(QFile::encodeName(temp).constData(), QFile::encodeName(Path(name)).constData()), 0);
  }
  QString Eval(const QString& expression) {
    vbs::Variant v = EvaluateExpression(session_, ToU16(expression));
    return ToQ(JudgeValue(v).text);
  }
  // A watcher with the test's own idea of a running script.
  std::unique_ptr<LibraryWatcher> Watch(bool* scriptRunning) {
    auto w = std::make_unique<LibraryWatcher>(
        session_.gLibraryPath, LibraryWatcher::Hooks{[this] { ReloadSavedLibrary(*main_); },
                                            [scriptRunning] { return *scriptRunning; }, [] { return false; }});
    w->SetEnabled(true);
    return w;
  }
};

TEST_F(ReloadOnSave, EachKindOfSaveReloadsOnceAndTheNewDefinitionIsCalled) {
  bool script = false;
  auto w = Watch(&script);
  EXPECT_EQ(Eval("Area(3)"), "9");

  SaveInPlace("area.vbs", "Function Area(r)\r\nArea = 3 * r * r\r\nEnd Function\r\n");
  ASSERT_TRUE(WaitFor([&] { return w->Reloads() == 1; }));
  EXPECT_EQ(Eval("Area(3)"), "27");
  EXPECT_EQ(main_->lblStatus->Note(), "Library reloaded: 2 files");

  SaveByRename("area.vbs", "Function Area(r)\r\nArea = 4 * r * r\r\nEnd Function\r\n");
  ASSERT_TRUE(WaitFor([&] { return w->Reloads() == 2; }));
  EXPECT_EQ(Eval("Area(3)"), "36");
  // The renamed file is watched in its turn.
  SaveInPlace("area.vbs", "Function Area(r)\r\nArea = 5 * r * r\r\nEnd Function\r\n");
  ASSERT_TRUE(WaitFor([&] { return w->Reloads() == 3; }));
  EXPECT_EQ(Eval("Area(3)"), "45");

  WriteLib("cube.VBS", "Function Cube(x)\r\nCube = x * x * x\r\nEnd Function\r\n");
  ASSERT_TRUE(WaitFor([&] { return w->Reloads() == 4; }));
  EXPECT_EQ(Eval("Cube(2)"), "8");
  EXPECT_EQ(main_->lblStatus->Note(), "Library reloaded: 3 files");

  ASSERT_TRUE(QFile::remove(Path("util.vbs")));
  ASSERT_TRUE(WaitFor([&] { return w->Reloads() == 5; }));
  EXPECT_TRUE(Procedures().contains("CUBE"));
  EXPECT_FALSE(Procedures().contains("TWICE"));

  // Files that are not library files change nothing.
  WriteLib("notes.txt", "x");
  WriteLib("area.vbs~", "x");
  QTest::qWait(600);
  EXPECT_EQ(w->Reloads(), 5);
  // No question was asked on the way.
  EXPECT_TRUE(Prompts().Asked().empty());
  // The note goes after 3 s.
  EXPECT_TRUE(WaitFor([&] { return main_->lblStatus->Note().isEmpty(); }));
}

TEST_F(ReloadOnSave, SavesWithinTheQuietPeriodGiveOneReloadAfterTheLast) {
  bool script = false;
  auto w = Watch(&script);
  for (int i = 1; i <= 4; ++i) {
    SaveInPlace("area.vbs", QStringLiteral("Function Area(r)\r\nArea = %1\r\nEnd Function\r\n").arg(i).toUtf8());
    QTest::qWait(100);
  }
  ASSERT_TRUE(WaitFor([&] { return w->Reloads() == 1; }));
  QTest::qWait(500);
  EXPECT_EQ(w->Reloads(), 1);
  EXPECT_EQ(Eval("Area(0)"), "4");
}

TEST_F(ReloadOnSave, NoReloadWhileAScriptRunsButOnceItHasEnded) {
  bool script = true;
  auto w = Watch(&script);
  SaveInPlace("area.vbs", "Function Area(r)\r\nArea = 7\r\nEnd Function\r\n");
  QTest::qWait(800);
  EXPECT_EQ(w->Reloads(), 0);
  script = false;
  ASSERT_TRUE(WaitFor([&] { return w->Reloads() == 1; }));
  EXPECT_EQ(Eval("Area(0)"), "7");
}

// The program's own watch, held back by a real evaluation: the save lands
// while the script runs, the reload comes once it has ended.
TEST_F(ReloadOnSave, AReloadWaitsForTheRunningEvaluation) {
  WriteLib("wait.vbs",
           "Function Hold(s)\r\nDim t0\r\nt0 = Timer\r\nDo While Timer - t0 < s\r\nLoop\r\nHold = 5\r\nEnd Function\r\n");
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  LibraryWatcher* w = WatchLibraryForSaves(*main_);
  ASSERT_TRUE(w->Enabled());
  int reloadsDuring = -1;
  QObject guard;
  QTimer::singleShot(100, &guard, [&] {
    SaveInPlace("area.vbs", "Function Area(r)\r\nArea = 11\r\nEnd Function\r\n");
  });
  // Well past the quiet period, the script still running.
  QTimer::singleShot(1200, &guard, [&] { reloadsDuring = w->Reloads(); });
  EXPECT_EQ(Eval("Hold(1.6)"), "5");
  EXPECT_EQ(reloadsDuring, 0);
  ASSERT_TRUE(WaitFor([&] { return w->Reloads() == 1; }));
  EXPECT_EQ(Eval("Area(0)"), "11");
}

TEST_F(ReloadOnSave, AFileThatFailsIsNamedAndWhatLoadedBeforeItStays) {
  bool script = false;
  auto w = Watch(&script);
  // The load-error question answered No: the editor is started on the
  // file, the program stays, the files before it are loaded.
  const QString editor = QDir(tmp_.path()).filePath("editor.sh");
  {
    QFile f(editor);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nexit 0\n");
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
  }
  store_.Set("Option", "UserEditor", ('"' + editor + '"').toStdString());
  Prompts().Answer(kAnswerNo);
  SaveInPlace("util.vbs", "Function Twice(x)\r\nTwice = 2 *\r\nEnd Function\r\n");
  ASSERT_TRUE(WaitFor([&] { return w->Reloads() == 1; }));
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_TRUE(Prompts().Asked()[0].text.contains("util.vbs"));
  ASSERT_FALSE(started_.isEmpty());
  EXPECT_TRUE(started_.last().join(' ').contains("util.vbs"));
  EXPECT_TRUE(main_->isVisible());
  EXPECT_EQ(Eval("Area(3)"), "9");
  EXPECT_EQ(main_->lblStatus->Note(), "Library reloaded: 1 file; not loaded: util.vbs");
  QTest::qWait(3500);
  EXPECT_EQ(main_->lblStatus->Note(), "Library reloaded: 1 file; not loaded: util.vbs");

  // Mended, the next save loads it and the note says so.
  SaveInPlace("util.vbs", "Function Twice(x)\r\nTwice = 2 * x\r\nEnd Function\r\n");
  ASSERT_TRUE(WaitFor([&] { return w->Reloads() == 2; }));
  EXPECT_EQ(Eval("Twice(4)"), "8");
  EXPECT_EQ(main_->lblStatus->Note(), "Library reloaded: 2 files");
}

TEST_F(ReloadOnSave, TheOptionTurnsWatchingOffAndOn) {
  LibraryWatcher* w = WatchLibraryForSaves(*main_);
  ASSERT_TRUE(w->Enabled());
  main_->mnuReloadOnSave->trigger();
  EXPECT_FALSE(w->Enabled());
  SaveInPlace("area.vbs", "Function Area(r)\r\nArea = 1\r\nEnd Function\r\n");
  QTest::qWait(600);
  EXPECT_EQ(w->Reloads(), 0);
  main_->mnuReloadOnSave->trigger();
  // Turned on again, only later saves count.
  QTest::qWait(400);
  EXPECT_EQ(w->Reloads(), 0);
  SaveInPlace("area.vbs", "Function Area(r)\r\nArea = 2\r\nEnd Function\r\n");
  ASSERT_TRUE(WaitFor([&] { return w->Reloads() == 1; }));
  EXPECT_EQ(Eval("Area(0)"), "2");
}

}  // namespace
}  // namespace zel::test
