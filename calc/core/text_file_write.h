#pragma once
// Writing text files so that a failure never costs what a file held: a new
// content goes to a temporary file beside the file and is renamed over it
// once complete; an append that fails is cut back to the old length. Only
// regular files are written to: a folder, a device or a pipe is refused
// before anything is opened for reading or writing. Qt-free.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace zel {

// The calls through which files are created, read and written, as open(2),
// pread(2), write(2) and fsync(2). A test replaces them to play a full disk
// or a folder that takes no new file, or to see what is read.
struct FileCalls {
  std::function<int(const char* path, int flags, int mode)> open;
  std::function<long(int fd, char* data, size_t size, long long offset)> read;
  std::function<long(int fd, const char* data, size_t size)> write;
  std::function<int(int fd)> fsync;
};
FileCalls& CurrentFileCalls();  // the calls in use
FileCalls SystemFileCalls();    // the system's own

// Writes every byte through the calls in use; false with errno set when the
// file takes no more.
bool WriteAll(int fd, std::string_view bytes);

enum class WriteFault {
  None,
  Cancelled,    // the user declined; nothing was written
  NotRegular,   // a folder, a device or a pipe; nothing was written
  CannotOpen,   // the file to append to cannot be opened or read
  NoTempFile,   // no temporary file can be made beside the file
  WriteFailed,  // writing failed (`error` ENOSPC: the disk is full)
  NotReplaced,  // the written temporary file could not take the file's place
  NotText,      // a file to be rewritten does not read as its encoding
};

struct WriteOutcome {
  WriteFault fault = WriteFault::None;
  int error = 0;          // errno of the call that failed
  bool appending = false; // the failure happened while appending
  bool restored = true;   // the file holds what it held before
  bool ok() const { return fault == WriteFault::None; }
};

// Makes `bytes` the whole content of `path`: a new file, or an existing
// regular file (a link to one is followed and the file it names replaced).
WriteOutcome ReplaceFileContent(const std::filesystem::path& path, std::string_view bytes);

// Appends `text` directly after the content of the existing regular file
// `path`, in the file's own encoding (see DetectEncoding). When the file is
// CP932 and `text` has characters CP932 cannot hold, `rewriteAsUtf8` is
// asked: true rewrites the whole file as UTF-8 with `text` at its end, old
// content kept; false leaves it untouched (Cancelled).
WriteOutcome AppendText(const std::filesystem::path& path, std::u16string_view text,
                        const std::function<bool()>& rewriteAsUtf8);

}  // namespace zel
