#pragma once
// Loading the user library into a script engine, with the two questions
// asked when a file fails. Qt-free and engine-neutral: the engine, the file
// reader and the question box are passed in.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "vbs/errors.h"

namespace zel {

inline constexpr int kReplyYes = 6;
inline constexpr int kReplyNo = 7;
// Larger files are refused rather than read into memory.
inline constexpr std::uintmax_t kMaxLibraryFileBytes = 16u * 1024u * 1024u;

struct ErrorRecord {
  int number = 0;
  std::u16string description;
  int line = 0;
  int column = 0;
};

// The part of a script engine the loader needs.
class CodeTarget {
 public:
  virtual ~CodeTarget() = default;
  virtual bool AddCode(std::u16string_view text) = 0;
  virtual ErrorRecord LastError() const = 0;
};

struct LibraryFile {
  std::u16string name;          // file name without folder
  std::filesystem::path path;
};

struct FileText {
  bool ok = false;
  std::u16string text;
  ErrorRecord error;  // when !ok: why (number 0 = take the engine's record)
};

// True when the text after the last dot of `name`, upper-cased, is "VBS".
bool IsLibraryFileName(std::u16string_view name);

// The library files of `folder` (not its sub-folders), sorted by name
// without regard to case so that the load order does not depend on the
// file system. Throws std::filesystem::filesystem_error when the folder
// cannot be listed.
std::vector<LibraryFile> ListLibraryFiles(const std::filesystem::path& folder);

// Reads a library file whole: UTF-16 when it starts with a byte-order mark,
// else UTF-8 (byte-order mark allowed) when valid, else CP932. Missing, unreadable, binary (NUL bytes), undecodable and
// oversized files give !ok with a description of the fault.
FileText ReadLibraryFile(const std::filesystem::path& path);

// The text with each line whose 1-based number is in `commentLines` turned
// into a comment by a leading apostrophe; every line ends with CR LF. Lines
// end at CR LF, LF or CR. The counter is not limited to 16 bits.
std::u16string RebuildCommentingLines(std::u16string_view text,
                                      const std::set<int>& commentLines);

// Asks a Yes/No question; returns 6 (Yes) or 7 (No).
using YesNoQuestion = std::function<int(std::u16string_view text, bool questionIcon)>;
using FileReader = std::function<FileText(const LibraryFile&)>;

struct LoadOutcome {
  // Set when the user answered No to the load-error question: the editor
  // is to be started on this file and the program ended.
  std::optional<LibraryFile> editFile;
  int filesAdded = 0;
  // Names of the files that are not in the engine, in load order: left out
  // after a question, and, when loading stopped, that file and the rest.
  std::vector<std::u16string> notLoaded;
};

// Adds each file to `target`. A name declared twice (1041) asks whether to
// go on with that line commented out (repeatedly, one line at a time; the
// file on disk is not touched); any other failure asks whether to go on
// with the next file. No to the second question stops loading.
LoadOutcome LoadLibraryFiles(const std::vector<LibraryFile>& files, CodeTarget& target,
                             const YesNoQuestion& ask, const FileReader& read);

}  // namespace zel
