// The tool windows' commands that run scripts wait while a script runs, and
// a tool window closed meanwhile stays until its own command has returned.
#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "busy_state.h"
#include "frm_main.h"

#include "frm_customize.h"
#include "frm_user_scripting.h"
#include "libtools_test_support.h"
#include "script_runner.h"

namespace zel::test {
namespace {

class BusyTools : public ToolFixture {
 protected:
  // An editor of the test's own folder that starts and ends, for the load
  // error's No.
  void InstallStandInEditor() {
    const QString editor = QDir(tmp_.path()).filePath("editor.sh");
    QFile f(editor);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nexit 0\n");
    f.close();
    QFile::setPermissions(editor, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    store_.Set("Option", "UserEditor", editor.toStdString());
  }
};

TEST_F(BusyTools, ExecuteAndReloadWaitWhileAScriptRuns) {
  WriteLib("spin.vbs", "Dim kept\r\nkept = 41\r\nFunction Spin()\r\n  Do\r\n  Loop\r\nEnd Function\r\n");
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  frmUserScripting scripting(*main_);
  frmCustomize customize(*main_);
  scripting.show();
  customize.show();
  vbs::Engine* engine = session_.gScriptEngine.get();
  bool exeDisabled = false, reloadDisabled = false, acted = false;
  QString transcriptDuring;
  QObject guard;
  QObject::connect(ScriptRunner::Instance(), &ScriptRunner::busyShownChanged, &guard, [&](bool shown) {
    if (!shown || acted) return;
    acted = true;
    QTimer::singleShot(0, &guard, [&] {
      exeDisabled = !scripting.cmdExe->isEnabled();
      reloadDisabled = !customize.cmdReload->isEnabled();
      // Reached another way than by the buttons, the commands do nothing.
      scripting.txtUserScript->setPlainText(QStringLiteral("kept = 0"));
      scripting.cmdExe_Click();
      customize.cmdReload_Click();
      transcriptDuring = scripting.Transcript();
      ScriptRunner::Instance()->RequestStop();
    });
  });
  Prompts().Answer(kAnswerNo);  // the stopped evaluation
  EXPECT_EQ(ToQ(vbs::ToText(EvaluateExpression(session_, u"Spin()"))), "");
  ASSERT_TRUE(acted);
  EXPECT_TRUE(exeDisabled);
  EXPECT_TRUE(reloadDisabled);
  EXPECT_EQ(transcriptDuring, "");
  EXPECT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(session_.gScriptEngine.get(), engine);
  EXPECT_TRUE(scripting.cmdExe->isEnabled());
  EXPECT_TRUE(customize.cmdReload->isEnabled());
  // Afterwards Execute runs (on the engine's worker) and its definitions stay.
  scripting.txtUserScript->setPlainText(QStringLiteral("kept = kept + 1"));
  scripting.cmdExe_Click();
  EXPECT_EQ(ToQ(vbs::ToText(EvaluateExpression(session_, u"kept"))), "42");
}

// The script window shows the busy state of its own script, with Stop and
// Esc there too; a stop the user asked for is reported as a stop.
TEST_F(BusyTools, TheScriptWindowOffersStopForItsScriptAndReportsTheStop) {
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  QPointer<frmUserScripting> w = frmUserScripting::Open(*main_);
  auto* bar = w->findChild<ScriptBusyBar*>();
  ASSERT_NE(bar, nullptr);
  const QString spin = QStringLiteral("n = 0\nDo\n  n = n + 1\nLoop");
  w->txtUserScript->setPlainText(spin);
  bool barShown = false, boxDisabled = false, importDisabled = false;
  WhenBusy busy(
      [&] {
        barShown = bar->isVisible() && bar->geometry() == w->txtUserScript->geometry();
        boxDisabled = !w->txtUserScript->isEnabled();
        importDisabled = !w->cmdImport->isEnabled();
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus && focus->window() == w ? focus : w.data(), Qt::Key_Escape);
      },
      5000);
  w->cmdExe->click();
  ASSERT_TRUE(busy.Fired());
  EXPECT_TRUE(barShown);
  EXPECT_TRUE(boxDisabled);
  EXPECT_TRUE(importDisabled);
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(Prompts().Asked()[0].text, "User interrupt occurred");
  EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Information);
  EXPECT_FALSE(bar->isVisible());
  EXPECT_TRUE(w->txtUserScript->isEnabled());
  EXPECT_TRUE(w->cmdImport->isEnabled());
  EXPECT_EQ(w->Script(), QString(spin).replace("\n", "\r\n"));  // kept for another run

  // The Stop button of the window's own bar stops it as well.
  WhenBusy byButton([&] { bar->cmdStop->click(); }, 5000);
  Prompts().Clear();
  w->cmdExe->click();
  ASSERT_TRUE(byButton.Fired());
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(Prompts().Asked()[0].text, "User interrupt occurred");

