// The kept log: what a restart reads back, the cap, what a crash leaves
// (a partial last line, a process killed while logging), damaged files and
// the backup on clearing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "kept_log.h"

namespace zel {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
void Put(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

class KeptLog : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("kept-log-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(KeptLog, LoggedTextComesBackAsTheSameLogAfterARestart) {
  const fs::path file = dir_ / "log.txt";
  const std::u16string logged[] = {u"\r\n『1+2』\r\n3", u"\r\n『\"a\" & vbCrLf & \"b\"』\r\na\r\nb",
                                   u"\r\n1+1 ' note", u"\r\n", u"\r\nΩ 日本語 😀"};
  std::u16string log;
  {
    KeptFile f;
    ASSERT_TRUE(f.Open(file));
    for (const auto& t : logged) {
      log += t;
      ASSERT_TRUE(f.Append(KeptLinesFromLogged(t)));
    }
  }
  const KeptRead r = ReadKeptLines(file, kKeptLogLineCap);
  ASSERT_EQ(r.status, KeptReadStatus::Read);
  EXPECT_FALSE(r.partialDropped);
  std::u16string crlf;
  for (char16_t c : LoggedFromKeptLines(r.lines)) {
    if (c == u'\n') crlf += u'\r';
    crlf += c;
  }
  EXPECT_EQ(crlf, log);

  // History entries survive line breaks and backslashes in them.
  for (std::u16string entry : {u"a\\nb", u"x\ny\r\\", u"", u"\\"})
    EXPECT_EQ(UnescapeHistoryEntry(EscapeHistoryEntry(entry)), entry);
}

TEST_F(KeptLog, ReadingKeepsOnlyTheNewestLinesUpToTheCapAndCompactingCutsTheFile) {
  const fs::path file = dir_ / "log.txt";
  std::vector<std::u16string> lines;
  for (int i = 0; i < 25; ++i) lines.push_back(u"line " + std::u16string(1, char16_t(u'a' + i)));
  Put(file, EncodeKeptLines(lines));
  const KeptRead r = ReadKeptLines(file, 10);
  ASSERT_EQ(r.status, KeptReadStatus::Read);
  EXPECT_EQ(r.completeLines, 25u);
  ASSERT_EQ(r.lines.size(), 10u);
  EXPECT_EQ(r.lines.front(), u"line p");
  EXPECT_EQ(r.lines.back(), u"line y");

  ASSERT_TRUE(CompactKeptFile(file, 10).ok());
  EXPECT_EQ(Bytes(file), EncodeKeptLines(std::vector<std::u16string>(lines.end() - 10, lines.end())));
  // A file within the cap is not rewritten.
  const auto before = fs::last_write_time(file);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(CompactKeptFile(file, 10).ok());
  EXPECT_EQ(fs::last_write_time(file), before);
}

TEST_F(KeptLog, APartlyWrittenLastLineIsDroppedAndTheNextAppendStartsClean) {
  const fs::path file = dir_ / "log.txt";
  // A crash in the middle of a multi-byte character as well.
  Put(file, "one\ntwo\nthr\xe6\x97");
  KeptRead r = ReadKeptLines(file, 100);
  ASSERT_EQ(r.status, KeptReadStatus::Read);
  EXPECT_TRUE(r.partialDropped);
  EXPECT_EQ(r.lines, (std::vector<std::u16string>{u"one", u"two"}));

  KeptFile f;
  ASSERT_TRUE(f.Open(file));
  ASSERT_TRUE(f.Append({u"four"}));
  EXPECT_EQ(Bytes(file), "one\ntwo\nfour\n");
}

TEST_F(KeptLog, AFileThatIsNotTextOrCannotBeReadIsToldApartFromAMissingOne) {
  EXPECT_EQ(ReadKeptLines(dir_ / "none.txt", 10).status, KeptReadStatus::Missing);
  Put(dir_ / "cp932.txt", "\x82\xa0\x82\xa2\n");  // Shift-JIS text
  EXPECT_EQ(ReadKeptLines(dir_ / "cp932.txt", 10).status, KeptReadStatus::Damaged);
  Put(dir_ / "zeros.txt", std::string("ok\n\0\0\0\0\n", 9));  // blocks a power cut left unwritten
  EXPECT_EQ(ReadKeptLines(dir_ / "zeros.txt", 10).status, KeptReadStatus::Damaged);
  fs::create_directory(dir_ / "folder.txt");
  EXPECT_EQ(ReadKeptLines(dir_ / "folder.txt", 10).status, KeptReadStatus::Unreadable);

  const fs::path aside = SetKeptFileAside(dir_ / "cp932.txt", "20261208-131500");
  ASSERT_FALSE(aside.empty());
  EXPECT_FALSE(fs::exists(dir_ / "cp932.txt"));
  EXPECT_EQ(Bytes(aside), "\x82\xa0\x82\xa2\n");
  // A second damaged file in the same second gets a name of its own.
  Put(dir_ / "cp932.txt", "\xff\n");
  const fs::path second = SetKeptFileAside(dir_ / "cp932.txt", "20261208-131500");
  ASSERT_FALSE(second.empty());
  EXPECT_NE(second, aside);
  EXPECT_EQ(Bytes(aside), "\x82\xa0\x82\xa2\n");
}

TEST_F(KeptLog, ClearingMovesTheContentToOneBackupReplacingTheOneBefore) {
  const fs::path file = dir_ / "log.txt", backup = dir_ / "log.bak";
  Put(file, "first\n");
  ASSERT_TRUE(MoveKeptToBackup(file, backup));
  EXPECT_FALSE(fs::exists(file));
  Put(file, "second\n");
  ASSERT_TRUE(MoveKeptToBackup(file, backup));
  EXPECT_EQ(Bytes(backup), "second\n");
  // Nothing kept yet: nothing to move, the backup stays.
  ASSERT_TRUE(MoveKeptToBackup(file, backup));
  EXPECT_EQ(Bytes(backup), "second\n");
}

TEST_F(KeptLog, AProcessKilledWhileLoggingLosesAtMostTheLineBeingWritten) {
  const fs::path file = dir_ / "log.txt";
  // Long lines, so that the kill has a fair chance of landing in a write.
  const std::u16string pad(3000, u'x');
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    KeptFile f;
    if (!f.Open(file)) ::_exit(2);
    for (int i = 0;; ++i) {
      std::u16string n;
      for (char c : std::to_string(i)) n += char16_t(c);
      if (!f.Append({u"『" + n + u"』", n + u" " + pad})) ::_exit(3);
    }
  }
  // Kill it once it has logged for a while.
  for (int i = 0; i < 2000 && (!fs::exists(file) || fs::file_size(file) < 600000); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));

  const KeptRead r = ReadKeptLines(file, 1000000);
  ASSERT_EQ(r.status, KeptReadStatus::Read);
  ASSERT_GT(r.lines.size(), 100u);
  // Every line read is whole and in order; only the last pair may be cut
  // after its first line.
  for (size_t i = 0; i < r.lines.size(); ++i) {
    std::u16string n;
    for (char c : std::to_string(i / 2)) n += char16_t(c);
    ASSERT_EQ(r.lines[i], i % 2 == 0 ? u"『" + n + u"』" : n + u" " + pad) << "line " << i;
  }
  // The next session goes on from there.
  KeptFile f;
  ASSERT_TRUE(f.Open(file));
  ASSERT_TRUE(f.Append({u"after"}));
  const KeptRead again = ReadKeptLines(file, 1000000);
  EXPECT_FALSE(again.partialDropped);
  EXPECT_EQ(again.lines.back(), u"after");
}

}  // namespace
}  // namespace zel
