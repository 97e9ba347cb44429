#pragma once
// The input dialog that zelIO.getData shows: a guide picture, the prompt,
// one value field with its list of choices, OK and Cancel, and a collapsible
// unit conversion area that rewrites the value field in place.
#include <QDialog>
#include <QString>
#include <array>

#include "catalogue.h"
#include "quantity_order.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace zel {

// Settings section of the dialog's quantity order.
inline constexpr const char* kUnitOrderSection = "UnitOrder";

// Geometry in twips. Heights and width are outer sizes (frame included).
inline constexpr int kDialogOuterWidth = 5985;
inline constexpr int kDialogCollapsedHeight = 2415;
inline constexpr int kDialogExpandedHeight = 5235;

class zelDialog : public QDialog {
  Q_OBJECT

 public:
  explicit zelDialog(QWidget* parent = nullptr);
  ~zelDialog() override;

  // Event handlers, named after their controls.
  void cmdUnitConv_Click();
  void OKButton_Click();
  void cmdExit_Click();
  void cmbUnit_Click();
  void cmdConvertBtn_Click(int index);
  // Saves the quantity order (move-to-front of the selected quantity). Runs
  // once: on the close box, or at the end of the process.
  void Form_Unload();

  // "Stop Script" (its context menu, Ctrl+Break): answers the dialog as
  // Cancel does, and marks the script that asked to be stopped.
  void mnuStopScript_Click();

  // Shows the dialog modally (no owner) and returns the value field's text
  // once OK, Cancel or the close box ended it. With `offerStop` the dialog
  // also offers "Stop Script"; *stopChosen tells whether it was chosen.
  QString RunModal(bool offerStop = false, bool* stopChosen = nullptr);

  bool UnitAreaOpen() const { return unitAreaOpen_; }
  bool IsUnloaded() const { return unloaded_; }
  const ::zel::QuantityOrder& QuantityOrder() const { return quantityOrder_; }
  const UnitTable& LoadedUnits() const { return unitTable_; }
  // The 32 x 32 picture the guide image shows until a script sets one.
  static QPixmap LogoPicture();

  // Controls, named as in the form's design.
  QLabel* imgGuidePicture = nullptr;
  QPlainTextEdit* txtCaption = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* cmdExit = nullptr;
  QPushButton* cmdUnitConv = nullptr;
  QLabel* Label2 = nullptr;
  QComboBox* txtBaseValue = nullptr;
  QFrame* fraUnitConv = nullptr;
  QLabel* Label1 = nullptr;
  QComboBox* cmbUnit = nullptr;
  std::array<QListWidget*, 2> lstUnitList{};
  std::array<QPushButton*, 2> cmdConvertBtn{};
  // The dialog's context menu entry, offered while a script waits on it.
  QAction* mnuStopScript = nullptr;

 protected:
  void reject() override;  // Esc
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void Form_Initialize();
  // Sets the client size so that the outer size (frame included) is the
  // given twip size.
  void ApplyOuterSize();

  ::zel::QuantityOrder quantityOrder_{};
  UnitTable unitTable_;
  bool unitAreaOpen_ = false;
  int outerHeightTwips_ = kDialogCollapsedHeight;
  bool shownBefore_ = false;
  bool unloaded_ = false;
  bool stopOffered_ = false;
  bool stopChosen_ = false;
};

}  // namespace zel
