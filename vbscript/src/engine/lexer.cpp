#include "engine/lexer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>

#include "vbs/datetime.h"

namespace vbs {
namespace {

// Character classes of ASCII, by table: the lexer asks for every character.
enum : uint8_t { kLetter = 1, kDigit = 2, kUnderscore = 4, kBlank = 8 };
struct CharTable {
  uint8_t cls[128] = {};
  constexpr CharTable() {
    for (int c = 'a'; c <= 'z'; ++c) cls[c] = kLetter;
    for (int c = 'A'; c <= 'Z'; ++c) cls[c] = kLetter;
    for (int c = '0'; c <= '9'; ++c) cls[c] = kDigit;
    cls[int('_')] = kUnderscore;
    cls[int(' ')] = kBlank;
    cls[int('\t')] = kBlank;
  }
};
constexpr CharTable kChars;

inline bool IsLetter(char16_t c) { return c < 0x80 ? (kChars.cls[c] & kLetter) != 0 : true; }
inline bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
inline bool IsBlank(char16_t c) {
  if (c < 0x80) return (kChars.cls[c] & kBlank) != 0;
  return c == 0x3000 || c == 0xFEFF || c == 0xA0;
}

const std::unordered_map<std::u16string, Kw>& KeywordMap() {
  static const std::unordered_map<std::u16string, Kw> m = {
      {u"and", Kw::And},       {u"as", Kw::As},           {u"byref", Kw::ByRef},
      {u"byval", Kw::ByVal},   {u"call", Kw::Call},       {u"case", Kw::Case},
      {u"class", Kw::Class},   {u"const", Kw::Const},     {u"dim", Kw::Dim},
      {u"do", Kw::Do},         {u"each", Kw::Each},       {u"else", Kw::Else},
      {u"elseif", Kw::ElseIf}, {u"empty", Kw::Empty},     {u"end", Kw::End},
      {u"eqv", Kw::Eqv},       {u"erase", Kw::Erase},     {u"exit", Kw::Exit},
      {u"false", Kw::False},   {u"for", Kw::For},         {u"function", Kw::Function},
      {u"get", Kw::Get},       {u"goto", Kw::GoTo},       {u"if", Kw::If},
      {u"imp", Kw::Imp},       {u"in", Kw::In},           {u"is", Kw::Is},
      {u"let", Kw::Let},       {u"loop", Kw::Loop},       {u"mod", Kw::Mod},
      {u"new", Kw::New},       {u"next", Kw::Next},       {u"not", Kw::Not},
      {u"nothing", Kw::Nothing}, {u"null", Kw::Null},     {u"on", Kw::On},
      {u"option", Kw::Option}, {u"or", Kw::Or},           {u"preserve", Kw::Preserve},
      {u"private", Kw::Private}, {u"property", Kw::Property}, {u"public", Kw::Public},
      {u"redim", Kw::ReDim},   {u"resume", Kw::Resume},   {u"select", Kw::Select},
      {u"set", Kw::Set},       {u"step", Kw::Step},       {u"stop", Kw::Stop},
      {u"sub", Kw::Sub},       {u"then", Kw::Then},       {u"to", Kw::To},
      {u"true", Kw::True},     {u"until", Kw::Until},     {u"wend", Kw::Wend},
      {u"while", Kw::While},   {u"with", Kw::With},       {u"xor", Kw::Xor},
      {u"me", Kw::Me},         {u"default", Kw::Default}, {u"error", Kw::Error},
      {u"explicit", Kw::Explicit},
  };
  return m;
}

}  // namespace

namespace {
// Keywords are at most 8 ASCII letters: packed into one integer they are
// looked up without building a string.
uint64_t PackWord(std::u16string_view w) {
  uint64_t key = 0;
  for (char16_t c : w) {
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
    if (c > 0x7f) return 0;
    key = (key << 8) | uint64_t(c);
  }
  return key;
}
const std::unordered_map<uint64_t, Kw>& PackedKeywords() {
  static const std::unordered_map<uint64_t, Kw> m = [] {
    std::unordered_map<uint64_t, Kw> r;
    for (auto& [word, kw] : KeywordMap()) r.emplace(PackWord(word), kw);
    return r;
  }();
  return m;
}
}  // namespace

namespace {
// Open-addressing table over the packed keywords: one multiply and
// usually one comparison per word.
struct KeywordTable {
  static constexpr size_t kSize = 256;
  uint64_t keys[kSize] = {};
  Kw kws[kSize] = {};
  static size_t Slot(uint64_t key) { return size_t((key * 0x9E3779B97F4A7C15ull) >> 56); }
  KeywordTable() {
    for (auto& [key, kw] : PackedKeywords()) {
      size_t i = Slot(key);
      while (keys[i] != 0) i = (i + 1) % kSize;
      keys[i] = key;
      kws[i] = kw;
    }
  }
  Kw Find(uint64_t key) const {
    for (size_t i = Slot(key);; i = (i + 1) % kSize) {
      if (keys[i] == key) return kws[i];
      if (keys[i] == 0) return Kw::None;
    }
  }
};
}  // namespace

namespace {
// For each length, the first letters keywords of that length start with:
// most names are ruled out before they are packed and hashed.
struct KeywordStarts {
  uint32_t byLength[9] = {};
  KeywordStarts() {
    for (auto& [word, kw] : KeywordMap()) byLength[word.size()] |= uint32_t(1) << (word[0] - u'a');
  }
  bool MayBeKeyword(std::u16string_view w) const {
    const char16_t c = char16_t(w[0] | 0x20);
    return c >= u'a' && c <= u'z' && (byLength[w.size()] >> (c - u'a') & 1) != 0;
  }
};
}  // namespace

Kw LookupKeyword(std::u16string_view word) {
  if (word.size() > 8 || word.size() < 2) return Kw::None;
  static const KeywordStarts starts;
  if (!starts.MayBeKeyword(word)) return Kw::None;
  uint64_t key = PackWord(word);
  if (key == 0) return Kw::None;
  static const KeywordTable table;
  return table.Find(key);
}

bool IsReservedKeyword(Kw k) {
  switch (k) {
    case Kw::None:
    case Kw::Get:
    case Kw::Let:
    case Kw::Step:
    case Kw::Preserve:
    case Kw::Property:
    case Kw::Default:
    case Kw::Error:
    case Kw::Explicit:
    case Kw::Resume:
      return false;
    default:
      return true;
  }
}

// Fills the fields every token sets; `text` keeps its buffer for reuse
// (it is read only for names and strings, which set it).
void Lexer::Make(Token& tk, Tok t, size_t start, int col) {
  tk.type = t;
  tk.kw = Kw::None;
  tk.op = OpK::None;
  tk.spaceBefore = false;
  tk.colon = false;
  tk.line = line_;
  tk.col = col;
  tk.textPos = uint32_t(start);
  tk.textLen = uint32_t(pos_ - start);
}

void Lexer::SkipToLineEnd() {
  while (pos_ < src_.size() && src_[pos_] != u'\n' && src_[pos_] != u'\r') ++pos_;
}

void Lexer::Next(Token& tk) {
  bool space = false;
  for (;;) {
    {
      // Indentation comes in runs of spaces: step over four at a time
      // (four UTF-16 spaces are one 8-byte load).
      const char16_t* const s = src_.data();
      const size_t n = src_.size();
      size_t p = pos_;
      const size_t from = p;
      for (uint64_t four; p + 4 <= n; p += 4) {
        std::memcpy(&four, s + p, sizeof four);
        if (four != 0x0020002000200020ull) break;
      }
      while (p < n && IsBlank(s[p])) ++p;
      if (p != from) space = true;
      pos_ = p;
    }
    // Line continuation: '_' then only blanks up to the line end. A name
    // takes its own underscores, so one met here may follow any token
    // directly (x =_, "a" &_).
    if (Peek() == u'_') {
      size_t p = pos_ + 1;
      while (p < src_.size() && IsBlank(src_[p])) ++p;
      if (p >= src_.size() || src_[p] == u'\n' || src_[p] == u'\r') {
        if (p < src_.size() && src_[p] == u'\r') ++p;
        if (p < src_.size() && src_[p] == u'\n') ++p;
        pos_ = p;
        ++line_;
        lineStart_ = pos_;
        space = true;
        continue;
      }
    }
    if (Peek() == u'\'') {
      SkipToLineEnd();
      continue;
    }
    break;
  }
  size_t start = pos_;
  int col = int(pos_ - lineStart_) + 1;
  if (pos_ >= src_.size()) {
    Make(tk, Tok::End, start, col);
    tk.spaceBefore = space;
    return;
  }
  char16_t c = src_[pos_];
  if (c == u'\r' || c == u'\n') {
    Make(tk, Tok::Newline, start, col);
    if (c == u'\r' && Peek(1) == u'\n') ++pos_;
    ++pos_;
    ++line_;
    lineStart_ = pos_;
    tk.spaceBefore = space;
    return;
  }
  if (c == u':') {
    ++pos_;
    Make(tk, Tok::Newline, start, col);
    tk.colon = true;
    tk.spaceBefore = space;
    return;
  }
  if (IsLetter(c)) {
    // Keywords are letters only: a name with a digit or '_' is none. The
    // classes of the name's ASCII characters are gathered as it is read.
    const char16_t* const s = src_.data();
    const size_t n = src_.size();
    size_t p = pos_ + 1;
    unsigned seen = 0;
    while (p < n) {
      const char16_t ch = s[p];
      if (ch < 0x80) {
        const unsigned k = kChars.cls[ch];
        if (!(k & (kLetter | kDigit | kUnderscore))) break;
        seen |= k;
      }
      ++p;
    }
    pos_ = p;
    const bool lettersOnly = !(seen & (kDigit | kUnderscore));
    std::u16string_view word(s + start, p - start);
    // Rem starts a comment, except as a member name (obj.Rem).
    if (word.size() == 3 && (word[0] | 0x20) == u'r' && (word[1] | 0x20) == u'e' &&
        (word[2] | 0x20) == u'm' && !(start > 0 && src_[start - 1] == u'.')) {
      SkipToLineEnd();
      Next(tk);
      return;
    }
    Make(tk, Tok::Ident, start, col);
    tk.word = word;
    tk.kw = lettersOnly ? LookupKeyword(word) : Kw::None;
    tk.spaceBefore = space;
    return;
  }
  if (c == u'[') {
    size_t p = pos_ + 1;
    while (p < src_.size() && src_[p] != u']' && src_[p] != u'\n' && src_[p] != u'\r') ++p;
    if (p >= src_.size() || src_[p] != u']') throw LexError{kErrExpectedIdentifier, line_, col};
    tk.word = src_.substr(pos_ + 1, p - pos_ - 1);
    pos_ = p + 1;
    Make(tk, Tok::Ident, start, col);
    tk.spaceBefore = space;
    return;
  }
  if (IsDigit(c) || (c == u'.' && IsDigit(Peek(1))) || c == u'&') {
    if (c == u'&') {
      // &H / &O without a digit after them is the operator before a name
      // ("x" &hi).
      char16_t n = Peek(1), d = Peek(2);
      bool hex = (n == u'h' || n == u'H') &&
                 (IsDigit(d) || (d >= u'a' && d <= u'f') || (d >= u'A' && d <= u'F'));
      bool oct = ((n == u'o' || n == u'O') && d >= u'0' && d <= u'7') || IsDigit(n);
      if (!hex && !oct) {
        ++pos_;
        Make(tk, Tok::Op, start, col);
        tk.op = OpK::Amp;
        tk.spaceBefore = space;
        return;
      }
    }
    LexNumber(tk, start, col);
    tk.spaceBefore = space;
    return;
  }
  if (c == u'"') {
    std::u16string& s = tk.text;
    s.clear();
    ++pos_;
    for (;;) {
      if (pos_ >= src_.size() || src_[pos_] == u'\n' || src_[pos_] == u'\r')
        throw LexError{kErrUnterminatedString, line_, col};
      if (src_[pos_] == u'"') {
        if (Peek(1) == u'"') {
          s.push_back(u'"');
          pos_ += 2;
          continue;
        }
        ++pos_;
        break;
      }
      s.push_back(src_[pos_++]);
    }
    Make(tk, Tok::String, start, col);
    tk.spaceBefore = space;
    return;
  }
  if (c == u'#') {
    LexDate(tk, start, col);
    tk.spaceBefore = space;
    return;
  }
  if (c == u'.') {
    ++pos_;
    Make(tk, IsLetter(Peek()) || Peek() == u'[' ? Tok::Dot : Tok::Op, start, col);
    tk.op = OpK::Dot;
    tk.spaceBefore = space;
    return;
  }
  OpK op = OpK::None;
  ++pos_;
  switch (c) {
    case u'(': op = OpK::LParen; break;
    case u')': op = OpK::RParen; break;
    case u',': op = OpK::Comma; break;
    case u'+': op = OpK::Plus; break;
    case u'-': op = OpK::Minus; break;
    case u'*': op = OpK::Star; break;
    case u'/': op = OpK::Slash; break;
    case u'\\': op = OpK::Backslash; break;
    case u'^': op = OpK::Caret; break;
    case u'=':
      op = OpK::Eq;
      break;
    case u'<':
      if (Peek() == u'>') { ++pos_; op = OpK::Ne; }
      else if (Peek() == u'=') { ++pos_; op = OpK::Le; }
      else op = OpK::Lt;
      break;
    case u'>':
      if (Peek() == u'=') { ++pos_; op = OpK::Ge; }
      else if (Peek() == u'<') { ++pos_; op = OpK::Ne; }  // >< is <>
      else op = OpK::Gt;
      break;
    default:
      throw LexError{kErrInvalidCharacter, line_, col};
  }
  Make(tk, Tok::Op, start, col);
  tk.op = op;
  tk.spaceBefore = space;
  return;
}

void Lexer::LexNumber(Token& tk, size_t start, int col) {
  if (src_[pos_] == u'&') {
    ++pos_;
    int base = 8;
    if (Peek() == u'h' || Peek() == u'H') { base = 16; ++pos_; }
    else if (Peek() == u'o' || Peek() == u'O') { ++pos_; }
    uint64_t v = 0;
    size_t digits = 0;
    bool overflow = false;
    for (;;) {
      char16_t c = Peek();
      int d;
      if (IsDigit(c)) d = c - u'0';
      else if (base == 16 && c >= u'a' && c <= u'f') d = c - u'a' + 10;
      else if (base == 16 && c >= u'A' && c <= u'F') d = c - u'A' + 10;
      else break;
      if (d >= base) break;
      v = v * uint64_t(base) + uint64_t(d);
      if (v > 0xFFFFFFFFull) overflow = true;
      ++digits;
      ++pos_;
    }
    if (digits == 0) throw LexError{kErrSyntax, line_, col};
    if (overflow) throw LexError{kErrSyntax, line_, col};
    bool suffix = false;
    if (Peek() == u'&') { suffix = true; ++pos_; }
    Make(tk, Tok::Number, start, col);
    // Up to four hex digits without the suffix are a 16-bit pattern
    // (&HFFFF is -1); otherwise a 32-bit one. Either takes the smallest
    // type that holds its value: &HFFF& is Integer, &HFFFFFFFF& Integer -1.
    const int32_t x = !suffix && v <= 0xFFFF ? int16_t(uint16_t(v)) : int32_t(uint32_t(v));
    if (x >= INT16_MIN && x <= INT16_MAX) tk.value = Variant::FromInteger(int16_t(x));
    else tk.value = Variant::FromLong(x);
    return;
  }
  size_t p = pos_;
  bool isFloat = false;
  while (IsDigit(Peek())) ++pos_;
  if (Peek() == u'.') {
    isFloat = true;
    ++pos_;
    while (IsDigit(Peek())) ++pos_;
  }
  if ((Peek() == u'e' || Peek() == u'E') &&
      (IsDigit(Peek(1)) || ((Peek(1) == u'+' || Peek(1) == u'-') && IsDigit(Peek(2))))) {
    isFloat = true;
    pos_ += 2;
    while (IsDigit(Peek())) ++pos_;
  }
  double d;
  if (!isFloat && pos_ - p <= 15) {
    // Up to 15 digits the integer is exact as a double: no conversion call.
    uint64_t v = 0;
    for (size_t i = p; i < pos_; ++i) v = v * 10 + uint64_t(src_[i] - u'0');
    d = double(v);
  } else {
    std::string ascii;
    ascii.reserve(pos_ - p);
    for (size_t i = p; i < pos_; ++i) ascii.push_back(char(src_[i]));
    // Exponents far outside the double range: strtod gives 0 or inf.
    d = std::strtod(ascii.c_str(), nullptr);
  }
  Make(tk, Tok::Number, start, col);
  if (!isFloat && d <= 32767) tk.value = Variant::FromInteger(int16_t(d));
  else if (!isFloat && d <= 2147483647.0) tk.value = Variant::FromLong(int32_t(d));
  else {
    if (std::isinf(d)) throw LexError{kErrSyntax, line_, col};
    tk.value = Variant::FromDouble(d);
  }
  if (IsLetter(Peek()) && Peek() != u'&') {
    // "1abc": a number glued to a name
    throw LexError{kErrExpectedEndOfStatement, line_, int(pos_ - lineStart_) + 1};
  }
  return;
}

void Lexer::LexDate(Token& tk, size_t start, int col) {
  size_t p = pos_ + 1;
  while (p < src_.size() && src_[p] != u'#' && src_[p] != u'\n' && src_[p] != u'\r') ++p;
  if (p >= src_.size() || src_[p] != u'#') throw LexError{kErrSyntax, line_, col};
  std::u16string_view body = src_.substr(pos_ + 1, p - pos_ - 1);
  auto parsed = ParseDateTime(body);
  if (!parsed) throw LexError{kErrSyntax, line_, col};
  double v = *parsed;
  pos_ = p + 1;
  Make(tk, Tok::Date, start, col);
  tk.value = Variant::FromDate(v);
  return;
}

}  // namespace vbs
