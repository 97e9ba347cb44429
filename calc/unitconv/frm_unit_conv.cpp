#include <QAction>
#include "frm_unit_conv.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>

#include "app_fonts.h"
#include "app_settings.h"
#include "frm_main.h"
#include "prompt_service.h"
#include "twips.h"
#include "window_placement.h"
#include "unit_conv.h"
#include "unit_lists.h"
#include "window_registry.h"

namespace zel {

namespace {

QPointer<frmUnitConv> g_window;

// The design keeps this much client area below and to the right of the
// bottom buttons.
constexpr int kBottomMargin = 75;
constexpr int kRightMargin = 90;

QString ToQString(const std::string& utf8) { return QString::fromStdString(utf8); }

// Rows of one fixed height. The design fits the longest unit list (11
// units) into the list box; the replacement face runs taller than the
// original, and without this the last units would need scrolling.
class FixedRowDelegate : public QStyledItemDelegate {
 public:
  FixedRowDelegate(int rowHeight, QObject* parent)
      : QStyledItemDelegate(parent), rowHeight_(rowHeight) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::min(size.height(), rowHeight_));
    return size;
  }

 private:
  int rowHeight_;
};

void FitLongestUnitList(QListWidget* list) {
  size_t most = 0;
  for (const QuantityDef& q : Catalogue()) most = std::max(most, q.units.size());
  const int room = list->height() - 2 * list->frameWidth();
  // Never below the face's pixel size: the glyphs still fit, only the
  // face's internal leading goes.
  const int rowHeight = std::max(room / int(most), QFontInfo(list->font()).pixelSize());
  list->setItemDelegate(new FixedRowDelegate(rowHeight, list));
  list->setUniformItemSizes(true);
}

}  // namespace

frmUnitConv::frmUnitConv(frmMain& main)
    : QWidget(nullptr), main_(&main), geometry_(*this, {kUnitConvSection, "0", "0", "0", "0"}) {
  setObjectName(QStringLiteral("frmUnitConv"));
  setWindowTitle(QStringLiteral("Unit Conversion"));
  // A fixed border: close and minimise, no maximise.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setAttribute(Qt::WA_DeleteOnClose);
  // The main window's end ends the program even while this one is open; the
  // unload below still saves what this window keeps.
  setAttribute(Qt::WA_QuitOnClose, false);
  // The main window's unload routine closes it (saving its state).
  RegisterWindow(this);
  connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
          &frmUnitConv::Form_Unload);
  BuildControls();
  Form_Initialize();
}

frmUnitConv::~frmUnitConv() = default;

