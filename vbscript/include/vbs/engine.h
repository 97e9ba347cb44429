#pragma once
// The script engine as the host sees it: one global namespace ("Global"
// module) into which code is added, statements executed and expressions
// evaluated. Qt-free; all text is UTF-16.
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vbs/libobjects.h"
#include "vbs/object.h"
#include "vbs/variant.h"

namespace vbs {

// The record of the last failure. Line and Column count from 1 within the
// text handed to the call that failed (AddCode, ExecuteStatement, Eval).
struct ErrorInfo {
  int Number = 0;
  std::u16string Description;
  int Line = 0;
  int Column = 0;
  std::u16string Source;      // the failing source line's text
  bool IsCompileError = false;
};

struct ProcedureInfo {
  std::u16string Name;        // as written in the declaration
  int NumArgs = 0;
  bool IsFunction = false;    // Function (true) or Sub (false)
  int Line = 0;               // of its header, in the text that declared it
  std::vector<std::u16string> Params;  // parameter names as written
};

// A global name other than a procedure that script code declared.
struct GlobalNameInfo {
  enum Kind { Variable, Constant, Class };
  std::u16string Name;        // as first written
  Kind kind = Variable;
  int Line = 0;               // a class's header line; 0 for the others
};

// What MsgBox and InputBox need from the program that hosts the engine.
struct UiHost {
  virtual ~UiHost() = default;
  // Returns the button pressed: vbOK 1, vbCancel 2, vbAbort 3, vbRetry 4,
  // vbIgnore 5, vbYes 6, vbNo 7.
  virtual int MsgBox(std::u16string_view prompt, int buttons, std::u16string_view title) = 0;
  // nullopt when the user cancels; the script then receives Empty.
  virtual std::optional<std::u16string> InputBox(std::u16string_view prompt,
                                                 std::u16string_view title,
                                                 std::u16string_view defaultText) = 0;
};

class Interp;  // the interpreter behind the facade

// An expression compiled once as a function of parameters of its own
// (Engine::CompileFunction). It belongs to the engine that compiled it and
// is refused once that engine was Reset.
class CompiledFunction;

// What Engine::CallFunction hands back for each call: its value, or the
// error record of a call that raised (the value is then Empty).
using FunctionResultSink =
    std::function<void(size_t call, const Variant& value, const ErrorInfo* error)>;

class Engine {
 public:
  Engine();
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  std::u16string Language() const { return u"VBScript"; }

  // Makes obj reachable as `name.<member>`; its members are not made global.
  void AddObject(std::u16string_view name, Ref<HostObject> obj);

  // Compiles the whole text; a compile error adds nothing of it. Then runs
  // its top-level statements. false on any failure (see Error()).
  bool AddCode(std::u16string_view text);

  // Compiles the whole text and declares its procedures, classes and
  // variables like AddCode, but runs none of its top-level statements: a
  // host can learn what a file defines without the file's side effects.
  // false on a compile error (nothing of the text is added).
  bool CompileCode(std::u16string_view text);

  // Runs text (one statement or a whole script that may define procedures)
  // in the global namespace.
  bool ExecuteStatement(std::u16string_view text);

  // Evaluates one expression in the global namespace.
  bool Eval(std::u16string_view text, Variant& out);

  // Compiles `expression` once as a function of `params`: those names are
  // the function's own locals (a global of the same name is neither read
  // nor written), every other name is the global namespace's, as in Eval.
  // nullptr on a compile error (see Error()). For a curve sampled thousands
  // of times, where evaluating a text per sample would parse it each time.
  std::shared_ptr<const CompiledFunction> CompileFunction(std::span<const std::u16string> params,
                                                          std::u16string_view expression);

  // Calls `fn` once for every group of its parameter count in `args`, in
  // order, all in one host call, and gives each call's outcome to `each`.
  // A call that raises is reported with its error record and the next one
  // runs. A stop (RequestInterrupt) ends them all: false, Error() holds
  // kErrInterrupted. false with error 5 for a function of another engine,
  // or one compiled before a Reset.
  bool CallFunction(const CompiledFunction& fn, std::span<const Variant> args,
                    const FunctionResultSink& each);

  const ErrorInfo& Error() const;

  // Every Sub and Function of the global namespace, in declaration order.
  std::vector<ProcedureInfo> Procedures() const;

  // The global variables (declared with Dim or made by assignment),
  // constants and classes (a text's classes before its other names); the
  // host's objects are not among them.
  std::vector<GlobalNameInfo> GlobalNames() const;

  // Discards all code, variables and objects added so far.
  void Reset();

  void SetUiHost(UiHost* host);
  UiHost* GetUiHost() const;

  // Whether scripts may create the file system object (Allowed unless set;
  // kept across Reset). Denied, CreateObject refuses it with 429 as it
  // does a class it does not know: the scripts cannot touch files.
  void SetFileAccess(FileAccess access);

  // Thread-safe: the running script stops at its next loop iteration or
  // call with error kErrInterrupted. The request is cleared when the
  // next top-level call starts.
  void RequestInterrupt();

 private:
  std::unique_ptr<Interp> impl_;
};

}  // namespace vbs
