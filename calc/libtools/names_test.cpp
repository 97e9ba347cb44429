// The names the input line knows: what the library declares (with the
// descriptions above its headers), the built-ins from the manual's tables,
// the order names are offered in, and how the line is read around the
// caret for completion, hints and highlighting.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "call_context.h"
#include "library_declarations.h"
#include "library_loader.h"
#include "name_catalogue.h"
#include "vbs/textcodec.h"
#include "vbs_tokens.h"

namespace zel {
namespace {

std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

FileText Text(std::u16string_view s) { return FileText{true, std::u16string(s), {}}; }

std::u16string U(const std::string& s) { return vbs::Utf8ToUtf16(s); }

const FunctionDescriptions& ManualDescriptions() {
  static const FunctionDescriptions d =
      ParseFunctionDescriptions(ReadAll(std::filesystem::path(ZEL_DOCS_DIR) / "vbs" / "functions.txt"));
  return d;
}

class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(::testing::TempDir()) /
           ("names_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  std::vector<FileDeclarations> Declare() {
    std::vector<FileDeclarations> out;
    for (const SharedDeclarations& d :
         cache_.Declare(ListLibraryFiles(dir_), [this](const LibraryFile& f) {
           ++reads_;
           return ReadLibraryFile(f.path);
         }))
      out.push_back(*d);
    return out;
  }
  int reads_ = 0;
  std::filesystem::path dir_;
  DeclarationCache cache_;
};

const Declaration* Named(const FileDeclarations& d, std::u16string_view name) {
  for (const Declaration& n : d.names)
    if (n.name == name) return &n;
  return nullptr;
}

TEST(LibraryDeclarations, DescriptionIsTheCommentBlockRightAboveTheHeader) {
  const std::u16string text =
      u"' File header, not about Area\r\n\r\n"
      u"' Area of a rectangle.\r\n'\r\n'   w and h in metres\r\n"
      u"Function Area(w, h)\r\n  Area = w * h\r\nEnd Function\r\n"
      u"Sub NoNote(x)\r\nEnd Sub\r\n"
      u"' Not directly above:\r\n\r\nFunction Gap()\r\nEnd Function\n"
      u"Rem Told by Rem\rClass Pipe\rEnd Class\r"
      u"Const LIMIT = 3\r\nDim shared\r\n";
  const FileDeclarations d = DeclareLibraryText(u"a.vbs", Text(text));
  ASSERT_TRUE(d.error.empty());
  const Declaration* area = Named(d, u"Area");
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->description, u"Area of a rectangle.\n\n  w and h in metres");
  EXPECT_EQ(area->params, (std::vector<std::u16string>{u"w", u"h"}));
  EXPECT_EQ(area->callTemplate, u"Area(w,h)");
  EXPECT_EQ(area->kind, NameKind::Function);
  ASSERT_NE(Named(d, u"NoNote"), nullptr);
  EXPECT_EQ(Named(d, u"NoNote")->kind, NameKind::Sub);
  EXPECT_EQ(Named(d, u"NoNote")->description, u"");
  EXPECT_EQ(Named(d, u"Gap")->description, u"");
  ASSERT_NE(Named(d, u"Pipe"), nullptr);
  EXPECT_EQ(Named(d, u"Pipe")->kind, NameKind::Class);
  EXPECT_EQ(Named(d, u"Pipe")->description, u"Told by Rem");
  EXPECT_EQ(Named(d, u"LIMIT")->kind, NameKind::Const);
  EXPECT_EQ(Named(d, u"shared")->kind, NameKind::Variable);
}

TEST(LibraryDeclarations, ExampleLibraryDescribesItsProcedures) {
  const FileText t = ReadLibraryFile(std::filesystem::path(ZEL_EXAMPLES_DIR) / "Fluids.vbs");
  const FileDeclarations d = DeclareLibraryText(u"Fluids.vbs", t);
  ASSERT_TRUE(d.error.empty()) << vbs::Utf16ToUtf8(d.error);
  const Declaration* re = Named(d, u"Reynolds");
  ASSERT_NE(re, nullptr);
  EXPECT_EQ(re->description,
            u"Reynolds number from density [kg/m3], velocity [m/s], inner diameter [mm]\n"
            u"and dynamic viscosity [cP].");
  EXPECT_EQ(re->params, (std::vector<std::u16string>{u"density", u"velocity", u"innerDiameterMm", u"viscosityCp"}));
  EXPECT_EQ(Named(d, u"FLU_PI")->kind, NameKind::Const);
}

