#include "help_files.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "prompt_service.h"

namespace zel {

namespace {

QString& Folder() {
  static QString folder;
  return folder;
}

QString InFolder(const char* name) {
  return QDir::toNativeSeparators(QDir(QDir::fromNativeSeparators(HelpFolder()))
                                      .filePath(QString::fromLatin1(name)));
}

}  // namespace

void SetHelpFolder(const QString& folder) { Folder() = QDir::toNativeSeparators(folder); }

QString HelpFolder() {
  if (Folder().isEmpty()) return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
  return Folder();
}

QString VbsManualPath() { return InFolder("VBScriptManual.qch"); }

QString ProgramManualPath() { return InFolder("zelCalcManual.qch"); }

bool OpenHelpFile(const QString& path) {
  const QFileInfo info(QDir::fromNativeSeparators(path));
  if (!info.isFile()) {
    ShowPrompt(QString(), QStringLiteral("The help file cannot be found:\r\n") + path,
               PromptIcon::Exclamation, PromptButtons::OK);
    return false;
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()))) {
    ShowPrompt(QString(), QStringLiteral("The help file cannot be opened:\r\n") + path,
               PromptIcon::Exclamation, PromptButtons::OK);
    return false;
  }
  return true;
}

}  // namespace zel
