#pragma once
// CalcSession: what the running calculator keeps for its whole life. One
// script engine with its global module, the one zelIO object, the library
// folder, the answer value, the option flags, and the hooks through which
// the program's modules reach one another. Start-up owns it and hands it to
// the main window; the tool windows reach it through that window. Its
// fields keep the names the program's documents give them.
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "display_format.h"
#include "vbs/engine.h"
#include "vbs/object.h"
#include "vbs/variant.h"
#include "zel_calculator.h"

namespace zel {

struct LibraryNames;

struct CalcSession {
  CalcSession() = default;
  // Releases the engine as ReleaseEngine does, its scripts' objects ending
  // on the engine's worker; an engine still running a script is left to
  // the process rather than freed under it.
  ~CalcSession();
  CalcSession(const CalcSession&) = delete;
  CalcSession& operator=(const CalcSession&) = delete;

  // The module goes before the engine it views (members end in reverse).
  std::unique_ptr<vbs::Engine> gScriptEngine;
  std::unique_ptr<GlobalModule> gGlobalModule;
  vbs::Ref<vbs::HostObject> gIOObject;
  QString gLibraryPath;  // native separators, no trailing separator
  QString gHelpFile;     // the reference the help commands open
  vbs::Variant gLastAnswer;
  bool gShowInput = true;
  bool gDisplayEdit = false;
  bool gACKeyClear = false;
  // The form of numbers in the log; General until the settings say otherwise.
  DisplayFormat gNumberFormat;
  // The names the input line knows and what each library file declares,
  // shared by the input line and the function browser (library tools,
  // made on first use).
  std::shared_ptr<LibraryNames> gLibraryNames;

  // Opens the library maintenance window (not modal) after the user chose
  // to go on from an evaluation error. Set by that window's module; while
  // unset nothing is opened.
  std::function<void()> gShowLibraryMaintenance;
  // Creates the zelIO object. Set by the program to the script I/O
  // library's factory; tests may install their own. Unset: no zelIO object.
  std::function<vbs::Ref<vbs::HostObject>()> gCreateIOObject;
  // Creates the zelPlot object added to every new engine. Set by the
  // program to the plot window's; unset: no zelPlot object.
  std::function<vbs::Ref<vbs::HostObject>()> gCreatePlotObject;
  // Starts a program without waiting; false when it could not be started.
  // Unset: QProcess::startDetached. Tests install their own.
  std::function<bool(const QString& program, const QStringList& arguments)> gStartProcess;
  // Ends the process at once. Used when the engine's release at quit has
  // not ended 3 seconds after Stop (the settings are saved by then). The
  // program installs one that gives up the instance lock first; unset, the
  // process simply ends.
  std::function<void()> gEndProgramNow;
  // Unloads the script I/O library's own window (its dialog) inside the
  // unload routine, so that what it saves is written with the rest. Unset,
  // nothing happens.
  std::function<void()> gUnloadLibraryWindows;
};

}  // namespace zel
