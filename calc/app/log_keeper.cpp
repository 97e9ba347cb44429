#include "log_keeper.h"

#include <QDir>
#include <QFile>
#include <cstring>

#include "prompt_service.h"
#include "zel_calculator.h"

namespace zel {

namespace {

QString ErrorText(int error) { return error ? QString::fromLocal8Bit(std::strerror(error)) : QString(); }

}  // namespace

LogKeeper::LogKeeper(const QString& folder) : folder_(folder) { QDir().mkpath(folder); }

QString LogKeeper::LogFile() const { return QDir(folder_).filePath(QStringLiteral("KeptLog.txt")); }
QString LogKeeper::HistoryFile() const { return QDir(folder_).filePath(QStringLiteral("InputHistory.txt")); }
QString LogKeeper::BackupFile() const { return QDir(folder_).filePath(QStringLiteral("KeptLog.bak")); }

QString LogKeeper::SetAside(const QString& file, const QDateTime& now) {
  const std::filesystem::path aside =
      SetKeptFileAside(ToPath(file), now.toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString());
  const QString where = aside.empty() ? QString() : QFile::decodeName(aside.c_str());
  ShowPrompt(QString(),
             where.isEmpty()
                 ? QStringLiteral("The kept file\r\n%1\r\ncannot be read, nor moved aside. "
                                  "The program starts without it.")
                       .arg(QDir::toNativeSeparators(file))
                 : QStringLiteral("The kept file\r\n%1\r\ncannot be read. It was moved aside to\r\n%2\r\n"
                                  "The program starts without it.")
                       .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(where)),
             PromptIcon::Exclamation, PromptButtons::OK);
  return where;
}

LogKeeper::Restored LogKeeper::Restore(const QDateTime& now) {
  Restored out;
  KeptRead log = ReadKeptLines(ToPath(LogFile()), kKeptLogLineCap);
  if (log.status == KeptReadStatus::Damaged || log.status == KeptReadStatus::Unreadable) {
    SetAside(LogFile(), now);
    log = {};
  }
  if (!log.lines.empty()) {
    const QDate d = now.date();
    const QTime t = now.time();
    pendingSeparator_ = SessionSeparator(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
    log.lines.push_back(pendingSeparator_);
    out.logText = ToQ(LoggedFromKeptLines(log.lines));
  }
  KeptRead history = ReadKeptLines(ToPath(HistoryFile()), kKeptHistoryCap);
  if (history.status == KeptReadStatus::Damaged || history.status == KeptReadStatus::Unreadable) {
    SetAside(HistoryFile(), now);
    history = {};
  }
  for (auto it = history.lines.rbegin(); it != history.lines.rend(); ++it)
    out.history.push_back(ToQ(UnescapeHistoryEntry(*it)));
  return out;
}

void LogKeeper::Start() {
  if (Keeping()) return;
  if (!log_.Open(ToPath(LogFile()))) return ReportFailure(LogFile(), log_.Error());
  if (!history_.Open(ToPath(HistoryFile()))) {
    log_.Close();
    ReportFailure(HistoryFile(), history_.Error());
  }
}

void LogKeeper::Stop() {
  log_.Close();
  history_.Close();
}

void LogKeeper::Logged(const QString& text) {
  if (!Keeping()) return;
  std::vector<std::u16string> lines = KeptLinesFromLogged(ToU16(text));
  if (!pendingSeparator_.empty()) {
    lines.insert(lines.begin(), pendingSeparator_);
    pendingSeparator_.clear();
  }
  if (!log_.Append(lines)) ReportFailure(LogFile(), log_.Error());
}

void LogKeeper::HistoryAdded(const QString& entry) {
  if (!Keeping()) return;
  if (!history_.Append({EscapeHistoryEntry(ToU16(entry))})) ReportFailure(HistoryFile(), history_.Error());
}

void LogKeeper::Cleared() {
  if (!Keeping()) return;
  pendingSeparator_.clear();
  log_.Close();
  if (!MoveKeptToBackup(ToPath(LogFile()), ToPath(BackupFile()))) {
    const int error = errno;
    Stop();
    return ReportFailure(LogFile(), error);
  }
  if (!log_.Open(ToPath(LogFile()))) {
    Stop();
    ReportFailure(LogFile(), log_.Error());
  }
}

void LogKeeper::Finish() {
  Stop();
  for (const auto& [file, cap] : {std::pair{LogFile(), kKeptLogLineCap}, std::pair{HistoryFile(), kKeptHistoryCap}}) {
    const WriteOutcome o = CompactKeptFile(ToPath(file), cap);
    if (!o.ok()) ReportFailure(file, o.error);
  }
}

void LogKeeper::ReportFailure(const QString& file, int error) {
  // Once a session: a disk that is full stays full for every result.
  Stop();
  if (reported_) return;
  reported_ = true;
  QString text = QStringLiteral("The log cannot be kept in the file\r\n%1").arg(QDir::toNativeSeparators(file));
  if (error) text += QStringLiteral("\r\n(%1)").arg(ErrorText(error));
  text += QStringLiteral("\r\nIt goes on in the window only for this session.");
  ShowPrompt(QString(), text, PromptIcon::Exclamation, PromptButtons::OK);
}

}  // namespace zel
