#include "wscript.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "vbs/textcodec.h"
#include "vbs/value_conv.h"

namespace vbsrun {
using namespace vbs;

void WriteOut(std::u16string_view text) {
  std::string s = Utf16ToUtf8(text);
  std::fwrite(s.data(), 1, s.size(), stdout);
}

namespace {

std::u16string Joined(Args& args) {
  std::u16string line;
  for (int i = 0; i < args.size(); ++i) {
    if (i) line += u' ';
    if (!args.Missing(i)) line += ToText(args[i]);
  }
  return line;
}

class StdOutObject : public HostObject {
 public:
  std::u16string TypeName() const override { return u"TextStream"; }
  int FindMember(std::u16string_view n) const override {
    if (NameEquals(n, "write")) return 1;
    if (NameEquals(n, "writeline")) return 2;
    if (NameEquals(n, "writeblanklines")) return 3;
    if (NameEquals(n, "close")) return 4;
    return -1;
  }
  void Invoke(int member, InvokeKind, Args& args, Variant&) override {
    switch (member) {
      case 1:
        if (args.size() != 1) Throw(450);
        WriteOut(ToText(args[0]));
        return;
      case 2:
        if (args.size() > 1) Throw(450);
        if (args.size() == 1) WriteOut(ToText(args[0]));
        WriteOut(u"\n");
        return;
      case 3: {
        if (args.size() != 1) Throw(450);
        int n = ToLong(args[0]);
        for (int i = 0; i < n; ++i) WriteOut(u"\n");
        return;
      }
      case 4:
        return;
      default:
        Throw(438);
    }
  }
};

class ArgumentsObject : public HostObject {
 public:
  explicit ArgumentsObject(std::vector<std::u16string> a) : args_(std::move(a)) {}
  std::u16string TypeName() const override { return u"Object"; }
  int FindMember(std::u16string_view n) const override {
    if (NameEquals(n, "item")) return 0;
    if (NameEquals(n, "count")) return 1;
    if (NameEquals(n, "length")) return 2;
    return -1;
  }
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override {
    if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) Throw(438);
    switch (member) {
      case 0: {
        if (args.size() != 1) Throw(450);
        int i = ToLong(args[0]);
        if (i < 0 || size_t(i) >= args_.size()) Throw(9);
        result = Variant::FromString(args_[size_t(i)]);
        return;
      }
      case 1:
      case 2:
        if (args.size() != 0) Throw(450);
        result = Variant::FromLong(int32_t(args_.size()));
        return;
      default:
        Throw(438);
    }
  }
  bool Enumerate(std::vector<Variant>& items) override {
    for (auto& a : args_) items.push_back(Variant::FromString(a));
    return true;
  }

 private:
  std::vector<std::u16string> args_;
};

class WScriptObject : public HostObject {
 public:
  WScriptObject(std::u16string name, std::u16string full, std::vector<std::u16string> args)
      : name_(std::move(name)), full_(std::move(full)) {
    args_ = Ref<HostObject>(new ArgumentsObject(std::move(args)));
    out_ = Ref<HostObject>(new StdOutObject());
  }
  std::u16string TypeName() const override { return u"Object"; }
  int FindMember(std::u16string_view n) const override {
    static const char* const names[] = {"echo", "quit", "arguments", "stdout", "stderr",
                                        "scriptname", "scriptfullname", "sleep", "name",
                                        "version"};
    for (int i = 0; i < 10; ++i)
      if (NameEquals(n, names[i])) return i + 1;
    return -1;
  }
  void Invoke(int member, InvokeKind kind, Args& args, Variant& result) override {
    if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) Throw(438);
    switch (member) {
      case 1:
        WriteOut(Joined(args));
        WriteOut(u"\n");
        return;
      case 2: {
        int code = args.size() > 0 && !args.Missing(0) ? ToLong(args[0]) : 0;
        std::fflush(stdout);
        throw QuitRequest{code};
      }
      case 3:
        result = Variant::FromObject(args_.get());
        return;
      case 4:
      case 5:
        result = Variant::FromObject(out_.get());
        return;
      case 6:
        result = Variant::FromString(name_);
        return;
      case 7:
        result = Variant::FromString(full_);
        return;
      case 8:
        return;
      case 9:
        result = Variant::FromString(u"Windows Script Host");
        return;
      case 10:
        result = Variant::FromString(u"5.8");
        return;
      default:
        Throw(438);
    }
  }

 private:
  std::u16string name_, full_;
  Ref<HostObject> args_, out_;
};

}  // namespace

Ref<HostObject> MakeWScript(std::u16string scriptName, std::u16string fullName,
                            std::vector<std::u16string> args) {
  return Ref<HostObject>(new WScriptObject(std::move(scriptName), std::move(fullName), std::move(args)));
}

int ConsoleUi::MsgBox(std::u16string_view prompt, int, std::u16string_view) {
  WriteOut(prompt);
  WriteOut(u"\n");
  return 1;  // vbOK
}

std::optional<std::u16string> ConsoleUi::InputBox(std::u16string_view prompt, std::u16string_view,
                                                  std::u16string_view) {
  (void)prompt;
  std::fflush(stdout);
  std::string line;
  // At the end of the input the console answers with an empty line, as a
  // user pressing Enter would.
  if (!std::getline(std::cin, line)) return std::u16string();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  auto text = DecodeScriptText(line);
  return text ? *text : Utf8ToUtf16(line);
}

}  // namespace vbsrun
