// The file system object when files misbehave: FIFOs and devices, full
// disks, names with a NUL, failed copies and texts too long for a string.
// Nothing may hang, and no failed write may pass for a good one.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "vbs/engine.h"
#include "vbs/textcodec.h"
#include "vbs/value_conv.h"
#include "test_support.h"

using namespace vbs;
namespace fs = std::filesystem;

namespace {

class LibFileFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(engine_.ExecuteStatement(
        Utf8ToUtf16("Set fso = CreateObject(\"Scripting.FileSystemObject\")\ndir = \"" + dir_.string() + "\"")));
  }
  // A test may have taken the folder's permissions away.
  void TearDown() override { fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add); }

  std::string Out(const std::string& code) { return unittest::ResultOf(engine_, code); }
  std::string Bytes(const std::string& name) const { return unittest::FileBytes(dir_ / name); }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  unittest::ScratchFolder scratch_{"vbs_file_faults"};
  const fs::path& dir_ = scratch_.path();
  Engine engine_;
};

// Lowers the file size limit, as a full disk would stop writes, for as long
// as it lives. Writes past the limit then fail with EFBIG instead of
// raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit lower = old_;
    lower.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lower);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  sighandler_t oldHandler_;
};

// Bytes this process has read through read() so far.
long long BytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = -1;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return -1;
}

}  // namespace

TEST_F(LibFileFaults, FifosAndUnreadableDevicesAreRefusedWithoutWaiting) {
  const fs::path fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Should an open ever wait for a reader, one comes after a while: the
  // test then fails on the result instead of hanging.
  std::promise<void> finished;
  std::thread watchdog([&, done = finished.get_future()] {
    if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return;
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    done.wait();
    ::close(reader);
  });
  const std::string open = "Set ts = fso.";
  EXPECT_EQ(Out(open + "CreateTextFile(dir & \"/fifo\")"), "#75");
  EXPECT_EQ(Out(open + "OpenTextFile(dir & \"/fifo\", 2)"), "#75");
  EXPECT_EQ(Out(open + "OpenTextFile(dir & \"/fifo\", 8, True)"), "#75");
  EXPECT_EQ(Out(open + "OpenTextFile(dir & \"/fifo\", 1)"), "#75");
  EXPECT_EQ(Out(open + "GetFolder(dir).CreateTextFile(\"fifo\")"), "#75");
  // A reader at the other end changes nothing: writes could still stall.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  EXPECT_EQ(Out(open + "CreateTextFile(dir & \"/fifo\")"), "#75");
  ::close(reader);
  // A device would be read for ever: the text is read whole.
  EXPECT_EQ(Out(open + "OpenTextFile(\"/dev/zero\", 1)"), "#75");
  finished.set_value();
  watchdog.join();
}

TEST_F(LibFileFaults, FailedWritesRaiseAtTheCallThatFails) {
  // /dev/full takes nothing: held text fails at Close, a large write at once.
  EXPECT_EQ(Out("Set ts = fso.CreateTextFile(\"/dev/full\") : ts.WriteLine \"important data\" : result = \"held\""),
            "held");
  EXPECT_EQ(Out("ts.Close"), "#61");
  EXPECT_EQ(Out("ts.WriteLine \"more\""), "#54");   // closed all the same
  EXPECT_EQ(Out("Set ts = fso.OpenTextFile(\"/dev/full\", 2) : ts.Write String(100000, \"x\")"), "#61");
  EXPECT_EQ(Out("Set ts = Nothing : result = \"released\""), "released");

  // A regular file on a full disk (a file size limit stands in for it).
  FileSizeLimit limit(10);
  EXPECT_EQ(Out("Set ts = fso.CreateTextFile(dir & \"/short.txt\") : ts.WriteLine \"important data\"\n"
                "result = \"held\""),
            "held");
  EXPECT_EQ(Out("ts.Close"), "#61");
  EXPECT_EQ(Out("Set ts = fso.OpenTextFile(dir & \"/short.txt\", 8) : ts.Write String(70000, \"x\")"), "#61");
  EXPECT_EQ(Out("Set ts = fso.CreateTextFile(dir & \"/u16.txt\", True, True) : ts.Write \"abcdefgh\" : ts.Close"),
            "#61");
}