TEST_F(FolderTest, FilesInUtf8AndCp932WithAnyLineEndAndOneThatDoesNotCompile) {
  Write("a.vbs", "' \xe7\xae\xa1\xe3\x81\xae\xe6\x96\xad\xe9\x9d\xa2\xe7\xa9\x8d\r\nFunction Sec(d)\r\nEnd Function\r\n");
  // CP932: the second byte of a character may be an ASCII letter.
  Write("b.vbs", "' \x8a\xc7\x82\xcc\x92\x66\x96\xca\x90\xcf\r\nFunction SecJ(d)\r\nEnd Function\r\n");
  Write("c.vbs", "' Only LF\nFunction Lf()\nEnd Function\n' Only CR\rFunction Cr()\rEnd Function\r");
  Write("d.vbs", "Function Broken(\r\n");
  const std::vector<FileDeclarations> files = Declare();
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(Named(files[0], u"Sec")->description, U("管の断面積"));
  EXPECT_EQ(Named(files[1], u"SecJ")->description, U("管の断面積"));
  EXPECT_EQ(Named(files[2], u"Lf")->description, u"Only LF");
  EXPECT_EQ(Named(files[2], u"Cr")->description, u"Only CR");
  EXPECT_TRUE(files[3].names.empty());
  EXPECT_NE(files[3].error.find(u"Line 1"), std::u16string::npos);

  // The catalogue holds what compiled; the broken file takes nothing away.
  NameCatalogue c;
  c.SetLibrary(files);
  EXPECT_NE(c.Find(u"secj"), nullptr);
  EXPECT_EQ(c.Find(u"SecJ")->file, u"b.vbs");
  EXPECT_EQ(c.Find(u"Broken"), nullptr);
}

TEST_F(FolderTest, ChangedAddedAndRemovedFilesAreSeenAgain) {
  Write("a.vbs", "Function One()\r\nEnd Function\r\n");
  Write("b.vbs", "Function Two()\r\nEnd Function\r\n");
  ASSERT_EQ(Declare().size(), 2u);
  Write("a.vbs", "Function OneAgain()\r\nEnd Function\r\n");
  std::filesystem::remove(dir_ / "b.vbs");
  Write("c.vbs", "Function Three()\r\nEnd Function\r\n");
  const std::vector<FileDeclarations> files = Declare();
  ASSERT_EQ(files.size(), 2u);
  EXPECT_NE(Named(files[0], u"OneAgain"), nullptr);
  EXPECT_EQ(Named(files[0], u"One"), nullptr);
  EXPECT_EQ(files[1].file, u"c.vbs");
  // Kept texts are handed out again unchanged. A file changed just now is
  // read again each time (another change could share its time of change);
  // one changed long ago, not while its size and time stay.
  reads_ = 0;
  EXPECT_EQ(Declare()[1].names[0].name, u"Three");
  EXPECT_EQ(reads_, 2);
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  std::filesystem::last_write_time(dir_ / "a.vbs", old);
  std::filesystem::last_write_time(dir_ / "c.vbs", old);
  Declare();
  reads_ = 0;
  EXPECT_EQ(Declare().size(), 2u);
  EXPECT_EQ(reads_, 0);
  // Same size, other time: read, and compiled again.
  Write("c.vbs", "Function Three()\r\nEnd Function\r\n");
  std::filesystem::last_write_time(dir_ / "c.vbs", old + std::chrono::minutes(1));
  Write("a.vbs", "Function OneAgaiN()\r\nEnd Function\r\n");
  std::filesystem::last_write_time(dir_ / "a.vbs", old + std::chrono::minutes(1));
  const std::vector<FileDeclarations> again = Declare();
  EXPECT_EQ(reads_, 2);
  EXPECT_EQ(again[0].names[0].name, u"OneAgaiN");
}

TEST(NameCatalogue, BuiltinsComeFromTheManualsTables) {
  const std::vector<CatalogueEntry> builtins = BuiltinNames(ManualDescriptions());
  NameCatalogue c;
  c.SetBuiltins(builtins);
  const CatalogueEntry* mid = c.Find(u"MID");
  ASSERT_NE(mid, nullptr);
  EXPECT_EQ(mid->kind, NameKind::BuiltinFunction);
  EXPECT_EQ(mid->signature, u"Mid(text, start [, length])");
  ASSERT_EQ(mid->paramSpans.size(), 3u);
  EXPECT_EQ(mid->signature.substr(mid->paramSpans[2].first, mid->paramSpans[2].second), u"length");
  EXPECT_TRUE(mid->takesArguments);
  EXPECT_FALSE(mid->description.empty());
  EXPECT_EQ(mid->description.find(u". "), std::u16string::npos) << "one sentence";
  EXPECT_FALSE(c.Find(u"Now")->takesArguments);
  const CatalogueEntry* crlf = c.Find(u"vbcrlf");
  ASSERT_NE(crlf, nullptr);
  EXPECT_EQ(crlf->kind, NameKind::BuiltinConst);
  EXPECT_EQ(crlf->description, u"vbCrLf = Chr(13) & Chr(10)");
  EXPECT_EQ(c.Find(u"vbYes")->description, u"vbYes = 6");
  EXPECT_EQ(c.Find(u"zelio")->kind, NameKind::BuiltinObject);
  EXPECT_EQ(c.Find(u"Err")->helpKeyword, u"Err object");
  // Every function of the engine is there, described.
  size_t functions = 0;
  for (const CatalogueEntry& e : builtins)
    if (e.kind == NameKind::BuiltinFunction) {
      ++functions;
      EXPECT_FALSE(e.description.empty()) << vbs::Utf16ToUtf8(e.name);
    }
  EXPECT_EQ(functions, ManualDescriptions().size());
}

