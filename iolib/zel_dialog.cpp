#include "zel_dialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <string>

#include "app_fonts.h"
#include "app_settings.h"
#include "conversion.h"
#include "guarded_text_edit.h"
#include "prompt_service.h"
#include "twips.h"
#include "unit_lists.h"

namespace zel {

namespace {

// A label whose caption is wider than the room left before the control to
// its right (the replacement face runs wider than the original) gets a
// smaller size of the same face instead of being cut off under that control.
void FitLabel(QLabel* label, int roomTwips) {
  const int room = TwipsToPixelsX(roomTwips);
  QFont f = label->font();
  while (label->sizeHint().width() > room && f.pointSizeF() > 6.0) {
    f.setPointSizeF(f.pointSizeF() - 0.25);
    label->setFont(f);
  }
  label->resize(std::min(label->sizeHint().width(), room), label->height());
}

QComboBox* MakeEditableCombo(QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setEditable(true);
  // The field keeps what the user typed: no inline completion from the list
  // and no adding of typed text to it on Enter.
  combo->setCompleter(nullptr);
  combo->setInsertPolicy(QComboBox::NoInsert);
  return combo;
}

}  // namespace

QPixmap zelDialog::LogoPicture() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient bg(0, 0, 0, 32);
  bg.setColorAt(0, QColor(40, 96, 160));
  bg.setColorAt(1, QColor(16, 48, 96));
  p.setPen(QPen(QColor(10, 30, 60), 1));
  p.setBrush(bg);
  p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);
  // A scale with a needle: the dialog asks for measured values.
  p.setPen(QPen(QColor(230, 240, 255), 2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(5, 7, 22, 22), 20 * 16, 140 * 16);
  for (int i = 0; i <= 4; ++i) {
    p.save();
    p.translate(16, 18);
    p.rotate(-70 + i * 35);
    p.drawLine(QPointF(0, -11), QPointF(0, -8));
    p.restore();
  }
  p.setPen(QPen(QColor(255, 170, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 18), QPointF(23, 10));
  p.setBrush(QColor(255, 170, 40));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(16, 18), 2.2, 2.2);
  // An input line under the scale.
  p.setBrush(QColor(255, 255, 255));
  p.drawRect(QRectF(6, 23, 20, 5));
  p.setBrush(QColor(16, 48, 96));
  p.drawRect(QRectF(8, 24, 1, 3));
  return pixmap;
}

zelDialog::zelDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("zelDialog"));
  setWindowTitle(QStringLiteral("Data Input Dialog"));
  // Fixed dialog border: a close box, no minimise or maximise.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setSizeGripEnabled(false);
  // The program's icon, also where the dialog is used without the program.
  setWindowIcon(QIcon(LogoPicture()));
  BuildControls();
  Form_Initialize();
}

zelDialog::~zelDialog() = default;

