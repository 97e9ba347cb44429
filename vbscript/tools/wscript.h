#pragma once
// The console host's WScript object and its UI (MsgBox/InputBox on the
// terminal).
#include <optional>
#include <string>
#include <vector>

#include "vbs/engine.h"
#include "vbs/object.h"

namespace vbsrun {

// Thrown by WScript.Quit; the runner turns it into the exit code.
struct QuitRequest {
  int code;
};

// What the WScript object tells about the run.
struct HostInfo {
  std::u16string scriptName;      // file name only
  std::u16string scriptFullName;  // absolute path of the script
  std::u16string hostFullName;    // absolute path of this runner
  std::vector<std::u16string> args;
};

vbs::Ref<vbs::HostObject> MakeWScript(HostInfo info);

class ConsoleUi : public vbs::UiHost {
 public:
  int MsgBox(std::u16string_view prompt, int buttons, std::u16string_view title) override;
  std::optional<std::u16string> InputBox(std::u16string_view prompt, std::u16string_view title,
                                         std::u16string_view defaultText) override;
};

// Text to standard output; a failed write raises 61 or 57 in the script.
void WriteOut(std::u16string_view text);

// Empty, or the message for a run whose output did not all reach standard
// output (the runner then ends with a failure status). Flushes first.
std::string OutputFailure();

// MsgBox's answer where nobody is asked: its default button.
int MsgBoxDefault(int buttons);

}  // namespace vbsrun
