// The command line reads containers a piece at a time; the window's workflow holds them whole and
// moves each record through the clipboard. Both must come to the same status, positions, errors,
// record files, records' streams and trimmed files on every container, wherever the pieces and
// windows happen to split it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <string>
#include <vector>

#include "SampleContainer.h"
#include "platform/MessageQueue.h"
#include "support/ConverterOutcome.h"
#include "support/TempDir.h"

namespace kestrave::app {
namespace {

const std::string kMagic = "#!AMR";
const std::string kMarker = std::string("\x06\x1F\x22", 3) + "audio/amr";

std::string Random(std::mt19937& random, std::size_t size) {
  std::string bytes(size, '\0');
  for (char& c : bytes)
    c = static_cast<char>(random() & 0xFF);
  return bytes;
}

// Bytes full of both texts in every letter case, next to each other and apart.
std::string Crowded(unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes;
  for (int i = 0; i < 300; ++i) {
    switch (random() % 5) {
      case 0:
        bytes += kMagic;
        break;
      case 1:
        bytes += "#!amr";
        break;
      case 2:
        bytes += kMarker;
        break;
      case 3:
        bytes += std::string("\x06\x1F\x22", 3) + "AUDIO/Amr";
        break;
      default:
        bytes += Random(random, random() % 40);
    }
  }
  return bytes;
}

std::string Sample(int records, int frames = 12) {
  const auto bytes = tools::BuildSampleContainer({records, frames, 7, 24});
  return {bytes.begin(), bytes.end()};
}

// Records many windows long, with zeros and random bytes over some of their frames: the windows'
// walks are joined across the damage.
std::string LongDamaged(std::mt19937& random) {
  std::string bytes = Sample(2, 4000);
  for (const std::size_t at : {9000u, 31000u, 60000u})
    bytes.replace(at, 700, std::string(700, '\0'));
  bytes.replace(45000, 300, Random(random, 300));
  return bytes;
}

// A wideband record many windows long, after its marker, with a run of zeros in it.
std::string LongWideband(std::mt19937& random) {
  constexpr int kFrameBytes[] = {18, 24, 33, 37, 41, 47, 51, 59, 61};
  std::string bytes = kMarker + "#!AMR-WB\n";
  while (bytes.size() < 150'000) {
    const int type = static_cast<int>(random() % 9);
    bytes += static_cast<char>(type << 3 | 0x04);
    bytes += Random(random, static_cast<std::size_t>(kFrameBytes[type] - 1));
  }
  bytes.replace(70'000, 900, std::string(900, '\0'));
  return bytes;
}

TEST(StreamedExport, EqualsTheWorkflowOnEveryContainerAndPieceSize) {
  std::mt19937 random(7);
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"one byte", "#"},
      {"two bytes", "#!"},
      {"no records", "no voice records in here"},
      {"a magic only", kMagic},
      {"three sample records", Sample(3)},
      {"more markers than magics", kMarker + kMagic + "a" + kMarker + kMarker + kMagic + kMarker},
      {"more magics than markers", kMarker + kMagic + "xx" + kMagic + "yy" + kMagic + "zz"},
      {"markers without a magic", kMarker + "abc" + kMarker},
      {"a magic at the start, a marker at the end", kMagic + Random(random, 100) + kMarker},
      {"texts back to back", kMagic + kMagic + kMarker + kMarker + kMagic + kMarker},
      {"long records with damage", LongDamaged(random)},
      {"a long wideband record with damage", LongWideband(random)},
      {"crowded", Crowded(1)},
      {"crowded again", Crowded(2)},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    test::WriteAll(dir.File("c.drf"), c.bytes);
    const test::ConverterOutcome expected = test::ByWorkflow(dir.File("c.drf"), dir.File("w"));
    platform::ProcessManualQueue().Pump();
    for (const std::int64_t piece : {3, 11, 64, 1 << 20}) {
      SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(piece));
      const test::ConverterOutcome streamed =
          test::ByStream(dir.File("c.drf"), dir.File("w"), piece);
      EXPECT_EQ(streamed.ScanError, expected.ScanError);
      EXPECT_EQ(streamed.Status, expected.Status);
      EXPECT_EQ(streamed.Magics, expected.Magics);
      EXPECT_EQ(streamed.Markers, expected.Markers);
      EXPECT_EQ(streamed.ExportError, expected.ExportError);
      EXPECT_TRUE(streamed.Files == expected.Files)
          << streamed.Files.size() << " files, expected " << expected.Files.size();
      EXPECT_EQ(streamed.Report, expected.Report);
      EXPECT_TRUE(streamed.TrimmedFiles == expected.TrimmedFiles)
          << streamed.TrimmedFiles.size() << " trimmed files, expected "
          << expected.TrimmedFiles.size();
    }
  }
}

// What cannot be read as a container fails the same way, by the same words.
TEST(StreamedExport, RefusesWhatTheWorkflowRefuses) {
  test::TempDir dir;
  test::WriteAll(dir.File("c.drf"), Sample(2));
  ::mkdir(dir.File("folder.drf").c_str(), 0700);
  ::mkfifo(dir.File("fifo.drf").c_str(), 0600);
  const struct {
    const char* container;
    const char* base;
  } cases[] = {
      {"missing.drf", "r"},     {"folder.drf", "r"},
      {"fifo.drf", "r"},        {"c.drf", ""},  // a base without a name
      {"c.drf", "c.drf"},                       // fine: records go to c.drf_n.amr
      {"c.drf", "folder.drf/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.container) + " to '" + c.base + "'");
    const std::string base = *c.base ? dir.File(c.base) : dir.File("") + "/";
    const test::ConverterOutcome expected = test::ByWorkflow(dir.File(c.container), base);
    platform::ProcessManualQueue().Pump();
    const test::ConverterOutcome streamed = test::ByStream(dir.File(c.container), base, 4096);
    EXPECT_EQ(streamed.ScanError, expected.ScanError);
    EXPECT_EQ(streamed.ExportError, expected.ExportError);
    EXPECT_TRUE(streamed.Files == expected.Files);
  }
}

// A record named as the container itself (through a link) is refused before anything is written.
TEST(StreamedExport, NeverWritesOverTheContainer) {
  test::TempDir dir;
  test::WriteAll(dir.File("c.drf"), Sample(2));
  ASSERT_EQ(::link(dir.File("c.drf").c_str(), dir.File("self_2.amr").c_str()), 0);
  const test::ConverterOutcome expected = test::ByWorkflow(dir.File("c.drf"), dir.File("self"));
  platform::ProcessManualQueue().Pump();
  const test::ConverterOutcome streamed = test::ByStream(dir.File("c.drf"), dir.File("self"), 64);
  EXPECT_NE(expected.ExportError, "");
  EXPECT_EQ(streamed.ExportError, expected.ExportError);
  EXPECT_TRUE(streamed.Files.empty());
  EXPECT_EQ(test::FileText(dir.File("c.drf")), Sample(2));
}

}  // namespace
}  // namespace kestrave::app
