#include "library_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

namespace zel {

LibraryFolderPlaces DefaultLibraryFolderPlaces(const QString& programDir, const QString& userDataDir) {
  LibraryFolderPlaces p;
  p.programDir = programDir;
  p.programDirWritable = QFileInfo(programDir).isWritable();
  // An administrator can write an installed program's folder too; the
  // installed data beside it tells that it is one.
  const QString share = QDir::cleanPath(programDir + QStringLiteral("/../share/zelCalc"));
  p.installed = QFileInfo(share).isDir();
  p.sampleDir = share + QStringLiteral("/VBS");
  p.userDataDir = userDataDir.isEmpty()
                      ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                      : userDataDir;
  p.documentsDir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return p;
}

namespace {

bool LibraryBesideProgram(const LibraryFolderPlaces& places) {
  return places.programDirWritable && !places.installed;
}

DialogFolders& TheDialogFolders() {
  static DialogFolders folders;
  return folders;
}

}  // namespace

DialogFolders ChooseDialogFolders(const LibraryFolderPlaces& places) {
  if (LibraryBesideProgram(places)) return {places.programDir, places.programDir};
  QString documents = places.documentsDir;
  if (documents.isEmpty() || !QFileInfo(documents).isDir()) documents = QDir::homePath();
  return {places.programDir, documents};
}

void SetDialogFolders(const DialogFolders& folders) { TheDialogFolders() = folders; }

const DialogFolders& CurrentDialogFolders() {
  DialogFolders& f = TheDialogFolders();
  if (f.programs.isEmpty()) f.programs = QCoreApplication::applicationDirPath();
  if (f.documents.isEmpty()) f.documents = QCoreApplication::applicationDirPath();
  return f;
}

LibraryFolderChoice ChooseLibraryFolder(const LibraryFolderPlaces& places) {
  LibraryFolderChoice choice;
  const bool beside = LibraryBesideProgram(places);
  choice.baseDir = beside ? places.programDir : places.userDataDir;
  if (choice.baseDir.isEmpty()) {
    choice.error = QStringLiteral("zelCalc cannot keep your function library: there is no "
                                  "folder for your own data (is HOME set?).\n\nzelCalc ends now.");
    return choice;
  }
  const QString folder = choice.baseDir + QStringLiteral("/VBS");
  if (QFileInfo(folder).isDir()) return choice;
  // Beside the program only the last level is made, as always; the user's
  // data folder may not exist yet at all.
  const std::filesystem::path path(QFile::encodeName(folder).toStdString());
  std::error_code ec;
  if (beside) std::filesystem::create_directory(path, ec);
  else std::filesystem::create_directories(path, ec);
  if (ec || !QFileInfo(folder).isDir()) {
    choice.error = QStringLiteral("zelCalc cannot create the folder for your function library:\n\n"
                                  "%1\n\n(%2)\n\nzelCalc ends now.")
                       .arg(QDir::toNativeSeparators(folder),
                            ec ? QString::fromLocal8Bit(ec.message()) : QStringLiteral("not a folder"));
    return choice;
  }
  if (beside) return choice;
  // A new folder gets the samples; one the user emptied stays empty.
  const QDir samples(places.sampleDir);
  for (const QFileInfo& f : samples.entryInfoList(QDir::Files)) {
    if (f.suffix().compare(QStringLiteral("vbs"), Qt::CaseInsensitive) == 0)
      QFile::copy(f.absoluteFilePath(), folder + QLatin1Char('/') + f.fileName());
  }
  return choice;
}

}  // namespace zel
