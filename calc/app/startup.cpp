#include "startup.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include "app_settings.h"
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
  const QString settings = AppSettingsFile();
  if (!settings.isEmpty()) return QFileInfo(settings).absolutePath();
  QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return dir.isEmpty() ? QDir::tempPath() : dir + QStringLiteral("/zelCalc");
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
  session.window = std::make_unique<frmMain>(session.calc);
  session.window->RestoreSettings();

  const LibraryFolderPlaces places = DefaultLibraryFolderPlaces(options.programDir, options.userDataDir);
  const LibraryFolderChoice library = ChooseLibraryFolder(places);
  if (!library.error.isEmpty()) {
    ShowPrompt(QString(), library.error, PromptIcon::Critical);
    session.window.reset();
    return StartupResult::Failed;
  }
  SetLibraryPath(session.calc, library.baseDir);
  SetDialogFolders(ChooseDialogFolders(places));
  session.window->StartKeptLog(places.userDataDir);
  // A missing manual is reported only when it is opened.
  SetHelpFolder(options.programDir);
  session.calc.gHelpFile = VbsManualPath();

  try {
    LoadStatus status;
    {
      LoadingWindow loading;
      status = LoadUserLibrary(session.calc, options.loadLibrary ? LibraryFiles::Load : LibraryFiles::Skip);
    }
    if (status == LoadStatus::EndProgram) {
      ReleaseEngine(session.calc);
      session.window.reset();
      return StartupResult::EditorStarted;
    }
    session.window->show();
    FocusTextBox(session.window->txtUserInput);
  } catch (...) {
    ReleaseEngine(session.calc);
    session.window.reset();
    return StartupResult::Failed;
  }
  return StartupResult::Running;
}

}  // namespace zel
