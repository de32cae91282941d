#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "hexeditor/document/HexMemoryStream.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

class BufferSave : public EditorTest {
 protected:
  // Loads a file of our own and changes its first byte, as an edit would.
  void LoadAndModify(const std::string& name, std::string_view content) {
    LoadBytes(Bytes(content), name);
    const std::uint8_t changed = '*';
    editor.WriteBlock(&changed, 0, 1);
    ASSERT_TRUE(editor.Modified());
  }
  void CancelSavesAfterFirstReport() {
    editor.OnProgress = [](TCustomHexEditor&, THexProgressKind kind, const std::string&,
                           std::uint8_t, bool& cancel) { cancel = kind == pkSave; };
  }
};

TEST_F(BufferSave, AdoptingTheFileTakesItsNameAndClearsTheFlags) {
  LoadAndModify("in.bin", "hello");
  editor.SaveToFile(dir.File("out.amr"), true);
  EXPECT_EQ(ReadAll(dir.File("out.amr")), Bytes("*ello"));
  EXPECT_EQ(editor.FileName(), dir.File("out.amr"));
  EXPECT_FALSE(editor.Modified());
  EXPECT_FALSE(editor.IsFileReadOnly());
}

TEST_F(BufferSave, WithoutAdoptingNothingOfTheBufferChanges) {
  LoadAndModify("in.bin", "hello");
  editor.SaveToFile(dir.File("copy.bin"), false);
  EXPECT_EQ(ReadAll(dir.File("copy.bin")), Bytes("*ello"));
  EXPECT_EQ(editor.FileName(), dir.File("in.bin"));
  EXPECT_TRUE(editor.Modified());
}

TEST_F(BufferSave, ANewBufferCannotOverwriteItsOwnNameButAnyOther) {
  const std::string own = dir.File("a.bin");
  editor.CreateEmptyFile(own);
  ExpectError<platform::EFOpenError>([&] { editor.SaveToFile(own, true); },
                                     "Cannot save readonly file " + own + ".");
  EXPECT_TRUE(dir.Entries().empty()) << "nothing written";
  // A name that differs in letter case only is another file.
  editor.SaveToFile(dir.File("A.bin"), true);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"A.bin"});
}

TEST_F(BufferSave, SavingAModifiedBufferOverItsFileKeepsTheOldOneAsBackup) {
  LoadAndModify("data.bin", "version1");
  editor.SaveToFile(dir.File("data.bin"), true);
  EXPECT_EQ(ReadAll(dir.File("data.bin")), Bytes("*ersion1"));
  EXPECT_EQ(ReadAll(dir.File("data.bin.bak")), Bytes("version1"));
  const std::uint8_t again = '#';
  editor.WriteBlock(&again, 1, 1);
  editor.SaveToFile(dir.File("data.bin"), true);
  EXPECT_EQ(ReadAll(dir.File("data.bin.bak")), Bytes("*ersion1")) << "the backup is replaced";
  EXPECT_EQ(ReadAll(dir.File("data.bin")), Bytes("*#rsion1"));
}

TEST_F(BufferSave, NoBackupWhenUnmodifiedOrSwitchedOffOrAnotherFile) {
  LoadBytes(Bytes("same"), "data.bin");
  editor.SaveToFile(dir.File("data.bin"), true);
  LoadAndModify("data.bin", "same");
  editor.SetCreateBackup(false);
  editor.SaveToFile(dir.File("data.bin"), true);
  LoadAndModify("data.bin", "same");
  WriteAll(dir.File("other.bin"), "other");
  editor.SaveToFile(dir.File("other.bin"), true);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"data.bin", "other.bin"}));
  EXPECT_EQ(ReadAll(dir.File("other.bin")), Bytes("*ame"));
}

TEST_F(BufferSave, ABackupThatCannotBeMadeStopsTheSave) {
  LoadAndModify("data.bin", "original");
  ASSERT_EQ(::mkdir(dir.File("data.bin.bak").c_str(), 0755), 0);
  WriteAll(dir.File("data.bin.bak/inside"), "x");
  ExpectError<EHexEditor>(
      [&] { editor.SaveToFile(dir.File("data.bin"), true); },
      "Cannot create backup " + dir.File("data.bin.bak") + ". (Is a directory)");
  EXPECT_EQ(ReadAll(dir.File("data.bin")), Bytes("original"));
  EXPECT_TRUE(editor.Modified());
}

