// Files as an attacker or a careless world leaves them: other users' files and links in shared
// folders, hard links, read-only folders, full disks, renamed folders and file size limits.
// What the users' files must be afterwards: whole, with their owner, mode and links. Cases that
// need other users or mounts run as the superuser (CI does) and skip with the reason otherwise.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "SampleContainer.h"
#include "hexeditor/HexEditorEx.h"
#include "platform/Exception.h"
#include "platform/FileReplacement.h"
#include "platform/InterruptCleanup.h"
#include "support/CliRun.h"
#include "support/OtherUsers.h"
#include "support/TempDir.h"

namespace kestrave {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::kAlice;
using test::kBob;
using test::kMallory;
using test::ReadAll;
using test::WriteAll;

struct stat LinkStatOf(const std::string& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info;
}

struct stat StatOf(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info;
}

std::vector<std::string> TemporariesIn(const std::string& folder) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ".saving") found.push_back(entry.path().filename().string());
  return found;
}

// A folder the other users may pass through, for tests run as the superuser.
class SharedScene : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::IsSuperuser()) GTEST_SKIP() << "other users and mounts need the superuser";
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  }
  // A folder of Owner's with Mode.
  std::string Folder(const std::string& name, uid_t owner, mode_t mode) const {
    const std::string path = dir.File(name);
    ::mkdir(path.c_str(), 0700);
    test::Own(path, owner, mode);
    return path;
  }
  std::string FileOf(const std::string& path, std::string_view content, uid_t owner,
                     mode_t mode) const {
    WriteAll(path, content);
    test::Own(path, owner, mode);
    return path;
  }
  // A container with one record of Frames frames, readable by everyone.
  std::string Container(int frames = 50) const {
    const std::string path = dir.File("in.drf");
    WriteAll(path, tools::BuildSampleContainer({1, frames, 7}));
    ::chmod(path.c_str(), 0644);
    return path;
  }
  // kestrave-cli with Arguments, as User, in the test folder; the exit code.
  int CliAs(uid_t user, const std::string& arguments, std::string* errors = nullptr) const {
    const std::string errFile = FileOf(dir.File("stderr-" + std::to_string(user)), "", user, 0600);
    const int code = test::ShellAs(
        user, "'" KESTRAVE_CLI_PATH "' " + arguments + " >/dev/null 2>'" + errFile + "'");
    if (errors) *errors = test::Slurp(errFile);
    return code;
  }

  test::TempDir dir;
};

// --- Saves keep who the file is ----------------------------------------------------------------

struct SavedFile {
  const char* Kind;
  // Makes the scene in Folder; answers the name the editor saves under and the file it reaches.
  std::function<std::pair<std::string, std::string>(const std::string& folder)> Make;
};

using HostileSaves = SharedScene;

TEST_F(HostileSaves, ASaveKeepsOwnerModeLinksAndTheBackupOfEveryKindOfFile) {
  const SavedFile kinds[] = {
      {"a private file of another user",
       [](const std::string& folder) {
         const std::string file = folder + "/private.bin";
         WriteAll(file, "old content");
         test::Own(file, kAlice, 0600);
         return std::pair(file, file);
       }},
      {"a file with a second name",
       [](const std::string& folder) {
         const std::string file = folder + "/linked.bin";
         WriteAll(file, "old content");
         test::Own(file, kAlice, 0640);
         ::link(file.c_str(), (folder + "/second-name.bin").c_str());
         return std::pair(file, file);
       }},
      {"a symbolic link",
       [](const std::string& folder) {
         const std::string file = folder + "/real.bin";
         WriteAll(file, "old content");
         test::Own(file, kAlice, 0600);
         ::symlink("real.bin", (folder + "/link.bin").c_str());
         return std::pair(folder + "/link.bin", file);
       }},
  };
  for (const SavedFile& kind : kinds) {
    SCOPED_TRACE(kind.Kind);
    const std::string folder =
        Folder(std::string("f") + std::to_string(&kind - kinds), kAlice, 0755);
    const auto [name, real] = kind.Make(folder);
    const struct stat before = StatOf(real);
    hex::THexEditorEx editor;
    editor.Loaded();
    editor.LoadFromFile(name);
    editor.Replace("N", 0, 1, 1, "", false);
    editor.SaveToFile(name, true);

    const struct stat after = StatOf(real);
    EXPECT_EQ(ReadAll(real), (Bytes{'N', 'l', 'd', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't'}));
    EXPECT_EQ(after.st_uid, kAlice);
    EXPECT_EQ(after.st_gid, kAlice);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_nlink, before.st_nlink) << "every name still names the file";
    EXPECT_TRUE(S_ISLNK(LinkStatOf(name).st_mode) == (name != real)) << "a link stays a link";
    const struct stat backup = StatOf(name + ".bak");
    EXPECT_EQ(test::Slurp(name + ".bak"), "old content");
    EXPECT_EQ(backup.st_uid, kAlice) << "the backup is no one else's to read";
    EXPECT_EQ(backup.st_mode & 0777, before.st_mode & 0777);
    EXPECT_TRUE(TemporariesIn(folder).empty());
  }
}

