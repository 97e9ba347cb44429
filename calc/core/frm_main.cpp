#include "frm_main.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <any>

#include "app_fonts.h"
#include "app_settings.h"
#include "keypad.h"
#include "layout.h"
#include "messages.h"
#include "prompt_service.h"
#include "twips.h"
#include "window_placement.h"
#include "zel_calculator.h"

namespace zel {

namespace {

const char* const kCaptions[kKeyCount] = {"0", ".", "EXP", "1", "2", "3", "4",  "5",  "6",   "7",
                                          "8", "9", "ANS", "EXE", "+", "-", "*", "/", "CE", "AC"};

bool IsSmallCaption(int index) {
  return index == kKeyExp || index == kKeyAns || index == kKeyExe || index == kKeyCe ||
         index == kKeyAc;
}

}  // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(ToQ(kMainCaption));
  auto* client = new QWidget(this);
  setCentralWidget(client);

  const QFont textFont = FixedFont(9.75);
  txtUserInput = new QComboBox(client);
  txtUserInput->setObjectName(QStringLiteral("txtUserInput"));
  txtUserInput->setEditable(true);
  txtUserInput->setInsertPolicy(QComboBox::NoInsert);
  txtUserInput->setFont(textFont);
  // Keys arrive at the combo box when it has the focus and at its line
  // edit when sent there directly; Enter and Escape are taken at both.
  txtUserInput->installEventFilter(this);
  txtUserInput->lineEdit()->installEventFilter(this);

  txtOutputDisplay = new QPlainTextEdit(client);
  txtOutputDisplay->setObjectName(QStringLiteral("txtOutputDisplay"));
  txtOutputDisplay->setFont(textFont);
  txtOutputDisplay->setLineWrapMode(QPlainTextEdit::NoWrap);
  txtOutputDisplay->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtOutputDisplay->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtOutputDisplay->viewport()->installEventFilter(this);

  fraUserTenKey = new QFrame(client);
  fraUserTenKey->setObjectName(QStringLiteral("fraUserTenKey"));
  fraUserTenKey->setFrameShape(QFrame::NoFrame);
  const QFont bigKeys = ProportionalFont(18, true);
  const QFont smallKeys = ProportionalFont(9, true);
  for (int i = 0; i < kKeyCount; ++i) {
    auto* b = new QPushButton(QString::fromLatin1(kCaptions[i]), fraUserTenKey);
    b->setObjectName(QStringLiteral("cmdUserNumKey_%1").arg(i));
    b->setFont(IsSmallCaption(i) ? smallKeys : bigKeys);
    b->setAutoDefault(false);
    const TwRect r = KeyRect(i);
    SetGeometryTwips(b, r.left, r.top, r.width, r.height);
    connect(b, &QPushButton::clicked, this, [this, i] { cmdUserNumKey_Click(i); });
    cmdUserNumKey[size_t(i)] = b;
  }
  SetGeometryTwips(fraUserTenKey, 0, 0, kKeypadFrameWidth, kKeypadFrameHeight);
}

void frmMain::RestoreSettings() {
  SettingsStore& s = AppSettings();
  const int top = int(ReadNumber(s, "frmMain", "PositionT", "105"));
  const int left = int(ReadNumber(s, "frmMain", "PositionL", "105"));
  const int height = int(ReadNumber(s, "frmMain", "SizeH", "3495"));
  const int width = int(ReadNumber(s, "frmMain", "SizeW", "7605"));
  SetWindowTwips(top, left, height, width);
  gShowInput = ReadBool(s, "frmMain", "ShowInput", true);
  gDisplayEdit = ReadBool(s, "frmMain", "DisplayEdit", false);
  gACKeyClear = ReadBool(s, "frmMain", "ACKeyClear", false);
  txtOutputDisplay->setEnabled(true);
}

void frmMain::SetWindowTwips(int top, int left, int height, int width) {
  // The frame around the client area is known once the window is shown;
  // before that the outer size is taken as the client size.
  const QSize extra = frameGeometry().size() - geometry().size();
  const MainLayout l = ComputeMainLayout(width, height, 0);
  QRect outer(TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(l.width),
              TwipsToPixelsY(l.height));
  outer = KeepReachable(outer, QPoint(TwipsToPixelsX(105), TwipsToPixelsY(105)));
  move(outer.topLeft());
  resize(outer.size() - extra);
  // The frame is known only once the window is on screen: the outer size
  // is applied again then.
  pendingOuter_ = extra.isEmpty() ? outer.size() : QSize();
  ApplyLayout();
}

