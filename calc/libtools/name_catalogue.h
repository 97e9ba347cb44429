#pragma once
// The names the input line knows: the engine's built-in functions,
// constants and objects (described by the manual's own tables), the
// library's procedures, classes, constants and global variables, and what
// the scripts run in the user script window defined. Looked up by name and
// offered for completion. Qt-free.
#include <cstddef>
#include <functional>
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

class NameCatalogue {
 public:
  void SetBuiltins(std::vector<CatalogueEntry> builtins);
  // The library after a start or a reload: the engine is new, so what the
  // scripts defined before is gone too.
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
  void Reindex();
  std::vector<CatalogueEntry> script_, library_, builtins_;
  std::unordered_map<std::u16string, const CatalogueEntry*> byName_;
};

// Reads and declares the library's files, compiling again only the files
// whose text changed since the last time.
class DeclarationCache {
 public:
  using Reader = std::function<FileText(const LibraryFile&)>;
  std::vector<FileDeclarations> Declare(const std::vector<LibraryFile>& files, const Reader& read);

 private:
  struct Kept {
    FileText text;
    FileDeclarations declarations;
  };
  std::unordered_map<std::u16string, Kept> kept_;
};

// What a calculator session keeps of the library's names.
struct LibraryNames {
  NameCatalogue catalogue;
  DeclarationCache cache;
};

}  // namespace zel
