#pragma once
// What one library text declares, learned by compiling it on an engine of
// its own without running it: the procedures with their parameters, call
// templates and descriptions, and the classes, constants and global
// variables. The function browser and the input line's name catalogue both
// read the library through here. Qt-free.
#include <string>
#include <string_view>
#include <vector>

#include "library_loader.h"

namespace zel {

enum class NameKind { Function, Sub, Class, Const, Variable, BuiltinFunction, BuiltinConst, BuiltinObject };

struct Declaration {
  std::u16string name;  // as the engine reports it
  NameKind kind = NameKind::Function;
  std::vector<std::u16string> params;  // a procedure's parameter names
  std::u16string callTemplate;         // what the browser shows and inserts
  // The comment lines directly above the header, without their apostrophes,
  // one per line ("\n" between them); empty when there are none.
  std::u16string description;
  int line = 0;  // of the header; 0 when not known
};

struct FileDeclarations {
  std::u16string file;
  std::vector<Declaration> names;  // procedures first, in the engine's order
  // Set when the text cannot be read or compiled: why, with the line.
  std::u16string error;
};

// `text` as read from the file named `file`. Nothing of it runs.
FileDeclarations DeclareLibraryText(const std::u16string& file, const FileText& text);

// The block of comment lines ending right above line `line` (1-based) of
// `text`: each line trimmed, its apostrophe (or Rem) and one blank after it
// removed. Lines end at CR LF, LF or CR.
std::u16string CommentAbove(std::u16string_view text, int line);

bool IsProcedureKind(NameKind kind);

}  // namespace zel
