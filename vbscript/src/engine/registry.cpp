// Process-wide tables of built-in functions and constants. Filled once by
// RegisterStandardLibrary(); read by the compiler when it resolves names.
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "vbs/builtin.h"

namespace vbs {
namespace {

std::u16string FoldAscii(const char* s) {
  std::u16string r;
  for (; *s; ++s) {
    char c = *s;
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
    r.push_back(char16_t(static_cast<unsigned char>(c)));
  }
  return r;
}

struct Tables {
  std::vector<BuiltinDef> builtins;
  std::unordered_map<std::u16string, int> builtinIndex;
  std::unordered_map<std::u16string, Variant> constants;
  // Registration order with the registered spelling, for the reference.
  std::vector<const char*> constantNames;
};
Tables& T() {
  static Tables t;
  return t;
}

}  // namespace

void RegisterBuiltins(const BuiltinDef* defs, std::size_t count) {
  auto& t = T();
  for (std::size_t i = 0; i < count; ++i) {
    auto key = FoldAscii(defs[i].name);
    auto it = t.builtinIndex.find(key);
    if (it != t.builtinIndex.end()) {
      t.builtins[size_t(it->second)] = defs[i];
    } else {
      t.builtinIndex.emplace(std::move(key), int(t.builtins.size()));
      t.builtins.push_back(defs[i]);
    }
  }
}

void RegisterConstants(const ConstDef* defs, std::size_t count) {
  auto& t = T();
  for (std::size_t i = 0; i < count; ++i) {
    auto [it, added] = t.constants.insert_or_assign(FoldAscii(defs[i].name), defs[i].value);
    (void)it;
    if (added) t.constantNames.push_back(defs[i].name);
  }
}

int FindBuiltinFolded(const std::u16string& folded) {
  auto& t = T();
  auto it = t.builtinIndex.find(folded);
  return it == t.builtinIndex.end() ? -1 : it->second;
}

const Variant* FindConstantFolded(const std::u16string& folded) {
  auto& t = T();
  auto it = t.constants.find(folded);
  return it == t.constants.end() ? nullptr : &it->second;
}

const BuiltinDef& BuiltinAt(int index) { return T().builtins[size_t(index)]; }

int BuiltinCount() { return int(T().builtins.size()); }

std::vector<std::pair<std::string, Variant>> RegisteredConstants() {
  auto& t = T();
  std::vector<std::pair<std::string, Variant>> r;
  r.reserve(t.constantNames.size());
  for (const char* name : t.constantNames) r.emplace_back(name, t.constants[FoldAscii(name)]);
  return r;
}

void RegisterEngineBuiltins();  // defined with the interpreter

void RegisterStandardLibrary() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterValueBuiltins();
    RegisterLibraryBuiltins();
    // Last, so that the engine's own functions (Eval, Execute, GetRef...)
    // win over any placeholder of the same name.
    RegisterEngineBuiltins();
  });
}

}  // namespace vbs
