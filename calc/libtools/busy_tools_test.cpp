// The tool windows' commands that run scripts wait while a script runs.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "frm_customize.h"
#include "frm_user_scripting.h"
#include "libtools_test_support.h"
#include "script_runner.h"

namespace zel::test {
namespace {

using BusyTools = ToolFixture;

TEST_F(BusyTools, ExecuteAndReloadWaitWhileAScriptRuns) {
  WriteLib("spin.vbs", "Dim kept\r\nkept = 41\r\nFunction Spin()\r\n  Do\r\n  Loop\r\nEnd Function\r\n");
  ASSERT_EQ(LoadUserLibrary(), LoadStatus::Loaded);
  frmUserScripting scripting(main_.get());
  frmCustomize customize(*main_);
  scripting.show();
  customize.show();
  vbs::Engine* engine = gScriptEngine.get();
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
  EXPECT_EQ(ToQ(vbs::ToText(EvaluateExpression(u"Spin()"))), "");
  ASSERT_TRUE(acted);
  EXPECT_TRUE(exeDisabled);
  EXPECT_TRUE(reloadDisabled);
  EXPECT_EQ(transcriptDuring, "");
  EXPECT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(gScriptEngine.get(), engine);
  EXPECT_TRUE(scripting.cmdExe->isEnabled());
  EXPECT_TRUE(customize.cmdReload->isEnabled());
  // Afterwards Execute runs (on the engine's worker) and its definitions stay.
  scripting.txtUserScript->setPlainText(QStringLiteral("kept = kept + 1"));
  scripting.cmdExe_Click();
  EXPECT_EQ(ToQ(vbs::ToText(EvaluateExpression(u"kept"))), "42");
}

}  // namespace
}  // namespace zel::test
