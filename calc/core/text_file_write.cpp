#include "text_file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "file_encoding.h"
#include "vbs/textcodec.h"

namespace zel {

namespace fs = std::filesystem;

FileCalls SystemFileCalls() {
  FileCalls c;
  c.open = [](const char* path, int flags, int mode) { return ::open(path, flags, mode); };
  c.read = [](int fd, char* data, size_t size, long long offset) {
    return long(::pread(fd, data, size, off_t(offset)));
  };
  c.write = [](int fd, const char* data, size_t size) { return long(::write(fd, data, size)); };
  c.fsync = [](int fd) { return ::fsync(fd); };
  return c;
}

FileCalls& CurrentFileCalls() {
  static FileCalls calls = SystemFileCalls();
  return calls;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const long n = CurrentFileCalls().write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(size_t(n));
  }
  return true;
}

namespace {

// Reads up to `size` bytes at `offset`; false with errno set on a failure.
bool ReadAt(int fd, off_t offset, size_t size, std::string& out) {
  out.resize(size);
  size_t got = 0;
  while (got < size) {
    const long n = CurrentFileCalls().read(fd, out.data() + got, size - got, offset + off_t(got));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    got += size_t(n);
  }
  out.resize(got);
  return true;
}

// The file a link names, so that the file is replaced and not the link.
fs::path FollowLink(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
  const fs::path target = fs::weakly_canonical(path, ec);
  return ec ? path : target;
}

WriteOutcome Fault(WriteFault fault, int error = 0) {
  WriteOutcome o;
  o.fault = fault;
  o.error = error;
  return o;
}

class FileCloser {
 public:
  explicit FileCloser(int fd) : fd_(fd) {}
  ~FileCloser() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;
  // Closes now; false with errno set when the close reports a failure.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// A new file beside `target`, removed again unless it takes the target's place.
class TempFile {
 public:
  // `mode`: the permissions to give it (those of the file it replaces), or
  // -1 for a new file's defaults.
  TempFile(const fs::path& target, int mode) {
    static unsigned counter = 0;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 20 && fd_ < 0; ++attempt) {
      const std::string suffix = std::to_string(::getpid()) + "." +
                                 std::to_string((unsigned long long)stamp % 1000003u + ++counter);
      path_ = target.parent_path() / ("." + target.filename().string() + "." + suffix + ".tmp");
      fd_ = CurrentFileCalls().open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
      error_ = errno;
      path_.clear();
      return;
    }
    if (mode >= 0) ::fchmod(fd_, mode_t(mode));
  }
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  bool Made() const { return fd_ >= 0; }
  int Error() const { return error_; }
  int Fd() const { return fd_; }

  // Flushed to the disk, closed and renamed over `target`.
  WriteOutcome Commit(const fs::path& target) {
    if (CurrentFileCalls().fsync(fd_) != 0) return Fault(WriteFault::WriteFailed, errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return Fault(WriteFault::WriteFailed, errno);
    if (::rename(path_.c_str(), target.c_str()) != 0) return Fault(WriteFault::NotReplaced, errno);
    path_.clear();
    return {};
  }

 private:
  fs::path path_;
  int fd_ = -1;
  int error_ = 0;
};

// The mode of an existing regular file at `target`, -1 when there is none;
// NotRegular when something else is there.
WriteOutcome ExistingMode(const fs::path& target, int& mode) {
  mode = -1;
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) return {};
  if (!S_ISREG(st.st_mode)) return Fault(WriteFault::NotRegular);
  mode = int(st.st_mode & 07777);
  return {};
}

// The CP932 file open on `fd` (`size` bytes) rewritten as UTF-8 with `text`
// at its end, read and converted a piece at a time.
WriteOutcome RewriteAsUtf8(const fs::path& target, int fd, off_t size, int mode,
                           std::u16string_view text) {
  TempFile tmp(target, mode);
  if (!tmp.Made()) return Fault(WriteFault::NoTempFile, tmp.Error());
  Cp932ToUtf8 conv;
  constexpr size_t kPiece = 1 << 20;
  std::string piece, utf8;
  for (off_t at = 0; at < size; at += off_t(kPiece)) {
    if (!ReadAt(fd, at, kPiece, piece)) return Fault(WriteFault::CannotOpen, errno);
    utf8.clear();
    if (!conv.Convert(piece, false, utf8)) return Fault(WriteFault::NotText, EILSEQ);
    if (!WriteAll(tmp.Fd(), utf8)) return Fault(WriteFault::WriteFailed, errno);
  }
  utf8.clear();
  if (!conv.Convert({}, true, utf8)) return Fault(WriteFault::NotText, EILSEQ);
  utf8 += vbs::Utf16ToUtf8(text);
  if (!WriteAll(tmp.Fd(), utf8)) return Fault(WriteFault::WriteFailed, errno);
  return tmp.Commit(target);
}

}  // namespace

WriteOutcome ReplaceFileContent(const fs::path& path, std::string_view bytes) {
  const fs::path target = FollowLink(path);
  int mode = -1;
  if (WriteOutcome o = ExistingMode(target, mode); !o.ok()) return o;
  TempFile tmp(target, mode);
  if (!tmp.Made()) return Fault(WriteFault::NoTempFile, tmp.Error());
  if (!WriteAll(tmp.Fd(), bytes)) return Fault(WriteFault::WriteFailed, errno);
  return tmp.Commit(target);
}

WriteOutcome AppendText(const fs::path& path, std::u16string_view text,
                        const std::function<bool()>& rewriteAsUtf8) {
  const fs::path target = FollowLink(path);
  // Looked at before opening: opening a pipe or a device may block or
  // never end a read.
  int mode = -1;
  if (WriteOutcome o = ExistingMode(target, mode); !o.ok()) return o;
  if (mode < 0) return Fault(WriteFault::CannotOpen, ENOENT);
  const int fd = CurrentFileCalls().open(target.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
  if (fd < 0) return Fault(WriteFault::CannotOpen, errno);
  FileCloser closer(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) return Fault(WriteFault::CannotOpen, errno);
  // Something else put in its place since it was looked at.
  if (!S_ISREG(st.st_mode)) return Fault(WriteFault::NotRegular);
  const off_t size = st.st_size;

  std::string head, tail;
  if (!ReadAt(fd, 0, kEncodingSampleBytes, head)) return Fault(WriteFault::CannotOpen, errno);
  if (size > off_t(kEncodingSampleBytes) &&
      !ReadAt(fd, size - off_t(kEncodingSampleBytes), kEncodingSampleBytes, tail))
    return Fault(WriteFault::CannotOpen, errno);
  const TextEncoding encoding = DetectEncoding(head, tail);
  const std::optional<std::string> bytes = EncodeText(text, encoding);
  if (!bytes) {
    if (!rewriteAsUtf8 || !rewriteAsUtf8()) return Fault(WriteFault::Cancelled);
    return RewriteAsUtf8(target, fd, size, mode, text);
  }

  // Written at the end as it was measured, so that a failure can cut the
  // file back to exactly that length.
  WriteOutcome failed;
  if (::lseek(fd, size, SEEK_SET) < 0 || !WriteAll(fd, *bytes) || CurrentFileCalls().fsync(fd) != 0)
    failed = Fault(WriteFault::WriteFailed, errno);
  else if (!closer.Close())
    failed = Fault(WriteFault::WriteFailed, errno);
  if (failed.ok()) return failed;
  failed.appending = true;
  failed.restored = ::truncate(target.c_str(), size) == 0;
  return failed;
}

}  // namespace zel
