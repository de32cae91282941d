#include "platform/FileReplacement.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <thread>

#include "platform/SystemCalls.h"
#include "platform/SystemError.h"
#include "support/HostileFiles.h"
#include "support/OtherUsers.h"
#include "support/TempDir.h"

namespace kestrave::platform {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

void WriteText(const FileReplacement& replacement, std::string_view text) {
  ASSERT_EQ(::write(replacement.Fd(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

std::string Text(const std::string& path) {
  const auto bytes = ReadAll(path);
  return {bytes.begin(), bytes.end()};
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

TEST(FileReplacement, ReplacesOnlyWhenInstalled) {
  TempDir dir;
  const std::string target = dir.File("out.amr");
  WriteAll(target, "old");
  {
    FileReplacement replacement(target, 0);
    ASSERT_TRUE(replacement.IsOpen());
    WriteText(replacement, "new content");
    EXPECT_EQ(Text(target), "old") << "nothing changes before the install";
    EXPECT_EQ(dir.Entries().size(), 2u);
    EXPECT_EQ(replacement.Flush(), 0);
    EXPECT_EQ(replacement.Install(), 0);
  }
  EXPECT_EQ(Text(target), "new content");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.amr"});
}

TEST(FileReplacement, AbandonedReplacementLeavesTargetAndNoTemporary) {
  TempDir dir;
  const std::string target = dir.File("keep.bin");
  WriteAll(target, "precious");
  {
    FileReplacement replacement(target, 0);
    WriteText(replacement, "half");
  }
  EXPECT_EQ(Text(target), "precious");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"keep.bin"});
}

TEST(FileReplacement, KeepsThePermissionBitsOfTheTarget) {
  TempDir dir;
  const std::string target = dir.File("script.sh");
  WriteAll(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0751), 0);
  FileReplacement replacement(target, 0);
  WriteText(replacement, "new");
  ASSERT_EQ(replacement.Install(), 0);
  EXPECT_EQ(ModeOf(target), 0751u);
}

TEST(FileReplacement, NewFileGetsTheUsualModeNotThePrivateOne) {
  TempDir dir;
  const mode_t saved = ::umask(022);
  const std::string target = dir.File("fresh.amr");
  {
    FileReplacement replacement(target, 0);
    ASSERT_EQ(replacement.Install(), 0);
  }
  ::umask(saved);
  EXPECT_EQ(ModeOf(target), 0644u);
}

TEST(FileReplacement, FollowsALinkAndReplacesWhatItPointsTo) {
  TempDir dir;
  const std::string real = dir.File("real.bin");
  const std::string link = dir.File("link.bin");
  WriteAll(real, "old");
  ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
  FileReplacement replacement(link, 0);
  WriteText(replacement, "new");
  ASSERT_EQ(replacement.Install(), 0);
  EXPECT_EQ(Text(real), "new");
  struct stat info {};
  ASSERT_EQ(::lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link itself stays a link";
}

TEST(FileReplacement, RefusesFoldersAndMissingFolders) {
  TempDir dir;
  FileReplacement onFolder(dir.Path(), 0);
  EXPECT_FALSE(onFolder.IsOpen());
  EXPECT_EQ(onFolder.Error(), EISDIR);
  FileReplacement inMissingFolder(dir.File("no/such/file"), 0);
  EXPECT_FALSE(inMissingFolder.IsOpen());
  EXPECT_EQ(inMissingFolder.Error(), ENOENT);
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(FileReplacement, ANewTargetIsWrittenUnderItsNameAndRemovedWhenAbandoned) {
  TempDir dir;
  const std::string target = dir.File("new.amr");
  {
    FileReplacement replacement(target, 0);
    ASSERT_TRUE(replacement.IsOpen());
    WriteText(replacement, "half");
  }
  EXPECT_TRUE(dir.Entries().empty()) << "a failed save of a new file leaves nothing";
  {
    FileReplacement replacement(target, 0);
    WriteText(replacement, "whole");
    ASSERT_EQ(replacement.Install(), 0);
  }
  EXPECT_EQ(Text(target), "whole");
}

TEST(FileReplacement, RefusesATargetThatMayNotBeWritten) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write any file";
  TempDir dir;
  const std::string target = dir.File("locked.bin");
  WriteAll(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
  FileReplacement replacement(target, 0);
  EXPECT_FALSE(replacement.IsOpen());
  EXPECT_EQ(replacement.Error(), EACCES);
}

// --- What may not be replaced by a new file -------------------------------------------------

struct stat StatOf(const std::string& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info;
}

// A device node of our own in the test's folder: a fault that replaced it would harm nothing
// outside the test. Only the superuser may make one; others get the system's /dev/null.
std::string NullDeviceIn(const TempDir& dir) {
  if (::geteuid() != 0) return "/dev/null";
  const std::string node = dir.File("null");
  if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) return "/dev/null";
  return node;
}

TEST(FileReplacementTargets, ACharacterDeviceIsWrittenInPlaceThroughALink) {
  TempDir dir;
  const std::string device = NullDeviceIn(dir);
  const std::string link = dir.File("kestrave-hex.settings");
  ASSERT_EQ(::symlink(device.c_str(), link.c_str()), 0);
  const struct stat before = StatOf(device);
  {
    FileReplacement replacement(link, 0);
    ASSERT_TRUE(replacement.IsOpen()) << SystemErrorText(replacement.Error());
    EXPECT_TRUE(replacement.WritesInPlace());
    WriteText(replacement, "BytesPerRow=16\n");
    EXPECT_EQ(replacement.Install(), 0);
  }
  const struct stat after = StatOf(device);
  EXPECT_TRUE(S_ISCHR(after.st_mode)) << "the device is still a device";
  EXPECT_EQ(after.st_rdev, before.st_rdev);
  EXPECT_TRUE(S_ISLNK(StatOf(link).st_mode)) << "the link is still a link";
  for (const std::string& name : dir.Entries())
    EXPECT_TRUE(name == "null" || name == "kestrave-hex.settings") << "left behind: " << name;
}

TEST(FileReplacementTargets, FifosSocketsAndBlockDevicesAreRefusedAndLeftAlone) {
  TempDir dir;
  const std::string fifo = dir.File("pipe.amr");
  test::MakeFifo(fifo);
  const std::string socketPath = dir.File("socket.amr");
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const std::string linkToFifo = dir.File("link.amr");
  ASSERT_EQ(::symlink(fifo.c_str(), linkToFifo.c_str()), 0);
  std::vector<std::string> targets{fifo, socketPath, linkToFifo};
  const std::string block = dir.File("block.amr");
  if (::geteuid() == 0 && ::mknod(block.c_str(), S_IFBLK | 0600, makedev(7, 250)) == 0)
    targets.push_back(block);
  const std::vector<std::string> before = dir.Entries();
  for (const std::string& target : targets) {
    const test::FifoGuard guard(fifo);
    FileReplacement replacement(target, 0);
    EXPECT_FALSE(replacement.IsOpen()) << target;
    EXPECT_EQ(replacement.Error(), kNotRegularFileError) << target;
    EXPECT_EQ(SystemErrorText(replacement.Error()), "Not a regular file");
    EXPECT_NE(replacement.Install(), 0) << "nothing to install";
    EXPECT_FALSE(guard.Fired()) << "the FIFO was opened: " << target;
  }
  EXPECT_TRUE(test::IsFifo(fifo));
  EXPECT_TRUE(S_ISSOCK(StatOf(socketPath).st_mode));
  if (targets.size() == 4) {
    EXPECT_TRUE(S_ISBLK(StatOf(block).st_mode));
  }
  EXPECT_EQ(dir.Entries(), before) << "no temporary file is left behind";
  ::close(listener);
}

// --- Who owns a replaced file and what it shares ------------------------------------------

constexpr uid_t kNobody = 65534;

// Runs Work as the unprivileged user nobody and answers its exit code: in a child process that
// becomes nobody when the test runs as the superuser, else in this process as it is.
int ExitCodeUnprivileged(const std::function<int()>& work) {
  return ::geteuid() != 0 ? work() : test::RunAs(kNobody, work);
}

// The steps of a whole save, as exit codes: 0 when it went through.
int SaveText(const std::string& target, std::string_view text, bool expectInPlace) {
  FileReplacement replacement(target, 0);
  if (!replacement.IsOpen()) return 10;
  if (replacement.WritesInPlace() != expectInPlace) return 11;
  if (::write(replacement.Fd(), text.data(), text.size()) != static_cast<ssize_t>(text.size()))
    return 12;
  return replacement.Install() == 0 ? 0 : 13;
}

TEST(FileReplacementIdentity, AnotherUsersFileKeepsItsOwnerGroupAndMode) {
  if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can give a file to another user";
  TempDir dir;
  const std::string target = dir.File("tool");
  WriteAll(target, "old");
  ASSERT_EQ(::chown(target.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(::chmod(target.c_str(), 04755), 0);
  ASSERT_EQ(SaveText(target, "new content", false), 0);
  const struct stat after = StatOf(target);
  EXPECT_EQ(after.st_uid, kNobody);
  EXPECT_EQ(after.st_gid, kNobody);
  EXPECT_EQ(after.st_mode & 07777, 04755u) << "set-user-ID stays with the owner it had";
  EXPECT_EQ(Text(target), "new content");
}

TEST(FileReplacementIdentity, AFileWhoseOwnerCannotBeKeptIsWrittenInPlace) {
  if (::geteuid() != 0) GTEST_SKIP() << "a file of another user is made by the superuser";
  TempDir dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
  const std::string target = dir.File("shared.amr");
  WriteAll(target, "the old and longer content");
  ASSERT_EQ(::chmod(target.c_str(), 02666), 0);
  const struct stat before = StatOf(target);
  EXPECT_EQ(ExitCodeUnprivileged([&] { return SaveText(target, "new", true); }), 0);
  const struct stat after = StatOf(target);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the same file, written in place";
  EXPECT_EQ(after.st_uid, 0u);
  EXPECT_EQ(after.st_gid, 0u);
  // The system may clear set-ID bits on a write by another user; none may be added.
  EXPECT_EQ(after.st_mode & 06000 & ~(before.st_mode & 06000), 0u);
  EXPECT_EQ(Text(target), "new") << "cut to the new length";
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"shared.amr"});
}

TEST(FileReplacementIdentity, OnesOwnSetIdFileKeepsItsBitsAfterTheWrite) {
  TempDir dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
  const std::string target = dir.File("own-tool");
  WriteAll(target, "old");
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(target.c_str(), kNobody, kNobody), 0);
  }
  ASSERT_EQ(::chmod(target.c_str(), 06755), 0);
  EXPECT_EQ(ExitCodeUnprivileged([&] { return SaveText(target, "new", false); }), 0);
  EXPECT_EQ(ModeOf(target), 06755u);
  EXPECT_EQ(Text(target), "new");
}

TEST(FileReplacementIdentity, AFileWithOtherNamesIsWrittenInPlaceForAllOfThem) {
  TempDir dir;
  const std::string target = dir.File("a.amr");
  const std::string other = dir.File("b.amr");
  WriteAll(target, "old content, longer than the new");
  ASSERT_EQ(::link(target.c_str(), other.c_str()), 0);
  const ino_t inode = StatOf(target).st_ino;
  ASSERT_EQ(SaveText(target, "new", true), 0);
  EXPECT_EQ(Text(other), "new") << "the other name sees the new content";
  EXPECT_EQ(StatOf(target).st_ino, inode);
  EXPECT_EQ(StatOf(target).st_nlink, 2u);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.amr", "b.amr"}));
}

TEST(FileReplacementIdentity, AFileSavedTwiceAtOnceNeverTakesThePrivateModeOfTheOther) {
  TempDir dir;
  const mode_t saved = ::umask(022);
  const std::string target = dir.File("rec_1.amr");
  {
    FileReplacement first(target, 0);
    WriteText(first, "first");
    EXPECT_FALSE(::access(target.c_str(), F_OK) == 0) << "nothing under the name before the end";
    FileReplacement second(target, 0);
    WriteText(second, "second");
    EXPECT_EQ(second.Install(), 0);
    EXPECT_EQ(first.Install(), 0);
  }
  ::umask(saved);
  EXPECT_EQ(ModeOf(target), 0644u);
  EXPECT_EQ(Text(target), "first");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"rec_1.amr"});
}

