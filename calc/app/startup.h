#pragma once
// The program's start-up sequence, separate from main() so that tests can
// run it.
#include <QString>
#include <memory>

#include "calc_session.h"

class QLockFile;

namespace zel {

class frmMain;

struct StartupOptions {
  QString programDir;   // the library folder "VBS" is beside the program when it may be
  QString lockDir;      // where the per-user instance lock lives
  QString userDataDir;  // else it is here; empty: the per-user data folder
  bool loadLibrary = true;  // false: start without the library files (--no-library)
};

// The per-user place for the instance lock: the folder of the settings file,
// so that every run that writes the same settings sees the same lock.
QString DefaultLockDir();

enum class StartupResult {
  Running,         // the window is shown; run the event loop
  AlreadyRunning,  // another instance holds the lock: end silently
  Failed,          // a failure before or while loading: end (the library
                   // folder's failure is told first)
  EditorStarted,   // the user chose to edit a failing library file: end
};

// Owns what the running program keeps: the instance lock, the calculator's
// session and the window (which goes first).
struct StartupSession {
  StartupSession();
  ~StartupSession();
  std::unique_ptr<QLockFile> lock;
  CalcSession calc;
  std::unique_ptr<frmMain> window;
};

StartupResult StartProgram(StartupSession& session, const StartupOptions& options);

}  // namespace zel
