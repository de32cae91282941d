// Every file operation of the component and the converter under injected failures: each fails
// with its message, the buffer and the files that were there stay as they were, and no
// temporary file is left behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "SampleContainer.h"
#include "app/core/ConverterWorkflow.h"
#include "hexeditor/HexEditorEx.h"
#include "platform/Exception.h"
#include "platform/MessageQueue.h"
#include "platform/SystemCalls.h"
#include "support/TempDir.h"

namespace kestrave {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Fails the Nth call of one kind (counting from 1) with an error number, or makes the Nth read
// or write short: a short read is followed by the end of the file (it shrank), a short write by
// a full disk. Everything else goes to the system.
class InjectedFault : public platform::ISystemCalls {
 public:
  enum Kind { kOpen, kRead, kWrite, kClose, kChangeMode, kRename, kExchange, kUnlink };
  InjectedFault(Kind kind, int nth, int error, bool shortTransfer = false)
      : kind_(kind), nth_(nth), error_(error), short_(shortTransfer) {
    platform::SetSystemCalls(this);
  }
  ~InjectedFault() override { platform::SetSystemCalls(nullptr); }
  bool Fired() const { return fired_; }

  int Open(int folder, const char* path, int flags, mode_t mode) override {
    return Due(kOpen) ? Fail<int>() : ISystemCalls::Open(folder, path, flags, mode);
  }
  ssize_t Read(int fd, void* buffer, std::size_t count) override {
    if (fired_ && short_ && kind_ == kRead) return 0;
    if (!Due(kRead)) return ISystemCalls::Read(fd, buffer, count);
    return short_ ? ISystemCalls::Read(fd, buffer, count / 2) : Fail<ssize_t>();
  }
  ssize_t Write(int fd, const void* buffer, std::size_t count) override {
    if (fired_ && short_ && kind_ == kWrite) return Fail<ssize_t>(ENOSPC);
    if (!Due(kWrite)) return ISystemCalls::Write(fd, buffer, count);
    return short_ ? ISystemCalls::Write(fd, buffer, count / 2) : Fail<ssize_t>();
  }
  int Close(int fd) override {
    if (!Due(kClose)) return ISystemCalls::Close(fd);
    ISystemCalls::Close(fd);  // the descriptor is gone either way, as on Linux
    return Fail<int>();
  }
  int ChangeMode(int fd, mode_t mode) override {
    return Due(kChangeMode) ? Fail<int>() : ISystemCalls::ChangeMode(fd, mode);
  }
  int Rename(int fromFolder, const char* from, int toFolder, const char* to) override {
    return Due(kRename) ? Fail<int>() : ISystemCalls::Rename(fromFolder, from, toFolder, to);
  }
  int Exchange(int fromFolder, const char* from, int toFolder, const char* to) override {
    return Due(kExchange) ? Fail<int>() : ISystemCalls::Exchange(fromFolder, from, toFolder, to);
  }
  int Unlink(int folder, const char* path) override {
    return Due(kUnlink) ? Fail<int>() : ISystemCalls::Unlink(folder, path);
  }

 private:
  bool Due(Kind kind) {
    if (kind != kind_ || fired_) return false;
    if (++seen_ < nth_) return false;
    fired_ = true;
    return true;
  }
  template <class T>
  T Fail(int error = 0) {
    errno = error ? error : error_;
    return -1;
  }

  Kind kind_;
  int nth_;
  int error_;
  bool short_;
  int seen_ = 0;
  bool fired_ = false;
};

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

Bytes ContentOf(const hex::THexEditorEx& editor) {
  Bytes bytes(static_cast<std::size_t>(editor.DataSize()));
  editor.ReadBlock(bytes.data(), 0, editor.DataSize());
  return bytes;
}

class Faults : public ::testing::Test {
 protected:
  Faults() {
    test::WriteAll(target, original);
    editor.Loaded();
    editor.SetCreateBackup(false);
    editor.AppendBuffer(edited.data(), static_cast<int>(edited.size()), "", false);
  }
  // The save failed with a message, and nothing else changed.
  void ExpectRefusedSave(const std::string& message) {
    const std::vector<std::string> before = FilesIn(dir.Path());
    try {
      editor.SaveToFile(target, false);
      ADD_FAILURE() << "the save reported success";
    } catch (const platform::Exception& e) {
      EXPECT_EQ(e.Message().rfind(message, 0), 0u) << e.Message();
    }
    EXPECT_EQ(test::ReadAll(target), original) << "the file that was there is intact";
    EXPECT_EQ(ContentOf(editor), edited) << "the buffer is intact";
    EXPECT_EQ(FilesIn(dir.Path()), before) << "no temporary file is left behind";
  }