// The mask of this process as the system reports it, without changing it to read it.
std::string ProcessUmask() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("Umask:", 0) == 0) return line.substr(6);
  return {};
}

TEST(FileReplacementIdentity, NewFilesLeaveTheProcessUmaskAloneForOtherThreads) {
  TempDir dir;
  const mode_t saved = ::umask(022);
  const std::string expected = ProcessUmask();
  if (expected.empty()) GTEST_SKIP() << "the system does not report the umask";
  std::atomic<bool> done{false};
  std::thread saver([&] {
    for (int i = 0; i < 2000; ++i) {
      FileReplacement replacement(dir.File("f"), 0, /*sync=*/false);
      replacement.Install();
      ::unlink(dir.File("f").c_str());
    }
    done = true;
  });
  int changed = 0;
  while (!done)
    if (ProcessUmask() != expected) ++changed;
  saver.join();
  ::umask(saved);
  EXPECT_EQ(changed, 0) << "a file another thread created meanwhile could get any mode";
}

// --- Names at the limit --------------------------------------------------------------------

// The temporary files in the folder while a replacement is in flight.
std::vector<std::string> TemporariesIn(const TempDir& dir) {
  std::vector<std::string> found;
  for (const std::string& name : dir.Entries())
    if (name.front() == '.') found.push_back(name);
  return found;
}

