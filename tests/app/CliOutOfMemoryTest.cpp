// kestrave-cli when memory runs out: an error with its message and exit code 2, never an abort.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A container whose one record is about 64 MiB: loading it fits in twice that, while moving the
// record through the clipboard (the copy, the clipboard block, the pasted bytes) needs more
// than three times as much.
TEST(CliOutOfMemory, AnExportThatRunsOutOfMemoryIsAnErrorWithExitCode2) {
  if (kAddressSanitizer)
    GTEST_SKIP() << "AddressSanitizer reserves far more address space than any limit allows";
  TempDir dir;
  const std::vector<std::uint8_t> container = tools::BuildSampleContainer({1, 2'200'000, 7, 24});
  test::WriteAll(dir.File("big.drf"), container);
  const auto record = static_cast<rlim_t>(container.size());
  for (const double times : {1.5, 2.0, 3.0}) {
    SCOPED_TRACE("limit of " + std::to_string(times) + " times the record");
    const LimitedRun run =
        RunWithAddressSpaceLimit({"extract", dir.File("big.drf"), dir.File("rec")},
                                 static_cast<rlim_t>(times * static_cast<double>(record)), dir);
    ASSERT_TRUE(run.Exited) << "ended by signal " << run.Signal << "\n" << run.Err;
    EXPECT_EQ(run.ExitCode, 2) << run.Err;
    EXPECT_EQ(run.Err.rfind("kestrave-cli: Out of memory", 0), 0u) << run.Err;
    EXPECT_EQ(run.Err.find("clipboard"), std::string::npos) << run.Err;
    if (times >= 2.0) {
      EXPECT_EQ(run.Out, "Найдено 1 записей\n") << "the container itself was loaded and scanned";
    }
    EXPECT_EQ(::access(dir.File("rec_1.amr").c_str(), F_OK), -1) << "no record file is written";
  }
}

TEST(CliOutOfMemory, AScanThatRunsOutOfMemoryGoesOnWithTheNextFile) {
  if (kAddressSanitizer)
    GTEST_SKIP() << "AddressSanitizer reserves far more address space than any limit allows";
  TempDir dir;
  const std::vector<std::uint8_t> container = tools::BuildSampleContainer({1, 2'200'000, 7, 24});
  test::WriteAll(dir.File("big.drf"), container);
  test::WriteAll(dir.File("small.drf"), tools::BuildSampleContainer({2, 10, 7, 24}));
  const LimitedRun run =
      RunWithAddressSpaceLimit({"scan", dir.File("big.drf"), dir.File("small.drf")},
                               static_cast<rlim_t>(container.size() / 2), dir);
  ASSERT_TRUE(run.Exited) << "ended by signal " << run.Signal << "\n" << run.Err;
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_EQ(run.Err.rfind("kestrave-cli: " + dir.File("big.drf") + ": Out of memory", 0), 0u)
      << run.Err;
  EXPECT_EQ(run.Out, dir.File("small.drf") + ": Найдено 2 записей\n");
}

}  // namespace
}  // namespace kestrave::app
