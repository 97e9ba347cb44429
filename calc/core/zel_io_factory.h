#pragma once

namespace zel {

// Points gCreateIOObject at the script I/O library's zelIOModule factory,
// gUnloadLibraryWindows at the unloading of its dialog, and the dialog's
// "Stop Script" at the stop of the running script.
void InstallIOObjectFactory();

}  // namespace zel
