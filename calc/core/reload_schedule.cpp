#include "reload_schedule.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

namespace zel {

namespace fs = std::filesystem;

LibrarySnapshot TakeLibrarySnapshot(const fs::path& folder) {
  LibrarySnapshot files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string ext = it->path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    if (ext != ".VBS") continue;
    struct stat st {};
    // A file that went between listing and looking is simply not there.
    if (::stat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    LibraryFileStamp f;
    f.name = it->path().filename().string();
    f.size = std::uintmax_t(st.st_size);
    f.modified = (long long)st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    f.inode = std::uintmax_t(st.st_ino);
    files.push_back(std::move(f));
  }
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  return files;
}

void ReloadSchedule::Changed(long long now) {
  pending_ = true;
  lastChange_ = now;
}

ReloadSchedule::Next ReloadSchedule::Check(long long now, bool scriptRunning, bool dialogOpen) const {
  if (!pending_) return {};
  if (now - lastChange_ < quiet_) return {Action::WaitQuiet, lastChange_ + quiet_};
  if (scriptRunning || dialogOpen) return {Action::WaitBusy, now + kLibraryBusyRetryMs};
  return {Action::Reload, now};
}

}  // namespace zel