bool IsValidUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : 4;
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

TEST(FileReplacementNames, TargetsWithTheLongestNamesAreReplacedAndCreated) {
  TempDir dir;
  const long limit = ::pathconf(dir.Path().c_str(), _PC_NAME_MAX);
  ASSERT_GT(limit, 16);
  // Two-byte characters from an odd offset: a cut at an even length would split one.
  std::string cyrillic = "z";
  while (static_cast<long>(cyrillic.size()) + 2 <= limit)
    cyrillic += "я";
  const auto letters = [](long count, char letter) {
    return std::string(static_cast<std::size_t>(count), letter);
  };
  const std::vector<std::string> names{letters(limit, 'a'),      letters(241, 'b'),
                                       letters(limit - 1, 'c'),  cyrillic,
                                       letters(limit - 15, 'd'), letters(limit - 16, 'e')};
  for (const std::string& name : names) {
    const std::string target = dir.File(name);
    for (const bool exists : {true, false}) {
      if (exists) WriteAll(target, "old");
      FileReplacement replacement(target, 0);
      ASSERT_TRUE(replacement.IsOpen())
          << name.size() << " bytes: " << SystemErrorText(replacement.Error());
      const std::vector<std::string> temporaries = TemporariesIn(dir);
      ASSERT_EQ(temporaries.size(), 1u);
      EXPECT_LE(static_cast<long>(temporaries[0].size()), limit);
      EXPECT_TRUE(IsValidUtf8(temporaries[0])) << "no character is cut in two";
      WriteText(replacement, "new");
      ASSERT_EQ(replacement.Install(), 0);
      EXPECT_EQ(Text(target), "new");
      EXPECT_TRUE(TemporariesIn(dir).empty());
      ::unlink(target.c_str());
    }
  }
}

