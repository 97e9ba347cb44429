// Scripting.FileSystemObject with File, Folder, their collections and
// TextStream. Scripts written for Windows use "\" as well as "/"; both are
// accepted as separators. Text is read as UTF-8 or CP932 (or UTF-16 with a
// byte-order mark) and written as UTF-8 without one, lines ended by CR LF.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <memory>

#include "lib/datecalc.h"
#include "lib/file_io.h"
#include "lib/objbase.h"
#include "lib/textalgo.h"
#include "vbs/textcodec.h"

namespace vbs::lib {

namespace fs = std::filesystem;

namespace {

constexpr off_t kReadAtOnce = off_t(1) << 20;   // bytes a TextStream reads when opened

bool IsSep(char16_t c) { return c == u'/' || c == u'\\'; }

// A NUL would end the name the system sees: refused rather than cut short.
void RefuseNul(std::u16string_view p) {
  if (p.find(u'\0') != std::u16string_view::npos) Raise(kErrBadFileName);
}

fs::path ToPath(std::u16string_view p) {
  RefuseNul(p);
  std::u16string s(p);
  std::replace(s.begin(), s.end(), u'\\', u'/');
  return fs::path(Utf16ToUtf8(s));
}

std::u16string FromPath(const fs::path& p) { return Utf8ToUtf16(p.generic_string()); }

std::u16string StripTrailingSeps(std::u16string_view p) {
  size_t e = p.size();
  while (e > 1 && IsSep(p[e - 1])) --e;
  return std::u16string(p.substr(0, e));
}

std::u16string FileNameOf(std::u16string_view path) {
  const std::u16string p = StripTrailingSeps(path);
  size_t i = p.size();
  while (i > 0 && !IsSep(p[i - 1]) && p[i - 1] != u':') --i;
  return p.substr(i);
}

std::u16string ParentOf(std::u16string_view path) {
  const std::u16string p = StripTrailingSeps(path);
  size_t i = p.size();
  while (i > 0 && !IsSep(p[i - 1]) && p[i - 1] != u':') --i;
  if (i == 0) return u"";
  if (i == 1 && IsSep(p[0])) return p.size() > 1 ? p.substr(0, 1) : u"";   // "/a" -> "/"
  std::u16string parent = p.substr(0, i);
  if (parent.size() > 1 && IsSep(parent.back()) && parent[parent.size() - 2] != u':') parent.pop_back();
  return parent == p ? u"" : parent;
}

std::u16string ExtensionOf(std::u16string_view path) {
  const std::u16string name = FileNameOf(path);
  const size_t dot = name.rfind(u'.');
  return dot == std::u16string::npos ? u"" : name.substr(dot + 1);
}

std::u16string BaseNameOf(std::u16string_view path) {
  const std::u16string name = FileNameOf(path);
  const size_t dot = name.rfind(u'.');
  return dot == std::u16string::npos ? name : name.substr(0, dot);
}

// "*" and "?" as file names use them, ignoring case.
bool WildcardMatch(std::u16string_view pat, std::u16string_view name) {
  size_t p = 0, n = 0, starP = std::u16string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pat.size() && (pat[p] == u'?' || FoldCase(pat[p]) == FoldCase(name[n]))) {
      ++p;
      ++n;
    } else if (p < pat.size() && pat[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (starP != std::u16string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pat.size() && pat[p] == u'*') ++p;
  return p == pat.size();
}

std::u16string BuildPath(std::u16string_view dir, std::u16string_view name) {
  if (dir.empty()) return std::u16string(name);
  std::u16string r(dir);
  const bool dirEnds = IsSep(r.back()) || r.back() == u':';
  const bool nameStarts = !name.empty() && IsSep(name[0]);
  if (!dirEnds && !nameStarts) {
    const bool backslash = r.find(u'\\') != std::u16string::npos && r.find(u'/') == std::u16string::npos;
    r.push_back(backslash ? u'\\' : u'/');
  } else if (dirEnds && nameStarts) {
    name.remove_prefix(1);
  }
  return r + std::u16string(name);
}

std::u16string AbsoluteOf(std::u16string_view path) {
  std::error_code ec;
  fs::path p = ToPath(path);
  if (p.is_relative()) p = fs::current_path(ec) / p;
  p = p.lexically_normal();
  std::u16string s = FromPath(p);
  if (s.size() > 1 && s.back() == u'/') s.pop_back();
  return s;
}

double LocalSerial(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return MakeSerial(DayNumber(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday),
                    tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec);
}

struct StatInfo {
  bool ok = false;
  bool dir = false;
  double size = 0;
  double modified = 0, created = 0, accessed = 0;
  bool readOnly = false;
};

StatInfo Stat(const fs::path& p) {
  StatInfo r;
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0) return r;
  r.ok = true;
  r.dir = S_ISDIR(st.st_mode);
  r.size = static_cast<double>(st.st_size);
  r.modified = LocalSerial(st.st_mtime);
  r.created = LocalSerial(st.st_ctime);
  r.accessed = LocalSerial(st.st_atime);
  r.readOnly = (st.st_mode & S_IWUSR) == 0;
  return r;
}

bool IsFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

bool IsDir(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

// Anything by that name: a file, a folder, a FIFO, a device.
bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::status(p, ec));
}

void NeedParentDir(const fs::path& p) {
  const fs::path parent = p.parent_path();
  if (!parent.empty() && !IsDir(parent)) Raise(kErrPathNotFound);
}

// ---------------------------------------------------------------------------

class TextStream final : public LibObject {
 public:
  enum Member { kNoDefault, kReadLine, kReadAll, kRead, kSkip, kSkipLine, kAtEndOfStream, kAtEndOfLine,
                kLine, kColumn, kWrite, kWriteLine, kWriteBlankLines, kClose };

