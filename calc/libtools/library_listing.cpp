#include "library_listing.h"

#include <QDir>

#include "calc_session.h"
#include "name_catalogue.h"
#include "zel_calculator.h"

namespace zel {

std::vector<LibraryFile> ListLibraryFolder(const QString& libraryPath) {
  try {
    return ListLibraryFiles(ToPath(QDir::fromNativeSeparators(libraryPath)));
  } catch (const std::filesystem::filesystem_error&) {
    return {};
  }
}

LibraryNames& NamesOf(CalcSession& session) {
  if (!session.gLibraryNames) session.gLibraryNames = std::make_shared<LibraryNames>();
  return *session.gLibraryNames;
}

std::vector<SharedDeclarations> DeclareLibraryFolder(CalcSession& session) {
  return NamesOf(session).cache.Declare(ListLibraryFolder(session.gLibraryPath),
                                        [](const LibraryFile& f) { return ReadLibraryFile(f.path); });
}

}  // namespace zel
