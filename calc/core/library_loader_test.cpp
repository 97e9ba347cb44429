#include "library_loader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>

#include "messages.h"

namespace zel {
namespace {

namespace fs = std::filesystem;

// A stand-in engine that understands just enough: "Dim <name>" lines
// declare names, a second declaration of a name fails with 1041 at that
// line (nothing of the text is then added), and a line "fail" fails with
// 1002. Each successful text is recorded.
class FakeEngine : public CodeTarget {
 public:
  std::set<std::u16string> names;
  std::vector<std::u16string> added;
  ErrorRecord err;
  bool AddCode(std::u16string_view text) override {
    std::set<std::u16string> mine;
    int line = 0;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find(u"\r\n", pos);
      if (end == std::u16string_view::npos) end = text.size();
      std::u16string_view l = text.substr(pos, end - pos);
      ++line;
      if (l.substr(0, 4) == u"Dim ") {
        std::u16string n(l.substr(4));
        if (names.count(n) || mine.count(n)) {
          err = {1041, u"Name redefined", line, 5};
          return false;
        }
        mine.insert(n);
      } else if (l == u"fail") {
        err = {1002, u"Syntax error", line, 1};
        return false;
      }
      pos = end + 2;
    }
    names.insert(mine.begin(), mine.end());
    added.emplace_back(text);
    return true;
  }
  ErrorRecord LastError() const override { return err; }
};

// Answers questions from a queue and records them.
struct Asker {
  Asker() = default;
  explicit Asker(std::vector<int> a) : answers(std::move(a)) {}
  std::vector<int> answers;
  std::vector<std::pair<std::u16string, bool>> asked;
  YesNoQuestion fn() {
    return [this](std::u16string_view text, bool icon) {
      asked.emplace_back(std::u16string(text), icon);
      if (answers.empty()) ADD_FAILURE() << "unexpected question";
      int a = answers.empty() ? kReplyNo : answers.front();
      if (!answers.empty()) answers.erase(answers.begin());
      return a;
    };
  }
};

struct MemFiles {
  std::map<std::u16string, FileText> files;
  std::vector<LibraryFile> list;
  void Add(std::u16string name, std::u16string text) {
    FileText ft;
    ft.ok = true;
    ft.text = std::move(text);
    files[name] = ft;
    list.push_back({name, {}});
  }
  FileReader fn() {
    return [this](const LibraryFile& f) { return files.at(f.name); };
  }
};

TEST(LibraryFileNames, ExtensionComparedWithoutCase) {
  EXPECT_TRUE(IsLibraryFileName(u"a.vbs"));
  EXPECT_TRUE(IsLibraryFileName(u"B.VBS"));
  EXPECT_TRUE(IsLibraryFileName(u"c.Vbs"));
  EXPECT_TRUE(IsLibraryFileName(u"x.y.vbs"));
  EXPECT_FALSE(IsLibraryFileName(u"d.vbs.bak"));
  EXPECT_FALSE(IsLibraryFileName(u"e.txt"));
  EXPECT_FALSE(IsLibraryFileName(u"f"));
  EXPECT_FALSE(IsLibraryFileName(u"g.vbsx"));
  EXPECT_FALSE(IsLibraryFileName(u"vbs"));
}

TEST(Rebuild, CommentsTheGivenLinesAndEndsEveryLineWithCrLf) {
  EXPECT_EQ(RebuildCommentingLines(u"a\r\nb\nc", {2}), u"a\r\n'b\r\nc\r\n");
  EXPECT_EQ(RebuildCommentingLines(u"a\r\nb\r\n", {1, 2}), u"'a\r\n'b\r\n");
  EXPECT_EQ(RebuildCommentingLines(u"a\r\rb", {2}), u"a\r\n'\r\nb\r\n");
  EXPECT_EQ(RebuildCommentingLines(u"", {1}), u"");
  // Line numbers beyond a 16-bit counter are still found.
  std::u16string big;
  for (int i = 0; i < 40000; ++i) big += u"x\n";
  const std::u16string out = RebuildCommentingLines(big, {39999});
  EXPECT_EQ(out.size(), big.size() * 3 / 2 + 1);
  EXPECT_EQ(out.substr(39998 * 3, 4), u"'x\r\n");
}

TEST(LoadLibrary, CleanFilesAreAddedWithoutQuestions) {
  FakeEngine eng;
  MemFiles mf;
  mf.Add(u"a.vbs", u"Dim a\r\n");
  mf.Add(u"b.vbs", u"Dim b");
  Asker ask;
  auto out = LoadLibraryFiles(mf.list, eng, ask.fn(), mf.fn());
  EXPECT_EQ(out.filesAdded, 2);
  EXPECT_FALSE(out.editFile);
  EXPECT_TRUE(ask.asked.empty());
  EXPECT_EQ(eng.added.size(), 2u);
}

TEST(LoadLibrary, DuplicateYesCommentsEachLineInTurn) {
  FakeEngine eng;
  MemFiles mf;
  mf.Add(u"one.vbs", u"Dim x\r\nDim y\r\n");
  mf.Add(u"two.vbs", u"Dim x\r\nDim z\r\nDim y");  // no line end at the end
  Asker ask{{kReplyYes, kReplyYes}};
  auto out = LoadLibraryFiles(mf.list, eng, ask.fn(), mf.fn());
  ASSERT_EQ(ask.asked.size(), 2u);
  EXPECT_EQ(ask.asked[0].first, DuplicateDeclarationText(u"two.vbs", 1));
  EXPECT_EQ(ask.asked[1].first, DuplicateDeclarationText(u"two.vbs", 3));
  EXPECT_FALSE(ask.asked[0].second);  // no icon
  EXPECT_EQ(out.filesAdded, 2);
  ASSERT_EQ(eng.added.size(), 2u);
  // Both repairs stay in the text that is finally added.
  EXPECT_EQ(eng.added[1], u"'Dim x\r\nDim z\r\n'Dim y\r\n");
  EXPECT_TRUE(eng.names.count(u"z"));
}

TEST(LoadLibrary, DuplicateNoLeavesTheWholeFileOut) {
  FakeEngine eng;
  MemFiles mf;
  mf.Add(u"one.vbs", u"Dim x");
  mf.Add(u"two.vbs", u"Dim z\r\nDim x");
  mf.Add(u"three.vbs", u"Dim w");
  Asker ask{{kReplyNo}};
  auto out = LoadLibraryFiles(mf.list, eng, ask.fn(), mf.fn());
  EXPECT_EQ(ask.asked.size(), 1u);
  EXPECT_EQ(out.filesAdded, 2);
  EXPECT_FALSE(eng.names.count(u"z"));
  EXPECT_TRUE(eng.names.count(u"w"));
  EXPECT_FALSE(out.editFile);
  EXPECT_EQ(out.notLoaded, std::vector<std::u16string>{u"two.vbs"});
}

TEST(LoadLibrary, LoadErrorYesGoesOnNoAsksForTheEditor) {
  {
    FakeEngine eng;
    MemFiles mf;
    mf.Add(u"bad.vbs", u"Dim a\r\nfail");
    mf.Add(u"good.vbs", u"Dim g");
    Asker ask{{kReplyYes}};
    auto out = LoadLibraryFiles(mf.list, eng, ask.fn(), mf.fn());
    ASSERT_EQ(ask.asked.size(), 1u);
    EXPECT_EQ(ask.asked[0].first, LoadErrorText(1002, u"Syntax error", u"bad.vbs", 2, 1));
    EXPECT_TRUE(ask.asked[0].second);  // question icon
    EXPECT_FALSE(out.editFile);
    EXPECT_EQ(out.filesAdded, 1);
    EXPECT_TRUE(eng.names.count(u"g"));
    EXPECT_EQ(out.notLoaded, std::vector<std::u16string>{u"bad.vbs"});
  }
  {
    FakeEngine eng;
    MemFiles mf;
    mf.Add(u"bad.vbs", u"fail");
    mf.Add(u"good.vbs", u"Dim g");
    mf.Add(u"last.vbs", u"Dim l");
    Asker ask{{kReplyNo}};
    auto out = LoadLibraryFiles(mf.list, eng, ask.fn(), mf.fn());
    ASSERT_TRUE(out.editFile);
    EXPECT_EQ(out.editFile->name, u"bad.vbs");
    EXPECT_EQ(out.filesAdded, 0);  // loading stopped there
    EXPECT_FALSE(eng.names.count(u"g"));
    EXPECT_EQ(out.notLoaded, (std::vector<std::u16string>{u"bad.vbs", u"good.vbs", u"last.vbs"}));
  }
}

TEST(LoadLibrary, RepeatedDuplicateOnACommentedLineDoesNotLoopForever) {
  // An engine that keeps blaming line 1 whatever it is given.
  struct Stubborn : CodeTarget {
    int calls = 0;
    bool AddCode(std::u16string_view) override { ++calls; return false; }
    ErrorRecord LastError() const override { return {1041, u"Name redefined", 1, 1}; }
  } eng;
  MemFiles mf;
  mf.Add(u"s.vbs", u"Dim q");
  Asker ask{{kReplyYes, kReplyYes}};
  auto out = LoadLibraryFiles(mf.list, eng, ask.fn(), mf.fn());
  ASSERT_EQ(ask.asked.size(), 2u);
  EXPECT_EQ(ask.asked[1].first, LoadErrorText(1041, u"Name redefined", u"s.vbs", 1, 1));
  EXPECT_EQ(eng.calls, 2);
  EXPECT_FALSE(out.editFile);
}

TEST(LoadLibrary, UnreadableFileIsReportedAndSkippedOnYes) {
  FakeEngine eng;
  MemFiles mf;
  mf.Add(u"a.vbs", u"Dim a");
  mf.list.push_back({u"gone.vbs", {}});
  mf.files[u"gone.vbs"] = FileText{false, u"", {53, u"File not found", 0, 0}};
  mf.Add(u"c.vbs", u"Dim c");
  Asker ask{{kReplyYes}};
  auto out = LoadLibraryFiles(mf.list, eng, ask.fn(), mf.fn());
  ASSERT_EQ(ask.asked.size(), 1u);
  EXPECT_EQ(ask.asked[0].first, LoadErrorText(53, u"File not found", u"gone.vbs", 0, 0));
  // The previous file's text is not added again in its place.
  EXPECT_EQ(eng.added.size(), 2u);
  EXPECT_EQ(out.filesAdded, 2);
  EXPECT_EQ(out.notLoaded, std::vector<std::u16string>{u"gone.vbs"});
}

class LibraryFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("zelcalc_core_" + std::to_string(rd()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  fs::path dir_;
};

TEST_F(LibraryFolder, ListingTakesVbsFilesOfAnyCaseOnly) {
  for (auto n : {"a.vbs", "B.VBS", "c.Vbs", "d.vbs.bak", "e.txt", "f"}) Write(n, "x");
  fs::create_directories(dir_ / "sub.vbs");
  Write("sub.vbs/inner.vbs", "x");
  auto files = ListLibraryFiles(dir_);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].name, u"a.vbs");
  EXPECT_EQ(files[1].name, u"B.VBS");
  EXPECT_EQ(files[2].name, u"c.Vbs");
  EXPECT_THROW(ListLibraryFiles(dir_ / "missing"), fs::filesystem_error);
}