TEST_F(LibFileFaults, NulInANameIsRefusedNotCut) {
  const char* calls[] = {
      "result = fso.FileExists(dir & \"/a\" & Chr(0) & \"b\")",
      "Set ts = fso.CreateTextFile(dir & \"/cut\" & Chr(0) & \".txt\")",
      "Set ts = fso.OpenTextFile(dir & \"/cut\" & Chr(0) & \".txt\", 2, True)",
      "Set f = fso.CreateFolder(dir & \"/cut\" & Chr(0) & \"x\")",
      "fso.DeleteFile dir & \"/cut\" & Chr(0) & \"*\"",
  };
  for (const char* call : calls) EXPECT_EQ(Out(call), "#52") << call;
  EXPECT_TRUE(Names().empty());
}

TEST_F(LibFileFaults, FailedCopyLeavesTheTargetAsItWas) {
  {
    std::ofstream(dir_ / "source.txt", std::ios::binary) << std::string(1 << 20, 's');
    std::ofstream(dir_ / "target.txt", std::ios::binary) << "old content";
  }
  {
    FileSizeLimit limit(1 << 16);
    EXPECT_EQ(Out("fso.CopyFile dir & \"/source.txt\", dir & \"/target.txt\""), "#61");
  }
  const std::string kept = Bytes("target.txt");
  EXPECT_TRUE(kept == "old content") << "the target now holds " << kept.size() << " bytes";
  EXPECT_EQ(Names(), (std::vector<std::string>{"source.txt", "target.txt"}));   // no temporary left

  // A folder that takes no new file: nothing changes either.
  fs::create_directory(dir_ / "locked");
  std::ofstream(dir_ / "locked" / "target.txt") << "old content";
  fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  if (::access((dir_ / "locked").c_str(), W_OK) != 0) {   // root writes anyway
    EXPECT_EQ(Out("fso.CopyFile dir & \"/source.txt\", dir & \"/locked/target.txt\""), "#70");
    EXPECT_EQ(Bytes("locked/target.txt"), "old content");
  }
  fs::permissions(dir_ / "locked", fs::perms::owner_all);

  // The copy that succeeds is whole, keeps the source's permissions and
  // leaves no temporary either.
  fs::permissions(dir_ / "source.txt", fs::perms::owner_read);
  EXPECT_EQ(Out("fso.CopyFile dir & \"/source.txt\", dir & \"/target.txt\"\n"
                "result = fso.GetFile(dir & \"/target.txt\").Size & \" \" & (fso.GetFile(dir & \"/target.txt\").Attributes And 1)"),
            "1048576 1");
  EXPECT_EQ(Names(), (std::vector<std::string>{"locked", "source.txt", "target.txt"}));
}

TEST_F(LibFileFaults, ReadAllStopsOnceTheTextCannotFitAString) {
  // 1 GB of zeros without using the disk: far more than the longest string
  // (2^28 characters).
  {
    std::ofstream(dir_ / "huge.txt");
    fs::resize_file(dir_ / "huge.txt", std::uintmax_t(1) << 30);
  }
  const long long before = BytesRead();
  ASSERT_GE(before, 0);
  EXPECT_EQ(Out("Set ts = fso.OpenTextFile(dir & \"/huge.txt\") : result = \"opened\""), "opened");
  EXPECT_LT(BytesRead() - before, 1 << 20);   // opening reads nothing yet
  EXPECT_EQ(Out("result = ts.ReadAll"), "#7");
  // Reading stopped just past the limit, not at the end of the file.
  EXPECT_LT(BytesRead() - before, (1LL << 28) + (1LL << 22));
}
