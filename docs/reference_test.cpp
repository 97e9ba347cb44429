// The manuals' generated lists against the engine and the unit catalogue.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>

#include "catalogue.h"
#include "reference.h"
#include "vbs/builtin.h"
#include "vbs/engine.h"
#include "vbs/textcodec.h"
#include "vbs/value_conv.h"
#include "vbs/variant.h"

namespace zel {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

[[maybe_unused]] std::string Lower(std::string s) {  // only with the manuals staged
  for (auto& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
  return s;
}

TEST(ManualReference, EveryEngineFunctionIsDescribedAndNothingElse) {
  const auto descriptions =
      ParseFunctionDescriptions(ReadFile(ZEL_DOCS_DIR "/vbs/functions.txt"));
  ASSERT_FALSE(descriptions.empty());
  std::string all;
  for (const auto& p : CheckFunctionDescriptions(descriptions)) all += p + "\n";
  EXPECT_EQ(all, "");
}

// Where the comment starts: the first apostrophe outside a string literal.
size_t CommentStart(const std::string& line) {
  bool inString = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') inString = !inString;
    else if (line[i] == '\'' && !inString) return i;
  }
  return std::string::npos;
}

// Statements of a line, split at colons outside string literals.
std::vector<std::string> Statements(const std::string& code) {
  std::vector<std::string> parts(1);
  bool inString = false;
  for (char c : code) {
    if (c == '"') inString = !inString;
    if (c == ':' && !inString) parts.emplace_back();
    else parts.back().push_back(c);
  }
  return parts;
}

// Every example line of the function reference that states its value, as
// in  Left("Pressure", 3) ' "Pre", gives that value in the engine.
TEST(ManualReference, ExamplesGiveTheValuesTheManualStates) {
  const auto descriptions =
      ParseFunctionDescriptions(ReadFile(ZEL_DOCS_DIR "/vbs/functions.txt"));
  vbs::Engine engine;
  int checked = 0;
  for (const auto& [key, d] : descriptions) {
    for (const std::string& line : d.example) {
      if (line.find("...") != std::string::npos) continue;
      const size_t at = CommentStart(line);
      const std::string code = line.substr(0, at);
      if (at == std::string::npos) {
        // Examples that define something later ones use.
        if (code.rfind("ExecuteGlobal ", 0) == 0) {
          ASSERT_TRUE(engine.ExecuteStatement(vbs::Utf8ToUtf16(code))) << line;
        }
        continue;
      }
      std::string expected = line.substr(at + 1);
      expected = expected.substr(expected.find_first_not_of(' '));
      if (const auto note = expected.find(" ("); note != std::string::npos) expected.resize(note);
      bool quoted = expected.size() >= 2 && expected.front() == '"' && expected.back() == '"';
      if (quoted) {
        expected = expected.substr(1, expected.size() - 2);
      } else if (expected.find_first_of("abcdefghijklmnopqrstuvwxyz") != std::string::npos &&
                 expected != "True" && expected != "False" && expected != "Null") {
        continue;  // prose, not a value
      }
      auto statements = Statements(code);
      const std::string last = statements.back();
      statements.pop_back();
      for (const auto& s : statements)
        ASSERT_TRUE(engine.ExecuteStatement(vbs::Utf8ToUtf16(s))) << line;
      vbs::Variant value;
      ASSERT_TRUE(engine.Eval(vbs::Utf8ToUtf16(last), value)) << line;
      EXPECT_EQ(vbs::Utf16ToUtf8(vbs::ToText(value)), expected) << d.name << ": " << line;
      ++checked;
    }
  }
  EXPECT_GT(checked, 90);
}

std::string Unescape(std::string s) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
  for (const auto& [from, to] : entities)
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + 1))
      s.replace(at, std::strlen(from), to);
  return s;
}

// The operator page's Expression / Result tables (precedence and the
// logical operators) say what the engine gives.
TEST(ManualReference, OperatorExamplesGiveTheValuesTheManualStates) {
  const std::string page = ReadFile(ZEL_DOCS_DIR "/vbs/operators.html");
  const std::regex row(R"(<tr><td><code>([^<]*)</code></td><td>([^<]*)</td></tr>)");
  vbs::Engine engine;
  std::vector<std::string> checked;
  for (auto it = std::sregex_iterator(page.begin(), page.end(), row); it != std::sregex_iterator();
       ++it) {
    const std::string expression = Unescape((*it)[1]);
    const std::string expected = Unescape((*it)[2]);
    vbs::Variant value;
    ASSERT_TRUE(engine.Eval(vbs::Utf8ToUtf16(expression), value)) << expression;
    EXPECT_EQ(vbs::Utf16ToUtf8(vbs::ToText(value)), expected) << expression;
    checked.push_back(expression);
  }
  // Negation before the power is the rule people get wrong.
  for (const char* must : {"-2^2", "-(2^2)", "2^3^2", "1 + 2 & 3", "Not 1 = 2"})
    EXPECT_NE(std::find(checked.begin(), checked.end(), must), checked.end()) << must;
  EXPECT_GE(checked.size(), 15u);
}

