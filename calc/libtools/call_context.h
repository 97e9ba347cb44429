#pragma once
// Where the caret of an input line stands for completion and parameter
// hints: the name being typed, the name under the caret, and the innermost
// call whose argument list holds the caret. Strings and comments are
// skipped, so commas and parentheses inside them count for nothing. Qt-free.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zel {

struct NameSpan {
  size_t start = 0;
  size_t length = 0;
};

// The name that ends at `caret`, as far as it is typed: none inside a
// string or a comment, for a member (after "."), or for the letters of a
// number (1E5).
std::optional<NameSpan> TypedName(std::u16string_view line, size_t caret);

// The whole name the caret is in or touches, outside strings and comments;
// a member name too (the caller decides what it is).
std::optional<NameSpan> NameAtCaret(std::u16string_view line, size_t caret);

struct CallContext {
  std::u16string name;   // the called name as typed
  size_t nameStart = 0;
  int argument = 0;      // 0-based index of the argument the caret is in
  bool member = false;   // obj.Method( : a member, not a global name
};

// The innermost call around `caret`: a name followed by "(" that is not
// closed before the caret. Parentheses that only group (after an operator
// or a keyword) are passed over to the call around them.
std::optional<CallContext> FindCallContext(std::u16string_view line, size_t caret);

}  // namespace zel