  // Reading: the file is read and decoded whole, a small one at once (its
  // text is then what the file held when it was opened), a large one at
  // the first read, which can refuse it.
  static Ref<HostObject> Reader(int fd, int format) {
    auto* t = new TextStream(true);
    Ref<HostObject> r(t);
    t->inFd_ = fd;
    t->format_ = format;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size <= kReadAtOnce) t->Load();
    return r;
  }
  // Writing or appending; a new UTF-16 file starts with its byte-order mark.
  static Ref<HostObject> Writer(int fd, bool utf16, bool bom) {
    auto* t = new TextStream(false);
    Ref<HostObject> r(t);
    t->sink_ = std::make_unique<FileSink>(fd);
    t->utf16_ = utf16;
    if (bom) t->sink_->Write("\xFF\xFE");
    return r;
  }
  ~TextStream() override {
    if (inFd_ >= 0) ::close(inFd_);
  }

  std::u16string TypeName() const override { return u"TextStream"; }

  void Invoke(int member, InvokeKind kind, Args& a, Variant& result) override {
    if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) Raise(kErrNoSuchMember);
    switch (member) {
      case kLine: NeedArgs(a, 0, 0); result = Variant::FromLong(line_); return;
      case kColumn: NeedArgs(a, 0, 0); result = Variant::FromLong(column_); return;
      case kClose:
        NeedArgs(a, 0, 0);
        closed_ = true;
        CloseFile();
        return;
      default: break;
    }
    if (closed_) Raise(kErrBadFileMode);
    switch (member) {
      case kReadLine: {
        NeedArgs(a, 0, 0);
        NeedRead(true);
        const size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != u'\r' && text_[pos_] != u'\n') ++pos_;
        std::u16string line = text_.substr(start, pos_ - start);
        if (pos_ < text_.size()) {
          if (text_[pos_] == u'\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\n') ++pos_;
          ++pos_;
        }
        ++line_;
        column_ = 1;
        result = Variant::FromString(line);
        return;
      }
      case kReadAll: {
        NeedArgs(a, 0, 0);
        NeedRead(true);
        result = Variant::FromString(Take(text_.size() - pos_));
        return;
      }
      case kRead: {
        NeedArgs(a, 1, 1);
        const int32_t n = ToLong(a[0]);
        if (n < 0) Raise(kErrInvalidCall);
        NeedRead(n > 0);
        result = Variant::FromString(Take(std::min<size_t>(static_cast<size_t>(n), text_.size() - pos_)));
        return;
      }
      case kSkip: {
        NeedArgs(a, 1, 1);
        const int32_t n = ToLong(a[0]);
        if (n < 0) Raise(kErrInvalidCall);
        NeedRead(n > 0);
        Take(std::min<size_t>(static_cast<size_t>(n), text_.size() - pos_));
        return;
      }
      case kSkipLine: {
        NeedArgs(a, 0, 0);
        Variant ignored;
        Args none;
        Invoke(kReadLine, InvokeKind::Method, none, ignored);
        return;
      }
      case kAtEndOfStream:
        NeedArgs(a, 0, 0);
        NeedRead(false);
        result = Variant::FromBool(pos_ >= text_.size());
        return;
      case kAtEndOfLine:
        NeedArgs(a, 0, 0);
        NeedRead(false);
        result = Variant::FromBool(pos_ >= text_.size() || text_[pos_] == u'\r' || text_[pos_] == u'\n');
        return;
      case kWrite:
        NeedArgs(a, 1, 1);
        Put(ToText(a[0]));
        return;
      case kWriteLine:
        NeedArgs(a, 0, 1);
        Put((a.Missing(0) ? std::u16string() : ToText(a[0])) + u"\r\n");
        return;
      case kWriteBlankLines: {
        NeedArgs(a, 1, 1);
        const int32_t n = ToLong(a[0]);
        if (n < 0) Raise(kErrInvalidCall);
        std::u16string s;
        for (int32_t i = 0; i < n; ++i) s += u"\r\n";
        Put(s);
        return;
      }
      default: Raise(kErrNoSuchMember);
    }
  }

 protected:
  MemberTable Members() const override {
    // Slot 0 is the default member, which a TextStream does not have.
    static constexpr const char* kNames[] = {
        "", "ReadLine", "ReadAll", "Read", "Skip", "SkipLine", "AtEndOfStream", "AtEndOfLine",
        "Line", "Column", "Write", "WriteLine", "WriteBlankLines", "Close"};
    return MemberTable(kNames);
  }

 private:
  explicit TextStream(bool reading) : reading_(reading) {}

  void NeedRead(bool consumes) {
    if (!reading_) Raise(kErrBadFileMode);
    Load();
    if (consumes && pos_ >= text_.size()) Raise(kErrPastEndOfFile);
  }

  // A text longer than a script string raises 7 as soon as that is sure,
  // not after the whole file is in memory; the stream is then at its end.
  void Load() {
    if (inFd_ < 0) return;
    const int fd = inFd_;
    inFd_ = -1;
    struct Closer {
      int fd;
      ~Closer() { ::close(fd); }
    } closer{fd};
    std::u16string text = DecodeFile(ReadBounded(fd, format_ == -1, String::kMaxLength), format_);
    if (text.size() > String::kMaxLength) Raise(kErrOutOfMemory);
    text_ = std::move(text);
  }

  // Moves past n characters, keeping Line and Column up to date.
  std::u16string Take(size_t n) {
    std::u16string r = text_.substr(pos_, n);
    for (size_t i = 0; i < n; ++i) {
      const char16_t c = text_[pos_ + i];
      if (c == u'\n' || (c == u'\r' && !(pos_ + i + 1 < text_.size() && text_[pos_ + i + 1] == u'\n'))) {
        ++line_;
        column_ = 1;
      } else if (c != u'\r') {
        ++column_;
      }
    }
    pos_ += n;
    return r;
  }

  void Put(const std::u16string& s) {
    if (reading_) Raise(kErrBadFileMode);
    for (char16_t c : s) {
      if (c == u'\n') { ++line_; column_ = 1; }
      else if (c != u'\r') ++column_;
    }
    if (utf16_) {
      std::string bytes;
      for (char16_t c : s) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
      }
      Raw(bytes);
    } else {
      Raw(Utf16ToUtf8(s));
    }
  }

  void Raw(const std::string& bytes) {
    if (!sink_) Raise(kErrBadFileMode);
    sink_->Write(bytes);
  }

  // Close raises the error of the last write, as Write would have.
  void CloseFile() {
    if (inFd_ >= 0) {
      ::close(inFd_);
      inFd_ = -1;
    }
    if (sink_) sink_->Close();
  }

  static std::u16string DecodeFile(const std::string& bytes, int format);

  bool reading_;
  bool closed_ = false;
  int inFd_ = -1;        // reading: the file until its first read
  int format_ = 0;
  std::u16string text_;
  size_t pos_ = 0;
  int32_t line_ = 1, column_ = 1;
  std::unique_ptr<FileSink> sink_;
  bool utf16_ = false;
};

