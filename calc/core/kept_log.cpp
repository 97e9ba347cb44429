#include "kept_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "vbs/textcodec.h"

namespace zel {

namespace fs = std::filesystem;

namespace {

// The whole file; false with errno when it cannot be opened or read.
bool ReadWhole(const fs::path& path, std::string& out, bool& missing) {
  missing = false;
  const int fd = CurrentFileCalls().open(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) {
    missing = errno == ENOENT;
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int e = S_ISREG(st.st_mode) ? errno : EISDIR;
    ::close(fd);
    errno = e;
    return false;
  }
  out.clear();
  char buffer[65536];
  long long offset = 0;
  for (;;) {
    const long n = CurrentFileCalls().read(fd, buffer, sizeof buffer, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      ::close(fd);
      errno = e;
      return false;
    }
    if (n == 0) break;
    out.append(buffer, size_t(n));
    offset += n;
  }
  ::close(fd);
  return true;
}

// The length of the complete lines: up to and with the last '\n'.
off_t CompleteLength(int fd, off_t size) {
  char buffer[4096];
  off_t end = size;
  while (end > 0) {
    const off_t start = end > off_t(sizeof buffer) ? end - off_t(sizeof buffer) : 0;
    const long n = CurrentFileCalls().read(fd, buffer, size_t(end - start), start);
    if (n <= 0) return size;  // cannot look: leave the file as it is
    for (long i = n - 1; i >= 0; --i)
      if (buffer[i] == '\n') return start + i + 1;
    end = start;
  }
  return 0;
}

}  // namespace

KeptRead ReadKeptLines(const fs::path& path, size_t cap) {
  KeptRead r;
  std::string bytes;
  bool missing = false;
  if (!ReadWhole(path, bytes, missing)) {
    r.status = missing ? KeptReadStatus::Missing : KeptReadStatus::Unreadable;
    r.error = missing ? 0 : errno;
    return r;
  }
  const size_t complete = bytes.rfind('\n') == std::string::npos ? 0 : bytes.rfind('\n') + 1;
  r.partialDropped = complete < bytes.size();
  bytes.resize(complete);
  // A NUL is no text: what a power cut leaves of an unwritten block, or
  // another file's bytes.
  if (!vbs::IsValidUtf8(bytes) || bytes.find('\0') != std::string::npos) {
    r.status = KeptReadStatus::Damaged;
    return r;
  }
  r.status = KeptReadStatus::Read;
  size_t lines = 0;
  for (char c : bytes) lines += c == '\n';
  r.completeLines = lines;
  // Only the newest `cap` lines are decoded.
  size_t skip = lines > cap ? lines - cap : 0;
  size_t pos = 0;
  while (skip > 0) {
    pos = bytes.find('\n', pos) + 1;
    --skip;
  }
  r.lines.reserve(lines < cap ? lines : cap);
  while (pos < bytes.size()) {
    const size_t end = bytes.find('\n', pos);
    r.lines.push_back(vbs::Utf8ToUtf16(std::string_view(bytes).substr(pos, end - pos)));
    pos = end + 1;
  }
  return r;
}

std::string EncodeKeptLines(const std::vector<std::u16string>& lines) {
  std::string out;
  for (const std::u16string& line : lines) {
    out += vbs::Utf16ToUtf8(line);
    out += '\n';
  }
  return out;
}

std::vector<std::u16string> KeptLinesFromLogged(std::u16string_view logged) {
  std::vector<std::u16string> lines;
  if (logged.empty()) return lines;
  // The leading break is the one each kept line stands for.
  if (logged.substr(0, 2) == u"\r\n") logged.remove_prefix(2);
  else if (logged.front() == u'\n') logged.remove_prefix(1);
  std::u16string line;
  for (size_t i = 0; i < logged.size(); ++i) {
    const char16_t c = logged[i];
    if (c == u'\r' && i + 1 < logged.size() && logged[i + 1] == u'\n') continue;
    if (c == u'\n') {
      lines.push_back(std::move(line));
      line.clear();
    } else {
      line += c;
    }
  }
  lines.push_back(std::move(line));
  return lines;
}

std::u16string LoggedFromKeptLines(const std::vector<std::u16string>& lines) {
  std::u16string text;
  for (const std::u16string& line : lines) {
    text += u'\n';
    text += line;
  }
  return text;
}

std::u16string EscapeHistoryEntry(std::u16string_view entry) {
  std::u16string out;
  for (char16_t c : entry) {
    if (c == u'\\') out += u"\\\\";
    else if (c == u'\n') out += u"\\n";
    else if (c == u'\r') out += u"\\r";
    else out += c;
  }
  return out;
}

std::u16string UnescapeHistoryEntry(std::u16string_view line) {
  std::u16string out;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == u'\\' && i + 1 < line.size()) {
      const char16_t next = line[++i];
      out += next == u'n' ? u'\n' : next == u'r' ? u'\r' : next;
    } else {
      out += line[i];
    }
  }
  return out;
}

std::u16string SessionSeparator(int year, int month, int day, int hour, int minute, int second) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", year, month, day, hour, minute,
                second);
  std::u16string line = u"──── ";
  for (const char* p = text; *p; ++p) line += char16_t(*p);
  line += u" ────";
  return line;
}

KeptFile::~KeptFile() { Close(); }

bool KeptFile::Open(const fs::path& path) {
  Close();
  error_ = 0;
  const int fd = CurrentFileCalls().open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) {
    error_ = errno;
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error_ = S_ISREG(st.st_mode) ? errno : EISDIR;
    ::close(fd);
    return false;
  }
  const off_t complete = CompleteLength(fd, st.st_size);
  if (complete < st.st_size && ::ftruncate(fd, complete) != 0) {
    error_ = errno;
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

bool KeptFile::Append(const std::vector<std::u16string>& lines) {
  if (fd_ < 0) return false;
  const std::string bytes = EncodeKeptLines(lines);
  // One write for all the lines: a crash leaves them whole or a partial
  // last line, which the next reading drops.
  if (!WriteAll(fd_, bytes) || CurrentFileCalls().fsync(fd_) != 0) {
    error_ = errno;
    return false;
  }
  return true;
}

void KeptFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

WriteOutcome CompactKeptFile(const fs::path& path, size_t cap) {
  const KeptRead r = ReadKeptLines(path, cap);
  if (r.status != KeptReadStatus::Read || (r.completeLines <= cap && !r.partialDropped)) return {};
  return ReplaceFileContent(path, EncodeKeptLines(r.lines));
}

bool MoveKeptToBackup(const fs::path& path, const fs::path& backup) {
  std::error_code ec;
  if (!fs::exists(path, ec)) return true;
  fs::rename(path, backup, ec);
  if (ec) {
    errno = ec.value();
    return false;
  }
  return true;
}

fs::path SetKeptFileAside(const fs::path& path, const std::string& stamp) {
  for (int n = 0; n < 100; ++n) {
    fs::path aside = path;
    aside += ".unreadable-" + stamp + (n ? "-" + std::to_string(n) : std::string());
    std::error_code ec;
    if (fs::exists(aside, ec)) continue;
    fs::rename(path, aside, ec);
    return ec ? fs::path() : aside;
  }
  return {};
}

}  // namespace zel
