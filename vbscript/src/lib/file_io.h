#pragma once
// File access under the file system object: opening never waits (a FIFO or
// a device must not hold a script where Stop cannot reach it), every failed
// write reaches the script, reading stops once the text is sure to be
// longer than a script string can be, and a copy never leaves a partial file.
#include <filesystem>
#include <string>
#include <string_view>

namespace vbs::lib {

// The run-time error for a failed write: 61 "Disk full" when the disk,
// the quota or the file size limit is reached, else 57 "Device I/O error".
int WriteErrorOf(int err);

enum class OpenFor { Read, Write, Append };

// Opens without waiting: regular files, and for writing also character
// devices (/dev/null); a FIFO, socket or other device raises 75 "Path/File
// access error". -1 with errno set when the system refuses the file.
int OpenNoWait(const std::filesystem::path& p, OpenFor how);

// Buffered output to a file descriptor it owns. Write and Close raise the
// error of a failed write; waits for a device to take more output end at
// the script's stop request.
class FileSink {
 public:
  explicit FileSink(int fd) : fd_(fd) {}
  // Writes what it holds without waiting and closes: a failure here has no
  // call left to report it to (scripts that care call Close).
  ~FileSink();
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  void Write(std::string_view bytes);
  // Writes what is held and closes the descriptor, also when that fails.
  void Close();

 private:
  void Flush(bool wait);
  void WaitWritable() const;
  int fd_;
  std::string held_;
};

// The rest of fd's bytes. Raises 7 as soon as they are sure to decode to
// more than maxUnits UTF-16 code units: two bytes a unit when `utf16` or
// after a UTF-16 byte-order mark, otherwise as DecodeScriptText reads them.
std::string ReadBounded(int fd, bool utf16, size_t maxUnits);

// Copies a regular file through a temporary file beside the target, renamed
// over it once every byte is written: a failed copy leaves the target as it
// was and no temporary behind.
void CopyWhole(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace vbs::lib