void zelDialog::BuildControls() {
  // Controls without a font of their own use the proportional face at 9 pt,
  // the system's usual dialog font.
  setFont(ProportionalFont(9));
  const QFont prompt = ProportionalFont(9.75, true);
  const QFont value = ProportionalFont(9.75);
  const QFont arrows = ProportionalFont(9, true);

  imgGuidePicture = new QLabel(this);
  imgGuidePicture->setObjectName(QStringLiteral("imgGuidePicture"));
  imgGuidePicture->setScaledContents(true);
  imgGuidePicture->setPixmap(LogoPicture());
  SetGeometryTwips(imgGuidePicture, 60, 120, 1335, 1335);

  txtCaption = new GuardedTextEdit(this);
  txtCaption->setObjectName(QStringLiteral("txtCaption"));
  txtCaption->setFont(prompt);
  txtCaption->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtCaption->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  txtCaption->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  txtCaption->setTabChangesFocus(true);
  // The prompt is for reading: Enter in it presses OK, as everywhere else
  // in the dialog, instead of breaking its line.
  txtCaption->installEventFilter(this);
  SetGeometryTwips(txtCaption, 1500, 120, 3015, 1335);

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  SetGeometryTwips(OKButton, 4620, 120, 1215, 375);

  cmdExit = new QPushButton(QStringLiteral("Cancel"), this);
  cmdExit->setObjectName(QStringLiteral("cmdExit"));
  SetGeometryTwips(cmdExit, 4620, 600, 1215, 375);

  cmdUnitConv = new QPushButton(QStringLiteral("Unit Conv"), this);
  cmdUnitConv->setObjectName(QStringLiteral("cmdUnitConv"));
  SetGeometryTwips(cmdUnitConv, 4620, 1080, 1215, 375);

  Label2 = new QLabel(QStringLiteral("User Input/Selection"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  PlaceTwips(Label2, 120, 1620, 1590, 180);
  FitLabel(Label2, 1800 - 120 - 45);

  txtBaseValue = MakeEditableCombo(this);
  txtBaseValue->setObjectName(QStringLiteral("txtBaseValue"));
  txtBaseValue->setFont(value);
  PlaceTwips(txtBaseValue, 1800, 1560, 3975, 315);

  fraUnitConv = new QFrame(this);
  fraUnitConv->setObjectName(QStringLiteral("fraUnitConv"));
  fraUnitConv->setFrameStyle(QFrame::Box | QFrame::Sunken);
  SetGeometryTwips(fraUnitConv, 60, 2040, 5775, 2655);

  Label1 = new QLabel(QStringLiteral("Measurement Unit"), fraUnitConv);
  Label1->setObjectName(QStringLiteral("Label1"));
  PlaceTwips(Label1, 180, 300, 1395, 180);
  FitLabel(Label1, 1740 - 180 - 45);

  cmbUnit = MakeEditableCombo(fraUnitConv);
  cmbUnit->setObjectName(QStringLiteral("cmbUnit"));
  cmbUnit->setMaxVisibleItems(kQuantityCount);
  PlaceTwips(cmbUnit, 1740, 240, 3975, 300);

  const int listLeft[2] = {120, 3180};
  const int buttonTop[2] = {840, 1920};
  const char* buttonText[2] = {">>", "<<"};
  for (int i = 0; i < 2; ++i) {
    lstUnitList[i] = new QListWidget(fraUnitConv);
    lstUnitList[i]->setObjectName(QStringLiteral("lstUnitList%1").arg(i));
    SetGeometryTwips(lstUnitList[i], listLeft[i], 660, 2475, 1860);

    cmdConvertBtn[i] = new QPushButton(QString::fromLatin1(buttonText[i]), fraUnitConv);
    cmdConvertBtn[i]->setObjectName(QStringLiteral("cmdConvertBtn%1").arg(i));
    cmdConvertBtn[i]->setFont(arrows);
    SetGeometryTwips(cmdConvertBtn[i], 2640, buttonTop[i], 495, 375);
    connect(cmdConvertBtn[i], &QPushButton::clicked, this, [this, i] { cmdConvertBtn_Click(i); });
  }

  // Focus order of the form's design; labels and the frame take no focus.
  QWidget* order[] = {txtBaseValue,     OKButton,         cmdUnitConv, cmdExit,
                      cmbUnit,          lstUnitList[0],   cmdConvertBtn[0],
                      cmdConvertBtn[1], txtCaption,       lstUnitList[1]};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(OKButton, &QPushButton::clicked, this, &zelDialog::OKButton_Click);
  connect(cmdExit, &QPushButton::clicked, this, &zelDialog::cmdExit_Click);
  connect(cmdUnitConv, &QPushButton::clicked, this, &zelDialog::cmdUnitConv_Click);
  // The layout has no room for another button: a script's stop is offered
  // by the context menu and Ctrl+Break, as on the script's message boxes.
  mnuStopScript = new QAction(QString::fromLatin1(kStopScriptCaption) + QStringLiteral("\tCtrl+Break"), this);
  mnuStopScript->setObjectName(QStringLiteral("mnuStopScript"));
  mnuStopScript->setToolTip(QString::fromLatin1(kStopScriptTip));
  connect(mnuStopScript, &QAction::triggered, this, &zelDialog::mnuStopScript_Click);

  // A pick from the list is a click even when it picks the current entry;
  // code that sets the index calls the handler itself.
  connect(cmbUnit, &QComboBox::activated, this, [this](int) { cmbUnit_Click(); });
}

void zelDialog::Form_Initialize() {
  quantityOrder_ = ReadQuantityOrder(AppSettings(), kUnitOrderSection);
  FillQuantitySelector(cmbUnit, quantityOrder_);
  cmbUnit->setCurrentIndex(0);
  cmbUnit_Click();
  for (QListWidget* list : lstUnitList) list->setCurrentRow(0);
  cmdConvertBtn_Click(0);  // the empty value field reads 0: the field shows 0
  unitAreaOpen_ = true;
  cmdUnitConv_Click();     // starts collapsed
}

void zelDialog::cmdUnitConv_Click() {
  outerHeightTwips_ = unitAreaOpen_ ? kDialogCollapsedHeight : kDialogExpandedHeight;
  unitAreaOpen_ = !unitAreaOpen_;
  // Hidden while collapsed: the frame's top edge would show as a line
  // along the dialog's bottom.
  fraUnitConv->setVisible(unitAreaOpen_);
  ApplyOuterSize();
}

void zelDialog::ApplyOuterSize() {
  const QSize client = ClientSizeForOuterTwips(this, kDialogOuterWidth, outerHeightTwips_);
  const int width = client.width();
  int height = client.height();
  // A window manager with a tall title bar must not cut off the value field
  // (collapsed) or the unit lists (expanded): the client area then grows.
  const QWidget* lowest = unitAreaOpen_ ? static_cast<QWidget*>(fraUnitConv) : txtBaseValue;
  height = std::max(height, lowest->geometry().bottom() + 1 + TwipsToPixelsY(60));
  setFixedSize(width, height);
}

void zelDialog::OKButton_Click() { QDialog::done(QDialog::Accepted); }

void zelDialog::cmdExit_Click() {
  txtBaseValue->setEditText(QString());
  QDialog::done(QDialog::Rejected);
}

void zelDialog::reject() { cmdExit_Click(); }

void zelDialog::mnuStopScript_Click() {
  if (!stopOffered_) return;
  stopChosen_ = true;
  cmdExit_Click();
}

void zelDialog::keyPressEvent(QKeyEvent* event) {
  // What the focused control leaves unhandled: Ctrl+Break among it.
  if (stopOffered_ && IsCtrlBreak(event)) {
    event->accept();
    mnuStopScript_Click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void zelDialog::contextMenuEvent(QContextMenuEvent* event) {
  // Reached from the picture, the labels, the buttons and the dialog's
  // background; the text fields keep their own menus.
  if (!stopOffered_) {
    event->ignore();
    return;
  }
  QMenu menu(this);
  menu.addAction(mnuStopScript);
  menu.exec(event->globalPos());
}

bool zelDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtCaption && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      OKButton->click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void zelDialog::cmbUnit_Click() {
  LoadQuantity(unitTable_, cmbUnit->currentText().toStdString());
  FillUnitLists(unitTable_, lstUnitList[0], lstUnitList[1]);
}

void zelDialog::cmdConvertBtn_Click(int index) {
  if (index != kForward && index != kReverse) return;
  // With a unit list left without a selection (SetUnitId with unit -1) there
  // is no pair to convert: the field stays as it is.
  if (lstUnitList[0]->currentRow() < 0 || lstUnitList[1]->currentRow() < 0) return;
  const ConvertedText result =
      ConvertValueText(unitTable_, index, CurrentUnitLabel(lstUnitList[0]),
                       CurrentUnitLabel(lstUnitList[1]),
                       txtBaseValue->currentText().toStdString());
  const std::string_view message = ConversionMessage(result.outcome);
  if (!message.empty())
    ShowPrompt(QString(), QString::fromUtf8(message.data(), qsizetype(message.size())),
               PromptIcon::Exclamation, PromptButtons::OK);
  if (result.text) txtBaseValue->setEditText(QString::fromStdString(*result.text));
}

void zelDialog::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  MoveToFront(quantityOrder_, cmbUnit->currentIndex());
  SaveQuantityOrder(AppSettings(), kUnitOrderSection, quantityOrder_);
}

void zelDialog::closeEvent(QCloseEvent* event) {
  Form_Unload();
  // A dialog closed through its frame is gone: its getData gets the value
  // field's design-time text, which is empty.
  txtBaseValue->setEditText(QString());
  event->accept();
  QDialog::done(QDialog::Rejected);
}

void zelDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The frame's size is known only once the window exists.
  ApplyOuterSize();
  if (!shownBefore_) {
    shownBefore_ = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->availableGeometry();
      const QSize outer = frameGeometry().size();
      move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
    }
    txtBaseValue->setFocus();
  }
  // Some window managers add the frame after the window is mapped.
  QTimer::singleShot(100, this, [this] { ApplyOuterSize(); });
}

QString zelDialog::RunModal(bool offerStop, bool* stopChosen) {
  stopChosen_ = false;
  stopOffered_ = offerStop;
  cmdExit->setToolTip(offerStop ? QStringLiteral("Ctrl+Break: cancel and stop the running script")
                                : QString());
  setModal(true);
  exec();
  const QString text = txtBaseValue->currentText();
  hide();
  stopOffered_ = false;
  if (stopChosen) *stopChosen = stopChosen_;
  return text;
}

}  // namespace zel
