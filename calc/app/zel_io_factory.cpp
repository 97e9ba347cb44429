#include "zel_io_factory.h"

#include "calc_session.h"
#include "script_runner.h"
#include "zel_calculator.h"
#include "zel_dialog.h"
#include "zel_io_module.h"

namespace zel {

void InstallIOObjectFactory(CalcSession& session) {
  session.gCreateIOObject = [] { return CreateIOObject(); };
  // The input dialog is modal, out of the busy bar's reach: it offers the
  // script's stop itself, as the script's message boxes do.
  SetScriptStopper([] {
    if (ScriptRunner* runner = ScriptRunner::Instance()) runner->RequestStop();
  });
  // The dialog saves its quantity order when it unloads; in the unload
  // routine that goes into the one write of the settings.
  session.gUnloadLibraryWindows = [] {
    if (IODialogLoaded()) IODialog().Form_Unload();
  };
}

}  // namespace zel
