#pragma once
// frmMain: the calculator window. An input line with its history, the
// output log, the 20-key pad, and the menu bar with the program's commands.
#include <QMainWindow>
#include <QSize>
#include <QString>
#include <array>
#include <functional>
#include <memory>

#include "input_history.h"
#include "window_geometry.h"

class QAction;
class QKeyEvent;
class QComboBox;
class QFrame;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace zel {

class CommonDialog;
struct CalcSession;
class LogKeeper;
class StatusLine;

class frmMain : public QMainWindow {
  Q_OBJECT

 public:
  // `session` outlives the window.
  explicit frmMain(CalcSession& session, QWidget* parent = nullptr);
  ~frmMain() override;

  // What the running calculator keeps: the engine, the answer, the options.
  CalcSession& Session() const { return session_; }

  // The menu bar. Entries whose window belongs to another module get their
  // action attached by that module (connect to `triggered`).
  QMenu* mnuFile = nullptr;
  QAction* mnuExport = nullptr;
  QAction* mnuExit = nullptr;
  QAction* mnuClearLog = nullptr;
  QAction* mnuUnitConv = nullptr;  // a command directly on the bar
  QMenu* mnuExec = nullptr;
  QAction* mnuBuiltinFunc = nullptr;
  QAction* mnuUserCode = nullptr;
  QAction* mnuVBS = nullptr;
  QAction* mnuPlot = nullptr;
  QMenu* mnuOpt = nullptr;
  QAction* mnuShowInput = nullptr;
  QAction* mnuEditDisplay = nullptr;
  QAction* mnuACKeyOption = nullptr;
  QAction* mnuUserEditor = nullptr;
  QAction* mnuFont = nullptr;
  QAction* mnuNumberFormat = nullptr;
  QAction* mnuReloadOnSave = nullptr;
  QAction* mnuKeepLog = nullptr;
  QAction* mnuCompletion = nullptr;
  QMenu* mnuHELP = nullptr;
  QAction* mnuVBSHelp = nullptr;
  QAction* mnuZelCalcManu = nullptr;
  QAction* mnuShowVersion = nullptr;

  // The window's file and font dialog object.
  std::unique_ptr<CommonDialog> cmnDialog;

  QComboBox* txtUserInput = nullptr;
  QPlainTextEdit* txtOutputDisplay = nullptr;
  QFrame* fraUserTenKey = nullptr;
  std::array<QPushButton*, 20> cmdUserNumKey{};
  // Notes under the controls ("Library reloaded: ...").
  StatusLine* lblStatus = nullptr;

  void cmdUserNumKey_Click(int index);
  // Enter evaluates, Escape empties the line; true when the key was taken.
  bool txtUserInput_KeyPress(int keyAscii);
  // Up (older) and Down (newer) walk the history; true when the key was taken.
  bool txtUserInput_KeyDown(int key);
  // `line`: the log's line (block number) under the mouse.
  void txtOutputDisplay_DblClick(int line = -1);

  // Menu handlers.
  void mnuExport_Click();
  void mnuExit_Click();
  void mnuShowInput_Click();
  void mnuEditDisplay_Click();
  void mnuACKeyOption_Click();
  void mnuUserEditor_Click();
  void mnuFont_Click();
  void mnuNumberFormat_Click();
  void mnuVBSHelp_Click();
  void mnuZelCalcManu_Click();
  void mnuShowVersion_Click();
  // Asks first; empties the log, the kept log going to its backup file.
  void mnuClearLog_Click();
  void mnuReloadOnSave_Click();
  void mnuKeepLog_Click();
  void mnuCompletion_Click();
  // F1: opens the current help file.
  void Form_HelpKey();

  // The start-up restore: geometry (twips, outer size) and the option flags
  // with their check marks from section "frmMain". The log starts enabled
  // whatever DisplayEdit says.
  void RestoreSettings();
  // The quit question. false: the closing stops.
  bool Form_QueryUnload();
  // The unload routine: saves the seven "frmMain" keys, then closes every
  // registered window in load order; `closeMain` closes this window too
  // (which asks the quit question), as Exit does. The settings file is
  // written once, at its end.
  void Form_Unload(bool closeMain);
  // After Yes and the unload routine: the engine is released (its objects'
  // Class_Terminate code runs, with Stop); 3 s after Stop the program ends
  // anyway.
  void ReleaseEngineAtQuit();
  void SaveSettings();
  // Places the window at an outer twip rectangle, brought back onto a
  // screen when it would be off every screen, and lays out the controls.
  void SetWindowTwips(int top, int left, int height, int width);
  // The layout rule for the current size.
  void ApplyLayout();

  // The log's text with CR LF line ends.
  QString LogText() const;
  // Appends CR LF separated text to the log. The program's appends are not
  // in the log's undo history.
  void AppendLog(const QString& text);

  const QString& SelText() const { return mSelText; }

  // "Keep Log" on: what the last sessions kept in `folder` comes back into
  // the log and the history, and what is logged from now on is kept there.
  void StartKeptLog(const QString& folder);
  LogKeeper* KeptLog() const { return keeper_.get(); }
  bool KeepLog() const { return mKeepLog; }
  bool ReloadOnSave() const { return mReloadOnSave; }
  // Completion, parameter hints and highlighting in the input line, the
  // log and the script box.
  bool Completion() const { return mCompletion; }

 signals:
  void reloadOnSaveToggled(bool on);
  void completionToggled(bool on);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildMenus();
  // The menu's Ctrl shortcuts win over the text boxes' own editing keys.
  bool IsMenuShortcut(const QKeyEvent* key) const;

  CalcSession& session_;
  QString mSelText;
  HistoryWalk historyWalk_;
  bool mKeepLog = true;
  bool mReloadOnSave = true;
  bool mCompletion = true;
  std::unique_ptr<LogKeeper> keeper_;
  bool quitting_ = false;  // Yes was answered: further closes go through
  bool laying_ = false;
  WindowGeometry geometry_{*this, {"frmMain", "105", "105", "3495", "7605"}};
};

}  // namespace zel
