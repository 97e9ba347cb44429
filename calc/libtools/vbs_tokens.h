#pragma once
// One line of VBScript in the pieces the highlighting colours: keywords,
// strings, numbers, comments, and the names the catalogue knows. Lines are
// independent: a string or a comment never goes on to the next one. Qt-free.
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace zel {

enum class TokenKind { Keyword, String, Number, Comment, LibraryName, BuiltinName };

struct Token {
  size_t start = 0;
  size_t length = 0;
  TokenKind kind = TokenKind::Keyword;
};

// What a name is, if it is a known one (LibraryName or BuiltinName).
using NameClassifier = std::function<std::optional<TokenKind>(std::u16string_view name)>;

// The coloured pieces of `line`, in order; what is not listed is plain.
// A name after a "." is a member and is not looked up.
std::vector<Token> TokenizeLine(std::u16string_view line, const NameClassifier& known);

// A reserved word of the language, letter case aside.
bool IsKeyword(std::u16string_view word);

bool IsNameChar(char16_t c);

}  // namespace zel
