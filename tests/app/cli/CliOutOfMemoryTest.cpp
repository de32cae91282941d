// kestrave-cli when memory runs out: an error with its message and exit code 2, never an abort.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SampleContainer.h"
#include "support/Sanitizers.h"
#include "support/TempDir.h"

namespace kestrave::app {
namespace {

using test::TempDir;

using test::kAddressSanitizer;

struct LimitedRun {
  bool Exited = false;
  int ExitCode = -1;
  int Signal = 0;
  std::string Out;
  std::string Err;
};

std::string Text(const std::string& path) {
  const auto bytes = test::ReadAll(path);
  return {bytes.begin(), bytes.end()};
}

// Runs the real program with its address space limited to Limit bytes, as "ulimit -v" does.
LimitedRun RunWithAddressSpaceLimit(std::vector<std::string> args, rlim_t limit,
                                    const TempDir& dir) {
  const std::string out = dir.File("stdout.txt");
  const std::string err = dir.File("stderr.txt");
  args.insert(args.begin(), KESTRAVE_CLI_PATH);
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    const rlimit space{limit, limit};
    const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (outFd < 0 || errFd < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0 ||
        ::setrlimit(RLIMIT_AS, &space) != 0)
      ::_exit(120);
    ::execv(argv[0], argv.data());
    ::_exit(121);
  }
  LimitedRun run;
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return run;
  run.Exited = WIFEXITED(status);
  run.ExitCode = run.Exited ? WEXITSTATUS(status) : -1;
  run.Signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  run.Out = Text(out);
  run.Err = Text(err);
  return run;
}

// A folder with big.drf, one record of about 64 MiB.
class CliOutOfMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    if (kAddressSanitizer)
      GTEST_SKIP() << "AddressSanitizer reserves far more address space than any limit allows";
    container = tools::BuildSampleContainer({1, 2'200'000, 7, 24});
    test::WriteAll(dir.File("big.drf"), container);
  }

  TempDir dir;
  std::vector<std::uint8_t> container;
};

// Every form of the export and of the scan reads the container a piece at a time, a record's
// stream a window at a time: half the container's size is more memory than any of them needs,
// and what they write is what they write with no limit.
TEST_F(CliOutOfMemory, EveryFormStreamsABigRecordInLittleMemory) {
  const auto half = static_cast<rlim_t>(container.size() / 2);
  for (const char* form : {"", "--trim"}) {
    SCOPED_TRACE(std::string("extract ") + form);
    const std::string free = dir.File(std::string("free") + form);
    std::vector<std::string> args{"extract", dir.File("big.drf"), free};
    if (*form) args.insert(args.begin() + 1, form);
    ASSERT_EQ(RunWithAddressSpaceLimit(args, RLIM_INFINITY, dir).ExitCode, 0);
    args.back() = dir.File("limited");
    const LimitedRun run = RunWithAddressSpaceLimit(args, half, dir);
    ASSERT_TRUE(run.Exited) << "ended by signal " << run.Signal << "\n" << run.Err;
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(test::ReadAll(dir.File("limited_1.amr")), test::ReadAll(free + "_1.amr"));
  }
  const std::string magic = "#!AMR";
  const auto start = std::search(container.begin(), container.end(), magic.begin(), magic.end());
  EXPECT_EQ(test::ReadAll(dir.File("free_1.amr")),
            std::vector<std::uint8_t>(start, container.end()))
      << "the one record runs from its magic to the end";
  for (const char* form : {"--records", "--json"}) {
    SCOPED_TRACE(std::string("scan ") + form);
    const LimitedRun run = RunWithAddressSpaceLimit({"scan", form, dir.File("big.drf")}, half, dir);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(
        run.Out,
        RunWithAddressSpaceLimit({"scan", form, dir.File("big.drf")}, RLIM_INFINITY, dir).Out);
  }
}

// Where memory does run out (a container crowded with millions of records, whose positions alone
// outgrow the limit): an error with its message and exit code 2, no record file, and the next
// container is still scanned.
TEST_F(CliOutOfMemory, ACrowdedContainerBeyondMemoryIsAnErrorAndTheNextOneGoesOn) {
  const std::string unit = std::string("#!AMR\n") + "\x06\x1F\x22" + "audio/amr";
  std::string crowded;
  while (crowded.size() < container.size())
    crowded += unit;
  test::WriteAll(dir.File("crowded.drf"),
                 std::vector<std::uint8_t>(crowded.begin(), crowded.end()));
  test::WriteAll(dir.File("small.drf"), tools::BuildSampleContainer({2, 10, 7, 24}));
  const rlim_t limit = 32 << 20;
  for (const char* form : {"", "--json"}) {
    SCOPED_TRACE(std::string("scan ") + form);
    std::vector<std::string> args{"scan", dir.File("crowded.drf"), dir.File("small.drf")};
    if (*form) args.insert(args.begin() + 1, form);
    const LimitedRun run = RunWithAddressSpaceLimit(args, limit, dir);
    ASSERT_TRUE(run.Exited) << "ended by signal " << run.Signal << "\n" << run.Err;
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Err.rfind("kestrave-cli: " + dir.File("crowded.drf") + ": Out of memory", 0), 0u)
        << run.Err;
    EXPECT_NE(run.Out.find("Найдено 2 записей"), std::string::npos) << run.Out;
  }
  const LimitedRun run =
      RunWithAddressSpaceLimit({"extract", dir.File("crowded.drf"), dir.File("rec")}, limit, dir);
  ASSERT_TRUE(run.Exited) << "ended by signal " << run.Signal << "\n" << run.Err;
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_EQ(run.Err.rfind("kestrave-cli: Out of memory", 0), 0u) << run.Err;
  EXPECT_EQ(::access(dir.File("rec_1.amr").c_str(), F_OK), -1) << "no record file is written";
}

}  // namespace
}  // namespace kestrave::app
