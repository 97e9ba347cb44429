// The unit conversion window driven through its controls and the main
// window's input line, with an in-memory settings store and the message
// boxes recorded.
#include "frm_unit_conv.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <memory>

#include "app_settings.h"
#include "calc_session.h"
#include "frm_main.h"
#include "prompt_service.h"
#include "twips.h"
#include "unit_conv.h"

namespace zel {
namespace {

class UnitConvWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetAppSettings(&store_);
    main_ = std::make_unique<frmMain>(session_);
  }
  void TearDown() override {
    if (frmUnitConv* w = UnitConvWindow()) delete w;
    main_.reset();
    SetAppSettings(nullptr);
  }
  // The main window's input line with `selectStart`/`selectLength` selected.
  void Input(const QString& text, int selectStart = 0, int selectLength = 0) {
    main_->txtUserInput->setEditText(text);
    if (selectLength > 0) main_->txtUserInput->lineEdit()->setSelection(selectStart, selectLength);
    else main_->txtUserInput->lineEdit()->deselect();
  }
  QString InputText() const { return main_->txtUserInput->currentText(); }
  frmUnitConv& Open() {
    ShowUnitConvWindow(*main_);
    frmUnitConv* w = UnitConvWindow();
    EXPECT_NE(w, nullptr);
    return *w;
  }
  // Closes the window through its frame. A closed window is never shown
  // again, even before its deletion has run.
  void CloseWindow() {
    ASSERT_NE(UnitConvWindow(), nullptr);
    QPointer<frmUnitConv> closed = UnitConvWindow();
    EXPECT_TRUE(closed->close());
    EXPECT_EQ(UnitConvWindow(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull());
  }
  static void Choose(frmUnitConv& w, const QString& quantity, const QString& left,
                     const QString& right) {
    const int k = w.cmbUnit->findText(quantity);
    ASSERT_GE(k, 0) << quantity.toStdString();
    w.cmbUnit->setCurrentIndex(k);
    w.cmbUnit_Click();
    const auto left_ = w.lstUnitList[0]->findItems(left, Qt::MatchExactly);
    const auto right_ = w.lstUnitList[1]->findItems(right, Qt::MatchExactly);
    ASSERT_EQ(left_.size(), 1);
    ASSERT_EQ(right_.size(), 1);
    w.lstUnitList[0]->setCurrentItem(left_[0]);
    w.lstUnitList[1]->setCurrentItem(right_[0]);
  }
  static QStringList Labels(const frmUnitConv& w) {
    return {w.lblBaseUnit->text(), w.lblUnitConverted->text()};
  }
  static QStringList Units(const QListWidget* list) {
    QStringList units;
    for (int i = 0; i < list->count(); ++i) units << list->item(i)->text();
    return units;
  }
  std::string Stored(const char* key) const { return store_.Get(kUnitConvSection, key, "-"); }

  MemorySettingsStore store_;
  CalcSession session_;
  PromptRecorder prompts_;
  std::unique_ptr<frmMain> main_;
};

TEST_F(UnitConvWindowTest, OpeningHandsOverTheNumberFromTheInputLine) {
  Input("12");
  EXPECT_EQ(Open().txtBaseValue->text(), "12");
  Input("3+4");
  EXPECT_EQ(Open().txtBaseValue->text(), "0");
  Input("12*2.50", 3, 4);
  frmUnitConv& w = Open();
  EXPECT_EQ(w.txtBaseValue->text(), "2.5");
  // The hand-over reads the line; it leaves it and its selection alone.
  EXPECT_EQ(InputText(), "12*2.50");
  EXPECT_EQ(main_->txtUserInput->lineEdit()->selectedText(), "2.50");
  EXPECT_TRUE(w.isVisible());
}

TEST_F(UnitConvWindowTest, FirstOpeningWithNoSettings) {
  const QRect screen = main_->screen()->availableGeometry();
  main_->RestoreSettings();
  main_->move(screen.topLeft());
  main_->show();
  QLineEdit* input = main_->txtUserInput->lineEdit();
  const QRect inputLine(input->mapToGlobal(QPoint(0, 0)), input->size());
  Input("42");
  frmUnitConv& w = Open();
  EXPECT_EQ(w.windowTitle(), "Unit Conversion");
  // Beside the main window, where Replace can be seen arriving.
  EXPECT_TRUE(screen.contains(w.frameGeometry()));
  EXPECT_FALSE(w.frameGeometry().intersects(inputLine));
  EXPECT_FALSE(w.frameGeometry().intersects(main_->frameGeometry()));
  EXPECT_EQ(w.frameGeometry().size(),
            QSize(TwipsToPixelsX(kUnitConvOuterWidth), TwipsToPixelsY(kUnitConvOuterHeight)));
  ASSERT_EQ(w.cmbUnit->count(), kQuantityCount);
  EXPECT_EQ(w.cmbUnit->itemText(0), "Temperature");
  EXPECT_EQ(w.cmbUnit->itemText(22), "Force, Weight");
  EXPECT_EQ(w.cmbUnit->currentText(), "Temperature");
  for (const QListWidget* list : w.lstUnitList) {
    EXPECT_EQ(Units(list), (QStringList{"C", "K", "F", "R"}));
    EXPECT_EQ(list->currentItem()->text(), "C");
  }
  EXPECT_EQ(Labels(w), (QStringList{"C", "C"}));
  EXPECT_EQ(w.txtBaseValue->text(), "42");
  EXPECT_EQ(w.txtConvertedValue->text(), "0");
  EXPECT_TRUE(w.lblBaseUnit->font().underline());
  EXPECT_TRUE(prompts_.Asked().empty());
}

TEST_F(UnitConvWindowTest, ConvertsBothWaysWithLabelsThatNameTheDirection) {
  frmUnitConv& w = Open();
  Choose(w, "Length", "m", "mm");
  w.txtBaseValue->setText("2");
  w.cmdConvertBtn[0]->click();
  EXPECT_EQ(w.txtConvertedValue->text(), "2000");
  EXPECT_EQ(Labels(w), (QStringList{"m", "mm"}));
  w.cmdConvertBtn[1]->click();
  EXPECT_EQ(w.txtConvertedValue->text(), "0.002");
  EXPECT_EQ(Labels(w), (QStringList{"mm", "m"}));
  EXPECT_EQ(w.txtBaseValue->text(), "2");

  Choose(w, "Temperature", "C", "F");
  w.txtBaseValue->setText("100");
  w.cmdConvertBtn[0]->click();
  EXPECT_EQ(w.txtConvertedValue->text(), "212");
  EXPECT_EQ(Labels(w), (QStringList{"C", "F"}));
  w.cmdConvertBtn[1]->click();
  EXPECT_EQ(w.txtConvertedValue->text(), "37.7777777777778");
  EXPECT_EQ(Labels(w), (QStringList{"F", "C"}));
  EXPECT_TRUE(prompts_.Asked().empty());

  // A click on a unit entry, even the current one, puts the labels back to
  // left unit / right unit without converting.
  emit w.lstUnitList[1]->itemClicked(w.lstUnitList[1]->currentItem());
  EXPECT_EQ(Labels(w), (QStringList{"C", "F"}));
  w.cmdConvertBtn[1]->click();
  w.lstUnitList[0]->setCurrentRow(1);
  EXPECT_EQ(Labels(w), (QStringList{"K", "F"}));
  EXPECT_EQ(w.txtConvertedValue->text(), "37.7777777777778");
}

TEST_F(UnitConvWindowTest, AnotherQuantityRefillsTheListsAndKeepsTheConvertedValue) {
  frmUnitConv& w = Open();
  Choose(w, "Power", "W (=J/s)", "kW");
  w.txtBaseValue->setText("1500");
  w.cmdConvertBtn[0]->click();
  ASSERT_EQ(w.txtConvertedValue->text(), "1.5");
  // The longest unit list shows whole, without scrolling.
  for (const QListWidget* list : w.lstUnitList) {
    ASSERT_EQ(list->count(), 11);
    EXPECT_LE(list->visualItemRect(list->item(10)).bottom(), list->viewport()->height() - 1);
  }

  w.cmbUnit->setCurrentIndex(w.cmbUnit->findText("Heat Flux"));
  w.cmbUnit_Click();
  for (const QListWidget* list : w.lstUnitList) {
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->currentRow(), 0);
  }
  EXPECT_EQ(Labels(w), (QStringList{"W/m2", "W/m2"}));
  EXPECT_EQ(w.txtConvertedValue->text(), "1.5");
  EXPECT_EQ(w.LoadedUnits().UnitName[0], "Heat Flux");
}

