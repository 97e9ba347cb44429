#include "zel_io_factory.h"

#include "frm_main.h"
#include "script_runner.h"
#include "zel_calculator.h"

#if __has_include("zel_io_module.h")
#include "zel_dialog.h"
#include "zel_io_module.h"
#define ZEL_HAVE_IO_MODULE 1
#endif

namespace zel {

void InstallIOObjectFactory() {
#ifdef ZEL_HAVE_IO_MODULE
  gCreateIOObject = [] { return CreateIOObject(); };
  // The input dialog is modal, out of the busy bar's reach: it offers the
  // script's stop itself, as the script's message boxes do.
  SetScriptStopper([] {
    if (ScriptRunner* runner = ScriptRunner::Instance()) runner->RequestStop();
  });
  // The dialog saves its quantity order when it unloads; in the unload
  // routine that goes into the one write of the settings.
  gUnloadLibraryWindows = [] {
    if (IODialogLoaded()) IODialog().Form_Unload();
  };
#endif
}

}  // namespace zel
