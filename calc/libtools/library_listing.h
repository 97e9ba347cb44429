#pragma once
// The library files as the tools list them.
#include <vector>

#include "library_declarations.h"
#include "library_loader.h"

namespace zel {

// The library files of gLibraryPath in the loader's order; none when the
// folder cannot be listed.
std::vector<LibraryFile> ListLibraryFolder();

// What each library file declares, for the function browser and the input
// line's names alike. Read afresh every time; a file whose text has not
// changed since the last call is not compiled again.
std::vector<FileDeclarations> DeclareLibraryFolder();

}  // namespace zel
