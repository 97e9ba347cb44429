#include "library_listing.h"

#include <QDir>
#include <QFile>

#include "zel_calculator.h"

namespace zel {

std::vector<LibraryFile> ListLibraryFolder() {
  try {
    return ListLibraryFiles(std::filesystem::path(
        QFile::encodeName(QDir::fromNativeSeparators(gLibraryPath)).toStdString()));
  } catch (const std::filesystem::filesystem_error&) {
    return {};
  }
}

}  // namespace zel
