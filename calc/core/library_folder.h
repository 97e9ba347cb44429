#pragma once
// Where the user's library folder "VBS" lives. A program run from a folder
// the user can write (a build folder, a portable copy) keeps it beside
// itself; an installed program keeps it in the user's data folder, made on
// the first start and filled with the sample library.
#include <QString>

namespace zel {

struct LibraryFolderPlaces {
  QString programDir;
  bool programDirWritable = false;
  bool installed = false;  // the program sits in an installed layout (bin/ beside share/zelCalc/)
  QString userDataDir;     // the per-user data folder of the program
  QString sampleDir;       // the installed sample library
};

struct LibraryFolderChoice {
  QString baseDir;  // the library folder is baseDir + "/VBS"
  QString error;    // for the user, when the folder cannot be made; else empty
};

// The places for the running program; `userDataDir` empty means
// QStandardPaths::AppDataLocation.
LibraryFolderPlaces DefaultLibraryFolderPlaces(const QString& programDir,
                                               const QString& userDataDir = QString());

// Picks the folder and creates it when missing; in the user's data folder a
// new library folder gets a copy of the sample library.
LibraryFolderChoice ChooseLibraryFolder(const LibraryFolderPlaces& places);

}  // namespace zel
