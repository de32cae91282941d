#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "app/cli/CliSupport.h"
#include "support/CliRun.h"
#include "support/ManyRecords.h"
#include "support/TempDir.h"
#include "support/Terminal.h"

namespace kestrave::app {
namespace {

using test::CliRun;
using test::RunCli;
using test::Slurp;
using test::TempDir;
using test::WriteAll;

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

TEST(Cli, TwoDashesEndTheOptions) {
  TempDir dir;
  WriteAll(dir.File("--positions"), "a container named like an option");
  WriteAll(dir.File("--in.drf"), std::string("..\x06\x1F\x22"
                                             "audio/amr..#!AMR.."));
  const CliRun scan = RunCli("scan --positions -- --positions", dir);
  EXPECT_EQ(scan.exitCode, 0) << scan.err;
  EXPECT_EQ(scan.out, "Звуковые записи не найдены\nmagic:\nmarker:\n");
  const CliRun extract = RunCli("extract -- --in.drf --rec", dir);
  EXPECT_EQ(extract.exitCode, 0) << extract.err;
  EXPECT_EQ(extract.out, "Найдено 1 записей\n" + dir.File("--rec_1.amr") + "\n");
  const CliRun option = RunCli("extract --in.drf --rec", dir);
  EXPECT_EQ(option.exitCode, 2) << "without them, these are options";
  EXPECT_NE(option.err.find("unknown option '--in.drf'"), std::string::npos) << option.err;
}

// Runs the real program with its standard output on a full disk.
CliRun RunCliIntoAFullDisk(const std::string& arguments, const TempDir& dir) {
  const std::string err = dir.File("stderr.txt");
  const std::string command = std::string("cd '") + dir.Path() + "' && '" + KESTRAVE_CLI_PATH +
                              "' " + arguments + " >/dev/full 2>'" + err + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", Slurp(err)};
}

TEST(Cli, ResultsThatCannotBeWrittenAreAnError) {
  TempDir dir;
  WriteAll(dir.File("plain.drf"), "nothing to see");
  WriteAll(dir.File("in.drf"), std::string("..\x06\x1F\x22"
                                           "audio/amr..#!AMR.."));
  for (const char* arguments : {"scan plain.drf", "--help", "--version", "extract in.drf rec"}) {
    const CliRun run = RunCliIntoAFullDisk(arguments, dir);
    EXPECT_EQ(run.exitCode, 2) << arguments;
    EXPECT_EQ(run.err,
              "kestrave-cli: standard output: the results could not be written (No space left on "
              "device)\n")
        << arguments;
  }
  EXPECT_TRUE(std::ifstream(dir.File("rec_1.amr")).good()) << "the work itself was done";
}

// A container whose first record fits under the file size limit and whose second does not.
std::string SmallThenLargeRecord() {
  const std::string marker =
      "\x06\x1F\x22"
      "audio/amr";
  return ".." + marker + "#!AMR" + std::string(100, 'a') + marker + "#!AMR" +
         std::string(5000, 'b');
}

TEST(Cli, AnExportThatFailsPartWayHasListedWhatItWrote) {
  TempDir dir;
  WriteAll(dir.File("in.drf"), SmallThenLargeRecord());
  // Writes past 1 KiB fail with "File too large" instead of ending the program.
  const CliRun run = RunCli("extract in.drf rec", dir, "trap '' XFSZ; ulimit -f 2; ");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "Найдено 2 записей\n" + dir.File("rec_1.amr") + "\n");
  EXPECT_NE(run.err.find(dir.File("rec_2.amr")), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
}

TEST(Cli, AnErrorThatNamesNoFileGetsALineThatDoes) {
  TempDir dir;
  WriteAll(dir.File("one.drf"), "x");
  const CliRun run = RunCli("scan one.drf", dir);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "kestrave-cli: Invalid selection end\nkestrave-cli: " + dir.File("one.drf") +
                         ": not scanned\n");
  const CliRun extract = RunCli("extract one.drf rec", dir);
  EXPECT_EQ(extract.exitCode, 2);
  EXPECT_EQ(extract.err, "kestrave-cli: Invalid selection end\nkestrave-cli: " +
                             dir.File("one.drf") + ": not scanned, nothing written\n");
}

TEST(Cli, ExtractWritesNothingWhereTheWindowWouldNotSaveAndSaysWhy) {
  TempDir dir;
  WriteAll(dir.File("markers.drf"), std::string("..\x06\x1F\x22"
                                                "audio/amr...\x06\x1F\x22"
                                                "audio/amr.."));
  WriteAll(dir.File("plain.drf"), "nothing to see");
  WriteAll(dir.File("magics.drf"), "..#!AMR....#!AMR..");
  const CliRun markers = RunCli("extract markers.drf rec", dir);
  EXPECT_EQ(markers.exitCode, 1);
  EXPECT_EQ(markers.out, "Звуковые записи не найдены\n");
  EXPECT_EQ(markers.err, "kestrave-cli: " + dir.File("markers.drf") +
                             ": no record written: the container holds 2 record marker(s) but no "
                             "AMR stream (no \"#!AMR\") where a record could start\n");
  const CliRun plain = RunCli("extract plain.drf rec", dir);
  EXPECT_EQ(plain.exitCode, 1);
  EXPECT_EQ(plain.err,
            "kestrave-cli: " + dir.File("plain.drf") +
                ": no record written: the container holds no AMR stream (no \"#!AMR\")\n");
  const CliRun magics = RunCli("extract magics.drf rec", dir);
  EXPECT_EQ(magics.exitCode, 0) << "the window would save, and write nothing";
  EXPECT_EQ(magics.out, "Найдено 2 записей\n");
  EXPECT_EQ(magics.err, "kestrave-cli: " + dir.File("magics.drf") +
                            ": no record written: the container holds 2 AMR stream(s) but no "
                            "record marker (\"audio/amr\"), and records are counted by their "
                            "markers\n");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"magics.drf", "markers.drf", "plain.drf",
                                                     "stderr.txt", "stdout.txt"}));
}

