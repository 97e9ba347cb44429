#include "library_loader.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "messages.h"
#include "vbs/errors.h"
#include "vbs/textcodec.h"

namespace zel {

namespace fs = std::filesystem;

bool IsLibraryFileName(std::u16string_view name) {
  const size_t dot = name.rfind(u'.');
  if (dot == std::u16string_view::npos) return false;
  std::u16string_view ext = name.substr(dot + 1);
  if (ext.size() != 3) return false;
  auto up = [](char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; };
  return up(ext[0]) == u'V' && up(ext[1]) == u'B' && up(ext[2]) == u'S';
}

namespace {

std::u16string FoldCase(std::u16string s) {
  for (auto& c : s)
    if (c >= u'a' && c <= u'z') c = char16_t(c - 32);
  return s;
}

std::u16string NameOf(const fs::path& p) {
  const std::string u8 = p.filename().string();
  if (vbs::IsValidUtf8(u8)) return vbs::Utf8ToUtf16(u8);
  // A name that is not UTF-8 still gets a printable form.
  std::u16string out;
  for (unsigned char c : u8) out.push_back(c < 0x80 ? char16_t(c) : u'\uFFFD');
  return out;
}

// A file that cannot be loaded: the error, with its standard text unless
// there is more to say.
FileText Failed(int number, std::u16string description = {}) {
  FileText r;
  r.error.number = number;
  r.error.description = description.empty() ? vbs::StandardErrorText(number) : std::move(description);
  return r;
}

}  // namespace

std::vector<LibraryFile> ListLibraryFiles(const fs::path& folder) {
  std::vector<LibraryFile> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::error_code ec;
    if (entry.is_directory(ec)) continue;
    std::u16string name = NameOf(entry.path());
    if (IsLibraryFileName(name)) files.push_back({std::move(name), entry.path()});
  }
  std::sort(files.begin(), files.end(), [](const LibraryFile& a, const LibraryFile& b) {
    const auto fa = FoldCase(a.name), fb = FoldCase(b.name);
    return fa != fb ? fa < fb : a.name < b.name;
  });
  return files;
}

FileText ReadLibraryFile(const fs::path& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  if (ec) return Failed(vbs::kErrFileNotFound);
  if (size > kMaxLibraryFileBytes) return Failed(vbs::kErrOutOfMemory, u"Out of memory: the file is larger than 16 MB");
  std::ifstream in(path, std::ios::binary);
  if (!in) return Failed(vbs::kErrPermissionDenied);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return Failed(vbs::kErrDeviceIo);
  // UTF-16 holds NUL bytes in plain text; it is told by its mark and
  // checked for NUL characters once decoded.
  const bool utf16 = vbs::Utf16MarkOf(bytes) != 0;
  if (!utf16 && bytes.find('\0') != std::string::npos)
    return Failed(vbs::kErrBadFileMode, u"Bad file mode: the file holds binary data, not text");
  auto text = vbs::DecodeScriptText(bytes);
  if (!text) return Failed(vbs::kErrBadFileMode, u"Bad file mode: the text is neither UTF-8, UTF-16 nor Shift_JIS");
  if (utf16 && text->find(u'\0') != std::u16string::npos)
    return Failed(vbs::kErrBadFileMode, u"Bad file mode: the file holds binary data, not text");
  FileText r;
  r.ok = true;
  r.text = std::move(*text);
  return r;
}

std::u16string RebuildCommentingLines(std::u16string_view text,
                                      const std::set<int>& commentLines) {
  std::u16string out;
  out.reserve(text.size() + commentLines.size() + 64);
  long long lineNo = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = pos;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
    ++lineNo;
    if (lineNo <= INT32_MAX && commentLines.count(int(lineNo))) out.push_back(u'\'');
    out.append(text.substr(pos, end - pos));
    out.append(u"\r\n");
    if (end < text.size()) {
      if (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ++end;
      ++end;
    }
    pos = end;
  }
  return out;
}

namespace {

int CountLines(std::u16string_view text) {
  int n = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')))
      ++n;
  }
  if (!text.empty() && text.back() != u'\n' && text.back() != u'\r') ++n;
  return n;
}

}  // namespace

LoadOutcome LoadLibraryFiles(const std::vector<LibraryFile>& files, CodeTarget& target,
                             const YesNoQuestion& ask, const FileReader& read) {
  LoadOutcome outcome;
  auto loadError = [&](const LibraryFile& file, const ErrorRecord& e) {
    return ask(LoadErrorText(e.number, e.description, file.name, e.line, e.column), true);
  };
  auto stopAt = [&](size_t i) {
    outcome.editFile = files[i];
    for (; i < files.size(); ++i) outcome.notLoaded.push_back(files[i].name);
    return outcome;
  };
  for (size_t i = 0; i < files.size(); ++i) {
    const LibraryFile& file = files[i];
    FileText ft = read(file);
    if (!ft.ok) {
      // A file that cannot be read is skipped when the user goes on; the
      // previous file's text is not added a second time.
      ErrorRecord e = ft.error.number != 0 ? ft.error : target.LastError();
      if (loadError(file, e) != kReplyYes) return stopAt(i);
      outcome.notLoaded.push_back(file.name);
      continue;
    }
    std::set<int> commented;
    std::u16string code = ft.text;
    const int lineCount = CountLines(ft.text);
    for (;;) {
      if (target.AddCode(code)) {
        ++outcome.filesAdded;
        break;
      }
      const ErrorRecord e = target.LastError();
      // A repeat on a line already commented out (or outside the file)
      // cannot be repaired by commenting; it is asked about as any error.
      const bool repairable = e.number == vbs::kErrNameRedefined && e.line >= 1 &&
                              e.line <= lineCount && !commented.count(e.line);
      if (repairable) {
        if (ask(DuplicateDeclarationText(file.name, e.line), false) != kReplyYes) {
          outcome.notLoaded.push_back(file.name);
          break;
        }
        commented.insert(e.line);
        code = RebuildCommentingLines(ft.text, commented);
        continue;
      }
      if (loadError(file, e) != kReplyYes) return stopAt(i);
      outcome.notLoaded.push_back(file.name);
      break;
    }
  }
  return outcome;
}

}  // namespace zel
