#pragma once
// The library files as the tools list them.
#include <QString>
#include <vector>

#include "library_loader.h"

namespace zel {

// The library files of `libraryPath` (native separators) in the loader's
// order; none when the folder cannot be listed.
std::vector<LibraryFile> ListLibraryFolder(const QString& libraryPath);

}  // namespace zel
