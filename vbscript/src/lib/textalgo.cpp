#include "lib/textalgo.h"

#include <algorithm>

namespace vbs::lib {

namespace {

// Case pairs beyond ASCII that scripts meet in practice: Latin-1, Latin
// Extended-A, Greek, Cyrillic and full-width Latin letters.
char16_t LowerOf(char16_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char16_t(c + 32);
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    const bool oddLower = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddLower) return (c & 1) ? char16_t(c + 1) : c;
    return (c & 1) ? c : char16_t(c + 1);
  }
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return char16_t(c + 32);
  if (c >= 0x410 && c <= 0x42F) return char16_t(c + 32);
  if (c >= 0x400 && c <= 0x40F) return char16_t(c + 80);
  if (c >= 0xFF21 && c <= 0xFF3A) return char16_t(c + 32);
  return c;
}

char16_t UpperOf(char16_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? char16_t(c - 32) : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return char16_t(c - 32);
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    const bool oddLower = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddLower) return (c & 1) ? c : char16_t(c - 1);
    return (c & 1) ? char16_t(c - 1) : c;
  }
  if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return char16_t(c - 32);
  if (c >= 0x430 && c <= 0x44F) return char16_t(c - 32);
  if (c >= 0x450 && c <= 0x45F) return char16_t(c - 80);
  if (c >= 0xFF41 && c <= 0xFF5A) return char16_t(c - 32);
  return c;
}

bool Eq(char16_t a, char16_t b, Compare cmp) {
  return a == b || (cmp == Compare::Text && FoldCase(a) == FoldCase(b));
}

// Position (0-based) of `find` in `s` at or after `from`, or npos.
size_t FindFrom(std::u16string_view s, std::u16string_view find, size_t from, Compare cmp) {
  if (cmp == Compare::Binary) return s.find(find, from);
  if (find.size() > s.size()) return std::u16string_view::npos;
  const char16_t f0 = FoldCase(find[0]);
  for (size_t i = from; i + find.size() <= s.size(); ++i) {
    if (FoldCase(s[i]) != f0) continue;
    size_t k = 1;
    while (k < find.size() && Eq(s[i + k], find[k], cmp)) ++k;
    if (k == find.size()) return i;
  }
  return std::u16string_view::npos;
}

}  // namespace

char16_t FoldCase(char16_t c) { return LowerOf(c); }
char16_t ToUpperChar(char16_t c) { return UpperOf(c); }
char16_t ToLowerChar(char16_t c) { return LowerOf(c); }

std::u16string ToUpper(std::u16string_view s) {
  std::u16string r(s);
  for (auto& c : r) c = UpperOf(c);
  return r;
}

std::u16string ToLower(std::u16string_view s) {
  std::u16string r(s);
  for (auto& c : r) c = LowerOf(c);
  return r;
}

int StrCompare(std::u16string_view a, std::u16string_view b, Compare cmp) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char16_t x = a[i], y = b[i];
    if (cmp == Compare::Text) { x = FoldCase(x); y = FoldCase(y); }
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int64_t InStr(int64_t start, std::u16string_view s, std::u16string_view find, Compare cmp) {
  if (start < 1) start = 1;
  if (s.empty() || start > static_cast<int64_t>(s.size())) return 0;
  if (find.empty()) return start;
  const size_t p = FindFrom(s, find, static_cast<size_t>(start - 1), cmp);
  return p == std::u16string_view::npos ? 0 : static_cast<int64_t>(p) + 1;
}

int64_t InStrRev(std::u16string_view s, std::u16string_view find, int64_t start, Compare cmp) {
  const auto len = static_cast<int64_t>(s.size());
  if (start == -1) start = len;
  if (start > len) return 0;
  if (find.empty()) return start;
  const auto flen = static_cast<int64_t>(find.size());
  for (int64_t i = start - flen; i >= 0; --i) {
    int64_t k = 0;
    while (k < flen && Eq(s[i + k], find[k], cmp)) ++k;
    if (k == flen) return i + 1;
  }
  return 0;
}

std::u16string ReplaceText(std::u16string_view s, std::u16string_view find, std::u16string_view with,
                           int64_t start, int64_t count, Compare cmp) {
  if (start > static_cast<int64_t>(s.size())) return {};
  std::u16string_view rest = s.substr(static_cast<size_t>(start - 1));
  if (find.empty() || count == 0) return std::u16string(rest);
  std::u16string out;
  out.reserve(rest.size());
  size_t pos = 0;
  int64_t done = 0;
  while (count < 0 || done < count) {
    const size_t p = FindFrom(rest, find, pos, cmp);
    if (p == std::u16string_view::npos) break;
    out.append(rest.substr(pos, p - pos));
    out.append(with);
    pos = p + find.size();
    ++done;
  }
  out.append(rest.substr(pos));
  return out;
}

