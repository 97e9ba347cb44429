#pragma once

namespace zel {

struct CalcSession;

// Points the session's gCreateIOObject at the script I/O library's
// zelIOModule factory, its gUnloadLibraryWindows at the unloading of its
// dialog, and the dialog's "Stop Script" at the stop of the running script.
void InstallIOObjectFactory(CalcSession& session);

}  // namespace zel
