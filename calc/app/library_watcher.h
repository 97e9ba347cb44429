#pragma once
// LibraryWatcher: reloads the library when one of its files is saved,
// added or removed ("Reload Library on Save"). The folder and each library
// file are watched; editors that save by writing in place and those that
// save by rename are both seen, since every signal leads to a fresh look
// at the folder. The decision when to reload is ReloadSchedule's.
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>

#include "reload_schedule.h"

namespace zel {

class LibraryWatcher : public QObject {
  Q_OBJECT

 public:
  struct Hooks {
    std::function<void()> reload;       // runs the reload
    std::function<bool()> scriptRunning;
    std::function<bool()> dialogOpen;
  };
  LibraryWatcher(const QString& folder, Hooks hooks, QObject* parent = nullptr);

  void SetEnabled(bool on);
  bool Enabled() const { return enabled_; }
  int Reloads() const { return reloads_; }

 private:
  void Look();   // a signal came: has a library file changed?
  void Check();  // the timer: reload now, or when?
  void WatchFiles();

  QString folder_;
  Hooks hooks_;
  QFileSystemWatcher watcher_;
  QTimer timer_;
  QElapsedTimer clock_;
  ReloadSchedule schedule_;
  LibrarySnapshot seen_;
  bool enabled_ = false;
  int reloads_ = 0;
};

// True while one of the program's modal windows (a message box, the input
// dialog, a file dialog) is open.
bool ModalDialogOpen();

}  // namespace zel
