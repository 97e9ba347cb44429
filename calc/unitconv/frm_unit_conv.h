#pragma once
// frmUnitConv: the calculator's unit conversion window. A quantity, a unit
// on each side, a value converted either way, and Replace into the main
// window's input line. Modeless, without an owner, at most one at a time.
#include <QPointer>
#include <QWidget>
#include <array>

#include "catalogue.h"
#include "quantity_order.h"
#include "window_geometry.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zel {

class frmMain;

class frmUnitConv : public QWidget {
  Q_OBJECT

 public:
  // Builds the controls and runs Form_Initialize.
  explicit frmUnitConv(frmMain& main);
  ~frmUnitConv() override;

  // Event handlers, named after their controls.
  void cmbUnit_Click();
  void lstUnitList_Click(int index);
  void cmdConvertBtn_Click(int index);
  void cmdReplace_Click();
  void cmdExit_Click();
  // Saves geometry and the quantity order (the chosen quantity first).
  // Runs once, when the window is closed through its frame or by the
  // program's unload.
  void Form_Unload();

  const ::zel::QuantityOrder& QuantityOrder() const { return quantityOrder_; }
  const UnitTable& LoadedUnits() const { return unitTable_; }

  // Controls, named as in the form's design.
  QComboBox* cmbUnit = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* lblBaseUnit = nullptr;
  QLabel* lblUnitConverted = nullptr;
  QLineEdit* txtBaseValue = nullptr;
  QLineEdit* txtConvertedValue = nullptr;
  QFrame* Frame1 = nullptr;
  std::array<QListWidget*, 2> lstUnitList{};
  std::array<QPushButton*, 2> cmdConvertBtn{};
  QPushButton* cmdReplace = nullptr;
  QPushButton* cmdExit = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildControls();
  void Form_Initialize();
  // Keeps the outer size at 6465 x 4815 twips in the normal state.
  void Form_Resize();

  QPointer<frmMain> main_;
  ::zel::QuantityOrder quantityOrder_{};
  UnitTable unitTable_;
  bool unloaded_ = false;
  bool resizing_ = false;
  // Only the position is read back: the fixed size overrides whatever
  // "SizeH" and "SizeW" hold.
  WindowGeometry geometry_;
};

// The window while it exists (created by the first opening, gone once it
// was closed through its frame or unloaded); nullptr otherwise.
frmUnitConv* UnitConvWindow();

// The main window's unit conversion command: creates the window on first
// use, puts the start value taken from the input line into txtBaseValue and
// shows the window.
void ShowUnitConvWindow(frmMain& main);

// Attaches the command to the main window's mnuUnitConv.
void AttachUnitConversion(frmMain& main);

}  // namespace zel
