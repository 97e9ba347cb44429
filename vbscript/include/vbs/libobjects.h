#pragma once
// Objects of the function library that the language creates by name.
#include <cstdint>
#include <string_view>

#include "vbs/object.h"

namespace vbs {

// `New <className>` for classes the library provides ("RegExp"); a null Ref
// when the name is not one of them (the engine then reports its own error).
Ref<HostObject> NewLibraryObject(std::u16string_view className);

// Whether CreateObject may give scripts the file system object.
enum class FileAccess : uint8_t { Allowed, Denied };

// CreateObject's registry: "Scripting.Dictionary", "VBScript.RegExp",
// "Scripting.FileSystemObject" (unless `files` is Denied); a null Ref for
// any other name.
Ref<HostObject> CreateLibraryObject(std::u16string_view progId, FileAccess files = FileAccess::Allowed);

}  // namespace vbs
