#pragma once
// zelCalculator: the engine host shared by the program's windows. One
// script engine with its global module, the one zelIO object, the library
// folder, the answer value and the option flags.
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "keypad.h"
#include "library_loader.h"
#include "qt_text.h"
#include "vbs/engine.h"
#include "vbs/object.h"
#include "vbs/variant.h"

class QWidget;

namespace zel {

// The engine's module "Global", in which all code, statements and
// evaluations run. The engine has a single namespace, so this is a thin
// view of it under the module's name. Its three calls run the script on
// the engine's worker thread and wait (see script_runner.h); each returns
// false without running when another script is still running.
class GlobalModule {
 public:
  explicit GlobalModule(vbs::Engine& engine) : engine_(engine) {}
  QString Name() const { return QStringLiteral("Global"); }
  bool AddCode(std::u16string_view text);
  bool ExecuteStatement(std::u16string_view text);
  bool Eval(std::u16string_view text, vbs::Variant& out);
  vbs::Engine& Engine() { return engine_; }

 private:
  vbs::Engine& engine_;
};

extern std::unique_ptr<vbs::Engine> gScriptEngine;
extern std::unique_ptr<GlobalModule> gGlobalModule;
extern vbs::Ref<vbs::HostObject> gIOObject;
extern QString gLibraryPath;   // native separators, no trailing separator
extern QString gHelpFile;      // the reference the help commands open
extern vbs::Variant gLastAnswer;
extern bool gShowInput;
extern bool gDisplayEdit;
extern bool gACKeyClear;

// Opens the library maintenance window (not modal) after the user chose to
// go on from an evaluation error. Set by that window's module; while unset
// nothing is opened.
extern std::function<void()> gShowLibraryMaintenance;

// Creates the zelIO object. Set by the program to the script I/O library's
// factory; tests may install their own. Unset: no zelIO object.
extern std::function<vbs::Ref<vbs::HostObject>()> gCreateIOObject;

// Creates the zelPlot object added to every new engine. Set by the program
// to the plot window's; unset: no zelPlot object.
extern std::function<vbs::Ref<vbs::HostObject>()> gCreatePlotObject;

// Sets gLibraryPath to `programDir` + "/VBS" and creates the folder (one
// level) when missing. false when it cannot be created.
bool SetLibraryPath(const QString& programDir);

enum class LoadStatus {
  Loaded,      // the engine holds the library (possibly with files left out)
  EndProgram,  // the user chose to edit a failing file: the program ends
};

enum class LibraryFiles {
  Load,  // every library file of gLibraryPath
  Skip,  // none: the engine holds only zelIO (zelCalc --no-library)
};

// Builds a new engine with zelIO and adds every library file of
// gLibraryPath. Throws when the folder cannot be listed or a script is still
// running (the previous engine is then kept). `notLoaded`, when given,
// receives the names of the files that are not in the new engine.
LoadStatus LoadUserLibrary(LibraryFiles files = LibraryFiles::Load,
                           std::vector<std::u16string>* notLoaded = nullptr);

// Releases gGlobalModule, then gScriptEngine. Releasing the engine frees
// the scripts' objects, which runs their Class_Terminate code: it runs on
// the engine's worker like every script, with the busy state and Stop.
// Throws, keeping the engine, while another script is running.
void ReleaseEngine();

// The value of `expression` through "myResult = " + expression; on a script
// error the user is asked whether to go on (see the error dialog): Yes gives
// an empty value (myResult is emptied), No the empty string. While another
// script runs nothing is evaluated and the result is "".
vbs::Variant EvaluateExpression(std::u16string_view expression);

// How a value is judged for the log and the answer.
EvalResult JudgeValue(const vbs::Variant& value);

}  // namespace zel
