// The log's number display form: the Option menu's dialog, what the log
// shows and what the answer keeps, the double-click copy and the settings.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include "calc_test_support.h"
#include "frm_main.h"
#include "frm_number_format.h"
#include "keypad.h"

namespace zel::test {
namespace {

class NumberFormatTest : public CalcFixture {
 protected:
  void SetUp() override {
    CalcFixture::SetUp();
    OpenMainWindow();
  }
  void TearDown() override {
    w_.reset();
    session_.gNumberFormat = DisplayFormat{};
    CalcFixture::TearDown();
  }
  void Eval(const QString& expression) {
    w_->txtUserInput->setEditText(expression);
    w_->cmdUserNumKey[size_t(kKeyExe)]->click();
  }
  // The log's last line.
  QString LastLine() const { return w_->LogText().split(QStringLiteral("\r\n")).last(); }
  // Runs `inDialog` on the dialog that the menu entry opens, then returns.
  void WithDialog(const std::function<void(frmNumberFormat&)>& inDialog) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<frmNumberFormat*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      seen = true;
      inDialog(*d);
      if (d->isVisible()) d->reject();
    });
    w_->mnuNumberFormat->trigger();
    EXPECT_TRUE(seen);
  }
};

TEST_F(NumberFormatTest, MenuEntryFollowsTheOptionsAndSetsTheForm) {
  const QList<QAction*> entries = w_->mnuOpt->actions();
  // Right after the original entries, of which Fonts is the last.
  const qsizetype font = entries.indexOf(w_->mnuFont);
  ASSERT_GE(font, 0);
  ASSERT_LT(font + 1, entries.size());
  EXPECT_EQ(entries[font + 1], w_->mnuNumberFormat);
  EXPECT_EQ(w_->mnuNumberFormat->text(), "Number Format...");

  QString preview;
  WithDialog([&](frmNumberFormat& d) {
    EXPECT_TRUE(d.optForm[0]->isChecked());  // General from an empty store
    EXPECT_EQ(d.txtSignificantDigits->text(), "15");
    EXPECT_EQ(d.txtDecimals->text(), "4");
    d.optForm[2]->click();
    d.txtSignificantDigits->setText(QStringLiteral("6"));
    preview = d.lblPreview->text();  // live, before OK
    d.cmdOK->click();
  });
  EXPECT_EQ(session_.gNumberFormat, (DisplayFormat{NumberForm::SIPrefix, 6, 4, false}));
  EXPECT_TRUE(preview.contains(QString::fromUtf8("4.5E-06            \u2192 4.5 \u00B5"))) << preview.toStdString();
  EXPECT_TRUE(preview.contains(QString::fromUtf8("\u2192 333.333 m"))) << preview.toStdString();

  Eval(QStringLiteral("0.0000045"));
  EXPECT_EQ(LastLine(), QString::fromUtf8("4.5 \u00B5"));
  Eval(QStringLiteral("123456"));
  EXPECT_EQ(LastLine(), "123.456 k");
  Eval(QStringLiteral("999.9995"));
  EXPECT_EQ(LastLine(), "1 k");
}

TEST_F(NumberFormatTest, EscapeAndCancelKeepTheForm) {
  session_.gNumberFormat = {NumberForm::Fixed, 15, 2, true};
  WithDialog([](frmNumberFormat& d) {
    EXPECT_TRUE(d.optForm[3]->isChecked());
    EXPECT_TRUE(d.chkDigitGrouping->isChecked());
    d.optForm[1]->click();
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
  });
  WithDialog([](frmNumberFormat& d) {
    d.optForm[0]->click();
    d.cmdCancel->click();
  });
  EXPECT_EQ(session_.gNumberFormat, (DisplayFormat{NumberForm::Fixed, 15, 2, true}));
}

TEST_F(NumberFormatTest, OutOfRangeCountsAreRefused) {
  WithDialog([&](frmNumberFormat& d) {
    d.optForm[1]->click();
    d.txtSignificantDigits->setText(QStringLiteral("16"));
    EXPECT_TRUE(d.lblPreview->text().contains(QStringLiteral("\u2192 ?")));
    d.cmdOK->click();
    EXPECT_TRUE(d.isVisible());
    ASSERT_EQ(Prompts().Asked().size(), 1u);
    EXPECT_EQ(Prompts().Asked()[0].text, QString::fromLatin1(kSignificantDigitsRefused));
    EXPECT_EQ(Prompts().Asked()[0].icon, PromptIcon::Exclamation);
    EXPECT_EQ(d.txtSignificantDigits->selectedText(), "16");

    d.txtSignificantDigits->setText(QStringLiteral("0"));
    d.cmdOK->click();
    EXPECT_TRUE(d.isVisible());

    d.optForm[3]->click();  // the digits box is not used by Fixed
    d.txtDecimals->setText(QStringLiteral("2.5"));
    d.cmdOK->click();
    EXPECT_TRUE(d.isVisible());
    ASSERT_EQ(Prompts().Asked().size(), 3u);
    EXPECT_EQ(Prompts().Asked()[2].text, QString::fromLatin1(kDecimalsRefused));
    EXPECT_EQ(d.txtDecimals->selectedText(), "2.5");

    d.txtDecimals->setText(QStringLiteral("0"));
    d.cmdOK->click();
    EXPECT_FALSE(d.isVisible());
  });
  // The unused box's bad text left its value as it was.
  EXPECT_EQ(session_.gNumberFormat, (DisplayFormat{NumberForm::Fixed, 15, 0, false}));
}

