#pragma once
// The console host's WScript object and its UI (MsgBox/InputBox on the
// terminal).
#include <string>
#include <vector>

#include "vbs/engine.h"
#include "vbs/object.h"

namespace vbsrun {

// Thrown by WScript.Quit; the runner turns it into the exit code.
struct QuitRequest {
  int code;
};

vbs::Ref<vbs::HostObject> MakeWScript(std::u16string scriptName, std::u16string fullName,
                                      std::vector<std::u16string> args);

class ConsoleUi : public vbs::UiHost {
 public:
  int MsgBox(std::u16string_view prompt, int buttons, std::u16string_view title) override;
  std::optional<std::u16string> InputBox(std::u16string_view prompt, std::u16string_view title,
                                         std::u16string_view defaultText) override;
};

void WriteOut(std::u16string_view text);

}  // namespace vbsrun
