#include "library_declarations.h"

#include "procedure_templates.h"
#include "vbs/engine.h"

namespace zel {

namespace {

std::u16string Num(long long v) {
  const std::string a = std::to_string(v);
  return std::u16string(a.begin(), a.end());
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; }

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The text of a comment line without its marker; false when the line is
// not a comment.
bool CommentText(std::u16string_view line, std::u16string_view& out) {
  line = Trim(line);
  if (!line.empty() && (line.front() == u'\'' || line.front() == u'\u2019')) {
    line.remove_prefix(1);
  } else if (line.size() >= 3 && (line[0] == u'R' || line[0] == u'r') &&
             (line[1] == u'E' || line[1] == u'e') && (line[2] == u'M' || line[2] == u'm') &&
             (line.size() == 3 || IsBlank(line[3]))) {
    line.remove_prefix(3);
  } else {
    return false;
  }
  if (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  out = line;
  return true;
}

}  // namespace

bool IsProcedureKind(NameKind kind) {
  return kind == NameKind::Function || kind == NameKind::Sub || kind == NameKind::BuiltinFunction;
}

namespace {

// Where each line of `text` starts, and where it ends (before its line end).
struct LineIndex {
  std::vector<std::pair<size_t, size_t>> lines;
  explicit LineIndex(std::u16string_view text) {
    size_t pos = 0;
    for (;;) {
      size_t end = pos;
      while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
      lines.emplace_back(pos, end);
      if (end >= text.size()) break;
      if (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ++end;
      pos = end + 1;
    }
  }
};

std::u16string CommentAbove(std::u16string_view text, const LineIndex& index, int line) {
  if (line < 1 || size_t(line) > index.lines.size()) return {};
  auto at = [&](size_t i) {
    return text.substr(index.lines[i].first, index.lines[i].second - index.lines[i].first);
  };
  const size_t header = size_t(line - 1);
  size_t first = header;
  std::u16string_view body;
  while (first > 0 && CommentText(at(first - 1), body)) --first;
  std::u16string out;
  for (size_t i = first; i < header; ++i) {
    CommentText(at(i), body);
    if (i > first) out += u'\n';
    out += body;
  }
  return out;
}

}  // namespace

std::u16string CommentAbove(std::u16string_view text, int line) {
  return CommentAbove(text, LineIndex(text), line);
}

FileDeclarations DeclareLibraryText(const std::u16string& file, const FileText& text) {
  FileDeclarations d;
  d.file = file;
  if (!text.ok) {
    d.error = text.error.description;
    return d;
  }
  vbs::Engine engine;
  if (!engine.CompileCode(text.text)) {
    const vbs::ErrorInfo& e = engine.Error();
    d.error = u"Line " + Num(e.Line) + u": " + e.Description;
    return d;
  }
  const std::vector<std::u16string> headers = ScanHeaderLines(text.text);
  const CallTemplates templates(headers);
  const LineIndex lines(text.text);
  for (vbs::ProcedureInfo& p : engine.Procedures()) {
    Declaration n;
    n.kind = p.IsFunction ? NameKind::Function : NameKind::Sub;
    n.callTemplate = templates.For(p.Name, p.NumArgs);
    n.description = CommentAbove(text.text, lines, p.Line);
    n.line = p.Line;
    n.params = std::move(p.Params);
    n.name = std::move(p.Name);
    d.names.push_back(std::move(n));
  }
  for (vbs::GlobalNameInfo& g : engine.GlobalNames()) {
    Declaration n;
    n.kind = g.kind == vbs::GlobalNameInfo::Class      ? NameKind::Class
             : g.kind == vbs::GlobalNameInfo::Constant ? NameKind::Const
                                                        : NameKind::Variable;
    if (g.Line > 0) n.description = CommentAbove(text.text, lines, g.Line);
    n.line = g.Line;
    n.name = std::move(g.Name);
    d.names.push_back(std::move(n));
  }
  return d;
}

}  // namespace zel
