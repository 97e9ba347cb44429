#pragma once
// zelCalculator: the engine host shared by the program's windows. What it
// keeps lives in the program's CalcSession (calc_session.h).
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

struct CalcSession;  // calc_session.h

// Sets the session's gLibraryPath to `programDir` + "/VBS" and creates the
// folder (one level) when missing. false when it cannot be created.
bool SetLibraryPath(CalcSession& session, const QString& programDir);

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
LoadStatus LoadUserLibrary(CalcSession& session, LibraryFiles files = LibraryFiles::Load,
                           std::vector<std::u16string>* notLoaded = nullptr);

// Releases gGlobalModule, then gScriptEngine. Releasing the engine frees
// the scripts' objects, which runs their Class_Terminate code: it runs on
// the engine's worker like every script, with the busy state and Stop.
// Throws, keeping the engine, while another script is running.
void ReleaseEngine(CalcSession& session);

// The value of `expression` through "myResult = " + expression; on a script
// error the user is asked whether to go on (see the error dialog): Yes gives
// an empty value (myResult is emptied), No the empty string. While another
// script runs nothing is evaluated and the result is "".
vbs::Variant EvaluateExpression(CalcSession& session, std::u16string_view expression);

// How a value is judged for the log and the answer.
EvalResult JudgeValue(const vbs::Variant& value);

}  // namespace zel
