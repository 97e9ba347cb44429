#include "prompt_service.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace zel {

namespace {

PromptRecorder* g_recorder = nullptr;

QString TitleOrApp(const QString& title) {
  return title.isEmpty() ? QStringLiteral("zelCalc") : title;
}

// The buttons of each set in the order they appear, as answers.
std::vector<int> AnswersOf(PromptButtons buttons) {
  switch (buttons) {
    case PromptButtons::OK: return {kAnswerOK};
    case PromptButtons::OKCancel: return {kAnswerOK, kAnswerCancel};
    case PromptButtons::AbortRetryIgnore: return {kAnswerAbort, kAnswerRetry, kAnswerIgnore};
    case PromptButtons::YesNoCancel: return {kAnswerYes, kAnswerNo, kAnswerCancel};
    case PromptButtons::YesNo: return {kAnswerYes, kAnswerNo};
    case PromptButtons::RetryCancel: return {kAnswerRetry, kAnswerCancel};
  }
  return {kAnswerOK};
}

QMessageBox::StandardButton QtButton(int answer) {
  switch (answer) {
    case kAnswerOK: return QMessageBox::Ok;
    case kAnswerCancel: return QMessageBox::Cancel;
    case kAnswerAbort: return QMessageBox::Abort;
    case kAnswerRetry: return QMessageBox::Retry;
    case kAnswerIgnore: return QMessageBox::Ignore;
    case kAnswerYes: return QMessageBox::Yes;
    case kAnswerNo: return QMessageBox::No;
  }
  return QMessageBox::NoButton;
}

QMessageBox::Icon QtIcon(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::None: return QMessageBox::NoIcon;
    case PromptIcon::Critical: return QMessageBox::Critical;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Exclamation: return QMessageBox::Warning;
    case PromptIcon::Information: return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

// A box without Cancel answers only through its buttons: Esc and the close
// box do nothing (Qt would take them as No), so a stray Esc on a Yes/No
// question never decides it.
class PromptBox : public QMessageBox {
 public:
  PromptBox(QMessageBox::Icon icon, const QString& title, const QString& text, QWidget* owner,
            bool answersOnlyByButton)
      : QMessageBox(icon, title, text, QMessageBox::NoButton, owner),
        buttonsOnly_(answersOnlyByButton) {
    if (buttonsOnly_)
      setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                     ~Qt::WindowCloseButtonHint);
  }
  void AddStopButton() {
    stop_ = addButton(QString::fromLatin1(kStopScriptCaption), QMessageBox::ActionRole);
    stop_->setObjectName(QStringLiteral("cmdStopScript"));
    stop_->setToolTip(QString::fromLatin1(kStopScriptTip));
  }
  QAbstractButton* StopButton() const { return stop_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (stop_ && IsCtrlBreak(event)) {
      event->accept();
      stop_->click();
      return;
    }
    if (buttonsOnly_ && event->matches(QKeySequence::Cancel)) {
      event->accept();
      return;
    }
    QMessageBox::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    if (buttonsOnly_ && !clickedButton()) {
      event->ignore();
      return;
    }
    QMessageBox::closeEvent(event);
  }

 private:
  bool buttonsOnly_;
  QAbstractButton* stop_ = nullptr;
};

// InputBox of a running script: the prompt, the text, OK, Cancel and
// "Stop Script".
class ScriptInputBox : public QDialog {
 public:
  ScriptInputBox(const QString& title, const QString& prompt, const QString& text, QWidget* owner)
      : QDialog(owner) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(prompt, this);
    label->setWordWrap(true);
    edit_ = new QLineEdit(text, this);
    edit_->selectAll();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* stop = buttons->addButton(QString::fromLatin1(kStopScriptCaption),
                                           QDialogButtonBox::ActionRole);
    stop->setObjectName(QStringLiteral("cmdStopScript"));
    stop->setToolTip(QString::fromLatin1(kStopScriptTip));
    stop->setAutoDefault(false);
    layout->addWidget(label);
    layout->addWidget(edit_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(stop, &QPushButton::clicked, this, [this] {
      stopped_ = true;
      reject();
    });
  }
  QString Text() const { return edit_->text(); }
  bool Stopped() const { return stopped_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (IsCtrlBreak(event)) {
      event->accept();
      stopped_ = true;
      reject();
      return;
    }
    QDialog::keyPressEvent(event);
  }

 private:
  QLineEdit* edit_ = nullptr;
  bool stopped_ = false;
};

// Ctrl+Break: the platform's key for stopping a program. With Ctrl held the
// Pause key gives the X11 keysym Break, which Qt passes on without a key
// code of its own; elsewhere it arrives as Pause or Cancel.
constexpr quint32 kX11BreakKeysym = 0xFF6B;

QWidget* OwnerWindow() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

}  // namespace

const char kStopScriptCaption[] = "Stop Script";
const char kStopScriptTip[] = "Answers this box and stops the running script (Ctrl+Break)";

bool IsCtrlBreak(const QKeyEvent* event) {
  const bool breakKey = event->key() == Qt::Key_Pause || event->key() == Qt::Key_Cancel ||
                        (event->key() == 0 && event->nativeVirtualKey() == kX11BreakKeysym);
  return breakKey && (event->modifiers() & Qt::ControlModifier);
}

