#pragma once
// LogKeeper: frmMain's output log and input history kept in the per-user
// data folder ("Keep Log"). What the window logs is appended to the files
// at once; the next start shows it again under a line with the new
// session's date and time; at exit the files are cut back to their caps.
// Failures are told through the prompt service, once each.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <string>

#include "kept_log.h"

namespace zel {

class LogKeeper {
 public:
  // The files live in `folder` (created when missing).
  explicit LogKeeper(const QString& folder);

  QString LogFile() const;
  QString HistoryFile() const;
  QString BackupFile() const;  // the log before the last clearing

  struct Restored {
    QString logText;      // "\n"-separated, starting with a line break; empty: none kept
    QStringList history;  // newest first
  };
  // What the last sessions kept, with the separator for a session started
  // at `now` at its end. A file that cannot be read is renamed aside, the
  // user is told where, and the session starts without it.
  Restored Restore(const QDateTime& now);

  // Keeping on (the files are opened for appending) and off.
  void Start();
  void Stop();
  bool Keeping() const { return log_.IsOpen(); }

  void Logged(const QString& text);
  void HistoryAdded(const QString& entry);
  // The log was emptied: the kept log moves to the backup file.
  void Cleared();
  // At exit: closes and cuts both files back to their caps.
  void Finish();

 private:
  void ReportFailure(const QString& file, int error);
  QString SetAside(const QString& file, const QDateTime& now);

  QString folder_;
  KeptFile log_;
  KeptFile history_;
  std::u16string pendingSeparator_;  // written with the session's first line
  bool reported_ = false;
};

}  // namespace zel