  // A script that fails by itself is not executable, also when its error
  // is the number a stop gives.
  for (const char* failing : {"x = 1/0", "Err.Raise 18"}) {
    Prompts().Clear();
    w->txtUserScript->setPlainText(QString::fromLatin1(failing));
    w->cmdExe->click();
    ASSERT_EQ(Prompts().Asked().size(), 1u) << failing;
    EXPECT_EQ(Prompts().Asked()[0].text, ToQ(kNotExecutableText)) << failing;
    EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Critical) << failing;
  }
}

// Another window's script is not the script window's: no bar there, and
// closing it does not ask about the script. Windows opened during a run
// start with their script commands disabled.
TEST_F(BusyTools, WindowsOpenedWhileAScriptRunsWaitWithTheirScriptCommands) {
  WriteLib("spin.vbs", "Function Spin()\r\n  Do\r\n  Loop\r\nEnd Function\r\n");
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  bool reloadDisabled = false, exeDisabled = false, barShown = true, closedWithoutAsking = false;
  QPointer<frmCustomize> customize;
  QPointer<frmUserScripting> scripting;
  WhenBusy busy(
      [&] {
        main_->mnuVBS->trigger();
        main_->mnuUserCode->trigger();
        customize = frmCustomize::Instance();
        scripting = frmUserScripting::Instance();
        if (!customize || !scripting) return;
        reloadDisabled = !customize->cmdReload->isEnabled();
        exeDisabled = !scripting->cmdExe->isEnabled();
        const auto* bar = scripting->findChild<ScriptBusyBar*>();
        barShown = bar && bar->isVisible();
        scripting->close();
        closedWithoutAsking = scripting.isNull() || !scripting->isVisible();
        ScriptRunner::Instance()->RequestStop();
      },
      5000);
  AttachLibraryTools(*main_);
  Prompts().Answer(kAnswerNo);  // the stopped evaluation
  EvaluateExpression(session_, u"Spin()");
  ASSERT_TRUE(busy.Fired());
  ASSERT_FALSE(customize.isNull());
  EXPECT_TRUE(reloadDisabled);
  EXPECT_TRUE(exeDisabled);
  EXPECT_FALSE(barShown);
  EXPECT_TRUE(closedWithoutAsking);
  ASSERT_EQ(Prompts().Asked().size(), 1u);  // only the evaluation's error
  EXPECT_TRUE(customize->cmdReload->isEnabled());
}

TEST_F(BusyTools, ClosingTheScriptWindowWhileItsScriptRunsAsksToStopAndClosesAfterExecute) {
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  QPointer<frmUserScripting> w = frmUserScripting::Open(*main_);
  w->txtUserScript->setPlainText(QStringLiteral("Do\nLoop"));
  bool openAfterNo = false, runningAfterNo = false;
  WhenBusy busy(
      [&] {
        w->cmdExit->click();  // answered No: the window and the script go on
        openAfterNo = w && w->isVisible();
        runningAfterNo = ScriptRunning();
        w->close();  // the close box, answered Yes
      },
      5000);
  Prompts().Answer(kAnswerNo);
  Prompts().Answer(kAnswerYes);
  w->cmdExe->click();  // returns once the script has stopped
  ASSERT_TRUE(busy.Fired());
  EXPECT_TRUE(openAfterNo);
  EXPECT_TRUE(runningAfterNo);
  // Both questions were the stop question; the stopped script is not
  // reported as "not executable".
  ASSERT_EQ(Prompts().Asked().size(), 2u);
  EXPECT_EQ(Prompts().Asked()[0].text, ToQ(kStopBeforeCloseText));
  EXPECT_EQ(Prompts().Asked()[1].text, ToQ(kStopBeforeCloseText));
  // Execute has returned: now the window closes, saving its geometry.
  EXPECT_TRUE(WaitFor([&] { return w.isNull(); }));
  EXPECT_NE(Stored("frmUserScripting", "SizeW"), "<absent>");
  EXPECT_EQ(EvaluateExpression(session_, u"1+1").Deref().type(), vbs::vbInteger);
}

