#include "reference.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>

#include "catalogue.h"
#include "vbs/builtin.h"
#include "vbs/textcodec.h"
#include "vbs/value_conv.h"
#include "vbs/variant.h"

namespace zel {
namespace {

std::string Lower(std::string s) {
  for (auto& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
  return s;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

std::string Page(const std::string& title, const std::string& body) {
  return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + HtmlEscape(title) +
         "</title><link rel=\"stylesheet\" href=\"style.css\"></head>\n<body>\n<h1>" +
         HtmlEscape(title) + "</h1>\n" + body + "</body></html>\n";
}

void AddKeyword(std::string& keywords, const std::string& name, const std::string& ref) {
  keywords += "      <keyword name=\"" + HtmlEscape(name) + "\" ref=\"" + ref + "\"/>\n";
}

const char* SubtypeName(const vbs::Variant& v) {
  switch (v.type()) {
    case vbs::vbInteger: return "Integer";
    case vbs::vbLong: return "Long";
    case vbs::vbDouble: return "Double";
    case vbs::vbString: return "String";
    case vbs::vbBoolean: return "Boolean";
    default: return "Variant";
  }
}

// A string constant as the expression that builds it.
std::string StringValueText(const std::u16string& s) {
  if (s.empty()) return "\"\" (zero-length)";
  std::string r;
  for (char16_t c : s) {
    if (!r.empty()) r += " &amp; ";
    r += "Chr(" + std::to_string(int(c)) + ")";
  }
  return r;
}

std::string NumberText(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

}  // namespace

std::string HtmlEscape(const std::string& text) {
  std::string r;
  r.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': r += "&amp;"; break;
      case '<': r += "&lt;"; break;
      case '>': r += "&gt;"; break;
      case '"': r += "&quot;"; break;
      default: r.push_back(c);
    }
  }
  return r;
}

std::string ArgumentCountText(int minArgs, int maxArgs) {
  if (maxArgs < 0) return minArgs == 0 ? "any number" : std::to_string(minArgs) + " or more";
  if (minArgs == maxArgs) return minArgs == 0 ? "none" : std::to_string(minArgs);
  if (maxArgs == minArgs + 1) return std::to_string(minArgs) + " or " + std::to_string(maxArgs);
  return std::to_string(minArgs) + " to " + std::to_string(maxArgs);
}

FunctionDescriptions ParseFunctionDescriptions(const std::string& text) {
  FunctionDescriptions r;
  FunctionDescription* cur = nullptr;
  bool newParagraph = true;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("==", 0) == 0) {
      const std::string head = line.substr(2);
      const auto bar = head.find('|');
      FunctionDescription d;
      d.name = Trim(head.substr(0, bar));
      d.category = bar == std::string::npos ? "Other" : Trim(head.substr(bar + 1));
      cur = &(r[Lower(d.name)] = d);
      newParagraph = true;
      continue;
    }
    if (!cur || line.rfind("#", 0) == 0) continue;
    if (line.rfind("> ", 0) == 0 || line == ">") {
      cur->example.push_back(line.size() > 2 ? line.substr(2) : std::string());
    } else if (Trim(line).empty()) {
      newParagraph = true;
    } else if (cur->syntax.empty()) {
      cur->syntax = Trim(line);
    } else if (newParagraph || cur->paragraphs.empty()) {
      cur->paragraphs.push_back(Trim(line));
      newParagraph = false;
    } else {
      cur->paragraphs.back() += " " + Trim(line);
    }
  }
  return r;
}

std::vector<std::string> CheckFunctionDescriptions(const FunctionDescriptions& descriptions) {
  vbs::RegisterStandardLibrary();
  std::vector<std::string> problems;
  std::set<std::string> engineNames;
  for (int i = 0; i < vbs::BuiltinCount(); ++i) {
    const std::string name = vbs::BuiltinAt(i).name;
    engineNames.insert(Lower(name));
    const auto it = descriptions.find(Lower(name));
    if (it == descriptions.end()) {
      problems.push_back("function " + name + " has no description");
    } else if (it->second.syntax.empty() || it->second.paragraphs.empty()) {
      problems.push_back("function " + name + " lacks its syntax line or its prose");
    }
  }
  for (const auto& [key, d] : descriptions)
    if (!engineNames.count(key)) problems.push_back("description of " + d.name + ", which the engine does not have");
  return problems;
}

std::string FunctionsPage(const FunctionDescriptions& descriptions, std::string& keywords) {
  vbs::RegisterStandardLibrary();
  struct Entry {
    std::string name;
    const vbs::BuiltinDef* def;
    const FunctionDescription* desc;
  };
  std::map<std::string, std::vector<Entry>> byCategory;
  for (int i = 0; i < vbs::BuiltinCount(); ++i) {
    const auto& def = vbs::BuiltinAt(i);
    const auto it = descriptions.find(Lower(def.name));
    const FunctionDescription* d = it == descriptions.end() ? nullptr : &it->second;
    byCategory[d ? d->category : "Not yet described"].push_back({def.name, &def, d});
  }
  std::string body =
      "<p>Every function the engine has built in, grouped by what it works on. "
      "The argument counts come from the engine itself: a call with fewer or more "
      "arguments fails with error 450. Arguments in square brackets may be left out.</p>\n";
  body += "<p class=\"toc\">";
  for (const auto& [category, list] : byCategory) {
    (void)list;
    body += "<a href=\"#cat-" + Lower(category) + "\">" + HtmlEscape(category) + "</a> ";
  }
  body += "</p>\n";
  for (auto& [category, list] : byCategory) {
    std::sort(list.begin(), list.end(),
              [](const Entry& a, const Entry& b) { return Lower(a.name) < Lower(b.name); });
    body += "<h2 id=\"cat-" + Lower(category) + "\">" + HtmlEscape(category) + "</h2>\n";
    for (const auto& e : list) {
      const std::string anchor = "fn-" + Lower(e.name);
      body += "<h3 id=\"" + anchor + "\">" + HtmlEscape(e.name) + "</h3>\n";
      body += "<p class=\"sig\"><code>" + HtmlEscape(e.desc ? e.desc->syntax : e.name) +
              "</code> &mdash; arguments: " + ArgumentCountText(e.def->minArgs, e.def->maxArgs) +
              "</p>\n";
      if (e.desc) {
        for (const auto& p : e.desc->paragraphs) body += "<p>" + HtmlEscape(p) + "</p>\n";
        if (!e.desc->example.empty()) {
          body += "<pre>";
          for (const auto& l : e.desc->example) body += HtmlEscape(l) + "\n";
          body += "</pre>\n";
        }
      }
      AddKeyword(keywords, e.name, "functions.html#" + anchor);
    }
  }
  return Page("Built-in functions", body);
}

