#pragma once
// Objects of the function library that the language creates by name.
#include <string_view>

#include "vbs/object.h"

namespace vbs {

// `New <className>` for classes the library provides ("RegExp"); a null Ref
// when the name is not one of them (the engine then reports its own error).
Ref<HostObject> NewLibraryObject(std::u16string_view className);

// CreateObject's registry: "Scripting.Dictionary", "VBScript.RegExp",
// "Scripting.FileSystemObject"; a null Ref for any other name.
Ref<HostObject> CreateLibraryObject(std::u16string_view progId);

}  // namespace vbs
