#include "procedure_templates.h"

#include "keypad.h"

namespace zel {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; }

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char16_t Upper(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

bool IsNameChar(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
         c == u'_' || c > 0x7F;
}

// The next word of `s` from `pos` (blanks before it skipped); pos moves past it.
std::u16string_view NextWord(std::u16string_view s, size_t& pos) {
  while (pos < s.size() && IsBlank(s[pos])) ++pos;
  if (pos < s.size() && s[pos] == u'[') {
    // [name with blanks]: the brackets are not part of the name.
    const size_t close = s.find(u']', pos);
    if (close == std::u16string_view::npos) return {};
    std::u16string_view w = s.substr(pos + 1, close - pos - 1);
    pos = close + 1;
    return w;
  }
  const size_t start = pos;
  while (pos < s.size() && IsNameChar(s[pos])) ++pos;
  return s.substr(start, pos - start);
}

// Where the parameter list of the header starts: its "(" after the name.
size_t ListStart(std::u16string_view line) {
  size_t pos = 0;
  for (;;) {
    std::u16string_view w = NextWord(line, pos);
    if (w.empty()) return std::u16string_view::npos;
    if (SameName(w, u"Function") || SameName(w, u"Sub")) break;
  }
  NextWord(line, pos);
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  return pos < line.size() && line[pos] == u'(' ? pos : std::u16string_view::npos;
}

}  // namespace

std::u16string DeclaredName(std::u16string_view line) {
  size_t pos = 0;
  std::u16string_view w = NextWord(line, pos);
  // Public, Private and Public Default may come before the keyword.
  if (SameName(w, u"Public") || SameName(w, u"Private")) {
    w = NextWord(line, pos);
    if (SameName(w, u"Default")) w = NextWord(line, pos);
  }
  if (!SameName(w, u"Function") && !SameName(w, u"Sub")) return {};
  const size_t afterKeyword = pos;
  std::u16string_view name = NextWord(line, pos);
  // "Function" alone, or a keyword glued to other text, declares nothing.
  if (name.empty() || (afterKeyword < line.size() && !IsBlank(line[afterKeyword]))) return {};
  return std::u16string(name);
}

std::vector<std::u16string> ScanHeaderLines(std::u16string_view text) {
  std::vector<std::u16string> headers;
  std::u16string logical;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = pos;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
    std::u16string_view line = text.substr(pos, end - pos);
    const size_t quote = line.find(u'\'');
    if (quote != std::u16string_view::npos) line = line.substr(0, quote);
    line = Trim(line);
    if (end < text.size()) {
      if (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ++end;
      ++end;
    }
    pos = end;
    // A trailing " _" continues the statement on the next line.
    if (line.size() >= 2 && line.back() == u'_' && IsBlank(line[line.size() - 2])) {
      logical.append(line.substr(0, line.size() - 1));
      continue;
    }
    logical.append(line);
    if (!DeclaredName(logical).empty()) headers.push_back(std::u16string(Trim(logical)));
    logical.clear();
  }
  if (!logical.empty() && !DeclaredName(logical).empty())
    headers.push_back(std::u16string(Trim(logical)));
  return headers;
}

namespace {

std::u16string Folded(std::u16string_view s) {
  std::u16string r(s);
  for (char16_t& c : r)
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
  return r;
}

// `name` followed by the parameter list of header `h` ("()" without one).
std::u16string TemplateOf(const std::u16string* h, std::u16string_view name) {
  std::u16string out(name);
  if (h) {
    const size_t open = ListStart(*h);
    if (open == std::u16string_view::npos) return out + u"()";
    // The list ends at its own closing parenthesis: array parameters such
    // as a() nest inside it, and statements after it are not part of it.
    size_t end = open;
    int depth = 0;
    for (; end < h->size(); ++end) {
      if ((*h)[end] == u'(') ++depth;
      if ((*h)[end] == u')' && --depth == 0) break;
    }
    const size_t len = end < h->size() ? end - open + 1 : std::u16string::npos;
    return out + StripSpaces(std::u16string_view(*h).substr(open, len));
  }
  return out + u"()";
}

}  // namespace

std::u16string CallTemplate(const std::vector<std::u16string>& headers, std::u16string_view name,
                            int numArgs) {
  if (numArgs < 1) return std::u16string(name) + u"()";
  for (const std::u16string& h : headers)
    if (SameName(DeclaredName(h), name)) return TemplateOf(&h, name);
  return TemplateOf(nullptr, name);
}

CallTemplates::CallTemplates(const std::vector<std::u16string>& headers) : headers_(headers) {
  for (size_t i = 0; i < headers.size(); ++i) first_.emplace(Folded(DeclaredName(headers[i])), i);
}

std::u16string CallTemplates::For(std::u16string_view name, int numArgs) const {
  if (numArgs < 1) return std::u16string(name) + u"()";
  const auto it = first_.find(Folded(name));
  return TemplateOf(it == first_.end() ? nullptr : &headers_[it->second], name);
}

}  // namespace zel