TEST_F(LibraryFolder, ReadingDecodesUtf8AndCp932AndRefusesJunk) {
  Write("u.vbs", "\xEF\xBB\xBF" "a = \"\xE5\x86\x86\"");  // BOM + U+5186
  Write("s.vbs", "a = \"\x89\x7E\"");                       // the same in CP932
  Write("bin.vbs", std::string("MZ\0\0\x01", 5));
  Write("junk.vbs", "\x81\x20\xFF");
  auto u = ReadLibraryFile(dir_ / "u.vbs");
  ASSERT_TRUE(u.ok);
  EXPECT_EQ(u.text, u"a = \"\u5186\"");
  auto s = ReadLibraryFile(dir_ / "s.vbs");
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.text, u"a = \"\u5186\"");
  auto b = ReadLibraryFile(dir_ / "bin.vbs");
  EXPECT_FALSE(b.ok);
  EXPECT_NE(b.error.number, 0);
  auto j = ReadLibraryFile(dir_ / "junk.vbs");
  EXPECT_FALSE(j.ok);
  EXPECT_NE(j.error.number, 0);
  auto m = ReadLibraryFile(dir_ / "missing.vbs");
  EXPECT_FALSE(m.ok);
  EXPECT_EQ(m.error.number, 53);
}

TEST_F(LibraryFolder, Utf16WithAMarkIsReadInEitherByteOrder) {
  using namespace std::string_literals;
  // "Function F()" CR LF "F = \"\u5186\"" as a Windows editor saves it as Unicode.
  const std::u16string text = u"Function F()\r\nF = \"\u5186\"";
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (char16_t c : text) {
    le += {char(c & 0xFF), char(c >> 8)};
    be += {char(c >> 8), char(c & 0xFF)};
  }
  Write("le.vbs", le);
  Write("be.vbs", be);
  Write("nul.vbs", "\xFF\xFEx\0\0\0y\0"s);  // a NUL character: binary after all
  Write("odd.vbs", "\xFF\xFEx\0y"s);
  for (const char* name : {"le.vbs", "be.vbs"}) {
    const FileText r = ReadLibraryFile(dir_ / name);
    ASSERT_TRUE(r.ok) << name;
    EXPECT_EQ(r.text, text) << name;
  }
  for (const char* name : {"nul.vbs", "odd.vbs"}) {
    const FileText r = ReadLibraryFile(dir_ / name);
    EXPECT_FALSE(r.ok) << name;
    EXPECT_EQ(r.error.number, 54) << name;
  }
}

TEST_F(LibraryFolder, OversizedFileIsRefusedWithoutReadingIt) {
  {
    std::ofstream big(dir_ / "big.vbs", std::ios::binary);
    big.seekp(std::streamoff(kMaxLibraryFileBytes));
    big.put('x');
  }
  auto r = ReadLibraryFile(dir_ / "big.vbs");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error.number, 7);
}

}  // namespace
}  // namespace zel
