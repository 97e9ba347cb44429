#pragma once
// The names the input line knows: the engine's built-in functions,
// constants and objects (described by the manual's own tables), the
// library's procedures, classes, constants and global variables, and what
// the scripts run in the user script window defined. Looked up by name and
// offered for completion. Qt-free.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "library_declarations.h"
#include "reference.h"

namespace zel {

// Where a name comes from; also the order in which names are offered.
enum class NameSource { Script, Library, Builtin };

struct CatalogueEntry {
  std::u16string name;
  NameKind kind = NameKind::Function;
  NameSource source = NameSource::Builtin;
  // A procedure's parameter list as it is shown ("Reynolds(density,
  // velocity)" or a built-in's syntax line) and where each parameter's name
  // stands in it. Empty for other names.
  std::u16string signature;
  std::vector<std::pair<size_t, size_t>> paramSpans;  // start, length
  // Whether a call takes arguments: inserting the name adds "(".
  bool takesArguments = false;
  std::u16string description;
  std::u16string file;         // the library file; empty for the others
  std::u16string helpKeyword;  // a built-in's entry in the manual's index
  std::u16string folded;       // the name in lower case, for matching
  bool shadowed = false;       // another entry of the same name comes first

  // The signature from the name on: "(density, velocity)", or empty.
  std::u16string_view ParameterText() const;
  // "Function", "Sub", "Class", "Const", "Variable", "Built-in function", ...
  std::u16string_view KindText() const;
};

// The built-in functions (with the syntax line and first sentence from the
// manual's descriptions), constants and objects.
std::vector<CatalogueEntry> BuiltinNames(const FunctionDescriptions& descriptions);

// The entry of a name a text declares.
CatalogueEntry EntryOf(const Declaration& declared, NameSource source, const std::u16string& file);

// Lower-cases ASCII letters.
std::u16string FoldCase(std::u16string_view s);

// One file's declarations, shared between the cache and the catalogue, so
// that a file that did not change is neither copied nor listed again.
using SharedDeclarations = std::shared_ptr<const FileDeclarations>;

class NameCatalogue {
 public:
  void SetBuiltins(std::vector<CatalogueEntry> builtins);
  // The library after a start or a reload: the engine is new, so what the
  // scripts defined before is gone too. The entries of a file handed in
  // again unchanged (the same object) are kept as they are.
  void SetLibrary(const std::vector<SharedDeclarations>& files);
  void SetLibrary(const std::vector<FileDeclarations>& files);
  // What a script run in the engine declared; it replaces a name it repeats.
  void AddScript(const FileDeclarations& declarations);

  // The entry a name stands for (letter case aside): what a script defined
  // before the library's, the library's before a built-in. nullptr when
  // unknown.
  const CatalogueEntry* Find(std::u16string_view name) const;

  // The names offered for `typed`: those that start with it, then those
  // that contain it, letter case aside; within each, the library's (and
  // the scripts') before the built-ins, then by name. At most `limit`. An
  // empty `typed` offers every name.
  std::vector<const CatalogueEntry*> Complete(std::u16string_view typed, size_t limit) const;

  size_t Size() const { return byName_.size(); }

 private:
  struct LibraryFileEntries {
    SharedDeclarations source;
    std::vector<CatalogueEntry> entries;
  };
  template <class Self, class F>
  static void ForEachList(Self& self, F&& f) {
    f(self.script_);
    for (auto& file : self.library_) f(file.entries);
    f(self.builtins_);
  }
  void Reindex();
  std::vector<CatalogueEntry> script_, builtins_;
  std::vector<LibraryFileEntries> library_;
  // Keys view the entries' folded names.
  std::unordered_map<std::u16string_view, const CatalogueEntry*> byName_;
};

// Reads and declares the library's files, compiling again only the files
// whose text changed since the last time. A file whose size and time of
// change are what they were is not even read again, unless it changed so
// shortly before it was read that a change in the same tick of the file
// system's clock could have gone unseen.
class DeclarationCache {
 public:
  using Reader = std::function<FileText(const LibraryFile&)>;
  std::vector<SharedDeclarations> Declare(const std::vector<LibraryFile>& files, const Reader& read);

 private:
  struct Kept {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type changed;
    bool settled = false;  // changed well before it was read
    FileText text;
    SharedDeclarations declarations;
  };
  std::unordered_map<std::u16string, Kept> kept_;
};

// What a calculator session keeps of the library's names.
struct LibraryNames {
  NameCatalogue catalogue;
  DeclarationCache cache;
};

}  // namespace zel