  test::TempDir dir;
  std::string target = dir.File("data.bin");
  Bytes original = test::PatternBytes(5000);
  Bytes edited = Bytes(7000, 0x5A);
  hex::THexEditorEx editor;
};

TEST_F(Faults, EverySaveStepThatFailsLeavesTheTargetAndTheBuffer) {
  const std::string cannotCreate = "Cannot create file \"" + target + "\". ";
  {
    InjectedFault fault(InjectedFault::kOpen, 1, ENOSPC);
    ExpectRefusedSave(cannotCreate + "No space left on device");
    EXPECT_TRUE(fault.Fired());
  }
  {
    InjectedFault fault(InjectedFault::kWrite, 1, ENOSPC);  // a full disk
    ExpectRefusedSave("Stream write error");
  }
  {
    InjectedFault fault(InjectedFault::kWrite, 1, 0, /*shortTransfer=*/true);
    ExpectRefusedSave("Stream write error");
  }
  {
    InjectedFault fault(InjectedFault::kChangeMode, 1, EPERM);
    ExpectRefusedSave("Stream write error");
  }
  {
    InjectedFault fault(InjectedFault::kClose, 1, EIO);  // delayed write errors show at close
    ExpectRefusedSave("Stream write error");
  }
  {
    InjectedFault fault(InjectedFault::kRename, 1, EXDEV);
    ExpectRefusedSave(cannotCreate);
  }
  // With nothing injected the same save goes through.
  editor.SaveToFile(target, false);
  EXPECT_EQ(test::ReadAll(target), edited);
}

TEST_F(Faults, ABackupThatCannotBeMadeStopsTheSave) {
  editor.SetCreateBackup(true);
  editor.LoadFromFile(target);
  editor.AppendBuffer(edited.data(), 10, "", false);
  const Bytes changed = ContentOf(editor);
  test::WriteAll(target + ".bak", Bytes{1, 2, 3});
  // The new file and the old one swap names, then the old one takes the backup's: either step
  // failing leaves both names as they were.
  for (const auto kind : {InjectedFault::kExchange, InjectedFault::kRename}) {
    InjectedFault fault(kind, 1, EACCES);
    EXPECT_THROW(editor.SaveToFile(target, false), platform::Exception);
    EXPECT_TRUE(fault.Fired());
    EXPECT_EQ(test::ReadAll(target), original);
    EXPECT_EQ(ContentOf(editor), changed);
    EXPECT_EQ(test::ReadAll(target + ".bak"), (Bytes{1, 2, 3}));
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"data.bin", "data.bin.bak"}));
  }
}

TEST_F(Faults, AFailedLoadReportsAndLeavesTheFile) {
  {
    InjectedFault fault(InjectedFault::kOpen, 1, EACCES);
    try {
      editor.LoadFromFile(target);
      FAIL() << "no error";
    } catch (const platform::Exception& e) {
      EXPECT_NE(e.Message().find("Permission denied"), std::string::npos) << e.Message();
    }
  }
  // "Stream read error" alone names neither the file nor the cause: its detail does.
  {
    InjectedFault fault(InjectedFault::kRead, 1, EIO);
    try {
      editor.LoadFromFile(target);
      FAIL() << "a failed read reported success";
    } catch (const platform::Exception& e) {
      EXPECT_EQ(e.Message(), "Stream read error");
      EXPECT_EQ(e.Detail(), target + ": Input/output error");
    }
  }
  // The file shrinks while it is read: fewer bytes come than its size promised.
  {
    InjectedFault fault(InjectedFault::kRead, 1, 0, /*shortTransfer=*/true);
    try {
      editor.LoadFromFile(target);
      FAIL() << "a short read reported success";
    } catch (const platform::Exception& e) {
      EXPECT_EQ(e.Message(), "Stream read error");
      EXPECT_EQ(e.Detail(), target + ": Unexpected end of file");
    }
    EXPECT_EQ(editor.DataSize(), 0) << "no half-read data is kept";
  }
  EXPECT_EQ(test::ReadAll(target), original);
  editor.LoadFromFile(target);
  EXPECT_EQ(ContentOf(editor), original);
}

TEST(ConverterFaults, AFailedExportKeepsTheRecordFilesThatWereThere) {
  platform::ManualMessageQueue queue;
  platform::SetDefaultMessageQueue(&queue);
  test::TempDir dir;
  const tools::SampleShape shape{3, 40, 5, 24};
  const std::string container = dir.File("x.drf");
  test::WriteAll(container, tools::BuildSampleContainer(shape));
  const std::string base = dir.File("rec");
  {
    app::ConverterWorkflow workflow;
    workflow.OpenContainer(container);
    workflow.ExportRecords(base);
  }
  const Bytes first = test::ReadAll(base + "_1.amr");
  const Bytes second = test::ReadAll(base + "_2.amr");
  const std::vector<std::string> before = FilesIn(dir.Path());
  for (const auto kind : {InjectedFault::kOpen, InjectedFault::kWrite, InjectedFault::kRename}) {
    app::ConverterWorkflow workflow;
    workflow.OpenContainer(container);
    InjectedFault fault(kind, 2, ENOSPC);  // the second record fails
    EXPECT_THROW(workflow.ExportRecords(base), platform::Exception);
    EXPECT_TRUE(fault.Fired());
    EXPECT_EQ(test::ReadAll(base + "_2.amr"), second);
    EXPECT_EQ(test::ReadAll(base + "_1.amr"), first);
    EXPECT_EQ(FilesIn(dir.Path()), before);
  }
  platform::SetDefaultMessageQueue(nullptr);
}

TEST(OversizedFiles, AreRefusedBeforeAnyAllocation) {
  test::TempDir dir;
  const std::string sparse = dir.File("sparse.bin");
  test::WriteAll(sparse, Bytes{});
  std::filesystem::resize_file(sparse, 2147483648LL);  // one byte over the limit, no disk used
  hex::THexEditorEx editor;
  editor.Loaded();
  const Bytes kept{1, 2, 3};
  editor.AppendBuffer(kept.data(), 3, "", false);
  try {
    editor.LoadFromFile(sparse);
    FAIL() << "no error";
  } catch (const platform::Exception& e) {
    EXPECT_EQ(e.Message(), "Out of memory while expanding memory stream");
  }
  EXPECT_EQ(ContentOf(editor), kept);
}

}  // namespace
}  // namespace kestrave