TEST(Cli, ExtractRefusesABaseWithoutANameAndTheContainerAsTarget) {
  TempDir dir;
  const std::string container = std::string(
      "..\x06\x1F\x22"
      "audio/amr..#!AMR..");
  WriteAll(dir.File("in.drf"), container);
  std::filesystem::create_directory(dir.File("out"));
  for (const char* base : {"''", "out/", ".", "..", "out/.", "out/.."}) {
    const CliRun run = RunCli(std::string("extract in.drf ") + base, dir);
    EXPECT_EQ(run.exitCode, 2) << base;
    EXPECT_NE(run.err.find("has no name"), std::string::npos) << run.err;
  }
  std::filesystem::create_directory(dir.File("self"));
  std::filesystem::rename(dir.File("in.drf"), dir.File("self/r_1.amr"));
  const CliRun self = RunCli("extract self/r_1.amr self/r", dir);
  EXPECT_EQ(self.exitCode, 2);
  EXPECT_NE(self.err.find(dir.File("self/r_1.amr")), std::string::npos) << self.err;
  EXPECT_EQ(Slurp(dir.File("self/r_1.amr")), container) << "the container is as it was";
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"out", "self", "stderr.txt", "stdout.txt"}))
      << "no _1.amr in the current folder";
  EXPECT_TRUE(std::filesystem::is_empty(dir.File("out")));
}

