#include "platform/FileSystem.h"

#include <gtest/gtest.h>
#include <sys/file.h>

#include <cerrno>

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
  EXPECT_TRUE(OpenReadWriteExclusive(file).IsOpen()) << "an open without a lock does not block";
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

}  // namespace
}  // namespace kestrave::platform
