#include "zel_calculator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <stdexcept>

#include "app_settings.h"
#include "busy_state.h"
#include "calc_session.h"
#include "messages.h"
#include "prompt_service.h"
#include "vbs/value_ops.h"
#include "script_runner.h"
#include "ui_thread_object.h"
#include "user_editor.h"

namespace zel {

namespace {

// MsgBox and InputBox of scripts go through the program's prompt service,
// on the user-interface thread. Their boxes are modal, out of the busy bar's
// reach, so they offer "Stop Script" themselves: the box is answered, and
// the script stops with error 18 at its next step.
class PromptUiHost : public vbs::UiHost {
 public:
  int MsgBox(std::u16string_view prompt, int buttons, std::u16string_view title) override {
    int answer = 0;
    ScriptRunner::RunOnUiThread([&] {
      bool stop = false;
      answer = ShowScriptMsgBox(ToQ(prompt), buttons, ToQ(title), &stop);
      if (stop) StopScript();
    });
    return answer;
  }
  std::optional<std::u16string> InputBox(std::u16string_view prompt, std::u16string_view title,
                                         std::u16string_view defaultText) override {
    std::optional<QString> r;
    ScriptRunner::RunOnUiThread([&] {
      bool stop = false;
      r = AskText(ToQ(title), ToQ(prompt), ToQ(defaultText), &stop);
      if (stop) StopScript();
    });
    if (!r) return std::nullopt;
    return ToU16(*r);
  }

 private:
  static void StopScript() {
    if (ScriptRunner* runner = ScriptRunner::Instance()) runner->RequestStop();
  }
};

PromptUiHost& UiHostInstance() {
  static PromptUiHost host;
  return host;
}

class ModuleTarget : public CodeTarget {
 public:
  explicit ModuleTarget(GlobalModule& m) : module_(m) {}
  bool AddCode(std::u16string_view text) override { return module_.AddCode(text); }
  ErrorRecord LastError() const override {
    const vbs::ErrorInfo& e = module_.Engine().Error();
    return {e.Number, e.Description, e.Line, e.Column};
  }

