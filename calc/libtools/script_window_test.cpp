// The user script window running scripts in the program's engine, with its
// transcript, Import and Export through its file dialog, and its layout.
#include <QFileDialog>
#include <QLineEdit>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>

#include "guarded_text_edit.h"
#include <QPushButton>
#include <QTimer>

#include "frm_user_scripting.h"
#include "keypad.h"
#include "libtools_test_support.h"
#include "library_folder.h"
#include "twips.h"

namespace zel::test {
namespace {

class ScriptWindowTest : public ToolFixture {
 protected:
  void SetUp() override {
    ToolFixture::SetUp();
    ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
    documents_ = QDir(tmp_.path()).filePath("documents");
    QDir().mkpath(documents_);
    SetDialogFolders({tmp_.path(), documents_});
    w_ = frmUserScripting::Open(*main_);
  }
  void TearDown() override {
    SetDialogFolders({});
    ToolFixture::TearDown();
  }
  void TypeScript(const QString& text) { w_->txtUserScript->setPlainText(text); }
  // Answers the next file dialog with `file` (empty: cancel).
  void AnswerDialog(const QString& file) {
    answered_ = false;
    std::function<void()> answer = [this, file, &answer = answer_] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!d) {
        QTimer::singleShot(20, answer);
        return;
      }
      dialogTitle_ = d->windowTitle();
      dialogFolder_ = d->directory().absolutePath();
      if (file.isEmpty()) {
        d->reject();
      } else {
        // Typed into the name box, as a user would.
        d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(file);
        static_cast<QDialog*>(d)->accept();  // QFileDialog hides it
      }
      answered_ = true;
    };
    answer_ = answer;
    QTimer::singleShot(0, answer_);
  }
  QString WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = QDir(tmp_.path()).filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
  }
  frmUserScripting* w_ = nullptr;
  std::function<void()> answer_;
  bool answered_ = false;
  QString dialogTitle_;
  QString dialogFolder_;
  QString documents_;
};

TEST_F(ScriptWindowTest, TranscriptKeepsEveryExecutedScript) {
  EXPECT_EQ(w_->windowTitle(), "User Script Execution");
  w_->cmdExe->click();
  EXPECT_EQ(w_->Transcript(), "\r\n");
  EXPECT_EQ(w_->Script(), "");
  EXPECT_TRUE(Prompts().Asked().empty());

  const QString failing = "x = 1\nx = x / 0";
  TypeScript(failing);
  w_->cmdExe->click();
  w_->cmdExe->click();
  ASSERT_EQ(Prompts().Asked().size(), 2u);
  EXPECT_EQ(Prompts().Asked()[0].text, "This script is not executable");
  EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Critical);
  EXPECT_EQ(Prompts().Asked()[0].buttons, PromptButtons::OK);
  EXPECT_EQ(w_->Script(), "x = 1\r\nx = x / 0");
  EXPECT_EQ(w_->Transcript(), "\r\nx = 1\r\nx = x / 0\r\nx = 1\r\nx = x / 0\r\n");
}

TEST_F(ScriptWindowTest, DefinitionsAreCallableFromTheInputLine) {
  TypeScript("Function Twice(v)\n  Twice = 2 * v\nEnd Function\nDim scriptVar : scriptVar = 4");
  w_->cmdExe->click();
  EXPECT_TRUE(Prompts().Asked().empty());
  EXPECT_EQ(w_->Script(), "");
  main_->txtUserInput->setEditText("Twice(21) + scriptVar");
  main_->cmdUserNumKey[kKeyExe]->click();
  EXPECT_EQ(main_->LogText(), QString::fromUtf8("\r\n『Twice(21) + scriptVar』\r\n46"));
}

TEST_F(ScriptWindowTest, ImportAppendsBelowTheScript) {
  const QString plain = WriteFile("a.txt", "y = 2\r\n");
  AnswerDialog(plain);
  w_->cmdImport->click();
  ASSERT_TRUE(answered_);
  EXPECT_EQ(dialogTitle_, "File Import");
  EXPECT_EQ(dialogFolder_, documents_);
  EXPECT_EQ(w_->Script(), "\r\ny = 2\r\n");  // an empty box still gets the line break
  // Shift_JIS text.
  AnswerDialog(WriteFile("jp.txt", "s = \"\x83\x65\x83\x58\x83\x67\""));
  w_->cmdImport->click();
  EXPECT_EQ(w_->Script(), QString::fromUtf8("\r\ny = 2\r\n\r\ns = \"テスト\""));
  // An empty file and a cancelled dialog change nothing.
  const QString before = w_->Script();
  AnswerDialog(WriteFile("empty.txt", ""));
  w_->cmdImport->click();
  AnswerDialog(QString());
  w_->cmdImport->click();
  ASSERT_TRUE(answered_);
  EXPECT_EQ(w_->Script(), before);
  EXPECT_TRUE(Prompts().Asked().empty());
}

