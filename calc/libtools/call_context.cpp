#include "call_context.h"

#include <vector>

#include "vbs_tokens.h"

namespace zel {

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// What the text before `caret` leaves open: whether the caret is in a
// string or a comment, and the parentheses not yet closed.
struct Scan {
  struct Open {
    size_t nameStart = 0;
    size_t nameLength = 0;
    bool member = false;
    int commas = 0;
  };
  bool inString = false;
  bool inComment = false;
  std::vector<Open> open;
};

Scan ScanTo(std::u16string_view s, size_t caret) {
  Scan r;
  if (caret > s.size()) caret = s.size();
  size_t i = 0;
  while (i < caret) {
    const char16_t c = s[i];
    if (c == u'"') {
      size_t j = i + 1;
      bool closed = false;
      while (j < s.size()) {
        if (s[j] == u'"') {
          if (j + 1 < s.size() && s[j + 1] == u'"') {
            j += 2;
            continue;
          }
          closed = true;
          ++j;
          break;
        }
        ++j;
      }
      // The caret sits inside when it comes before the closing quote.
      if (!closed || caret < j) {
        r.inString = true;
        return r;
      }
      i = j;
    } else if (c == u'\'' || c == u'\u2019') {
      r.inComment = true;
      return r;
    } else if (IsNameChar(c)) {
      size_t j = i;
      while (j < s.size() && IsNameChar(s[j])) ++j;
      if (j - i == 3 && !IsDigit(c)) {
        const std::u16string_view w = s.substr(i, 3);
        if ((w[0] | 0x20) == u'r' && (w[1] | 0x20) == u'e' && (w[2] | 0x20) == u'm' && j < caret) {
          r.inComment = true;
          return r;
        }
      }
      i = j;
    } else if (c == u'(') {
      Scan::Open o;
      size_t end = i;
      while (end > 0 && (s[end - 1] == u' ' || s[end - 1] == u'\t')) --end;
      size_t start = end;
      while (start > 0 && IsNameChar(s[start - 1])) --start;
      const std::u16string_view name = s.substr(start, end - start);
      if (!name.empty() && !IsDigit(name.front()) && !IsKeyword(name)) {
        o.nameStart = start;
        o.nameLength = end - start;
        o.member = start > 0 && s[start - 1] == u'.';
      }
      r.open.push_back(o);
      ++i;
    } else if (c == u')') {
      if (!r.open.empty()) r.open.pop_back();
      ++i;
    } else if (c == u',') {
      if (!r.open.empty()) ++r.open.back().commas;
      ++i;
    } else {
      ++i;
    }
  }
  return r;
}

// &H1F and &O17 are numbers, not names after "&".
bool IsRadixNumber(std::u16string_view line, size_t start) {
  const char16_t first = char16_t(line[start] | 0x20);
  return start > 0 && line[start - 1] == u'&' && (first == u'h' || first == u'o');
}

}  // namespace

std::optional<NameSpan> TypedName(std::u16string_view line, size_t caret) {
  if (caret > line.size() || caret == 0) return std::nullopt;
  size_t start = caret;
  while (start > 0 && IsNameChar(line[start - 1])) --start;
  if (start == caret || IsDigit(line[start])) return std::nullopt;
  if (start > 0 && line[start - 1] == u'.') return std::nullopt;
  if (IsRadixNumber(line, start)) return std::nullopt;
  const Scan scan = ScanTo(line, start);
  if (scan.inString || scan.inComment) return std::nullopt;
  return NameSpan{start, caret - start};
}

std::optional<NameSpan> NameAtCaret(std::u16string_view line, size_t caret) {
  if (caret > line.size()) return std::nullopt;
  size_t start = caret, end = caret;
  while (start > 0 && IsNameChar(line[start - 1])) --start;
  while (end < line.size() && IsNameChar(line[end])) ++end;
  if (start == end || IsDigit(line[start]) || IsRadixNumber(line, start)) return std::nullopt;
  const Scan scan = ScanTo(line, start);
  if (scan.inString || scan.inComment) return std::nullopt;
  return NameSpan{start, end - start};
}

std::optional<CallContext> FindCallContext(std::u16string_view line, size_t caret) {
  const Scan scan = ScanTo(line, caret);
  if (scan.inString || scan.inComment) return std::nullopt;
  for (auto it = scan.open.rbegin(); it != scan.open.rend(); ++it) {
    if (it->nameLength == 0) continue;
    CallContext c;
    c.name = std::u16string(line.substr(it->nameStart, it->nameLength));
    c.nameStart = it->nameStart;
    c.argument = it->commas;
    c.member = it->member;
    return c;
  }
  return std::nullopt;
}

}  // namespace zel