TEST(FileReplacementNames, TwoSavesOfOneLongNameAtOnceGetTemporariesOfTheirOwn) {
  TempDir dir;
  const long limit = ::pathconf(dir.Path().c_str(), _PC_NAME_MAX);
  const std::string target = dir.File(std::string(static_cast<std::size_t>(limit), 'x'));
  WriteAll(target, "old");
  FileReplacement first(target, 0);
  FileReplacement second(target, 0);
  ASSERT_TRUE(first.IsOpen());
  ASSERT_TRUE(second.IsOpen());
  EXPECT_EQ(TemporariesIn(dir).size(), 2u);
}

// --- When no temporary file can be made ------------------------------------------------------

class RefusedCreation : public ISystemCalls {
 public:
  RefusedCreation() { SetSystemCalls(this); }
  ~RefusedCreation() override { SetSystemCalls(nullptr); }
  int Open(int folder, const char* path, int flags, mode_t mode) override {
    if ((flags & O_CREAT) != 0) {
      errno = EACCES;
      return -1;
    }
    return ISystemCalls::Open(folder, path, flags, mode);
  }
};

TEST(FileReplacementFallback, AWritableFileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
  TempDir dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  const std::string folder = dir.File("read-only");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  const std::string target = folder + "/data.bin";
  WriteAll(target, "old content");
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chown(target.c_str(), kNobody, kNobody), 0);
  }
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  const ino_t inode = StatOf(target).st_ino;
  EXPECT_EQ(ExitCodeUnprivileged([&] { return SaveText(target, "new", true); }), 0);
  EXPECT_EQ(Text(target), "new");
  EXPECT_EQ(StatOf(target).st_ino, inode);
  // A new file needs the folder: it is refused as before.
  EXPECT_EQ(ExitCodeUnprivileged([&] {
              FileReplacement replacement(folder + "/new.bin", 0);
              return !replacement.IsOpen() && replacement.Error() == EACCES ? 0 : 1;
            }),
            0);
  ::chmod(folder.c_str(), 0755);
}

