// The input dialog itself: layout states, the conversion area, and the
// quantity order it keeps.
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <utility>

#include "dialog_test_util.h"
#include "twips.h"

namespace zel::test {
namespace {

using InputDialog = DialogTest;

void ChooseUnits(zelDialog& d, int quantityPosition, int left, int right) {
  d.cmbUnit->setCurrentIndex(quantityPosition);
  d.cmbUnit_Click();
  d.lstUnitList[0]->setCurrentRow(left);
  d.lstUnitList[1]->setCurrentRow(right);
}

TEST_F(InputDialog, StartsCollapsedWithTheIdentityOrderAndZero) {
  zelDialog& d = IODialog();
  EXPECT_FALSE(d.isVisible());
  EXPECT_FALSE(d.UnitAreaOpen());
  EXPECT_EQ(d.windowTitle(), "Data Input Dialog");
  EXPECT_FALSE(d.windowIcon().isNull());
  ASSERT_EQ(d.cmbUnit->count(), kQuantityCount);
  EXPECT_EQ(d.cmbUnit->itemText(0), "Temperature");
  EXPECT_EQ(d.cmbUnit->itemText(22), "Force, Weight");
  EXPECT_EQ(d.cmbUnit->currentIndex(), 0);
  for (QListWidget* list : d.lstUnitList) {
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->item(3)->text(), "R");
    EXPECT_EQ(list->currentRow(), 0);
  }
  EXPECT_EQ(d.txtBaseValue->currentText(), "0");
  EXPECT_EQ(d.LoadedUnits().UnitName[0], "Temperature");
  EXPECT_TRUE(prompts.Asked().empty());
}

TEST_F(InputDialog, UnitConvTogglesTheOuterHeightBetweenTheTwoStates) {
  const int width = TwipsToPixelsX(kDialogOuterWidth);
  const int collapsed = TwipsToPixelsY(kDialogCollapsedHeight);
  const int expanded = TwipsToPixelsY(kDialogExpandedHeight);
  std::vector<QSize> sizes;
  std::vector<bool> frameShown;
  WhenShown([&](zelDialog& d) {
    auto note = [&] {
      sizes.push_back(d.frameGeometry().size());
      // The frame shows only when expanded, and then wholly; collapsed,
      // not even its top edge shows along the bottom.
      frameShown.push_back(d.fraUnitConv->isVisible());
      if (d.fraUnitConv->isVisible()) {
        EXPECT_LT(d.fraUnitConv->geometry().bottom(), d.height());
      }
    };
    note();
    d.cmdUnitConv->click();
    note();
    d.cmdUnitConv->click();
    note();
    d.cmdUnitConv->click();  // left expanded for the next getData
    d.OKButton->click();
  });
  zelIOModule::getData(QStringLiteral("p"), vbs::Variant::Missing());
  ASSERT_EQ(sizes.size(), 3u);
  EXPECT_EQ(sizes[0], QSize(width, collapsed));
  EXPECT_EQ(sizes[1], QSize(width, expanded));
  EXPECT_EQ(sizes[2], QSize(width, collapsed));
  EXPECT_EQ(frameShown, (std::vector<bool>{false, true, false}));

  QSize next;
  WhenShown([&](zelDialog& d) {
    next = d.frameGeometry().size();
    d.OKButton->click();
  });
  zelIOModule::getData(QStringLiteral("p"), vbs::Variant::Missing());
  EXPECT_EQ(next, QSize(width, expanded));
  EXPECT_TRUE(IODialog().UnitAreaOpen());
}

TEST_F(InputDialog, ControlsSitAtTheirTwipPositionsWithJapaneseCapableFonts) {
  zelDialog& d = IODialog();
  EXPECT_EQ(d.txtCaption->geometry(),
            QRect(TwipsToPixelsX(1500), TwipsToPixelsY(120), TwipsToPixelsX(3015),
                  TwipsToPixelsY(1335)));
  EXPECT_EQ(d.cmdUnitConv->geometry().topLeft(), QPoint(TwipsToPixelsX(4620), TwipsToPixelsY(1080)));
  EXPECT_EQ(d.lstUnitList[1]->geometry().topLeft(), QPoint(TwipsToPixelsX(3180), TwipsToPixelsY(660)));
  EXPECT_EQ(d.lstUnitList[1]->parentWidget(), d.fraUnitConv);
  EXPECT_TRUE(d.txtCaption->font().bold());
  EXPECT_DOUBLE_EQ(d.txtCaption->font().pointSizeF(), 9.75);
  EXPECT_TRUE(d.cmdConvertBtn[0]->font().bold());
  EXPECT_EQ(d.cmdConvertBtn[1]->text(), "<<");
  // Labels and the value field are at least as tall as their text.
  EXPECT_GE(d.Label2->height(), d.Label2->fontMetrics().height());
  EXPECT_GE(d.txtBaseValue->height(), d.txtBaseValue->sizeHint().height());
  // Both captions are whole and end before the field to their right.
  for (auto [label, field] : {std::pair<QLabel*, QWidget*>{d.Label2, d.txtBaseValue},
                              std::pair<QLabel*, QWidget*>{d.Label1, d.cmbUnit}}) {
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
        << label->objectName().toStdString();
    EXPECT_LT(label->geometry().right(), field->geometry().left()) << label->objectName().toStdString();
  }
  // The tab order starts at the value field and runs through the buttons.
  EXPECT_EQ(d.txtBaseValue->nextInFocusChain()->parentWidget() == d.txtBaseValue
                ? d.txtBaseValue->nextInFocusChain()->nextInFocusChain()
                : d.txtBaseValue->nextInFocusChain(),
            d.OKButton);
}

TEST_F(InputDialog, ConvertsTheValueFieldInPlace) {
  zelDialog& d = IODialog();
  ChooseUnits(d, 2, 0, 1);  // Length: m >> mm
  d.txtBaseValue->addItem(QStringLiteral("7"));
  d.txtBaseValue->setEditText(QStringLiteral("2"));
  d.cmdConvertBtn[0]->click();
  EXPECT_EQ(d.txtBaseValue->currentText(), "2000");
  d.cmdConvertBtn[1]->click();
  EXPECT_EQ(d.txtBaseValue->currentText(), "2");
  d.txtBaseValue->setEditText(QStringLiteral("2 m"));  // leading number only
  d.cmdConvertBtn[1]->click();
  EXPECT_EQ(d.txtBaseValue->currentText(), "0.002");
  ASSERT_EQ(d.txtBaseValue->count(), 1);  // the list is not touched
  EXPECT_EQ(d.txtBaseValue->itemText(0), "7");

  ChooseUnits(d, 2, 3, 3);
  d.txtBaseValue->setEditText(QStringLiteral("abc"));
  d.cmdConvertBtn[0]->click();
  EXPECT_EQ(d.txtBaseValue->currentText(), "0");

  ChooseUnits(d, 0, 0, 2);  // Temperature C >> F
  d.txtBaseValue->setEditText(QStringLiteral("100"));
  d.cmdConvertBtn[0]->click();
  EXPECT_EQ(d.txtBaseValue->currentText(), "212");
  d.txtBaseValue->setEditText(QStringLiteral("100"));
  d.cmdConvertBtn[1]->click();
  EXPECT_EQ(d.txtBaseValue->currentText(), "37.7777777777778");
  EXPECT_TRUE(prompts.Asked().empty());
}

TEST_F(InputDialog, OverflowAndMissingUnitsLeaveTheFieldAlone) {
  zelDialog& d = IODialog();
  ChooseUnits(d, 2, 0, 1);
  d.txtBaseValue->setEditText(QStringLiteral("1e308"));
  d.cmdConvertBtn[0]->click();
  EXPECT_EQ(d.txtBaseValue->currentText(), "1e308");
  ASSERT_EQ(prompts.Asked().size(), 1u);
  EXPECT_EQ(prompts.Asked()[0].icon, PromptIcon::Exclamation);
  EXPECT_EQ(prompts.Asked()[0].title, "zelCalc");

  d.lstUnitList[1]->setCurrentRow(-1);
  d.txtBaseValue->setEditText(QStringLiteral("5"));
  d.cmdConvertBtn[0]->click();
  EXPECT_EQ(d.txtBaseValue->currentText(), "5");
}

TEST_F(InputDialog, CloseBoxSavesTheOrderWithTheChosenQuantityFirst) {
  IODialog();
  WhenShown([](zelDialog& d) {
    d.txtBaseValue->setEditText(QStringLiteral("typed"));
    d.cmbUnit->setCurrentIndex(5);
    d.cmbUnit_Click();
    d.close();
  });
  EXPECT_EQ(zelIOModule::getData(QStringLiteral("p"), vbs::Variant::Missing()), "");
  EXPECT_EQ(StoredOrder(), (std::vector<int>{5, 0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14,
                                             15, 16, 17, 18, 19, 20, 21, 22}));
  EXPECT_FALSE(IODialogLoaded());

  // The next use loads the dialog afresh, in the saved order.
  zelDialog& again = IODialog();
  EXPECT_EQ(again.cmbUnit->itemText(0), "Time");
  EXPECT_EQ(again.txtBaseValue->currentText(), "0");
  EXPECT_FALSE(again.UnitAreaOpen());

  // Next time the quantity at position 3 (Length) comes first.
  again.cmbUnit->setCurrentIndex(3);
  again.cmbUnit_Click();
  UnloadIODialog();
  EXPECT_EQ(StoredOrder(), (std::vector<int>{2, 5, 0, 1, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14,
                                             15, 16, 17, 18, 19, 20, 21, 22}));
}

TEST_F(InputDialog, FirstPositionOrNoSelectionKeepsTheOrderButWritesAllKeys) {
  StoreOrder({3, 1, 2, 0, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22});
  IODialog();
  UnloadIODialog();
  EXPECT_EQ(StoredOrder(), (std::vector<int>{3, 1, 2, 0, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14,
                                             15, 16, 17, 18, 19, 20, 21, 22}));
  // A stored order that is not a permutation falls back to the identity.
  store.Set(kUnitOrderSection, "4", "3");
  EXPECT_EQ(IODialog().cmbUnit->itemText(0), "Temperature");
  EXPECT_EQ(IODialog().cmbUnit->itemText(4), "Volume");
  UnloadIODialog();
  EXPECT_EQ(StoredOrder().size(), 23u);
  EXPECT_EQ(StoredOrder()[4], 4);
}

TEST_F(InputDialog, TheEndOfTheProgramUnloadsTheDialog) {
  IODialog().cmbUnit->setCurrentIndex(14);  // Power
  IODialog().cmbUnit_Click();
  QTimer::singleShot(0, [] { QCoreApplication::quit(); });
  QCoreApplication::exec();  // quitting runs aboutToQuit
  const std::vector<int> order = StoredOrder();
  ASSERT_EQ(order.size(), 23u);
  EXPECT_EQ(order[0], 14);
  EXPECT_EQ(order[1], 0);
  EXPECT_EQ(order[14], 13);
  EXPECT_EQ(order[15], 15);
}

}  // namespace
}  // namespace zel::test
