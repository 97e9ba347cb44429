// The input line knows the library: the list of names, its keys beside the
// line's own (Enter, Escape, the history), the parameter tip, the colours,
// F1 on a name, and the names after Reload and Execute.
#include <QAbstractItemView>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QTreeWidget>

#include "calc_test_support.h"
#include "frm_customize.h"
#include "frm_tree.h"
#include "frm_user_scripting.h"
#include "help_files.h"
#include "help_viewer.h"
#include "help_window.h"
#include "input_assist.h"
#include "vbs_highlighter.h"

namespace zel::test {
namespace {

const char kFluids[] =
    "' Pipe flow.\r\n"
    "Const FLU_PI = 3.14159265358979\r\n"
    "\r\n"
    "' Inner cross-section of a pipe [m2] from its inner diameter [mm].\r\n"
    "Function PipeArea(innerDiameterMm)\r\n"
    "  PipeArea = FLU_PI * innerDiameterMm * innerDiameterMm / 4000000\r\n"
    "End Function\r\n"
    "\r\n"
    "' Reynolds number from density [kg/m3], velocity [m/s], inner diameter [mm]\r\n"
    "' and dynamic viscosity [cP].\r\n"
    "Function Reynolds(density, velocity, innerDiameterMm, viscosityCp)\r\n"
    "  Reynolds = density * velocity * innerDiameterMm / viscosityCp\r\n"
    "End Function\r\n";

class InputAssistTest : public CalcFixture {
 protected:
  void SetUp() override {
    CalcFixture::SetUp();
    WriteLib("Fluids.vbs", kFluids);
    OpenMainWindow();
    assist_ = InputAssist::Attach(*w_);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w_.get()));
    w_->txtUserInput->setFocus();
  }
  QLineEdit* Edit() const { return w_->txtUserInput->lineEdit(); }
  void Type(const char* text) { QTest::keyClicks(Edit(), QString::fromUtf8(text)); }
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(Edit(), key, mods); }
  QStringList Rows() const {
    QStringList r;
    for (int i = 0; i < assist_->List()->count(); ++i) r << assist_->List()->item(i)->data(Qt::UserRole).toString();
    return r;
  }
  QString HintText() const { return assist_->Hint()->text(); }
  InputAssist* assist_ = nullptr;
};

TEST_F(InputAssistTest, TwoLettersOpenTheListAndOnlyTabOrEnterInsert) {
  Type("R");
  EXPECT_FALSE(assist_->ListOpen()) << "one letter is not enough";
  Type("e");
  ASSERT_TRUE(assist_->ListOpen());
  // The library's names first, then the built-ins; nothing typed changes.
  ASSERT_GE(Rows().size(), 3);
  EXPECT_EQ(Rows().front(), "Reynolds");
  EXPECT_TRUE(Rows().contains("Replace"));
  EXPECT_LT(Rows().indexOf("Reynolds"), Rows().indexOf("Replace"));
  EXPECT_TRUE(assist_->List()->item(0)->text().contains("(density, velocity, innerDiameterMm, viscosityCp)"));
  EXPECT_TRUE(assist_->List()->item(0)->text().contains("Function"));
  EXPECT_EQ(Edit()->text(), "Re");
  EXPECT_FALSE(Edit()->hasSelectedText());
  EXPECT_EQ(w_->txtUserInput->completer(), nullptr);

  Type("y");
  EXPECT_EQ(Edit()->text(), "Rey");
  EXPECT_EQ(Rows(), QStringList{"Reynolds"});
  Key(Qt::Key_Tab);
  EXPECT_FALSE(assist_->ListOpen());
  EXPECT_EQ(Edit()->text(), "Reynolds(");
  EXPECT_TRUE(Edit()->hasFocus()) << "Tab stayed in the line";

  // Up and Down move in the list; Enter inserts the chosen row and does
  // not evaluate.
  Edit()->clear();
  Type("2*Pi");
  ASSERT_TRUE(assist_->ListOpen());
  const QStringList rows = Rows();
  ASSERT_GE(rows.size(), 1);
  EXPECT_EQ(rows.front(), "PipeArea");
  Key(Qt::Key_Down);
  Key(Qt::Key_Up);
  EXPECT_EQ(assist_->List()->currentRow(), 0);
  Key(Qt::Key_Return);
  EXPECT_EQ(Edit()->text(), "2*PipeArea(");
  EXPECT_EQ(w_->txtUserInput->count(), 0) << "nothing was evaluated";
  EXPECT_EQ(w_->LogText(), "");

  // A name without parameters gets no parenthesis; Down picks the second row.
  Edit()->clear();
  Type("flu");
  ASSERT_EQ(Rows(), QStringList{"FLU_PI"});
  Key(Qt::Key_Enter);
  EXPECT_EQ(Edit()->text(), "FLU_PI");
}

