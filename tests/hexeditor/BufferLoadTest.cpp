#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "hexeditor/document/HexMemoryStream.h"
#include "platform/FileSystem.h"
#include "platform/SystemCalls.h"
#include "support/HostileFiles.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

struct ProgressCall {
  THexProgressKind kind;
  std::string name;
  int percent;
};

class BufferLoad : public EditorTest {
 protected:
  void RecordProgress(bool cancelAtSecond = false) {
    editor.OnProgress = [this, cancelAtSecond](TCustomHexEditor&, THexProgressKind kind,
                                               const std::string& name, std::uint8_t percent,
                                               bool& cancel) {
      EXPECT_FALSE(cancel) << "Cancel starts false";
      EXPECT_EQ(editor.Cursor(), platform::crHourGlass) << "busy while loading";
      progress.push_back({kind, name, percent});
      cancel = cancelAtSecond && progress.size() == 2;
    };
  }
  void CountChanges() {
    editor.OnChange = [this](TCustomHexEditor& sender) {
      EXPECT_EQ(&sender, &editor);
      ++changes;
      sizeSeenByOnChange = editor.DataSize();
    };
  }

  std::vector<ProgressCall> progress;
  int changes = 0;
  int sizeSeenByOnChange = -1;
};

TEST(BufferLifecycle, IsNamedOnlyOnceInitialised) {
  platform::ManualMessageQueue queue;
  THexEditorEx editor;
  editor.SetMessageQueue(queue);
  EXPECT_EQ(editor.FileName(), "---");
  editor.Loaded();
  EXPECT_EQ(editor.FileName(), "Untitled");
  EXPECT_EQ(editor.DataSize(), 0);
  EXPECT_TRUE(editor.IsFileReadOnly());
  EXPECT_FALSE(editor.Modified());
  EXPECT_EQ(editor.MaxUndo(), 1048576);
  EXPECT_TRUE(editor.CreateBackup());
  EXPECT_EQ(editor.BackupExtension(), ".bak");
}

TEST_F(BufferLoad, EmptyFileLoadsWithoutProgressAndOneChange) {
  RecordProgress();
  CountChanges();
  LoadBytes({}, "empty.drf");
  EXPECT_EQ(editor.DataSize(), 0);
  EXPECT_TRUE(progress.empty());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(editor.FileName(), dir.File("empty.drf"));
  EXPECT_FALSE(editor.Modified());
  EXPECT_FALSE(editor.IsFileReadOnly());
}

TEST_F(BufferLoad, ProgressReportsFollowTheChunksAndNameTheFile) {
  RecordProgress();
  LoadSize(61440);
  ASSERT_EQ(progress.size(), 1u);
  EXPECT_EQ(progress[0].percent, 100);
  EXPECT_EQ(progress[0].kind, pkLoad);
  EXPECT_EQ(progress[0].name, dir.File("data.bin"));
  progress.clear();
  LoadSize(61441);
  ASSERT_EQ(progress.size(), 2u);
  EXPECT_EQ(progress[0].percent, 0);
  EXPECT_EQ(progress[1].percent, 100);
  EXPECT_EQ(editor.Cursor(), platform::crDefault);
}

TEST_F(BufferLoad, ContentArrivesWholeInOneBlock) {
  const auto bytes = PatternBytes(3 * 61440 + 5);
  LoadBytes(bytes);
  EXPECT_EQ(Content(), bytes);
  EXPECT_EQ(editor.CursorPosition(), 0);
  EXPECT_EQ(editor.SelectionCount(), 0);
}

TEST_F(BufferLoad, AFileHeldByAnotherProgramLoadsReadOnly) {
  WriteAll(dir.File("held.drf"), "abc");
  platform::FileHandle other = platform::OpenForReadShared(dir.File("held.drf"));
  ASSERT_EQ(::flock(other.Fd(), LOCK_SH), 0);
  editor.LoadFromFile(dir.File("held.drf"));
  EXPECT_EQ(editor.DataSize(), 3);
  EXPECT_TRUE(editor.IsFileReadOnly());
  ExpectError<platform::EFOpenError>([&] { editor.SaveToFile(dir.File("held.drf"), true); },
                                     "Cannot save readonly file " + dir.File("held.drf") + ".");
}

TEST_F(BufferLoad, AWriteProtectedFileLoadsReadOnly) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write any file";
  WriteAll(dir.File("ro.drf"), "abc");
  ASSERT_EQ(::chmod(dir.File("ro.drf").c_str(), 0444), 0);
  editor.LoadFromFile(dir.File("ro.drf"));
  EXPECT_TRUE(editor.IsFileReadOnly());
}

