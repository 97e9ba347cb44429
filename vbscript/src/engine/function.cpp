// Expressions compiled once as functions of their own parameters, and the
// run of many calls of one in a single host call (a plotted curve).
#include <algorithm>
#include <new>

#include "engine/interp.h"
#include "engine/interp_inline.h"

namespace vbs {

// A procedure that has no body of its own: its frame is the result slot and
// the parameters, and the expression is resolved in it as Eval resolves a
// text inside a running procedure.
class CompiledFunction {
 public:
  const Interp* owner = nullptr;
  std::weak_ptr<bool> alive;  // the owner's code of the time it compiled
  Proc proc;
  CompiledExpr body;
  std::u16string text;
  std::vector<std::u16string> paramNames;  // the proc's parameter names point here
};

std::shared_ptr<const CompiledFunction> Interp::CompileFunction(
    std::span<const std::u16string> params, std::u16string_view expression) {
  BeginHostCall();
  auto fn = std::make_shared<CompiledFunction>();
  fn->owner = this;
  fn->alive = alive_;
  fn->text = std::u16string(expression);
  Proc& p = fn->proc;
  p.kind = ProcKind::Function;
  p.slotNames.emplace_back();  // slot 0, the result: no name reaches it
  for (const std::u16string& name : params) {
    const std::u16string key = FoldName(name);
    for (const std::u16string& other : fn->paramNames) {
      if (FoldName(other) == key) {
        RecordCompileError(CompileError{kErrNameRedefined, 1, 1}, expression);
        return nullptr;
      }
    }
    fn->paramNames.push_back(name);
  }
  // Views of the function's own copies: taken once the list stops growing.
  for (const std::u16string& name : fn->paramNames) {
    p.params.push_back({name, false, false});
    p.slotNames.push_back(name);
  }
  p.nparams = uint32_t(p.params.size());
  p.nslots = int(p.slotNames.size());
  Frame scope;
  scope.proc = &p;
  try {
    fn->body = CompileExpr(expression, &scope);
  } catch (const CompileError& ce) {
    RecordCompileError(ce, expression);
    return nullptr;
  } catch (const std::bad_alloc&) {
    RecordCompileError(CompileError{kErrOutOfMemory, 1, 1}, expression);
    return nullptr;
  }
  return fn;
}

bool Interp::CallFunction(const CompiledFunction& fn, std::span<const Variant> args,
                          const FunctionResultSink& each) {
  BeginHostCall();
  const std::shared_ptr<bool> alive = fn.alive.lock();
  if (fn.owner != this || !alive || !*alive || alive != alive_) {
    RecordError(ScriptError(kErrInvalidCall), fn.text);
    return false;
  }
  Proc& p = const_cast<Proc&>(fn.proc);
  Expr* body = fn.body.expr.get();
  const size_t width = std::max<size_t>(p.nparams, 1);
  const size_t calls = p.nparams == 0 ? 1 : args.size() / width;
  return RunRecordingErrors(fn.text, [&] {
    for (size_t i = 0; i < calls; ++i) {
      // A plain expression checks for a stop nowhere of its own.
      CheckInterrupt();
      posSet_ = false;
      Variant value;
      ErrorInfo failed;
      bool raised = false;
      try {
        Variant* slots = stack_.Push(p.nslots);
        FrameScope fs(stack_, slots, p.nslots, curFrame_);
        for (uint32_t k = 0; k < p.nparams; ++k) slots[k + 1] = args[i * width + k].Deref();
        Frame f;
        f.slots = slots;
        f.proc = &p;
        curFrame_ = &f;
        value = EvalExpr(body, f);
      } catch (const ScriptError& e) {
        raised = true;
        failed.Number = e.number;
        failed.Description = e.Text();
        failed.Line = posSet_ ? errLine_ : 1;
        failed.Column = posSet_ ? errCol_ : 1;
      }
      each(i, value, raised ? &failed : nullptr);
    }
  });
}

}  // namespace vbs
