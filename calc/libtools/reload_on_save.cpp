#include "reload_on_save.h"

#include <QDir>
#include <QFile>

#include "frm_customize.h"
#include "calc_session.h"
#include "frm_main.h"
#include "frm_tree.h"
#include "library_listing.h"
#include "library_loader.h"
#include "library_watcher.h"
#include "script_runner.h"
#include "status_line.h"
#include "zel_calculator.h"

namespace zel {

namespace {

// The note of a reload that loaded everything stays this long.
constexpr int kReloadNoteMs = 3000;

}  // namespace

QString ReloadNote(size_t loaded, const std::vector<std::u16string>& notLoaded) {
  QString note = QStringLiteral("Library reloaded: %1 %2").arg(loaded).arg(loaded == 1 ? "file" : "files");
  if (notLoaded.empty()) return note;
  QStringList names;
  for (const std::u16string& n : notLoaded) names << ToQ(n);
  return note + QStringLiteral("; not loaded: ") + names.join(QStringLiteral(", "));
}

void ReloadSavedLibrary(frmMain& main) {
  const LibraryReload r = ReloadUserLibrary(main, ReloadTrigger::Saved);
  if (!r.done) return;
  const size_t listed = ListLibraryFolder(main.Session().gLibraryPath).size();
  const size_t loaded = listed > r.notLoaded.size() ? listed - r.notLoaded.size() : 0;
  // A file that failed stays named until the next reload.
  main.lblStatus->ShowNote(ReloadNote(loaded, r.notLoaded), r.notLoaded.empty() ? kReloadNoteMs : 0);
  if (frmTree* tree = frmTree::Instance()) tree->Refresh();
}

LibraryWatcher* WatchLibraryForSaves(frmMain& main) {
  auto* watcher = new LibraryWatcher(main.Session().gLibraryPath,
                                     {[&main] { ReloadSavedLibrary(main); }, [] { return ScriptRunning(); },
                                      [] { return ModalDialogOpen(); }},
                                     &main);
  watcher->SetEnabled(main.ReloadOnSave());
  QObject::connect(&main, &frmMain::reloadOnSaveToggled, watcher, &LibraryWatcher::SetEnabled);
  return watcher;
}

}  // namespace zel
