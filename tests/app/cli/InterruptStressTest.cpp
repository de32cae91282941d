// kestrave-cli extract interrupted at random moments by SIGINT, SIGTERM and SIGHUP: whatever the
// moment, each record file is absent (never for one that existed), its previous content or the
// whole record, and no temporary file is left. The normal suite runs a few trials; the test
// labelled "stress" runs KESTRAVE_STRESS_TRIALS of them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "SampleContainer.h"
#include "support/TempDir.h"

namespace kestrave::app {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr int kDefaultTrials = 10;
constexpr int kRecords = 4;
constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

int Trials() {
  const char* text = std::getenv("KESTRAVE_STRESS_TRIALS");
  const int trials = text ? std::atoi(text) : 0;
  return trials > 0 ? trials : kDefaultTrials;
}

// `kestrave-cli extract CONTAINER BASE`, started with the interruptions at their defaults, as
// in a terminal, whatever the test runner ignores; its standard output comes through a pipe.
struct Extract {
  pid_t Pid = -1;
  int Output = -1;
};

Extract StartExtract(const std::string& container, const std::string& base) {
  int output[2];
  if (::pipe(output) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    for (const int signal : kInterrupts)
      std::signal(signal, SIG_DFL);
    ::dup2(output[1], STDOUT_FILENO);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDERR_FILENO);
    ::execl(KESTRAVE_CLI_PATH, KESTRAVE_CLI_PATH, "extract", container.c_str(), base.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(output[1]);
  return {child, output[0]};
}

// Returns once the first file appears in the folder, which is when the writing of the records
// begins, or once the child has ended without writing any.
class FirstFileWatch {
 public:
  explicit FirstFileWatch(const std::string& folder) : fd_(::inotify_init1(IN_CLOEXEC)) {
    ::inotify_add_watch(fd_, folder.c_str(), IN_CREATE);
  }
  ~FirstFileWatch() { ::close(fd_); }
  FirstFileWatch(const FirstFileWatch&) = delete;
  FirstFileWatch& operator=(const FirstFileWatch&) = delete;

  void Await(const Extract& extract) const {
    pollfd watched[2] = {{fd_, POLLIN, 0}, {extract.Output, POLLIN, 0}};
    char buffer[4096];
    while (::poll(watched, 2, -1) > 0) {
      if (watched[0].revents != 0) return;
      if (::read(extract.Output, buffer, sizeof buffer) <= 0) return;
    }
  }

 private:
  int fd_;
};

// Closed only once the child is gone: a closed pipe would end it with SIGPIPE instead.
int WaitFor(const Extract& extract) {
  int status = 0;
  ::waitpid(extract.Pid, &status, 0);
  ::close(extract.Output);
  return status;
}

class InterruptedExport : public ::testing::Test {
 protected:
  // Records of about 2 MiB each, so an interruption often falls inside the writing of one.
  InterruptedExport() {
    const tools::SampleShape shape{kRecords, 110000, 23, 64};
    const Bytes bytes = tools::BuildSampleContainer(shape);
    test::WriteAll(container, bytes);
    const tools::SampleLayout layout = tools::LayoutOfSample(shape);
    for (int i = 0; i < kRecords; ++i) {
      const auto from = layout.MagicPositions[static_cast<std::size_t>(i)];
      const auto to = i + 1 < kRecords ? layout.MagicPositions[static_cast<std::size_t>(i) + 1]
                                       : static_cast<std::int64_t>(bytes.size());
      records.emplace_back(bytes.begin() + from, bytes.begin() + to);
    }
  }

  static std::string RecordName(int n) { return "rec_" + std::to_string(n) + ".amr"; }

  // The folder of one trial, with earlier record files in it or none.
  std::string PrepareFolder(int trial, bool withPrevious) {
    const std::string folder = dir.File("trial" + std::to_string(trial));
    std::filesystem::create_directory(folder);
    if (withPrevious)
      for (int n = 1; n <= kRecords; ++n)
        test::WriteAll(folder + "/" + RecordName(n), Previous(n));
    return folder;
  }

  static std::string Previous(int n) { return "previous content of record " + std::to_string(n); }

  // Everything in the folder is a record file whole in one of the allowed states.
  void ExpectConsistent(const std::string& folder, bool withPrevious, const std::string& trial) {
    std::set<std::string> expectedNames;
    for (int n = 1; n <= kRecords; ++n) {
      const std::string name = RecordName(n);
      expectedNames.insert(name);
      const std::string path = folder + "/" + name;
      if (::access(path.c_str(), F_OK) != 0) {
        EXPECT_FALSE(withPrevious) << trial << ": " << name << " vanished";
        continue;
      }
      const Bytes content = test::ReadAll(path);
      const std::string previous = Previous(n);
      const bool isPrevious = withPrevious && content == Bytes(previous.begin(), previous.end());
      const bool isComplete = content == records[static_cast<std::size_t>(n) - 1];
      EXPECT_TRUE(isPrevious || isComplete)
          << trial << ": " << name << " holds " << content.size() << " bytes of "
          << records[static_cast<std::size_t>(n) - 1].size();
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      EXPECT_TRUE(expectedNames.count(entry.path().filename().string()) > 0)
          << trial << ": left behind: " << entry.path().filename();
  }

  test::TempDir dir;
  std::string container = dir.File("in.drf");
  std::vector<Bytes> records;
};

TEST_F(InterruptedExport, LeavesEveryRecordAbsentPreviousOrCompleteAndNoTemporary) {
  // One whole run first: it must succeed, and how long its records took to write spreads the
  // interruptions over that part of the work (the length is not checked against anything).
  const std::string whole = PrepareFolder(0, false);
  const FirstFileWatch wholeWatch(whole);
  const Extract first = StartExtract(container, whole + "/rec");
  wholeWatch.Await(first);
  const auto start = Clock::now();
  const int status = WaitFor(first);
  const auto length = Clock::now() - start;
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  ExpectConsistent(whole, false, "uninterrupted");
  for (int n = 1; n <= kRecords; ++n)
    ASSERT_EQ(test::ReadAll(whole + "/" + RecordName(n)), records[static_cast<std::size_t>(n) - 1]);

  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  const auto longest = std::chrono::duration_cast<std::chrono::microseconds>(length * 11 / 10);
  std::uniform_int_distribution<long long> moment(0, longest.count());
  const int trials = Trials();
  int interrupted = 0;
  for (int trial = 1; trial <= trials; ++trial) {
    const bool withPrevious = trial % 2 == 0;
    const int signal = kInterrupts[trial % 3];
    const std::string folder = PrepareFolder(trial, withPrevious);
    const FirstFileWatch watch(folder);
    const Extract extract = StartExtract(container, folder + "/rec");
    watch.Await(extract);
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    ::kill(extract.Pid, signal);
    const int ended = WaitFor(extract);
    const std::string what = "trial " + std::to_string(trial) + " (seed " + std::to_string(seed) +
                             ", " + strsignal(signal) + ")";
    if (WIFSIGNALED(ended)) {
      EXPECT_EQ(WTERMSIG(ended), signal) << what;
      ++interrupted;
    } else {
      EXPECT_TRUE(WIFEXITED(ended) && WEXITSTATUS(ended) == 0) << what << ": status " << ended;
    }
    ExpectConsistent(folder, withPrevious, what);
    std::filesystem::remove_all(folder);
    if (HasFailure()) break;
  }
  RecordProperty("interrupted", interrupted);
  RecordProperty("trials", trials);
}

}  // namespace
}  // namespace kestrave::app
