#pragma once
// zelIO, the object scripts use to ask the user for a value. It keeps no
// state of its own: every object of the process works on the one input
// dialog, which is created on first use and stays loaded and hidden.
#include <QString>
#include <functional>
#include <string_view>

#include "vbs/object.h"

namespace zel {

class zelDialog;

class zelIOModule : public vbs::HostObject {
 public:
  enum Member {
    kAddListItem = 1,
    kClearListItem,
    kSetGuidePicture,
    kSetUnitId,
    kGetData,
  };

  // Loads the dialog (hidden) when this is the first object of the process.
  zelIOModule();

  int FindMember(std::u16string_view name) const override;
  void Invoke(int member, vbs::InvokeKind kind, vbs::Args& args, vbs::Variant& result) override;
  std::u16string TypeName() const override { return u"zelIOModule"; }

  // The five methods, as C++ calls (scripts reach them through Invoke).
  static void AddListItem(const vbs::Variant& a);
  static void ClearListItem();
  static void SetGuidePicture(const QString& pictureName);
  // Throws ScriptError 9 for a quantity id outside 0..22 and 380 for a unit
  // index that the unit lists do not have.
  static void SetUnitId(int uid, int subIU = 0);
  static QString getData(const QString& caption, const vbs::Variant& defaultValue,
                         const QString& title = QStringLiteral("User Input"));
};

// How the program that runs the scripts stops the one that called getData,
// when the user chooses "Stop Script" (or Ctrl+Break) on the dialog: the
// dialog is answered as Cancel, then `stop` is called. While none is set
// the dialog offers no stop.
void SetScriptStopper(std::function<void()> stop);

// The object the calculator registers as "zelIO" in every engine it builds.
// Call once per process (later calls give further objects on the same dialog).
vbs::Ref<vbs::HostObject> CreateIOObject();

// The process-wide input dialog, loaded on first use. A dialog closed through
// its frame is loaded afresh (and initialised again) by the next use.
zelDialog& IODialog();
// Whether the dialog is loaded now (tests).
bool IODialogLoaded();
// Unloads the dialog if loaded (saving its quantity order) and destroys it.
// The end of the process does the same through the application's aboutToQuit.
void UnloadIODialog();

}  // namespace zel
