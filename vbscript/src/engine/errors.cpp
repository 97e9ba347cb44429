// Run-time errors: the Err object, Err after a trapped error, interrupts and
// the error record the host reads.
#include "engine/interp.h"
#include "engine/interp_inline.h"
#include "vbs/stop_request.h"

namespace vbs {

namespace {

// ---- the Err object ---------------------------------------------------------
// The error Err.Raise raises for `number`: an HRESULT of the runtime's own
// family, or a common one the runtime knows, is its script error; another
// positive number past 16 bits is no error code (5). Other negative
// numbers (vbObjectError + n) stay as they are.
int RaisedNumber(int32_t number) {
  if (number == 0 || number > 0xFFFF) Raise(kErrInvalidCall);
  const uint32_t h = uint32_t(number);
  if ((h & 0xFFFF0000u) == 0x800A0000u && (h & 0xFFFFu) != 0) return int(h & 0xFFFFu);
  static const struct { uint32_t hr; int err; } known[] = {
      {0x8007000Eu, kErrOutOfMemory},         // E_OUTOFMEMORY
      {0x80070057u, kErrInvalidCall},         // E_INVALIDARG
      {0x80070005u, kErrPermissionDenied},    // E_ACCESSDENIED
      {0x80004001u, kErrActionNotSupported},  // E_NOTIMPL
      {0x80004002u, kErrNoAutomation},        // E_NOINTERFACE
      {0x80020005u, kErrTypeMismatch},        // DISP_E_TYPEMISMATCH
      {0x8002000Au, kErrOverflow},            // DISP_E_OVERFLOW
      {0x8002000Bu, kErrSubscriptOutOfRange}, // DISP_E_BADINDEX
      {0x80020012u, kErrDivisionByZero},      // DISP_E_DIVBYZERO
      {0x80020003u, kErrNoSuchMember},        // DISP_E_MEMBERNOTFOUND
      {0x80020006u, kErrNoSuchMember},        // DISP_E_UNKNOWNNAME
      {0x8002000Eu, kErrWrongArgCount},       // DISP_E_BADPARAMCOUNT
      {0x8002000Fu, kErrArgNotOptional},      // DISP_E_PARAMNOTOPTIONAL
  };
  for (const auto& k : known)
    if (k.hr == h) return k.err;
  return number;
}

class ErrObject : public HostObject {
 public:
  explicit ErrObject(Interp* in) : in_(in) {}
  std::u16string TypeName() const override { return u"ErrObject"; }
  int FindMember(std::u16string_view n) const override {
    static const char* const names[] = {"number", "description", "source", "helpfile",
                                        "helpcontext", "clear", "raise"};
    for (int i = 0; i < 7; ++i)
      if (NameEquals(n, names[i])) return i;
    return -1;
  }
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override {
    ErrState& e = in_->state.err;
    bool set = kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet;
    auto value = [&]() -> Variant& {
      if (args.size() < 1) Raise(kErrWrongArgCount);
      return args[args.size() - 1];
    };
    switch (member) {
      case 0:
        if (set) e.number = ToLong(value());
        else result = Variant::FromLong(e.number);
        return;
      case 1:
        if (set) e.description = ToText(value());
        else result = Variant::FromString(e.description);
        return;
      case 2:
        if (set) e.source = ToText(value());
        else result = Variant::FromString(e.source);
        return;
      case 3:
        if (set) e.helpFile = ToText(value());
        else result = Variant::FromString(e.helpFile);
        return;
      case 4:
        if (set) e.helpContext = ToLong(value());
        else result = Variant::FromLong(e.helpContext);
        return;
      case 5:
        if (set) Raise(kErrNoSuchMember);
        e.Clear();
        return;
      case 6: {
        if (set) Raise(kErrNoSuchMember);
        if (args.size() < 1 || args.Missing(0)) Raise(kErrWrongArgCount);
        const int number = RaisedNumber(ToLong(args[0]));
        // What the call leaves out comes from Err as it stands, when it
        // has not been cleared.
        ErrState n;
        n.number = number;
        n.source = !args.Missing(1) ? ToText(args[1])
                 : !e.source.empty() ? e.source : std::u16string(u"Microsoft VBScript runtime error");
        n.description = !args.Missing(2) ? ToText(args[2])
                      : !e.description.empty() ? e.description : StandardErrorText(number);
        n.helpFile = !args.Missing(3) ? ToText(args[3]) : e.helpFile;
        n.helpContext = !args.Missing(4) ? ToLong(args[4]) : e.helpContext;
        e = n;
        in_->state.raisedByErr = true;
        Raise(number, n.description);
      }
      default:
        Raise(kErrNoSuchMember);
    }
  }

 private:
  Interp* in_;
};

}  // namespace

Ref<HostObject> MakeErrObject(Interp* in) { return Ref<HostObject>(new ErrObject(in)); }

static std::u16string LineText(std::u16string_view text, int line) {
  int cur = 1;
  size_t i = 0;
  while (cur < line && i < text.size()) {
    if (text[i] == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      ++cur;
    } else if (text[i] == u'\n') {
      ++cur;
    }
    ++i;
  }
  if (cur != line) return {};
  size_t e = i;
  while (e < text.size() && text[e] != u'\r' && text[e] != u'\n') ++e;
  return std::u16string(text.substr(i, e - i));
}

void Interp::RecordCompileError(const CompileError& e, std::u16string_view text) {
  error.Number = e.number;
  error.Description = StandardErrorText(e.number);
  error.Line = e.line;
  error.Column = e.col;
  error.Source = LineText(text, e.line);
  error.IsCompileError = true;
}

void Interp::RecordError(const ScriptError& e, std::u16string_view text) {
  error.Number = e.number;
  error.Description = e.Text();
  error.Line = posSet_ ? errLine_ : 1;
  error.Column = posSet_ ? errCol_ : 1;
  error.Source = LineText(text, error.Line);
  error.IsCompileError = false;
  state.err.number = e.number;
  state.err.description = error.Description;
}

[[noreturn]] void Interp::ThrowInterrupt() {
  SetInterrupt(false);
  throw AbortError{ScriptError(kErrInterrupted)};
}

// The interpreter whose host call runs on this thread, for library code
// that has no Context (objects' members).
namespace {
thread_local Interp* tRunning = nullptr;
}

Interp::RunningScope::RunningScope(Interp& in) : previous(tRunning) { tRunning = &in; }
Interp::RunningScope::~RunningScope() { tRunning = previous; }

bool StopRequested() { return tRunning && tRunning->interrupt_.load(std::memory_order_relaxed); }

void CheckStopRequest() {
  if (tRunning) tRunning->CheckInterrupt();
}

void Interp::CatchToErr(const ScriptError& e) {
  if (!state.raisedByErr) {
    state.err.number = e.number;
    state.err.description = e.Text();
    state.err.source = u"Microsoft VBScript runtime error";
    state.err.helpFile.clear();
    state.err.helpContext = 0;
  }
  state.raisedByErr = false;
  posSet_ = false;
}

}  // namespace vbs