TEST_F(HostileSaves, AWritableFileInAFolderOfAnotherUserIsSavedInPlace) {
  const std::string folder = Folder("root-only", 0, 0755);
  const std::string file = FileOf(folder + "/alices.bin", "old content", kAlice, 0644);
  const ino_t inode = StatOf(file).st_ino;
  // 0: saved; 1: the backup was refused, naming it, with the file as it was; else: a fault.
  const auto save = [&](bool backup) {
    return test::RunAs(kAlice, [&] {
      hex::THexEditorEx editor;
      editor.Loaded();
      editor.SetCreateBackup(backup);
      try {
        editor.LoadFromFile(file);
        editor.Replace("N", 0, 1, 1, "", false);
        editor.SaveToFile(file, true);
        return 0;
      } catch (const platform::Exception& e) {
        return e.Message() == "Cannot create backup " + file + ".bak. (Permission denied)" ? 1 : 2;
      }
    });
  };
  EXPECT_EQ(save(true), 1);
  EXPECT_EQ(test::Slurp(file), "old content");
  EXPECT_EQ(save(false), 0);
  EXPECT_EQ(test::Slurp(file), "Nld content");
  EXPECT_EQ(StatOf(file).st_ino, inode);
  EXPECT_EQ(StatOf(file).st_uid, kAlice);
}

// --- Shared folders --------------------------------------------------------------------------

using SharedFolders = SharedScene;

TEST_F(SharedFolders, ALinkPlantedByAnotherUserIsNotFollowed) {
  const std::string shared = Folder("shared", 0, 01777);
  const std::string bobs = Folder("bob", kBob, 0755);
  const std::string victim = FileOf(bobs + "/notes.txt", "bob's own notes", kBob, 0644);
  const std::string rootOnly = Folder("root-only", 0, 0700);
  const std::string container = Container();
  const std::string planted = shared + "/rec_1.amr";
  // Whoever runs the export, root or the owner of the file the link names, writes nothing there.
  for (const uid_t runner : {uid_t{0}, kBob}) {
    SCOPED_TRACE(runner);
    ::unlink(planted.c_str());
    ASSERT_EQ(::symlink(victim.c_str(), planted.c_str()), 0);
    ASSERT_EQ(::lchown(planted.c_str(), kMallory, kMallory), 0);
    std::string errors;
    EXPECT_EQ(CliAs(runner, "extract '" + container + "' '" + shared + "/rec'", &errors), 2);
    EXPECT_NE(errors.find(planted), std::string::npos) << errors;
    EXPECT_NE(errors.find("Not following another user's link in a shared folder"),
              std::string::npos)
        << errors;
    EXPECT_EQ(test::Slurp(victim), "bob's own notes");
    EXPECT_TRUE(S_ISLNK(LinkStatOf(planted).st_mode));
  }
  // A link to nothing would have made a file in a folder only root may write.
  ::unlink(planted.c_str());
  ASSERT_EQ(::symlink((rootOnly + "/made-by-link.amr").c_str(), planted.c_str()), 0);
  ASSERT_EQ(::lchown(planted.c_str(), kMallory, kMallory), 0);
  EXPECT_EQ(CliAs(0, "extract '" + container + "' '" + shared + "/rec'"), 2);
  EXPECT_TRUE(std::filesystem::is_empty(rootOnly));
  // The user's own link, or the folder owner's, is followed as before.
  ASSERT_EQ(::lchown(planted.c_str(), 0, 0), 0);
  EXPECT_EQ(CliAs(0, "extract '" + container + "' '" + shared + "/rec'"), 0);
  EXPECT_TRUE(std::filesystem::exists(rootOnly + "/made-by-link.amr"));
}

