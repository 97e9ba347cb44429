#pragma once
// What the library browser lists: each library file with the procedures it
// declares, learned by compiling the file on an engine of its own without
// running it. Qt-free.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library_declarations.h"
#include "library_loader.h"

namespace zel {

struct ProcedureNode {
  std::u16string name;  // as the engine reports it
  std::u16string text;  // the call template shown and inserted
  std::u16string description;  // the comment lines above its header
};

struct FileNode {
  std::u16string name;
  std::vector<ProcedureNode> procedures;
  // Set when the file cannot be read or compiled: why, with the line.
  std::u16string error;
};

// One file's node from its text as read. Nothing of the file runs: no
// message boxes, no file access, no endless loops.
FileNode DescribeLibraryFile(const std::u16string& name, const FileText& text);
// The node of what a file declares.
FileNode DescribeDeclarations(const FileDeclarations& declarations);

// Every file in the given order.
std::vector<FileNode> DescribeLibrary(const std::vector<LibraryFile>& files);

enum class TreeNodeKind { Root, File, Procedure, Error };

inline constexpr std::u16string_view kSelectFunctionText = u"Select function";
inline constexpr std::u16string_view kNotAFunctionText = u"Selection is not a function";

struct SelectOutcome {
  bool insert = false;
  std::u16string text;     // what goes into the input line
  std::u16string message;  // otherwise what the user is told
};

// Select (and double-click) on the node of `kind` with `text`; no kind
// when nothing is selected. Only a procedure's template is inserted.
SelectOutcome ChooseNode(std::optional<TreeNodeKind> kind, std::u16string_view text);

// The browser's resize rule, twips.
inline constexpr int kTreeWindowHeight = 4740;
inline constexpr int kTreeLeft = 120;
inline constexpr int kTreeTop = 120;
inline constexpr int kTreeHeight = 4100;
inline constexpr int kTreeButtonWidth = 735;

struct TreeLayout {
  int height = kTreeWindowHeight;  // outer height, whatever was asked for
  int treeWidth = 0;
  int buttonLeft = 0;
};

// `width`: the window's outer width.
TreeLayout ComputeTreeLayout(int width);

}  // namespace zel
