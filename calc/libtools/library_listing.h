#pragma once
// The library files as the tools list them.
#include <QString>
#include <memory>
#include <vector>

#include "library_declarations.h"
#include "library_loader.h"

namespace zel {

// The library files of `libraryPath` (native separators) in the loader's
// order; none when the folder cannot be listed.
std::vector<LibraryFile> ListLibraryFolder(const QString& libraryPath);

struct CalcSession;
struct LibraryNames;

// The session's names, made on first use.
LibraryNames& NamesOf(CalcSession& session);

// What each file of the session's library folder declares, for the
// function browser and the input line's names alike. Read afresh every
// time; a file whose text has not changed since the last call is not
// compiled again.
std::vector<std::shared_ptr<const FileDeclarations>> DeclareLibraryFolder(CalcSession& session);

}  // namespace zel
