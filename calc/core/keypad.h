#pragma once
// The calculator's key actions and evaluation flow as plain functions over a
// small state, so that they can be exercised without a window. The window
// copies its controls into a KeyState, runs PressKey and applies the
// returned KeyEffects to the controls.
#include <any>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zel {

inline constexpr int kKeyCount = 20;
inline constexpr int kKeyExp = 2;
inline constexpr int kKeyAns = 12;
inline constexpr int kKeyExe = 13;
inline constexpr int kKeyCe = 18;
inline constexpr int kKeyAc = 19;

// The text each key index stands for. Only 0-11 and 14-17 are ever
// inserted; the others name the action.
const std::array<std::u16string_view, kKeyCount>& KeypadStrings();

// Removes every U+0020; tabs and ideographic spaces stay.
std::u16string StripSpaces(std::u16string_view text);

// Every occurrence of `what` (exact, case-sensitive) replaced by `with`.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view what,
                          std::u16string_view with);

// What an evaluation gave back, already judged for the log and the answer.
struct EvalResult {
  std::u16string text;  // the value's standard text (CStr)
  bool numeric = false; // a number, a Boolean or text that reads as one
  bool zero = false;    // compares equal to 0 (0, False, Empty)
  bool shown = false;   // gets a line in the log
  std::any value;       // the engine's value itself, for the answer
};

// How a value is judged. Kinds mirror the script value types that matter.
enum class ValueKind { Empty, Null, Boolean, Number, Text, Other };
// numeric: IsNumeric of the value; equalsZero: the value compares equal to
// 0 as a script's comparison with the literal 0 says.
EvalResult JudgeResult(ValueKind kind, bool numeric, bool equalsZero, std::u16string text);

// A result longer than this is logged cut: the log stays usable whatever
// a script returns. The answer value keeps the whole result.
inline constexpr size_t kMaxLoggedResultChars = 1000000;

// The text a result puts in the log: the whole text, or its first
// kMaxLoggedResultChars characters followed by a line saying how many were
// left out.
std::u16string LoggedResultText(std::u16string_view text);

struct KeyState {
  std::u16string input;          // txtUserInput's text
  std::u16string selText;        // mSelText
  std::u16string lastAnswerText; // text of gLastAnswer
  bool showInput = true;         // gShowInput
  bool acKeyClear = false;       // gACKeyClear
};

// What the window has to do after a key.
struct KeyEffects {
  bool inputChanged = false;
  std::u16string logAppend;                   // CR LF separated, appended as is
  bool clearLog = false;                      // before appending
  std::optional<std::u16string> historyInsert; // at the top of the history
  bool selectAllInput = false;
  bool focusInput = false;
  bool focusLogEnd = false;                   // FocusTextBox on the log
  bool answerChanged = false;
  std::any answerValue;                       // the new gLastAnswer
  bool evaluated = false;
};

using Evaluator = std::function<EvalResult(const std::u16string& expression)>;

// The action of cmdUserNumKey(index). `evaluate` is only called by EXE.
KeyEffects PressKey(KeyState& state, int index, const Evaluator& evaluate);

}  // namespace zel