std::u16string TextStream::DecodeFile(const std::string& bytes, int format) {
  const bool bomLE = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                     static_cast<unsigned char>(bytes[1]) == 0xFE;
  if (bomLE || format == -1) {
    std::u16string r;
    for (size_t i = bomLE ? 2 : 0; i + 1 < bytes.size(); i += 2)
      r.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                        (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return r;
  }
  if (auto text = DecodeScriptText(bytes)) return *text;
  // Neither encoding fits: keep the bytes as Latin-1 rather than fail.
  return std::u16string(bytes.begin(), bytes.end());
}

// Errors of a refused open: 61 when a new file finds the disk full.
[[noreturn]] void OpenFailed() {
  Raise(errno == ENOSPC || errno == EDQUOT ? kErrDiskFull : kErrPermissionDenied);
}

Ref<HostObject> OpenForReading(const fs::path& p, int format) {
  if (!Exists(p) || IsDir(p)) {
    NeedParentDir(p);
    Raise(kErrFileNotFound);
  }
  const int fd = OpenNoWait(p, OpenFor::Read);
  if (fd < 0) OpenFailed();
  return TextStream::Reader(fd, format);
}

Ref<HostObject> OpenForWriting(const fs::path& p, bool append, bool unicode) {
  NeedParentDir(p);
  if (IsDir(p)) Raise(kErrPermissionDenied);
  const int fd = OpenNoWait(p, append ? OpenFor::Append : OpenFor::Write);
  if (fd < 0) OpenFailed();
  return TextStream::Writer(fd, unicode, unicode && !append);
}

Ref<HostObject> MakeFile(const std::u16string& path);
Ref<HostObject> MakeFolder(const std::u16string& path);

// Files or SubFolders of a folder: by name, in name order, as the folder
// holds them when asked.
class EntryCollection final : public Collection {
 public:
  EntryCollection(std::u16string dir, bool folders) : dir_(std::move(dir)), folders_(folders) {}
  std::u16string TypeName() const override { return folders_ ? u"Folders" : u"Files"; }

  bool Enumerate(std::vector<Variant>& out) override {
    for (const auto& name : Names()) out.push_back(Entry(name));
    return true;
  }

 protected:
  Variant Item(const Variant& key) override {
    const std::u16string name = ToText(key);
    for (const auto& n : Names())
      if (StrCompare(n, name, Compare::Text) == 0) return Entry(n);
    Raise(kErrFileNotFound);
  }
  int32_t Count() override { return static_cast<int32_t>(Names().size()); }

 private:
  std::vector<std::u16string> Names() const {
    std::vector<std::u16string> names;
    std::error_code ec;
    for (fs::directory_iterator it(ToPath(dir_), ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code ec2;
      const bool isDir = it->is_directory(ec2);
      if (isDir == folders_) names.push_back(Utf8ToUtf16(it->path().filename().string()));
    }
    std::sort(names.begin(), names.end(),
              [](const auto& x, const auto& y) { return StrCompare(x, y, Compare::Text) < 0; });
    return names;
  }

  Variant Entry(const std::u16string& name) const {
    const std::u16string path = BuildPath(dir_, name);
    Ref<HostObject> o = folders_ ? MakeFolder(path) : MakeFile(path);
    return Variant::FromObject(o.get());
  }

  std::u16string dir_;
  bool folders_;
};

// File and Folder share most properties.
class FileItem final : public LibObject {
 public:
  enum Member { kPath, kName, kSize, kDateLastModified, kDateCreated, kDateLastAccessed, kParentFolder,
                kAttributes, kType, kShortName, kShortPath, kDelete, kOpenAsTextStream, kFiles, kSubFolders,
                kIsRootFolder, kCreateTextFile };

  FileItem(std::u16string path, bool folder) : path_(std::move(path)), folder_(folder) {}
  std::u16string TypeName() const override { return folder_ ? u"Folder" : u"File"; }

  void Invoke(int member, InvokeKind kind, Args& a, Variant& result) override {
    if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) {
      if (member == kName) return Rename(ToText(a[a.size() - 1]));
      Raise(kErrNoSuchMember);
    }
    const fs::path p = ToPath(path_);
    switch (member) {
      case kPath: result = Variant::FromString(path_); return;
      case kName: case kShortName: result = Variant::FromString(FileNameOf(path_)); return;
      case kShortPath: result = Variant::FromString(path_); return;
      case kType: result = Variant::FromString(folder_ ? u"File folder" : ExtensionOf(path_) + u" File"); return;
      case kParentFolder: {
        const std::u16string parent = ParentOf(path_);
        if (parent.empty()) { result = Variant::Nothing(); return; }
        result = Variant::FromObject(MakeFolder(parent).get());
        return;
      }
      case kIsRootFolder: result = Variant::FromBool(folder_ && ParentOf(path_).empty()); return;
      case kDelete: {
        std::error_code ec;
        if (folder_) fs::remove_all(p, ec);
        else fs::remove(p, ec);
        if (ec) Raise(kErrPermissionDenied);
        return;
      }
      case kOpenAsTextStream: {
        if (folder_) Raise(kErrNoSuchMember);
        const int32_t mode = a.Missing(0) ? 1 : ToLong(a[0]);
        const int32_t format = a.Missing(1) ? 0 : ToLong(a[1]);
        if (mode != 1 && mode != 2 && mode != 8) Raise(kErrInvalidCall);
        Ref<HostObject> ts = mode == 1 ? OpenForReading(p, format) : OpenForWriting(p, mode == 8, format == -1);
        result = Variant::FromObject(ts.get());
        return;
      }
      case kFiles: case kSubFolders: {
        if (!folder_) Raise(kErrNoSuchMember);
        Ref<HostObject> c(new EntryCollection(path_, member == kSubFolders));
        result = Variant::FromObject(c.get());
        ApplyDefault(result, a);
        return;
      }
      case kCreateTextFile: {
        if (!folder_) Raise(kErrNoSuchMember);
        const fs::path target = ToPath(BuildPath(path_, ToText(a[0])));
        const bool overwrite = a.Missing(1) ? true : ToBool(a[1]);
        if (!overwrite && IsFile(target)) Raise(kErrFileExists);
        result = Variant::FromObject(OpenForWriting(target, false, !a.Missing(2) && ToBool(a[2])).get());
        return;
      }
      default: break;
    }
    const StatInfo st = Stat(p);
    if (!st.ok) Raise(folder_ ? kErrPathNotFound : kErrFileNotFound);
    switch (member) {
      case kSize: result = Size(p, st); return;
      case kDateLastModified: result = Variant::FromDate(st.modified); return;
      case kDateCreated: result = Variant::FromDate(st.created); return;
      case kDateLastAccessed: result = Variant::FromDate(st.accessed); return;
      case kAttributes: result = Variant::FromLong((folder_ ? 16 : 32) | (st.readOnly ? 1 : 0)); return;
      default: Raise(kErrNoSuchMember);
    }
  }

 protected:
  MemberTable Members() const override {
    static constexpr const char* kNames[] = {
        "Path", "Name", "Size", "DateLastModified", "DateCreated", "DateLastAccessed", "ParentFolder",
        "Attributes", "Type", "ShortName", "ShortPath", "Delete", "OpenAsTextStream", "Files", "SubFolders",
        "IsRootFolder", "CreateTextFile"};
    return MemberTable(kNames);
  }

 private:
  Variant Size(const fs::path& p, const StatInfo& st) const {
    double total = st.size;
    if (folder_) {
      total = 0;
      std::error_code ec;
      for (fs::recursive_directory_iterator it(p, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ec2;
        if (it->is_regular_file(ec2)) total += static_cast<double>(it->file_size(ec2));
      }
    }
    if (total <= 2147483647.0) return Variant::FromLong(static_cast<int32_t>(total));
    return Variant::FromDouble(total);
  }

  void Rename(const std::u16string& name) {
    const std::u16string target = BuildPath(ParentOf(path_), name);
    std::error_code ec;
    fs::rename(ToPath(path_), ToPath(target), ec);
    if (ec) Raise(kErrFileExists);
    path_ = target;
  }

  std::u16string path_;
  bool folder_;
};

Ref<HostObject> MakeFile(const std::u16string& path) { return Ref<HostObject>(new FileItem(path, false)); }
Ref<HostObject> MakeFolder(const std::u16string& path) { return Ref<HostObject>(new FileItem(path, true)); }

class FileSystem final : public LibObject {
 public:
  enum Member { kNoDefault, kFileExists, kFolderExists, kCreateFolder, kDeleteFile, kDeleteFolder, kGetFile,
                kGetFolder, kOpenTextFile, kCreateTextFile, kBuildPath, kGetBaseName, kGetExtensionName,
                kGetFileName, kGetParentFolderName, kGetAbsolutePathName, kCopyFile, kMoveFile, kGetTempName, kGetSpecialFolder };

  std::u16string TypeName() const override { return u"FileSystemObject"; }

  void Invoke(int member, InvokeKind kind, Args& a, Variant& result) override {
    if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) Raise(kErrNoSuchMember);
    switch (member) {
      case kFileExists: NeedArgs(a, 1, 1); result = Variant::FromBool(IsFile(ToPath(ToText(a[0])))); return;
      case kFolderExists: NeedArgs(a, 1, 1); result = Variant::FromBool(IsDir(ToPath(ToText(a[0])))); return;
      case kCreateFolder: {
        NeedArgs(a, 1, 1);
        const std::u16string path = ToText(a[0]);
        const fs::path p = ToPath(path);
        if (IsDir(p) || IsFile(p)) Raise(kErrFileExists);
        NeedParentDir(p);
        std::error_code ec;
        if (!fs::create_directory(p, ec)) Raise(kErrPermissionDenied);
        result = Variant::FromObject(MakeFolder(AbsoluteOf(path)).get());
        return;
      }
      case kDeleteFile: case kDeleteFolder: {
        NeedArgs(a, 1, 2);
        const std::u16string pathPattern = ToText(a[0]);
        RefuseNul(pathPattern);
        const bool folder = member == kDeleteFolder;
        std::vector<fs::path> targets;
        const std::u16string name = FileNameOf(pathPattern);
        if (name.find_first_of(u"*?") != std::u16string::npos) {
          // A wildcard in the last part deletes every match in that folder.
          const std::u16string dir = ParentOf(pathPattern);
          std::error_code ec;
          for (fs::directory_iterator it(ToPath(dir.empty() ? u"." : dir), ec), end; !ec && it != end;
               it.increment(ec)) {
            std::error_code ec2;
            if (it->is_directory(ec2) == folder && WildcardMatch(name, Utf8ToUtf16(it->path().filename().string())))
              targets.push_back(it->path());
          }
        } else {
          const fs::path p = ToPath(pathPattern);
          if (folder ? IsDir(p) : IsFile(p)) targets.push_back(p);
        }
        if (targets.empty()) Raise(folder ? kErrPathNotFound : kErrFileNotFound);
        for (const auto& p : targets) {
          std::error_code ec;
          if (folder) fs::remove_all(p, ec);
          else fs::remove(p, ec);
          if (ec) Raise(kErrPermissionDenied);
        }
        return;
      }
      case kGetFile: case kGetFolder: {
        NeedArgs(a, 1, 1);
        const std::u16string path = ToText(a[0]);
        const bool folder = member == kGetFolder;
        if (folder ? !IsDir(ToPath(path)) : !IsFile(ToPath(path)))
          Raise(folder ? kErrPathNotFound : kErrFileNotFound);
        result = Variant::FromObject((folder ? MakeFolder(AbsoluteOf(path)) : MakeFile(AbsoluteOf(path))).get());
        return;
      }
      case kOpenTextFile: {
        NeedArgs(a, 1, 4);
        const fs::path p = ToPath(ToText(a[0]));
        const int32_t mode = a.Missing(1) ? 1 : ToLong(a[1]);
        const bool create = !a.Missing(2) && ToBool(a[2]);
        const int32_t format = a.Missing(3) ? 0 : ToLong(a[3]);
        Ref<HostObject> ts;
        if (mode == 1) {
          ts = OpenForReading(p, format);
        } else if (mode == 2 || mode == 8) {
          if (!create && (!Exists(p) || IsDir(p))) {
            NeedParentDir(p);
            Raise(kErrFileNotFound);
          }
          ts = OpenForWriting(p, mode == 8, format == -1);
        } else {
          Raise(kErrInvalidCall);
        }
        result = Variant::FromObject(ts.get());
        return;
      }
      case kCreateTextFile: {
        NeedArgs(a, 1, 3);
        const fs::path p = ToPath(ToText(a[0]));
        const bool overwrite = a.Missing(1) ? true : ToBool(a[1]);
        if (!overwrite && IsFile(p)) Raise(kErrFileExists);
        result = Variant::FromObject(OpenForWriting(p, false, !a.Missing(2) && ToBool(a[2])).get());
        return;
      }
      case kBuildPath:
        NeedArgs(a, 2, 2);
        result = Variant::FromString(BuildPath(ToText(a[0]), ToText(a[1])));
        return;
      case kGetBaseName: NeedArgs(a, 1, 1); result = Variant::FromString(BaseNameOf(ToText(a[0]))); return;
      case kGetExtensionName: NeedArgs(a, 1, 1); result = Variant::FromString(ExtensionOf(ToText(a[0]))); return;
      case kGetFileName: NeedArgs(a, 1, 1); result = Variant::FromString(FileNameOf(ToText(a[0]))); return;
      case kGetParentFolderName: NeedArgs(a, 1, 1); result = Variant::FromString(ParentOf(ToText(a[0]))); return;
      case kGetAbsolutePathName: NeedArgs(a, 1, 1); result = Variant::FromString(AbsoluteOf(ToText(a[0]))); return;
      case kCopyFile: case kMoveFile: {
        NeedArgs(a, 2, 3);
        fs::path from = ToPath(ToText(a[0]));
        fs::path to = ToPath(ToText(a[1]));
        if (!IsFile(from)) Raise(kErrFileNotFound);
        if (IsDir(to)) to /= from.filename();
        const bool overwrite = member == kCopyFile && (a.Missing(2) || ToBool(a[2]));
        if (IsFile(to) && !overwrite) Raise(kErrFileExists);
        if (member == kCopyFile) {
          CopyWhole(from, to);
          return;
        }
        std::error_code ec;
        fs::rename(from, to, ec);
        if (ec) Raise(kErrPermissionDenied);
        return;
      }
      case kGetSpecialFolder: {
        NeedArgs(a, 1, 1);
        const int32_t which = ToLong(a[0]);
        if (which < 0 || which > 2) Raise(kErrInvalidCall);
        std::error_code ec;
        // No Windows or System folder here: both are the root.
        const std::u16string path = which == 2 ? FromPath(fs::temp_directory_path(ec)) : u"/";
        result = Variant::FromObject(MakeFolder(StripTrailingSeps(path)).get());
        return;
      }
      case kGetTempName: {
        NeedArgs(a, 0, 0);
        static uint32_t counter = 0x1A2B3;
        counter = (counter * 1103515245u + 12345u) & 0xFFFFF;
        const std::u16string hex = ToHex(counter, 32);
        result = Variant::FromString(u"rad" + std::u16string(5 - std::min<size_t>(5, hex.size()), u'0') + hex + u".tmp");
        return;
      }
      default: Raise(kErrNoSuchMember);
    }
  }

 protected:
  MemberTable Members() const override {
    // Slot 0 is the default member, which the object does not have.
    static constexpr const char* kNames[] = {
        "", "FileExists", "FolderExists", "CreateFolder", "DeleteFile", "DeleteFolder", "GetFile", "GetFolder",
        "OpenTextFile", "CreateTextFile", "BuildPath", "GetBaseName", "GetExtensionName", "GetFileName",
        "GetParentFolderName", "GetAbsolutePathName", "CopyFile", "MoveFile", "GetTempName", "GetSpecialFolder"};
    return MemberTable(kNames);
  }
};

}  // namespace

Ref<HostObject> CreateFileSystemObject() { return Ref<HostObject>(new FileSystem()); }

}  // namespace vbs::lib
