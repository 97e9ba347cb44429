#include "wscript.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>

#include "vbs/libobjects.h"
#include "vbs/textcodec.h"
#include "vbs/value_conv.h"

namespace vbsrun {
using namespace vbs;

namespace {

int gOutError = 0;   // errno of the first failed write to standard output

}  // namespace

// A write that fails raises 61 (full disk) or 57 in the script; the run
// then also ends with a message and a failure status (OutputFailure).
void WriteOut(std::u16string_view text) {
  std::string s = Utf16ToUtf8(text);
  if (std::fwrite(s.data(), 1, s.size(), stdout) == s.size()) return;
  const int err = errno;
  if (!gOutError) gOutError = err ? err : EIO;
  Raise(err == ENOSPC || err == EDQUOT || err == EFBIG ? kErrDiskFull : kErrDeviceIo);
}

std::string OutputFailure() {
  if (std::fflush(stdout) != 0 && !gOutError) gOutError = errno ? errno : EIO;
  if (!gOutError && std::ferror(stdout)) gOutError = EIO;
  if (!gOutError) return {};
  return std::string("cannot write to standard output: ") + std::strerror(gOutError);
}

namespace {

void ToStderr(std::u16string_view text) {
  const std::string s = Utf16ToUtf8(text);
  std::fwrite(s.data(), 1, s.size(), stderr);
}

std::u16string Joined(Args& args) {
  std::u16string line;
  for (int i = 0; i < args.size(); ++i) {
    if (i) line += u' ';
    if (!args.Missing(i)) line += ToText(args[i]);
  }
  return line;
}

// Bytes from standard input as text: UTF-8, else CP932.
std::u16string Decode(const std::string& bytes) {
  auto text = DecodeScriptText(bytes);
  return text ? *text : Utf8ToUtf16(bytes);
}

bool InputAtEnd() { return std::cin.peek() == std::char_traits<char>::eof(); }

// Input that is sure to be longer than a script string raises 7 at once,
// before more of it is read.
void NeedRoom(const DecodedLengthBound& bound) {
  if (bound.AtLeast() > String::kMaxLength) Raise(kErrOutOfMemory);
}

// One line of standard input without its line end; nullopt at the end.
std::optional<std::string> ReadInputLine() {
  if (InputAtEnd()) return std::nullopt;
  std::string line;
  DecodedLengthBound bound;
  std::streambuf* in = std::cin.rdbuf();
  for (int c; (c = in->sbumpc()) != std::char_traits<char>::eof() && c != '\n';) {
    line.push_back(char(c));
    if (line.size() % 65536 == 0) {
      bound.Add(std::string_view(line).substr(line.size() - 65536));
      NeedRoom(bound);
    }
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// The rest of standard input.
std::string ReadInputRest() {
  std::string all;
  DecodedLengthBound bound;
  char chunk[65536];
  while (true) {
    const std::streamsize n = std::cin.rdbuf()->sgetn(chunk, sizeof chunk);
    if (n <= 0) return all;
    all.append(chunk, size_t(n));
    bound.Add(std::string_view(chunk, size_t(n)));
    NeedRoom(bound);
  }
}

// StdIn, StdOut and StdErr: TextStreams that read or write one direction.
class ConsoleStream : public HostObject {
 public:
  enum class Dir { In, Out, Err };
  explicit ConsoleStream(Dir d) : dir_(d) {}
  std::u16string TypeName() const override { return u"TextStream"; }
  enum Member { kWrite, kWriteLine, kWriteBlankLines, kClose, kLine, kColumn, kReadLine, kReadAll,
                kRead, kSkip, kSkipLine, kAtEndOfStream, kAtEndOfLine };
  int FindMember(std::u16string_view n) const override {
    // 0 is the default member: there is none.
    static constexpr const char* kNames[] = {"write", "writeline", "writeblanklines", "close", "line",
                                             "column", "readline", "readall", "read", "skip", "skipline",
                                             "atendofstream", "atendofline"};
    return MemberTable(kNames, 1).Find(n);
  }
  void Invoke(int member, InvokeKind kind, Args& a, Variant& result) override {
    if (member <= 0 || kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet)
      Raise(kErrNoSuchMember);
    switch (Member(member - 1)) {
      case kLine: NeedArgs(a, 0, 0); result = Variant::FromLong(line_); return;
      case kColumn: NeedArgs(a, 0, 0); result = Variant::FromLong(column_); return;
      case kClose:
        NeedArgs(a, 0, 0);
        if (dir_ != Dir::In) std::fflush(dir_ == Dir::Out ? stdout : stderr);
        closed_ = true;
        return;
      default: break;
    }
    if (closed_) Raise(kErrBadFileMode);
    const bool writing = member - 1 <= kWriteBlankLines;
    if (writing != (dir_ != Dir::In)) Raise(kErrBadFileMode);
    switch (Member(member - 1)) {
      case kWrite: NeedArgs(a, 1, 1); Put(ToText(a[0])); return;
      case kWriteLine: NeedArgs(a, 0, 1); Put((a.Missing(0) ? std::u16string() : ToText(a[0])) + u"\n"); return;
      case kWriteBlankLines: {
        NeedArgs(a, 1, 1);
        const int32_t n = ToLong(a[0]);
        if (n < 0) Raise(kErrInvalidCall);
        Put(std::u16string(size_t(n), u'\n'));
        return;
      }
      case kReadLine: {
        NeedArgs(a, 0, 0);
        auto line = ReadInputLine();
        if (!line) Raise(kErrPastEndOfFile);
        ++line_;
        column_ = 1;
        result = Variant::FromString(Decode(*line));
        return;
      }
      case kSkipLine:
        NeedArgs(a, 0, 0);
        if (!ReadInputLine()) Raise(kErrPastEndOfFile);
        ++line_;
        column_ = 1;
        return;
      case kReadAll: {
        NeedArgs(a, 0, 0);
        if (InputAtEnd()) Raise(kErrPastEndOfFile);
        std::u16string text = Decode(ReadInputRest());
        Count(text);
        result = Variant::FromString(text);
        return;
      }
      case kRead:
      case kSkip: {
        NeedArgs(a, 1, 1);
        const int32_t n = ToLong(a[0]);
        if (n < 0) Raise(kErrInvalidCall);
        if (n > 0 && InputAtEnd()) Raise(kErrPastEndOfFile);
        std::u16string text = ReadChars(n);
        Count(text);
        if (member - 1 == kRead) result = Variant::FromString(text);
        return;
      }
      case kAtEndOfStream: NeedArgs(a, 0, 0); result = Variant::FromBool(InputAtEnd()); return;
      case kAtEndOfLine: {
        NeedArgs(a, 0, 0);
        const int c = std::cin.peek();
        result = Variant::FromBool(c == std::char_traits<char>::eof() || c == '\n' || c == '\r');
        return;
      }
      default: Raise(kErrNoSuchMember);
    }
  }

 private:
  void Put(const std::u16string& text) {
    Count(text);
    if (dir_ == Dir::Out) {
      WriteOut(text);
      return;
    }
    // What went to standard output so far comes first on a shared terminal.
    std::fflush(stdout);
    ToStderr(text);
  }
  // Line and Column after the text passed through.
  void Count(std::u16string_view text) {
    for (char16_t c : text) {
      if (c == u'\n') {
        ++line_;
        column_ = 1;
      } else if (c != u'\r') {
        ++column_;
      }
    }
  }
  // Up to n characters of UTF-8 input (a character's bytes are read whole).
  static std::u16string ReadChars(int32_t n) {
    std::string bytes;
    for (int32_t i = 0; i < n && !InputAtEnd(); ++i) {
      if (size_t(i) >= String::kMaxLength) Raise(kErrOutOfMemory);
      const int lead = std::cin.get();
      bytes.push_back(char(lead));
      const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
      for (int k = 0; k < more && !InputAtEnd(); ++k) bytes.push_back(char(std::cin.get()));
    }
    return Decode(bytes);
  }

  Dir dir_;
  bool closed_ = false;
  int32_t line_ = 1, column_ = 1;
};

// WScript.Arguments and its Unnamed part: Item (the default), Count, Length.
class ArgumentsObject : public HostObject {
 public:
  ArgumentsObject(std::vector<std::u16string> a, Ref<HostObject> named, Ref<HostObject> unnamed)
      : args_(std::move(a)), named_(std::move(named)), unnamed_(std::move(unnamed)) {}
  std::u16string TypeName() const override { return u"Object"; }
  enum Member { kItem, kCount, kLength, kNamed, kUnnamed, kShowUsage };
  int FindMember(std::u16string_view n) const override {
    static constexpr const char* kNames[] = {"item", "count", "length", "named", "unnamed", "showusage"};
    const int m = MemberTable(kNames).Find(n);
    if (m >= kNamed && !named_) return -1;  // only the whole list has the parts
    return m;
  }
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override {
    if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) Raise(kErrNoSuchMember);
    switch (member) {
      case kItem: {
        NeedArgs(args, 1, 1);
        int i = ToLong(args[0]);
        if (i < 0 || size_t(i) >= args_.size()) Raise(kErrSubscriptOutOfRange);
        result = Variant::FromString(args_[size_t(i)]);
        return;
      }
      case kCount:
      case kLength:
        NeedArgs(args, 0, 0);
        result = Variant::FromLong(int32_t(args_.size()));
        return;
      case kNamed: PassOn(named_, args, result); return;
      case kUnnamed: PassOn(unnamed_, args, result); return;
      case kShowUsage: return;
      default: Raise(kErrNoSuchMember);
    }
  }
  bool Enumerate(std::vector<Variant>& items) override {
    for (auto& a : args_) items.push_back(Variant::FromString(a));
    return true;
  }
  // A collection property called with arguments passes them on to the
  // collection's default member: WScript.Arguments(0).
  static void PassOn(const Ref<HostObject>& coll, Args& args, Variant& result) {
    if (args.size() == 0) result = Variant::FromObject(coll.get());
    else coll->Invoke(0, InvokeKind::PropertyGet, args, result);
  }

 private:
  std::vector<std::u16string> args_;
  Ref<HostObject> named_, unnamed_;
};

// WScript.Arguments.Named: "/name:value" and "/name" arguments by name.
class NamedArguments : public HostObject {
 public:
  std::u16string TypeName() const override { return u"Object"; }
  void Add(std::u16string name, Variant value) {
    for (auto& [n, v] : items_)
      if (NameEquals(n, name)) {
        v = std::move(value);
        return;
      }
    items_.emplace_back(std::move(name), std::move(value));
  }
  enum Member { kItem, kCount, kLength, kExists };
  int FindMember(std::u16string_view n) const override {
    static constexpr const char* kNames[] = {"item", "count", "length", "exists"};
    return MemberTable(kNames).Find(n);
  }
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override {
    if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) Raise(kErrNoSuchMember);
    switch (member) {
      case kItem:
      case kExists: {
        NeedArgs(args, 1, 1);
        const std::u16string name = ToText(args[0]);
        for (auto& [n, v] : items_)
          if (NameEquals(n, name)) {
            result = member == kItem ? v : Variant::FromBool(true);
            return;
          }
        result = member == kItem ? Variant() : Variant::FromBool(false);
        return;
      }
      case kCount:
      case kLength:
        NeedArgs(args, 0, 0);
        result = Variant::FromLong(int32_t(items_.size()));
        return;
      default: Raise(kErrNoSuchMember);
    }
  }
  bool Enumerate(std::vector<Variant>& items) override {
    for (auto& it : items_) items.push_back(Variant::FromString(it.first));
    return true;
  }

 private:
  std::vector<std::pair<std::u16string, Variant>> items_;
};

Ref<HostObject> MakeArguments(const std::vector<std::u16string>& args) {
  auto named = MakeRef<NamedArguments>();
  std::vector<std::u16string> unnamed;
  for (const auto& a : args) {
    if (a.size() > 1 && a[0] == u'/') {
      const size_t colon = a.find(u':');
      if (colon == std::u16string::npos) named->Add(a.substr(1), Variant());
      else named->Add(a.substr(1, colon - 1), Variant::FromString(a.substr(colon + 1)));
    } else {
      unnamed.push_back(a);
    }
  }
  Ref<HostObject> unnamedObj(new ArgumentsObject(std::move(unnamed), nullptr, nullptr));
  return Ref<HostObject>(new ArgumentsObject(args, Ref<HostObject>(named), unnamedObj));
}

class WScriptObject : public HostObject {
 public:
  explicit WScriptObject(HostInfo info) : info_(std::move(info)) {
    args_ = MakeArguments(info_.args);
    in_ = Ref<HostObject>(new ConsoleStream(ConsoleStream::Dir::In));
    out_ = Ref<HostObject>(new ConsoleStream(ConsoleStream::Dir::Out));
    err_ = Ref<HostObject>(new ConsoleStream(ConsoleStream::Dir::Err));
  }
  std::u16string TypeName() const override { return u"Object"; }
  enum Member { kEcho, kQuit, kArguments, kStdOut, kStdErr, kStdIn, kScriptName, kScriptFullName,
                kSleep, kName, kVersion, kBuildVersion, kFullName, kPath, kCreateObject, kGetObject,
                kInteractive };
  int FindMember(std::u16string_view n) const override {
    // 0 is the default member: Name.
    static constexpr const char* kNames[] = {"echo", "quit", "arguments", "stdout", "stderr", "stdin",
                                             "scriptname", "scriptfullname", "sleep", "name", "version",
                                             "buildversion", "fullname", "path", "createobject", "getobject",
                                             "interactive"};
    return MemberTable(kNames, 1).Find(n);
  }
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override {
    if (kind == InvokeKind::PropertySet) Raise(kErrNoSuchMember);
    if (kind == InvokeKind::PropertyLet) {
      if (member - 1 != kInteractive) Raise(kErrNoSuchMember);
      interactive_ = ToBool(args[args.size() - 1]);
      return;
    }
    if (member == 0) member = kName + 1;
    switch (Member(member - 1)) {
      case kEcho:
        WriteOut(Joined(args));
        WriteOut(u"\n");
        return;
      case kQuit: {
        int code = args.size() > 0 && !args.Missing(0) ? ToLong(args[0]) : 0;
        std::fflush(stdout);
        throw QuitRequest{code};
      }
      case kArguments: ArgumentsObject::PassOn(args_, args, result); return;
      case kStdOut: Stream(out_, args, result); return;
      case kStdErr: Stream(err_, args, result); return;
      case kStdIn: Stream(in_, args, result); return;
      case kScriptName: Text(info_.scriptName, args, result); return;
      case kScriptFullName: Text(info_.scriptFullName, args, result); return;
      case kFullName: Text(info_.hostFullName, args, result); return;
      case kPath: {
        const size_t slash = info_.hostFullName.find_last_of(u'/');
        Text(slash == std::u16string::npos ? std::u16string() : info_.hostFullName.substr(0, slash), args,
             result);
        return;
      }
      case kName: Text(u"Windows Script Host", args, result); return;
      case kVersion: Text(u"5.8", args, result); return;
      case kBuildVersion: NeedArgs(args, 0, 0); result = Variant::FromLong(18702); return;
      case kSleep: {
        NeedArgs(args, 1, 1);
        const int32_t ms = ToLong(args[0]);
        if (ms < 0) Raise(kErrInvalidCall);
        std::fflush(stdout);  // what the script printed shows while it waits
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
      }
      case kCreateObject: {
        // The second argument (a prefix for event handlers) has nothing to
        // connect to: the library's objects raise no events.
        NeedArgs(args, 1, 2);
        Ref<HostObject> obj = CreateLibraryObject(ToText(args[0]));
        if (!obj) Raise(kErrCannotCreateObject);
        result = Variant::FromObject(obj.get());
        return;
      }
      case kGetObject: NeedArgs(args, 1, 2); Raise(kErrCannotCreateObject);
      case kInteractive: NeedArgs(args, 0, 0); result = Variant::FromBool(interactive_); return;
      default: Raise(kErrNoSuchMember);
    }
  }

