// The engine host: library loading with its two questions, evaluation, the
// zelIO registration, script message boxes, and the small text helpers.
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>

#include "calc_test_support.h"
#include "messages.h"

namespace zel::test {
namespace {

class HostTest : public CalcFixture {
 protected:
  QString EvalText(const QString& expression) {
    return ToQ(vbs::ToText(EvaluateExpression(session_, ToU16(expression))));
  }
};

TEST_F(HostTest, EmptyLibraryStillEvaluates) {
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  EXPECT_TRUE(Procedures().isEmpty());
  EXPECT_EQ(EvalText("1+1"), "2");
  EXPECT_EQ(EvalText("myResult+1"), "3");
  EXPECT_TRUE(Prompts().Asked().empty());
}

TEST_F(HostTest, OnlyVbsFilesOfAnyLetterCaseAreLoaded) {
  WriteLib("a.vbs", "Function FA()\r\nFA = 1\r\nEnd Function\r\n");
  WriteLib("B.VBS", "Function FB()\r\nFB = 2\r\nEnd Function\r\n");
  WriteLib("c.Vbs", "Function FC()\r\nFC = 3\r\nEnd Function\r\n");
  WriteLib("d.vbs.bak", "Function FD()\r\nFD = 4\r\nEnd Function\r\n");
  WriteLib("e.txt", "Function FE()\r\nFE = 5\r\nEnd Function\r\n");
  WriteLib("f", "Function FF()\r\nFF = 6\r\nEnd Function\r\n");
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  QStringList names = Procedures();
  names.sort();
  EXPECT_EQ(names, (QStringList{"FA", "FB", "FC"}));
  EXPECT_EQ(EvalText("FA()+FB()+FC()"), "6");
}

TEST_F(HostTest, Cp932AndUtf8FilesReadTheSame) {
  // "円" (yen) in CP932 and in UTF-8 with a byte-order mark.
  WriteLib("sjis.vbs", "Function Yen()\r\nYen = \"\x89\x7E\"\r\nEnd Function\r\n");
  WriteLib("utf8.vbs", "\xEF\xBB\xBF" "Function Yen8()\r\nYen8 = \"\xE5\x86\x86\"\r\nEnd Function\r\n");
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  EXPECT_EQ(EvalText("Yen()"), QString::fromUtf8("円"));
  EXPECT_EQ(EvalText("Yen8() = Yen()"), "True");
}

TEST_F(HostTest, DuplicateDeclarationYesLoadsTheRestOfTheFile) {
  WriteLib("1.vbs", "Dim gRate\r\ngRate = 2\r\n");
  WriteLib("2.vbs", "Dim gRate\r\nFunction Twice(x)\r\nTwice = x * gRate\r\nEnd Function");
  Prompts().Answer(kAnswerYes);
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  const PromptRequest& p = Prompts().Asked()[0];
  EXPECT_EQ(p.text, ToQ(DuplicateDeclarationText(u"2.vbs", 1)));
  EXPECT_EQ(p.icon, PromptIcon::None);
  EXPECT_EQ(p.buttons, PromptButtons::YesNo);
  EXPECT_EQ(p.title, "zelCalc");
  EXPECT_EQ(EvalText("Twice(21)"), "42");
  // The file on disk is not touched.
  QFile f(QDir(LibDir()).filePath("2.vbs"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().startsWith("Dim gRate\r\nFunction"));
}

TEST_F(HostTest, TwoDuplicatesAskTwice) {
  WriteLib("1.vbs", "Dim p, q\r\n");
  WriteLib("2.vbs", "Dim p\r\nDim r\r\nDim q\r\nFunction R2()\r\nr = 7\r\nR2 = r\r\nEnd Function\r\n");
  Prompts().Answer(kAnswerYes);
  Prompts().Answer(kAnswerYes);
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  ASSERT_EQ(Prompts().Asked().size(), 2u);
  EXPECT_EQ(Prompts().Asked()[0].text, ToQ(DuplicateDeclarationText(u"2.vbs", 1)));
  EXPECT_EQ(Prompts().Asked()[1].text, ToQ(DuplicateDeclarationText(u"2.vbs", 3)));
  EXPECT_EQ(EvalText("R2()"), "7");
}

TEST_F(HostTest, DuplicateDeclarationNoLeavesTheFileOut) {
  WriteLib("1.vbs", "Dim gRate\r\n");
  WriteLib("2.vbs", "Dim gRate\r\nFunction Twice(x)\r\nTwice = x * 2\r\nEnd Function\r\n");
  WriteLib("3.vbs", "Function Three()\r\nThree = 3\r\nEnd Function\r\n");
  Prompts().Answer(kAnswerNo);
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  EXPECT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_FALSE(Procedures().contains("TWICE"));
  EXPECT_TRUE(Procedures().contains("THREE"));
}

TEST_F(HostTest, LoadErrorYesGoesOnWithTheNextFile) {
  WriteLib("1bad.vbs", "Function Broken(\r\n");
  WriteLib("2good.vbs", "Function Good()\r\nGood = 1\r\nEnd Function\r\n");
  Prompts().Answer(kAnswerYes);
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  const PromptRequest& p = Prompts().Asked()[0];
  EXPECT_EQ(p.icon, PromptIcon::Question);
  EXPECT_EQ(p.buttons, PromptButtons::YesNo);
  EXPECT_EQ(p.title, "zelCalc");
  // A compile error of the engine (10xx) on line 1 of the file.
  EXPECT_TRUE(p.text.startsWith(QString::fromUtf8("スクリプト エラーです。\r\n  エラー番号 10")))
      << p.text.toStdString();
  EXPECT_TRUE(p.text.contains(QString::fromUtf8(")\r\n  が、ファイル\u30001bad.vbs\r\n  1 行 \r\n  ")))
      << p.text.toStdString();
  EXPECT_TRUE(p.text.endsWith(QString::fromUtf8(" 列で、発生しました。\r\n処理を続けますか？")));
  EXPECT_TRUE(Procedures().contains("GOOD"));
}

TEST_F(HostTest, LoadErrorNoStartsTheEditorAndEnds) {
  // A stand-in editor that records the file it was given.
  const QString marker = QDir(tmp_.path()).filePath("edited.txt");
  const QString editor = QDir(tmp_.path()).filePath("editor.sh");
  {
    QFile f(editor);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(("#!/bin/sh\nprintf '%s' \"$1\" > '" + marker + "'\n").toUtf8());
  }
  QFile::setPermissions(editor, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  store_.Set("Option", "UserEditor", editor.toStdString());
  WriteLib("bad.vbs", "x = 1/0\r\n");
  WriteLib("later.vbs", "Function Later()\r\nLater = 1\r\nEnd Function\r\n");
  Prompts().Answer(kAnswerNo);
  EXPECT_EQ(LoadUserLibrary(session_), LoadStatus::EndProgram);
  EXPECT_FALSE(Procedures().contains("LATER"));
  WaitFor([&] { return QFile::exists(marker); });
  QFile f(marker);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(f.readAll()), session_.gLibraryPath + QDir::separator() + "bad.vbs");
}

TEST_F(HostTest, LoadErrorNoWithAMissingEditorStillEnds) {
  store_.Set("Option", "UserEditor", "no-such-editor-zelcalc");
  WriteLib("bad.vbs", "Function (\r\n");
  Prompts().Answer(kAnswerNo);
  EXPECT_EQ(LoadUserLibrary(session_), LoadStatus::EndProgram);
}

TEST_F(HostTest, BinaryUndecodableAndHugeFilesAreReportedNotLoaded) {
  WriteLib("bin.vbs", QByteArray("MZ\0\0\x90\0", 6));
  WriteLib("junk.vbs", "\x81\x20\xFF\xFE");
  {
    QFile f(QDir(LibDir()).filePath("huge.vbs"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(qint64(kMaxLibraryFileBytes) + 1));
  }
  WriteLib("ok.vbs", "Function Ok()\r\nOk = 1\r\nEnd Function\r\n");
  for (int i = 0; i < 3; ++i) Prompts().Answer(kAnswerYes);
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  ASSERT_EQ(Prompts().Asked().size(), 3u);
  EXPECT_TRUE(Prompts().Asked()[0].text.contains(QString::fromUtf8("ファイル\u3000bin.vbs\r\n")));
  EXPECT_TRUE(Prompts().Asked()[1].text.contains(QString::fromUtf8("ファイル\u3000huge.vbs\r\n")));
  EXPECT_TRUE(Prompts().Asked()[2].text.contains(QString::fromUtf8("ファイル\u3000junk.vbs\r\n")));
  EXPECT_EQ(Procedures(), QStringList{"OK"});
}

TEST_F(HostTest, MissingFolderKeepsTheEngineInUse) {
  WriteLib("a.vbs", "Function FA()\r\nFA = 1\r\nEnd Function\r\n");
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  vbs::Engine* before = session_.gScriptEngine.get();
  ASSERT_TRUE(QDir(LibDir()).removeRecursively());
  EXPECT_ANY_THROW(LoadUserLibrary(session_));
  EXPECT_EQ(session_.gScriptEngine.get(), before);
  EXPECT_EQ(EvalText("FA()"), "1");
}

// A stand-in for the script I/O object: one method that returns its
// argument twice, and a count of how many were made.
class EchoObject : public vbs::HostObject {
 public:
  static inline int created = 0;
  EchoObject() { ++created; }
  int FindMember(std::u16string_view name) const override {
    return QString::fromUtf16(name.data(), qsizetype(name.size())).compare("Twice", Qt::CaseInsensitive) == 0 ? 1 : -1;
  }
  void Invoke(int member, vbs::InvokeKind, vbs::Args& args, vbs::Variant& result) override {
    if (member != 1) throw vbs::ScriptError(438);
    result = vbs::Variant::FromDouble(vbs::ToDouble(args[0]) * 2);
  }
  std::u16string TypeName() const override { return u"zelIOModule"; }
};

TEST_F(HostTest, OneZelIOObjectServesEveryEngine) {
  EchoObject::created = 0;
  session_.gCreateIOObject = [] { return vbs::Ref<vbs::HostObject>(new EchoObject); };
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  vbs::HostObject* first = session_.gIOObject.get();
  EXPECT_EQ(EvalText("zelIO.Twice(4)"), "8");
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  EXPECT_EQ(session_.gIOObject.get(), first);
  EXPECT_EQ(EchoObject::created, 1);
  EXPECT_EQ(EvalText("zelIO.Twice(5)"), "10");
  // Its members are not global names.
  Prompts().Answer(kAnswerNo);
  EXPECT_EQ(EvalText("Twice(5)"), "");
  EXPECT_EQ(Prompts().Asked().size(), 1u);
}

TEST_F(HostTest, ReloadDropsScriptVariables) {
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  EXPECT_EQ(EvalText("2"), "2");
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  EXPECT_EQ(EvaluateExpression(session_, u"myResult").type(), vbs::vbEmpty);
}

// Two calculators in one process keep apart: each its own library folder,
// engine and variables; a session that ends releases its engine, running its
// objects' Class_Terminate code, and leaves the other one as it was.
TEST_F(HostTest, EachSessionKeepsItsOwnEngineAndReleasesItWhenItEnds) {
  WriteLib("a.vbs", "Function Which()\r\n  Which = \"first\"\r\nEnd Function\r\n");
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  QTemporaryDir other;
  ASSERT_TRUE(other.isValid());
  const QString ended = QDir(other.path()).filePath("ended.txt");
  {
    CalcSession second;
    ASSERT_TRUE(SetLibraryPath(second, other.path()));
    QFile lib(QDir(second.gLibraryPath).filePath("b.vbs"));
    ASSERT_TRUE(lib.open(QIODevice::WriteOnly));
    lib.write("Function Which()\r\n  Which = \"second\"\r\nEnd Function\r\n"
              "Class Marker\r\n  Private Sub Class_Terminate()\r\n"
              "    CreateObject(\"Scripting.FileSystemObject\").CreateTextFile(\"" +
              ended.toUtf8() + "\").Write \"x\"\r\n  End Sub\r\nEnd Class\r\n"
              "Dim keep\r\nSet keep = New Marker\r\n");
    lib.close();
    ASSERT_EQ(LoadUserLibrary(second), LoadStatus::Loaded);
    EXPECT_EQ(EvalText("Which()"), "first");
    EXPECT_EQ(ToQ(vbs::ToText(EvaluateExpression(second, u"Which()"))), "second");
    ASSERT_TRUE(second.gGlobalModule->ExecuteStatement(u"shared = 2"));
    EXPECT_EQ(EvalText("IsEmpty(shared)"), "True");
    EXPECT_NE(second.gLibraryPath, session_.gLibraryPath);
    EXPECT_FALSE(QFile::exists(ended));
  }
  EXPECT_TRUE(QFile::exists(ended));
  EXPECT_EQ(EvalText("Which()"), "first");
}

TEST_F(HostTest, EvaluationErrorAnswers) {
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  int opened = 0;
  session_.gShowLibraryMaintenance = [&] { ++opened; };
  Prompts().Answer(kAnswerYes);
  vbs::Variant v = EvaluateExpression(session_, u"1/0");
  EXPECT_EQ(v.type(), vbs::vbEmpty);  // fresh engine: nothing held before
  EXPECT_EQ(opened, 1);
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  const QString text = Prompts().Asked()[0].text;
  EXPECT_TRUE(text.startsWith(QString::fromUtf8("スクリプト エラーです。\r\n  エラー番号 11\r\n  (")))
      << text.toStdString();
  EXPECT_TRUE(text.contains(QString::fromUtf8(")\r\n  1 行 \r\n  "))) << text.toStdString();
  // Nor after an earlier result: the failed expression never gets its value.
  EXPECT_EQ(EvalText("Sqr(2)"), "1.4142135623731");
  Prompts().Answer(kAnswerYes);
  EXPECT_EQ(EvaluateExpression(session_, u"1/0").type(), vbs::vbEmpty);
  EXPECT_EQ(opened, 2);
  Prompts().Clear();
  Prompts().Answer(kAnswerNo);
  v = EvaluateExpression(session_, u"1/0");
  ASSERT_EQ(v.type(), vbs::vbString);
  EXPECT_EQ(v.str(), u"");
  EXPECT_EQ(opened, 2);

  // Columns count within "myResult = " + expression: a syntax error in the
  // expression lies past those 11 characters.
  Prompts().Answer(kAnswerNo);
  EvaluateExpression(session_, u"2 +* 3");
  ASSERT_EQ(Prompts().Asked().size(), 2u);
  const QString syntax = Prompts().Asked()[1].text;
  const QRegularExpressionMatch m =
      QRegularExpression(QString::fromUtf8("  (\\d+) 列で")).match(syntax);
  ASSERT_TRUE(m.hasMatch()) << syntax.toStdString();
  EXPECT_GT(m.captured(1).toInt(), 11) << syntax.toStdString();
}

TEST_F(HostTest, ScriptMessageBoxesGoThroughThePromptService) {
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  Prompts().Answer(kAnswerNo);
  EXPECT_EQ(EvalText("MsgBox(\"Go on?\", 36, \"Check\")"), "7");
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_EQ(Prompts().Asked()[0].text, "Go on?");
  EXPECT_EQ(Prompts().Asked()[0].title, "Check");
  EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Question);
  EXPECT_EQ(Prompts().Asked()[0].buttons, PromptButtons::YesNo);
  Prompts().AnswerText(QStringLiteral("12.5"));
  EXPECT_EQ(EvalText("InputBox(\"Value?\", \"T\", \"1\") * 2"), "25");
  ASSERT_EQ(Prompts().AskedText().size(), 1u);
  EXPECT_EQ(Prompts().AskedText()[0].prompt, "Value?");
  EXPECT_EQ(Prompts().AskedText()[0].defaultText, "1");
  Prompts().AnswerText(std::nullopt);
  EXPECT_EQ(EvalText("IsEmpty(InputBox(\"Value?\"))"), "True");
}

TEST(HostHelpers, StripSpacesAndFocusTextBox) {
  EXPECT_EQ(StripSpaces(QStringLiteral("Function  Foo (a)")), "FunctionFoo(a)");
  EXPECT_EQ(StripSpaces(QString::fromUtf8("a\t\u3000b c")), QString::fromUtf8("a\t\u3000bc"));

  QWidget window;
  auto* box = new QPlainTextEdit(&window);
  QString lines;
  for (int i = 0; i < 200; ++i) lines += QStringLiteral("line %1\n").arg(i);
  box->setPlainText(lines + "end");
  box->setEnabled(false);
  window.resize(200, 100);
  window.show();
  FocusTextBox(box);
  EXPECT_FALSE(box->isEnabled());
  EXPECT_EQ(box->textCursor().position(), box->document()->characterCount() - 1);
  EXPECT_FALSE(box->textCursor().hasSelection());
  // The end is scrolled into view.
  EXPECT_GT(box->verticalScrollBar()->value(), 0);
  EXPECT_TRUE(box->viewport()->rect().contains(box->cursorRect()));
}

}  // namespace
}  // namespace zel::test
