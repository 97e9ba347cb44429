#pragma once

namespace zel {

// Points gCreateIOObject at the script I/O library's zelIOModule factory.
void InstallIOObjectFactory();

}  // namespace zel