 private:
  static void Stream(const Ref<HostObject>& s, Args& args, Variant& result) {
    NeedArgs(args, 0, 0);
    result = Variant::FromObject(s.get());
  }
  static void Text(const std::u16string& s, Args& args, Variant& result) {
    NeedArgs(args, 0, 0);
    result = Variant::FromString(s);
  }

  HostInfo info_;
  Ref<HostObject> args_, in_, out_, err_;
  bool interactive_ = true;
};

}  // namespace

Ref<HostObject> MakeWScript(HostInfo info) { return Ref<HostObject>(new WScriptObject(std::move(info))); }

namespace {

struct Button {
  int value;
  const char16_t* label;   // its first letter answers for it
};

// The buttons of MsgBox's button set (the low bits of `buttons`), in order.
std::vector<Button> ButtonsOf(int buttons) {
  const Button ok{1, u"OK"}, cancel{2, u"Cancel"}, abort{3, u"Abort"}, retry{4, u"Retry"},
      ignore{5, u"Ignore"}, yes{6, u"Yes"}, no{7, u"No"};
  switch (buttons & 7) {
    case 1: return {ok, cancel};
    case 2: return {abort, retry, ignore};
    case 3: return {yes, no, cancel};
    case 4: return {yes, no};
    case 5: return {retry, cancel};
    default: return {ok};
  }
}

bool AskOnTerminal() { return ::isatty(STDIN_FILENO) == 1; }

// Shows the prompt again where the question goes when standard output is
// elsewhere (a file): the user must see what is asked.
void PromptForQuestion(std::u16string_view prompt) {
  std::fflush(stdout);
  if (::isatty(STDOUT_FILENO) != 1) {
    ToStderr(prompt);
    ToStderr(u"\n");
  }
}

}  // namespace

int MsgBoxDefault(int buttons) {
  const std::vector<Button> set = ButtonsOf(buttons);
  const size_t index = size_t((buttons >> 8) & 3);
  return set[index < set.size() ? index : 0].value;
}

// The prompt goes to standard output, as the script's output. A box with
// one button, or input that is not a terminal, answers with the default
// button; otherwise the question waits on the terminal: the button's first
// letter or name, Enter for the default, end of input for Cancel (or the
// default when there is no Cancel).
int ConsoleUi::MsgBox(std::u16string_view prompt, int buttons, std::u16string_view) {
  WriteOut(prompt);
  WriteOut(u"\n");
  const std::vector<Button> set = ButtonsOf(buttons);
  const int byDefault = MsgBoxDefault(buttons);
  if (set.size() == 1 || !AskOnTerminal()) return byDefault;
  PromptForQuestion(prompt);
  std::u16string question;
  for (const Button& b : set) {
    if (!question.empty()) question += u", ";
    question += u"(" + std::u16string(1, b.label[0]) + u")" + (b.label + 1);
  }
  for (const Button& b : set)
    if (b.value == byDefault) question += u" [" + std::u16string(b.label) + u"]? ";
  while (true) {
    ToStderr(question);
    const auto line = ReadInputLine();
    if (!line) {
      ToStderr(u"\n");
      for (const Button& b : set)
        if (b.value == 2) return 2;
      return byDefault;
    }
    const std::u16string answer = Decode(*line);
    if (answer.empty()) return byDefault;
    for (const Button& b : set) {
      const std::u16string label(b.label);
      if (NameEquals(answer, label) || (answer.size() == 1 && NameEquals(answer, label.substr(0, 1))))
        return b.value;
    }
  }
}

// The prompt goes to standard output as MsgBox's does; the answer is one
// line of input, and an empty line takes the default text, as Enter in the
// box would. At the end of input from a file the answer is the default
// text; the end of input on a terminal (Ctrl+D) cancels.
std::optional<std::u16string> ConsoleUi::InputBox(std::u16string_view prompt, std::u16string_view,
                                                  std::u16string_view defaultText) {
  WriteOut(prompt);
  WriteOut(u"\n");
  const bool terminal = AskOnTerminal();
  if (terminal) {
    PromptForQuestion(prompt);
    ToStderr(defaultText.empty() ? u"> " : u"[" + std::u16string(defaultText) + u"] > ");
  } else {
    std::fflush(stdout);
  }
  const auto line = ReadInputLine();
  if (!line && terminal) {
    ToStderr(u"\n");
    return std::nullopt;
  }
  if (!line || line->empty()) return std::u16string(defaultText);
  return Decode(*line);
}

}  // namespace vbsrun
