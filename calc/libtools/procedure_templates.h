#pragma once
// Call templates for the library browser: a procedure's name followed by
// the parameter list written in its own header line, for the user to fill
// in. Qt-free.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zel {

// The lines of a file's text that declare a procedure, in file order. Each
// is cut at its first apostrophe and trimmed; a line continued with " _"
// is joined with the next one first.
std::vector<std::u16string> ScanHeaderLines(std::u16string_view text);

// The name a header line declares: "Public Function Area(w, h)" gives
// "Area". Empty when the line declares no Function or Sub (End Function,
// Exit Sub, calls and assignments among them).
std::u16string DeclaredName(std::u16string_view line);

// `name` followed by its parameter text: "()" for a procedure without
// arguments; otherwise the list of the first header that declares `name`
// (names compare without regard to case), from "(" to the parenthesis that
// closes it, blanks removed. "()" when no header has a list for it.
std::u16string CallTemplate(const std::vector<std::u16string>& headers, std::u16string_view name,
                            int numArgs);

// CallTemplate for many procedures of one file: the headers are looked up by
// name instead of searched once per procedure.
class CallTemplates {
 public:
  explicit CallTemplates(const std::vector<std::u16string>& headers);
  std::u16string For(std::u16string_view name, int numArgs) const;

 private:
  const std::vector<std::u16string>& headers_;
  std::unordered_map<std::u16string, size_t> first_;  // folded name -> header
};

}  // namespace zel
