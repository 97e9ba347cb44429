#pragma once
// The generated pages of the manuals: lists that come from the engine's and
// the unit catalogue's own tables, so that the manuals cannot drift from
// what the program does.
#include <map>
#include <string>
#include <vector>

namespace zel {

// One built-in function as the language reference describes it. The text
// file holds one block per function:
//   == Name | Category
//   Name(argument, [optional])
//   Prose lines; an empty line starts a new paragraph.
//   > example line (shown as code)
struct FunctionDescription {
  std::string name;
  std::string category;
  std::string syntax;
  std::vector<std::string> paragraphs;
  std::vector<std::string> example;
};
// Keyed by the name folded to lower case.
using FunctionDescriptions = std::map<std::string, FunctionDescription>;

FunctionDescriptions ParseFunctionDescriptions(const std::string& text);

// Disagreements between the descriptions and the engine's function table:
// a function without a description, a description of no function, a
// description without syntax or prose. Empty when they agree.
std::vector<std::string> CheckFunctionDescriptions(const FunctionDescriptions& descriptions);

// Whole HTML pages. Each appends its index entries (<keyword .../> lines of
// a help project) to `keywords`.
std::string FunctionsPage(const FunctionDescriptions& descriptions, std::string& keywords);
std::string ConstantsPage(std::string& keywords);
std::string ErrorsPage(std::string& keywords);
std::string UnitsPage(std::string& keywords);

// "1", "1 or 2", "2 to 4", "any number": what the table allows.
std::string ArgumentCountText(int minArgs, int maxArgs);

// HTML text escaping (&, <, >, ").
std::string HtmlEscape(const std::string& text);

}  // namespace zel