void frmUnitConv::BuildControls() {
  // Controls without a font of their own use the proportional face at 9 pt.
  setFont(ProportionalFont(9));
  const QFont fixed = FixedFont(9);
  QFont unitLabel = FixedFont(9.75, true);
  unitLabel.setUnderline(true);
  const QFont arrows = ProportionalFont(18, true);
  const QFont bottomButtons = ProportionalFont(11.25, true);

  // Created in tab order, so that the focus chain follows the design.
  Frame1 = new QFrame(this);
  Frame1->setObjectName(QStringLiteral("Frame1"));
  Frame1->setFrameShape(QFrame::NoFrame);
  SetGeometryTwips(Frame1, 120, 1680, 6255, 2055);

  const int listLeft[2] = {0, 3480};
  for (int i = 0; i < 2; ++i) {
    QListWidget* list = new QListWidget(Frame1);
    list->setObjectName(QStringLiteral("lstUnitList%1").arg(i));
    list->setFont(fixed);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    SetGeometryTwips(list, listLeft[i], 0, 2655, 2040);
    FitLongestUnitList(list);
    lstUnitList[size_t(i)] = list;
  }
  const int buttonTop[2] = {120, 1440};
  const char* buttonText[2] = {">>", "<<"};
  for (int i = 0; i < 2; ++i) {
    auto* b = new QPushButton(QString::fromLatin1(buttonText[i]), Frame1);
    b->setObjectName(QStringLiteral("cmdConvertBtn%1").arg(i));
    b->setFont(arrows);
    b->setAutoDefault(false);
    SetGeometryTwips(b, 2760, buttonTop[i], 615, 495);
    cmdConvertBtn[size_t(i)] = b;
  }

  cmbUnit = new QComboBox(this);
  cmbUnit->setObjectName(QStringLiteral("cmbUnit"));
  cmbUnit->setEditable(false);
  cmbUnit->setFont(fixed);
  cmbUnit->setMaxVisibleItems(kQuantityCount);
  PlaceTwips(cmbUnit, 1080, 120, 5055, 300);

  txtBaseValue = new QLineEdit(this);
  txtBaseValue->setObjectName(QStringLiteral("txtBaseValue"));
  txtBaseValue->setFont(fixed);
  SetGeometryTwips(txtBaseValue, 120, 1200, 2655, 375);

  txtConvertedValue = new QLineEdit(this);
  txtConvertedValue->setObjectName(QStringLiteral("txtConvertedValue"));
  txtConvertedValue->setFont(fixed);
  SetGeometryTwips(txtConvertedValue, 3600, 1200, 2655, 375);

  auto label = [this](const char* name, const char* caption) {
    auto* l = new QLabel(QString::fromLatin1(caption), this);
    l->setObjectName(QString::fromLatin1(name));
    return l;
  };
  Label1 = label("Label1", "Base Value in");
  PlaceTwips(Label1, 120, 600, 1080, 180);
  Label2 = label("Label2", "Converted Value in");
  PlaceTwips(Label2, 3600, 600, 1470, 180);

  cmdReplace = new QPushButton(QStringLiteral("Replace"), this);
  cmdReplace->setObjectName(QStringLiteral("cmdReplace"));
  cmdReplace->setFont(bottomButtons);
  cmdReplace->setAutoDefault(false);
  SetGeometryTwips(cmdReplace, 120, 3840, 3015, 495);

  cmdExit = new QPushButton(QStringLiteral("Exit"), this);
  cmdExit->setObjectName(QStringLiteral("cmdExit"));
  cmdExit->setFont(bottomButtons);
  cmdExit->setAutoDefault(false);
  SetGeometryTwips(cmdExit, 3240, 3840, 3015, 495);

  Label3 = label("Label3", "Unit");
  PlaceTwips(Label3, 120, 240, 855, 255);
  lblBaseUnit = label("lblBaseUnit", "");
  lblBaseUnit->setFont(unitLabel);
  PlaceTwips(lblBaseUnit, 120, 840, 2655, 255);
  lblUnitConverted = label("lblUnitConverted", "");
  lblUnitConverted->setFont(unitLabel);
  PlaceTwips(lblUnitConverted, 3600, 840, 2655, 255);

  QWidget* order[] = {lstUnitList[0],   lstUnitList[1], cmdConvertBtn[0],
                      cmdConvertBtn[1], cmbUnit,        txtBaseValue,
                      txtConvertedValue, cmdReplace,    cmdExit};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  lstUnitList[0]->setFocus();

  // A pick from the list is a click even when it picks the current entry;
  // code that sets the index calls the handler itself.
  connect(cmbUnit, &QComboBox::activated, this, [this](int) { cmbUnit_Click(); });
  for (int i = 0; i < 2; ++i) {
    // A new entry by mouse, keys or code, and a click on the current one.
    connect(lstUnitList[size_t(i)], &QListWidget::currentRowChanged, this,
            [this, i](int) { lstUnitList_Click(i); });
    connect(lstUnitList[size_t(i)], &QListWidget::itemClicked, this,
            [this, i](QListWidgetItem*) { lstUnitList_Click(i); });
    connect(cmdConvertBtn[size_t(i)], &QPushButton::clicked, this,
            [this, i] { cmdConvertBtn_Click(i); });
  }
  connect(cmdReplace, &QPushButton::clicked, this, &frmUnitConv::cmdReplace_Click);
  connect(cmdExit, &QPushButton::clicked, this, &frmUnitConv::cmdExit_Click);
}

void frmUnitConv::Form_Initialize() {
  if (geometry_.HasStoredPlace()) {
    const StoredGeometry g = geometry_.Read();
    move(ReachableOuter(g.top, g.left, kUnitConvOuterHeight, kUnitConvOuterWidth, QPoint(0, 0))
             .topLeft());
  } else {
    // No place of its own yet: beside the main window, so that Replace
    // can be seen arriving in the input line.
    const QSize outer(TwipsToPixelsX(kUnitConvOuterWidth), TwipsToPixelsY(kUnitConvOuterHeight));
    move(PlaceBesideWindow(this, outer, main_, main_ ? main_->txtUserInput : nullptr).topLeft());
  }
  Form_Resize();

  SettingsStore& s = AppSettings();

  quantityOrder_ = ReadQuantityOrder(s, kUnitConvSection);
  FillQuantitySelector(cmbUnit, quantityOrder_);
  cmbUnit->setCurrentIndex(0);
  cmbUnit_Click();
  lstUnitList[0]->setCurrentRow(0);
  lstUnitList[1]->setCurrentRow(0);
  // The button index is the selector's position, 0 here: a forward
  // conversion of the still empty base value, which shows 0.
  cmdConvertBtn_Click(cmbUnit->currentIndex());
}