TEST_F(BufferLoad, AMissingFileFailsAndKeepsTheBuffer) {
  const auto bytes = PatternBytes(100);
  LoadBytes(bytes, "first.bin");
  CountChanges();
  const std::string missing = dir.File("missing.drf");
  ExpectError<platform::EFOpenError>(
      [&] { editor.LoadFromFile(missing); },
      "Cannot open " + missing + ".\r\n(No such file or directory.)");
  EXPECT_EQ(Content(), bytes);
  EXPECT_EQ(editor.FileName(), dir.File("first.bin"));
  EXPECT_TRUE(editor.IsFileReadOnly()) << "the probe's one effect";
  EXPECT_EQ(changes, 0);
}

TEST_F(BufferLoad, AFolderIsNotAFile) {
  ExpectError<platform::EFOpenError>([&] { editor.LoadFromFile(dir.Path()); },
                                     "Cannot open " + dir.Path() + ".\r\n(Is a directory.)");
}

TEST_F(BufferLoad, FifosAndDevicesAreRefusedWithoutWaitingAndKeepTheBuffer) {
  const auto bytes = PatternBytes(100);
  LoadBytes(bytes, "first.bin");
  CountChanges();
  const std::string fifo = dir.File("fifo");
  kestrave::test::MakeFifo(fifo);
  std::filesystem::create_symlink("/dev/zero", dir.File("device-link"));
  for (const std::string& target :
       {fifo, std::string("/dev/null"), std::string("/dev/zero"), dir.File("device-link")}) {
    kestrave::test::FifoGuard guard(fifo);
    ExpectError<platform::EFOpenError>([&] { editor.LoadFromFile(target); },
                                       "Cannot open " + target + ".\r\n(Not a regular file.)");
    EXPECT_FALSE(guard.Fired()) << target << ": the load waited for a writer";
    EXPECT_EQ(Content(), bytes) << target;
    EXPECT_EQ(editor.FileName(), dir.File("first.bin"));
  }
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(kestrave::test::IsFifo(fifo));
}

// Lets the first opens of a load through and, just before the chosen one, turns the file into a
// FIFO: each open of the load must hold against a name that changes under it.
class FifoBeforeOpen : public platform::ISystemCalls {
 public:
  FifoBeforeOpen(std::string path, int nth) : path_(std::move(path)), nth_(nth) {
    platform::SetSystemCalls(this);
  }
  ~FifoBeforeOpen() override { platform::SetSystemCalls(nullptr); }
  bool Swapped() const { return swapped_; }
  int Open(int folder, const char* path, int flags, mode_t mode) override {
    if (++seen_ == nth_) {
      std::filesystem::remove(path_);
      kestrave::test::MakeFifo(path_);
      swapped_ = true;
    }
    return ISystemCalls::Open(folder, path, flags, mode);
  }

 private:
  std::string path_;
  int nth_;
  int seen_ = 0;
  bool swapped_ = false;
};

TEST_F(BufferLoad, AFileTurnedIntoAFifoWhileLoadingIsRefusedAtEveryOpen) {
  const auto bytes = PatternBytes(100);
  LoadBytes(bytes, "first.bin");
  const std::string target = dir.File("target.bin");
  for (int nth = 1;; ++nth) {
    std::filesystem::remove(target);
    WriteAll(target, "a file when the load begins");
    kestrave::test::FifoGuard guard(target);
    const FifoBeforeOpen swap(target, nth);
    try {
      editor.LoadFromFile(target);
    } catch (const platform::Exception& e) {
      EXPECT_TRUE(dynamic_cast<const platform::EFOpenError*>(&e)) << e.Message();
      EXPECT_NE(e.Message().find(target), std::string::npos) << e.Message();
      EXPECT_NE(e.Message().find("Not a regular file"), std::string::npos) << e.Message();
    }
    if (!swap.Swapped()) break;  // past the load's last open: the load went through
    EXPECT_FALSE(guard.Fired()) << "open " << nth << " waited for a writer";
    EXPECT_EQ(Content(), bytes) << "open " << nth;
    EXPECT_EQ(editor.FileName(), dir.File("first.bin")) << "open " << nth;
  }
}

