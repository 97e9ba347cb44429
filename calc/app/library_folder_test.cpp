// Where the library folder goes for a build folder, a portable copy and an
// installed program.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "library_folder.h"

namespace zel {
namespace {

void Write(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

QStringList Names(const QString& dir) { return QDir(dir).entryList(QDir::Files, QDir::Name); }

TEST(LibraryFolderChoice, InstalledProgramUsesTheUserDataFolderSeededOnce) {
  QTemporaryDir root;
  const QString prefix = root.filePath("usr");
  Write(prefix + "/share/zelCalc/VBS/Fluids.vbs", "Function A\r\nEnd Function\r\n");
  Write(prefix + "/share/zelCalc/VBS/Heat.VBS", "' heat\r\n");
  Write(prefix + "/share/zelCalc/VBS/readme.txt", "not a library file");
  QDir().mkpath(prefix + "/bin");
  const QString data = root.filePath("home/.local/share/zelCalc");

  // Writable or not, an installed program keeps the library in the user's folder.
  for (bool writable : {false, true}) {
    LibraryFolderPlaces places = DefaultLibraryFolderPlaces(prefix + "/bin", data);
    EXPECT_TRUE(places.installed);
    places.programDirWritable = writable;
    const LibraryFolderChoice choice = ChooseLibraryFolder(places);
    EXPECT_EQ(choice.error, "");
    EXPECT_EQ(choice.baseDir, data);
    EXPECT_EQ(Names(data + "/VBS"), QStringList({"Fluids.vbs", "Heat.VBS"}));
  }
  EXPECT_FALSE(QFileInfo::exists(prefix + "/bin/VBS"));

  // The user's changes survive later starts; an emptied folder stays empty.
  Write(data + "/VBS/Fluids.vbs", "' mine\r\n");
  QFile::remove(data + "/VBS/Heat.VBS");
  LibraryFolderPlaces places = DefaultLibraryFolderPlaces(prefix + "/bin", data);
  places.programDirWritable = false;
  ASSERT_EQ(ChooseLibraryFolder(places).error, "");
  EXPECT_EQ(Names(data + "/VBS"), QStringList({"Fluids.vbs"}));
  QFile f(data + "/VBS/Fluids.vbs");
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), "' mine\r\n");
}

TEST(LibraryFolderChoice, WritableProgramFolderKeepsTheLibraryBesideIt) {
  QTemporaryDir root;
  const QString data = root.filePath("data");
  LibraryFolderPlaces places = DefaultLibraryFolderPlaces(root.path(), data);
  EXPECT_FALSE(places.installed);
  ASSERT_TRUE(places.programDirWritable);
  const LibraryFolderChoice choice = ChooseLibraryFolder(places);
  EXPECT_EQ(choice.error, "");
  EXPECT_EQ(choice.baseDir, root.path());
  EXPECT_TRUE(QFileInfo(root.filePath("VBS")).isDir());
  EXPECT_TRUE(Names(root.filePath("VBS")).isEmpty());  // the build places the samples itself
  EXPECT_FALSE(QFileInfo::exists(data));

  // A read-only portable copy falls back to the user's folder.
  places.programDirWritable = false;
  EXPECT_EQ(ChooseLibraryFolder(places).baseDir, data);
  EXPECT_TRUE(QFileInfo(data + "/VBS").isDir());
}

TEST(LibraryFolderChoice, FolderThatCannotBeMadeIsExplained) {
  QTemporaryDir root;
  Write(root.filePath("blocked"), "a file where a folder should go");
  LibraryFolderPlaces places;
  places.programDir = root.path();
  places.programDirWritable = false;
  places.userDataDir = root.filePath("blocked/zelCalc");
  const LibraryFolderChoice choice = ChooseLibraryFolder(places);
  EXPECT_TRUE(choice.error.contains(QDir::toNativeSeparators(root.filePath("blocked/zelCalc/VBS"))))
      << choice.error.toStdString();
  EXPECT_TRUE(choice.error.contains("Not a directory")) << choice.error.toStdString();

  places.userDataDir.clear();
  EXPECT_FALSE(ChooseLibraryFolder(places).error.isEmpty());
}

// Installed, the program's folder holds nothing of the user's: the editor
// chooser opens among the programs, the text file dialogs in the documents.
TEST(DialogFolders, FollowWhereTheProgramRuns) {
  QTemporaryDir root;
  const QString prefix = root.filePath("usr");
  QDir().mkpath(prefix + "/share/zelCalc");
  QDir().mkpath(prefix + "/bin");
  const QString documents = root.filePath("home/Documents");
  QDir().mkpath(documents);
  const QString build = root.filePath("build/bin");
  QDir().mkpath(build);

  const struct {
    const char* what;
    QString programDir;
    bool writable;
    QString documentsDir;
    QString programs, texts;
  } cases[] = {
      {"installed", prefix + "/bin", false, documents, prefix + "/bin", documents},
      {"installed, writable by its owner", prefix + "/bin", true, documents, prefix + "/bin", documents},
      {"installed, no documents folder", prefix + "/bin", false, root.filePath("home/none"),
       prefix + "/bin", QDir::homePath()},
      {"build folder", build, true, documents, build, build},
      {"read-only copy", build, false, documents, build, documents},
  };
  for (const auto& c : cases) {
    LibraryFolderPlaces places = DefaultLibraryFolderPlaces(c.programDir, root.filePath("data"));
    places.programDirWritable = c.writable;
    places.documentsDir = c.documentsDir;
    const DialogFolders folders = ChooseDialogFolders(places);
    EXPECT_EQ(folders.programs, c.programs) << c.what;
    EXPECT_EQ(folders.documents, c.texts) << c.what;
  }
}

}  // namespace
}  // namespace zel