TEST_F(UnitConvWindowTest, ReplaceWritesTheSelectionOrTheWholeLine) {
  Input("12+3", 3, 1);
  frmUnitConv& w = Open();
  w.txtConvertedValue->setText("2000");
  w.cmdReplace->click();
  EXPECT_EQ(InputText(), "12+2000");
  EXPECT_FALSE(main_->txtUserInput->lineEdit()->hasSelectedText());
  EXPECT_EQ(main_->txtUserInput->lineEdit()->cursorPosition(), 7);

  Input("12+3");
  w.cmdReplace->click();
  EXPECT_EQ(InputText(), "2000");
  // The history of the input line is not touched, and the window stays.
  EXPECT_EQ(main_->txtUserInput->count(), 0);
  EXPECT_TRUE(w.isVisible());
}

TEST_F(UnitConvWindowTest, ExitHidesAndKeepsTheStateTheNextOpeningRefillsTheValue) {
  frmUnitConv& w = Open();
  Choose(w, "Length", "m", "mm");
  w.txtBaseValue->setText("2");
  w.cmdConvertBtn[0]->click();
  w.cmdExit->click();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(Stored("PositionT"), "-");  // nothing saved on Exit

  Input("7");
  frmUnitConv& again = Open();
  EXPECT_EQ(&again, &w);
  EXPECT_TRUE(again.isVisible());
  EXPECT_EQ(again.cmbUnit->currentText(), "Length");
  EXPECT_EQ(again.txtConvertedValue->text(), "2000");
  EXPECT_EQ(Labels(again), (QStringList{"m", "mm"}));
  EXPECT_EQ(again.txtBaseValue->text(), "7");
}