std::vector<std::u16string> SplitText(std::u16string_view s, std::u16string_view delim, int64_t count,
                                      Compare cmp) {
  std::vector<std::u16string> parts;
  if (s.empty() || count == 0) return parts;
  if (delim.empty() || count == 1) {
    parts.emplace_back(s);
    return parts;
  }
  size_t pos = 0;
  while (count < 0 || static_cast<int64_t>(parts.size()) < count - 1) {
    const size_t p = FindFrom(s, delim, pos, cmp);
    if (p == std::u16string_view::npos) break;
    parts.emplace_back(s.substr(pos, p - pos));
    pos = p + delim.size();
  }
  parts.emplace_back(s.substr(pos));
  return parts;
}

std::vector<std::u16string> FilterText(const std::vector<std::u16string>& items, std::u16string_view value,
                                       bool include, Compare cmp) {
  std::vector<std::u16string> out;
  for (const auto& item : items) {
    const bool has = value.empty() || FindFrom(item, value, 0, cmp) != std::u16string_view::npos;
    if (has == include) out.push_back(item);
  }
  return out;
}

namespace {
const char kHexDigits[] = "0123456789ABCDEF";

bool EscapeKeeps(char16_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '@': case '*': case '_': case '+': case '-': case '.': case '/': return true;
    default: return false;
  }
}

int HexValue(char16_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
}  // namespace

std::u16string Escape(std::u16string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (char16_t c : s) {
    if (EscapeKeeps(c)) {
      out.push_back(c);
    } else if (c < 0x100) {
      out.push_back(u'%');
      out.push_back(char16_t(kHexDigits[c >> 4]));
      out.push_back(char16_t(kHexDigits[c & 15]));
    } else {
      out.append(u"%u");
      for (int shift = 12; shift >= 0; shift -= 4) out.push_back(char16_t(kHexDigits[(c >> shift) & 15]));
    }
  }
  return out;
}

std::u16string Unescape(std::u16string_view s) {
  std::u16string out;
  out.reserve(s.size());
  const size_t n = s.size();
  for (size_t i = 0; i < n; ++i) {
    if (s[i] == u'%') {
      // %uXXXX first, then %XX; anything malformed stays as written.
      if (i + 5 < n && (s[i + 1] == u'u' || s[i + 1] == u'U')) {
        int v = 0;
        bool ok = true;
        for (size_t k = 2; k < 6 && ok; ++k) {
          const int h = HexValue(s[i + k]);
          ok = h >= 0;
          v = v * 16 + h;
        }
        if (ok) {
          out.push_back(char16_t(v));
          i += 5;
          continue;
        }
      }
      if (i + 2 < n) {
        const int h1 = HexValue(s[i + 1]), h2 = HexValue(s[i + 2]);
        if (h1 >= 0 && h2 >= 0) {
          out.push_back(char16_t(h1 * 16 + h2));
          i += 2;
          continue;
        }
      }
    }
    out.push_back(s[i]);
  }
  return out;
}

namespace {
std::u16string ToBase(int64_t v, int bits, int shift) {
  uint64_t u = static_cast<uint64_t>(v);
  if (bits < 64) u &= (uint64_t{1} << bits) - 1;
  if (u == 0) return u"0";
  std::u16string r;
  const uint64_t mask = (uint64_t{1} << shift) - 1;
  while (u) {
    r.push_back(char16_t(kHexDigits[u & mask]));
    u >>= shift;
  }
  std::reverse(r.begin(), r.end());
  return r;
}
}  // namespace

std::u16string ToHex(int64_t v, int bits) { return ToBase(v, bits, 4); }
std::u16string ToOct(int64_t v, int bits) { return ToBase(v, bits, 3); }

std::u16string Trim(std::u16string_view s, bool left, bool right) {
  size_t b = 0, e = s.size();
  if (left) while (b < e && s[b] == u' ') ++b;
  if (right) while (e > b && s[e - 1] == u' ') --e;
  return std::u16string(s.substr(b, e - b));
}

std::u16string Reverse(std::u16string_view s) { return std::u16string(s.rbegin(), s.rend()); }

}  // namespace vbs::lib