TEST_F(NumberFormatTest, AnswerKeepsFullPrecisionThroughARoundedDisplay) {
  session_.gNumberFormat = {NumberForm::SIPrefix, 3, 4, false};
  Eval(QStringLiteral("1/3"));
  EXPECT_EQ(LastLine(), "333 m");
  EXPECT_EQ(session_.gLastAnswer.type(), vbs::vbDouble);
  EXPECT_EQ(session_.gLastAnswer.doubleVal(), 1.0 / 3);
  w_->cmdUserNumKey[size_t(kKeyAns)]->click();
  EXPECT_EQ(w_->txtUserInput->currentText(), "0.333333333333333");
  // The history holds the expressions as typed.
  EXPECT_EQ(w_->txtUserInput->itemText(0), "1/3");

  session_.gNumberFormat = {NumberForm::Fixed, 15, 2, false};
  Eval(QStringLiteral("2.675"));
  EXPECT_EQ(LastLine(), "2.68");
  w_->cmdUserNumKey[size_t(kKeyAns)]->click();
  EXPECT_EQ(w_->txtUserInput->currentText(), "2.675");
}

TEST_F(NumberFormatTest, OnlyNumbersChangeForm) {
  session_.gNumberFormat = {NumberForm::Engineering, 3, 0, true};
  const struct {
    const char* expression;
    const char* shown;
  } rows[] = {
      {"CCur(1234.5678)", "1.23E3"},
      {"CInt(-32768)", "-32.8E3"},
      {"CLng(2147483647)", "2.15E9"},
      {"CByte(255)", "255"},
      {"CSng(1/3)", "333E-3"},
      {"\"12345\"", "12345"},  // text that reads as a number stays text
      {"\"abc\"", "abc"},
      {"1<2", "True"},
      {"Abs(-1E+20)", "100E18"},
  };
  for (const auto& r : rows) {
    Eval(QString::fromLatin1(r.expression));
    EXPECT_EQ(LastLine(), r.shown) << r.expression;
  }
  // A date is written as in General.
  Eval(QStringLiteral("DateSerial(2024, 1, 2) + 0.5"));
  const QString dateText = LastLine();
  session_.gNumberFormat = DisplayFormat{};
  Eval(QStringLiteral("DateSerial(2024, 1, 2) + 0.5"));
  EXPECT_EQ(LastLine(), dateText);
}

TEST_F(NumberFormatTest, DoubleClickCopiesTheFullValueWhereTheLogAllowsIt) {
  session_.gNumberFormat = {NumberForm::SIPrefix, 3, 4, false};
  session_.gACKeyClear = true;
  Eval(QStringLiteral("2/3"));
  Eval(QStringLiteral("\"text\""));
  Eval(QStringLiteral("-1/7"));
  // Empty line, then input and result pairs.
  QTextDocument* doc = w_->txtOutputDisplay->document();
  ASSERT_EQ(doc->blockCount(), 7);
  EXPECT_EQ(doc->findBlockByNumber(2).text(), "667 m");
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));

  w_->txtOutputDisplay_DblClick(2);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "0.666666666666667");
  w_->txtOutputDisplay_DblClick(6);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "-0.142857142857143");

  // Lines that are not a logged number, and an edited one, copy nothing.
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  for (int line : {0, 1, 4, 99}) w_->txtOutputDisplay_DblClick(line);
  QTextCursor c(doc->findBlockByNumber(2));
  c.movePosition(QTextCursor::EndOfBlock);
  c.insertText(QStringLiteral("0"));
  w_->txtOutputDisplay_DblClick(2);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
  EXPECT_TRUE(Prompts().Asked().empty());

  // Without the option the double-click only says the log is for display.
  session_.gACKeyClear = false;
  w_->txtOutputDisplay_DblClick(6);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
  ASSERT_EQ(Prompts().Asked().size(), 1u);
}

TEST_F(NumberFormatTest, SettingsRoundTripWithSaneDefaults) {
  // Written at exit with the other options.
  session_.gNumberFormat = {NumberForm::SIPrefix, 6, 2, true};
  w_->SaveSettings();
  EXPECT_EQ(store_.Get("Option", "NumberFormat", ""), "SIPrefix");
  EXPECT_EQ(store_.Get("Option", "SignificantDigits", ""), "6");
  EXPECT_EQ(store_.Get("Option", "Decimals", ""), "2");
  EXPECT_EQ(store_.Get("Option", "DigitGrouping", ""), "True");
  session_.gNumberFormat = DisplayFormat{};
  w_->RestoreSettings();
  EXPECT_EQ(session_.gNumberFormat, (DisplayFormat{NumberForm::SIPrefix, 6, 2, true}));

  const struct {
    const char* form;
    const char* digits;
    const char* decimals;
    const char* grouping;
    DisplayFormat read;
  } rows[] = {
      {"Fixed", "3", "0", "False", {NumberForm::Fixed, 3, 0, false}},
      {"engineering", "15", "15", "1", {NumberForm::Engineering, 15, 15, true}},
      {"Scientific", "abc", "-1", "maybe", {}},
      {"", "16", "16", "", {}},
      {"General", "7.5", "3x", "false", {NumberForm::General, 15, 3, false}},
  };
  for (const auto& r : rows) {
    store_.Set("Option", "NumberFormat", r.form);
    store_.Set("Option", "SignificantDigits", r.digits);
    store_.Set("Option", "Decimals", r.decimals);
    store_.Set("Option", "DigitGrouping", r.grouping);
    EXPECT_EQ(ReadNumberFormat(store_), r.read) << r.form << " " << r.digits << " " << r.decimals;
  }
  MemorySettingsStore empty;
  EXPECT_EQ(ReadNumberFormat(empty), DisplayFormat{});
}

}  // namespace
}  // namespace zel::test
