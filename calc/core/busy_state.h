#pragma once
// What the windows show while a script runs long: the main window's busy
// bar with its Stop button, and the small loading window of start-up.
#include <QFrame>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QShortcut;

namespace zel {

// Texts of the busy displays and of the question asked when the window is
// closed while a script runs.
extern const char16_t kBusyRunningText[];
extern const char16_t kBusyLoadingText[];
extern const char16_t kBusyReleasingText[];
extern const char16_t kStopCaption[];
extern const char16_t kStopBeforeCloseText[];

// Attached to a window that starts scripts. While the busy state shows:
// `disable` is disabled, a bar with the running activity and Stop lies over
// `anchor`, the mouse shows the busy cursor, and Esc in the window stops the
// script. Closing the window while a script runs asks first whether to stop
// it; once the script has ended the close is repeated, so the window's own
// close handling (its quit question, saving settings) runs as usual.
//
// Given `ownsScript`, the bar stands only for the window's own scripts: it
// shows when the busy state begins while `ownsScript` is true, and leaves
// closing to the window.
class ScriptBusyBar : public QFrame {
  Q_OBJECT

 public:
  ScriptBusyBar(QWidget* window, QWidget* anchor, QList<QWidget*> disable,
                std::function<bool()> ownsScript = {});

  QPushButton* cmdStop = nullptr;
  QLabel* lblActivity = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnBusyShown(bool shown);
  void OnIdle();
  void FollowAnchor();

  QWidget* window_;
  QWidget* anchor_;
  std::function<bool()> ownsScript_;
  QList<QPointer<QWidget>> disable_;
  QList<bool> wasEnabled_;
  QPointer<QWidget> focusBefore_;
  QShortcut* escape_ = nullptr;
  bool active_ = false;
  bool closePending_ = false;
  bool asking_ = false;
};

// Disables `command` (a button that runs scripts) while the busy state of a
// running script shows. Before that no user input is taken anyway.
void DisableWhileScriptRuns(QWidget* command);

// The start-up loading window: shown when loading the library takes longer
// than about a second, with the file in hand and Stop. Lives as long as the
// load; while it lives the busy state waits a second instead of half.
class LoadingWindow : public QWidget {
  Q_OBJECT

 public:
  LoadingWindow();
  ~LoadingWindow() override;

  QPushButton* cmdStop = nullptr;
  QLabel* lblFile = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  int previousDelay_ = 0;
};

}  // namespace zel
