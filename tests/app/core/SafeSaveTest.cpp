// How saves and exports treat the file they write: what reaches the disk and when, what may
// stand under a record's name, and two exports into one folder at once.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "SampleContainer.h"
#include "app/core/ConverterWorkflow.h"
#include "hexeditor/HexEditorEx.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/MessageQueue.h"
#include "platform/SystemCalls.h"
#include "support/HostileFiles.h"
#include "support/TempDir.h"

namespace kestrave {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Notes the writes, renames and waits for the disk, each with the name of what it concerns:
// the folder's own name, a record's name, or "<temporary>" for a file being written.
class DiskCalls : public platform::ISystemCalls {
 public:
  explicit DiskCalls(std::string folder, int syncError = 0, bool inMemory = false)
      : folder_(std::move(folder)), syncError_(syncError), inMemory_(inMemory) {
    platform::SetSystemCalls(this);
  }
  ~DiskCalls() override { platform::SetSystemCalls(nullptr); }

  ssize_t Write(int fd, const void* buffer, std::size_t count) override {
    const std::string entry = "write " + NameOf(fd);
    if (log.empty() || log.back() != entry) log.push_back(entry);
    return ISystemCalls::Write(fd, buffer, count);
  }
  int Rename(int fromFolder, const char* from, int toFolder, const char* to) override {
    log.push_back("rename " + Shown(to));
    return ISystemCalls::Rename(fromFolder, from, toFolder, to);
  }
  int Sync(int fd) override {
    log.push_back("sync " + NameOf(fd));
    if (syncError_ == 0) return ISystemCalls::Sync(fd);
    errno = syncError_;
    return -1;
  }
  // The test folder may lie on tmpfs; these tests are about a disk unless they say otherwise.
  bool KeepsFilesInMemory(int) override { return inMemory_; }

  std::vector<std::string> log;

 private:
  std::string NameOf(int fd) const {
    char path[PATH_MAX] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    if (::readlink(link.c_str(), path, sizeof path - 1) < 0) return "?";
    return Shown(path);
  }
  std::string Shown(const std::string& path) const {
    if (path == folder_) return "<folder>";
    const std::string name = platform::BaseNameOf(path);
    const bool temporary =
        name.front() == '.' && name.size() > 7 && name.compare(name.size() - 7, 7, ".saving") == 0;
    return temporary ? "<temporary>" : name;
  }

  std::string folder_;
  int syncError_;
  bool inMemory_;
};

class DurableSave : public ::testing::Test {
 protected:
  DurableSave() {
    test::WriteAll(target, "old");
    editor.Loaded();
    editor.AppendBuffer(content.data(), static_cast<int>(content.size()), "", false);
  }

  test::TempDir dir;
  std::string target = dir.File("data.bin");
  Bytes content = test::PatternBytes(3000);
  hex::THexEditorEx editor;
};

TEST_F(DurableSave, TheContentIsOnTheDiskBeforeTheRenameAndTheFolderAfterIt) {
  {
    DiskCalls calls(dir.Path());
    editor.SaveToFile(target, false);
    EXPECT_EQ(calls.log, (std::vector<std::string>{"write <temporary>", "sync <temporary>",
                                                   "rename data.bin", "sync <folder>"}));
  }
  EXPECT_EQ(test::ReadAll(target), content);
}

TEST_F(DurableSave, AFailedWaitForTheDiskIsAFailedSave) {
  {
    DiskCalls calls(dir.Path(), EIO);
    try {
      editor.SaveToFile(target, false);
      ADD_FAILURE() << "the save reported success";
    } catch (const platform::Exception& e) {
      EXPECT_EQ(e.Message(), "Stream write error");
      EXPECT_EQ(e.Detail(), target + ": Input/output error");
    }
  }
  EXPECT_EQ(test::ReadAll(target), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"data.bin"});
}

class DurableExport : public ::testing::Test {
 protected:
  DurableExport() {
    platform::SetDefaultMessageQueue(&queue);
    test::WriteAll(container, tools::BuildSampleContainer({3, 40, 5, 24}));
    workflow.OpenContainer(container);
  }
  ~DurableExport() override { platform::SetDefaultMessageQueue(nullptr); }

  platform::ManualMessageQueue queue;
  test::TempDir dir;
  std::string container = dir.File("x.drf");
  app::ConverterWorkflow workflow;
};

TEST_F(DurableExport, TheRecordsReachTheDiskTogetherOnceAllAreWritten) {
  DiskCalls calls(dir.Path());
  workflow.ExportRecords(dir.File("rec"));
  EXPECT_EQ(calls.log, (std::vector<std::string>{
                           "write <temporary>", "rename rec_1.amr", "write <temporary>",
                           "rename rec_2.amr", "write <temporary>", "rename rec_3.amr",
                           "sync rec_1.amr", "sync rec_2.amr", "sync rec_3.amr", "sync <folder>"}));
}

TEST_F(DurableExport, RecordsOnAFileSystemInMemoryAreNotWaitedFor) {
  DiskCalls calls(dir.Path(), EIO, true);
  workflow.ExportRecords(dir.File("rec"));
  EXPECT_EQ(calls.log, (std::vector<std::string>{"write <temporary>", "rename rec_1.amr",
                                                 "write <temporary>", "rename rec_2.amr",
                                                 "write <temporary>", "rename rec_3.amr"}));
  EXPECT_FALSE(test::ReadAll(dir.File("rec_2.amr")).empty());
}

