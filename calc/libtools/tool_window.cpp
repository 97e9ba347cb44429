#include "tool_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QTimer>
#include <algorithm>

#include "app_settings.h"
#include "busy_state.h"
#include "frm_main.h"
#include "layout.h"
#include "messages.h"
#include "prompt_service.h"
#include "script_runner.h"
#include "twips.h"
#include "window_registry.h"
#include "window_placement.h"
#include "zel_calculator.h"

namespace zel {

ToolWindow::ToolWindow(QWidget* owner, const GeometryDefaults& geometry)
    : QWidget(owner, Qt::Window), geometry_(geometry) {
  // A closed tool window is gone: the next opening builds it afresh.
  setAttribute(Qt::WA_DeleteOnClose);
  // The main window's unload routine closes it (saving its geometry).
  RegisterWindow(this);
}

QSize ToolWindow::FrameExtra() const { return frameGeometry().size() - geometry().size(); }

int ToolWindow::TopTwips() const { return PixelsToTwipsY(frameGeometry().top()); }
int ToolWindow::LeftTwips() const { return PixelsToTwipsX(frameGeometry().left()); }
int ToolWindow::HeightTwips() const { return PixelsToTwipsY(frameGeometry().height()); }
int ToolWindow::WidthTwips() const { return PixelsToTwipsX(frameGeometry().width()); }

void ToolWindow::RestoreGeometry() {
  const SettingsStore& s = AppSettings();
  // Stored numbers may be anything ("1e999"): limited before any use.
  const QSize screen = LargestScreenTwips();
  const StoredGeometry g = ClampStoredGeometry(
      ReadNumber(s, geometry_.section, "PositionT", geometry_.top),
      ReadNumber(s, geometry_.section, "PositionL", geometry_.left),
      ReadNumber(s, geometry_.section, "SizeH", geometry_.height),
      ReadNumber(s, geometry_.section, "SizeW", geometry_.width), screen.height(), screen.width());
  if (HasSetting(s, geometry_.section, "PositionT") || HasSetting(s, geometry_.section, "PositionL")) {
    SetWindowTwips(g.top, g.left, g.height, g.width);
    return;
  }
  // No place of its own yet: beside the main window, clear of its input line.
  auto* main = qobject_cast<frmMain*>(parentWidget());
  const QRect r = PlaceBesideWindow(this, QSize(TwipsToPixelsX(g.width), TwipsToPixelsY(g.height)),
                                    main, main ? main->txtUserInput : nullptr);
  SetWindowTwips(PixelsToTwipsY(r.top()), PixelsToTwipsX(r.left()), g.height, g.width);
}

void ToolWindow::SetWindowTwips(int top, int left, int height, int width) {
  const QRect outer = KeepReachable(
      QRect(TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(std::max(width, 1)),
            TwipsToPixelsY(std::max(height, 1))),
      QPoint(TwipsToPixelsX(105), TwipsToPixelsY(105)));
  const QSize extra = FrameExtra();
  move(outer.topLeft());
  resize(outer.size() - extra);
  // Before the window is framed its outer size is taken as the client
  // size; the stored outer size is applied again once the frame is known.
  pendingOuter_ = extra.isEmpty() ? outer.size() : QSize();
  ApplyLayout();
}

void ToolWindow::SaveGeometry() const {
  SettingsStore& s = AppSettings();
  WriteNumber(s, geometry_.section, "PositionT", TopTwips(), 7);
  WriteNumber(s, geometry_.section, "PositionL", LeftTwips(), 7);
  WriteNumber(s, geometry_.section, "SizeH", HeightTwips(), 7);
  WriteNumber(s, geometry_.section, "SizeW", WidthTwips(), 7);
}

void ToolWindow::closeEvent(QCloseEvent* event) {
  if (handlers_ > 0) {
    // A handler of this window is still on the stack: the window stays
    // until it has returned.
    event->ignore();
    if (askingToStop_ || closeAfterHandler_) return;
    ScriptRunner* runner = ScriptRunner::Instance();
    if (runner && runner->Running()) {
      askingToStop_ = true;
      const int answer = ShowPrompt(ToQ(kAppTitle), ToQ(kStopBeforeCloseText), PromptIcon::Question,
                                    PromptButtons::YesNo);
      askingToStop_ = false;
      if (answer != kAnswerYes || handlers_ == 0) {
        // It ended while the question was up: Yes closes now.
        if (answer == kAnswerYes) QTimer::singleShot(0, this, [this] { close(); });
        return;
      }
      runner->RequestStopForClose();
    }
    closeAfterHandler_ = true;
    return;
  }
  SaveGeometry();
  QWidget::closeEvent(event);
  closed_ = event->isAccepted();
}

ToolWindow::ScriptHandler::ScriptHandler(ToolWindow& window) : window_(window) {
  ++window_.handlers_;
}

ToolWindow::ScriptHandler::~ScriptHandler() {
  if (--window_.handlers_ > 0 || !window_.closeAfterHandler_) return;
  window_.closeAfterHandler_ = false;
  // From the event loop: whatever called the handler (a button's click)
  // still uses the window on its way back.
  QTimer::singleShot(0, &window_, [w = &window_] { w->close(); });
}

void ToolWindow::ApplyPendingOuter() {
  const QSize extra = FrameExtra();
  if (pendingOuter_.isValid() && isVisible() && !extra.isEmpty()) {
    const QSize outer = pendingOuter_;
    pendingOuter_ = QSize();
    // The layout's limits were set for a window without a frame: set for
    // the frame first, or the client area kept as the minimum makes the
    // window a frame's width larger than stored.
    ApplyLayout();
    resize(outer - extra);
  }
}

// The window manager frames a shown window later, which moves its client
// area without resizing it: that is when the frame becomes known.
void ToolWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  ApplyPendingOuter();
}

void ToolWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ApplyPendingOuter();
  ApplyLayout();
}

void ToolWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ApplyPendingOuter();
  ApplyLayout();
}

void BringForward(QWidget* window) {
  if (window->isMinimized()) window->showNormal();
  else window->show();
  window->raise();
  window->activateWindow();
}

void ShowWithoutFocus(QWidget* window) {
  const bool keep = window->testAttribute(Qt::WA_ShowWithoutActivating);
  window->setAttribute(Qt::WA_ShowWithoutActivating, true);
  if (window->isMinimized()) window->showNormal();
  else window->show();
  window->raise();
  window->setAttribute(Qt::WA_ShowWithoutActivating, keep);
}

}  // namespace zel
