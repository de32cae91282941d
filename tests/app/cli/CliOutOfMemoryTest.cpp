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

// The byte-exact export reads the container a piece at a time and needs no more memory than the
// program itself at any size; the trimmed export holds the container whole and fails where that
// does not fit.
TEST_F(CliOutOfMemory, AnExportThatRunsOutOfMemoryIsAnErrorWithExitCode2) {
  const auto size = static_cast<double>(container.size());
  struct Case {
    const char* form;
    double times;
    bool written;
  };
  for (const Case& c :
       {Case{"", 0.5, true}, Case{"--trim", 0.5, false}, Case{"--trim", 1.0, false}}) {
    SCOPED_TRACE(std::string(c.form) + " with a limit of " + std::to_string(c.times) +
                 " times the container");
    std::vector<std::string> args{"extract", dir.File("big.drf"), dir.File("rec")};
    if (*c.form) args.insert(args.begin() + 1, c.form);
    const LimitedRun run = RunWithAddressSpaceLimit(args, static_cast<rlim_t>(c.times * size), dir);
    ASSERT_TRUE(run.Exited) << "ended by signal " << run.Signal << "\n" << run.Err;
    const std::string record = dir.File("rec_1.amr");
    if (c.written) {
      EXPECT_EQ(run.ExitCode, 0) << run.Err;
      const std::string magic = "#!AMR";
      const auto start =
          std::search(container.begin(), container.end(), magic.begin(), magic.end());
      EXPECT_EQ(test::ReadAll(record), std::vector<std::uint8_t>(start, container.end()))
          << "the one record runs from its magic to the end";
    } else {
      EXPECT_EQ(run.ExitCode, 2) << run.Err;
      EXPECT_EQ(run.Err.rfind("kestrave-cli: Out of memory", 0), 0u) << run.Err;
      EXPECT_EQ(::access(record.c_str(), F_OK), -1) << "no record file is written";
    }
    ::unlink(record.c_str());
  }
}

TEST_F(CliOutOfMemory, AScanThatRunsOutOfMemoryGoesOnWithTheNextFile) {
  test::WriteAll(dir.File("small.drf"), tools::BuildSampleContainer({2, 10, 7, 24}));
  const auto limit = static_cast<rlim_t>(container.size() / 2);
  // The status alone is found a piece at a time; the records' streams are walked in memory.
  const LimitedRun streamed =
      RunWithAddressSpaceLimit({"scan", dir.File("big.drf"), dir.File("small.drf")}, limit, dir);
  EXPECT_EQ(streamed.ExitCode, 0) << streamed.Err;
  EXPECT_EQ(streamed.Out, dir.File("big.drf") + ": Найдено 1 записей\n" + dir.File("small.drf") +
                              ": Найдено 2 записей\n");
  const LimitedRun run = RunWithAddressSpaceLimit(
      {"scan", "--json", dir.File("big.drf"), dir.File("small.drf")}, limit, dir);
  ASSERT_TRUE(run.Exited) << "ended by signal " << run.Signal << "\n" << run.Err;
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_EQ(run.Err.rfind("kestrave-cli: " + dir.File("big.drf") + ": Out of memory", 0), 0u)
      << run.Err;
  EXPECT_NE(run.Out.find("Найдено 2 записей"), std::string::npos) << run.Out;
}

}  // namespace
}  // namespace kestrave::app