TEST_F(UnitConvWindowTest, StoredPositionIsUsedAndStoredSizeIgnored) {
  store_.Set(kUnitConvSection, "PositionT", "1500");
  store_.Set(kUnitConvSection, "PositionL", "3000");
  store_.Set(kUnitConvSection, "SizeH", "9000");
  store_.Set(kUnitConvSection, "SizeW", "200");
  frmUnitConv& w = Open();
  const QSize outer(TwipsToPixelsX(kUnitConvOuterWidth), TwipsToPixelsY(kUnitConvOuterHeight));
  EXPECT_EQ(w.frameGeometry().topLeft(), QPoint(TwipsToPixelsX(3000), TwipsToPixelsY(1500)));
  EXPECT_EQ(w.frameGeometry().size(), outer);
  // Nor can the window be made another size.
  w.resize(outer * 2);
  EXPECT_EQ(w.frameGeometry().size(), outer);

  CloseWindow();
  EXPECT_EQ(Stored("PositionT"), "1500");
  EXPECT_EQ(Stored("PositionL"), "3000");
  EXPECT_EQ(Stored("SizeH"), std::to_string(PixelsToTwipsY(outer.height())));
  EXPECT_EQ(Stored("SizeW"), std::to_string(PixelsToTwipsX(outer.width())));
}

TEST_F(UnitConvWindowTest, PositionOffEveryScreenComesBackToTheCorner) {
  for (const char* far : {"9000000", "-90000", "1e300"}) {
    store_.Set(kUnitConvSection, "PositionT", far);
    store_.Set(kUnitConvSection, "PositionL", far);
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(Open().frameGeometry().topLeft(), avail.topLeft()) << far;
    CloseWindow();
  }
}

