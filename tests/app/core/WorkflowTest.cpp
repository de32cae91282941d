#include "app/core/ConverterWorkflow.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "SampleContainer.h"
#include "platform/Exception.h"
#include "platform/MessageQueue.h"
#include "support/FileHeldElsewhere.h"
#include "support/InFolder.h"
#include "support/TempDir.h"

namespace kestrave::app {
namespace {

using test::TempDir;
using test::WriteAll;

class Workflow : public ::testing::Test {
 protected:
  ~Workflow() override { platform::ProcessManualQueue().Pump(); }

  std::string Error(const std::string& path) {
    try {
      workflow.OpenContainer(path);
    } catch (const platform::Exception& e) {
      return e.Message();
    }
    return "";
  }

  TempDir dir;
  ConverterWorkflow workflow;
};

TEST_F(Workflow, StartsWithTheTitleAndDisabledSaveButtons) {
  EXPECT_EQ(workflow.StatusText(), "Kestrave");
  EXPECT_FALSE(workflow.SaveButtonsEnabled());
  EXPECT_EQ(workflow.HexEditorEx1.FileName(), "Untitled");
  EXPECT_EQ(workflow.HexEditorEx2.FileName(), "Untitled");
  EXPECT_EQ(workflow.HexEditorEx1.BackupExtension(), ".bak");
  EXPECT_EQ(workflow.HexEditorEx1.Font(), (platform::FontDescription{"Courier New", 15}));
}

TEST_F(Workflow, AContainerWithoutRecordsSaysSoAndSelectsItsFirstTwoBytes) {
  WriteAll(dir.File("plain.drf"), "no voice records in here");
  workflow.OpenContainer(dir.File("plain.drf"));
  EXPECT_EQ(workflow.StatusText(), "Звуковые записи не найдены");
  EXPECT_FALSE(workflow.SaveButtonsEnabled());
  EXPECT_EQ(workflow.HexEditorEx1.FileName(), dir.File("plain.drf"));
  EXPECT_EQ(workflow.HexEditorEx1.CursorPosition(), 0);
  EXPECT_EQ(workflow.HexEditorEx1.SelectionLow(), 0);
  EXPECT_EQ(workflow.HexEditorEx1.SelectionHigh(), 1);
}

TEST_F(Workflow, TinyFilesStopTheScanBeforeTheStatusChanges) {
  WriteAll(dir.File("plain.drf"), "no records");
  workflow.OpenContainer(dir.File("plain.drf"));
  WriteAll(dir.File("empty.drf"), "");
  WriteAll(dir.File("one.drf"), "x");
  EXPECT_EQ(Error(dir.File("empty.drf")), "Invalid selection start");
  EXPECT_EQ(Error(dir.File("one.drf")), "Invalid selection end");
  EXPECT_EQ(workflow.StatusText(), "Звуковые записи не найдены") << "as before the open";
  EXPECT_EQ(workflow.ListBox2.Count(), 0);
}

TEST_F(Workflow, AFileThatCannotBeOpenedKeepsStatusButEmptiesTheLists) {
  workflow.ListBox1.Add("7");
  workflow.ListBox2.Add("3");
  const std::string missing = dir.File("missing.drf");
  EXPECT_EQ(Error(missing), "Cannot open " + missing + ".\r\n(No such file or directory.)");
  EXPECT_EQ(workflow.StatusText(), "Kestrave");
  EXPECT_EQ(workflow.ListBox1.Count(), 0);
  EXPECT_EQ(workflow.ListBox2.Count(), 0);
}

std::vector<std::string> Lines(const TStringList& list) {
  return list.Lines();
}

std::vector<std::string> AsLines(const std::vector<std::int64_t>& positions) {
  std::vector<std::string> lines;
  for (const auto p : positions)
    lines.push_back(std::to_string(p));
  return lines;
}

TEST_F(Workflow, AdjacentMagicsInAnyCaseAreAllFound) {
  WriteAll(dir.File("two.drf"), "#!AMR#!amr");
  workflow.OpenContainer(dir.File("two.drf"));
  EXPECT_EQ(Lines(workflow.ListBox1), (std::vector<std::string>{"0", "5"}));
  EXPECT_EQ(workflow.StatusText(), "Найдено 2 записей");
  EXPECT_TRUE(workflow.SaveButtonsEnabled());
  WriteAll(dir.File("one.drf"), "#!aMr and some more");
  workflow.OpenContainer(dir.File("one.drf"));
  EXPECT_EQ(Lines(workflow.ListBox1), std::vector<std::string>{"0"}) << "lists start afresh";
  EXPECT_EQ(workflow.StatusText(), "Найдено 1 записей");
}

TEST_F(Workflow, AMagicCutOffAtTheEndIsNoRecord) {
  WriteAll(dir.File("cut.drf"), "data then #!AM");
  workflow.OpenContainer(dir.File("cut.drf"));
  EXPECT_EQ(workflow.ListBox1.Count(), 0);
  EXPECT_EQ(workflow.StatusText(), "Звуковые записи не найдены");
}

TEST_F(Workflow, MarkersWithoutMagicFillOnlyTheMarkerList) {
  WriteAll(dir.File("markers.drf"), std::string("\x06\x1F\x22"
                                                "AUDIO/AMR..\x06\x1F\x22"
                                                "audio/amr"));
  workflow.OpenContainer(dir.File("markers.drf"));
  EXPECT_EQ(Lines(workflow.ListBox2), (std::vector<std::string>{"0", "14"}));
  EXPECT_EQ(workflow.ListBox1.Count(), 0);
  EXPECT_EQ(workflow.StatusText(), "Звуковые записи не найдены");
  EXPECT_FALSE(workflow.SaveButtonsEnabled());
}

TEST_F(Workflow, AGeneratedContainerListsWhatItsLayoutSays) {
  const tools::SampleShape shape{12, 20, 3};
  WriteAll(dir.File("gen.drf"), tools::BuildSampleContainer(shape));
  workflow.OpenContainer(dir.File("gen.drf"));
  const tools::SampleLayout layout = tools::LayoutOfSample(shape);
  EXPECT_EQ(Lines(workflow.ListBox1), AsLines(layout.MagicPositions));
  EXPECT_EQ(Lines(workflow.ListBox2), AsLines(layout.MarkerPositions));
  EXPECT_EQ(workflow.StatusText(), "Найдено 12 записей");
  const int lastMarker = static_cast<int>(layout.MarkerPositions.back());
  EXPECT_EQ(workflow.HexEditorEx1.CursorPosition(), lastMarker + 11)
      << "the marker scan leaves its last hit selected";
  EXPECT_EQ(workflow.HexEditorEx1.SelectionLow(), lastMarker);
  EXPECT_EQ(workflow.HexEditorEx1.SelectionHigh(), lastMarker + 11);
}

// What the scan leaves behind: both lists, the cursor and the selection, and the status.
struct ScanOutcome {
  std::vector<std::string> magics;
  std::vector<std::string> markers;
  int cursor = 0;
  int low = 0;
  int high = 0;
  std::string status;
  bool operator==(const ScanOutcome&) const = default;
};

ScanOutcome Outcome(const ConverterWorkflow& workflow) {
  return {Lines(workflow.ListBox1),
          Lines(workflow.ListBox2),
          workflow.HexEditorEx1.CursorPosition(),
          workflow.HexEditorEx1.SelectionLow(),
          workflow.HexEditorEx1.SelectionHigh(),
          workflow.StatusText()};
}

TEST_F(Workflow, OnePassOverBothPatternsScansAsOneSearchAtATimeDoes) {
  // Patterns on the joins of the search's 16 MiB blocks, overlapping, in mixed case, and cut
  // off at the end.
  constexpr std::size_t kBlock = std::size_t{16} << 20;
  const std::string marker(
      "\x06\x1F\x22"
      "audio/amr");
  std::string bytes(2 * kBlock + 4096, '.');
  const auto place = [&](std::size_t at, const std::string& what) {
    bytes.replace(at, what.size(), what);
  };
  place(3, "#!AMR");
  place(kBlock - 2, "#!amr");
  place(kBlock - 30, marker);
  place(kBlock + 40,
        "\x06\x1F\x22"
        "AUDIO/AMR");
  place(2 * kBlock - 6, marker);
  place(2 * kBlock + 20, "#!AmR#!AMR");
  place(2 * kBlock + 100, marker + "#!AMR" + marker);
  place(bytes.size() - 4, "#!AM");
  WriteAll(dir.File("joins.drf"), bytes);
  workflow.OpenContainer(dir.File("joins.drf"));
  const ScanOutcome onePass = Outcome(workflow);

  ConverterWorkflow stepwise;
  // Watching the search's steps makes the component search one start at a time.
  stepwise.HexEditorEx1.SetFindProgress(true);
  stepwise.HexEditorEx1.OnProgress = [](auto&&...) {};
  stepwise.OpenContainer(dir.File("joins.drf"));
  EXPECT_EQ(onePass, Outcome(stepwise));
  EXPECT_EQ(onePass.magics.size(), 5u);
  EXPECT_EQ(onePass.markers.size(), 5u);
}

TEST_F(Workflow, ScanningAgainWithoutClearingListsEveryPositionTwice) {
  WriteAll(dir.File("one.drf"), "..#!AMR..");
  workflow.OpenContainer(dir.File("one.drf"));
  workflow.Action1Execute();
  EXPECT_EQ(Lines(workflow.ListBox1), (std::vector<std::string>{"2", "2"}));
  EXPECT_EQ(workflow.StatusText(), "Найдено 2 записей");
}

using test::InFolder;

TEST_F(Workflow, TheScanLeavesTheCurrentFolderWhereItWas) {
  std::filesystem::create_directory(dir.File("C:\\111"));
  WriteAll(dir.File("one.drf"), "..#!AMR..");
  const InFolder inDir(dir.Path());
  workflow.OpenContainer(dir.File("one.drf"));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(dir.Path()))
      << "not even into a folder named C:\\111 that is there";
}

TEST_F(Workflow, AContainerAnotherProgramHasOpenLoadsReadOnly) {
  WriteAll(dir.File("busy.drf"), "..#!AMR..");
  {
    const test::FileHeldElsewhere writer(dir.File("busy.drf"), O_WRONLY);
    ASSERT_TRUE(writer.Holding());
    workflow.OpenContainer(dir.File("busy.drf"));
    EXPECT_TRUE(workflow.HexEditorEx1.IsFileReadOnly()) << "a program writes it without a lock";
    EXPECT_EQ(workflow.StatusText(), "Найдено 1 записей") << "it loads all the same";
  }
  workflow.OpenContainer(dir.File("busy.drf"));
  EXPECT_FALSE(workflow.HexEditorEx1.IsFileReadOnly()) << "nobody has it open any more";
}

// Numbers are kept in four bytes; every line must still come back exactly as it was added.
TEST(StringList, EveryLineComesBackAsItWasAdded) {
  const std::vector<std::string> lines = {"0",   "7",  "2147483647", "2147483648", "007",
                                          "-5",  "-0", "",           "+3",         " 1",
                                          "12a", "x",  "0x1",        "1e3",        "99999999999"};
  TStringList list;
  for (const std::string& line : lines)
    list.Add(line);
  EXPECT_EQ(list.Lines(), lines);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, IndexOutsideTheLinesNamesTheIndex) {
  TStringList list;
  list.Add("100");
  EXPECT_EQ(list.Strings(0), "100");
  try {
    list.Strings(1);
    FAIL();
  } catch (const platform::EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (1)");
  }
  EXPECT_THROW(list.Strings(-1), platform::EListError);
}

}  // namespace
}  // namespace kestrave::app
