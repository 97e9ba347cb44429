#pragma once
// The library files as the tools list them.
#include <vector>

#include "library_loader.h"

namespace zel {

// The library files of gLibraryPath in the loader's order; none when the
// folder cannot be listed.
std::vector<LibraryFile> ListLibraryFolder();

}  // namespace zel