// Every name a record of the run could take is checked against every container of the run
// before anything is read: a plain copy under that name, a link to another container and a hard
// link all stop the whole run, whose first container would otherwise have been written.
TEST(Cli, ARunWhoseRecordCouldReplaceOneOfItsInputsWritesNothing) {
  const std::string marker =
      "\x06\x1F\x22"
      "audio/amr";
  const std::string twoRecords = ".." + marker + "#!AMR.." + marker + "#!AMR..";
  namespace fs = std::filesystem;
  const struct {
    const char* arguments;
    std::function<void(const TempDir&)> prepare;
    const char* target;
  } cases[] = {
      {"extract -o out a.drf out/a_1.amr",
       [&](const TempDir& dir) { WriteAll(dir.File("out/a_1.amr"), twoRecords); }, "out/a_1.amr"},
      {"extract --trim -o out a.drf b.drf",
       [](const TempDir& dir) { fs::create_symlink("../a.drf", dir.File("out/b_1.amr")); },
       "out/b_1.amr"},
      {"extract --wav -o out a.drf b.drf",
       [](const TempDir& dir) { fs::create_hard_link(dir.File("b.drf"), dir.File("out/a_2.wav")); },
       "out/a_2.wav"},
      {"extract a.drf out/a.drf",
       [](const TempDir& dir) { fs::create_symlink("../a.drf", dir.File("out/a.drf_12.amr")); },
       "out/a.drf_12.amr"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteAll(dir.File("a.drf"), twoRecords);
    WriteAll(dir.File("b.drf"), twoRecords);
    fs::create_directory(dir.File("out"));
    c.prepare(dir);
    const std::string before = Slurp(dir.File(c.target));
    const CliRun run = RunCli(c.arguments, dir);
    EXPECT_EQ(run.exitCode, 2) << c.arguments;
    EXPECT_EQ(run.out, "") << c.arguments;
    EXPECT_EQ(run.err, "kestrave-cli: Файл " + dir.File(c.target) +
                           " — один из файлов, которые читает эта команда, запись не может его "
                           "заменить. Файлы не записаны.\n");
    EXPECT_EQ(Slurp(dir.File(c.target)), before) << c.arguments;
    EXPECT_EQ(Slurp(dir.File("a.drf")), twoRecords) << c.arguments;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("out")), fs::directory_iterator()), 1)
        << c.arguments << ": nothing written";
  }
  // Names no record of the run takes may lead anywhere.
  TempDir dir;
  WriteAll(dir.File("a.drf"), twoRecords);
  WriteAll(dir.File("b.drf"), twoRecords);
  fs::create_directory(dir.File("out"));
  for (const char* name : {"a_01.amr", "a_1.wav", "c_1.amr", "a_1.amr.bak", "a_.amr", "a_x1.amr"})
    fs::create_symlink("../a.drf", dir.File(std::string("out/") + name));
  const CliRun run = RunCli("extract -o out a.drf b.drf", dir);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Slurp(dir.File("a.drf")), twoRecords);
}

// The window's export of more markers than magics stops at the first record whose end is
// missing; here that is the first, whatever the number of markers after it.
TEST(Cli, ManyMarkersAfterOneMagicWriteNothing) {
  TempDir dir;
  test::WriteManyMarkers(dir.File("markers.drf"), 200'000);
  const CliRun run = RunCli("extract markers.drf rec", dir);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "Найдено 1 записей\n");
  EXPECT_EQ(run.err, "kestrave-cli: List index out of bounds (1)\nkestrave-cli: " +
                         dir.File("rec_1.amr") + ": not written\n");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"markers.drf", "stderr.txt", "stdout.txt"}));
}