TEST_F(BufferLoad, CancelLeavesAnEmptyUnmodifiedBufferUnderTheOldName) {
  LoadSize(10);
  const std::string oldName = editor.FileName();
  WriteAll(dir.File("big.bin"), PatternBytes(5 * 61440));
  RecordProgress(/*cancelAtSecond=*/true);
  CountChanges();
  ExpectError<EHexEditor>([&] { editor.LoadFromFile(dir.File("big.bin")); }, "Operation Cancelled");
  EXPECT_EQ(editor.DataSize(), 0);
  EXPECT_FALSE(editor.Modified());
  EXPECT_EQ(editor.FileName(), oldName);
  EXPECT_EQ(changes, 1) << "the change is still announced";
  EXPECT_EQ(sizeSeenByOnChange, 0) << "nobody sees the half-read bytes";
  EXPECT_EQ(editor.RowCount(), 3) << "the grid follows the emptied buffer";
  EXPECT_EQ(editor.Cursor(), platform::crDefault);
}

TEST_F(BufferLoad, FilesBeyondTwoGibibytesAreRefusedBeforeAnythingChanges) {
  const auto bytes = PatternBytes(64);
  LoadBytes(bytes, "small.bin");
  const std::string huge = dir.File("huge.bin");
  WriteAll(huge, "x");
  ASSERT_EQ(::truncate(huge.c_str(), std::int64_t{0x80000000}), 0) << "a sparse file";
  CountChanges();
  ExpectError<EHexEditor>([&] { editor.LoadFromFile(huge); },
                          "Out of memory while expanding memory stream");
  EXPECT_EQ(Content(), bytes);
  EXPECT_EQ(editor.FileName(), dir.File("small.bin"));
  EXPECT_FALSE(editor.IsFileReadOnly());
  EXPECT_EQ(changes, 0);
}

TEST_F(BufferLoad, StreamsLoadFromTheirStartAndKeepTheName) {
  THexMemoryStream source;
  source.Write("0123456789", 10);
  source.SetPosition(6);
  editor.LoadFromStream(source);
  EXPECT_EQ(editor.DataSize(), 10);
  EXPECT_EQ(editor.ReadByte(0), '0');
  EXPECT_EQ(editor.FileName(), "Untitled");
}

TEST_F(BufferLoad, LoadingClearsTheSelectionAndAnnouncesItOnce) {
  LoadSize(50);
  editor.SetSelectionStart(30);
  editor.SetSelectionEnd(40);
  queue.Pump();
  int notifications = 0;
  editor.OnSelectionChanged = [&](TCustomHexEditor&) { ++notifications; };
  LoadSize(20);
  EXPECT_EQ(editor.SelectionCount(), 0);
  EXPECT_EQ(editor.CursorCell(), (GridCell{2, 2}));
  EXPECT_EQ(notifications, 0) << "not before the message loop";
  queue.Pump();
  EXPECT_EQ(notifications, 1);
}

// Counts what the busy indicator is told, to prove every way out restores it.
class CountingIndicator : public platform::IBusyIndicator {
 public:
  void BeginBusy() override { ++depth, ++begun; }
  void EndBusy() override { --depth; }
  int depth = 0;
  int begun = 0;
};

TEST_F(BufferLoad, BusyCursorIsRestoredOnEveryWayOut) {
  CountingIndicator indicator;
  editor.SetBusyIndicator(&indicator);
  LoadSize(100);
  EXPECT_EQ(indicator.begun, 1);
  WriteAll(dir.File("big.bin"), PatternBytes(3 * 61440));
  RecordProgress(/*cancelAtSecond=*/true);
  EXPECT_THROW(editor.LoadFromFile(dir.File("big.bin")), EHexEditor);
  EXPECT_EQ(indicator.depth, 0);
  EXPECT_EQ(editor.Cursor(), platform::crDefault);
  editor.PushBusyCursor();
  editor.PushBusyCursor();
  editor.PopBusyCursor();
  EXPECT_EQ(editor.Cursor(), platform::crHourGlass) << "nested levels restore one by one";
  editor.PopBusyCursor();
  editor.PopBusyCursor();
  EXPECT_EQ(editor.Cursor(), platform::crDefault);
  EXPECT_EQ(indicator.depth, 0) << "an extra pop is ignored";
}

TEST_F(BufferLoad, CreateEmptyFileNamesTheBuffer) {
  LoadSize(10);
  editor.CreateEmptyFile("temp.amr");
  EXPECT_EQ(editor.FileName(), "temp.amr");
  EXPECT_EQ(editor.DataSize(), 0);
  EXPECT_TRUE(editor.IsFileReadOnly());
  EXPECT_FALSE(editor.Modified());
  editor.CreateEmptyFile("");
  EXPECT_EQ(editor.FileName(), "Untitled");
}

}  // namespace
}  // namespace kestrave::hex::test
