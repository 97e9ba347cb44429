// The calculator window driven through its keys, its input line and the
// message boxes, with the real script engine behind it.
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "calc_test_support.h"
#include "frm_main.h"
#include "guarded_text_edit.h"
#include "keypad.h"
#include "twips.h"
#include "zel_dialog.h"
#include "zel_io_module.h"

namespace zel::test {
namespace {

class WindowTest : public CalcFixture {
 protected:
  void SetUp() override {
    CalcFixture::SetUp();
    OpenMainWindow();
  }
  // Clicks the keys for the characters of `keys`; '=' stands for EXE,
  // 'A' ANS, 'C' CE, 'X' AC, 'E' EXP.
  void Keys(const char* keys) {
    for (const char* p = keys; *p; ++p) {
      int index = -1;
      switch (*p) {
        case '=': index = kKeyExe; break;
        case 'A': index = kKeyAns; break;
        case 'C': index = kKeyCe; break;
        case 'X': index = kKeyAc; break;
        case 'E': index = kKeyExp; break;
        default:
          for (int i = 0; i < kKeyCount; ++i)
            if (KeypadStrings()[size_t(i)] == std::u16string(1, char16_t(*p))) index = i;
      }
      ASSERT_GE(index, 0) << *p;
      w_->cmdUserNumKey[size_t(index)]->click();
    }
  }
  void Type(const QString& text) { w_->txtUserInput->setEditText(text); }
  QString Input() const { return w_->txtUserInput->currentText(); }
  QString Selected() const { return w_->txtUserInput->lineEdit()->selectedText(); }
  QString Log() const { return w_->LogText(); }
  QStringList History() const {
    QStringList items;
    for (int i = 0; i < w_->txtUserInput->count(); ++i) items << w_->txtUserInput->itemText(i);
    return items;
  }
};

TEST_F(WindowTest, OperatorAfterExeExtendsTheExpression) {
  Keys("2*3=");
  EXPECT_EQ(Input(), "2*3");
  EXPECT_EQ(Selected(), "2*3");
  EXPECT_EQ(w_->SelText(), "2*3");
  Keys("+4=");
  EXPECT_EQ(Log(), QString::fromUtf8("\r\n『2*3』\r\n6\r\n『2*3+4』\r\n10"));
  EXPECT_EQ(History(), (QStringList{"2*3+4", "2*3"}));
  EXPECT_EQ(ToQ(vbs::ToText(session_.gLastAnswer)), "10");
}

TEST_F(WindowTest, DigitAfterExeStartsOverAndCeKeepsTheSelectionMemory) {
  Keys("2*3=7");
  EXPECT_EQ(Input(), "7");
  Type(QString());
  Keys("2*3=C");
  EXPECT_EQ(Input(), "2*");
  Keys("7");
  EXPECT_EQ(Input(), "2*");
  Keys("7");
  EXPECT_EQ(Input(), "2*7");
}

TEST_F(WindowTest, AnsKey) {
  Keys("A");
  EXPECT_EQ(Input(), "");
  Keys("2+3=A");
  EXPECT_EQ(Input(), "5");
  Type(QString());
  Keys("2+3=*");
  EXPECT_EQ(Input(), "2+3*");
  Keys("A");
  EXPECT_EQ(Input(), "5");
  // The answer lives outside the engine and survives a reload.
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  Type("1+");
  Keys("*A");
  EXPECT_EQ(Input(), "5");
}

TEST_F(WindowTest, ZeroFalseAndTrueResults) {
  Keys("7=");
  Type("1-1");
  Keys("=");
  EXPECT_EQ(Log(), QString::fromUtf8("\r\n『7』\r\n7"));
  EXPECT_EQ(Selected(), "1-1");  // still selected
  Type("1>2");
  Keys("=");
  EXPECT_EQ(Log(), QString::fromUtf8("\r\n『7』\r\n7"));
  EXPECT_EQ(ToQ(vbs::ToText(session_.gLastAnswer)), "7");
  Type("1<2");
  Keys("=");
  EXPECT_EQ(Log(), QString::fromUtf8("\r\n『7』\r\n7\r\n『1<2』\r\nTrue"));
  EXPECT_EQ(ToQ(vbs::ToText(session_.gLastAnswer)), "True");
  EXPECT_EQ(History().size(), 4);
  EXPECT_TRUE(Prompts().Asked().empty());
}

TEST_F(WindowTest, TypedInputIsNeverCompletedFromTheHistory) {
  Type("2*3+4");
  Keys("=");
  QLineEdit* edit = w_->txtUserInput->lineEdit();
  QApplication::setActiveWindow(w_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(w_.get()));
  w_->txtUserInput->setFocus();
  edit->clear();
  QTest::keyClicks(edit, "2*3");
  EXPECT_EQ(Input(), "2*3");
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_TRUE(Log().endsWith(QString::fromUtf8("\r\n『2*3』\r\n6"))) << Log().toStdString();

  // mSelText "2*3+4": typed "2*" stays "2*", and key 5 then only clears
  // the memory because "2*3+4" no longer occurs.
  Type("2*3+4");
  Keys("=");
  ASSERT_EQ(w_->SelText(), "2*3+4");
  QTest::keyClicks(edit, "2*");
  EXPECT_EQ(Input(), "2*");
  Keys("5");
  EXPECT_EQ(Input(), "2*");
  Keys("5");
  EXPECT_EQ(Input(), "2*5");
}

// Up recalls the newest entry, then older ones; Down comes back, at last
// to what was typed. The list itself keeps its order (newest on top).
TEST_F(WindowTest, UpAndDownWalkTheHistoryAsInATerminal) {
  for (const char* e : {"1+1", "2*2", "3*3"}) {
    Type(e);
    Keys("=");
  }
  const QStringList history = History();
  ASSERT_EQ(history, (QStringList{"3*3", "2*2", "1+1"}));
  QLineEdit* edit = w_->txtUserInput->lineEdit();
  QApplication::setActiveWindow(w_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(w_.get()));
  w_->txtUserInput->setFocus();
  QTest::keyClick(edit, Qt::Key_Escape);
  ASSERT_EQ(Input(), "");
  const struct {
    Qt::Key key;
    const char* shown;
  } steps[] = {{Qt::Key_Down, ""},    {Qt::Key_Up, "3*3"},   {Qt::Key_Up, "2*2"},
               {Qt::Key_Up, "1+1"},   {Qt::Key_Up, "1+1"},   {Qt::Key_Down, "2*2"},
               {Qt::Key_Down, "3*3"}, {Qt::Key_Down, ""},    {Qt::Key_Down, ""}};
  for (const auto& st : steps) {
    QTest::keyClick(QApplication::focusWidget(), st.key);
    EXPECT_EQ(Input(), st.shown) << (st.key == Qt::Key_Up ? "Up to " : "Down to ") << st.shown;
    EXPECT_EQ(edit->cursorPosition(), Input().size());
  }
  // What was typed comes back untouched; typing ends a walk.
  QTest::keyClicks(edit, "12");
  QTest::keyClick(edit, Qt::Key_Up);
  EXPECT_EQ(Input(), "3*3");
  QTest::keyClick(edit, Qt::Key_Up);
  QTest::keyClick(edit, Qt::Key_End);
  QTest::keyClicks(edit, "+5");
  EXPECT_EQ(Input(), "2*2+5");
  QTest::keyClick(edit, Qt::Key_Up);
  EXPECT_EQ(Input(), "3*3");
  QTest::keyClick(edit, Qt::Key_Down);
  EXPECT_EQ(Input(), "2*2+5");
  EXPECT_EQ(History(), history);
  EXPECT_TRUE(Log().endsWith("\r\n9"));
}

// The captions "*", "-" and "." sit where the digits do, at a size that
// matches them, not high and small as text faces set them.
TEST_F(WindowTest, OperatorCaptionsAreCentredAndSizedLikeTheDigits) {
  // The box of the caption's dark pixels inside the key's bevel.
  auto ink = [](QPushButton* key) {
    const QImage image = key->grab().toImage();
    QRect box;
    for (int y = 5; y < image.height() - 5; ++y)
      for (int x = 5; x < image.width() - 5; ++x)
        if (qGray(image.pixel(x, y)) < 110) box |= QRect(x, y, 1, 1);
    return box;
  };
  const QRect digit = ink(w_->cmdUserNumKey[10]);  // "8"
  ASSERT_GT(digit.height(), 8);
  const struct {
    int index;
    double minHeight, minWidth;  // parts of the digit's
  } keys[] = {{16, 0.5, 0.4}, {15, 0.0, 0.6}, {1, 0.15, 0.1}};  // "*", "-", "."
  for (const auto& k : keys) {
    const QRect box = ink(w_->cmdUserNumKey[size_t(k.index)]);
    const std::string name = w_->cmdUserNumKey[size_t(k.index)]->text().toStdString();
    ASSERT_FALSE(box.isEmpty()) << name;
    EXPECT_NEAR(box.center().x(), digit.center().x(), 2) << name;
    EXPECT_NEAR(box.center().y(), digit.center().y(), 2) << name;
    EXPECT_GE(box.height(), k.minHeight * digit.height()) << name;
    EXPECT_GE(box.width(), k.minWidth * digit.width()) << name;
  }
}

TEST_F(WindowTest, ZeroOfEverySubtypeIsNotLoggedOthersAre) {
  // Each of these equals 0 by the script's own comparison.
  for (const char* zero : {"TimeSerial(0,0,0)", "CCur(0)", "CByte(0)", "CSng(0)", "\"0\"",
                           "\"0.0\"", "CDate(0)", "False"}) {
    Type(zero);
    Keys("=");
    EXPECT_EQ(Log(), "") << zero;
  }
  EXPECT_TRUE(session_.gLastAnswer.IsEmpty());
  Type("TimeSerial(1,0,0)");
  Keys("=");
  Type("CCur(0.5)");
  Keys("=");
  Type("CByte(7)");
  Keys("=");
  Type("CSng(1.5)");
  Keys("=");
  Type("\"2\"");
  Keys("=");
  EXPECT_EQ(Log(), QString::fromUtf8("\r\n『TimeSerial(1,0,0)』\r\n1:00:00 AM"
                                     "\r\n『CCur(0.5)』\r\n0.5\r\n『CByte(7)』\r\n7"
                                     "\r\n『CSng(1.5)』\r\n1.5\r\n『\"2\"』\r\n2"));
  EXPECT_EQ(ToQ(vbs::ToText(session_.gLastAnswer)), "2");
  // A date is shown but never becomes the answer.
  Type("TimeSerial(2,0,0)");
  Keys("=");
  EXPECT_EQ(ToQ(vbs::ToText(session_.gLastAnswer)), "2");
}

TEST_F(WindowTest, MultiLineBoxesAreTheOnesGuardedAgainstAnEmptyClipboard) {
  // A paste from a clipboard without content crashes a plain text box on
  // X11; the log and the input dialog's prompt must be the guarded kind.
  EXPECT_NE(dynamic_cast<GuardedTextEdit*>(w_->txtOutputDisplay), nullptr);
  EXPECT_NE(dynamic_cast<GuardedTextEdit*>(IODialog().txtCaption), nullptr);
  UnloadIODialog();
}

TEST_F(WindowTest, ResultsAreTheEngineText) {
  Type("myResult");
  Keys("=");  // never set yet: Empty, not logged
  Type("1E20");
  Keys("=");
  Type("\"abc\"");
  Keys("=");
  Type("\"\"");
  Keys("=");
  Type("0.1+0.2");
  Keys("=");
  EXPECT_EQ(Log(), QString::fromUtf8("\r\n『1E20』\r\n1E+20\r\n『\"abc\"』\r\nabc"
                                     "\r\n『0.1+0.2』\r\n0.3"));
  // Text that is not a number never becomes the answer.
  EXPECT_EQ(ToQ(vbs::ToText(session_.gLastAnswer)), "0.3");
  Type("myResult*2");
  Keys("=");
  EXPECT_TRUE(Log().endsWith("\r\n0.6"));
}

// A failed evaluation has no value of its own, whichever way the user
// answers: nothing is logged for it and the answer stays that of the
// evaluation before.
TEST_F(WindowTest, FailedEvaluationLogsNothingAndKeepsTheAnswer) {
  int maintenanceOpened = 0;
  session_.gShowLibraryMaintenance = [&] { ++maintenanceOpened; };
  Type("Sqr(2)");
  Keys("=");
  const QString before = QString::fromUtf8("\r\n『Sqr(2)』\r\n1.4142135623731");
  ASSERT_EQ(Log(), before);
  struct Case {
    int answer;
    int opened;
  } cases[] = {{kAnswerYes, 1}, {kAnswerNo, 1}, {kAnswerYes, 2}};
  for (const Case& c : cases) {
    Prompts().Clear();
    Prompts().Answer(c.answer);
    Type("1/0");
    Keys("=");
    ASSERT_EQ(Prompts().Asked().size(), 1u) << c.answer;
    const PromptRequest& p = Prompts().Asked()[0];
    EXPECT_EQ(p.title, "zelCalc");
    EXPECT_EQ(p.icon, PromptIcon::Question);
    EXPECT_EQ(p.buttons, PromptButtons::YesNo);
    EXPECT_TRUE(p.text.startsWith(QString::fromUtf8("スクリプト エラーです。\r\n  エラー番号 11\r\n  (")));
    EXPECT_TRUE(p.text.endsWith(QString::fromUtf8(" 列で、発生しました。\r\n処理を続けますか？")));
    EXPECT_EQ(maintenanceOpened, c.opened) << c.answer;
    EXPECT_EQ(Log(), before) << c.answer;
    EXPECT_EQ(ToQ(vbs::ToText(session_.gLastAnswer)), "1.4142135623731") << c.answer;
    EXPECT_EQ(Selected(), "1/0");
    EXPECT_EQ(History().value(0), "1/0");
  }
  // After Yes myResult is empty; a result still carries over to the next
  // expression.
  Type("IsEmpty(myResult)");
  Keys("=");
  EXPECT_TRUE(Log().endsWith("\r\nTrue"));
  Type("2");
  Keys("=");
  Type("myResult+1");
  Keys("=");
  EXPECT_TRUE(Log().endsWith("\r\n3"));
}

TEST_F(WindowTest, EnterEvaluatesEscapeEmptiesTheLine) {
  w_->txtUserInput->setFocus();
  QLineEdit* edit = w_->txtUserInput->lineEdit();
  QTest::keyClicks(edit, "6*7");
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(Log(), QString::fromUtf8("\r\n『6*7』\r\n42"));
  EXPECT_EQ(Selected(), "6*7");
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_EQ(Input(), "");
  EXPECT_EQ(Log(), QString::fromUtf8("\r\n『6*7』\r\n42"));
  // Keys reach the line through the combo box when it has the focus.
  QTest::keyClicks(w_->txtUserInput, "1+1");
  QTest::keyClick(w_->txtUserInput, Qt::Key_Enter);
  EXPECT_TRUE(Log().endsWith(QString::fromUtf8("『1+1』\r\n2")));
}

TEST_F(WindowTest, CommentInputsGoToTheLogOnly) {
  Type("1+1 ' note");
  Keys("=");
  Type(QString::fromUtf8("2+2 \u2019 note"));
  Keys("=");
  EXPECT_EQ(Log(), QString::fromUtf8("\r\n1+1 ' note\r\n2+2 \u2019 note"));
  EXPECT_EQ(Input(), "");
  EXPECT_TRUE(History().isEmpty());
  EXPECT_TRUE(Prompts().Asked().empty());
}

TEST_F(WindowTest, AcClearsTheLogOnlyWithTheOption) {
  Keys("9=X");
  EXPECT_EQ(Input(), "");
  EXPECT_EQ(Log(), QString::fromUtf8("\r\n『9』\r\n9"));
  session_.gACKeyClear = true;
  Keys("X");
  EXPECT_EQ(Log(), "");
  // AC kept the selection memory "9": the first digit only clears it.
  Keys("8");
  EXPECT_EQ(Input(), "");
  Keys("8=");
  EXPECT_EQ(Log(), QString::fromUtf8("\r\n『8』\r\n8"));
  EXPECT_EQ(History(), (QStringList{"8", "9"}));
}

TEST_F(WindowTest, ShowInputOffLogsOnlyResults) {
  session_.gShowInput = false;
  Keys("1+2=");
  EXPECT_EQ(Log(), "\r\n3");
}

TEST_F(WindowTest, AHugeResultIsLoggedCutWhileTheAnswerKeepsItWhole) {
  // A number written with 1,500,000 characters: the answer keeps them all.
  const QString expression = QStringLiteral("\"1.\" & String(1499998, \"0\")");
  Type(expression);
  Keys("=");
  const QString cut = QStringLiteral("\r\n1.") + QString(999998, QLatin1Char('0')) +
                      QStringLiteral("\r\n... 500,000 more characters left out");
  const QString expected = QString::fromUtf8("\r\n『") + expression + QString::fromUtf8("』") + cut;
  EXPECT_EQ(Log().size(), expected.size());
  EXPECT_TRUE(Log() == expected);
  EXPECT_EQ(vbs::ToText(session_.gLastAnswer).size(), 1500000u);
  Keys("A");
  EXPECT_TRUE(Input().startsWith("1.000"));
  Type(QStringLiteral("Len(myResult)"));
  Keys("=");
  EXPECT_TRUE(Log().endsWith(QString::fromUtf8("『Len(myResult)』\r\n1500000")));

  // Text of many lines: cut by characters, the last line says how many went.
  Type(QStringLiteral("Replace(Space(300000), \" \", \"line\" & vbCrLf)"));
  Keys("=");
  EXPECT_TRUE(Log().endsWith(QStringLiteral("\r\nline\r\n... 800,000 more characters left out")));
  // The caret is at the end and the end is in view.
  QPlainTextEdit* log = w_->txtOutputDisplay;
  EXPECT_EQ(log->textCursor().position(), log->document()->characterCount() - 1);
  EXPECT_TRUE(log->viewport()->rect().contains(log->cursorRect()));
}

TEST_F(WindowTest, UserEditsOfTheLogAreKept) {
  Keys("1+2=");
  w_->txtOutputDisplay->appendPlainText(QStringLiteral("my note"));
  Keys("*2=");
  EXPECT_EQ(Log(), QString::fromUtf8("\r\n『1+2』\r\n3\r\nmy note\r\n『1+2*2』\r\n5"));
}

TEST_F(WindowTest, DoubleClickInTheLogWarnsUnlessAcClearsIt) {
  QWidget* viewport = w_->txtOutputDisplay->viewport();
  QTest::mouseDClick(viewport, Qt::LeftButton);
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  const PromptRequest& p = Prompts().Asked()[0];
  EXPECT_EQ(p.text, "This text box is desplay or selection only.");
  EXPECT_EQ(p.title, "zelCalc");
  EXPECT_EQ(p.icon, PromptIcon::Exclamation);
  EXPECT_EQ(p.buttons, PromptButtons::OK);
  session_.gACKeyClear = true;
  QTest::mouseDClick(viewport, Qt::LeftButton);
  EXPECT_EQ(Prompts().Asked().size(), 1u);
  // A disabled log takes no mouse input at all.
  session_.gACKeyClear = false;
  w_->txtOutputDisplay->setEnabled(false);
  QTest::mouseDClick(viewport, Qt::LeftButton);
  EXPECT_EQ(Prompts().Asked().size(), 1u);
  w_->txtOutputDisplay->setEnabled(true);
  QTest::mouseDClick(viewport, Qt::LeftButton);
  EXPECT_EQ(Prompts().Asked().size(), 2u);
}

TEST_F(WindowTest, DefaultGeometryAndLayout) {
  EXPECT_EQ(w_->windowTitle(), "Quorbit Calculator");
  auto near = [](int pixels, int twips, Qt::Orientation o) {
    return std::abs(PixelsToTwips(pixels, o) - twips) <= 15;
  };
  const QRect outer = w_->frameGeometry();
  EXPECT_TRUE(near(outer.width(), 7605, Qt::Horizontal)) << outer.width();
  EXPECT_TRUE(near(outer.height(), 3500, Qt::Vertical)) << outer.height();
  EXPECT_TRUE(near(w_->txtUserInput->width(), 3970, Qt::Horizontal));
  EXPECT_TRUE(near(w_->txtOutputDisplay->width(), 3970, Qt::Horizontal));
  EXPECT_TRUE(near(w_->txtOutputDisplay->height(), 2045, Qt::Vertical));
  EXPECT_TRUE(near(w_->fraUserTenKey->x(), 4290, Qt::Horizontal));
  EXPECT_TRUE(near(w_->fraUserTenKey->y(), 120, Qt::Vertical));
  EXPECT_EQ(w_->txtOutputDisplay->y(), w_->txtUserInput->geometry().bottom() + 1 + TwipsToPixelsY(50));
  // Keys sit on the grid: 7 top left, EXE bottom right.
  EXPECT_EQ(w_->cmdUserNumKey[9]->pos(), QPoint(0, 0));
  EXPECT_EQ(w_->cmdUserNumKey[13]->pos(), QPoint(TwipsToPixelsX(2460), TwipsToPixelsY(1845)));
  EXPECT_EQ(w_->cmdUserNumKey[13]->text(), "EXE");
  EXPECT_EQ(w_->cmdUserNumKey[18]->text(), "CE");
  // Every key fits inside its frame.
  for (QPushButton* b : w_->cmdUserNumKey)
    EXPECT_TRUE(w_->fraUserTenKey->rect().contains(b->geometry())) << b->text().toStdString();
  EXPECT_TRUE(w_->txtOutputDisplay->isEnabled());
  EXPECT_TRUE(session_.gShowInput);
  EXPECT_FALSE(session_.gDisplayEdit);
  EXPECT_FALSE(session_.gACKeyClear);
}

TEST_F(WindowTest, StoredGeometryAndFlagsAreRestored) {
  store_.Set("frmMain", "SizeW", "5000");
  store_.Set("frmMain", "SizeH", "9000");
  store_.Set("frmMain", "DisplayEdit", "True");
  store_.Set("frmMain", "ShowInput", "False");
  store_.Set("frmMain", "ACKeyClear", "1");
  frmMain w(session_);
  w.RestoreSettings();
  w.show();
  EXPECT_NEAR(PixelsToTwipsX(w.frameGeometry().width()), 7600, 15);
  EXPECT_NEAR(PixelsToTwipsY(w.txtOutputDisplay->height()), 7545, 15);
  EXPECT_TRUE(session_.gDisplayEdit);
  EXPECT_TRUE(w.txtOutputDisplay->isEnabled());  // the log starts enabled anyway
  EXPECT_FALSE(session_.gShowInput);
  EXPECT_TRUE(session_.gACKeyClear);
}

TEST_F(WindowTest, GeometryOffEveryScreenIsBroughtBack) {
  store_.Set("frmMain", "PositionT", "-900000");
  store_.Set("frmMain", "PositionL", "9000000");
  frmMain w(session_);
  w.RestoreSettings();
  w.show();
  bool onScreen = false;
  for (QScreen* s : QGuiApplication::screens())
    if (s->availableGeometry().intersects(w.frameGeometry())) onScreen = true;
  EXPECT_TRUE(onScreen);
  // A position on the screen is kept as stored.
  store_.Set("frmMain", "PositionT", "300");
  store_.Set("frmMain", "PositionL", "450");
  frmMain v(session_);
  v.RestoreSettings();
  EXPECT_NEAR(PixelsToTwipsY(v.frameGeometry().top()), 300, 15);
  EXPECT_NEAR(PixelsToTwipsX(v.frameGeometry().left()), 450, 15);
}

TEST_F(WindowTest, ExeGivesTheInputLineTheFocusOtherKeysDoNot) {
  QApplication::setActiveWindow(w_.get());
  w_->cmdUserNumKey[3]->setFocus();
  Keys("1");
  EXPECT_FALSE(w_->txtUserInput->hasFocus());
  Keys("=");
  EXPECT_TRUE(w_->txtUserInput->hasFocus());
}

TEST_F(WindowTest, LibraryFunctionAsksThroughTheInputDialog) {
  // The real zelIO object and its dialog, answered by "typing" a value.
  session_.gCreateIOObject = [] { return CreateIOObject(); };
  WriteLib("area.vbs",
           "Function AskArea()\r\n"
           "  AskArea = 3 * zelIO.getData(\"Diameter?\", 4, \"Area\")\r\n"
           "End Function\r\n");
  ASSERT_EQ(LoadUserLibrary(session_), LoadStatus::Loaded);
  QString shownTitle, shownPrompt, shownValue;
  bool answered = false;
  std::function<void()> answer = [&] {
    auto* d = qobject_cast<zelDialog*>(QApplication::activeModalWidget());
    if (!d) {
      QTimer::singleShot(20, answer);
      return;
    }
    shownTitle = d->windowTitle();
    shownPrompt = d->txtCaption->toPlainText();
    shownValue = d->txtBaseValue->currentText();
    d->txtBaseValue->setEditText(QStringLiteral("5"));
    d->OKButton->click();
    answered = true;
  };
  QTimer::singleShot(0, answer);
  Type("AskArea()");
  Keys("=");
  EXPECT_TRUE(answered);
  EXPECT_EQ(shownTitle, "Area");
  EXPECT_EQ(shownPrompt, "Diameter?");
  EXPECT_EQ(shownValue, "4");
  EXPECT_EQ(Log(), QString::fromUtf8("\r\n『AskArea()』\r\n15"));
  EXPECT_EQ(ToQ(vbs::ToText(session_.gLastAnswer)), "15");
  UnloadIODialog();
}

}  // namespace
}  // namespace zel::test
