#include "busy_state.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "app_fonts.h"
#include "messages.h"
#include "prompt_service.h"
#include "script_runner.h"
#include "zel_calculator.h"

namespace zel {

const char16_t kBusyRunningText[] = u"Running a script...";
const char16_t kBusyLoadingText[] = u"Loading the user library...";
// The activity while the engine is released: the scripts' objects end.
const char16_t kBusyReleasingText[] = u"Ending the scripts' objects (Class_Terminate)";
const char16_t kStopCaption[] = u"Stop";
// "A script is running. Stop the script?"
const char16_t kStopBeforeCloseText[] = u"スクリプトを実行中です。\r\nスクリプトを中止しますか？";

namespace {

QString RunningText(const QString& activity) {
  QString text = ToQ(kBusyRunningText);
  if (!activity.isEmpty()) text += QLatin1Char('\n') + activity;
  return text;
}

}  // namespace

ScriptBusyBar::ScriptBusyBar(QWidget* window, QWidget* anchor, QList<QWidget*> disable,
                             std::function<bool()> ownsScript)
    : QFrame(anchor->parentWidget()), window_(window), anchor_(anchor),
      ownsScript_(std::move(ownsScript)) {
  setObjectName(QStringLiteral("fraScriptBusy"));
  for (QWidget* w : disable) disable_.append(w);
  setFrameShape(QFrame::StyledPanel);
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(this);
  lblActivity = new QLabel(RunningText(QString()), this);
  lblActivity->setObjectName(QStringLiteral("lblScriptActivity"));
  lblActivity->setAlignment(Qt::AlignCenter);
  lblActivity->setWordWrap(true);
  lblActivity->setFont(ProportionalFont(9, true));
  cmdStop = new QPushButton(ToQ(kStopCaption), this);
  cmdStop->setObjectName(QStringLiteral("cmdStopScript"));
  cmdStop->setFont(ProportionalFont(12, true));
  cmdStop->setAutoDefault(false);
  // Keys typed while busy must not land on Stop by accident; Esc stops.
  cmdStop->setFocusPolicy(Qt::NoFocus);
  cmdStop->setCursor(Qt::ArrowCursor);
  layout->addStretch(1);
  layout->addWidget(lblActivity);
  layout->addWidget(cmdStop);
  layout->addStretch(1);
  hide();

  escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), window_);
  escape_->setContext(Qt::WindowShortcut);
  escape_->setEnabled(false);

  anchor_->installEventFilter(this);
  window_->installEventFilter(this);

  ScriptRunner* runner = ScriptRunner::Instance();
  if (!runner) return;
  connect(cmdStop, &QPushButton::clicked, runner, &ScriptRunner::RequestStop);
  connect(escape_, &QShortcut::activated, runner, &ScriptRunner::RequestStop);
  connect(runner, &ScriptRunner::busyShownChanged, this, &ScriptBusyBar::OnBusyShown);
  connect(runner, &ScriptRunner::idle, this, &ScriptBusyBar::OnIdle);
  connect(runner, &ScriptRunner::activityChanged, this,
          [this](const QString& activity) { lblActivity->setText(RunningText(activity)); });
}

void ScriptBusyBar::OnBusyShown(bool shown) {
  if (shown == active_) return;
  if (shown && ownsScript_ && !ownsScript_()) return;
  active_ = shown;
  if (shown) {
    focusBefore_ = window_->focusWidget();
    wasEnabled_.clear();
    for (const QPointer<QWidget>& w : disable_) {
      wasEnabled_.append(w && w->isEnabled());
      if (w) w->setEnabled(false);
    }
    if (ScriptRunner* runner = ScriptRunner::Instance())
      lblActivity->setText(RunningText(runner->Activity()));
    FollowAnchor();
    show();
    raise();
    // Keys typed while waiting must not land in the log, which would take
    // the focus from the disabled input line.
    if (window_->isActiveWindow()) setFocus();
    window_->setCursor(Qt::BusyCursor);
    escape_->setEnabled(true);
    return;
  }
  escape_->setEnabled(false);
  window_->unsetCursor();
  hide();
  for (int i = 0; i < disable_.size(); ++i)
    if (disable_[i] && i < wasEnabled_.size() && wasEnabled_[i]) disable_[i]->setEnabled(true);
  if (focusBefore_ && focusBefore_->isEnabled() && window_->isActiveWindow())
    focusBefore_->setFocus();
}

