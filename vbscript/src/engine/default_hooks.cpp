// Empty registration hooks for areas that have not registered anything yet.
// They are weak: an area defines its own strong RegisterValueBuiltins() /
// RegisterLibraryBuiltins() in its folder and this one drops out of the link
// (the library is linked whole, see vbscript/CMakeLists.txt).
#include "vbs/builtin.h"

namespace vbs {
__attribute__((weak)) void RegisterValueBuiltins() {}
__attribute__((weak)) void RegisterLibraryBuiltins() {}
}  // namespace vbs