TEST_F(SharedFolders, AFilePutThereByAnotherUserIsNeitherWrittenNorGivenOurContent) {
  const std::string shared = Folder("shared", 0, 01777);
  const std::string planted = FileOf(shared + "/rec_1.amr", "mallory's", kMallory, 0666);
  std::string errors;
  EXPECT_EQ(CliAs(0, "extract '" + Container() + "' '" + shared + "/rec'", &errors), 2);
  EXPECT_NE(errors.find("Another user's file in a shared folder"), std::string::npos) << errors;
  EXPECT_EQ(test::Slurp(planted), "mallory's");
  EXPECT_TRUE(TemporariesIn(shared).empty());
}

// --- Full disks ------------------------------------------------------------------------------

using FullDisks = SharedScene;

// A file with two names is written in place; without room reserved first a full disk would
// leave the other name holding half a record.
TEST_F(FullDisks, AHardLinkedTargetKeepsItsOldContentWhenTheDiskIsFull) {
  const test::TmpfsMount disk(dir.File("disk"), "64k");
  if (!disk.Mounted()) GTEST_SKIP() << "tmpfs cannot be mounted here";
  const std::string record = dir.File("disk/rec_1.amr");
  const std::string other = dir.File("disk/other-name.amr");
  WriteAll(record, "the old record");
  ASSERT_EQ(::link(record.c_str(), other.c_str()), 0);
  const std::string container = Container(8000);  // a record of ~150 KiB
  std::string errors;
  EXPECT_EQ(CliAs(0, "extract '" + container + "' '" + dir.File("disk/rec") + "'", &errors), 2);
  EXPECT_NE(errors.find("No space left on device"), std::string::npos) << errors;
  EXPECT_EQ(test::Slurp(other), "the old record");
  EXPECT_EQ(StatOf(other).st_nlink, 2u);

  // The same through the editor's own save.
  hex::THexEditorEx editor;
  editor.Loaded();
  editor.SetCreateBackup(false);
  editor.LoadFromFile(container);
  EXPECT_THROW(editor.SaveToFile(other, true), platform::EFCreateError);
  EXPECT_EQ(test::Slurp(record), "the old record");
  EXPECT_TRUE(TemporariesIn(dir.File("disk")).empty());
}

// --- Leftovers -------------------------------------------------------------------------------

// The temporary of a save interrupted after its folder was renamed is still removed.
TEST(Leftovers, AnInterruptedSaveInARenamedFolderLeavesNoTemporary) {
  test::TempDir dir;
  const std::string before = dir.File("before");
  const std::string after = dir.File("after");
  ASSERT_EQ(::mkdir(before.c_str(), 0755), 0);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGTERM, SIG_DFL);
    platform::RemoveTemporariesOnInterrupt();
    platform::FileReplacement save(before + "/rec.amr", 10);
    ::write(ready[1], "x", 1);
    ::pause();
    ::_exit(0);
  }
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  ASSERT_EQ(TemporariesIn(before).size(), 1u);
  ASSERT_EQ(::rename(before.c_str(), after.c_str()), 0);
  ::kill(child, SIGTERM);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_TRUE(std::filesystem::is_empty(after));
  ::close(ready[0]);
  ::close(ready[1]);
}

// A process that reaches its file size limit is not killed half-way: the write fails and says so.
TEST(Leftovers, AFileSizeLimitFailsTheExportAndLeavesNothingBehind) {
  test::TempDir dir;
  WriteAll(dir.File("in.drf"), tools::BuildSampleContainer({2, 4000, 3}));
  const test::CliRun run = test::RunCli("extract in.drf rec", dir, "ulimit -f 16 && ");
  EXPECT_EQ(run.exitCode, 2) << run.err;
  EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
  EXPECT_TRUE(TemporariesIn(dir.Path()).empty());
  EXPECT_FALSE(std::filesystem::exists(dir.File("rec_1.amr")));
}

}  // namespace
}  // namespace kestrave
