// The browser's listing without a window: templates from each procedure's
// own header, files that do not compile, and the two layout rules.
#include <gtest/gtest.h>

#include <QDir>

#include "frm_customize.h"
#include "library_tree.h"
#include "script_window_rules.h"
#include "zel_calculator.h"

namespace zel {
namespace {

FileText Text(std::u16string text) {
  FileText f;
  f.ok = true;
  f.text = std::move(text);
  return f;
}

// Template shown for procedure `name` of the file.
std::u16string TemplateOf(const FileNode& f, std::u16string_view name) {
  for (const ProcedureNode& p : f.procedures)
    if (p.name == name) return p.text;
  return u"<missing>";
}

TEST(BrowserTemplates, ComeFromTheProcedureOwnHeader) {
  struct Case {
    const char* what;
    std::u16string file;
    std::u16string name;
    std::u16string expected;
  } cases[] = {
      {"a longer name that contains the procedure's comes first",
       u"Function AreaCircle(r)\r\n  AreaCircle = 3.14 * r * r\r\nEnd Function\r\n"
       u"Function Area(w, h)\r\n  Area = w * h\r\nEnd Function\r\n",
       u"Area", u"Area(w,h)"},
      {"the longer name keeps its own list",
       u"Function AreaCircle(r)\r\nEnd Function\r\nFunction Area(w, h)\r\nEnd Function\r\n",
       u"AreaCircle", u"AreaCircle(r)"},
      {"no parameters, no parentheses", u"Function Pi3\r\n  Pi3 = 3.14\r\nEnd Function\r\n", u"Pi3",
       u"Pi3()"},
      {"no parameters, empty parentheses", u"Function Zero( )\r\n  Zero = 0\r\nEnd Function\r\n",
       u"Zero", u"Zero()"},
      {"trailing comment cut", u"Function F(a, b) ' remark (see G(x))\r\nEnd Function\r\n", u"F",
       u"F(a,b)"},
      {"statement after the header", u"Function Twice(x) : Twice = 2 * x\r\nEnd Function\r\n",
       u"Twice", u"Twice(x)"},
      {"a statement that mentions Function and the name is not a header",
       u"Dim FunctionResult : FunctionResult = 0\r\n"
       u"Function Area(w, h)\r\n  If w < 0 Then Exit Function\r\n  Area = w * h\r\nEnd Function\r\n",
       u"Area", u"Area(w,h)"},
      {"Sub with parameters", u"Public Sub Show(msg, n)\r\n  MsgBox msg\r\nEnd Sub\r\n", u"Show",
       u"Show(msg,n)"},
      {"any letter case, with a modifier", u"private function area(W,  H)\r\nend function\r\n",
       u"area", u"area(W,H)"},
      {"array parameter", u"Function Total(values(), n)\r\nEnd Function\r\n", u"Total",
       u"Total(values(),n)"},
      {"header continued on the next line",
       u"Function Span(a, _\r\n     b)\r\n  Span = b - a\r\nEnd Function\r\n", u"Span", u"Span(a,b)"},
      {"tabs are not blanks", u"Function Tabbed(a,\tb)\r\nEnd Function\r\n", u"Tabbed", u"Tabbed(a,\tb)"},
  };
  for (const Case& c : cases) {
    const FileNode f = DescribeLibraryFile(u"t.vbs", Text(c.file));
    EXPECT_TRUE(f.error.empty()) << c.what;
    EXPECT_EQ(ToQ(TemplateOf(f, c.name)).toStdString(), ToQ(c.expected).toStdString()) << c.what;
  }
}

TEST(BrowserTemplates, ProceduresInDeclarationOrderWithoutRunningTheFile) {
  const FileNode f = DescribeLibraryFile(
      u"t.vbs", Text(u"x = 1 / 0\r\nSub B(p)\r\nEnd Sub\r\nFunction A()\r\nEnd Function\r\n"));
  EXPECT_TRUE(f.error.empty());
  ASSERT_EQ(f.procedures.size(), 2u);
  EXPECT_EQ(f.procedures[0].text, u"B(p)");
  EXPECT_EQ(f.procedures[1].text, u"A()");
}

TEST(BrowserTemplates, FilesThatFailSayWhyAndListNothing) {
  const FileNode bad = DescribeLibraryFile(
      u"bad.vbs", Text(u"Function Ok()\r\nEnd Function\r\n\r\nIf x Then\r\n"));
  EXPECT_TRUE(bad.procedures.empty());
  EXPECT_TRUE(ToQ(bad.error).startsWith("Line ")) << ToQ(bad.error).toStdString();
  EXPECT_GT(bad.error.size(), 8u);

  FileText unreadable;
  unreadable.error.description = u"Bad file mode";
  const FileNode gone = DescribeLibraryFile(u"gone.vbs", unreadable);
  EXPECT_TRUE(gone.procedures.empty());
  EXPECT_EQ(gone.error, u"Bad file mode");
}

TEST(BrowserSelection, OnlyProceduresAreInserted) {
  EXPECT_EQ(ChooseNode(std::nullopt, u"").message, kSelectFunctionText);
  for (TreeNodeKind k : {TreeNodeKind::Root, TreeNodeKind::File, TreeNodeKind::Error}) {
    const SelectOutcome o = ChooseNode(k, u"x.vbs");
    EXPECT_FALSE(o.insert);
    EXPECT_EQ(o.message, kNotAFunctionText);
  }
  const SelectOutcome o = ChooseNode(TreeNodeKind::Procedure, u"Area(w,h)");
  EXPECT_TRUE(o.insert);
  EXPECT_EQ(o.text, u"Area(w,h)");
}

TEST(ToolLayouts, BrowserHeightIsFixedAndButtonsFollowTheTree) {
  for (int width : {4650, 6000, 1000}) {
    const TreeLayout l = ComputeTreeLayout(width);
    EXPECT_EQ(l.height, 4740);
    EXPECT_EQ(l.treeWidth, std::max(0, width - 735 - 505));
    EXPECT_EQ(l.buttonLeft - (120 + l.treeWidth), 168);
  }
}

TEST(ToolLayouts, ScriptWindowMinimumAndRows) {
  // The minimum: 6000 high, 4600 wide; the script box takes what is left.
  ScriptWindowLayout l = ComputeScriptWindowLayout(100, 100);
  EXPECT_EQ(l.height, 6000);
  EXPECT_EQ(l.width, 4600);
  EXPECT_EQ(l.script.height, 1985);
  EXPECT_EQ(l.inMemory.width, 4240);
  EXPECT_EQ(l.script.width, 4240);
  // The default size.
  l = ComputeScriptWindowLayout(4605, 7365);
  EXPECT_EQ(l.script.height, 3350);
  EXPECT_EQ(l.exe.top, 6385);
  EXPECT_EQ(l.exitButton.top, 2295);
  EXPECT_EQ(l.script.top, 2915);
  // Execute, Export, Import: each a third of the row, side by side.
  l = ComputeScriptWindowLayout(6360, 8000);
  EXPECT_EQ(l.exe.width, 2000);
  EXPECT_EQ(l.exportButton.left, l.exe.left + 2000);
  EXPECT_EQ(l.importButton.left, l.exportButton.left + 2000);
  EXPECT_EQ(l.importButton.top, l.exe.top);
  EXPECT_EQ(l.exitButton.width, 6000);
}

TEST(ScriptWindowRules, TranscriptImportAndExport) {
  EXPECT_EQ(TranscriptAfterExecute(u"", u""), u"\r\n");
  EXPECT_EQ(TranscriptAfterExecute(u"a = 1\r\n", u"b"), u"a = 1\r\nb\r\n");
  EXPECT_EQ(ScriptAfterImport(u"", Text(u"x = 1")), std::optional<std::u16string>(u"\r\nx = 1"));
  EXPECT_EQ(ScriptAfterImport(u"a", Text(u"b\r\n")), std::optional<std::u16string>(u"a\r\nb\r\n"));
  EXPECT_FALSE(ScriptAfterImport(u"a", Text(u"")).has_value());
  EXPECT_FALSE(ScriptAfterImport(u"a", FileText{}).has_value());
  EXPECT_EQ(ExportBytes(u"\u7bc4\u56f2\r\nx"), "\xe7\xaf\x84\xe5\x9b\xb2\r\nx");
}

TEST(MaintenanceEdit, SelectedFileOrNewFileAfterTheQuestion) {
  int asked = 0;
  auto yes = [&] { return ++asked, true; };
  auto no = [&] { return ++asked, false; };
  const QString sep = QDir::separator();
  EXPECT_EQ(EditTarget("/lib dir", "a.vbs", no), "/lib dir" + sep + "a.vbs");
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(EditTarget("/lib dir", "", yes), "/lib dir" + sep + "NewVBS.VBS");
  EXPECT_EQ(EditTarget("/lib dir", "", no), QString());
  EXPECT_EQ(asked, 2);
}

}  // namespace
}  // namespace zel
