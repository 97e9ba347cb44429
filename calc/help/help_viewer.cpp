#include "help_viewer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHelpEngineCore>
#include <QPointer>
#include <QStandardPaths>

#include "help_window.h"
#include "prompt_service.h"
#include "window_placement.h"

namespace zel {
namespace {

QPointer<HelpWindow> gHelpWindow;

QString ManualFileName(Manual manual) {
  return manual == Manual::VBScript ? QStringLiteral("VBSManual.qhc")
                                    : QStringLiteral("zelCalcManual.qhc");
}

QString MissingText(const QString& path) {
  return QCoreApplication::translate("zel::Help",
                                     "The manual cannot be shown: its help file was not found.\n\n%1\n\n"
                                     "The manuals are part of zelCalc; installing or building the "
                                     "program again puts them back.")
      .arg(QDir::toNativeSeparators(path));
}

QString DamagedText(const QString& path, const QString& reason) {
  QString text = QCoreApplication::translate("zel::Help",
                                             "The manual cannot be shown: its help file is damaged.\n\n%1")
                     .arg(QDir::toNativeSeparators(path));
  if (!reason.isEmpty()) text += QStringLiteral("\n(") + reason + QStringLiteral(")");
  text += QCoreApplication::translate("zel::Help",
                                      "\n\nInstalling or building zelCalc again puts it back.");
  return text;
}

QString DefaultCacheDir() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  if (dir.isEmpty()) dir = QDir::tempPath() + QStringLiteral("/zelCalc");
  return dir + QStringLiteral("/help");
}

// Beside the window the help was asked from, wholly on the screen: the
// frame is not known before the window is shown, so the asking window's
// frame stands for it.
void PlaceNewWindow(QWidget* window, QWidget* anchor) {
  const QSize frame = anchor ? anchor->frameGeometry().size() - anchor->geometry().size() : QSize();
  const QRect outer = PlaceBesideWindow(
      window, window->size() + frame, anchor,
      anchor ? anchor->findChild<QWidget*>(QStringLiteral("txtUserInput")) : nullptr);
  window->resize(outer.size() - frame);
  window->move(outer.topLeft());
}

}  // namespace

QString ManualPath(Manual manual, const QString& programDir) {
  const QString name = ManualFileName(manual);
  const QString beside = QDir(programDir).filePath(QStringLiteral("help/") + name);
  const QString installed =
      QDir::cleanPath(QDir(programDir).filePath(QStringLiteral("../share/zelCalc/help/") + name));
  if (QFileInfo::exists(beside)) return beside;
  return installed;
}

QString ManualPath(Manual manual) { return ManualPath(manual, QCoreApplication::applicationDirPath()); }

QString PrepareHelpCollection(const QString& helpFile, const QString& cacheDir, QString* error) {
  auto fail = [error](const QString& text) {
    if (error) *error = text;
    return QString();
  };
  const QFileInfo collection(helpFile);
  if (!collection.isFile()) return fail(MissingText(helpFile));
  const QString qch = collection.absoluteDir().filePath(collection.completeBaseName() + QStringLiteral(".qch"));
  if (!QFileInfo(qch).isFile()) return fail(MissingText(qch));
  const QString ns = QHelpEngineCore::namespaceName(qch);
  if (ns.isEmpty()) return fail(DamagedText(qch, QString()));

  // The working collection is ours alone: it follows the manual the program
  // ships and is rebuilt whenever that file changes.
  if (!QDir().mkpath(cacheDir))
    return fail(DamagedText(helpFile, QCoreApplication::translate("zel::Help", "no folder for its index: %1")
                                          .arg(QDir::toNativeSeparators(cacheDir))));
  const QString working = QDir(cacheDir).filePath(collection.fileName());
  const QFileInfo qchInfo(qch);
  const QString stamp = qchInfo.absoluteFilePath() + QLatin1Char('|') +
                        QString::number(qchInfo.size()) + QLatin1Char('|') +
                        QString::number(qchInfo.lastModified().toMSecsSinceEpoch());
  for (int attempt = 0; attempt < 2; ++attempt) {
    QString reason;
    {
      QHelpEngineCore core(working);
      core.setReadOnly(false);
      if (core.setupData()) {
        if (core.customValue(QStringLiteral("zelSource")).toString() == stamp &&
            core.registeredDocumentations() == QStringList{ns})
          return working;
        for (const QString& other : core.registeredDocumentations()) core.unregisterDocumentation(other);
        if (core.registerDocumentation(qchInfo.absoluteFilePath())) {
          core.setCustomValue(QStringLiteral("zelSource"), stamp);
          return working;
        }
        reason = core.error();
      } else {
        reason = core.error();
      }
    }
    // A working copy left damaged (a crash while it was written) is thrown
    // away and made again once; a manual that still fails is damaged.
    if (attempt == 0) {
      QFile::remove(working);
      continue;
    }
    return fail(DamagedText(qch, reason));
  }
  return QString();
}

bool ShowHelpViewer(QWidget* parent, const QString& helpFile, QString* error) {
  QString working = PrepareHelpCollection(helpFile, DefaultCacheDir(), error);
  if (working.isEmpty()) return false;

  QRect geometry;
  if (gHelpWindow && gHelpWindow->HelpFile() != helpFile) {
    // The panels belong to one manual's engine: another manual gets a new
    // window in the same place.
    geometry = gHelpWindow->geometry();
    delete gHelpWindow.data();
  }
  if (!gHelpWindow) {
    auto* window = new HelpWindow(parent);
    QString reason;
    if (!window->Load(helpFile, working, &reason)) {
      delete window;
      if (error) *error = DamagedText(helpFile, reason);
      return false;
    }
    if (geometry.isValid()) window->setGeometry(geometry);
    else PlaceNewWindow(window, parent ? parent->window() : QApplication::activeWindow());
    gHelpWindow = window;
  }
  gHelpWindow->show();
  gHelpWindow->raise();
  gHelpWindow->activateWindow();
  return true;
}

void OpenHelpFile(QWidget* parent, const QString& helpFile) {
  QString error;
  if (!ShowHelpViewer(parent, helpFile, &error)) ShowPrompt(QString(), error, PromptIcon::Exclamation);
}

QWidget* CurrentHelpViewer() { return gHelpWindow.data(); }

}  // namespace zel
