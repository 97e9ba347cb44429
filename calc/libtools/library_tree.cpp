#include "library_tree.h"

#include <algorithm>
#include <cmath>

#include "procedure_templates.h"
#include "vbs/engine.h"

namespace zel {

namespace {

std::u16string Num(long long v) {
  const std::string a = std::to_string(v);
  return std::u16string(a.begin(), a.end());
}

}  // namespace

FileNode DescribeLibraryFile(const std::u16string& name, const FileText& text) {
  FileNode node;
  node.name = name;
  if (!text.ok) {
    node.error = text.error.description;
    return node;
  }
  vbs::Engine engine;
  if (!engine.CompileCode(text.text)) {
    const vbs::ErrorInfo& e = engine.Error();
    node.error = u"Line " + Num(e.Line) + u": " + e.Description;
    return node;
  }
  const std::vector<std::u16string> headers = ScanHeaderLines(text.text);
  for (const vbs::ProcedureInfo& p : engine.Procedures())
    node.procedures.push_back({p.Name, CallTemplate(headers, p.Name, p.NumArgs)});
  return node;
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
