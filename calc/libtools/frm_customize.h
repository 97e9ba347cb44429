#pragma once
// frmCustomize: library file maintenance. Lists the library files, opens
// one (or a new one) in the user's editor, and reloads the library into
// the program's engine.
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "tool_window.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace zel {

class frmMain;

inline constexpr char16_t kNewLibraryFileName[] = u"NewVBS.VBS";

// The library file Edit opens: the selected one, or NewVBS.VBS when none
// is selected and `askCreate` agrees; empty for nothing. Native
// separators, as the editor is given it.
QString EditTarget(const QString& libraryPath, const QString& selectedName,
                   const std::function<bool()>& askCreate);

class frmCustomize : public ToolWindow {
  Q_OBJECT

 public:
  // The menu command and the evaluation-error dialog's Yes: opens the
  // window, or brings the open one forward.
  static frmCustomize* Open(frmMain& main);
  static frmCustomize* Instance();

  explicit frmCustomize(frmMain& main);

  QLabel* Label1 = nullptr;
  QListWidget* File1 = nullptr;
  QPushButton* cmdVBSEdit = nullptr;
  QPushButton* cmdReload = nullptr;
  QPushButton* cmdCustomizeExit = nullptr;

  void cmdVBSEdit_Click();
  void File1_DblClick();
  void cmdReload_Click();
  void cmdCustomizeExit_Click();

 protected:
  // The controls keep their places; the window is kept wide enough for its
  // caption to show whole in the title bar.
  void ApplyLayout() override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Form_Load();
  QString SelectedName() const;
  void StartEditor(const QString& path);

  frmMain& main_;
};

enum class ReloadTrigger {
  Command,  // Reload in this window, the user having agreed
  Saved,    // a library file was saved (Reload Library on Save)
};

struct LibraryReload {
  bool done = false;  // a new engine was built
  std::vector<std::u16string> notLoaded;
};

// Reload's work once the user has agreed: a new engine with the library.
// When the user chose to edit a failing file the program ends; should the
// user stay after all, the files not loaded are named and the reload is
// offered again. After a save the user is in the editor already: the
// program goes on with what loaded before the failing file.
LibraryReload ReloadUserLibrary(frmMain& main, ReloadTrigger trigger = ReloadTrigger::Command);

// Makes Yes on the evaluation-error dialog open frmCustomize over `main`.
void InstallLibraryMaintenanceHook(frmMain& main);

// Attaches the three tools to their menu entries (mnuBuiltinFunc, mnuUserCode,
// mnuVBS) and installs the maintenance hook.
void AttachLibraryTools(frmMain& main);

}  // namespace zel
