// Console script host: runs one script file with a WScript object.
//   vbsrun FILE.vbs [ARGS...]
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "vbs/engine.h"
#include "vbs/textcodec.h"
#include "wscript.h"

int main(int argc, char** argv) {
  using namespace vbs;
  if (argc < 2) {
    std::fprintf(stderr, "usage: vbsrun FILE.vbs [ARGS...]\n");
    return 2;
  }
  std::string path = argv[1];
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "vbsrun: cannot open %s\n", path.c_str());
    return 2;
  }
  std::stringstream buf;
  buf << in.rdbuf();
  auto text = DecodeScriptText(buf.str());
  if (!text) {
    std::fprintf(stderr, "vbsrun: %s is neither UTF-8 nor CP932 text\n", path.c_str());
    return 2;
  }
  std::string base = path;
  if (auto slash = base.find_last_of('/'); slash != std::string::npos) base = base.substr(slash + 1);

  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) self = fs::absolute(argv[0], ec);
  vbsrun::HostInfo info;
  info.scriptName = Utf8ToUtf16(base);
  info.scriptFullName = Utf8ToUtf16(fs::absolute(path, ec).lexically_normal().string());
  info.hostFullName = Utf8ToUtf16(self.string());
  for (int i = 2; i < argc; ++i) info.args.push_back(Utf8ToUtf16(argv[i]));

  vbsrun::ConsoleUi ui;
  int rc = 0;
  {
    Engine engine;
    engine.SetUiHost(&ui);
    engine.AddObject(u"WScript", vbsrun::MakeWScript(std::move(info)));
    try {
      if (!engine.AddCode(*text)) {
        const ErrorInfo& e = engine.Error();
        std::fflush(stdout);
        std::string msg = path + "(" + std::to_string(e.Line) + ", " + std::to_string(e.Column) +
                          ") " + Utf16ToUtf8(e.Description) + " (" + std::to_string(e.Number) + ")\n";
        std::fputs(msg.c_str(), stderr);
        rc = 1;
      }
    } catch (const vbsrun::QuitRequest& q) {
      rc = q.code;
    }
  }
  // Output lost on a full disk or a closed pipe must not pass for success.
  const std::string failure = vbsrun::OutputFailure();
  if (!failure.empty()) {
    std::fprintf(stderr, "vbsrun: %s\n", failure.c_str());
    if (rc == 0) rc = 1;
  }
  return rc;
}
