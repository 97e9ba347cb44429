// The library maintenance window: its list, the editor it starts, Reload,
// and its two ways in.
#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "frm_customize.h"
#include "libtools_test_support.h"
#include "twips.h"
#include "vbs/value_conv.h"

namespace zel::test {
namespace {

class CustomizeWindowTest : public ToolFixture {
 protected:
  // A stand-in editor that records the one argument it was given.
  void InstallRecordingEditor() {
    marker_ = QDir(tmp_.path()).filePath("edited.txt");
    const QString editor = QDir(tmp_.path()).filePath("editor.sh");
    QFile f(editor);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(("#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" + marker_ + "'\n").toUtf8());
    f.close();
    QFile::setPermissions(editor, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    store_.Set("Option", "UserEditor", editor.toStdString());
  }
  // "argument count|first argument" as the editor saw them.
  QString EditedArguments() {
    if (!WaitFor([&] { return QFile(marker_).size() > 0; })) return "<not started>";
    QFile f(marker_);
    if (!f.open(QIODevice::ReadOnly)) return "<unreadable>";
    const QString got = QString::fromUtf8(f.readAll());
    f.close();
    QFile::remove(marker_);
    return got;
  }
  QStringList Listed(frmCustomize* w) {
    QStringList names;
    for (int i = 0; i < w->File1->count(); ++i) names << w->File1->item(i)->text();
    return names;
  }
  QString marker_;
};

TEST_F(CustomizeWindowTest, ListsLibraryFilesSortedWithTheFirstSelected) {
  WriteLib("b.VBS", "");
  WriteLib("A.vbs", "");
  WriteLib("c.vbs.bak", "");
  WriteLib("d.txt", "");
  frmCustomize* w = frmCustomize::Open(*main_);
  EXPECT_EQ(w->windowTitle(), "VBS File Editing");
  EXPECT_EQ(w->Label1->text(), "Curent user VBS file loaded");
  EXPECT_EQ(Listed(w), (QStringList{"A.vbs", "b.VBS"}));
  ASSERT_EQ(w->File1->selectedItems().size(), 1);
  EXPECT_EQ(w->File1->selectedItems()[0]->text(), "A.vbs");
  EXPECT_EQ(frmCustomize::Open(*main_), w);
}

TEST_F(CustomizeWindowTest, EditorGetsTheWholePathAsOneArgument) {
  // A library folder with blanks in its name.
  const QString programDir = QDir(tmp_.path()).filePath("my programs");
  ASSERT_TRUE(QDir().mkpath(programDir));
  ASSERT_TRUE(SetLibraryPath(session_, programDir));
  QFile lib(QDir(session_.gLibraryPath).filePath("pipe flow.vbs"));
  ASSERT_TRUE(lib.open(QIODevice::WriteOnly));
  lib.close();
  InstallRecordingEditor();
  frmCustomize* w = frmCustomize::Open(*main_);
  const QString expected = "1|" + session_.gLibraryPath + QDir::separator() + "pipe flow.vbs";
  w->cmdVBSEdit->click();
  EXPECT_EQ(EditedArguments(), expected);
  w->File1_DblClick();
  EXPECT_EQ(EditedArguments(), expected);
  EXPECT_TRUE(Prompts().Asked().empty());
}

TEST_F(CustomizeWindowTest, EmptyFolderOffersANewFile) {
  InstallRecordingEditor();
  frmCustomize* w = frmCustomize::Open(*main_);
  EXPECT_EQ(w->File1->count(), 0);
  Prompts().Answer(kAnswerYes);
  w->cmdVBSEdit->click();
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  const PromptRequest& p = Prompts().Asked()[0];
  EXPECT_EQ(p.text, "File not selected.\r\nCreate new file?");
  EXPECT_EQ(p.icon, PromptIcon::Critical);
  EXPECT_EQ(p.buttons, PromptButtons::YesNo);
  EXPECT_EQ(p.title, "zelCalc");
  EXPECT_EQ(EditedArguments(), "1|" + session_.gLibraryPath + QDir::separator() + "NewVBS.VBS");
  // The window itself creates nothing.
  EXPECT_FALSE(QFile::exists(QDir(LibDir()).filePath("NewVBS.VBS")));
}

TEST_F(CustomizeWindowTest, ReloadAsksAndThenRebuildsTheEngine) {
  WriteLib("k.vbs", "Const kLib = 7\r\n");
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  ASSERT_TRUE(session_.gGlobalModule->ExecuteStatement(u"userValue = 42"));
  frmCustomize* w = frmCustomize::Open(*main_);
  auto valueText = [this] {
    vbs::Variant v;
    return session_.gGlobalModule->Eval(u"userValue & \"/\" & kLib", v) ? ToQ(vbs::ToText(v)) : QString("error");
  };
  Prompts().Answer(kAnswerNo);
  w->cmdReload->click();
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(Prompts().Asked()[0].title, "Reloading User VBS Files");
  EXPECT_EQ(Prompts().Asked()[0].text, "All temporary memories will be lost.\r\nDo you want continue?");
  EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Question);
  EXPECT_EQ(valueText(), "42/7");
  Prompts().Answer(kAnswerYes);
  w->cmdReload->click();
  EXPECT_EQ(valueText(), "/7");
}

TEST_F(CustomizeWindowTest, ReloadThatEndsInTheEditorClosesTheProgram) {
  // A stand-in editor of the test's own folder, which starts and ends.
  const QString editor = QDir(tmp_.path()).filePath(QStringLiteral("editor.sh"));
  {
    QFile f(editor);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nexit 0\n");
  }
  QFile::setPermissions(editor, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  store_.Set("Option", "UserEditor", ("\"" + editor + "\"").toStdString());
  frmCustomize* w = frmCustomize::Open(*main_);
  WriteLib("bad.vbs", "x = 1/0\r\n");
  Prompts().Answer(kAnswerYes);  // reload
  Prompts().Answer(kAnswerNo);   // do not go on after the failing file
  w->cmdReload->click();
  ASSERT_EQ(Prompts().Asked().size(), 2u);
  ASSERT_FALSE(started_.isEmpty());
  EXPECT_EQ(started_.back().first(), editor);
  EXPECT_TRUE(started_.back().last().endsWith(QStringLiteral("bad.vbs")));
  EXPECT_TRUE(WaitFor([&] { return !main_->isVisible(); }));
}

// However narrow it was stored, the window leaves its caption room in the
// title bar beside the icon and the three buttons.
TEST_F(CustomizeWindowTest, CaptionIsNeverCutByTheWindowsWidth) {
  store_.Set("frmCustomize", "SizeW", "1500");
  frmCustomize* w = frmCustomize::Open(*main_);
  QFont bold = w->font();
  bold.setBold(true);
  const int caption = QFontMetrics(bold).horizontalAdvance("VBS File Editing");
  EXPECT_GE(w->frameGeometry().width(), caption + 4 * 24);
  // The controls stay where the design has them.
  EXPECT_EQ(w->cmdCustomizeExit->geometry().left(), TwipsToPixelsX(1860));
}

TEST_F(CustomizeWindowTest, EscClosesAndSavesGeometry) {
  frmCustomize* w = frmCustomize::Open(*main_);
  QPointer<frmCustomize> guard(w);
  w->SetWindowTwips(600, 900, 4275, 4200);
  QTest::keyClick(w->File1, Qt::Key_Escape);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(guard.isNull());
  EXPECT_NEAR(std::stoi(Stored("frmCustomize", "PositionT")), 600, 15);
  EXPECT_NEAR(std::stoi(Stored("frmCustomize", "PositionL")), 900, 15);
  EXPECT_NEAR(std::stoi(Stored("frmCustomize", "SizeH")), 4275, 15);
  EXPECT_NEAR(std::stoi(Stored("frmCustomize", "SizeW")), 4200, 15);
}

TEST_F(CustomizeWindowTest, YesOnAnEvaluationErrorOpensTheWindow) {
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  InstallLibraryMaintenanceHook(*main_);
  Prompts().Answer(kAnswerNo);
  EvaluateExpression(session_, u"1/0");
  EXPECT_EQ(frmCustomize::Instance(), nullptr);
  Prompts().Answer(kAnswerYes);
  EvaluateExpression(session_, u"1/0");
  ASSERT_NE(frmCustomize::Instance(), nullptr);
  EXPECT_TRUE(frmCustomize::Instance()->isVisible());
}

// Through EXE: the window opens beside, and the keys the user types next
// still go to the input line.
TEST_F(CustomizeWindowTest, AfterYesOnAnEvaluationErrorTheInputLineKeepsTheKeys) {
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  InstallLibraryMaintenanceHook(*main_);
  main_->activateWindow();
  main_->txtUserInput->setEditText("1/0");
  Prompts().Answer(kAnswerYes);
  main_->txtUserInput_KeyPress(13);
  ASSERT_NE(frmCustomize::Instance(), nullptr);
  EXPECT_TRUE(frmCustomize::Instance()->isVisible());
  EXPECT_TRUE(WaitFor([&] { return QApplication::activeWindow() == main_.get(); }));
  QLineEdit* edit = main_->txtUserInput->lineEdit();
  EXPECT_TRUE(edit->hasFocus());
  EXPECT_EQ(edit->selectedText(), "1/0");
  QTest::keyClicks(edit, "7");
  EXPECT_EQ(Input(), "7");
}

}  // namespace
}  // namespace zel::test