std::string ConstantsPage(std::string& keywords) {
  vbs::RegisterStandardLibrary();
  std::string body =
      "<p>The named constants the engine knows. They can be used anywhere a "
      "literal can, and cannot be assigned to. Letter case does not matter.</p>\n"
      "<table>\n<tr><th>Name</th><th>Value</th><th>Subtype</th></tr>\n";
  for (const auto& [name, value] : vbs::RegisteredConstants()) {
    const std::string anchor = "c-" + Lower(name);
    const std::string shown = value.IsString() ? StringValueText(vbs::ToText(value))
                                               : HtmlEscape(vbs::Utf16ToUtf8(vbs::ToText(value)));
    body += "<tr id=\"" + anchor + "\"><td><code>" + HtmlEscape(name) + "</code></td><td>" +
            shown + "</td><td>" + SubtypeName(value) + "</td></tr>\n";
    AddKeyword(keywords, name, "constants.html#" + anchor);
  }
  body += "</table>\n";
  return Page("Constants", body);
}

std::string ErrorsPage(std::string& keywords) {
  std::string run, compile;
  for (const auto& e : vbs::StandardErrors()) {
    const std::string n = std::to_string(e.number);
    std::string& to = e.number >= 1000 && e.number < 2000 ? compile : run;
    to += "<tr id=\"e-" + n + "\"><td>" + n + "</td><td>" + HtmlEscape(e.text) + "</td></tr>\n";
    AddKeyword(keywords, "Error " + n, "errors.html#e-" + n);
    AddKeyword(keywords, e.text, "errors.html#e-" + n);
  }
  std::string body =
      "<p>The number of an error is what <code>Err.Number</code> holds and what the "
      "calculator's error box quotes; the text is the description the engine gives when "
      "nothing more specific is known. A script can raise any of them with "
      "<code>Err.Raise</code>. Numbers the engine does not know are described as "
      "&quot;Unknown runtime error&quot;.</p>\n"
      "<h2 id=\"compile\">Compile errors</h2>\n"
      "<p>Found when a text is added or a statement is parsed; nothing of the text runs.</p>\n"
      "<table>\n<tr><th>Number</th><th>Text</th></tr>\n" +
      compile +
      "</table>\n<h2 id=\"runtime\">Run-time errors</h2>\n"
      "<p>Raised while a statement runs. <code>On Error Resume Next</code> lets a script "
      "carry on and look at <code>Err</code> itself.</p>\n"
      "<table>\n<tr><th>Number</th><th>Text</th></tr>\n" +
      run + "</table>\n";
  return Page("Error numbers", body);
}

std::string UnitsPage(std::string& keywords) {
  std::string body =
      "<p>The 23 quantities of the unit conversion window and of the input dialog, "
      "in their id order (the id is what <code>zelIO.SetUnitId</code> takes). For each "
      "unit, the factor says how much of the quantity's first unit one of it is. "
      "Temperature converts with offsets (C, K, F, R), and the API gravity scale of density "
      "by its own formula (141.5 / specific gravity - 131.5), so no factor is shown for "
      "them.</p>\n"
      "<p class=\"toc\">";
  const auto& cat = Catalogue();
  for (size_t id = 0; id < cat.size(); ++id)
    body += "<a href=\"#q-" + std::to_string(id) + "\">" + HtmlEscape(cat[id].name) + "</a> ";
  body += "</p>\n";
  for (size_t id = 0; id < cat.size(); ++id) {
    const auto& q = cat[id];
    const std::string anchor = "q-" + std::to_string(id);
    body += "<h2 id=\"" + anchor + "\">" + std::to_string(id) + " " + HtmlEscape(q.name) +
            "</h2>\n<table>\n<tr><th>Unit</th><th>Index</th><th>One unit is</th></tr>\n";
    for (size_t u = 0; u < q.units.size(); ++u) {
      const bool offsetRule = q.name == "Temperature" || q.units[u].label == "API";
      body += "<tr><td><code>" + HtmlEscape(q.units[u].label) + "</code></td><td>" +
              std::to_string(u) + "</td><td>" +
              (offsetRule ? std::string("(own formula)")
                          : NumberText(q.units[u].factor) + " " + HtmlEscape(q.units[0].label)) +
              "</td></tr>\n";
    }
    body += "</table>\n";
    AddKeyword(keywords, q.name + " (unit table)", "units.html#" + anchor);
  }
  return Page("Quantities and units", body);
}

}  // namespace zel