TEST(FileReplacementFallback, ARefusedTemporaryFallsBackToTheTargetOnlyWhenItExists) {
  TempDir dir;
  const std::string target = dir.File("data.bin");
  WriteAll(target, "old content");
  {
    const RefusedCreation refused;
    EXPECT_EQ(SaveText(target, "new", true), 0);
    FileReplacement fresh(dir.File("fresh.bin"), 0);
    EXPECT_FALSE(fresh.IsOpen());
    EXPECT_EQ(fresh.Error(), EACCES);
  }
  EXPECT_EQ(Text(target), "new");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"data.bin"});
}

// --- New files ------------------------------------------------------------------------------

TEST(FileReplacement, ANewTargetDoesNotExistUntilItIsComplete) {
  TempDir dir;
  const std::string target = dir.File("rec_1.amr");
  FileReplacement replacement(target, 0);
  ASSERT_TRUE(replacement.IsOpen());
  EXPECT_FALSE(replacement.WritesInPlace());
  WriteText(replacement, "whole record");
  EXPECT_NE(::access(target.c_str(), F_OK), 0) << "no half-written file under the name";
  ASSERT_EQ(replacement.Install(), 0);
  EXPECT_EQ(Text(target), "whole record");
}

TEST(FileReplacement, ADanglingLinkGetsItsFileCreatedWhereItPoints) {
  TempDir dir;
  const std::string link = dir.File("link.amr");
  ASSERT_EQ(::symlink("real.amr", link.c_str()), 0);
  FileReplacement replacement(link, 0);
  WriteText(replacement, "new");
  ASSERT_EQ(replacement.Install(), 0);
  EXPECT_TRUE(S_ISLNK(StatOf(link).st_mode));
  EXPECT_EQ(Text(dir.File("real.amr")), "new");
}

}  // namespace
}  // namespace kestrave::platform
