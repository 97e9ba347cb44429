#pragma once
// frmUserScripting: the user script window. Whole scripts run in the
// program's engine, so what they define is callable from the input line
// afterwards; a transcript keeps every script that was run.
#include "script_window_rules.h"
#include "tool_window.h"

class QFileDialog;
class QPlainTextEdit;
class QPushButton;

namespace zel {

class frmMain;

class frmUserScripting : public ToolWindow {
  Q_OBJECT

 public:
  // The menu command: opens the window, or brings the open one forward.
  static frmUserScripting* Open(frmMain& main);
  static frmUserScripting* Instance();

  explicit frmUserScripting(frmMain& main);

  QPlainTextEdit* txtInMemory = nullptr;
  QPlainTextEdit* txtUserScript = nullptr;
  QPushButton* cmdExe = nullptr;
  QPushButton* cmdExport = nullptr;
  QPushButton* cmdImport = nullptr;
  QPushButton* cmdExit = nullptr;
  // One file dialog for Import and Export: what one sets, the other finds.
  QFileDialog* cmnDialog = nullptr;

  void cmdExe_Click();
  void cmdImport_Click();
  void cmdExport_Click();
  void cmdExit_Click();
  void txtInMemory_DblClick();

  // The boxes' texts with CR LF line ends.
  QString Transcript() const;
  QString Script() const;
  QString SelectedTranscript() const;

 protected:
  void ApplyLayout() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The one place where this window hands text to the engine.
  bool RunInEngine(const QString& script);
  // Shows cmnDialog; the chosen file, or empty when cancelled.
  QString ChooseFile();
  // Reports a script that Execute could not run to its end.
  void ReportFailedScript();
  frmMain& main_;
  bool laying_ = false;
  bool executing_ = false;  // this window's Execute waits on its script
};

}  // namespace zel