TEST_F(BusyTools, ExitOnTheLibraryWindowDuringReloadWaitsForTheReloadToEnd) {
  // The reload's load error is answered No: the editor is started on the
  // file and the program is to end, through the main window.
  InstallStandInEditor();
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  WriteLib("slow.vbs", "Do\r\nLoop\r\n");
  QPointer<frmCustomize> w = frmCustomize::Open(*main_);
  bool openAfterNo = false;
  WhenBusy busy(
      [&] {
        w->cmdCustomizeExit->click();  // answered No
        openAfterNo = w && w->isVisible();
        w->cmdCustomizeExit->click();  // answered Yes: the load's script stops
      },
      5000);
  Prompts().Answer(kAnswerYes);  // "All temporary memories will be lost."
  Prompts().Answer(kAnswerNo);
  Prompts().Answer(kAnswerYes);
  Prompts().Answer(kAnswerNo);  // the load error of slow.vbs (error 18)
  Prompts().Answer(kAnswerNo);  // the main window's quit question
  Prompts().Answer(kAnswerNo);  // reload the files left out now
  w->cmdReload->click();
  ASSERT_TRUE(busy.Fired());
  EXPECT_TRUE(openAfterNo);
  EXPECT_TRUE(WaitFor([&] { return w.isNull() && Prompts().Asked().size() >= 6; }));
  ASSERT_EQ(Prompts().Asked().size(), 6u);
  EXPECT_EQ(Prompts().Asked()[1].text, ToQ(kStopBeforeCloseText));
  EXPECT_EQ(Prompts().Asked()[2].text, ToQ(kStopBeforeCloseText));
  EXPECT_TRUE(Prompts().Asked()[3].text.contains(QStringLiteral("slow.vbs")));
  EXPECT_TRUE(Prompts().Asked()[3].text.contains(QStringLiteral(" 18\r\n")));
  EXPECT_EQ(Prompts().Asked()[4].text, QStringLiteral("Do you want quit?"));
  EXPECT_TRUE(Prompts().Asked()[5].text.contains(QStringLiteral("\r\n  slow.vbs\r\n")));
  EXPECT_TRUE(main_->isVisible());
  ASSERT_FALSE(started_.isEmpty());
  EXPECT_TRUE(started_.back().back().endsWith(QStringLiteral("slow.vbs")));
}

// Reload stopped in a file, No at the load error, No at the quit question:
// the program stays with part of the library, says which files are left
// out, and offers the reload again.
TEST_F(BusyTools, ReloadGivenUpHalfWayNamesTheFilesNotLoadedAndOffersToReloadAgain) {
  InstallStandInEditor();
  WriteLib("a.vbs", "Function A1()\r\n  A1 = 1\r\nEnd Function\r\n");
  WriteLib("m.vbs", "Do\r\nLoop\r\n");
  WriteLib("z.vbs", "Function JPU()\r\n  JPU = 7\r\nEnd Function\r\n");
  ASSERT_EQ(LoadUserLibrary(session_, LibraryFiles::Skip), LoadStatus::Loaded);
  QPointer<frmCustomize> w = frmCustomize::Open(*main_);
  // Stops the reload in m.vbs, which has then been read: a reload after
  // that loads it quickly.
  auto reloadStoppedInM = [&] {
    WhenBusy busy(
        [&] {
          WriteLib("m.vbs", "Const kM = 3\r\n");
          ScriptRunner::Instance()->RequestStop();
        },
        5000);
    w->cmdReload->click();
    EXPECT_TRUE(busy.Fired());
    EXPECT_TRUE(WaitFor([&] { return Prompts().Asked().size() >= 4; }));
    QTest::qWait(50);
  };
  Prompts().Answer(kAnswerYes);  // "All temporary memories will be lost."
  Prompts().Answer(kAnswerNo);   // the load error of m.vbs (error 18)
  Prompts().Answer(kAnswerNo);   // the main window's quit question
  Prompts().Answer(kAnswerNo);   // not now
  reloadStoppedInM();
  ASSERT_EQ(Prompts().Asked().size(), 4u);
  EXPECT_EQ(Prompts().Asked()[2].text, QStringLiteral("Do you want quit?"));
  const PromptRequest& offer = Prompts().Asked()[3];
  EXPECT_EQ(offer.buttons, PromptButtons::YesNo);
  EXPECT_TRUE(offer.text.contains("\r\n  m.vbs\r\n  z.vbs\r\n")) << offer.text.toStdString();
  EXPECT_FALSE(offer.text.contains("a.vbs"));
  EXPECT_TRUE(main_->isVisible());
  EXPECT_EQ(ToQ(vbs::ToText(EvaluateExpression(session_, u"A1()"))), "1");

  // Offered again, Yes loads the whole library.
  Prompts().Clear();
  Prompts().Answer(kAnswerYes);  // "All temporary memories will be lost."
  Prompts().Answer(kAnswerNo);   // the load error of m.vbs (error 18)
  Prompts().Answer(kAnswerNo);   // the main window's quit question
  Prompts().Answer(kAnswerYes);  // reload now
  WriteLib("m.vbs", "Do\r\nLoop\r\n");
  reloadStoppedInM();
  EXPECT_EQ(Prompts().Asked().size(), 4u);
  EXPECT_EQ(ToQ(vbs::ToText(EvaluateExpression(session_, u"JPU() + kM"))), "10");
}

}  // namespace
}  // namespace zel::test
