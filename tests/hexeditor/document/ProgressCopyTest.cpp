#include "hexeditor/document/ProgressCopy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/document/HexMemoryStream.h"
#include "support/TempDir.h"

namespace kestrave::hex {
namespace {

// A stream that holds bytes and can be told to fail after a number of bytes.
class ScriptedStream : public platform::TStream {
 public:
  explicit ScriptedStream(std::vector<std::uint8_t> bytes = {}) : bytes_(std::move(bytes)) {}

  std::int64_t Read(void* buffer, std::int64_t count) override {
    const std::int64_t available = std::min<std::int64_t>(
        {count, static_cast<std::int64_t>(bytes_.size()) - position_, failAfter_ - position_});
    if (available <= 0) return 0;
    std::memcpy(buffer, bytes_.data() + position_, static_cast<std::size_t>(available));
    position_ += available;
    return available;
  }
  std::int64_t Write(const void* buffer, std::int64_t count) override {
    const std::int64_t allowed = std::min(count, failAfter_ - position_);
    if (allowed <= 0) return 0;
    if (position_ + allowed > static_cast<std::int64_t>(bytes_.size()))
      bytes_.resize(static_cast<std::size_t>(position_ + allowed));
    std::memcpy(bytes_.data() + position_, buffer, static_cast<std::size_t>(allowed));
    position_ += allowed;
    return allowed;
  }
  std::int64_t Seek(std::int64_t offset, platform::TSeekOrigin origin) override {
    if (origin == platform::TSeekOrigin::soBeginning) position_ = offset;
    if (origin == platform::TSeekOrigin::soCurrent) position_ += offset;
    if (origin == platform::TSeekOrigin::soEnd)
      position_ = static_cast<std::int64_t>(bytes_.size()) + offset;
    return position_;
  }

  void FailAfter(std::int64_t count) { failAfter_ = count; }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::int64_t position_ = 0;
  std::int64_t failAfter_ = INT64_MAX;
};

std::vector<int> ReportsOfCopy(std::size_t size) {
  ScriptedStream source(test::PatternBytes(size));
  THexMemoryStream dest;
  std::vector<int> reports;
  CopyWithProgress(source, dest, -1, [&](std::uint8_t percent) {
    reports.push_back(percent);
    return false;
  });
  EXPECT_EQ(dest.DataSize(), static_cast<std::int64_t>(size));
  return reports;
}

TEST(ProgressPercent, RoundsToNearestWithHalvesToEven) {
  EXPECT_EQ(ProgressPercent(0, 10), 0);
  EXPECT_EQ(ProgressPercent(1, 200), 0) << "0.5 goes to the even 0";
  EXPECT_EQ(ProgressPercent(3, 200), 2) << "1.5 goes to the even 2";
  EXPECT_EQ(ProgressPercent(5, 200), 2) << "2.5 goes to the even 2";
  EXPECT_EQ(ProgressPercent(2, 3), 67);
  EXPECT_EQ(ProgressPercent(1, 3), 33);
  EXPECT_EQ(ProgressPercent(0x7FFFFFFF, 0x7FFFFFFF), 100) << "no overflow at the largest size";
}

TEST(CopyWithProgress, ReportCountsFollowTheChunkSize) {
  EXPECT_TRUE(ReportsOfCopy(0).empty());
  EXPECT_EQ(ReportsOfCopy(1), std::vector<int>{100});
  EXPECT_EQ(ReportsOfCopy(61440), std::vector<int>{100});
  EXPECT_EQ(ReportsOfCopy(61441), (std::vector<int>{0, 100}));
  EXPECT_EQ(ReportsOfCopy(3 * 61440), (std::vector<int>{0, 33, 100}));
}

// Near the end the rounded percentage reaches 100 before the last chunk; the last chunk still
// reports its own 100.
TEST(CopyWithProgress, ReportsEachWholePercentOncePlusTheFinal100) {
  const auto reports = ReportsOfCopy(300 * 61440 + 17);
  ASSERT_EQ(reports.size(), 102u);
  EXPECT_EQ(reports.front(), 0);
  EXPECT_EQ(reports[100], 100);
  EXPECT_EQ(reports[101], 100);
  for (std::size_t i = 1; i < 101; ++i)
    EXPECT_EQ(reports[i], reports[i - 1] + 1);
}

TEST(CopyWithProgress, CancelRaisesBeforeTheNextChunk) {
  ScriptedStream source(test::PatternBytes(5 * 61440));
  THexMemoryStream dest;
  int calls = 0;
  try {
    CopyWithProgress(source, dest, -1, [&](std::uint8_t) { return ++calls == 2; });
    FAIL();
  } catch (const EHexEditor& e) {
    EXPECT_EQ(e.Message(), "Operation Cancelled");
  }
  EXPECT_EQ(dest.Position(), 61440) << "exactly one chunk went through";
}

TEST(CopyWithProgress, ShortReadsAndWritesRaiseTheirMessages) {
  for (const bool withReport : {false, true}) {
    ProgressReport report;
    if (withReport) report = [](std::uint8_t) { return false; };
    ScriptedStream failingSource(test::PatternBytes(100000));
    failingSource.FailAfter(70000);
    ScriptedStream sink;
    try {
      CopyWithProgress(failingSource, sink, 100000, report);
      FAIL();
    } catch (const EHexEditor& e) {
      EXPECT_EQ(e.Message(), "Stream read error");
    }
    THexMemoryStream memory;
    memory.SetSize(100000);
    ScriptedStream failingSink;
    failingSink.FailAfter(10);
    try {
      CopyWithProgress(memory, failingSink, -1, report);
      FAIL();
    } catch (const EHexEditor& e) {
      EXPECT_EQ(e.Message(), "Stream write error");
    }
  }
}

TEST(CopyWithProgress, CopiesFromTheCurrentPositionsAcrossEveryPath) {
  const auto bytes = test::PatternBytes(9 << 20);
  ScriptedStream source(bytes);
  source.SetPosition(5);
  ScriptedStream dest(std::vector<std::uint8_t>(3, 0xEE));
  dest.SetPosition(3);
  CopyWithProgress(source, dest, -1, nullptr);
  ASSERT_EQ(dest.Bytes().size(), bytes.size() - 5 + 3);
  EXPECT_TRUE(std::equal(bytes.begin() + 5, bytes.end(), dest.Bytes().begin() + 3));
  EXPECT_EQ(dest.Bytes()[0], 0xEE);

  THexMemoryStream memory;
  source.SetPosition(0);
  CopyWithProgress(source, memory, 1000, nullptr);
  EXPECT_EQ(memory.DataSize(), 1000) << "a memory destination grows as needed";
  EXPECT_EQ(std::memcmp(memory.PointerAt(0), bytes.data(), 1000), 0);
}

}  // namespace
}  // namespace kestrave::hex
