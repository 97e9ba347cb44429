#pragma once
#include <memory>
#include <string_view>

#include "engine/ast.h"

namespace vbs {

// A compile error: VBScript's number and the position (from 1) in the text.
struct CompileError {
  int number;
  int line;
  int col;
};

struct ParseOptions {
  bool expressionOnly = false;  // Eval: the text is one expression
};

// Parses a whole text. Throws CompileError.
std::unique_ptr<Program> ParseProgram(std::u16string_view text, bool& optionExplicit);
// Parses one expression (Eval). Throws CompileError.
ExprP ParseExpression(std::u16string_view text);

}  // namespace vbs