void frmMain::ApplyLayout() {
  if (laying_ || isMinimized()) return;
  laying_ = true;
  const QSize extra = frameGeometry().size() - geometry().size();
  if (pendingOuter_.isValid() && isVisible() && !extra.isEmpty()) {
    resize(pendingOuter_ - extra);
    pendingOuter_ = QSize();
  }
  const QSize outer = frameGeometry().size();
  const int inputHeight = PixelsToTwipsY(txtUserInput->sizeHint().height());
  const MainLayout l = ComputeMainLayout(PixelsToTwipsX(outer.width()),
                                         PixelsToTwipsY(outer.height()), inputHeight);
  const QSize wanted(TwipsToPixelsX(l.width), TwipsToPixelsY(l.height));
  if (wanted.width() > outer.width() || wanted.height() > outer.height())
    resize(size() + (wanted - outer).expandedTo(QSize(0, 0)));
  // Control positions are relative to the client area.
  SetGeometryTwips(txtUserInput, l.input.left, l.input.top, l.input.width, l.input.height);
  SetGeometryTwips(txtOutputDisplay, l.log.left, l.log.top, l.log.width, l.log.height);
  SetGeometryTwips(fraUserTenKey, l.keypad.left, l.keypad.top, l.keypad.width, l.keypad.height);
  laying_ = false;
}

void frmMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  ApplyLayout();
}

void frmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  ApplyLayout();
}

QString frmMain::LogText() const {
  QString t = txtOutputDisplay->toPlainText();
  t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return t;
}

void frmMain::AppendLog(const QString& text) {
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QTextCursor c(txtOutputDisplay->document());
  c.movePosition(QTextCursor::End);
  c.insertText(t);
}

void frmMain::cmdUserNumKey_Click(int index) {
  KeyState st;
  st.input = ToU16(txtUserInput->currentText());
  st.selText = ToU16(mSelText);
  if (!gLastAnswer.IsNull()) {
    try {
      st.lastAnswerText = vbs::ToText(gLastAnswer);
    } catch (const vbs::ScriptError&) {
    }
  }
  st.showInput = gShowInput;
  st.acKeyClear = gACKeyClear;

  KeyEffects fx = PressKey(st, index, [](const std::u16string& expression) {
    return JudgeValue(EvaluateExpression(expression));
  });

  if (fx.historyInsert) txtUserInput->insertItem(0, ToQ(*fx.historyInsert));
  if (fx.answerChanged) gLastAnswer = std::any_cast<vbs::Variant>(fx.answerValue);
  if (fx.clearLog) txtOutputDisplay->clear();
  if (!fx.logAppend.empty()) AppendLog(ToQ(fx.logAppend));
  if (fx.focusLogEnd) FocusTextBox(txtOutputDisplay);

  QLineEdit* edit = txtUserInput->lineEdit();
  const QString input = ToQ(st.input);
  if (fx.inputChanged || fx.historyInsert || edit->text() != input) {
    txtUserInput->setCurrentIndex(-1);
    txtUserInput->setEditText(input);
    edit->setCursorPosition(int(input.size()));
  }
  mSelText = ToQ(st.selText);
  if (fx.selectAllInput) edit->setSelection(0, int(input.size()));
  if (fx.focusInput) txtUserInput->setFocus();
}

bool frmMain::txtUserInput_KeyPress(int keyAscii) {
  if (keyAscii == 13) {
    cmdUserNumKey_Click(kKeyExe);
    return true;
  }
  if (keyAscii == 27) {
    txtUserInput->setEditText(QString());
    return true;
  }
  return false;
}

void frmMain::txtOutputDisplay_DblClick() {
  if (gACKeyClear) return;
  ShowPrompt(ToQ(kAppTitle), ToQ(kLogReadOnlyText), PromptIcon::Exclamation, PromptButtons::OK);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == txtUserInput || watched == txtUserInput->lineEdit()) &&
      event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    int ascii = 0;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) ascii = 13;
    else if (key->key() == Qt::Key_Escape) ascii = 27;
    if (ascii && txtUserInput_KeyPress(ascii)) return true;
  } else if (watched == txtOutputDisplay->viewport() &&
             event->type() == QEvent::MouseButtonDblClick) {
    txtOutputDisplay_DblClick();
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace zel
