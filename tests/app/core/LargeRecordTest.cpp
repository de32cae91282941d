// A record longer than 2,147,418,112 bytes, the longest whose pieces an int could count: the
// export writes it whole. It needs about 12 GB of memory and a minute, so it runs on request.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "SampleContainer.h"
#include "support/TempDir.h"

namespace kestrave::app {
namespace {

bool LargeTestsRequested() {
  const char* wanted = std::getenv("KESTRAVE_LARGE_TESTS");
  return wanted && std::string(wanted) == "1";
}

std::int64_t MemoryBytes() {
  return std::int64_t{::sysconf(_SC_PHYS_PAGES)} * ::sysconf(_SC_PAGESIZE);
}

TEST(LargeRecord, ARecordNearlyAsLongAsABufferIsExportedWhole) {
  if (!LargeTestsRequested()) GTEST_SKIP() << "needs 12 GB and a minute: KESTRAVE_LARGE_TESTS=1";
  if (MemoryBytes() < (std::int64_t{16} << 30)) GTEST_SKIP() << "needs 16 GB of memory";
  test::TempDir dir;
  const tools::SampleShape shape{1, 70'865'000, 1, 24};
  const tools::SampleLayout layout = tools::LayoutOfSample(shape);
  {
    const std::vector<std::uint8_t> container = tools::BuildSampleContainer(shape);
    ASSERT_LE(container.size(), 0x7FFFFFFFu) << "a buffer holds it";
    test::WriteAll(dir.File("huge.drf"), container);
  }
  const std::int64_t length =
      std::filesystem::file_size(dir.File("huge.drf")) - layout.MagicPositions[0];
  ASSERT_GT(length, 2'147'418'112) << "longer than the pieces of an int reach";
  const std::string command = std::string("'") + KESTRAVE_CLI_PATH + "' extract '" +
                              dir.File("huge.drf") + "' '" + dir.File("rec") + "' >/dev/null";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(static_cast<std::int64_t>(std::filesystem::file_size(dir.File("rec_1.amr"))), length);
  const std::string compare = "tail -c +" + std::to_string(layout.MagicPositions[0] + 1) + " '" +
                              dir.File("huge.drf") + "' | cmp -s - '" + dir.File("rec_1.amr") + "'";
  EXPECT_EQ(std::system(compare.c_str()), 0) << "the record's bytes, all of them";
}

}  // namespace
}  // namespace kestrave::app
