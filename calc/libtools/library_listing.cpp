#include "library_listing.h"

#include <QDir>

#include "name_catalogue.h"
#include "zel_calculator.h"

namespace zel {

std::vector<LibraryFile> ListLibraryFolder() {
  try {
    return ListLibraryFiles(ToPath(QDir::fromNativeSeparators(gLibraryPath)));
  } catch (const std::filesystem::filesystem_error&) {
    return {};
  }
}

std::vector<FileDeclarations> DeclareLibraryFolder() {
  static DeclarationCache cache;
  return cache.Declare(ListLibraryFolder(), [](const LibraryFile& f) { return ReadLibraryFile(f.path); });
}

}  // namespace zel