void frmUnitConv::Form_Resize() {
  if (resizing_ || (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) return;
  resizing_ = true;
  SetFixedOuterTwips(this, kUnitConvOuterWidth, kUnitConvOuterHeight,
                     QSize(cmdExit->geometry().right() + 1 + TwipsToPixelsX(kRightMargin),
                           cmdExit->geometry().bottom() + 1 + TwipsToPixelsY(kBottomMargin)));
  resizing_ = false;
}

void frmUnitConv::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Form_Resize();
}

void frmUnitConv::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The frame's size is known only once the window exists, and some window
  // managers add it after the window is mapped.
  Form_Resize();
  AgainOnceFramed(this, [this] { Form_Resize(); });
}

void frmUnitConv::cmbUnit_Click() {
  LoadQuantity(unitTable_, cmbUnit->currentText().toStdString());
  FillUnitLists(unitTable_, lstUnitList[0], lstUnitList[1]);
}

void frmUnitConv::lstUnitList_Click(int) {
  lblBaseUnit->setText(ToQString(CurrentUnitLabel(lstUnitList[0])));
  lblUnitConverted->setText(ToQString(CurrentUnitLabel(lstUnitList[1])));
}

void frmUnitConv::cmdConvertBtn_Click(int index) {
  const ConversionEffects fx = PressConvertButton(
      unitTable_, index, CurrentUnitLabel(lstUnitList[0]), CurrentUnitLabel(lstUnitList[1]),
      txtBaseValue->text().toStdString());
  if (!fx.message.empty())
    ShowPrompt(QString(), ToQString(fx.message), PromptIcon::Exclamation, PromptButtons::OK);
  if (fx.convertedText) txtConvertedValue->setText(ToQString(*fx.convertedText));
  if (fx.labels) {
    lblBaseUnit->setText(ToQString(fx.labels->base));
    lblUnitConverted->setText(ToQString(fx.labels->converted));
  }
}

void frmUnitConv::cmdReplace_Click() {
  if (!main_) return;
  QLineEdit* input = main_->txtUserInput->lineEdit();
  const QString line = input->text();
  const ReplaceRange range = RangeToReplace(int(line.size()), input->selectionStart(),
                                            int(input->selectedText().size()));
  const QString value = txtConvertedValue->text();
  QString result = line;
  result.replace(range.start, range.length, value);
  // Set as a whole: an insert would count as typing and let the history
  // complete it.
  main_->txtUserInput->setEditText(result);
  input->setCursorPosition(range.start + int(value.size()));
}

void frmUnitConv::cmdExit_Click() { hide(); }

void frmUnitConv::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  geometry_.Save(frameGeometry());
  SettingsStore& s = AppSettings();
  MoveToFront(quantityOrder_, cmbUnit->currentIndex());
  SaveQuantityOrder(s, kUnitConvSection, quantityOrder_);
}

void frmUnitConv::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
  // Unloaded is gone, even while the deletion waits for the event loop: the
  // next opening builds a new window from the settings just saved.
  if (g_window == this) g_window = nullptr;
}

frmUnitConv* UnitConvWindow() { return g_window.data(); }

void ShowUnitConvWindow(frmMain& main) {
  const QLineEdit* input = main.txtUserInput->lineEdit();
  const std::string start =
      StartValue(input->text().toStdString(), input->selectedText().toStdString());
  if (!g_window) g_window = new frmUnitConv(main);
  frmUnitConv& w = *g_window;
  w.txtBaseValue->setText(ToQString(start));
  w.setWindowState(w.windowState() & ~Qt::WindowMinimized);
  w.show();
  w.raise();
  w.activateWindow();
}

void AttachUnitConversion(frmMain& main) {
  QObject::connect(main.mnuUnitConv, &QAction::triggered, &main, [&main] { ShowUnitConvWindow(main); });
}

}  // namespace zel
