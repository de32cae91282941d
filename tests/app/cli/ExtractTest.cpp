#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "SampleContainer.h"
#include "support/TempDir.h"

namespace kestrave::app {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

struct ShellRun {
  int exitCode = -1;
  std::string out;
};

ShellRun Shell(const std::string& command) {
  ShellRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe))
    run.out += buffer;
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string Cli() {
  return std::string("'") + KESTRAVE_CLI_PATH + "'";
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::int64_t from,
                                std::int64_t to) {
  return {bytes.begin() + from, bytes.begin() + to};
}

TEST(Extract, WritesEachRecordFromItsMagicToTheNextAsTheWindowDoes) {
  TempDir dir;
  const tools::SampleShape shape{5, 30, 11};
  const auto container = tools::BuildSampleContainer(shape);
  WriteAll(dir.File("in.drf"), container);
  const ShellRun run =
      Shell(Cli() + " extract '" + dir.File("in.drf") + "' '" + dir.File("rec") + "'");
  ASSERT_EQ(run.exitCode, 0) << run.out;
  std::ostringstream expected;
  expected << "Найдено 5 записей\n";
  for (int n = 1; n <= 5; ++n)
    expected << dir.File("rec_" + std::to_string(n) + ".amr") << '\n';
  EXPECT_EQ(run.out, expected.str());
  const tools::SampleLayout layout = tools::LayoutOfSample(shape);
  for (std::size_t i = 0; i < 5; ++i) {
    const std::int64_t from = layout.MagicPositions[i];
    const std::int64_t to =
        i + 1 < 5 ? layout.MagicPositions[i + 1] : static_cast<std::int64_t>(container.size());
    EXPECT_EQ(ReadAll(dir.File("rec_" + std::to_string(i + 1) + ".amr")),
              Slice(container, from, to))
        << "record " << i + 1;
  }
}

TEST(Extract, ReplacesExistingFilesAndReportsBadInput) {
  TempDir dir;
  WriteAll(dir.File("in.drf"), tools::BuildSampleContainer({1, 5, 2}));
  WriteAll(dir.File("rec_1.amr"), "old");
  EXPECT_EQ(
      Shell(Cli() + " extract '" + dir.File("in.drf") + "' '" + dir.File("rec") + "'").exitCode, 0);
  EXPECT_NE(ReadAll(dir.File("rec_1.amr")).size(), 3u);
  EXPECT_EQ(Shell(Cli() + " extract '" + dir.File("missing.drf") + "' x 2>/dev/null").exitCode, 2);
  EXPECT_EQ(Shell(Cli() + " extract '" + dir.File("in.drf") + "' 2>/dev/null").exitCode, 2);
  const ShellRun noFolder =
      Shell(Cli() + " extract '" + dir.File("in.drf") + "' '" + dir.File("no/rec") + "' 2>&1");
  EXPECT_EQ(noFolder.exitCode, 2);
  EXPECT_NE(noFolder.out.find("Cannot create file"), std::string::npos) << noFolder.out;
}

TEST(Extract, MagicWithoutMarkersWritesNothing) {
  TempDir dir;
  WriteAll(dir.File("in.drf"), "..#!AMR....#!AMR..");
  const ShellRun run =
      Shell(Cli() + " extract '" + dir.File("in.drf") + "' '" + dir.File("rec") + "'");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "Найдено 2 записей\n");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.drf"});
}

// The PCM a real AMR decoder makes of a file, or nothing when it fails.
std::optional<std::vector<std::uint8_t>> Decode(const std::string& file, const TempDir& dir) {
  const std::string raw = dir.File("decoded.raw");
  const ShellRun run =
      Shell("ffmpeg -nostdin -v quiet -y -i '" + file + "' -f s16le -ac 1 -ar 8000 '" + raw + "'");
  if (run.exitCode != 0) return std::nullopt;
  return ReadAll(raw);
}

TEST(Extract, EveryRecordOfTheSampleDecodesWithARealDecoder) {
  if (Shell("command -v ffmpeg").exitCode != 0) GTEST_SKIP() << "ffmpeg is not installed";
  TempDir dir;
  const std::string sample = KESTRAVE_SOURCE_DIR "/samples/sample.drf";
  ASSERT_EQ(
      Shell(Cli() + " extract '" + sample + "' '" + dir.File("rec") + "' >/dev/null").exitCode, 0);
  const auto container = ReadAll(sample);
  const tools::SampleLayout layout = tools::LayoutOfSample({3, 50, 1});
  for (std::size_t i = 0; i < 3; ++i) {
    const std::string record = dir.File("rec_" + std::to_string(i + 1) + ".amr");
    const std::int64_t magic = layout.MagicPositions[i];
    const std::int64_t next =
        i + 1 < 3 ? layout.MagicPositions[i + 1] : static_cast<std::int64_t>(container.size());
    ASSERT_EQ(ReadAll(record), Slice(container, magic, next)) << "the slice of the container";
    WriteAll(dir.File("stream.amr"), Slice(container, magic, magic + layout.StreamLengths[i]));
    const auto streamAudio = Decode(dir.File("stream.amr"), dir);
    const auto recordAudio = Decode(record, dir);
    ASSERT_TRUE(streamAudio && recordAudio) << "exit status 0 for record " << i + 1;
    ASSERT_EQ(streamAudio->size(), 50u * 160 * 2) << "fifty 20 ms frames of 8 kHz audio";
    ASSERT_GE(recordAudio->size(), streamAudio->size());
    EXPECT_TRUE(std::equal(streamAudio->begin(), streamAudio->end(), recordAudio->begin()))
        << "record " << i + 1 << " sounds as its embedded stream";
  }
}

}  // namespace
}  // namespace kestrave::app
