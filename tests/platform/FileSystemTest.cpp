#include "platform/FileSystem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "platform/FileStream.h"
#include "platform/SystemCalls.h"
#include "platform/SystemError.h"
#include "support/FileHeldElsewhere.h"
#include "support/HostileFiles.h"
#include "support/TempDir.h"

namespace kestrave::platform {
namespace {

using test::TempDir;
using test::WriteAll;

TEST(FileSystem, ExclusiveOpenFailsWhileAnotherOpenFileHoldsALock) {
  TempDir dir;
  const std::string file = dir.File("held.bin");
  WriteAll(file, "data");
  FileHandle holder = OpenForReadShared(file);
  ASSERT_TRUE(holder.IsOpen());
  EXPECT_FALSE(OpenReadWriteExclusive(file).IsOpen()) << "any other open counts, locked or not";
  ASSERT_EQ(::flock(holder.Fd(), LOCK_SH), 0);
  EXPECT_FALSE(OpenReadWriteExclusive(file).IsOpen());
  EXPECT_TRUE(OpenForReadShared(file).IsOpen()) << "reading is still shared";
  holder.Close();
  EXPECT_TRUE(OpenReadWriteExclusive(file).IsOpen());
}

TEST(FileSystem, FoldersAreNotFilesAndSaySo) {
  TempDir dir;
  errno = 0;
  EXPECT_FALSE(FileExists(dir.Path()));
  EXPECT_EQ(errno, EISDIR);
  EXPECT_FALSE(FileExists(dir.File("missing")));
  EXPECT_EQ(errno, ENOENT);
  WriteAll(dir.File("f"), "x");
  EXPECT_TRUE(FileExists(dir.File("f")));
}

// Runs something just before the next open of the seam, then lets the open through: the name
// then names something else than it did when it was checked.
class ChangeBeforeOpen : public ISystemCalls {
 public:
  explicit ChangeBeforeOpen(std::function<void()> change) : change_(std::move(change)) {
    SetSystemCalls(this);
  }
  ~ChangeBeforeOpen() override { SetSystemCalls(nullptr); }
  int Open(int folder, const char* path, int flags, mode_t mode) override {
    if (change_) std::exchange(change_, nullptr)();
    return ISystemCalls::Open(folder, path, flags, mode);
  }