TEST_F(BufferSave, AnOldBackupThatCannotBeDeletedStopsTheSave) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser may delete any file";
  ASSERT_EQ(::mkdir(dir.File("sub").c_str(), 0755), 0);
  const std::string file = dir.File("sub/data.bin");
  WriteAll(file, "original");
  WriteAll(file + ".bak", "old backup");
  editor.LoadFromFile(file);
  const std::uint8_t changed = '*';
  editor.WriteBlock(&changed, 0, 1);
  ASSERT_EQ(::chmod(dir.File("sub").c_str(), 0555), 0);
  ExpectError<EHexEditor>([&] { editor.SaveToFile(file, true); },
                          "Cannot delete previous backup " + file + ".bak. (Permission denied)");
  ::chmod(dir.File("sub").c_str(), 0755);
  EXPECT_EQ(ReadAll(file), Bytes("original"));
}

TEST_F(BufferSave, ACancelledSaveLeavesTheTargetAndTheBufferAsTheyWere) {
  WriteAll(dir.File("target.amr"), "precious");
  LoadBytes(PatternBytes(4 * 61440), "in.bin");
  CancelSavesAfterFirstReport();
  ExpectError<EHexEditor>([&] { editor.SaveToFile(dir.File("target.amr"), true); },
                          "Operation Cancelled");
  EXPECT_EQ(ReadAll(dir.File("target.amr")), Bytes("precious"));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"in.bin", "target.amr"})) << "no leftovers";
  EXPECT_EQ(editor.FileName(), dir.File("in.bin"));
  EXPECT_EQ(editor.Cursor(), platform::crDefault);
}

TEST_F(BufferSave, AFailedSaveOverTheOwnFilePutsTheFileBack) {
  const auto original = PatternBytes(3 * 61440);
  LoadBytes(original, "data.bin");
  const std::uint8_t changed = 0;
  editor.WriteBlock(&changed, 0, 1);
  CancelSavesAfterFirstReport();
  EXPECT_THROW(editor.SaveToFile(dir.File("data.bin"), true), EHexEditor);
  EXPECT_EQ(ReadAll(dir.File("data.bin")), original);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"data.bin"});
}

// Writes fail once a file would grow past a limit, as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit saved_{};
  void (*previousHandler_)(int);
};

TEST_F(BufferSave, AWriteErrorLeavesTheTargetAsItWas) {
  WriteAll(dir.File("target.amr"), "precious");
  LoadBytes(PatternBytes(200000), "in.bin");
  {
    const FileSizeLimit limit(100000);
    ExpectError<EHexEditor>([&] { editor.SaveToFile(dir.File("target.amr"), true); },
                            "Stream write error", dir.File("target.amr") + ": File too large");
  }
  EXPECT_EQ(ReadAll(dir.File("target.amr")), Bytes("precious"));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"in.bin", "target.amr"}));
  EXPECT_EQ(editor.FileName(), dir.File("in.bin"));
}

TEST_F(BufferSave, ATargetThatCannotBeCreatedNamesTheTarget) {
  LoadSize(5);
  const std::string target = dir.File("no/such/folder.amr");
  ExpectError<platform::EFCreateError>(
      [&] { editor.SaveToFile(target, true); },
      "Cannot create file \"" + target + "\". No such file or directory");
  EXPECT_EQ(editor.FileName(), dir.File("data.bin"));
}

TEST_F(BufferSave, ReplacingAFileKeepsItsPermissions) {
  WriteAll(dir.File("target.amr"), "old");
  ASSERT_EQ(::chmod(dir.File("target.amr").c_str(), 0640), 0);
  LoadSize(5);
  editor.SaveToFile(dir.File("target.amr"), true);
  struct stat info {};
  ASSERT_EQ(::stat(dir.File("target.amr").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(BufferSave, SavesReportProgressAndAnnounceNoChange) {
  LoadSize(61441);
  std::vector<int> reports;
  std::string reportedName;
  int changes = 0;
  editor.OnChange = [&](TCustomHexEditor&) { ++changes; };
  editor.OnProgress = [&](TCustomHexEditor&, THexProgressKind kind, const std::string& name,
                          std::uint8_t percent, bool&) {
    EXPECT_EQ(kind, pkSave);
    reportedName = name;
    reports.push_back(percent);
  };
  editor.SaveToFile(dir.File("out.bin"), true);
  EXPECT_EQ(reports, (std::vector<int>{0, 100}));
  EXPECT_EQ(reportedName, dir.File("out.bin"));
  EXPECT_EQ(changes, 0);
}

TEST_F(BufferSave, StreamsAreWrittenFromTheirPosition) {
  LoadBytes(Bytes("abc"));
  THexMemoryStream target;
  target.SetSize(12);
  std::memset(target.PointerAt(0), '.', 12);
  target.SetPosition(10);
  editor.SaveToStream(target);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(target.PointerAt(0)), 13), "..........abc");
}

}  // namespace
}  // namespace kestrave::hex::test
