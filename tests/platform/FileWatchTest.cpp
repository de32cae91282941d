#include "platform/FileWatch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "platform/FileStamp.h"
#include "support/TempDir.h"

namespace kestrave::platform {
namespace {

using test::TempDir;
using test::WriteAll;

// Sets the file's modification time, so a rewrite within the same clock tick still shows.
void SetModified(const std::string& path, std::int64_t seconds, long nanoseconds) {
  const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// What other programs do to a file: each changes its stamp and is reported by the watch.
TEST(FileWatch, EveryWayAnotherProgramChangesTheFileIsSeenAndStamped) {
  struct Case {
    const char* what;
    std::function<void(const TempDir&, const std::string&)> change;
  };
  const Case cases[] = {
      {"rewritten, same size", [](const TempDir&, const std::string& f) { WriteAll(f, "DATA"); }},
      {"grown", [](const TempDir&, const std::string& f) { WriteAll(f, "data and more"); }},
      {"replaced by a rename",
       [](const TempDir& dir, const std::string& f) {
         WriteAll(dir.File("new"), "data");
         std::filesystem::rename(dir.File("new"), f);
       }},
      {"removed", [](const TempDir&, const std::string& f) { std::filesystem::remove(f); }},
      {"written through another name",
       [](const TempDir& dir, const std::string&) { WriteAll(dir.File("link"), "DaTa"); }},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string file = dir.File("watched.bin");
    WriteAll(file, "data");
    SetModified(file, 500, 0);
    std::filesystem::create_hard_link(file, dir.File("link"));
    const std::optional<FileStamp> before = StampOf(file);
    ASSERT_TRUE(before);
    FileWatch watch;
    ASSERT_GE(watch.Fd(), 0);
    watch.Watch(file);
    WriteAll(dir.File("other.bin"), "unrelated");
    EXPECT_FALSE(watch.Drain()) << c.what << ": another file of the folder";
    c.change(dir, file);
    EXPECT_TRUE(watch.Drain()) << c.what;
    EXPECT_FALSE(watch.Drain()) << c.what << ": drained";
    errno = 0;
    const std::optional<FileStamp> after = StampOf(file);
    EXPECT_NE(after, before) << c.what;
    if (!after) {
      EXPECT_EQ(errno, ENOENT) << c.what;
    }
  }
}

// After a rename over the name, the file now under it is watched, not the one replaced.
TEST(FileWatch, FollowsTheNameToTheFileThatReplacedIt) {
  TempDir dir;
  const std::string file = dir.File("watched.bin");
  WriteAll(file, "first");
  FileWatch watch;
  watch.Watch(file);
  std::filesystem::rename(file, dir.File("old.bin"));
  WriteAll(dir.File("new.bin"), "second");
  std::filesystem::rename(dir.File("new.bin"), file);
  EXPECT_TRUE(watch.Drain());
  WriteAll(dir.File("old.bin"), "the replaced file, written");
  EXPECT_FALSE(watch.Drain()) << "no longer the file under the name";
  std::filesystem::create_hard_link(file, dir.File("second-name"));
  watch.Drain();
  WriteAll(dir.File("second-name"), "written through its other name");
  EXPECT_TRUE(watch.Drain());

  watch.Watch({});
  WriteAll(file, "no longer watched");
  EXPECT_FALSE(watch.Drain());
}

}  // namespace
}  // namespace kestrave::platform