 private:
  std::function<void()> change_;
};

// A listening socket bound to a name in the file system, closed when it goes.
class BoundSocket {
 public:
  explicit BoundSocket(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~BoundSocket() { ::close(fd_); }
  BoundSocket(const BoundSocket&) = delete;
  BoundSocket& operator=(const BoundSocket&) = delete;
  bool Bound() const { return bound_; }

 private:
  int fd_;
  bool bound_ = false;
};

int ErrorOfRefusedOpen(const std::string& path) {
  errno = 0;
  const FileHandle file = OpenForReadShared(path);
  return file.IsOpen() ? 0 : errno;
}

TEST(ReadingOpen, RefusesWhatIsNoRegularFileWithoutWaiting) {
  TempDir dir;
  const std::string fifo = dir.File("fifo");
  test::MakeFifo(fifo);
  {
    test::FifoGuard guard(fifo);
    EXPECT_EQ(ErrorOfRefusedOpen(fifo), kNotRegularFileError);
    EXPECT_FALSE(guard.Fired()) << "the open waited for a writer";
  }
  EXPECT_EQ(ErrorOfRefusedOpen("/dev/null"), kNotRegularFileError);
  EXPECT_EQ(ErrorOfRefusedOpen("/dev/zero"), kNotRegularFileError);
  EXPECT_EQ(ErrorOfRefusedOpen(dir.Path()), EISDIR);
  const BoundSocket socket(dir.File("socket"));
  ASSERT_TRUE(socket.Bound());
  EXPECT_EQ(ErrorOfRefusedOpen(dir.File("socket")), kNotRegularFileError);
  EXPECT_EQ(ErrorOfRefusedOpen(dir.File("missing")), ENOENT);
  std::filesystem::create_symlink("/dev/zero", dir.File("link-to-device"));
  EXPECT_EQ(ErrorOfRefusedOpen(dir.File("link-to-device")), kNotRegularFileError);
  errno = 0;
  EXPECT_FALSE(FileExists(fifo));
  EXPECT_EQ(errno, kNotRegularFileError);
}

TEST(ReadingOpen, GivesAnOrdinaryDescriptorOnARegularFileAndALinkToOne) {
  TempDir dir;
  WriteAll(dir.File("file"), "content");
  std::filesystem::create_symlink(dir.File("file"), dir.File("link"));
  for (const char* name : {"file", "link"}) {
    const FileHandle file = OpenForReadShared(dir.File(name));
    ASSERT_TRUE(file.IsOpen()) << name;
    EXPECT_EQ(::fcntl(file.Fd(), F_GETFL) & O_NONBLOCK, 0) << name << ": reads may wait as usual";
    char text[8] = {};
    EXPECT_EQ(THandleStream(file.Fd()).Read(text, 7), 7);
    EXPECT_STREQ(text, "content");
  }
}

// The name is checked, then changed into a FIFO or a device, then opened: what was opened is
// checked again, and the open of the FIFO did not wait for a writer.
TEST(ReadingOpen, ANameThatBecomesAFifoOrDeviceAfterItsCheckIsStillRefused) {
  TempDir dir;
  const std::string name = dir.File("swapped");
  for (const bool toFifo : {true, false}) {
    for (const bool probe : {false, true}) {
      std::filesystem::remove(name);
      WriteAll(name, "regular when checked");
      const ChangeBeforeOpen change([&] {
        std::filesystem::remove(name);
        if (toFifo) {
          test::MakeFifo(name);
        } else {
          std::filesystem::create_symlink("/dev/zero", name);
        }
      });
      test::FifoGuard guard(name);
      errno = 0;
      const FileHandle file = probe ? OpenReadWriteExclusive(name) : OpenForReadShared(name);
      EXPECT_FALSE(file.IsOpen()) << toFifo << probe;
      EXPECT_EQ(errno, kNotRegularFileError) << toFifo << probe;
      EXPECT_FALSE(guard.Fired()) << "the open waited for a writer";
    }
  }
}

TEST(HandleStream, KnowsWhyAReadCameUpShort) {
  TempDir dir;
  WriteAll(dir.File("short"), "abc");
  const FileHandle file = OpenForReadShared(dir.File("short"));
  THandleStream stream(file.Fd());
  char buffer[8];
  EXPECT_EQ(stream.Read(buffer, 8), 3);
  EXPECT_EQ(stream.LastError(), 0) << "the file ended";
  EXPECT_EQ(ReadFailureDetail("/x/short", stream), "/x/short: Unexpected end of file");

  const FileHandle folder(::open(dir.Path().c_str(), O_RDONLY | O_CLOEXEC));
  THandleStream folderStream(folder.Fd());
  EXPECT_EQ(folderStream.Read(buffer, 8), 0);
  EXPECT_EQ(folderStream.LastError(), EISDIR);
  EXPECT_EQ(ReadFailureDetail(dir.Path(), folderStream), dir.Path() + ": Is a directory");
  EXPECT_EQ(folderStream.Read(buffer, 0), 0);
  EXPECT_EQ(folderStream.LastError(), 0) << "each read says for itself";
}

TEST(FileSystem, RenameDeleteAndSize) {
  TempDir dir;
  WriteAll(dir.File("a"), "12345");
  EXPECT_EQ(FileSizeOf(dir.File("a")), 5);
  EXPECT_TRUE(RenameFile(dir.File("a"), dir.File("b")));
  EXPECT_FALSE(FileExists(dir.File("a")));
  EXPECT_TRUE(DeleteFile(dir.File("b")));
  EXPECT_FALSE(DeleteFile(dir.File("b")));
  EXPECT_EQ(FileSizeOf(dir.File("b")), std::nullopt);
}

TEST(FileSystem, PathParts) {
  EXPECT_EQ(DirectoryOf("/a/b/c.drf"), "/a/b");
  EXPECT_EQ(DirectoryOf("/c.drf"), "/");
  EXPECT_EQ(DirectoryOf("c.drf"), ".");
  EXPECT_EQ(BaseNameOf("/a/b/c.drf"), "c.drf");
  EXPECT_EQ(BaseNameOf("c.drf"), "c.drf");
}

TEST(FileHandle, MovingKeepsOneOwner) {
  TempDir dir;
  WriteAll(dir.File("f"), "x");
  FileHandle first = OpenForReadShared(dir.File("f"));
  const int fd = first.Fd();
  FileHandle second(std::move(first));
  EXPECT_FALSE(first.IsOpen());
  EXPECT_EQ(second.Fd(), fd);
  FileHandle third;
  third = std::move(second);
  EXPECT_EQ(third.Fd(), fd);
  EXPECT_FALSE(second.IsOpen());
}

// The read-only probe of a loaded file: another program that has the file open, for writing or
// for reading and with no lock at all, makes it refuse; so does another open in this process.
TEST(ExclusiveOpen, SeesOtherProgramsThatHoldTheFileOpenWithoutALock) {
  TempDir dir;
  const std::string file = dir.File("shared.drf");
  WriteAll(file, "data");
  EXPECT_TRUE(OpenReadWriteExclusive(file).IsOpen()) << "nobody else has it open";
  for (const int flags : {O_WRONLY, O_RDWR | O_APPEND, O_RDONLY}) {
    const test::FileHeldElsewhere writer(file, flags);
    ASSERT_TRUE(writer.Holding());
    EXPECT_FALSE(OpenReadWriteExclusive(file).IsOpen()) << "open flags " << flags;
    EXPECT_TRUE(OpenForReadShared(file).IsOpen()) << "reading is still shared";
  }
  EXPECT_TRUE(OpenReadWriteExclusive(file).IsOpen()) << "once the other program is gone";
  EXPECT_TRUE(OpenReadWriteExclusive(file).IsOpen()) << "the probe leaves nothing held";
  const test::FileHeldElsewhere other(dir.File("another.drf"), O_WRONLY | O_CREAT);
  ASSERT_TRUE(other.Holding());
  EXPECT_TRUE(OpenReadWriteExclusive(file).IsOpen()) << "only opens of this very file count";
}

// A file of another owner gets no lease without CAP_LEASE: the probe falls back to the lock,
// which sees only the programs that take one.
TEST(ExclusiveOpen, WithoutTheRightToALeaseFallsBackToTheLock) {
  if (::geteuid() != 0)
    GTEST_SKIP() << "needs the superuser to probe a file as a user who does not own it";
  TempDir dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  const std::string file = dir.File("root-owned.drf");
  WriteAll(file, "data");
  ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Only calls that are safe in a child of a process with threads; the answer is the exit code.
    if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0) ::_exit(9);
    int failures = 0;
    if (!OpenReadWriteExclusive(file).IsOpen()) failures |= 1;
    const FileHandle unlocked(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!OpenReadWriteExclusive(file).IsOpen()) failures |= 2;
    const FileHandle locked(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (::flock(locked.Fd(), LOCK_SH) != 0) failures |= 4;
    if (OpenReadWriteExclusive(file).IsOpen()) failures |= 8;
    ::_exit(failures);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 9) << "could not become another user";
  EXPECT_EQ(WEXITSTATUS(status) & 1, 0) << "alone, the file is writable";
  EXPECT_EQ(WEXITSTATUS(status) & 2, 0) << "an open without a lock goes unseen here";
  EXPECT_EQ(WEXITSTATUS(status) & 4, 0) << "the lock could not be taken";
  EXPECT_EQ(WEXITSTATUS(status) & 8, 0) << "a lock is still seen";
}

}  // namespace
}  // namespace kestrave::platform
