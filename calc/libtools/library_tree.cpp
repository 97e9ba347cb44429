#include "library_tree.h"

#include <algorithm>
#include <cmath>

namespace zel {

FileNode DescribeDeclarations(const FileDeclarations& declarations) {
  FileNode node;
  node.name = declarations.file;
  node.error = declarations.error;
  for (const Declaration& n : declarations.names)
    if (n.kind == NameKind::Function || n.kind == NameKind::Sub)
      node.procedures.push_back({n.name, n.callTemplate, n.description});
  return node;
}

FileNode DescribeLibraryFile(const std::u16string& name, const FileText& text) {
  return DescribeDeclarations(DeclareLibraryText(name, text));
}

std::vector<FileNode> DescribeLibrary(const std::vector<LibraryFile>& files) {
  std::vector<FileNode> nodes;
  nodes.reserve(files.size());
  for (const LibraryFile& f : files) nodes.push_back(DescribeLibraryFile(f.name, ReadLibraryFile(f.path)));
  return nodes;
}

SelectOutcome ChooseNode(std::optional<TreeNodeKind> kind, std::u16string_view text) {
  SelectOutcome out;
  if (!kind) {
    out.message = kSelectFunctionText;
  } else if (*kind != TreeNodeKind::Procedure) {
    out.message = kNotAFunctionText;
  } else {
    out.insert = true;
    out.text = text;
  }
  return out;
}

TreeLayout ComputeTreeLayout(int width) {
  TreeLayout l;
  // A window narrower than the buttons leaves the tree at no width rather
  // than a negative one.
  l.treeWidth = std::max(0, width - kTreeButtonWidth - 505);
  l.buttonLeft = int(std::lround(kTreeLeft + l.treeWidth + 505.0 / 3));
  return l;
}

}  // namespace zel
