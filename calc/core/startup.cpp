#include "startup.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include "busy_state.h"
#include "frm_main.h"
#include "help_files.h"
#include "library_folder.h"
#include "prompt_service.h"
#include "zel_calculator.h"
#include "zel_dialog.h"

namespace zel {

StartupSession::StartupSession() = default;
StartupSession::~StartupSession() = default;

QString DefaultLockDir() {
  // The session's runtime folder when there is one (asking Qt for it
  // without one prints a warning); else the per-user configuration folder.
  QString dir;
  if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
    dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) {
    dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!dir.isEmpty()) dir += QStringLiteral("/zelCalc");
  }
  if (dir.isEmpty()) dir = QDir::tempPath();
  return dir;
}

StartupResult StartProgram(StartupSession& session, const StartupOptions& options) {
  // One instance per user. A lock left by a crashed run names a process
  // that no longer exists and is taken over; age alone never makes a lock
  // stale, so a long-running instance keeps its lock.
  QDir().mkpath(options.lockDir);
  auto lock = std::make_unique<QLockFile>(QDir(options.lockDir).filePath(QStringLiteral("zelCalc.lock")));
  lock->setStaleLockTime(0);
  if (lock->tryLock(0)) {
    session.lock = std::move(lock);
  } else if (lock->error() == QLockFile::LockFailedError) {
    return StartupResult::AlreadyRunning;
  }
  // Any other failure (a folder that cannot be written) says nothing about
  // another instance: the program starts without the lock.

  // Every window and message box carries the program's icon, those
  // without an owner too.
  QApplication::setWindowIcon(QIcon(zelDialog::LogoPicture()));
  session.window = std::make_unique<frmMain>();
  session.window->RestoreSettings();

  const LibraryFolderPlaces places = DefaultLibraryFolderPlaces(options.programDir, options.userDataDir);
  const LibraryFolderChoice library = ChooseLibraryFolder(places);
  if (!library.error.isEmpty()) {
    ShowPrompt(QString(), library.error, PromptIcon::Critical);
    session.window.reset();
    return StartupResult::Failed;
  }
  SetLibraryPath(library.baseDir);
  SetDialogFolders(ChooseDialogFolders(places));
  // A missing manual is reported only when it is opened.
  SetHelpFolder(options.programDir);
  gHelpFile = VbsManualPath();

  try {
    LoadStatus status;
    {
      LoadingWindow loading;
      status = LoadUserLibrary();
    }
    if (status == LoadStatus::EndProgram) {
      ReleaseEngine();
      session.window.reset();
      return StartupResult::EditorStarted;
    }
    session.window->show();
    FocusTextBox(session.window->txtUserInput);
  } catch (...) {
    ReleaseEngine();
    session.window.reset();
    return StartupResult::Failed;
  }
  return StartupResult::Running;
}

}  // namespace zel
