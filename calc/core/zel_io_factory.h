#pragma once

namespace zel {

// Points gCreateIOObject at the script I/O library's zelIOModule factory,
// and gUnloadLibraryWindows at the unloading of its dialog.
void InstallIOObjectFactory();

}  // namespace zel