 private:
  GlobalModule& module_;
};

int AskYesNo(std::u16string_view text, bool questionIcon) {
  return ShowPrompt(ToQ(kAppTitle), ToQ(text),
                    questionIcon ? PromptIcon::Question : PromptIcon::None,
                    PromptButtons::YesNo);
}

}  // namespace

bool GlobalModule::AddCode(std::u16string_view text) {
  bool ok = false;
  return RunEngineJob(engine_, [&] { ok = engine_.AddCode(text); }) && ok;
}

bool GlobalModule::ExecuteStatement(std::u16string_view text) {
  bool ok = false;
  return RunEngineJob(engine_, [&] { ok = engine_.ExecuteStatement(text); }) && ok;
}

bool GlobalModule::Eval(std::u16string_view text, vbs::Variant& out) {
  bool ok = false;
  return RunEngineJob(engine_, [&] { ok = engine_.Eval(text, out); }) && ok;
}

bool SetLibraryPath(CalcSession& session, const QString& programDir) {
  QString dir = QDir::cleanPath(programDir + QStringLiteral("/VBS"));
  session.gLibraryPath = QDir::toNativeSeparators(dir);
  QFileInfo info(dir);
  if (info.isDir()) return true;
  return QDir().mkdir(dir);
}

LoadStatus LoadUserLibrary(CalcSession& s, LibraryFiles which, std::vector<std::u16string>* notLoaded) {
  // The engine a script is running in cannot be replaced under it.
  if (ScriptRunning()) throw std::runtime_error("a script is running");
  ScriptRunner::Session running;
  // Listing first: when the folder cannot be read the engine in use stays.
  std::vector<LibraryFile> files;
  if (which == LibraryFiles::Load)
    files = ListLibraryFiles(
        std::filesystem::path(QFile::encodeName(QDir::fromNativeSeparators(s.gLibraryPath)).toStdString()));

  ReleaseEngine(s);
  s.gScriptEngine = std::make_unique<vbs::Engine>();
  s.gGlobalModule = std::make_unique<GlobalModule>(*s.gScriptEngine);
  s.gScriptEngine->SetUiHost(&UiHostInstance());
  if (!s.gIOObject && s.gCreateIOObject) s.gIOObject = s.gCreateIOObject();
  if (s.gIOObject)
    s.gScriptEngine->AddObject(u"zelIO", vbs::Ref<vbs::HostObject>(new UiThreadObject(s.gIOObject)));

  ModuleTarget target(*s.gGlobalModule);
  LoadOutcome outcome = LoadLibraryFiles(files, target, AskYesNo, [](const LibraryFile& f) {
    if (ScriptRunner* runner = ScriptRunner::Instance()) runner->SetActivity(ToQ(f.name));
    return ReadLibraryFile(f.path);
  });
  if (notLoaded) *notLoaded = outcome.notLoaded;
  if (outcome.editFile) {
    // The path as listed: a name that is not valid UTF-8 still reaches the
    // right file.
    StartUserEditor(s, QDir::toNativeSeparators(QFile::decodeName(outcome.editFile->path.c_str())));
    return LoadStatus::EndProgram;
  }
  return LoadStatus::Loaded;
}

CalcSession::~CalcSession() {
  try {
    ReleaseEngine(*this);
  } catch (...) {
    gGlobalModule.reset();
    (void)gScriptEngine.release();
  }
}

void ReleaseEngine(CalcSession& s) {
  if (!s.gScriptEngine) {
    s.gGlobalModule.reset();
    return;
  }
  // A reload calls this inside its own session; a job is another script.
  if (ScriptRunner* runner = ScriptRunner::Instance(); runner && runner->JobActive())
    throw std::runtime_error("a script is running");
  ScriptRunner::Session releasing;
  if (ScriptRunner* runner = ScriptRunner::Instance()) runner->SetActivity(ToQ(kBusyReleasingText));
  s.gGlobalModule.reset();
  std::unique_ptr<vbs::Engine> engine = std::move(s.gScriptEngine);
  // The worker empties the engine; the object itself lives until the job
  // has ended, since Stop reaches the job through it. What is left (the
  // Err object) goes here without running script code.
  vbs::Engine& running = *engine;
  RunEngineJob(running, [&running] { running.Reset(); });
  engine.reset();
}

namespace {

bool AskContinueAfterError(CalcSession& s) {
  const vbs::ErrorInfo& e = s.gScriptEngine->Error();
  // Stopped because the user is closing the window: nothing to go on with.
  if (e.Number == vbs::kErrInterrupted) {
    if (ScriptRunner* runner = ScriptRunner::Instance(); runner && runner->StoppingForClose())
      return false;
  }
  const int answer = ShowPrompt(ToQ(kAppTitle),
                                ToQ(EvaluationErrorText(e.Number, e.Description, e.Line, e.Column)),
                                PromptIcon::Question, PromptButtons::YesNo);
  if (answer != kAnswerYes) return false;
  if (s.gShowLibraryMaintenance) s.gShowLibraryMaintenance();
  return true;
}

}  // namespace

vbs::Variant EvaluateExpression(CalcSession& s, std::u16string_view expression) {
  if (!s.gGlobalModule || ScriptRunning()) return vbs::Variant::FromString(u"");
  ScriptRunner::Session running;
  std::u16string statement = u"myResult = ";
  statement += expression;
  if (!s.gGlobalModule->ExecuteStatement(statement)) {
    if (!AskContinueAfterError(s)) return vbs::Variant::FromString(u"");
    // The failed expression has no value: what myResult held from the
    // evaluation before must not come back as its result (and be logged
    // and become the answer). Emptied here rather than before every
    // evaluation, so that an expression may still use it (myResult + 1).
    s.gGlobalModule->ExecuteStatement(u"myResult = Empty");
  }
  vbs::Variant result;
  if (!s.gGlobalModule->Eval(u"myResult", result)) {
    if (!AskContinueAfterError(s)) return vbs::Variant::FromString(u"");
    return vbs::Variant();
  }
  return result;
}

namespace {

// `value <> 0` as the engine compares it with the literal 0: a literal is
// a number, so text that reads as a number is compared as that number.
// Values that cannot be compared (arrays, objects) are not 0.
bool EqualsZero(const vbs::Variant& value) {
  try {
    const vbs::Variant zero = vbs::Variant::FromInteger(0);
    if (value.type() == vbs::vbString && vbs::IsNumericValue(value))
      return vbs::Compare(vbs::Variant::FromDouble(vbs::ToDouble(value)), zero) ==
             vbs::CmpResult::Equal;
    return vbs::Compare(value, zero) == vbs::CmpResult::Equal;
  } catch (const vbs::ScriptError&) {
    return false;
  }
}

}  // namespace

EvalResult JudgeValue(const vbs::Variant& value) {
  const vbs::Variant& v = value.Deref();
  ValueKind kind = ValueKind::Other;
  switch (v.type()) {
    case vbs::vbEmpty: kind = ValueKind::Empty; break;
    case vbs::vbNull: kind = ValueKind::Null; break;
    case vbs::vbBoolean: kind = ValueKind::Boolean; break;
    case vbs::vbInteger: case vbs::vbLong: case vbs::vbSingle: case vbs::vbDouble:
    case vbs::vbCurrency: case vbs::vbByte:
      kind = ValueKind::Number;
      break;
    case vbs::vbString: kind = ValueKind::Text; break;
    default: kind = ValueKind::Other; break;
  }
  std::u16string text;
  bool numeric = false;
  if (kind != ValueKind::Null) {
    try {
      text = vbs::ToText(v);
    } catch (const vbs::ScriptError&) {
      // Arrays and objects without a default value have no text.
      EvalResult none;
      return none;
    }
    try {
      numeric = vbs::IsNumericValue(v);
    } catch (const vbs::ScriptError&) {
      numeric = false;
    }
  }
  EvalResult r = JudgeResult(kind, numeric, kind != ValueKind::Null && EqualsZero(v), std::move(text));
  r.value = v;
  return r;
}

}  // namespace zel