std::vector<std::u16string> Names(const std::vector<const CatalogueEntry*>& list) {
  std::vector<std::u16string> r;
  for (const CatalogueEntry* e : list) r.push_back(e->name);
  return r;
}

TEST(NameCatalogue, OffersPrefixThenContainedMatchesLibraryFirst) {
  NameCatalogue c;
  std::vector<CatalogueEntry> builtins;
  for (const char16_t* n : {u"Round", u"Rnd", u"Replace", u"CStr", u"Error"}) {
    Declaration d{n, NameKind::BuiltinFunction, {}, {}, {}, 0};
    builtins.push_back(EntryOf(d, NameSource::Builtin, {}));
  }
  c.SetBuiltins(builtins);
  FileDeclarations lib{u"f.vbs", {}, {}};
  for (const char16_t* n : {u"Reynolds", u"FluidRe", u"rePressure", u"Area", u"AreaRect"})
    lib.names.push_back({n, NameKind::Function, {u"x"}, {}, {}, 0});
  c.SetLibrary({lib});

  struct Case {
    std::u16string typed;
    std::vector<std::u16string> offered;
  } cases[] = {
      {u"re", {u"rePressure", u"Reynolds", u"Replace", u"Area", u"AreaRect", u"FluidRe"}},
      {u"RE", {u"rePressure", u"Reynolds", u"Replace", u"Area", u"AreaRect", u"FluidRe"}},
      {u"r", {u"rePressure", u"Reynolds", u"Replace", u"Rnd", u"Round", u"Area", u"AreaRect", u"FluidRe",
              u"CStr", u"Error"}},
      {u"rou", {u"Round"}},
      {u"area", {u"Area", u"AreaRect"}},
      {u"zz", {}},
  };
  for (const Case& k : cases)
    EXPECT_EQ(Names(c.Complete(k.typed, 50)), k.offered) << vbs::Utf16ToUtf8(k.typed);
  EXPECT_EQ(Names(c.Complete(u"re", 2)), (std::vector<std::u16string>{u"rePressure", u"Reynolds"}));
  EXPECT_EQ(c.Complete(u"", 100).size(), 10u);
}

TEST(NameCatalogue, ScriptNamesLastUntilTheNextReloadAndWinOverTheLibrary) {
  NameCatalogue c;
  FileDeclarations lib{u"f.vbs", {{u"Area", NameKind::Function, {u"w", u"h"}, {}, u"library", 0}}, {}};
  c.SetLibrary({lib});
  FileDeclarations script{u"", {{u"AREA", NameKind::Function, {u"r"}, {}, u"script", 0},
                                {u"Tally", NameKind::Variable, {}, {}, {}, 0}}, {}};
  c.AddScript(script);
  ASSERT_NE(c.Find(u"area"), nullptr);
  EXPECT_EQ(c.Find(u"area")->description, u"script");
  EXPECT_EQ(c.Find(u"area")->signature, u"AREA(r)");
  EXPECT_EQ(Names(c.Complete(u"ar", 10)), (std::vector<std::u16string>{u"AREA"}));
  // A second Execute declaring Tally as a function replaces the variable.
  c.AddScript({u"", {{u"Tally", NameKind::Function, {}, {}, {}, 0}}, {}});
  EXPECT_EQ(c.Find(u"tally")->kind, NameKind::Function);
  EXPECT_FALSE(c.Find(u"tally")->takesArguments);
  EXPECT_EQ(c.Size(), 2u);
  // Reload: a new engine without the scripts' names.
  c.SetLibrary({lib});
  EXPECT_EQ(c.Find(u"area")->description, u"library");
  EXPECT_EQ(c.Find(u"Tally"), nullptr);
}

