#include "library_watcher.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zel {

namespace {

std::filesystem::path FolderPath(const QString& folder) {
  return std::filesystem::path(QFile::encodeName(QDir::fromNativeSeparators(folder)).toStdString());
}

}  // namespace

bool ModalDialogOpen() { return QApplication::activeModalWidget() != nullptr; }

LibraryWatcher::LibraryWatcher(const QString& folder, Hooks hooks, QObject* parent)
    : QObject(parent), folder_(QDir::fromNativeSeparators(folder)), hooks_(std::move(hooks)) {
  clock_.start();
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &LibraryWatcher::Check);
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &LibraryWatcher::Look);
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &LibraryWatcher::Look);
}

void LibraryWatcher::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (!on) {
    timer_.stop();
    schedule_.Reloaded();
    const QStringList watched = watcher_.files() + watcher_.directories();
    if (!watched.isEmpty()) watcher_.removePaths(watched);
    return;
  }
  // What is loaded now is the starting point: only later saves count.
  seen_ = TakeLibrarySnapshot(FolderPath(folder_));
  watcher_.addPath(folder_);
  WatchFiles();
}

void LibraryWatcher::WatchFiles() {
  // A file saved by rename is a new file: the watch on the old one has
  // ended with it, so every file is (re)added after each look.
  QStringList paths;
  for (const LibraryFileStamp& f : seen_)
    paths << QDir(folder_).filePath(QFile::decodeName(f.name.c_str()));
  const QStringList watched = watcher_.files();
  QStringList add;
  for (const QString& p : paths)
    if (!watched.contains(p)) add << p;
  if (!add.isEmpty()) watcher_.addPaths(add);
}

void LibraryWatcher::Look() {
  if (!enabled_) return;
  LibrarySnapshot now = TakeLibrarySnapshot(FolderPath(folder_));
  const bool changed = now != seen_;
  seen_ = std::move(now);
  WatchFiles();
  if (!changed) return;
  schedule_.Changed(clock_.elapsed());
  Check();
}

void LibraryWatcher::Check() {
  if (!enabled_) return;
  const ReloadSchedule::Next next = schedule_.Check(
      clock_.elapsed(), hooks_.scriptRunning && hooks_.scriptRunning(), hooks_.dialogOpen && hooks_.dialogOpen());
  switch (next.action) {
    case ReloadSchedule::Action::Nothing: return;
    case ReloadSchedule::Action::WaitQuiet:
    case ReloadSchedule::Action::WaitBusy:
      timer_.start(int(std::max<long long>(1, next.checkAt - clock_.elapsed())));
      return;
    case ReloadSchedule::Action::Reload: break;
  }
  schedule_.Reloaded();
  ++reloads_;
  if (hooks_.reload) hooks_.reload();
}

}  // namespace zel
