// The function library browser over a real library folder.
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QPushButton>
#include <QTreeWidget>

#include "frm_tree.h"
#include "frm_user_scripting.h"
#include "frm_customize.h"
#include "libtools_test_support.h"
#include "twips.h"

namespace zel::test {
namespace {

class TreeWindowTest : public ToolFixture {
 protected:
  frmTree* OpenTree() { return frmTree::Open(*main_); }
  QTreeWidgetItem* Root(frmTree* t) { return t->tvwVBSFiles->topLevelItem(0); }
  static QStringList Children(QTreeWidgetItem* item) {
    QStringList out;
    for (int i = 0; i < item->childCount(); ++i) out << item->child(i)->text(0);
    return out;
  }
  QTreeWidgetItem* FileItem(frmTree* t, const QString& name) {
    QTreeWidgetItem* root = Root(t);
    for (int i = 0; i < root->childCount(); ++i)
      if (root->child(i)->text(0) == name) return root->child(i);
    return nullptr;
  }
  void Select(frmTree* t, QTreeWidgetItem* item) {
    t->tvwVBSFiles->clearSelection();
    if (item) item->setSelected(true);
  }
};

TEST_F(TreeWindowTest, ListsEveryLibraryFileWithItsProcedures) {
  WriteLib("a.vbs", "Function AreaCircle(r)\r\nEnd Function\r\nFunction Area(w, h)\r\nEnd Function\r\n");
  WriteLib("B.VBS", "Sub Report(x, y)\r\nEnd Sub\r\n");
  WriteLib("c.Vbs", "Function Area(side)\r\nEnd Function\r\n");  // Area again, another file
  WriteLib("d.vbs", "Function d_vbs()\r\nEnd Function\r\nFunction B()\r\nEnd Function\r\n");
  WriteLib("e.vbs.bak", "Function Old()\r\nEnd Function\r\n");
  WriteLib("f.txt", "Function Text()\r\nEnd Function\r\n");
  // Shift_JIS text in a comment and a string.
  WriteLib("g.vbs", "' \x83\x65\x83\x58\x83\x67\r\nFunction Jp(a)\r\n Jp = \"\x83\x65\"\r\nEnd Function\r\n");
  // Saved as Unicode (UTF-16 with its mark), both byte orders.
  const QString wide = QString::fromUtf8("' テスト\r\nFunction Wide%1(a, b)\r\nEnd Function\r\n");
  QByteArray le("\xFF\xFE"), be("\xFE\xFF");
  for (QChar c : wide.arg("LE")) le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
  for (QChar c : wide.arg("BE")) be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
  WriteLib("h.vbs", le);
  WriteLib("i.vbs", be);
  frmTree* t = OpenTree();
  QTreeWidgetItem* root = Root(t);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(t->tvwVBSFiles->topLevelItemCount(), 1);
  EXPECT_EQ(root->text(0), "VBSFiles");
  EXPECT_TRUE(root->isExpanded());
  EXPECT_EQ(Children(root), (QStringList{"a.vbs", "B.VBS", "c.Vbs", "d.vbs", "g.vbs", "h.vbs", "i.vbs"}));
  EXPECT_FALSE(FileItem(t, "a.vbs")->isExpanded());
  EXPECT_EQ(Children(FileItem(t, "a.vbs")), (QStringList{"AreaCircle(r)", "Area(w,h)"}));
  EXPECT_EQ(Children(FileItem(t, "B.VBS")), (QStringList{"Report(x,y)"}));
  EXPECT_EQ(Children(FileItem(t, "c.Vbs")), (QStringList{"Area(side)"}));
  EXPECT_EQ(Children(FileItem(t, "d.vbs")), (QStringList{"d_vbs()", "B()"}));
  EXPECT_EQ(Children(FileItem(t, "g.vbs")), (QStringList{"Jp(a)"}));
  EXPECT_EQ(Children(FileItem(t, "h.vbs")), (QStringList{"WideLE(a,b)"}));
  EXPECT_EQ(Children(FileItem(t, "i.vbs")), (QStringList{"WideBE(a,b)"}));
  EXPECT_EQ(frmTree::KindOf(FileItem(t, "a.vbs")->child(1)), TreeNodeKind::Procedure);
  EXPECT_TRUE(Prompts().Asked().empty());
}

TEST_F(TreeWindowTest, ListingNeverRunsTheLibrary) {
  const QString written = QDir(tmp_.path()).filePath("written.txt");
  WriteLib("noisy.vbs",
           ("MsgBox \"loaded\"\r\nx = InputBox(\"value?\")\r\n"
            "Set fs = CreateObject(\"Scripting.FileSystemObject\")\r\n"
            "fs.CreateTextFile(\"" + written + "\").Write \"x\"\r\n"
            "Do : Loop\r\n"
            "Function Quiet(a)\r\n  Quiet = a\r\nEnd Function\r\n").toUtf8());
  WriteLib("broken.vbs", "Function Fine()\r\nEnd Function\r\nIf x Then\r\n");
  WriteLib("zlast.vbs", "Function Last(a)\r\nEnd Function\r\n");
  frmTree* t = OpenTree();
  EXPECT_TRUE(Prompts().Asked().empty());
  EXPECT_TRUE(Prompts().AskedText().empty());
  EXPECT_FALSE(QFile::exists(written));
  EXPECT_EQ(Children(FileItem(t, "noisy.vbs")), (QStringList{"Quiet(a)"}));
  // The file that does not compile keeps its node, with why; the rest is listed.
  QTreeWidgetItem* broken = FileItem(t, "broken.vbs");
  ASSERT_NE(broken, nullptr);
  ASSERT_EQ(broken->childCount(), 1);
  EXPECT_EQ(frmTree::KindOf(broken->child(0)), TreeNodeKind::Error);
  EXPECT_TRUE(broken->child(0)->text(0).startsWith("Line 4: ")) << broken->child(0)->text(0).toStdString();
  EXPECT_EQ(Children(FileItem(t, "zlast.vbs")), (QStringList{"Last(a)"}));
}

TEST_F(TreeWindowTest, SelectInsertsOnlyProcedureTemplates) {
  WriteLib("geo.vbs", "Function Area(w, h)\r\n  Area = w * h\r\nEnd Function\r\nIf x Then\r\n");
  WriteLib("ok.vbs", "Function Area(w, h)\r\n  Area = w * h\r\nEnd Function\r\n");
  frmTree* t = OpenTree();
  main_->txtUserInput->setEditText("old input");
  struct Case {
    QTreeWidgetItem* item;
    const char* message;
  } cases[] = {
      {nullptr, "Select function"},
      {Root(t), "Selection is not a function"},
      {FileItem(t, "ok.vbs"), "Selection is not a function"},
      {FileItem(t, "geo.vbs")->child(0), "Selection is not a function"},  // the error line
  };
  for (const Case& c : cases) {
    Prompts().Clear();
    Select(t, c.item);
    t->cmdSelect->click();
    ASSERT_EQ(Prompts().Asked().size(), 1u) << c.message;
    EXPECT_EQ(Prompts().Asked()[0].text, c.message);
    EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Critical);
    EXPECT_EQ(Prompts().Asked()[0].buttons, PromptButtons::OK);
    EXPECT_EQ(Input(), "old input");
  }
  Prompts().Clear();
  Select(t, FileItem(t, "ok.vbs")->child(0));
  t->cmdSelect->click();
  EXPECT_TRUE(Prompts().Asked().empty());
  EXPECT_EQ(Input(), "Area(w,h)");
  EXPECT_TRUE(t->isVisible());
  // A second command brings the same browser forward.
  EXPECT_EQ(OpenTree(), t);
}

// A double-click anywhere acts as Select (blank space with nothing
// selected says "Select function"), except on a file, which opens or
// folds; on a procedure it inserts and closes the browser.
TEST_F(TreeWindowTest, DoubleClickSelectsAnywhereOpensFilesAndClosesSavingGeometry) {
  WriteLib("ok.vbs", "Function Twice(x) : Twice = 2 * x\r\nEnd Function\r\n");
  frmTree* t = OpenTree();
  QPointer<frmTree> guard(t);
  QWidget* viewport = t->tvwVBSFiles->viewport();
  auto doubleClick = [&](QTreeWidgetItem* item) {
    const QPoint at = item ? t->tvwVBSFiles->visualItemRect(item).center()
                           : QPoint(viewport->width() / 2, viewport->height() - 4);
    // The first click of a double-click selects, as the user's does.
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
  };
  t->tvwVBSFiles->clearSelection();
  doubleClick(nullptr);
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(Prompts().Asked()[0].text, "Select function");
  EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Critical);
  QTreeWidgetItem* file = FileItem(t, "ok.vbs");
  doubleClick(file);
  EXPECT_TRUE(file->isExpanded());
  doubleClick(file);
  EXPECT_FALSE(file->isExpanded());
  EXPECT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(Input(), "");
  EXPECT_TRUE(t->isVisible());
  t->SetWindowTwips(300, 450, 4740, 5000);
  file->setExpanded(true);
  QTest::qWait(0);
  ASSERT_FALSE(t->tvwVBSFiles->visualItemRect(file->child(0)).isEmpty());
  doubleClick(file->child(0));
  EXPECT_EQ(Input(), "Twice(x)");
  QTest::qWait(0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(guard.isNull());
  EXPECT_EQ(frmTree::Instance(), nullptr);
  EXPECT_NEAR(std::stoi(Stored("frmTree", "PositionT")), 300, 15);
  EXPECT_NEAR(std::stoi(Stored("frmTree", "PositionL")), 450, 15);
  EXPECT_NEAR(std::stoi(Stored("frmTree", "SizeW")), 5000, 15);
  EXPECT_NEAR(std::stoi(Stored("frmTree", "SizeH")), 4740, 15);
  // The next opening builds the browser afresh where it was left.
  frmTree* again = OpenTree();
  EXPECT_NEAR(again->WidthTwips(), 5000, 15);
}

TEST_F(TreeWindowTest, HeightStaysFixedAndButtonsKeepTheirGap) {
  store_.Set("frmTree", "SizeH", "9000");
  store_.Set("frmTree", "SizeW", "6000");
  frmTree* t = OpenTree();
  EXPECT_NEAR(t->HeightTwips(), 4740, 15);
  t->resize(t->width() + 50, t->height() + 200);
  QTest::qWait(0);
  EXPECT_NEAR(t->HeightTwips(), 4740, 15);
  const int treeRight = PixelsToTwipsX(t->tvwVBSFiles->geometry().right() + 1);
  EXPECT_NEAR(PixelsToTwipsX(t->cmdSelect->x()) - treeRight, 168, 30);
  EXPECT_EQ(t->cmdExit->x(), t->cmdSelect->x());
  EXPECT_NEAR(PixelsToTwipsX(t->tvwVBSFiles->width()), t->WidthTwips() - 735 - 505, 15);
}

// With no stored place, each tool opens beside the main window, wholly on
// the screen, never over the input line, and not over one another's
// corner; a stored place is kept.
TEST_F(TreeWindowTest, ToolsWithoutAStoredPlaceOpenBesideTheMainWindow) {
  const QRect screen = main_->screen()->availableGeometry();
  main_->move(screen.topLeft());
  QTest::qWait(0);
  QLineEdit* input = main_->txtUserInput->lineEdit();
  const QRect inputLine(input->mapToGlobal(QPoint(0, 0)), input->size());
  AttachLibraryTools(*main_);
  main_->mnuBuiltinFunc->trigger();
  main_->mnuVBS->trigger();
  main_->mnuUserCode->trigger();
  const QWidget* tools[] = {frmTree::Instance(), frmCustomize::Instance(), frmUserScripting::Instance()};
  QList<QPoint> corners;
  for (const QWidget* w : tools) {
    ASSERT_NE(w, nullptr);
    const QRect outer = w->frameGeometry();
    EXPECT_TRUE(screen.contains(outer)) << w->objectName().toStdString();
    EXPECT_FALSE(outer.intersects(inputLine)) << w->objectName().toStdString();
    EXPECT_FALSE(corners.contains(outer.topLeft())) << w->objectName().toStdString();
    corners << outer.topLeft();
  }
  frmTree::Instance()->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  // Closed, it has a place of its own, where it opens again.
  store_.Set("frmTree", "PositionT", "150");
  store_.Set("frmTree", "PositionL", "300");
  main_->mnuBuiltinFunc->trigger();
  EXPECT_NEAR(frmTree::Instance()->TopTwips(), 150, 15);
  EXPECT_NEAR(frmTree::Instance()->LeftTwips(), 300, 15);
}

// The menu entries open each tool once; Exit's unload routine closes them
// all (the quit question answered No keeps only the main window), each
// saving its geometry.
TEST_F(TreeWindowTest, MenuOpensEachToolOnceAndExitClosesThemSavingGeometry) {
  AttachLibraryTools(*main_);
  main_->mnuBuiltinFunc->trigger();
  main_->mnuVBS->trigger();
  main_->mnuUserCode->trigger();
  frmTree* tree = frmTree::Instance();
  ASSERT_NE(tree, nullptr);
  main_->mnuBuiltinFunc->trigger();
  EXPECT_EQ(frmTree::Instance(), tree);
  ASSERT_NE(frmCustomize::Instance(), nullptr);
  ASSERT_NE(frmUserScripting::Instance(), nullptr);
  tree->SetWindowTwips(300, 450, 4740, 4650);
  Prompts().Answer(kAnswerNo);  // "Do you want quit?"
  main_->mnuExit->trigger();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(frmTree::Instance(), nullptr);
  EXPECT_EQ(frmCustomize::Instance(), nullptr);
  EXPECT_EQ(frmUserScripting::Instance(), nullptr);
  EXPECT_TRUE(main_->isVisible());
  EXPECT_NEAR(std::stoi(Stored("frmTree", "PositionT")), 300, 15);
  EXPECT_NEAR(std::stoi(Stored("frmTree", "PositionL")), 450, 15);
  EXPECT_NE(Stored("frmCustomize", "SizeH"), "<absent>");
  EXPECT_NE(Stored("frmUserScripting", "SizeW"), "<absent>");
}

}  // namespace
}  // namespace zel::test