TEST_F(InputAssistTest, EscClosesTheListThenEnterIsExeAndTheHistoryStillWalks) {
  Type("PipeArea(1000) + re");
  ASSERT_TRUE(assist_->ListOpen());
  Key(Qt::Key_Escape);
  EXPECT_FALSE(assist_->ListOpen());
  EXPECT_EQ(Edit()->text(), "PipeArea(1000) + re") << "Esc with the list only closes it";
  Edit()->setText("PipeArea(1000) * 4");
  Key(Qt::Key_Return);
  EXPECT_EQ(w_->txtUserInput->count(), 1);
  EXPECT_TRUE(w_->LogText().contains(QString::fromUtf8("『PipeArea(1000) * 4』")));
  // After EXE the whole input is selected, the colours notwithstanding.
  EXPECT_EQ(Edit()->selectedText(), "PipeArea(1000) * 4");
  // Without a list, Esc empties the line as before, and Up brings back the history.
  Key(Qt::Key_Escape);
  EXPECT_EQ(Edit()->text(), "");
  Key(Qt::Key_Up);
  EXPECT_EQ(Edit()->text(), "PipeArea(1000) * 4");
  // With the list open, Up and Down are the list's; Alt+Down opens the
  // history's drop-down and closes the list.
  Edit()->setText("");
  Type("Pi");
  ASSERT_TRUE(assist_->ListOpen());
  Key(Qt::Key_Up);
  EXPECT_EQ(Edit()->text(), "Pi");
  Key(Qt::Key_Down, Qt::AltModifier);
  EXPECT_FALSE(assist_->ListOpen());
  EXPECT_TRUE(WaitFor([&] { return w_->txtUserInput->view()->isVisible(); }));
  w_->txtUserInput->hidePopup();
}

TEST_F(InputAssistTest, CtrlSpaceOpensAnyTimeAndTheOptionTurnsItAllOff) {
  Type("R");
  Key(Qt::Key_Space, Qt::ControlModifier);
  ASSERT_TRUE(assist_->ListOpen());
  EXPECT_EQ(Rows().front(), "Reynolds");
  EXPECT_EQ(Edit()->text(), "R");
  Key(Qt::Key_Escape);
  Edit()->clear();
  Key(Qt::Key_Space, Qt::ControlModifier);
  ASSERT_TRUE(assist_->ListOpen()) << "with nothing typed every name is offered";
  EXPECT_GT(Rows().size(), 100);
  Key(Qt::Key_Escape);

  w_->mnuCompletion->trigger();
  EXPECT_FALSE(w_->Completion());
  Type("Rey");
  EXPECT_FALSE(assist_->ListOpen());
  Key(Qt::Key_Space, Qt::ControlModifier);
  EXPECT_FALSE(assist_->ListOpen());
  Type("nolds(1, ");
  EXPECT_FALSE(assist_->HintShown());
  w_->SaveSettings();
  EXPECT_EQ(store_.Get("Option", "Completion", ""), "False");
  w_->mnuCompletion->trigger();
  w_->SaveSettings();
  EXPECT_EQ(store_.Get("Option", "Completion", ""), "True");
}

TEST_F(InputAssistTest, HintShowsTheInnermostCallWithTheCurrentArgumentInBold) {
  Type("Reynolds(");
  ASSERT_TRUE(assist_->HintShown());
  EXPECT_TRUE(HintText().contains("Reynolds(<b>density</b>, velocity, innerDiameterMm, viscosityCp)"))
      << HintText().toStdString();
  EXPECT_TRUE(HintText().contains("Reynolds number from density [kg/m3]"));
  Type("998, PipeArea(");
  EXPECT_TRUE(HintText().contains("PipeArea(<b>innerDiameterMm</b>)")) << HintText().toStdString();
  Type("50), ");
  EXPECT_TRUE(HintText().contains("Reynolds(density, velocity, <b>innerDiameterMm</b>, viscosityCp)"))
      << HintText().toStdString();
  // Commas and parentheses inside a string are no arguments.
  Edit()->setText("Reynolds(Len(\"a, (b\"), ");
  EXPECT_TRUE(HintText().contains("Reynolds(density, <b>velocity</b>")) << HintText().toStdString();
  // A built-in's syntax line from the manual.
  Edit()->setText("Mid(s, 2, ");
  EXPECT_TRUE(HintText().contains("Mid(text, start [, <b>length</b>])")) << HintText().toStdString();
  Edit()->setText("Reynolds(1, 2, 3, 4) + 1");
  EXPECT_FALSE(assist_->HintShown());
}

