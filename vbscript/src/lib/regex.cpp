#include "lib/regex.h"

namespace vbs::lib {

namespace {

// Code units are widened one for one, so positions in the wide text are the
// script's UTF-16 positions.
std::wstring Widen(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

std::u16string Narrow(std::wstring_view s) {
  std::u16string r;
  r.reserve(s.size());
  for (wchar_t c : s) r.push_back(static_cast<char16_t>(c));
  return r;
}

RegexMatch ToMatch(const std::wcmatch& m, const wchar_t* base) {
  RegexMatch r;
  r.index = static_cast<size_t>(m[0].first - base);
  r.length = static_cast<size_t>(m[0].length());
  r.value = Narrow(std::wstring_view(m[0].first, r.length));
  for (size_t g = 1; g < m.size(); ++g) {
    if (m[g].matched) r.groups.emplace_back(Narrow(std::wstring_view(m[g].first, m[g].length())));
    else r.groups.emplace_back(std::nullopt);
  }
  return r;
}

}  // namespace

Regex::Regex(std::u16string_view pattern, bool ignoreCase, bool multiline) {
  auto flags = std::regex_constants::ECMAScript;
  if (ignoreCase) flags |= std::regex_constants::icase;
  if (multiline) flags |= std::regex_constants::multiline;
  try {
    re_.assign(Widen(pattern), flags);
  } catch (const std::regex_error&) {
    throw RegexError{};
  }
}

std::vector<RegexMatch> Regex::Find(std::u16string_view text, bool global) const {
  const std::wstring w = Widen(text);
  const wchar_t* const begin = w.data();
  const wchar_t* const end = begin + w.size();
  std::vector<RegexMatch> out;
  const wchar_t* pos = begin;
  auto flags = std::regex_constants::match_default;
  while (pos <= end) {
    std::wcmatch m;
    if (!std::regex_search(pos, end, m, re_, flags)) break;
    out.push_back(ToMatch(m, begin));
    if (!global) break;
    const wchar_t* next = m[0].second;
    if (m[0].length() == 0) {
      if (next == end) break;
      ++next;   // an empty match must not be found again at the same place
    }
    pos = next;
    flags = std::regex_constants::match_prev_avail;
  }
  return out;
}

bool Regex::Test(std::u16string_view text) const {
  const std::wstring w = Widen(text);
  return std::regex_search(w, re_);
}

std::u16string ExpandReplacement(std::u16string_view rep, const RegexMatch& m, std::u16string_view text) {
  std::u16string out;
  const size_t n = rep.size();
  for (size_t i = 0; i < n; ++i) {
    const char16_t c = rep[i];
    if (c != u'$' || i + 1 >= n) {
      out.push_back(c);
      continue;
    }
    const char16_t d = rep[i + 1];
    if (d == u'$') { out.push_back(u'$'); ++i; continue; }
    if (d == u'&') { out += m.value; ++i; continue; }
    if (d == u'`') { out += text.substr(0, m.index); ++i; continue; }
    if (d == u'\'') { out += text.substr(std::min(text.size(), m.index + m.length)); ++i; continue; }
    if (d >= u'0' && d <= u'9') {
      // Two digits when they name an existing group, else one.
      const size_t groups = m.groups.size();
      size_t num = d - u'0';
      size_t used = 1;
      if (i + 2 < n && rep[i + 2] >= u'0' && rep[i + 2] <= u'9') {
        const size_t two = num * 10 + (rep[i + 2] - u'0');
        if (two >= 1 && two <= groups) { num = two; used = 2; }
      }
      if (num >= 1 && num <= groups) {
        if (m.groups[num - 1]) out += *m.groups[num - 1];
        i += used;
        continue;
      }
    }
    out.push_back(c);
  }
  return out;
}

std::u16string Regex::Replace(std::u16string_view text, std::u16string_view replacement, bool global) const {
  const auto matches = Find(text, global);
  std::u16string out;
  size_t last = 0;
  for (const auto& m : matches) {
    out.append(text.substr(last, m.index - last));
    out += ExpandReplacement(replacement, m, text);
    last = m.index + m.length;
  }
  out.append(text.substr(last));
  return out;
}

}  // namespace vbs::lib