TEST_F(DurableExport, AFailedWaitForTheDiskFailsTheExportNamingTheFile) {
  DiskCalls calls(dir.Path(), EIO);
  try {
    workflow.ExportRecords(dir.File("rec"));
    ADD_FAILURE() << "the export reported success";
  } catch (const platform::Exception& e) {
    EXPECT_EQ(e.Message(),
              "Cannot create file \"" + dir.File("rec_1.amr") + "\". Input/output error");
  }
}

// --- What stands under the name -------------------------------------------------------------

TEST(SaveTargets, AFifoIsRefusedNamingItAndADeviceIsWrittenInPlace) {
  test::TempDir dir;
  hex::THexEditorEx editor;
  editor.Loaded();
  const Bytes content{1, 2, 3};
  editor.AppendBuffer(content.data(), 3, "", false);
  const std::string fifo = dir.File("pipe.bin");
  test::MakeFifo(fifo);
  {
    const test::FifoGuard guard(fifo);
    try {
      editor.SaveToFile(fifo, false);
      ADD_FAILURE() << "a FIFO was saved over";
    } catch (const platform::EFCreateError& e) {
      EXPECT_EQ(e.Message(), "Cannot create file \"" + fifo + "\". Not a regular file");
    }
    EXPECT_FALSE(guard.Fired());
  }
  EXPECT_TRUE(test::IsFifo(fifo));
  const std::string link = dir.File("to-null");
  ASSERT_EQ(::symlink("/dev/null", link.c_str()), 0);
  editor.SaveToFile(link, false);
  struct stat info {};
  ASSERT_EQ(::stat("/dev/null", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"pipe.bin", "to-null"}));
}

TEST(SaveTargets, AFileWithTwoNamesGetsTheNewContentUnderBoth) {
  test::TempDir dir;
  const std::string target = dir.File("a.bin");
  const std::string other = dir.File("b.bin");
  test::WriteAll(target, test::PatternBytes(9000, 7));
  ASSERT_EQ(::link(target.c_str(), other.c_str()), 0);
  hex::THexEditorEx editor;
  editor.Loaded();
  const Bytes content = test::PatternBytes(5000, 3);
  editor.AppendBuffer(content.data(), static_cast<int>(content.size()), "", false);
  editor.SaveToFile(target, false);
  EXPECT_EQ(test::ReadAll(other), content) << "cut to the new length, seen under both names";
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.bin", "b.bin"}));
}

struct CliRun {
  int exitCode = -1;
  std::string output;
};

CliRun Cli(const std::string& arguments) {
  CliRun run;
  FILE* pipe =
      ::popen((std::string("'") + KESTRAVE_CLI_PATH + "' " + arguments + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe))
    run.output += buffer;
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string Quoted(const std::string& path) {
  return "'" + path + "'";
}

TEST(ExtractTargets, ARecordNameOnAFifoIsRefusedAndOnADeviceIsWrittenThere) {
  test::TempDir dir;
  const std::string container = dir.File("in.drf");
  test::WriteAll(container, tools::BuildSampleContainer({2, 20, 3}));
  // Root may make a device node of its own, so a fault harms nothing outside the test.
  std::string device = "/dev/null";
  if (::geteuid() == 0 && ::mknod(dir.File("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
    device = dir.File("null");
  ASSERT_EQ(::symlink(device.c_str(), dir.File("rec_1.amr").c_str()), 0);
  const std::string fifo = dir.File("fifo");
  test::MakeFifo(fifo);
  ASSERT_EQ(::symlink(fifo.c_str(), dir.File("rec_2.amr").c_str()), 0);
  const test::FifoGuard guard(fifo);
  const CliRun run = Cli("extract " + Quoted(container) + " " + Quoted(dir.File("rec")));
  EXPECT_EQ(run.exitCode, 2) << run.output;
  EXPECT_NE(
      run.output.find("Cannot create file \"" + dir.File("rec_2.amr") + "\". Not a regular file"),
      std::string::npos)
      << run.output;
  EXPECT_FALSE(guard.Fired());
  EXPECT_TRUE(test::IsFifo(fifo));
  struct stat info {};
  ASSERT_EQ(::stat(device.c_str(), &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode)) << "the first record went into the device";
}

TEST(ExtractTargets, TwoExtractsIntoOneFolderAtOnceGiveEveryRecordTheUsualMode) {
  test::TempDir dir;
  const std::string container = dir.File("in.drf");
  test::WriteAll(container, tools::BuildSampleContainer({12, 8000, 9}));
  const mode_t saved = ::umask(022);
  for (int round = 0; round < 5; ++round) {
    const std::string command = "extract " + Quoted(container) + " " + Quoted(dir.File("rec"));
    FILE* first = ::popen((std::string("'") + KESTRAVE_CLI_PATH + "' " + command).c_str(), "r");
    FILE* second = ::popen((std::string("'") + KESTRAVE_CLI_PATH + "' " + command).c_str(), "r");
    ASSERT_TRUE(first && second);
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, first) || std::fgets(buffer, sizeof buffer, second)) {
    }
    EXPECT_EQ(::pclose(first), 0);
    EXPECT_EQ(::pclose(second), 0);
    for (int n = 1; n <= 12; ++n) {
      struct stat info {};
      const std::string record = dir.File("rec_" + std::to_string(n) + ".amr");
      ASSERT_EQ(::stat(record.c_str(), &info), 0) << record;
      EXPECT_EQ(info.st_mode & 07777, 0644u) << "round " << round << ", record " << n;
    }
  }
  ::umask(saved);
}

}  // namespace
}  // namespace kestrave
