#include "platform/FileReplacement.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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
    FileReplacement replacement(target);
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
    FileReplacement replacement(target);
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
  FileReplacement replacement(target);
  WriteText(replacement, "new");
  ASSERT_EQ(replacement.Install(), 0);
  EXPECT_EQ(ModeOf(target), 0751u);
}

TEST(FileReplacement, NewFileGetsTheUsualModeNotThePrivateOne) {
  TempDir dir;
  const mode_t saved = ::umask(022);
  const std::string target = dir.File("fresh.amr");
  {
    FileReplacement replacement(target);
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
  FileReplacement replacement(link);
  WriteText(replacement, "new");
  ASSERT_EQ(replacement.Install(), 0);
  EXPECT_EQ(Text(real), "new");
  struct stat info {};
  ASSERT_EQ(::lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link itself stays a link";
}

TEST(FileReplacement, RefusesFoldersAndMissingFolders) {
  TempDir dir;
  FileReplacement onFolder(dir.Path());
  EXPECT_FALSE(onFolder.IsOpen());
  EXPECT_EQ(onFolder.Error(), EISDIR);
  FileReplacement inMissingFolder(dir.File("no/such/file"));
  EXPECT_FALSE(inMissingFolder.IsOpen());
  EXPECT_EQ(inMissingFolder.Error(), ENOENT);
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(FileReplacement, ANewTargetIsWrittenUnderItsNameAndRemovedWhenAbandoned) {
  TempDir dir;
  const std::string target = dir.File("new.amr");
  {
    FileReplacement replacement(target);
    ASSERT_TRUE(replacement.IsOpen());
    WriteText(replacement, "half");
  }
  EXPECT_TRUE(dir.Entries().empty()) << "a failed save of a new file leaves nothing";
  {
    FileReplacement replacement(target);
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
  FileReplacement replacement(target);
  EXPECT_FALSE(replacement.IsOpen());
  EXPECT_EQ(replacement.Error(), EACCES);
}

}  // namespace
}  // namespace kestrave::platform
