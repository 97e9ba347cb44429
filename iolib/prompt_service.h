#pragma once
// Every message box of the program goes through here, so that tests can
// answer them and check what was asked.
#include <QString>
#include <deque>
#include <initializer_list>
#include <optional>
#include <vector>

class QKeyEvent;

namespace zel {

// Answers, numbered as the script language's MsgBox results.
inline constexpr int kAnswerOK = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerAbort = 3;
inline constexpr int kAnswerRetry = 4;
inline constexpr int kAnswerIgnore = 5;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
// Not a button of the script language: the user chose "Stop Script" on a box
// raised by a running script (test recorders answer with it too).
inline constexpr int kAnswerStopScript = -18;

// Numbered as the script language's MsgBox icon constants.
enum class PromptIcon { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
// Numbered as the script language's MsgBox button-set constants.
enum class PromptButtons { OK = 0, OKCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4,
                           RetryCancel = 5 };

struct PromptRequest {
  QString title;  // already "zelCalc" when the caller gave none
  QString text;
  PromptIcon icon = PromptIcon::None;
  PromptButtons buttons = PromptButtons::OK;
  int defaultButton = 0;  // 0..2: which button Enter presses
  bool offersStop = false;  // raised by a running script: "Stop Script" too
};

struct TextRequest {
  QString title;  // already "zelCalc" when the caller gave none
  QString prompt;
  QString defaultText;
  bool offersStop = false;
};

// Shows a modal message box and returns the answer (kAnswerOK ...). An empty
// title shows the application title "zelCalc". Esc and the close box give
// Cancel on a box that has one and OK on a lone OK; on other boxes (Yes/No,
// Abort/Retry/Ignore) they do nothing: only a button answers.
int ShowPrompt(const QString& title, const QString& text, PromptIcon icon = PromptIcon::None,
               PromptButtons buttons = PromptButtons::OK, int defaultButton = 0);

// ShowPrompt with the whole request; `stopScript` as for ShowScriptMsgBox.
int AskPrompt(const PromptRequest& request, bool* stopScript = nullptr);

// The script language's MsgBox: `style` is its Buttons argument (button set +
// icon + default button 0/256/512/768; modality bits are ignored).
//
// A box that a running script raises is modal, so it keeps the user from
// the busy bar's Stop: given `stopScript`, the box offers "Stop Script" (and
// Ctrl+Break) as well. Chosen, it answers the box as Esc would (Cancel, No,
// Abort or OK, the first the box has) and sets *stopScript; the caller
// then stops the script.
int ShowScriptMsgBox(const QString& prompt, int style, const QString& title,
                     bool* stopScript = nullptr);

// The script language's InputBox: nullopt when the user cancels. Given
// `stopScript`, "Stop Script" and Ctrl+Break cancel the box and set it.
std::optional<QString> AskText(const QString& title, const QString& prompt,
                               const QString& defaultText, bool* stopScript = nullptr);

// How a box or dialog that a running script shows lets the user stop the
// script: a "Stop Script" command, and Ctrl+Break.
extern const char kStopScriptCaption[];
extern const char kStopScriptTip[];
bool IsCtrlBreak(const QKeyEvent* event);

// The answers a box gives when nobody picks one: the button Enter presses.
int DefaultAnswer(PromptButtons buttons, int defaultButton);
// What "Stop Script" answers a box with.
int StoppedAnswer(PromptButtons buttons);

// Test hook. While one exists, prompts are not shown: each is recorded and
// answered from the queue (when the queue is empty, with the box's default
// answer). Text questions (AskText) are answered from their own queue
// (empty queue: the default text, as if OK was pressed).
class PromptRecorder {
 public:
  PromptRecorder();
  explicit PromptRecorder(std::initializer_list<int> answers);
  ~PromptRecorder();
  PromptRecorder(const PromptRecorder&) = delete;
  PromptRecorder& operator=(const PromptRecorder&) = delete;

  void Answer(int answer) { answers_.push_back(answer); }
  // nullopt answers as Cancel.
  void AnswerText(const std::optional<QString>& text) {
    textAnswers_.push_back({!text.has_value(), false, text.value_or(QString())});
  }
  // "Stop Script" on a text question that offers it (else Cancel).
  void AnswerTextStop() { textAnswers_.push_back({true, true, QString()}); }

  const std::vector<PromptRequest>& Asked() const { return asked_; }
  const std::vector<TextRequest>& AskedText() const { return askedText_; }
  void Clear() { asked_.clear(); askedText_.clear(); }

 private:
  friend int AskPrompt(const PromptRequest&, bool*);
  friend std::optional<QString> AskText(const QString&, const QString&, const QString&, bool*);
  std::deque<int> answers_;
  struct TextAnswer {
    bool cancelled;
    bool stop;
    QString text;
  };
  std::deque<TextAnswer> textAnswers_;
  std::vector<PromptRequest> asked_;
  std::vector<TextRequest> askedText_;
  PromptRecorder* previous_ = nullptr;
};

}  // namespace zel
