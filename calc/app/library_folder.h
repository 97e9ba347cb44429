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
  QString documentsDir;    // the user's documents folder
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

// Where the file dialogs open. A program that keeps its library beside
// itself opens them all in its own folder. An installed one has nothing of
// the user's there (and cannot write it): the editor chooser opens in the
// folder of programs it sits in, the text file dialogs in the user's
// documents folder (the home folder when that does not exist).
struct DialogFolders {
  QString programs;   // the editor chooser
  QString documents;  // export and import of text files
};
DialogFolders ChooseDialogFolders(const LibraryFolderPlaces& places);

// The folders of the running program, set at start-up; until then both
// are the program's folder.
void SetDialogFolders(const DialogFolders& folders);
const DialogFolders& CurrentDialogFolders();

}  // namespace zel
