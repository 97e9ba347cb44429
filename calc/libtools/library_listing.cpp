#include "library_listing.h"

#include <QDir>

#include "zel_calculator.h"

namespace zel {

std::vector<LibraryFile> ListLibraryFolder(const QString& libraryPath) {
  try {
    return ListLibraryFiles(ToPath(QDir::fromNativeSeparators(libraryPath)));
  } catch (const std::filesystem::filesystem_error&) {
    return {};
  }
}

}  // namespace zel