TEST_F(InputAssistTest, EchoedExpressionsInTheLogAreColouredByWhatTheyName) {
  Edit()->setText("Reynolds(1000, 2, 50, 1) + Sqr(4)");
  Key(Qt::Key_Return);
  const QTextBlock echoed = w_->txtOutputDisplay->document()->findBlockByNumber(1);
  ASSERT_TRUE(echoed.text().startsWith(QString::fromUtf8("『Reynolds")));
  auto colourAt = [&](int pos) -> QColor {
    for (const QTextLayout::FormatRange& r : echoed.layout()->formats())
      if (pos >= r.start && pos < r.start + r.length) return r.format.foreground().color();
    return QColor();
  };
  EXPECT_EQ(colourAt(1), TokenFormat(TokenKind::LibraryName).foreground().color());
  EXPECT_EQ(colourAt(echoed.text().indexOf("Sqr")), TokenFormat(TokenKind::BuiltinName).foreground().color());
  EXPECT_EQ(colourAt(echoed.text().indexOf("1000")), TokenFormat(TokenKind::Number).foreground().color());
  // The result line stays in the log's own colour.
  EXPECT_TRUE(w_->txtOutputDisplay->document()->findBlockByNumber(2).layout()->formats().isEmpty());
}

TEST_F(InputAssistTest, NamesFollowReloadAndExecute) {
  EXPECT_EQ(assist_->Catalogue().Find(u"Added"), nullptr);
  WriteLib("More.vbs", "' Added later.\r\nFunction Added(a, b)\r\nAdded = a + b\r\nEnd Function\r\n");
  ReloadUserLibrary(*w_);
  ASSERT_NE(assist_->Catalogue().Find(u"added"), nullptr);
  EXPECT_EQ(assist_->Catalogue().Find(u"added")->description, u"Added later.");

  frmUserScripting* s = frmUserScripting::Open(*w_);
  s->txtUserScript->setPlainText("' Twice a value.\nFunction Twice(x)\nTwice = 2 * x\nEnd Function\nDim tally");
  s->cmdExe_Click();
  const CatalogueEntry* twice = assist_->Catalogue().Find(u"twice");
  ASSERT_NE(twice, nullptr);
  EXPECT_EQ(twice->description, u"Twice a value.");
  ASSERT_NE(assist_->Catalogue().Find(u"tally"), nullptr);
  // The script box colours what the catalogue knows.
  s->txtUserScript->setPlainText("x = Twice(Sqr(2))");
  EXPECT_FALSE(s->txtUserScript->document()->firstBlock().layout()->formats().isEmpty());
  s->close();

  w_->activateWindow();
  w_->txtUserInput->setFocus();
  Type("Tw");
  ASSERT_TRUE(assist_->ListOpen());
  EXPECT_EQ(Rows().front(), "Twice");
  Key(Qt::Key_Escape);
  // A reload builds a new engine: the script's names are gone with it.
  ReloadUserLibrary(*w_);
  EXPECT_EQ(assist_->Catalogue().Find(u"Twice"), nullptr);
  EXPECT_NE(assist_->Catalogue().Find(u"Added"), nullptr);
}

TEST_F(InputAssistTest, F1OnANameOpensItsHelpElsewhereTheManual) {
  SetHelpFolder(QCoreApplication::applicationDirPath());
  // A built-in: the manual at its entry.
  Edit()->setText("1 + Sqr(2)");
  Edit()->setCursorPosition(5);
  Key(Qt::Key_F1);
  auto* help = qobject_cast<HelpWindow*>(CurrentHelpViewer());
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(WaitFor([&] { return help->Browser()->source().toString().endsWith("functions.html#fn-sqr"); }))
      << help->Browser()->source().toString().toStdString();
  // Gone at once, with its search indexing.
  delete help;

  // A library procedure: the browser at it, with its description.
  w_->activateWindow();
  w_->txtUserInput->setFocus();
  Edit()->setText("Reynolds(1, 2, 3, 4)");
  Edit()->setCursorPosition(3);
  Key(Qt::Key_F1);
  frmTree* tree = frmTree::Instance();
  ASSERT_NE(tree, nullptr);
  ASSERT_NE(tree->tvwVBSFiles->currentItem(), nullptr);
  EXPECT_EQ(tree->tvwVBSFiles->currentItem()->text(0), "Reynolds(density,velocity,innerDiameterMm,viscosityCp)");
  EXPECT_TRUE(tree->Description().contains("Reynolds number from density")) << tree->Description().toStdString();
  tree->close();

  // On a number: F1 as always, the current help file (here the program's
  // manual, to tell it from the VBS Manual).
  session_.gHelpFile = ProgramManualPath();
  w_->activateWindow();
  w_->txtUserInput->setFocus();
  Edit()->setCursorPosition(10);
  Key(Qt::Key_F1);
  help = qobject_cast<HelpWindow*>(CurrentHelpViewer());
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(WaitFor([&] { return help->isVisible(); }));
  EXPECT_EQ(help->HelpFile(), QFileInfo(ProgramManualPath()).absoluteFilePath());
  delete help;
  session_.gHelpFile.clear();
}

}  // namespace
}  // namespace zel::test