TEST_F(ScriptWindowTest, ExportWritesOnlyTheTranscriptSelection) {
  w_->cmdExport->click();
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(Prompts().Asked()[0].text, QString::fromUtf8("出力範囲を選択してください"));
  EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Exclamation);

  TypeScript(QString::fromUtf8("a = \"範囲\"\nb = 2"));
  w_->cmdExe->click();
  TypeScript("never exported");
  w_->txtUserScript->selectAll();
  // Select from the 5th character of the transcript to the end of "b = 2".
  QTextCursor c(w_->txtInMemory->document());
  c.setPosition(4);
  c.setPosition(w_->Transcript().indexOf("b = 2") - 1 + 5, QTextCursor::KeepAnchor);
  w_->txtInMemory->setTextCursor(c);
  const QString out = QDir(tmp_.path()).filePath("out.txt");
  AnswerDialog(out);
  w_->cmdExport->click();
  ASSERT_TRUE(answered_);
  EXPECT_EQ(dialogFolder_, documents_);
  QFile f(out);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("\"\xe7\xaf\x84\xe5\x9b\xb2\"\r\nb = 2"));
}

TEST_F(ScriptWindowTest, MinimumSizeAndTheScriptBoxHeight) {
  w_->close();
  store_.Set("frmUserScripting", "SizeH", "3000");
  store_.Set("frmUserScripting", "SizeW", "1000");
  frmUserScripting* w = frmUserScripting::Open(*main_);
  QTest::qWait(0);
  EXPECT_NEAR(w->HeightTwips(), 6000, 15);
  EXPECT_NEAR(w->WidthTwips(), 4600, 15);
  EXPECT_NEAR(PixelsToTwipsY(w->txtUserScript->height()), 1985, 15);
  EXPECT_NEAR(PixelsToTwipsX(w->txtUserScript->width()), 4240, 15);
  EXPECT_NEAR(PixelsToTwipsX(w->txtInMemory->width()), 4240, 15);
  // Execute | Export | Import below the script box, Exit above it.
  EXPECT_LT(w->cmdExit->y(), w->txtUserScript->y());
  EXPECT_GT(w->cmdExe->y(), w->txtUserScript->y() + w->txtUserScript->height());
  EXPECT_LT(w->cmdExe->x(), w->cmdExport->x());
  EXPECT_LT(w->cmdExport->x(), w->cmdImport->x());
  // Closing saves the geometry, the minimum included.
  w->cmdExit->click();
  EXPECT_NEAR(std::stoi(Stored("frmUserScripting", "SizeH")), 6000, 15);
  EXPECT_NEAR(std::stoi(Stored("frmUserScripting", "SizeW")), 4600, 15);
}

TEST_F(ScriptWindowTest, TranscriptIsReadOnlyAndSaysSoOnDoubleClick) {
  EXPECT_TRUE(w_->txtInMemory->isReadOnly());
  QTest::mouseDClick(w_->txtInMemory->viewport(), Qt::LeftButton);
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(Prompts().Asked()[0].text, "This text box is desplay or selection only.");
  EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Exclamation);
  // A new opening starts with empty boxes; the engine keeps what ran.
  TypeScript("kept = 5");
  w_->cmdExe->click();
  w_->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  frmUserScripting* again = frmUserScripting::Open(*main_);
  EXPECT_EQ(again->Transcript(), "");
  vbs::Variant v;
  ASSERT_TRUE(session_.gGlobalModule->Eval(u"kept", v));
  EXPECT_EQ(vbs::ToText(v), u"5");
}

// The boxes are the guarded kind that ignores a missing clipboard content
// (the kind itself is tested with zelCalcLib).
TEST_F(ScriptWindowTest, BothBoxesAreGuardedAgainstAnEmptyClipboard) {
  for (QPlainTextEdit* box : {w_->txtInMemory, w_->txtUserScript}) {
    EXPECT_NE(dynamic_cast<GuardedTextEdit*>(box), nullptr);
    const QString before = box->toPlainText();
    QGuiApplication::clipboard()->clear();
    box->paste();
    EXPECT_EQ(box->toPlainText(), before);
  }
}

}  // namespace
}  // namespace zel::test
