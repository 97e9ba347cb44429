// Text files written without losing what they held: a full disk, a folder
// that takes no new file, pipes, devices and huge files, and appends in the
// file's own encoding.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

#include "file_encoding.h"
#include "text_file_write.h"

namespace zel {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::string Le(std::u16string_view s) { return *EncodeText(s, TextEncoding::Utf16LE); }
std::string Be(std::u16string_view s) { return *EncodeText(s, TextEncoding::Utf16BE); }

// Writes go through until `budget` bytes are written, then the disk is full.
void FillDiskAfter(FileCalls& calls, size_t budget) {
  auto left = std::make_shared<size_t>(budget);
  calls.write = [left](int fd, const char* data, size_t size) -> long {
    if (*left == 0) {
      errno = ENOSPC;
      return -1;
    }
    const size_t n = std::min(size, *left);
    *left -= n;
    return long(::write(fd, data, n));
  };
}

class TextFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("zelcalc_files_" + std::to_string(rd()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    CurrentFileCalls() = SystemFileCalls();
    fs::remove_all(dir_);
  }
  fs::path Path(const std::string& name) const { return dir_ / name; }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  // What the folder holds: a temporary file left behind shows here.
  std::set<std::string> Names() const {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(dir_)) out.insert(e.path().filename().string());
    return out;
  }
  static auto Never() {
    return [] { return false; };
  }
  fs::path dir_;
};

TEST_F(TextFiles, OverwriteThatFailsLeavesTheOldFileAsItWas) {
  std::string old;
  for (int i = 1; i <= 300; ++i) old += "old line " + std::to_string(i) + "\r\n";
  const std::string fresh(20000, 'n');
  struct Case {
    const char* what;
    std::function<void(FileCalls&)> breakIt;
    WriteFault fault;
    int error;
  } cases[] = {
      {"folder takes no new file",
       [](FileCalls& c) {
         c.open = [](const char*, int, int) {
           errno = EACCES;
           return -1;
         };
       },
       WriteFault::NoTempFile, EACCES},
      {"disk full after 8 KB", [](FileCalls& c) { FillDiskAfter(c, 8192); }, WriteFault::WriteFailed,
       ENOSPC},
      {"flush fails",
       [](FileCalls& c) {
         c.fsync = [](int) {
           errno = EIO;
           return -1;
         };
       },
       WriteFault::WriteFailed, EIO},
  };
  for (const Case& c : cases) {
    Write("log.txt", old);
    c.breakIt(CurrentFileCalls());
    const WriteOutcome o = ReplaceFileContent(Path("log.txt"), fresh);
    CurrentFileCalls() = SystemFileCalls();
    EXPECT_EQ(o.fault, c.fault) << c.what;
    EXPECT_EQ(o.error, c.error) << c.what;
    EXPECT_EQ(Read("log.txt"), old) << c.what;
    EXPECT_EQ(Names(), std::set<std::string>{"log.txt"}) << c.what;
  }
  // A new file is not made either.
  cases[0].breakIt(CurrentFileCalls());
  EXPECT_EQ(ReplaceFileContent(Path("new.txt"), fresh).fault, WriteFault::NoTempFile);
  CurrentFileCalls() = SystemFileCalls();
  EXPECT_FALSE(fs::exists(Path("new.txt")));

  // Done properly, the file is replaced and keeps its permissions; a link
  // still names the replaced file.
  fs::permissions(Path("log.txt"), fs::perms(0640));
  fs::create_symlink(Path("log.txt"), Path("link.txt"));
  EXPECT_TRUE(ReplaceFileContent(Path("link.txt"), fresh).ok());
  EXPECT_EQ(Read("log.txt"), fresh);
  EXPECT_TRUE(fs::is_symlink(Path("link.txt")));
  EXPECT_EQ(fs::status(Path("log.txt")).permissions(), fs::perms(0640));
  EXPECT_EQ(Names(), (std::set<std::string>{"log.txt", "link.txt"}));
}

