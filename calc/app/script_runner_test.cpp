// Scripts run on the engine's worker thread: stopping runaway scripts
// wherever they were started, what scripts ask of the user, the busy state,
// closing while busy, and long series of evaluations.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "busy_state.h"
#include "calc_test_support.h"
#include "frm_main.h"
#include "keypad.h"
#include "app_settings.h"
#include "script_runner.h"
#include "startup.h"
#include "zel_dialog.h"
#include "zel_io_factory.h"
#include "zel_io_module.h"

namespace zel::test {
namespace {

bool OnUiThread() { return QThread::currentThread() == qApp->thread(); }

// Where script calls arrive: zelIO's calls through the program, `Worker`'s
// straight from the engine.
class ThreadProbe : public vbs::HostObject {
 public:
  explicit ThreadProbe(bool* sawUiThread) : sawUi_(sawUiThread) {}
  int FindMember(std::u16string_view name) const override {
    const QString n = ToQ(name).toLower();
    if (n == "twice") return 1;
    if (n == "fail") return 2;
    if (n == "onuithread") return 3;
    return -1;
  }
  void Invoke(int member, vbs::InvokeKind, vbs::Args& args, vbs::Variant& result) override {
    *sawUi_ = OnUiThread();
    if (member == 2) throw vbs::ScriptError(9);
    if (member == 3) {
      result = vbs::Variant::FromBool(*sawUi_);
      return;
    }
    result = vbs::Variant::FromDouble(vbs::ToDouble(args[0]) * 2);
  }
  std::u16string TypeName() const override { return u"zelIOModule"; }

