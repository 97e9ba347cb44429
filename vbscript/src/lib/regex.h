#pragma once
// The script dialect of regular expressions (ECMAScript 3 style) over
// UTF-16 text. Offsets are in UTF-16 code units.
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace vbs::lib {

struct RegexMatch {
  size_t index = 0;    // 0-based start
  size_t length = 0;
  std::u16string value;
  std::vector<std::optional<std::u16string>> groups;   // nullopt = group did not take part
};

class Regex {
 public:
  // Throws RegexError when the pattern does not compile.
  Regex(std::u16string_view pattern, bool ignoreCase, bool multiline);

  // All matches (global) or the first one.
  std::vector<RegexMatch> Find(std::u16string_view text, bool global) const;
  bool Test(std::u16string_view text) const;
  std::u16string Replace(std::u16string_view text, std::u16string_view replacement, bool global) const;

 private:
  std::wregex re_;
};

struct RegexError {};

// Expands $1..$99, $&, $`, $', $$ for one match.
std::u16string ExpandReplacement(std::u16string_view replacement, const RegexMatch& m,
                                 std::u16string_view text);

}  // namespace vbs::lib