TEST_F(TextFiles, PipesDevicesAndFoldersAreRefusedUntouched) {
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", Path("zero"));
  fs::create_directory(Path("folder"));
  for (const char* name : {"fifo", "zero", "folder"}) {
    // A pipe nobody writes to would block the open or the read for ever;
    // /dev/zero never ends.
    EXPECT_EQ(AppendText(Path(name), u"x", Never()).fault, WriteFault::NotRegular) << name;
    EXPECT_EQ(ReplaceFileContent(Path(name), "x").fault, WriteFault::NotRegular) << name;
  }
  EXPECT_EQ(fs::status(Path("fifo")).type(), fs::file_type::fifo);
  EXPECT_TRUE(fs::is_symlink(Path("zero")));
  EXPECT_TRUE(fs::is_empty(Path("folder")));
  EXPECT_EQ(AppendText(Path("missing.txt"), u"x", Never()).fault, WriteFault::CannotOpen);
}

TEST_F(TextFiles, AppendReadsOnlyTheStartAndTheEndOfTheFile) {
  // 3 GB, sparse: nothing of it is on the disk, and reading it all would
  // take gigabytes of memory.
  const std::uintmax_t size = 3ull << 30;
  Write("huge.txt", "start");
  fs::resize_file(Path("huge.txt"), size);
  std::vector<std::pair<long long, size_t>> reads;
  CurrentFileCalls().read = [&reads](int fd, char* data, size_t n, long long offset) {
    reads.emplace_back(offset, n);
    return long(::pread(fd, data, n, off_t(offset)));
  };
  ASSERT_TRUE(AppendText(Path("huge.txt"), u"end", Never()).ok());
  CurrentFileCalls() = SystemFileCalls();
  size_t total = 0;
  bool sawEnd = false;
  for (const auto& [offset, n] : reads) {
    total += n;
    const bool atStart = offset + (long long)n <= (long long)kEncodingSampleBytes;
    const bool atEnd = offset >= (long long)(size - kEncodingSampleBytes);
    EXPECT_TRUE(atStart || atEnd) << offset;
    sawEnd = sawEnd || atEnd;
  }
  EXPECT_TRUE(sawEnd);
  EXPECT_LE(total, 2 * kEncodingSampleBytes);
  EXPECT_EQ(fs::file_size(Path("huge.txt")), size + 3);
  std::ifstream in(Path("huge.txt"), std::ios::binary);
  in.seekg(std::streamoff(size));
  std::string last(3, '\0');
  in.read(last.data(), 3);
  EXPECT_EQ(last, "end");
}

TEST_F(TextFiles, AppendThatFailsIsCutBackToTheOldLength) {
  const std::string old = "300 lines of old text\r\n";
  struct Case {
    const char* what;
    std::function<void(FileCalls&)> breakIt;
    int error;
  } cases[] = {
      {"disk full half way", [](FileCalls& c) { FillDiskAfter(c, 4); }, ENOSPC},
      {"flush fails",
       [](FileCalls& c) {
         c.fsync = [](int) {
           errno = EIO;
           return -1;
         };
       },
       EIO},
  };
  for (const Case& c : cases) {
    Write("log.txt", old);
    c.breakIt(CurrentFileCalls());
    const WriteOutcome o = AppendText(Path("log.txt"), u"new text that does not fit", Never());
    CurrentFileCalls() = SystemFileCalls();
    EXPECT_EQ(o.fault, WriteFault::WriteFailed) << c.what;
    EXPECT_EQ(o.error, c.error) << c.what;
    EXPECT_TRUE(o.appending) << c.what;
    EXPECT_TRUE(o.restored) << c.what;
    EXPECT_EQ(Read("log.txt"), old) << c.what;
  }
}