 private:
  bool* sawUi_;
};

class WorkerTest : public CalcFixture {
 protected:
  void SetUp() override {
    CalcFixture::SetUp();
    WriteLib("spin.vbs",
             "Dim kept\r\n"
             "kept = 41\r\n"
             "Function Spin()\r\n"
             "  Do\r\n"
             "  Loop\r\n"
             "End Function\r\n"
             "Function KeptPlusOne()\r\n"
             "  KeptPlusOne = kept + 1\r\n"
             "End Function\r\n");
  }
  void TearDown() override {
    w_.reset();
    CalcFixture::TearDown();
  }
  void OpenWindow() {
    OpenMainWindow();
    QApplication::setActiveWindow(w_.get());
  }
  void Exe(const QString& input) {
    w_->txtUserInput->setEditText(input);
    w_->cmdUserNumKey[size_t(kKeyExe)]->click();
  }
  QString EvalText(std::u16string_view expression) {
    return ToQ(vbs::ToText(EvaluateExpression(session_, expression)));
  }
  ScriptBusyBar* Bar() const { return w_->findChild<ScriptBusyBar*>(); }
};

using StopRunaway = WorkerTest;

TEST_F(StopRunaway, LoopTypedIntoTheInputLineStopsAndTheLogStays) {
  OpenWindow();
  Exe("6*7");
  const QString logBefore = w_->LogText();
  WhenBusy busy([&] {
    EXPECT_TRUE(Bar()->isVisible());
    EXPECT_FALSE(w_->txtUserInput->isEnabled());
    EXPECT_FALSE(w_->cmdUserNumKey[size_t(kKeyExe)]->isEnabled());
    EXPECT_TRUE(Bar()->cmdStop->isEnabled());
    // Typing while waiting goes nowhere (not into the log).
    QWidget* focus = QApplication::focusWidget();
    ASSERT_TRUE(focus);
    QTest::keyClicks(focus, "999");
    QTest::keyClick(focus, Qt::Key_Return);
    Bar()->cmdStop->click();
  });
  Prompts().Answer(kAnswerNo);
  Exe("1 : Do : Loop");
  ASSERT_TRUE(busy.Fired());
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  const QString asked = Prompts().Asked()[0].text;
  EXPECT_TRUE(asked.contains(" 18\r\n")) << asked.toStdString();
  EXPECT_TRUE(asked.contains("User interrupt occurred")) << asked.toStdString();
  EXPECT_EQ(w_->LogText(), logBefore);
  EXPECT_EQ(ToQ(vbs::ToText(session_.gLastAnswer)), "42");
  // The window is back as it was and works.
  EXPECT_FALSE(Bar()->isVisible());
  EXPECT_TRUE(w_->txtUserInput->isEnabled());
  EXPECT_TRUE(w_->fraUserTenKey->isEnabled());
  Exe("3*3");
  EXPECT_TRUE(w_->LogText().endsWith("\r\n9"));
}

TEST_F(StopRunaway, EscStopsALibraryFunctionAndDefinitionsSurvive) {
  OpenWindow();
  int maintenanceShown = 0;
  session_.gShowLibraryMaintenance = [&] { ++maintenanceShown; };
  Exe("KeptPlusOne()");
  const QString logBefore = w_->LogText();
  WhenBusy busy([&] {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : w_.get(), Qt::Key_Escape);
  });
  // Going on after the error gives no value: not the one myResult held before.
  Prompts().Answer(kAnswerYes);
  EXPECT_EQ(EvaluateExpression(session_, u"Spin()").type(), vbs::vbEmpty);
  ASSERT_TRUE(busy.Fired());
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_TRUE(Prompts().Asked()[0].text.contains(" 18\r\n"));
  EXPECT_EQ(maintenanceShown, 1);
  EXPECT_EQ(w_->LogText(), logBefore);
  EXPECT_EQ(EvalText(u"KeptPlusOne() + kept"), "83");
}

TEST_F(StopRunaway, WholeScriptInTheGlobalModuleStopsWithError18) {
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  WhenBusy busy([] { ScriptRunner::Instance()->RequestStop(); });
  EXPECT_FALSE(session_.gGlobalModule->ExecuteStatement(
      u"Dim before\r\nbefore = 7\r\nDo\r\n  before = before\r\nLoop\r\n"));
  ASSERT_TRUE(busy.Fired());
  EXPECT_EQ(session_.gScriptEngine->Error().Number, vbs::kErrInterrupted);
  EXPECT_EQ(EvalText(u"before * kept"), "287");
  // On Error Resume Next does not swallow a stop.
  WhenBusy again([] { ScriptRunner::Instance()->RequestStop(); });
  EXPECT_FALSE(session_.gGlobalModule->ExecuteStatement(u"On Error Resume Next\r\nDo\r\nLoop\r\n"));
  EXPECT_EQ(session_.gScriptEngine->Error().Number, vbs::kErrInterrupted);
}

TEST_F(StopRunaway, LibraryFileThatNeverEndsIsStoppedFromTheLoadingWindow) {
  QTemporaryDir program, locks;
  ASSERT_TRUE(program.isValid() && locks.isValid());
  ASSERT_TRUE(QDir(program.path()).mkdir("VBS"));
  auto write = [&](const QString& name, const QByteArray& text) {
    QFile f(program.path() + "/VBS/" + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  };
  write("a.vbs", "Function FromA()\r\n  FromA = 1\r\nEnd Function\r\n");
  write("b.vbs", "Function FromB()\r\n  FromB = 2\r\nEnd Function\r\nDo\r\nLoop\r\n");
  write("c.vbs", "Function FromC()\r\n  FromC = 3\r\nEnd Function\r\n");
  QString shownFile;
  QElapsedTimer clock;
  qint64 shownAfter = -1;
  WhenBusy busy([&] {
    LoadingWindow* loading = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* l = qobject_cast<LoadingWindow*>(w); l && l->isVisible()) loading = l;
    ASSERT_TRUE(loading) << "no loading window";
    shownAfter = clock.elapsed();
    shownFile = loading->lblFile->text();
    loading->cmdStop->click();
  });
  Prompts().Answer(kAnswerYes);  // go on loading after the stopped file
  StartupSession session;
  clock.start();
  ASSERT_EQ(StartProgram(session, {program.path(), locks.path(), QString()}), StartupResult::Running);
  ASSERT_TRUE(busy.Fired());
  EXPECT_EQ(shownFile, "b.vbs");
  EXPECT_GE(shownAfter, 1000);  // the loading window waits about a second
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  const QString asked = Prompts().Asked()[0].text;
  EXPECT_TRUE(asked.contains(" 18\r\n") && asked.contains("b.vbs")) << asked.toStdString();
  EXPECT_EQ(ToQ(vbs::ToText(EvaluateExpression(session.calc, u"FromA() & FromC()"))), "13");
  EXPECT_EQ(ScriptRunner::Instance()->BusyDelay(), 500);
}

using UserCalls = WorkerTest;

TEST_F(UserCalls, ScriptRunsOnTheWorkerAndAsksOnTheUserInterfaceThread) {
  bool zelIOOnUi = false, workerOnUi = true;
  session_.gCreateIOObject = [&] { return vbs::Ref<vbs::HostObject>(new ThreadProbe(&zelIOOnUi)); };
  WriteLib("ask.vbs",
           "Function Ask()\r\n"
           "  Dim answer, name\r\n"
           "  answer = MsgBox(\"Go on?\", vbYesNo, \"Question\")\r\n"
           "  name = InputBox(\"Name?\", \"Who\", \"nobody\")\r\n"
           "  Ask = name & \":\" & zelIO.Twice(answer) & \":\" & Worker.OnUiThread()\r\n"
           "End Function\r\n");
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  // Registered straight in the engine: called where the script runs.
  session_.gScriptEngine->AddObject(u"Worker", vbs::Ref<vbs::HostObject>(new ThreadProbe(&workerOnUi)));
  Prompts().Answer(kAnswerYes);
  Prompts().AnswerText(QStringLiteral("Ada"));
  EXPECT_EQ(EvalText(u"Ask()"), "Ada:12:False");
  EXPECT_TRUE(zelIOOnUi);
  EXPECT_FALSE(workerOnUi);
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(Prompts().Asked()[0].text, "Go on?");
  EXPECT_EQ(Prompts().Asked()[0].title, "Question");
  ASSERT_EQ(Prompts().AskedText().size(), 1u);
  EXPECT_EQ(Prompts().AskedText()[0].prompt, "Name?");
  // An error raised by zelIO reaches the script as its own.
  Prompts().Answer(kAnswerNo);
  EXPECT_EQ(EvalText(u"zelIO.Fail()"), "");
  ASSERT_EQ(Prompts().Asked().size(), 2u);
  EXPECT_TRUE(Prompts().Asked()[1].text.contains(" 9\r\n"));
}

TEST_F(UserCalls, ErrorsAndResultsCrossBackToTheCaller) {
  ScriptRunner* runner = ScriptRunner::Instance();
  ASSERT_TRUE(runner);
  EXPECT_THROW(runner->Run([] { throw std::runtime_error("lost"); }, nullptr), std::runtime_error);
  bool ranOnWorker = false, calledOnUi = false;
  EXPECT_THROW(runner->Run(
                   [&] {
                     ranOnWorker = ScriptRunner::OnWorkerThread();
                     ScriptRunner::RunOnUiThread([&] {
                       calledOnUi = OnUiThread();
                       throw vbs::ScriptError(380);
                     });
                   },
                   nullptr),
               vbs::ScriptError);
  EXPECT_TRUE(ranOnWorker);
  EXPECT_TRUE(calledOnUi);
  EXPECT_FALSE(runner->Running());
}

TEST_F(UserCalls, RunawayRecursionEndsInError28OnTheWorker) {
  WriteLib("deep.vbs", "Function Deep(n)\r\n  Deep = Deep(n + 1)\r\nEnd Function\r\n");
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  Prompts().Answer(kAnswerNo);
  EXPECT_EQ(EvalText(u"Deep(1)"), "");
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_TRUE(Prompts().Asked()[0].text.contains(" 28\r\n")) << Prompts().Asked()[0].text.toStdString();
  EXPECT_EQ(EvalText(u"KeptPlusOne()"), "42");
}

// ---- what scripts show ------------------------------------------------------

TEST_F(UserCalls, MessageBoxesOfARunningScriptStopItWithError18) {
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  Prompts().Answer(kAnswerOK);
  Prompts().Answer(kAnswerOK);
  Prompts().Answer(kAnswerStopScript);
  EXPECT_FALSE(session_.gGlobalModule->ExecuteStatement(u"n = 0\r\nDo\r\n  n = n + 1\r\n  MsgBox \"x\"\r\nLoop\r\n"));
  EXPECT_EQ(session_.gScriptEngine->Error().Number, vbs::kErrInterrupted);
  EXPECT_EQ(EvalText(u"n"), "3");
  ASSERT_EQ(Prompts().Asked().size(), 3u);
  for (const PromptRequest& p : Prompts().Asked()) EXPECT_TRUE(p.offersStop);

  Prompts().AnswerText(QStringLiteral("a"));
  Prompts().AnswerTextStop();
  EXPECT_FALSE(session_.gGlobalModule->ExecuteStatement(u"Do\r\n  s = InputBox(\"Name?\")\r\nLoop\r\n"));
  EXPECT_EQ(session_.gScriptEngine->Error().Number, vbs::kErrInterrupted);
  ASSERT_EQ(Prompts().AskedText().size(), 2u);
  EXPECT_TRUE(Prompts().AskedText()[1].offersStop);

  // The script ends at the box itself: the answer is not used, whatever
  // On Error says.
  Prompts().Answer(kAnswerStopScript);
  EXPECT_FALSE(session_.gGlobalModule->ExecuteStatement(
      u"On Error Resume Next\r\nanswer = MsgBox(\"Delete?\", vbYesNo)\r\nafter = 1\r\n"));
  EXPECT_EQ(session_.gScriptEngine->Error().Number, vbs::kErrInterrupted);
  EXPECT_EQ(EvalText(u"IsEmpty(answer) And IsEmpty(after)"), "True");

  // A library file's top level that nags: stopped, and the load goes on.
  WriteLib("nag.vbs", "Do\r\n  MsgBox \"x\"\r\nLoop\r\n");
  Prompts().Clear();
  Prompts().Answer(kAnswerStopScript);
  Prompts().Answer(kAnswerYes);  // the load error: go on with the next file
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  ASSERT_EQ(Prompts().Asked().size(), 2u);
  const QString asked = Prompts().Asked()[1].text;
  EXPECT_TRUE(asked.contains(" 18\r\n") && asked.contains("nag.vbs")) << asked.toStdString();
  EXPECT_EQ(EvalText(u"kept"), "41");
}

// zelIO's input dialog is modal too: Ctrl+Break there answers it as Cancel
// and stops the script that keeps asking.
TEST_F(UserCalls, TheInputDialogOfARunningScriptStopsItWithCtrlBreak) {
  InstallIOObjectFactory(session_);
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  // Each showing is told apart by its prompt, "p1", "p2", ...
  int answered = 0;
  std::function<void()> act = [&] {
    auto* d = qobject_cast<zelDialog*>(QApplication::activeModalWidget());
    if (!d || d->txtCaption->toPlainText() != QStringLiteral("p%1").arg(answered + 1)) {
      QTimer::singleShot(10, act);
      return;
    }
    if (++answered < 3) {
      d->cmdExit->click();
      QTimer::singleShot(10, act);
      return;
    }
    // Ctrl+Break in the value field, as X11 reports it.
    QKeyEvent press(QEvent::KeyPress, 0, Qt::ControlModifier, 0, 0xFF6B, 0);
    QApplication::sendEvent(d->txtBaseValue->lineEdit(), &press);
  };
  QTimer::singleShot(0, act);
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] {
    ADD_FAILURE() << "the script went on asking";
    ScriptRunner::Instance()->RequestStop();
    if (auto* d = qobject_cast<zelDialog*>(QApplication::activeModalWidget())) d->cmdExit->click();
  });
  watchdog.start(10000);
  // Not even On Error Resume Next keeps it going.
  EXPECT_FALSE(session_.gGlobalModule->ExecuteStatement(
      u"On Error Resume Next\r\nn = 0\r\nDo\r\n  n = n + 1\r\n  x = zelIO.getData(\"p\" & n)\r\nLoop\r\n"));
  watchdog.stop();
  EXPECT_EQ(session_.gScriptEngine->Error().Number, vbs::kErrInterrupted);
  EXPECT_EQ(EvalText(u"n"), "3");
  EXPECT_FALSE(IODialog().isVisible());
  SetScriptStopper(nullptr);
  session_.gUnloadLibraryWindows = nullptr;
  UnloadIODialog();
}