TEST(Cli, NamesAreShownWithTheirControlCharactersEscaped) {
  const struct {
    std::string name;
    std::string shown;
  } cases[] = {
      {"a\nb\tc\rd", "a\\nb\\tc\\rd"},
      {"\a\b\f\v", "\\a\\b\\f\\v"},
      {"\x01\x1b[2J\x1f\x7f", "\\001\\033[2J\\037\\177"},
      {"back\\slash", "back\\\\slash"},
      {"запись 1.drf", "запись 1.drf"},
      {"cp1251 \xE7\xE0\xEF\xE8\xF1\xFC", "cp1251 \xE7\xE0\xEF\xE8\xF1\xFC"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShownName(c.name), c.shown) << c.shown;
}

std::size_t Lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(Cli, ANameWithALineBreakIsStillOneLine) {
  TempDir dir;
  const std::string record = std::string(
      "..\x06\x1F\x22"
      "audio/amr..#!AMR..");
  WriteAll(dir.File("a\nb\t.drf"), record);
  WriteAll(dir.File("back\\slash.drf"), "nothing to see");
  // The names go to the shell between single quotes, line break and tab as they are.
  const CliRun scan = RunCli("scan 'a\nb\t.drf' 'back\\slash.drf' 'gone\n.drf'", dir);
  EXPECT_EQ(scan.exitCode, 2);
  EXPECT_EQ(scan.out,
            "a\\nb\\t.drf: Найдено 1 записей\n"
            "back\\\\slash.drf: Звуковые записи не найдены\n");
  EXPECT_EQ(scan.err, "kestrave-cli: gone\\n.drf: Cannot open " + dir.Path() +
                          "/gone\\n.drf.\n(No such file or directory.)\n")
      << "the message keeps its own line break";

  const CliRun extract = RunCli("extract -o 'out\n' 'a\nb\t.drf' 'gone\n.drf'", dir);
  EXPECT_EQ(extract.exitCode, 2);
  EXPECT_EQ(extract.out,
            "a\\nb\\t.drf: Найдено 1 записей\n" + dir.Path() + "/out\\n/a\\nb\\t_1.amr\n");
  EXPECT_EQ(Lines(extract.err), 2u) << extract.err;
  EXPECT_EQ(Slurp(dir.File("out\n/a\nb\t_1.amr")), "#!AMR..");
  const CliRun base = RunCli("extract 'a\nb\t.drf' 'sub\n/r'", dir);
  EXPECT_EQ(base.exitCode, 2);
  EXPECT_EQ(Lines(base.out), 1u) << base.out;
  EXPECT_EQ(Lines(base.err), 1u) << base.err;
  EXPECT_NE(base.err.find(dir.Path() + "/sub\\n/r_1.amr"), std::string::npos) << base.err;
}

// At a terminal, what the user reads: the progress line (here shown at once) never shares a
// line with results or messages, and is gone when the command ends; work that is over before
// the line is due shows none at all.
TEST(Cli, OnATerminalTheProgressLineIsClearedBeforeEveryOtherLine) {
  TempDir dir;
  const std::string sample = std::string(KESTRAVE_SOURCE_DIR) + "/samples/sample.drf";
  std::filesystem::copy_file(sample, dir.File("sample.drf"));
  const std::string cli = std::string("'") + KESTRAVE_CLI_PATH + "' ";
  const std::string records = dir.File("out/sample_");
  const struct {
    const char* after;  // KESTRAVE_PROGRESS_AFTER_MS
    std::string command;
    std::vector<std::string> screen;
    const char* progress;  // what the line shows meanwhile; null when it must not show
  } cases[] = {
      {"60000", "scan sample.drf", {"Найдено 3 записей"}, nullptr},
      {"0", "scan sample.drf", {"Найдено 3 записей"}, "Loading sample.drf: 100%"},
      {"0",
       "scan --positions sample.drf missing.drf",
       {"sample.drf: Найдено 3 записей", "sample.drf: magic: 50 1616 2494",
        "sample.drf: marker: 32 1598 2476",
        "kestrave-cli: missing.drf: Cannot open " + dir.File("missing.drf") + ".",
        "(No such file or directory.)"},
       "Loading sample.drf: 100%"},
      {"0",
       "extract -o out sample.drf missing.drf",
       {"sample.drf: Найдено 3 записей", records + "1.amr", records + "2.amr", records + "3.amr",
        "kestrave-cli: missing.drf: Cannot open " + dir.File("missing.drf") + ".",
        "(No such file or directory.)"},
       "3 records, 0.0 MB"},
  };
  for (const auto& c : cases) {
    const std::string written = test::RunOnTerminal(
        "cd '" + dir.Path() + "' && KESTRAVE_PROGRESS_AFTER_MS=" + c.after + " " + cli + c.command);
    EXPECT_EQ(test::ScreenLines(written), c.screen) << c.command << "\n" << written;
    if (c.progress) {
      EXPECT_NE(written.find(c.progress), std::string::npos) << c.command << "\n" << written;
    } else {
      EXPECT_EQ(written.find('\033'), std::string::npos) << c.command << "\n" << written;
    }
  }
}

}  // namespace
}  // namespace kestrave::app
