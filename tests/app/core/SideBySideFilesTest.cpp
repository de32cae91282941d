#include "app/core/SideBySideFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <stdexcept>
#include <thread>

#include "support/TempDir.h"

namespace kestrave::app {
namespace {

using test::PatternBytes;
using test::ReadAll;
using test::TempDir;

// Forty entries spread over three batches, every seventh without a file.
constexpr std::size_t kEntries = 40;
bool HasFile(std::size_t i) {
  return i % 7 != 3;
}
std::string Name(std::size_t i) {
  return "rec_" + std::to_string(i);
}
std::vector<std::uint8_t> Content(std::size_t i) {
  return PatternBytes(1000 + 37 * i, static_cast<std::uint32_t>(i));
}

enum class Failure { None, Fill, Open, BeforeBegun };

struct Outcome {
  std::vector<std::string> Steps;  // "turn 3", "done 3", in the order told
  std::string Thrown;
};

// Writes the forty entries into Folder, failing as asked at entry FailAt.
Outcome WriteEntries(const TempDir& folder, int threads, Failure failure, std::size_t failAt) {
  Outcome run;
  std::mutex lock;
  SideBySideFiles files(threads,
                        {[&](std::size_t i, int fd, const std::string&, int) {
                           if (failure == Failure::Fill && i == failAt)
                             throw std::runtime_error("fill " + std::to_string(i));
                           const auto bytes = Content(i);
                           ASSERT_EQ(::write(fd, bytes.data(), bytes.size()),
                                     static_cast<ssize_t>(bytes.size()));
                         },
                         [&](std::size_t i) { run.Steps.push_back("turn " + std::to_string(i)); },
                         [&](std::size_t i) { run.Steps.push_back("done " + std::to_string(i)); }});
  try {
    for (std::size_t i = 0; i < kEntries; ++i) {
      if (failure == Failure::BeforeBegun && i == failAt)
        files.AddFailure(i, std::make_exception_ptr(std::runtime_error("before " + Name(i))));
      if (HasFile(i)) {
        files.Add(i, folder.File(Name(i)), static_cast<std::int64_t>(Content(i).size()));
      } else {
        files.AddWithoutFile(i);
      }
    }
    files.Write();
  } catch (const std::exception& error) {
    run.Thrown = error.what();
  }
  return run;
}

TEST(SideBySideFiles, LeavesWhatWritingOneAfterTheOtherLeaves) {
  const struct {
    const char* Name;
    int Threads;
    Failure How;
    std::size_t FailAt;
    const char* Thrown;  // a part of the message
  } cases[] = {
      {"all written, one thread", 1, Failure::None, kEntries, ""},
      {"all written, three threads", 3, Failure::None, kEntries, ""},
      {"a fill fails in the first batch", 3, Failure::Fill, 2, "fill 2"},
      {"a fill fails in the second batch", 3, Failure::Fill, 21, "fill 21"},
      {"a fill fails, one thread", 1, Failure::Fill, 21, "fill 21"},
      {"a file cannot be opened", 3, Failure::Open, 22, "rec_22"},
      {"an entry fails before its file is begun", 3, Failure::BeforeBegun, 19, "before rec_19"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TempDir folder;
    if (c.How == Failure::Open) {
      ASSERT_EQ(::mkdir(folder.File(Name(c.FailAt)).c_str(), 0700), 0);
    }
    // A file that stands after the failure, hard linked elsewhere so it would be written in
    // place: it must keep what it holds.
    const std::size_t after =
        c.FailAt + 1 < kEntries && HasFile(c.FailAt + 1) ? c.FailAt + 1 : c.FailAt + 2;
    const bool keeper = after < kEntries;
    if (keeper) {
      test::WriteAll(folder.File(Name(after)), "old");
      ASSERT_EQ(::link(folder.File(Name(after)).c_str(), folder.File("link").c_str()), 0);
    }
    const Outcome run = WriteEntries(folder, c.Threads, c.How, c.FailAt);

    EXPECT_NE(run.Thrown.find(c.Thrown), std::string::npos) << run.Thrown;
    EXPECT_EQ(run.Thrown.empty(), c.How == Failure::None);
    std::vector<std::string> steps;
    for (std::size_t i = 0; i < std::min(c.FailAt, kEntries); ++i) {
      steps.push_back("turn " + std::to_string(i));
      steps.push_back("done " + std::to_string(i));
    }
    if (c.How != Failure::None) steps.push_back("turn " + std::to_string(c.FailAt));
    EXPECT_EQ(run.Steps, steps);

    std::vector<std::string> entries;
    for (std::size_t i = 0; i < kEntries; ++i) {
      const bool written = HasFile(i) && i < c.FailAt;
      if (written) {
        EXPECT_EQ(ReadAll(folder.File(Name(i))), Content(i)) << Name(i);
      }
      if (written || (keeper && i == after) || (c.How == Failure::Open && i == c.FailAt))
        entries.push_back(Name(i));
    }
    if (keeper) {
      entries.push_back("link");
      if (c.How != Failure::None) {
        EXPECT_EQ(ReadAll(folder.File("link")), std::vector<std::uint8_t>({'o', 'l', 'd'}));
      }
    }
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(folder.Entries(), entries) << "no temporary file may stay";
  }
}

}  // namespace
}  // namespace kestrave::app