TEST_F(TextFiles, AppendWritesInTheFileOwnEncoding) {
  const std::u16string add = u"\u8A9E\r\n1";  // 語 CR LF 1
  const std::string sjisNihon = "\x93\xfa\x96\x7b", sjisAdd = "\x8c\xea\r\n1";
  const std::string utf8Add = "\xE8\xAA\x9E\r\n1";
  std::u16string japanese;
  for (int i = 0; i < 500; ++i) japanese += u"\u65E5\u672C";
  std::string utf8Long;
  while (utf8Long.size() < 200000) utf8Long += "\xE6\x97\xA5\xE6\x9C\xAC";
  struct Case {
    const char* what;
    std::string before;
    std::string added;
  } cases[] = {
      {"UTF-16 LE with mark", "\xFF\xFE" + Le(u"\u65E5\u672C\r\n"), Le(add)},
      {"UTF-16 BE with mark", "\xFE\xFF" + Be(u"\u65E5\u672C\r\n"), Be(add)},
      {"UTF-16 LE without mark", Le(u"ab\r\n"), Le(add)},
      {"UTF-16 BE without mark", Be(u"ab\r\n"), Be(add)},
      {"UTF-16 LE, Japanese with one line end", Le(japanese + u"\r\n"), Le(add)},
      {"CP932", sjisNihon, sjisAdd},
      {"CP932 only near the end", std::string(200000, 'a') + sjisNihon, sjisAdd},
      {"UTF-8", "\xE6\x97\xA5", utf8Add},
      {"UTF-8 with mark", "\xEF\xBB\xBF" "a", utf8Add},
      // The samples cut characters at both ends: still UTF-8.
      {"UTF-8, long Japanese", utf8Long, utf8Add},
      {"empty", "", utf8Add},
  };
  for (const Case& c : cases) {
    Write("f.txt", c.before);
    const WriteOutcome o = AppendText(Path("f.txt"), add, Never());
    EXPECT_TRUE(o.ok()) << c.what;
    EXPECT_TRUE(Read("f.txt") == c.before + c.added) << c.what;
  }
}

TEST_F(TextFiles, Cp932FileThatCannotHoldTheTextIsRewrittenAsUtf8OnlyWhenAllowed) {
  const std::string sjisNihon = "\x93\xfa\x96\x7b";
  int asked = 0;
  auto answer = [&asked](bool yes) {
    return [&asked, yes] {
      ++asked;
      return yes;
    };
  };
  Write("f.txt", sjisNihon);
  EXPECT_EQ(AppendText(Path("f.txt"), u"\u20AC", answer(false)).fault, WriteFault::Cancelled);
  EXPECT_EQ(Read("f.txt"), sjisNihon);
  EXPECT_TRUE(AppendText(Path("f.txt"), u"\u20AC", answer(true)).ok());
  EXPECT_EQ(Read("f.txt"), "\xE6\x97\xA5\xE6\x9C\xAC\xE2\x82\xAC");  // 日本€
  EXPECT_EQ(asked, 2);

  // Larger than one piece of the rewrite, with a character across each cut.
  std::string big = "a";
  std::string bigUtf8 = "a";
  while (big.size() < (1u << 20) + 4096) {
    big += sjisNihon;
    bigUtf8 += "\xE6\x97\xA5\xE6\x9C\xAC";
  }
  Write("big.txt", big);
  FillDiskAfter(CurrentFileCalls(), 1 << 19);
  const WriteOutcome full = AppendText(Path("big.txt"), u"\u20AC", answer(true));
  CurrentFileCalls() = SystemFileCalls();
  EXPECT_EQ(full.fault, WriteFault::WriteFailed);
  EXPECT_TRUE(Read("big.txt") == big);
  EXPECT_EQ(Names(), (std::set<std::string>{"f.txt", "big.txt"}));
  EXPECT_TRUE(AppendText(Path("big.txt"), u"\u20AC", answer(true)).ok());
  EXPECT_TRUE(Read("big.txt") == bigUtf8 + "\xE2\x82\xAC");
}

}  // namespace
}  // namespace zel
