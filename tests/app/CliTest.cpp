#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "support/TempDir.h"

namespace kestrave::app {
namespace {

using test::TempDir;
using test::WriteAll;

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  const auto bytes = test::ReadAll(path);
  return {bytes.begin(), bytes.end()};
}

// Runs the real program, as a script would.
CliRun RunCli(const std::string& arguments, const TempDir& dir) {
  const std::string out = dir.File("stdout.txt");
  const std::string err = dir.File("stderr.txt");
  const std::string command = std::string("cd '") + dir.Path() + "' && '" + KESTRAVE_CLI_PATH +
                              "' " + arguments + " >'" + out + "' 2>'" + err + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
}

TEST(Cli, ScanPrintsTheStatusTextOfTheWindow) {
  TempDir dir;
  WriteAll(dir.File("plain.drf"), "nothing to see");
  const CliRun run = RunCli("scan plain.drf", dir);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "Звуковые записи не найдены\n");
  EXPECT_EQ(run.err, "");
}

TEST(Cli, OneFailingFileIsReportedAndTheOthersAreStillScanned) {
  TempDir dir;
  WriteAll(dir.File("a.drf"), "first container");
  WriteAll(dir.File("b.drf"), "second container");
  const CliRun run = RunCli("scan a.drf missing.drf b.drf", dir);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out,
            "a.drf: Звуковые записи не найдены\n"
            "b.drf: Звуковые записи не найдены\n");
  EXPECT_EQ(run.err, "kestrave-cli: missing.drf: Cannot open " + dir.File("missing.drf") +
                         ".\n(No such file or directory.)\n");
}

TEST(Cli, PositionsFollowTheStatusOfTheBundledSample) {
  TempDir dir;
  const CliRun run =
      RunCli(std::string("scan --positions '") + KESTRAVE_SOURCE_DIR + "/samples/sample.drf'", dir);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out,
            "Найдено 3 записей\n"
            "magic: 50 1616 2494\n"
            "marker: 32 1598 2476\n");
  EXPECT_EQ(run.err, "") << "no progress line when stderr is not a terminal";
}

TEST(Cli, HelpVersionAndWrongUse) {
  TempDir dir;
  const CliRun help = RunCli("--help", dir);
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: kestrave-cli"), std::string::npos);
  const CliRun version = RunCli("--version", dir);
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, std::string("kestrave-cli ") + KESTRAVE_VERSION + "\n");
  for (const char* wrong : {"", "frobnicate x.drf", "scan", "scan --frobnicate x.drf"}) {
    const CliRun run = RunCli(wrong, dir);
    EXPECT_EQ(run.exitCode, 2) << wrong;
    EXPECT_NE(run.err.find("Usage:"), std::string::npos) << wrong;
    EXPECT_EQ(run.out, "") << wrong;
  }
}

}  // namespace
}  // namespace kestrave::app
