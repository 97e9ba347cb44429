#include "help_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "help_viewer.h"
#include "prompt_service.h"
#include "window_registry.h"

namespace zel {

namespace {

QString& Folder() {
  static QString folder;
  return folder;
}

}  // namespace

void SetHelpFolder(const QString& folder) { Folder() = QDir::toNativeSeparators(folder); }

QString HelpFolder() {
  if (Folder().isEmpty()) return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
  return Folder();
}

QString VbsManualPath() {
  return QDir::toNativeSeparators(ManualPath(Manual::VBScript, QDir::fromNativeSeparators(HelpFolder())));
}

QString ProgramManualPath() {
  return QDir::toNativeSeparators(ManualPath(Manual::ZelCalc, QDir::fromNativeSeparators(HelpFolder())));
}

bool OpenHelpFile(const QString& path) {
  const QFileInfo info(QDir::fromNativeSeparators(path));
  if (!info.isFile()) {
    ShowPrompt(QString(), QStringLiteral("The help file cannot be found:\r\n") + path,
               PromptIcon::Exclamation, PromptButtons::OK);
    return false;
  }
  QString error;
  if (!ShowHelpViewer(nullptr, info.absoluteFilePath(), &error)) {
    ShowPrompt(QString(), error, PromptIcon::Exclamation, PromptButtons::OK);
    return false;
  }
  // The help window is one of the program's windows: the unload routine
  // closes it with the others, so it never outlives the main window.
  RegisterWindow(CurrentHelpViewer());
  return true;
}

}  // namespace zel
