#pragma once
// Turns script text into tokens. Statement separators (line ends and ':')
// become Newline tokens; comments and " _" continuations disappear here.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vbs/variant.h"

namespace vbs {

enum class Tok : uint8_t {
  End,       // end of text
  Newline,   // line end or ':'
  Ident,     // name (keywords are Ident with kw != Kw::None)
  Number,
  String,
  Date,
  Op,        // punctuation / operator, see op
  Dot,       // '.' directly followed by a name (member access)
};

enum class Kw : uint8_t {
  None,
  And, As, ByRef, ByVal, Call, Case, Class, Const, Dim, Do, Each, Else, ElseIf,
  Empty, End, Eqv, Erase, Exit, False, For, Function, Get, GoTo, If, Imp, In,
  Is, Let, Loop, Mod, New, Next, Not, Nothing, Null, On, Option, Or, Preserve,
  Private, Property, Public, ReDim, Resume, Select, Set, Step, Stop, Sub, Then,
  To, True, Until, Wend, While, With, Xor, Me, Default, Error, Explicit,
};

// Words that cannot name a variable or procedure.
bool IsReservedKeyword(Kw k);

enum class OpK : uint8_t {
  None, LParen, RParen, Comma, Plus, Minus, Star, Slash, Backslash, Caret, Amp,
  Eq, Ne, Lt, Gt, Le, Ge, Dot,
};

struct Token {
  Tok type = Tok::End;
  Kw kw = Kw::None;
  OpK op = OpK::None;
  bool spaceBefore = false;   // whitespace right before the token
  bool colon = false;         // Newline that was a ':'
  int line = 1;
  int col = 1;
  uint32_t textPos = 0;       // offset into the source
  uint32_t textLen = 0;
  std::u16string_view word;   // identifier (without brackets), in the source text
  std::u16string text;        // string value (quotes undoubled)
  Variant value;              // Number / Date literal
};

// A lexing failure: compile error number and position.
struct LexError {
  int number;
  int line;
  int col;
};

class Lexer {
 public:
  explicit Lexer(std::u16string_view src) : src_(src) {}
  // Reads the next token into `tk` (reusing its text buffer); throws LexError.
  void Next(Token& tk);

 private:
  char16_t Peek(size_t k = 0) const { return pos_ + k < src_.size() ? src_[pos_ + k] : u'\0'; }
  void SkipToLineEnd();
  void Make(Token& tk, Tok t, size_t start, int col);
  void LexNumber(Token& tk, size_t start, int col);
  void LexDate(Token& tk, size_t start, int col);

  std::u16string_view src_;
  size_t pos_ = 0;
  int line_ = 1;
  size_t lineStart_ = 0;
};

Kw LookupKeyword(std::u16string_view word);

}  // namespace vbs