void ScriptBusyBar::OnIdle() {
  if (!closePending_) return;
  closePending_ = false;
  QPointer<QWidget> window = window_;
  QTimer::singleShot(0, window_, [window] {
    if (window) window->close();
  });
}

void ScriptBusyBar::FollowAnchor() { setGeometry(anchor_->geometry()); }

bool ScriptBusyBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == anchor_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
    FollowAnchor();
  } else if (watched == window_ && event->type() == QEvent::Close && !ownsScript_ &&
             ScriptRunning()) {
    // The window's own close handling runs once the script has ended.
    event->ignore();
    if (asking_ || closePending_) return true;
    asking_ = true;
    const int answer = ShowPrompt(ToQ(kAppTitle), ToQ(kStopBeforeCloseText), PromptIcon::Question,
                                  PromptButtons::YesNo);
    asking_ = false;
    if (answer != kAnswerYes) return true;
    closePending_ = true;
    if (ScriptRunner* runner = ScriptRunner::Instance(); runner && runner->Running())
      runner->RequestStopForClose();
    else
      OnIdle();  // it ended while the question was up
    return true;
  }
  return QFrame::eventFilter(watched, event);
}

void DisableWhileScriptRuns(QWidget* command) {
  ScriptRunner* runner = ScriptRunner::Instance();
  if (!runner || !command) return;
  // A window opened while the busy state shows has missed its beginning.
  if (runner->BusyShown()) command->setEnabled(false);
  QObject::connect(runner, &ScriptRunner::busyShownChanged, command, &QWidget::setDisabled);
}

LoadingWindow::LoadingWindow() : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("frmLoading"));
  setWindowTitle(ToQ(kAppTitle));
  auto* layout = new QVBoxLayout(this);
  auto* caption = new QLabel(ToQ(kBusyLoadingText), this);
  caption->setFont(ProportionalFont(9, true));
  lblFile = new QLabel(this);
  lblFile->setObjectName(QStringLiteral("lblLoadingFile"));
  lblFile->setMinimumWidth(280);
  cmdStop = new QPushButton(ToQ(kStopCaption), this);
  cmdStop->setObjectName(QStringLiteral("cmdStopLoading"));
  cmdStop->setAutoDefault(false);
  layout->addWidget(caption);
  layout->addWidget(lblFile);
  layout->addWidget(cmdStop, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  ScriptRunner* runner = ScriptRunner::Instance();
  if (!runner) return;
  previousDelay_ = runner->BusyDelay();
  // A library usually loads in well under a second; the window only comes
  // up for a file that takes long.
  runner->SetBusyDelay(1000);
  lblFile->setText(runner->Activity());
  connect(cmdStop, &QPushButton::clicked, runner, &ScriptRunner::RequestStop);
  connect(runner, &ScriptRunner::activityChanged, lblFile, &QLabel::setText);
  connect(runner, &ScriptRunner::busyShownChanged, this, [this](bool shown) {
    if (!shown) {
      hide();
      return;
    }
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect r = rect();
      r.moveCenter(screen->availableGeometry().center());
      move(r.topLeft());
    }
    show();
    raise();
  });
}

LoadingWindow::~LoadingWindow() {
  if (ScriptRunner* runner = ScriptRunner::Instance(); runner && previousDelay_ > 0)
    runner->SetBusyDelay(previousDelay_);
}

void LoadingWindow::closeEvent(QCloseEvent* event) {
  // Closing the loading window is taken as Stop; the program goes on.
  event->ignore();
  if (ScriptRunner* runner = ScriptRunner::Instance()) runner->RequestStop();
}

}  // namespace zel
