#include "user_editor.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "app_settings.h"
#include "calc_session.h"
#include "prompt_service.h"

namespace zel {

namespace {

bool Start(const CalcSession& session, const QString& program, const QStringList& arguments) {
  if (session.gStartProcess) return session.gStartProcess(program, arguments);
  return QProcess::startDetached(program, arguments);
}

// The program a command names, when it exists and can be run.
QString FindProgram(const QString& program) {
  if (program.isEmpty()) return {};
  if (program.contains(QLatin1Char('/'))) {
    const QFileInfo info(program);
    return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
  }
  return QStandardPaths::findExecutable(program);
}

// The desktop's handler of plain text, as its desktop entry's command with
// the file put in place of the field codes.
QStringList DefaultTextEditorCommand(const QString& filePath) {
  const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (xdgMime.isEmpty()) return {};
  QProcess query;
  query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
  if (!query.waitForFinished(3000)) {
    query.kill();
    query.waitForFinished(1000);
    return {};
  }
  const QString id = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
  if (id.isEmpty()) return {};
  const QString entry = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
  QFile f(entry);
  if (entry.isEmpty() || !f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  QString exec;
  bool inEntry = false;
  while (!f.atEnd()) {
    const QString line = QString::fromUtf8(f.readLine()).trimmed();
    if (line.startsWith(QLatin1Char('['))) inEntry = line == QLatin1String("[Desktop Entry]");
    else if (inEntry && line.startsWith(QLatin1String("Exec="))) exec = line.mid(5);
  }
  QStringList command;
  bool placed = false;
  for (const QString& word : QProcess::splitCommand(exec)) {
    if (word == QLatin1String("%f") || word == QLatin1String("%F") ||
        word == QLatin1String("%u") || word == QLatin1String("%U")) {
      command << filePath;
      placed = true;
    } else if (!(word.size() == 2 && word.startsWith(QLatin1Char('%')))) {
      command << word;
    }
  }
  if (command.isEmpty()) return {};
  if (!placed) command << filePath;
  return command;
}

}  // namespace

bool StartUserEditor(const CalcSession& session, const QString& filePath) {
  const QString setting =
      QString::fromStdString(AppSettings().Get("Option", "UserEditor", std::string()));
  QStringList configured = QProcess::splitCommand(setting);
  if (!configured.isEmpty()) {
    const QString program = FindProgram(configured.takeFirst());
    if (!program.isEmpty() && Start(session, program, configured << filePath)) return true;
  }
  QStringList fallback = DefaultTextEditorCommand(filePath);
  if (!fallback.isEmpty()) {
    const QString program = FindProgram(fallback.takeFirst());
    if (!program.isEmpty() && Start(session, program, fallback)) return true;
  }
  const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (!xdgOpen.isEmpty() && Start(session, xdgOpen, {filePath})) return true;
  ShowPrompt(QString(),
             QStringLiteral("No text editor could be started for the file\r\n") + filePath +
                 QStringLiteral("\r\nChoose one under Option - Editor."),
             PromptIcon::Exclamation, PromptButtons::OK);
  return false;
}

}  // namespace zel
