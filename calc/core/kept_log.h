#pragma once
// The output log and the input history kept on disk between runs. A kept
// file is UTF-8 text, one entry per line, each line ended by '\n'; a line
// is appended and flushed the moment it is logged, so a crash costs at most
// the line being written, and a last line without its '\n' is dropped on
// reading. Qt-free.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "text_file_write.h"

namespace zel {

inline constexpr size_t kKeptLogLineCap = 10000;
inline constexpr size_t kKeptHistoryCap = 1000;

enum class KeptReadStatus {
  Missing,     // no file yet: nothing was kept
  Read,        // `lines` holds the newest complete lines
  Damaged,     // not UTF-8 text (another encoding, binary garbage)
  Unreadable,  // the file exists but cannot be opened or read (`error`)
};

struct KeptRead {
  KeptReadStatus status = KeptReadStatus::Missing;
  std::vector<std::u16string> lines;  // oldest first, at most the cap
  size_t completeLines = 0;           // in the file, before the cap
  bool partialDropped = false;        // a last line without its '\n'
  int error = 0;
};

// Reads the newest `cap` complete lines of a kept file.
KeptRead ReadKeptLines(const std::filesystem::path& path, size_t cap);

// The bytes of `lines` as a kept file holds them.
std::string EncodeKeptLines(const std::vector<std::u16string>& lines);

// A logged text always starts with a line break (the log's first line is
// empty): each kept line stands for a line break and the line after it.
std::vector<std::u16string> KeptLinesFromLogged(std::u16string_view logged);
std::u16string LoggedFromKeptLines(const std::vector<std::u16string>& lines);

// History entries are one line each; line breaks inside an entry are
// escaped (\n, \r, and \\ for the backslash).
std::u16string EscapeHistoryEntry(std::u16string_view entry);
std::u16string UnescapeHistoryEntry(std::u16string_view line);

// The line that opens a session's part of the log.
std::u16string SessionSeparator(int year, int month, int day, int hour, int minute, int second);

// An open kept file. Appends are single writes followed by fsync.
class KeptFile {
 public:
  KeptFile() = default;
  ~KeptFile();
  KeptFile(const KeptFile&) = delete;
  KeptFile& operator=(const KeptFile&) = delete;

  // Opens (creating) the file for appending. A partly written last line
  // left by a crash is cut off first, so that the next line starts clean.
  // false with Error() set when the file cannot be opened.
  bool Open(const std::filesystem::path& path);
  bool Append(const std::vector<std::u16string>& lines);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  int Error() const { return error_; }

 private:
  int fd_ = -1;
  int error_ = 0;
};

// Rewrites a kept file with only its newest `cap` complete lines, through a
// temporary file and a rename. A file within the cap is left alone.
WriteOutcome CompactKeptFile(const std::filesystem::path& path, size_t cap);

// Moves the kept file's content to `backup` (the backup before is
// replaced) and leaves no file behind. false with errno when it cannot.
bool MoveKeptToBackup(const std::filesystem::path& path, const std::filesystem::path& backup);

// Renames a file that cannot be read out of the way, to a free name beside
// it marked with `stamp`; the new path, or empty when it cannot be moved.
std::filesystem::path SetKeptFileAside(const std::filesystem::path& path, const std::string& stamp);

}  // namespace zel