TEST_F(UnitConvWindowTest, ClosingPutsTheChosenQuantityFirstForTheNextRun) {
  frmUnitConv& w = Open();
  ASSERT_EQ(w.cmbUnit->itemText(14), "Power");
  w.cmbUnit->setCurrentIndex(14);
  w.cmbUnit_Click();
  CloseWindow();
  EXPECT_EQ(Stored("0"), "14");
  EXPECT_EQ(Stored("1"), "0");
  EXPECT_EQ(Stored("14"), "13");
  EXPECT_EQ(Stored("15"), "15");

  // The next run reads the order back.
  frmUnitConv& next = Open();
  QStringList shown;
  for (int k = 0; k < 4; ++k) shown << next.cmbUnit->itemText(k);
  EXPECT_EQ(shown, (QStringList{"Power", "Temperature", "Weight", "Length"}));
  EXPECT_EQ(next.cmbUnit->itemText(15), "Heat Capacity, Sp.Entropy");
  EXPECT_EQ(next.cmbUnit->currentText(), "Power");
  EXPECT_EQ(Units(next.lstUnitList[0]).first(), "W (=J/s)");

  // Leaving the first quantity chosen keeps the order; all keys are written.
  next.cmbUnit->setCurrentIndex(0);
  CloseWindow();
  EXPECT_EQ(Stored("0"), "14");
  EXPECT_EQ(Stored("22"), "22");
}

TEST_F(UnitConvWindowTest, ExitedWindowStillSavesWhenTheProgramUnloadsIt) {
  frmUnitConv& w = Open();
  w.cmbUnit->setCurrentIndex(5);
  w.cmbUnit_Click();
  w.cmdExit_Click();
  CloseWindow();
  EXPECT_EQ(Stored("0"), "5");
  EXPECT_NE(Stored("PositionT"), "-");
}

TEST_F(UnitConvWindowTest, ApiGravityBothWaysAndResultsThatAreNotFinite) {
  frmUnitConv& w = Open();
  Choose(w, "Density", "g/cm3", "API");
  w.txtBaseValue->setText("1");
  w.cmdConvertBtn[0]->click();
  EXPECT_EQ(w.txtConvertedValue->text(), "10");
  w.txtBaseValue->setText("10");
  w.cmdConvertBtn[1]->click();
  EXPECT_EQ(w.txtConvertedValue->text(), "1");
  EXPECT_EQ(Labels(w), (QStringList{"API", "g/cm3"}));
  ASSERT_TRUE(prompts_.Asked().empty());

  // Specific gravity 0 and API -131.5: reported, and the converted value
  // with its labels stays as it was.
  w.txtBaseValue->setText("0");
  w.cmdConvertBtn[0]->click();
  w.txtBaseValue->setText("-131.5");
  w.cmdConvertBtn[1]->click();
  ASSERT_EQ(prompts_.Asked().size(), 2u);
  for (const PromptRequest& r : prompts_.Asked()) {
    EXPECT_EQ(r.icon, PromptIcon::Exclamation);
    EXPECT_EQ(r.title, "zelCalc");
  }
  EXPECT_EQ(w.txtConvertedValue->text(), "1");
  EXPECT_EQ(Labels(w), (QStringList{"API", "g/cm3"}));
}

TEST_F(UnitConvWindowTest, TemperatureTargetOutsideTheFourIsReportedThenZero) {
  frmUnitConv& w = Open();
  w.txtBaseValue->setText("100");
  w.cmdConvertBtn[0]->click();
  ASSERT_EQ(w.txtConvertedValue->text(), "100");
  // Only a damaged list can offer such a target.
  w.lstUnitList[1]->currentItem()->setText("kg");
  w.cmdConvertBtn[0]->click();
  ASSERT_EQ(prompts_.Asked().size(), 1u);
  EXPECT_EQ(prompts_.Asked()[0].text, "No conversion is made");
  EXPECT_EQ(w.txtConvertedValue->text(), "0");
}

}  // namespace
// The menu command opens the window with the line's number; the main
// window's unload routine closes it, saving its place and the order.
TEST_F(UnitConvWindowTest, MenuOpensItAndTheUnloadRoutineClosesIt) {
  AttachUnitConversion(*main_);
  Input(QStringLiteral("12"));
  main_->mnuUnitConv->trigger();
  frmUnitConv* w = UnitConvWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->txtBaseValue->text(), "12");
  main_->mnuUnitConv->trigger();
  EXPECT_EQ(UnitConvWindow(), w);
  main_->Form_Unload(false);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(UnitConvWindow(), nullptr);
  EXPECT_NE(Stored("PositionT"), "-");
  EXPECT_NE(Stored("0"), "-");
}

}  // namespace zel
