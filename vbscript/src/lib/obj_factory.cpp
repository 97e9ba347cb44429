// Library objects created by class name (New RegExp, CreateObject).
#include "lib/objbase.h"
#include "lib/textalgo.h"
#include "vbs/libobjects.h"

namespace vbs {

Ref<HostObject> NewLibraryObject(std::u16string_view className) {
  if (NameEquals(className, "RegExp")) return lib::CreateRegExpObject();
  return nullptr;
}

Ref<HostObject> CreateLibraryObject(std::u16string_view progId, FileAccess files) {
  if (NameEquals(progId, "Scripting.Dictionary")) return lib::CreateDictionary();
  if (NameEquals(progId, "VBScript.RegExp")) return lib::CreateRegExpObject();
  if (NameEquals(progId, "Scripting.FileSystemObject") && files == FileAccess::Allowed) return lib::CreateFileSystemObject();
  return nullptr;
}

}  // namespace vbs
