// What the engine's unit tests share: the error a call raises, an
// expression's text after a script, a script's `result`, and a scratch
// folder of a test's own.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>

#include "vbs/engine.h"
#include "vbs/textcodec.h"
#include "vbs/value_conv.h"

namespace vbs::unittest {

// The run-time error number a call raises, or 0 when it returns normally.
inline int ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const ScriptError& e) {
    return e.number;
  }
  return 0;
}

// "#N" for the error of the engine's last call.
inline std::u16string ErrorMark(const Engine& e) { return u"#" + U16(std::to_string(e.Error().Number)); }

// The text of `expr` in `e`; a failed Eval is a test failure.
inline std::u16string EvalText(Engine& e, std::u16string_view expr) {
  Variant v;
  EXPECT_TRUE(e.Eval(expr, v)) << "Eval failed: " << e.Error().Number;
  return ToText(v);
}

// The text of `expr` in `e`, "#N" when it fails, "<Null>" for Null.
inline std::u16string EvalResult(Engine& e, std::u16string_view expr) {
  Variant v;
  if (!e.Eval(expr, v)) return ErrorMark(e);
  return v.IsNull() ? u"<Null>" : ToText(v);
}

// The same after `setup` ran in a fresh engine ("#N" when that fails).
inline std::u16string RunScript(std::u16string_view setup, std::u16string_view expr) {
  Engine e;
  if (!e.AddCode(setup)) return ErrorMark(e);
  return EvalResult(e, expr);
}

// Runs `code` in `e`, then gives the text of its variable `result`: "#N"
// when the code failed, "#eval" when `result` cannot be read, "<Null>".
inline std::u16string ResultOf(Engine& e, std::u16string_view code) {
  if (!e.ExecuteStatement(code)) return ErrorMark(e);
  Variant v;
  if (!e.Eval(u"result", v)) return u"#eval";
  return v.IsNull() ? u"<Null>" : ToText(v);
}
inline std::string ResultOf(Engine& e, const std::string& code) {
  return Utf16ToUtf8(ResultOf(e, std::u16string_view(Utf8ToUtf16(code))));
}

// A file's bytes ("" when it cannot be read).
inline std::string FileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A folder of the running test's own under the system's temporary folder
// (tests of one binary may run in parallel), made empty; removed when the
// object goes.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix)
      : path_(std::filesystem::temp_directory_path() /
              (prefix + "_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace vbs::unittest