// ---- releasing the engine ------------------------------------------------------

// A global object whose Class_Terminate runs for `seconds` unless stopped
// (or slowOn is set to False first).
QByteArray SlowTerminate(int seconds) {
  return "Class SlowEnd\r\n"
         "  Private Sub Class_Terminate()\r\n"
         "    t0 = Timer\r\n"
         "    Do While slowOn And Timer - t0 < " + QByteArray::number(seconds) + "\r\n"
         "    Loop\r\n"
         "  End Sub\r\n"
         "End Class\r\n"
         "Dim slow, slowOn\r\n"
         "slowOn = True\r\n"
         "Set slow = New SlowEnd\r\n";
}

// `blocker.Wait` waits, deaf to Stop, until released (at most 15 s).
class Blocker : public vbs::HostObject {
 public:
  explicit Blocker(std::atomic<bool>* released) : released_(released) {}
  int FindMember(std::u16string_view name) const override { return ToQ(name).toLower() == "wait" ? 1 : -1; }
  void Invoke(int, vbs::InvokeKind, vbs::Args&, vbs::Variant&) override {
    QElapsedTimer t;
    t.start();
    while (!*released_ && t.elapsed() < 15000) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::u16string TypeName() const override { return u"Blocker"; }

 private:
  std::atomic<bool>* released_;
};

using Release = WorkerTest;

TEST_F(Release, ClassTerminateAtReloadRunsOnTheWorkerWhereStopReachesIt) {
  WriteLib("slow.vbs", SlowTerminate(8));
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  QString activity;
  WhenBusy busy(
      [&] {
        activity = ScriptRunner::Instance()->Activity();
        ScriptRunner::Instance()->RequestStop();
      },
      20000);
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  ASSERT_TRUE(busy.Fired());
  EXPECT_EQ(activity, ToQ(kBusyReleasingText));
  EXPECT_TRUE(Prompts().Asked().empty());
  EXPECT_EQ(EvalText(u"kept"), "41");
  EXPECT_TRUE(session_.gGlobalModule->ExecuteStatement(u"slowOn = False"));
}

class QuitTest : public WorkerTest {
 protected:
  void SetUp() override {
    WorkerTest::SetUp();
    ini_ = std::make_unique<QtSettingsStore>(QDir(tmp_.path()).filePath("zelCalc.ini"));
    SetAppSettings(ini_.get());
    // Closing the last window must not end the test program's application.
    QApplication::setQuitOnLastWindowClosed(false);
  }
  void TearDown() override {
    QApplication::setQuitOnLastWindowClosed(true);
    session_.gEndProgramNow = nullptr;
    WorkerTest::TearDown();
    ini_.reset();
  }
  QString SettingsFileText() const {
    QFile f(ini_->FileName());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
  std::unique_ptr<QtSettingsStore> ini_;
};

TEST_F(QuitTest, SettingsAreSavedThenTheEngineIsReleasedWithTheBusyBarAndStop) {
  WriteLib("slow.vbs", SlowTerminate(8));
  OpenWindow();
  bool endedByForce = false;
  session_.gEndProgramNow = [&] { endedByForce = true; };
  QString savedDuring;
  bool barDuring = false;
  WhenBusy busy(
      [&] {
        savedDuring = SettingsFileText();
        barDuring = Bar()->isVisible();
        Bar()->cmdStop->click();
      },
      20000);
  Prompts().Answer(kAnswerYes);
  EXPECT_TRUE(w_->close());
  ASSERT_TRUE(busy.Fired());
  EXPECT_TRUE(barDuring);
  EXPECT_TRUE(savedDuring.contains("[frmMain]") && savedDuring.contains("ShowInput=True"))
      << savedDuring.toStdString();
  EXPECT_FALSE(session_.gScriptEngine);
  EXPECT_FALSE(w_->isVisible());
  EXPECT_FALSE(endedByForce);
  ASSERT_EQ(Prompts().Asked().size(), 1u);  // the quit question alone
}

TEST_F(QuitTest, AReleaseThatStopCannotEndEndsTheProgramThreeSecondsAfterStop) {
  WriteLib("stuck.vbs",
           "Class StuckEnd\r\n"
           "  Private Sub Class_Terminate()\r\n"
           "    blocker.Wait\r\n"
           "  End Sub\r\n"
           "End Class\r\n"
           "Dim stuck\r\n"
           "Set stuck = New StuckEnd\r\n");
  OpenWindow();
  std::atomic<bool> released{false};
  session_.gScriptEngine->AddObject(u"blocker", vbs::Ref<vbs::HostObject>(new Blocker(&released)));
  QElapsedTimer sinceStop;
  qint64 endedAfter = -1;
  session_.gEndProgramNow = [&] {
    endedAfter = sinceStop.elapsed();
    released = true;  // a real end would leave the worker where it is
  };
  WhenBusy busy(
      [&] {
        sinceStop.start();
        Bar()->cmdStop->click();
      },
      20000);
  Prompts().Answer(kAnswerYes);
  w_->close();
  ASSERT_TRUE(busy.Fired());
  EXPECT_GE(endedAfter, 2900);
  EXPECT_TRUE(SettingsFileText().contains("[frmMain]"));
}

using BusyState = WorkerTest;

TEST_F(BusyState, SecondExeWhileBusyIsIgnored) {
  OpenWindow();
  QString evalDuring = "not asked";
  bool executeDuring = true;
  bool reloadRefused = false;
  vbs::Engine* engineBefore = session_.gScriptEngine.get();
  WhenBusy busy([&] {
    QTest::mouseClick(w_->cmdUserNumKey[size_t(kKeyExe)], Qt::LeftButton);
    QTest::keyClick(w_->txtUserInput->lineEdit(), Qt::Key_Return);
    w_->cmdUserNumKey_Click(kKeyExe);
    evalDuring = ToQ(vbs::ToText(EvaluateExpression(session_, u"1+1")));
    executeDuring = session_.gGlobalModule->ExecuteStatement(u"kept = 0");
    try {
      LoadUserLibrary(session_);
    } catch (const std::exception&) {
      reloadRefused = true;
    }
    ScriptRunner::Instance()->RequestStop();
  });
  Prompts().Answer(kAnswerNo);
  Exe("Spin()");
  ASSERT_TRUE(busy.Fired());
  ASSERT_EQ(w_->txtUserInput->count(), 1);
  EXPECT_EQ(w_->txtUserInput->itemText(0), "Spin()");
  EXPECT_EQ(evalDuring, "");
  EXPECT_FALSE(executeDuring);
  EXPECT_TRUE(reloadRefused);
  EXPECT_EQ(session_.gScriptEngine.get(), engineBefore);
  EXPECT_EQ(Prompts().Asked().size(), 1u);  // only the stopped evaluation
  EXPECT_EQ(EvalText(u"kept"), "41");
}

TEST_F(BusyState, ShowsOnlyForLongScripts) {
  OpenWindow();
  std::vector<bool> changes;
  QObject guard;
  QObject::connect(ScriptRunner::Instance(), &ScriptRunner::busyShownChanged, &guard,
                   [&](bool shown) { changes.push_back(shown); });
  for (int i = 0; i < 20; ++i) Exe(QString("%1*2").arg(i));
  EXPECT_TRUE(changes.empty());
  EXPECT_TRUE(w_->LogText().endsWith("\r\n38"));

  QElapsedTimer clock;
  qint64 shownAfter = -1;
  WhenBusy busy([&] {
    shownAfter = clock.elapsed();
    EXPECT_EQ(w_->cursor().shape(), Qt::BusyCursor);
    ScriptRunner::Instance()->RequestStop();
  });
  Prompts().Answer(kAnswerNo);
  clock.start();
  Exe("Spin()");
  ASSERT_TRUE(busy.Fired());
  EXPECT_GE(shownAfter, 500);
  EXPECT_EQ(changes, (std::vector<bool>{true, false}));
  EXPECT_NE(w_->cursor().shape(), Qt::BusyCursor);
}

TEST_F(BusyState, ExitWhileBusyAsksToStopBeforeSavingAnything) {
  OpenWindow();
  bool runningAfterNo = false;
  WhenBusy busy([&] {
    w_->mnuExit->trigger();  // answered No: nothing is saved or closed
    runningAfterNo = ScriptRunning() && w_->isVisible();
    ScriptRunner::Instance()->RequestStop();
  });
  Prompts().Answer(kAnswerNo);
  Prompts().Answer(kAnswerNo);  // the stopped evaluation
  Exe("Spin()");
  ASSERT_TRUE(busy.Fired());
  EXPECT_TRUE(runningAfterNo);
  ASSERT_EQ(Prompts().Asked().size(), 2u);
  EXPECT_EQ(Prompts().Asked()[0].text, ToQ(kStopBeforeCloseText));
  EXPECT_FALSE(store_.Has("frmMain", "PositionT"));
}

TEST_F(BusyState, ClosingWhileBusyAsksToStopFirst) {
  OpenWindow();
  int closesSeen = 0;
  bool runningAfterNo = false;
  WhenBusy busy([&] {
    w_->close();  // answered No: the script goes on
    runningAfterNo = ScriptRunning() && w_->isVisible();
    w_->close();  // answered Yes
  });
  Prompts().Answer(kAnswerNo);
  Prompts().Answer(kAnswerYes);
  Prompts().Answer(kAnswerYes);  // the window's own quit question
  // Closing the last window must not end the test program's application.
  QApplication::setQuitOnLastWindowClosed(false);
  struct CloseCounter : QObject {
    int* seen;
    explicit CloseCounter(int* s) : seen(s) {}
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Close) ++*seen;
      return false;
    }
  } counter(&closesSeen);
  Exe("Spin()");
  ASSERT_TRUE(busy.Fired());
  EXPECT_TRUE(runningAfterNo);
  // Both questions were the stop question; the stopped evaluation itself
  // is not reported.
  ASSERT_EQ(Prompts().Asked().size(), 2u);
  EXPECT_EQ(Prompts().Asked()[0].text, ToQ(kStopBeforeCloseText));
  EXPECT_EQ(Prompts().Asked()[1].text, ToQ(kStopBeforeCloseText));
  // The close is repeated once the script has ended and now goes through.
  w_->installEventFilter(&counter);
  WaitFor([&] { return !w_->isVisible(); });
  QApplication::setQuitOnLastWindowClosed(true);
  EXPECT_FALSE(w_->isVisible());
  EXPECT_EQ(closesSeen, 1);
  // Then the window's own close handling runs as usual, after the script.
  ASSERT_EQ(Prompts().Asked().size(), 3u);
  EXPECT_NE(Prompts().Asked()[2].text, ToQ(kStopBeforeCloseText));
  EXPECT_FALSE(session_.gScriptEngine);  // released by the confirmed quit
}

TEST_F(BusyState, TenThousandEvaluationsInARow) {
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  vbs::Variant last;
  for (int i = 0; i < 10000; ++i) last = EvaluateExpression(session_, u"myResult + 1");
  EXPECT_EQ(ToQ(vbs::ToText(last)), "10000");
  EXPECT_TRUE(Prompts().Asked().empty());
  EXPECT_FALSE(ScriptRunning());
}

}  // namespace
}  // namespace zel::test
