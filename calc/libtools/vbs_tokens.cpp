#include "vbs_tokens.h"

#include <algorithm>
#include <array>
#include <string>

namespace zel {

namespace {

constexpr std::array<std::u16string_view, 62> kKeywords = {
    u"and",   u"byref",    u"byval",  u"call",    u"case",     u"class",   u"const",   u"default",
    u"dim",   u"do",       u"each",   u"else",    u"elseif",   u"empty",   u"end",     u"eqv",
    u"erase", u"error",    u"exit",   u"explicit", u"false",   u"for",     u"function", u"get",
    u"goto",  u"if",       u"imp",    u"in",      u"is",       u"let",     u"loop",    u"mod",
    u"new",   u"next",     u"not",    u"nothing", u"null",     u"on",      u"option",  u"or",
    u"preserve", u"private", u"property", u"public", u"randomize", u"redim", u"rem",    u"resume",
    u"select", u"set",     u"step",   u"stop",    u"sub",      u"then",    u"to",      u"true",
    u"until", u"wend",     u"while",  u"with",    u"xor",      u"me"};

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool IsHexDigit(char16_t c) {
  return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// The end of a number starting at `i` (a digit, or "." before a digit).
size_t NumberEnd(std::u16string_view s, size_t i) {
  while (i < s.size() && IsDigit(s[i])) ++i;
  if (i < s.size() && s[i] == u'.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i;
  }
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) ++j;
    if (j < s.size() && IsDigit(s[j])) {
      i = j;
      while (i < s.size() && IsDigit(s[i])) ++i;
    }
  }
  // Type characters and a trailing "&" of a Long literal.
  if (i < s.size() && (s[i] == u'#' || s[i] == u'!' || s[i] == u'@' || s[i] == u'&')) ++i;
  return i;
}

}  // namespace

bool IsNameChar(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || IsDigit(c) || c == u'_' || c > 0x7F;
}

bool IsKeyword(std::u16string_view word) {
  if (word.size() > 9) return false;
  char16_t buf[9];
  for (size_t i = 0; i < word.size(); ++i) buf[i] = Lower(word[i]);
  const std::u16string_view folded(buf, word.size());
  return std::find(kKeywords.begin(), kKeywords.end(), folded) != kKeywords.end();
}

std::vector<Token> TokenizeLine(std::u16string_view s, const NameClassifier& known) {
  std::vector<Token> out;
  size_t i = 0;
  while (i < s.size()) {
    const char16_t c = s[i];
    if (c == u'"') {
      size_t j = i + 1;
      for (;;) {
        if (j >= s.size()) break;
        if (s[j] == u'"') {
          if (j + 1 < s.size() && s[j + 1] == u'"') {
            j += 2;
            continue;
          }
          ++j;
          break;
        }
        ++j;
      }
      out.push_back({i, j - i, TokenKind::String});
      i = j;
    } else if (c == u'\'' || c == u'\u2019') {
      out.push_back({i, s.size() - i, TokenKind::Comment});
      break;
    } else if (IsDigit(c) || (c == u'.' && i + 1 < s.size() && IsDigit(s[i + 1]) &&
                              (i == 0 || !IsNameChar(s[i - 1])))) {
      const size_t end = NumberEnd(s, i);
      out.push_back({i, end - i, TokenKind::Number});
      i = end;
    } else if (c == u'&' && i + 1 < s.size() && (s[i + 1] == u'H' || s[i + 1] == u'h' ||
                                                 s[i + 1] == u'O' || s[i + 1] == u'o')) {
      size_t j = i + 2;
      while (j < s.size() && IsHexDigit(s[j])) ++j;
      if (j < s.size() && s[j] == u'&') ++j;
      out.push_back({i, j - i, TokenKind::Number});
      i = j;
    } else if (IsNameChar(c)) {
      size_t j = i;
      while (j < s.size() && IsNameChar(s[j])) ++j;
      const std::u16string_view word = s.substr(i, j - i);
      size_t before = i;
      while (before > 0 && (s[before - 1] == u' ' || s[before - 1] == u'\t')) --before;
      const bool member = before > 0 && s[before - 1] == u'.';
      if (!member && IsKeyword(word)) {
        // Rem starts a comment like the apostrophe does.
        if (word.size() == 3 && Lower(word[0]) == u'r' && Lower(word[1]) == u'e' && Lower(word[2]) == u'm') {
          out.push_back({i, s.size() - i, TokenKind::Comment});
          break;
        }
        out.push_back({i, j - i, TokenKind::Keyword});
      } else if (!member && known) {
        if (const std::optional<TokenKind> k = known(word)) out.push_back({i, j - i, *k});
      }
      i = j;
    } else {
      ++i;
    }
  }
  return out;
}

}  // namespace zel
