// Scripts run on the engine's worker thread: stopping runaway scripts
// wherever they were started, what scripts ask of the user, the busy state,
// closing while busy, and long series of evaluations.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "busy_state.h"
#include "calc_test_support.h"
#include "frm_main.h"
#include "keypad.h"
#include "script_runner.h"
#include "startup.h"

namespace zel::test {
namespace {

bool OnUiThread() { return QThread::currentThread() == qApp->thread(); }

// Runs `action` from the event loop once the busy state shows (once). A
// script still running long after is stopped, and the test fails.
class WhenBusy : public QObject {
 public:
  explicit WhenBusy(std::function<void()> action) : action_(std::move(action)) {
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
    watchdog_.start(30000);
  }
  bool Fired() const { return fired_; }

 private:
  std::function<void()> action_;
  bool fired_ = false;
  QTimer watchdog_;
};

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
    ASSERT_EQ(LoadUserLibrary(), LoadStatus::Loaded);
    w_ = std::make_unique<frmMain>();
    w_->RestoreSettings();
    w_->show();
    QApplication::setActiveWindow(w_.get());
  }
  void Exe(const QString& input) {
    w_->txtUserInput->setEditText(input);
    w_->cmdUserNumKey[size_t(kKeyExe)]->click();
  }
  QString EvalText(std::u16string_view expression) {
    return ToQ(vbs::ToText(EvaluateExpression(expression)));
  }
  ScriptBusyBar* Bar() const { return w_->findChild<ScriptBusyBar*>(); }
  std::unique_ptr<frmMain> w_;
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
  EXPECT_EQ(ToQ(vbs::ToText(gLastAnswer)), "42");
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
  gShowLibraryMaintenance = [&] { ++maintenanceShown; };
  Exe("KeptPlusOne()");
  const QString logBefore = w_->LogText();
  WhenBusy busy([&] {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : w_.get(), Qt::Key_Escape);
  });
  // Going on after the error gives no value: not the one myResult held before.
  Prompts().Answer(kAnswerYes);
  EXPECT_EQ(EvaluateExpression(u"Spin()").type(), vbs::vbEmpty);
  ASSERT_TRUE(busy.Fired());
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_TRUE(Prompts().Asked()[0].text.contains(" 18\r\n"));
  EXPECT_EQ(maintenanceShown, 1);
  EXPECT_EQ(w_->LogText(), logBefore);
  EXPECT_EQ(EvalText(u"KeptPlusOne() + kept"), "83");
}

TEST_F(StopRunaway, WholeScriptInTheGlobalModuleStopsWithError18) {
  ASSERT_EQ(LoadUserLibrary(), LoadStatus::Loaded);
  WhenBusy busy([] { ScriptRunner::Instance()->RequestStop(); });
  EXPECT_FALSE(gGlobalModule->ExecuteStatement(
      u"Dim before\r\nbefore = 7\r\nDo\r\n  before = before\r\nLoop\r\n"));
  ASSERT_TRUE(busy.Fired());
  EXPECT_EQ(gScriptEngine->Error().Number, vbs::kErrInterrupted);
  EXPECT_EQ(EvalText(u"before * kept"), "287");
  // On Error Resume Next does not swallow a stop.
  WhenBusy again([] { ScriptRunner::Instance()->RequestStop(); });
  EXPECT_FALSE(gGlobalModule->ExecuteStatement(u"On Error Resume Next\r\nDo\r\nLoop\r\n"));
  EXPECT_EQ(gScriptEngine->Error().Number, vbs::kErrInterrupted);
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
  EXPECT_EQ(EvalText(u"FromA() & FromC()"), "13");
  EXPECT_EQ(ScriptRunner::Instance()->BusyDelay(), 500);
}

using UserCalls = WorkerTest;

TEST_F(UserCalls, ScriptRunsOnTheWorkerAndAsksOnTheUserInterfaceThread) {
  bool zelIOOnUi = false, workerOnUi = true;
  gCreateIOObject = [&] { return vbs::Ref<vbs::HostObject>(new ThreadProbe(&zelIOOnUi)); };
  WriteLib("ask.vbs",
           "Function Ask()\r\n"
           "  Dim answer, name\r\n"
           "  answer = MsgBox(\"Go on?\", vbYesNo, \"Question\")\r\n"
           "  name = InputBox(\"Name?\", \"Who\", \"nobody\")\r\n"
           "  Ask = name & \":\" & zelIO.Twice(answer) & \":\" & Worker.OnUiThread()\r\n"
           "End Function\r\n");
  ASSERT_EQ(LoadUserLibrary(), LoadStatus::Loaded);
  // Registered straight in the engine: called where the script runs.
  gScriptEngine->AddObject(u"Worker", vbs::Ref<vbs::HostObject>(new ThreadProbe(&workerOnUi)));
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
  ASSERT_EQ(LoadUserLibrary(), LoadStatus::Loaded);
  Prompts().Answer(kAnswerNo);
  EXPECT_EQ(EvalText(u"Deep(1)"), "");
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_TRUE(Prompts().Asked()[0].text.contains(" 28\r\n")) << Prompts().Asked()[0].text.toStdString();
  EXPECT_EQ(EvalText(u"KeptPlusOne()"), "42");
}

using BusyState = WorkerTest;

TEST_F(BusyState, SecondExeWhileBusyIsIgnored) {
  OpenWindow();
  QString evalDuring = "not asked";
  bool executeDuring = true;
  bool reloadRefused = false;
  vbs::Engine* engineBefore = gScriptEngine.get();
  WhenBusy busy([&] {
    QTest::mouseClick(w_->cmdUserNumKey[size_t(kKeyExe)], Qt::LeftButton);
    QTest::keyClick(w_->txtUserInput->lineEdit(), Qt::Key_Return);
    w_->cmdUserNumKey_Click(kKeyExe);
    evalDuring = ToQ(vbs::ToText(EvaluateExpression(u"1+1")));
    executeDuring = gGlobalModule->ExecuteStatement(u"kept = 0");
    try {
      LoadUserLibrary();
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
  EXPECT_EQ(gScriptEngine.get(), engineBefore);
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
  QElapsedTimer clock;
  clock.start();
  while (w_->isVisible() && clock.elapsed() < 10000) QTest::qWait(10);
  QApplication::setQuitOnLastWindowClosed(true);
  EXPECT_FALSE(w_->isVisible());
  EXPECT_EQ(closesSeen, 1);
  // Then the window's own close handling runs as usual, after the script.
  ASSERT_EQ(Prompts().Asked().size(), 3u);
  EXPECT_NE(Prompts().Asked()[2].text, ToQ(kStopBeforeCloseText));
  EXPECT_FALSE(gScriptEngine);  // released by the confirmed quit
}

TEST_F(BusyState, TenThousandEvaluationsInARow) {
  ASSERT_EQ(LoadUserLibrary(), LoadStatus::Loaded);
  vbs::Variant last;
  for (int i = 0; i < 10000; ++i) last = EvaluateExpression(u"myResult + 1");
  EXPECT_EQ(ToQ(vbs::ToText(last)), "10000");
  EXPECT_TRUE(Prompts().Asked().empty());
  EXPECT_FALSE(ScriptRunning());
}

}  // namespace
}  // namespace zel::test
