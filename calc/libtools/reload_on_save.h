#pragma once
// Reload Library on Save: the library folder is watched while the option
// is on, and a saved, added or removed library file reloads the library
// through Reload's own routine, without its question. The main window's
// status line says how it went; an open function browser shows the new
// library.
#include <QString>
#include <string>
#include <vector>

namespace zel {

class frmMain;
class LibraryWatcher;

// The watcher over the library folder, following the main window's option.
LibraryWatcher* WatchLibraryForSaves(frmMain& main);

// One reload after a save.
void ReloadSavedLibrary(frmMain& main);

// The status line's note after a reload of `loaded` files.
QString ReloadNote(size_t loaded, const std::vector<std::u16string>& notLoaded);

}  // namespace zel