int DefaultAnswer(PromptButtons buttons, int defaultButton) {
  const std::vector<int> answers = AnswersOf(buttons);
  if (defaultButton < 0 || size_t(defaultButton) >= answers.size()) defaultButton = 0;
  return answers[size_t(defaultButton)];
}

int StoppedAnswer(PromptButtons buttons) {
  const std::vector<int> answers = AnswersOf(buttons);
  for (int preferred : {kAnswerCancel, kAnswerNo, kAnswerAbort})
    if (std::find(answers.begin(), answers.end(), preferred) != answers.end()) return preferred;
  return answers.front();
}

int ShowPrompt(const QString& title, const QString& text, PromptIcon icon, PromptButtons buttons,
               int defaultButton) {
  return AskPrompt(PromptRequest{TitleOrApp(title), text, icon, buttons, defaultButton});
}

int AskPrompt(const PromptRequest& given, bool* stopScript) {
  PromptRequest request = given;
  request.title = TitleOrApp(given.title);
  request.offersStop = stopScript != nullptr;
  const PromptButtons buttons = request.buttons;
  const int defaultButton = request.defaultButton;
  const std::vector<int> answers = AnswersOf(buttons);
  if (g_recorder) {
    g_recorder->asked_.push_back(request);
    if (g_recorder->answers_.empty()) return DefaultAnswer(buttons, defaultButton);
    const int answer = g_recorder->answers_.front();
    g_recorder->answers_.pop_front();
    if (answer == kAnswerStopScript && stopScript) {
      *stopScript = true;
      return StoppedAnswer(buttons);
    }
    return answer;
  }

  // A lone OK may be dismissed with Esc; a box with Cancel takes Esc as
  // Cancel; any other set needs one of its buttons.
  const bool hasCancel =
      std::find(answers.begin(), answers.end(), kAnswerCancel) != answers.end();
  PromptBox box(QtIcon(request.icon), request.title, request.text, OwnerWindow(),
                answers.size() > 1 && !hasCancel);
  for (int answer : answers) box.addButton(QtButton(answer));
  box.setDefaultButton(QtButton(DefaultAnswer(buttons, defaultButton)));
  if (stopScript) {
    box.AddStopButton();
    // A second button would leave a lone OK without Esc.
    if (answers.size() == 1) box.setEscapeButton(box.button(QtButton(answers[0])));
  }
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked && clicked == box.StopButton()) {
    *stopScript = true;
    return StoppedAnswer(buttons);
  }
  if (clicked) {
    const QMessageBox::StandardButton which = box.standardButton(clicked);
    for (int answer : answers)
      if (QtButton(answer) == which) return answer;
  }
  // Closed without a button: Cancel when the box has one.
  for (int answer : answers)
    if (answer == kAnswerCancel) return answer;
  return answers.size() == 1 ? answers[0] : DefaultAnswer(buttons, defaultButton);
}

int ShowScriptMsgBox(const QString& prompt, int style, const QString& title, bool* stopScript) {
  int set = style & 0x7;
  if (set > 5) set = 0;
  int iconBits = style & 0x70;
  PromptIcon icon = PromptIcon::None;
  if (iconBits == 16 || iconBits == 32 || iconBits == 48 || iconBits == 64)
    icon = static_cast<PromptIcon>(iconBits);
  const int defaultButton = (style >> 8) & 0x3;
  return AskPrompt(
      PromptRequest{TitleOrApp(title), prompt, icon, static_cast<PromptButtons>(set), defaultButton},
      stopScript);
}

std::optional<QString> AskText(const QString& title, const QString& prompt,
                               const QString& defaultText, bool* stopScript) {
  TextRequest request{TitleOrApp(title), prompt, defaultText, stopScript != nullptr};
  if (g_recorder) {
    g_recorder->askedText_.push_back(request);
    if (g_recorder->textAnswers_.empty()) return defaultText;
    const PromptRecorder::TextAnswer answer = g_recorder->textAnswers_.front();
    g_recorder->textAnswers_.pop_front();
    if (answer.stop && stopScript) *stopScript = true;
    if (answer.cancelled) return std::nullopt;
    return answer.text;
  }
  if (stopScript) {
    ScriptInputBox box(request.title, prompt, defaultText, OwnerWindow());
    const bool ok = box.exec() == QDialog::Accepted;
    if (box.Stopped()) *stopScript = true;
    if (!ok) return std::nullopt;
    return box.Text();
  }
  bool ok = false;
  QString text = QInputDialog::getText(OwnerWindow(), request.title, prompt, QLineEdit::Normal,
                                       defaultText, &ok);
  if (!ok) return std::nullopt;
  return text;
}

PromptRecorder::PromptRecorder() : previous_(g_recorder) { g_recorder = this; }

PromptRecorder::PromptRecorder(std::initializer_list<int> answers) : PromptRecorder() {
  for (int a : answers) answers_.push_back(a);
}

PromptRecorder::~PromptRecorder() { g_recorder = previous_; }

}  // namespace zel
