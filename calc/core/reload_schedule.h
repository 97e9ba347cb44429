#pragma once
// When a library that is watched reloads itself. A change to its files
// starts a quiet period; each further change starts it again; once the
// files have stayed unchanged for the whole period the library is
// reloaded, but never while a script runs or one of the program's dialogs
// is open: the reload then waits until both are over. Times are
// milliseconds of a steady clock. Qt-free.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zel {

inline constexpr long long kLibraryQuietMs = 300;
// How often a reload held back by a script or a dialog looks again.
inline constexpr long long kLibraryBusyRetryMs = 100;

// What tells one version of a library file from another: a save in place
// changes the size or the time, a save by rename the file's identity.
struct LibraryFileStamp {
  std::string name;
  std::uintmax_t size = 0;
  long long modified = 0;  // nanoseconds
  std::uintmax_t inode = 0;
  bool operator==(const LibraryFileStamp&) const = default;
};
using LibrarySnapshot = std::vector<LibraryFileStamp>;  // sorted by name

// The folder's library files (extension VBS in any letter case, not in
// sub-folders). Editors' backup and swap files are not library files, so
// their coming and going is no change.
LibrarySnapshot TakeLibrarySnapshot(const std::filesystem::path& folder);

class ReloadSchedule {
 public:
  explicit ReloadSchedule(long long quietMs = kLibraryQuietMs) : quiet_(quietMs) {}

  void Changed(long long now);
  bool Pending() const { return pending_; }

  enum class Action {
    Nothing,     // no change waits
    WaitQuiet,   // the files changed too recently
    WaitBusy,    // quiet, but a script runs or a dialog is open
    Reload,
  };
  struct Next {
    Action action = Action::Nothing;
    long long checkAt = 0;  // when to look again (WaitQuiet, WaitBusy)
  };
  Next Check(long long now, bool scriptRunning, bool dialogOpen) const;
  // The reload has run: the changes so far are in.
  void Reloaded() { pending_ = false; }

 private:
  long long quiet_;
  long long lastChange_ = 0;
  bool pending_ = false;
};

}  // namespace zel