TEST(ManualReference, CheckReportsMissingAndUnknownFunctions) {
  auto descriptions = ParseFunctionDescriptions(
      "== Abs | Math\nAbs(number)\nThe absolute value.\n> Abs(-2)\n"
      "== NoSuchFunction | Math\nNoSuchFunction()\nNothing.\n");
  const auto problems = CheckFunctionDescriptions(descriptions);
  auto has = [&](const std::string& part) {
    for (const auto& p : problems)
      if (p.find(part) != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(has("Len has no description"));
  EXPECT_TRUE(has("NoSuchFunction, which the engine does not have"));
  EXPECT_FALSE(has("Abs"));
  EXPECT_EQ(descriptions["abs"].example.size(), 1u);
}

// The pages the build generated hold every function (with the argument
// count the engine checks), constant and error the engine has.
TEST(ManualReference, GeneratedVbsPagesCoverTheEngine) {
#ifndef ZEL_HELP_STAGE_DIR
  GTEST_SKIP() << "the manuals are built with the program only";
#else
  const std::string functions = ReadFile(ZEL_HELP_STAGE_DIR "/vbs/functions.html");
  const std::string constants = ReadFile(ZEL_HELP_STAGE_DIR "/vbs/constants.html");
  const std::string errors = ReadFile(ZEL_HELP_STAGE_DIR "/vbs/errors.html");
  const std::string qhp = ReadFile(ZEL_HELP_STAGE_DIR "/vbs/vbs.qhp");
  ASSERT_FALSE(functions.empty()) << "the manual's pages were not generated";
  vbs::RegisterStandardLibrary();
  ASSERT_GT(vbs::BuiltinCount(), 80);
  for (int i = 0; i < vbs::BuiltinCount(); ++i) {
    const auto& def = vbs::BuiltinAt(i);
    const std::string anchor = "fn-" + Lower(def.name);
    const auto at = functions.find("id=\"" + anchor + "\"");
    ASSERT_NE(at, std::string::npos) << def.name;
    const auto sig = functions.find("arguments: " + ArgumentCountText(def.minArgs, def.maxArgs), at);
    EXPECT_LT(sig, functions.find("<h3", at + 1)) << def.name;
    EXPECT_NE(qhp.find("ref=\"functions.html#" + anchor + "\""), std::string::npos) << def.name;
  }
  const auto consts = vbs::RegisteredConstants();
  ASSERT_GT(consts.size(), 60u);
  for (const auto& [name, value] : consts) {
    (void)value;
    EXPECT_NE(constants.find("<code>" + name + "</code>"), std::string::npos) << name;
  }
  for (const auto& e : vbs::StandardErrors()) {
    const std::string row = "<tr id=\"e-" + std::to_string(e.number) + "\"><td>" +
                            std::to_string(e.number) + "</td><td>" + HtmlEscape(e.text) + "</td>";
    EXPECT_NE(errors.find(row), std::string::npos) << e.number;
  }
#endif
}

TEST(ManualReference, ConstantValuesAreShownAsTheEngineHoldsThem) {
  std::string keywords;
  const std::string page = ConstantsPage(keywords);
  EXPECT_NE(page.find("<code>vbCrLf</code></td><td>Chr(13) &amp; Chr(10)</td><td>String"),
            std::string::npos);
  EXPECT_NE(page.find("<code>vbObjectError</code></td><td>-2147221504</td><td>Long"),
            std::string::npos);
  EXPECT_NE(page.find("<code>vbArray</code></td><td>8192</td><td>Integer"), std::string::npos);
}

TEST(ManualReference, GeneratedUnitTableHoldsEveryQuantityAndUnit) {
#ifndef ZEL_HELP_STAGE_DIR
  GTEST_SKIP() << "the manuals are built with the program only";
#else
  const std::string units = ReadFile(ZEL_HELP_STAGE_DIR "/zelcalc/units.html");
  ASSERT_FALSE(units.empty()) << "the unit table was not generated";
  const auto& cat = Catalogue();
  ASSERT_EQ(cat.size(), size_t(kQuantityCount));
  for (size_t id = 0; id < cat.size(); ++id) {
    const auto at = units.find("<h2 id=\"q-" + std::to_string(id) + "\">" + std::to_string(id) +
                               " " + HtmlEscape(cat[id].name) + "</h2>");
    ASSERT_NE(at, std::string::npos) << cat[id].name;
    const auto end = units.find("</table>", at);
    for (size_t u = 0; u < cat[id].units.size(); ++u) {
      const std::string row = "<tr><td><code>" + HtmlEscape(cat[id].units[u].label) +
                              "</code></td><td>" + std::to_string(u) + "</td>";
      const auto r = units.find(row, at);
      EXPECT_LT(r, end) << cat[id].name << " / " << cat[id].units[u].label;
    }
  }
#endif
}

}  // namespace
}  // namespace zel