TEST(CallContext, InnermostCallAndArgumentAtTheCaret) {
  struct Case {
    std::u16string line;  // "|" marks the caret
    std::u16string name;  // empty: no call
    int argument;
  } cases[] = {
      {u"Reynolds(|", u"Reynolds", 0},
      {u"Reynolds(998, 1.5|", u"Reynolds", 1},
      {u"Reynolds(998, PipeArea(|", u"PipeArea", 0},
      {u"Reynolds(998, PipeArea(50), |", u"Reynolds", 2},
      {u"Reynolds (998, |", u"Reynolds", 1},
      {u"Reynolds(\"a, (b\", |", u"Reynolds", 1},
      {u"Reynolds(\"a, (b|\"", u"", 0},
      {u"Reynolds(\"say \"\"(\"\", ok\", |", u"Reynolds", 1},
      {u"Reynolds(1, (2 + 3|", u"Reynolds", 1},
      {u"Reynolds(1, 2) + |", u"", 0},
      {u"2 * (3 + |", u"", 0},
      {u"x = Area(1, 2) ' Area(3, |", u"", 0},
      {u"Mid(Left(s, 3), 2, |)", u"Mid", 2},
      {u"If(|", u"", 0},
  };
  for (const Case& k : cases) {
    std::u16string line = k.line;
    const size_t caret = line.find(u'|');
    line.erase(caret, 1);
    const std::optional<CallContext> c = FindCallContext(line, caret);
    if (k.name.empty()) {
      EXPECT_FALSE(c.has_value()) << vbs::Utf16ToUtf8(k.line);
      continue;
    }
    ASSERT_TRUE(c.has_value()) << vbs::Utf16ToUtf8(k.line);
    EXPECT_EQ(c->name, k.name) << vbs::Utf16ToUtf8(k.line);
    EXPECT_EQ(c->argument, k.argument) << vbs::Utf16ToUtf8(k.line);
    EXPECT_FALSE(c->member);
  }
  const std::optional<CallContext> m = FindCallContext(u"zelIO.getData(1, ", 17);
  ASSERT_TRUE(m.has_value());
  EXPECT_TRUE(m->member);
}

TEST(CallContext, TheNameBeingTypedAndTheNameUnderTheCaret) {
  struct Case {
    std::u16string line;
    std::u16string typed;  // before the caret; empty: none
    std::u16string under;
  } cases[] = {
      {u"Rey|", u"Rey", u"Rey"},
      {u"2*Rey|nolds(1)", u"Rey", u"Reynolds"},
      {u"x.Rey|", u"", u"Rey"},
      {u"\"Rey|\"", u"", u""},
      {u"1 ' Rey|", u"", u""},
      {u"1E5|", u"", u""},
      {u"&HFF|", u"", u""},
      {u"a & Re|", u"Re", u"Re"},
      {u"Area(1) |", u"", u""},
      {u"|Area(1)", u"", u"Area"},
  };
  for (const Case& k : cases) {
    std::u16string line = k.line;
    const size_t caret = line.find(u'|');
    line.erase(caret, 1);
    const std::optional<NameSpan> t = TypedName(line, caret);
    EXPECT_EQ(t ? line.substr(t->start, t->length) : u"", k.typed) << vbs::Utf16ToUtf8(k.line);
    const std::optional<NameSpan> n = NameAtCaret(line, caret);
    EXPECT_EQ(n ? line.substr(n->start, n->length) : u"", k.under) << vbs::Utf16ToUtf8(k.line);
  }
}

TEST(Tokens, KeywordsStringsNumbersCommentsAndKnownNames) {
  const NameClassifier known = [](std::u16string_view name) -> std::optional<TokenKind> {
    if (name == u"Reynolds") return TokenKind::LibraryName;
    if (name == u"Sqr") return TokenKind::BuiltinName;
    return std::nullopt;
  };
  struct Case {
    std::u16string line;
    std::vector<std::pair<std::u16string, TokenKind>> tokens;
  } cases[] = {
      {u"If x > 1.5E-3 Then y = \"a \"\" b\" ' done",
       {{u"If", TokenKind::Keyword}, {u"1.5E-3", TokenKind::Number}, {u"Then", TokenKind::Keyword},
        {u"\"a \"\" b\"", TokenKind::String}, {u"' done", TokenKind::Comment}}},
      {u"Reynolds(998, Sqr(2)) + &HFF + .5", {{u"Reynolds", TokenKind::LibraryName}, {u"998", TokenKind::Number},
        {u"Sqr", TokenKind::BuiltinName}, {u"2", TokenKind::Number}, {u"&HFF", TokenKind::Number},
        {u".5", TokenKind::Number}}},
      {u"obj.Reynolds x2 \"open", {{u"\"open", TokenKind::String}}},
      {u"rem note", {{u"rem note", TokenKind::Comment}}},
      {u"remains = 1", {{u"1", TokenKind::Number}}},
  };
  for (const Case& k : cases) {
    std::vector<std::pair<std::u16string, TokenKind>> got;
    for (const Token& t : TokenizeLine(k.line, known)) got.emplace_back(k.line.substr(t.start, t.length), t.kind);
    EXPECT_EQ(got, k.tokens) << vbs::Utf16ToUtf8(k.line);
  }
}

}  // namespace
}  // namespace zel
