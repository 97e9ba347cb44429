#pragma once
// How built-in functions and constants reach the language. Registration is
// process-wide and done once, before the first Engine runs anything:
// RegisterStandardLibrary() calls one hook per area, and every area keeps its
// own registration function beside its code:
//   RegisterValueBuiltins()   - conversions and type functions (src/value/)
//   RegisterLibraryBuiltins() - string, math, date, format functions,
//                               constants and objects (src/lib/)
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vbs/libobjects.h"
#include "vbs/object.h"
#include "vbs/variant.h"

namespace vbs {

class Interp;
struct UiHost;

// The Err object's state, shared by the script and natives.
struct ErrState {
  int number = 0;
  std::u16string description;
  std::u16string source;
  std::u16string helpFile;
  int helpContext = 0;
  void Clear() { *this = ErrState(); }
};

// Services of the running engine that natives may use.
class Context {
 public:
  explicit Context(Interp& in) : interp_(in) {}
  UiHost* ui() const;
  FileAccess fileAccess() const;
  // Ends the running script with error 18 when the host has asked it to
  // stop (for example while a box of the script was up).
  void CheckInterrupt();
  ErrState& err();
  // Rnd's generator state (24-bit linear congruential, VBScript's seed).
  uint32_t& rndSeed();
  float& lastRnd();
  // Calls an object's default member (method or property get) with no
  // arguments: how an object turns into a plain value.
  Variant DefaultValue(const Variant& v);
  Interp& interp() { return interp_; }

 private:
  Interp& interp_;
};

using BuiltinFn = Variant (*)(Context& ctx, Args& args);

struct BuiltinDef {
  const char* name;   // ASCII, matched case-insensitively
  int minArgs;
  int maxArgs;        // -1 = any number
  BuiltinFn fn;
};

// Process-wide; a later registration of the same name replaces the earlier.
void RegisterBuiltins(const BuiltinDef* defs, std::size_t count);

struct ConstDef {
  const char* name;
  Variant value;
};
void RegisterConstants(const ConstDef* defs, std::size_t count);

// Calls every area's registration hook exactly once per process.
void RegisterStandardLibrary();

// Area hooks (see the comment at the top).
void RegisterValueBuiltins();
void RegisterLibraryBuiltins();

// Lookups used by the compiler, by a name already in lower case (no
// conversion, no copy). -1 / nullptr when unknown.
int FindBuiltinFolded(const std::u16string& folded);
const BuiltinDef& BuiltinAt(int index);
const Variant* FindConstantFolded(const std::u16string& folded);

// What is registered, for the generated language reference and its checks:
// BuiltinAt(0 .. BuiltinCount()-1), and the constants in registration order
// with their registered spelling and value.
int BuiltinCount();
std::vector<std::pair<std::string, Variant>> RegisteredConstants();

}  // namespace vbs
