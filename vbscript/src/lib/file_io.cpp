// Opening without waiting, checked writes, bounded reads and whole copies
// for the file system object.
#include "lib/file_io.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "vbs/stop_request.h"
#include "vbs/textcodec.h"
#include "vbs/variant.h"

namespace vbs::lib {

namespace {

constexpr size_t kHoldUpTo = size_t(1) << 16;   // bytes a sink holds before writing them
constexpr int kWaitStepMs = 20;                  // a wait's step between looks at Stop

struct FdCloser {
  int fd;
  ~FdCloser() {
    if (fd >= 0) ::close(fd);
  }
};

// Removes a temporary file unless the work that made it was kept.
struct TempRemover {
  std::string path;
  bool keep = false;
  ~TempRemover() {
    if (!keep) ::unlink(path.c_str());
  }
};

}  // namespace

int WriteErrorOf(int err) {
  return err == ENOSPC || err == EDQUOT || err == EFBIG ? kErrDiskFull : kErrDeviceIo;
}

int OpenNoWait(const std::filesystem::path& p, OpenFor how) {
  int flags = O_RDONLY;
  if (how == OpenFor::Write) flags = O_WRONLY | O_CREAT | O_TRUNC;
  if (how == OpenFor::Append) flags = O_WRONLY | O_CREAT | O_APPEND;
  // O_NONBLOCK: opening a FIFO for writing would otherwise wait for a
  // reader, and opening some devices waits for the device.
  const int fd = ::open(p.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == ENXIO) Raise(kErrPathFileAccess);   // a FIFO nobody reads
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    Raise(kErrDeviceIo);
  }
  if (S_ISREG(st.st_mode)) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
  }
  // A device is written in steps that Stop can end (FileSink); reading one
  // would never end, as the text is read whole. A FIFO or socket can stall
  // in either direction.
  if (how != OpenFor::Read && S_ISCHR(st.st_mode)) return fd;
  ::close(fd);
  Raise(kErrPathFileAccess);
}

FileSink::~FileSink() {
  if (fd_ < 0) return;
  try {
    Flush(false);
  } catch (...) {
  }
  ::close(fd_);
}

void FileSink::Write(std::string_view bytes) {
  if (fd_ < 0) Raise(kErrDeviceIo);
  held_.append(bytes);
  if (held_.size() >= kHoldUpTo) Flush(true);
}

void FileSink::Close() {
  if (fd_ < 0) return;
  // Closed also when a wait for a device ends at Stop.
  struct Release {
    FileSink& s;
    ~Release() {
      if (s.fd_ >= 0) ::close(s.fd_);
      s.fd_ = -1;
      s.held_.clear();
    }
  } release{*this};
  int failure = 0;
  try {
    Flush(true);
  } catch (const ScriptError& e) {
    failure = e.number;
  }
  const int fd = fd_;
  fd_ = -1;
  // close() reports what a network file system could only find out now.
  if (::close(fd) != 0 && errno != EINTR && failure == 0) failure = WriteErrorOf(errno);
  if (failure) Raise(failure);
}

void FileSink::Flush(bool wait) {
  size_t done = 0;
  // What was written goes from the buffer also when a wait ends at Stop.
  struct Consumed {
    std::string& held;
    const size_t& done;
    ~Consumed() { held.erase(0, done); }
  } consumed{held_, done};
  while (done < held_.size()) {
    const ssize_t n = ::write(fd_, held_.data() + done, held_.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n == 0 || errno == EAGAIN) {
      if (!wait) break;
      WaitWritable();
    } else if (errno != EINTR) {
      // What failed is dropped: the error is raised once, at this call.
      const int err = errno;
      done = held_.size();
      Raise(WriteErrorOf(err));
    }
  }
}

void FileSink::WaitWritable() const {
  pollfd p{fd_, POLLOUT, 0};
  while (true) {
    CheckStopRequest();
    const int r = ::poll(&p, 1, kWaitStepMs);
    if (r > 0) return;
    if (r < 0 && errno != EINTR) Raise(kErrDeviceIo);
  }
}

std::string ReadBounded(int fd, bool utf16, size_t maxUnits) {
  constexpr size_t kChunk = size_t(1) << 20;
  std::string bytes;
  // Never more units than bytes: counting starts once there are more bytes
  // than units allowed.
  DecodedLengthBound bound;
  size_t counted = 0;
  while (true) {
    CheckStopRequest();
    const size_t have = bytes.size();
    bytes.resize(have + kChunk);
    const ssize_t n = ::read(fd, bytes.data() + have, kChunk);
    bytes.resize(have + static_cast<size_t>(std::max<ssize_t>(n, 0)));
    if (n < 0) {
      if (errno == EINTR) continue;
      Raise(kErrDeviceIo);
    }
    if (n == 0) return bytes;
    if (bytes.size() <= maxUnits) continue;
    const bool wide = utf16 || Utf16MarkOf(bytes) != 0;
    size_t atLeast;
    if (wide) {
      atLeast = bytes.size() / 2 - (utf16 ? 0 : 1);
    } else {
      bound.Add(std::string_view(bytes).substr(counted));
      counted = bytes.size();
      atLeast = bound.AtLeast();
    }
    if (atLeast > maxUnits) Raise(kErrOutOfMemory);
  }
}

void CopyWhole(const std::filesystem::path& from, const std::filesystem::path& to) {
  const int in = OpenNoWait(from, OpenFor::Read);
  if (in < 0) Raise(kErrPermissionDenied);
  FdCloser inCloser{in};
  struct stat st {};
  if (::fstat(in, &st) != 0) Raise(kErrDeviceIo);

  TempRemover temp{(to.parent_path() / ("." + to.filename().string() + ".XXXXXX")).string()};
  const int out = ::mkostemp(temp.path.data(), O_CLOEXEC);
  if (out < 0) {
    temp.keep = true;   // nothing was made
    Raise(errno == ENOSPC || errno == EDQUOT ? kErrDiskFull : kErrPermissionDenied);
  }
  ::fchmod(out, st.st_mode & 07777);
  FileSink sink(out);
  std::string chunk(size_t(1) << 20, '\0');
  while (true) {
    CheckStopRequest();
    const ssize_t n = ::read(in, chunk.data(), chunk.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      Raise(kErrDeviceIo);
    }
    if (n == 0) break;
    sink.Write(std::string_view(chunk.data(), static_cast<size_t>(n)));
  }
  sink.Close();
  if (::rename(temp.path.c_str(), to.c_str()) != 0) Raise(kErrPermissionDenied);
  temp.keep = true;
}

}  // namespace vbs::lib
