#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/core/ConverterWorkflow.h"
#include "app/core/RecordReport.h"
#include "app/hex/HexWindow.h"
#include "app/hex/RecordsDock.h"
#include "support/AmrContainers.h"
#include "support/AmrEncoders.h"
#include "support/CliRun.h"
#include "support/TempDir.h"
#include "tests/app/hex/ScriptedHexDialogs.h"

namespace kestrave::app {
namespace {

using kestrave::test::ContainerOf;
using kestrave::test::ReadAll;
using kestrave::test::TempDir;
using kestrave::test::WriteAll;
using Bytes = std::vector<std::uint8_t>;

const Bytes& Narrowband() {
  static const Bytes stream =
      kestrave::test::EncodeNarrowband(kestrave::test::SpeechLikeSound(8000, 1.0), 7);
  return stream;
}

const Bytes& Wideband() {
  static const Bytes stream =
      kestrave::test::EncodeWideband(kestrave::test::SpeechLikeSound(16000, 1.0), 8);
  return stream;
}

Bytes Text(const std::string& text) {
  return {text.begin(), text.end()};
}

Bytes Joined(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts)
    all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::string SamplePath(const std::string& name) {
  return std::string(KESTRAVE_SOURCE_DIR) + "/samples/" + name;
}

// --- The rows, against the command line's report ----------------------------------------------

struct ReportCase {
  const char* name;
  Bytes bytes;
};

// Containers that take every path of the report: streams of both codecs, a magic in another
// letter case, a cut stream, damage after the stream, more and fewer markers than magics, none.
std::vector<ReportCase> ReportCases() {
  const Bytes marker = Text(kestrave::test::kRecordMarker);
  Bytes cut = Narrowband();
  cut.resize(cut.size() - 5);
  Bytes damaged = Wideband();
  damaged[200] |= 0x80;       // a frame header with its first bit set
  Bytes hole = Narrowband();  // five bad bytes between two frames, sound after them
  const auto frame = static_cast<std::ptrdiff_t>(
      audio::FrameBytes(audio::AmrCodec::Narrowband, (hole[6] >> 3) & 0x0F));
  hole.insert(hole.begin() + 6 + 10 * frame, 5, 0xFF);
  std::vector<ReportCase> cases = {
      {"speech.drf", ReadAll(SamplePath("speech.drf"))},
      {"sample.drf", ReadAll(SamplePath("sample.drf"))},
      {"both codecs", ContainerOf({Narrowband(), Wideband()})},
      {"cut and damaged", ContainerOf({cut, damaged})},
      {"lower-case magic", Joined({marker, Text("#!amr\n"), Narrowband()})},
      {"recovered past damage", ContainerOf({hole, Wideband()})},
      {"multichannel", Joined({marker, Text("#!AMR_MC1.0\n"), marker, Narrowband()})},
      {"more markers", Joined({marker, marker, marker, Narrowband(), marker, Wideband()})},
      {"fewer markers", Joined({marker, Narrowband(), Wideband(), Narrowband()})},
      {"one magic, two markers", Joined({marker, marker, Narrowband()})},
      {"markers only", Joined({marker, Text("no sound"), marker})},
      {"nothing", Text("plain bytes")},
      {"empty", {}},
  };
  // Large enough for the search to go in shares, a magic and a marker across the middle.
  Bytes large(9 << 20, 0x55);
  const Bytes record = Joined({marker, Narrowband()});
  for (const std::size_t at : {std::size_t{1000}, large.size() / 2 - 3, large.size() / 2 - 14,
                               large.size() - record.size()})
    std::copy(record.begin(), record.end(), large.begin() + static_cast<std::ptrdiff_t>(at));
  cases.push_back({"large, across the shares", std::move(large)});
  return cases;
}

TEST(RecordScan, RowsAreThoseOfTheCommandLinesReport) {
  TempDir dir;
  for (const ReportCase& c : ReportCases()) {
    SCOPED_TRACE(c.name);
    if (c.bytes.empty()) {  // the converter cannot scan empty data ("Invalid selection start")
      EXPECT_EQ(ScanRecordReport(c.bytes, 2).Count(), 0);
      continue;
    }
    WriteAll(dir.File("c.drf"), c.bytes);
    ConverterWorkflow workflow;
    workflow.OpenContainer(dir.File("c.drf"));
    const RecordReport report = BuildRecordReport(workflow);
    if (std::string_view(c.name) == "recovered past damage") {
      EXPECT_EQ(report.Row(0).Stream.Gaps, 1);
    }
    for (const int threads : {1, 2}) {
      const RecordReport scan = ScanRecordReport(c.bytes, threads);
      ASSERT_EQ(scan.Count(), report.Count());
      EXPECT_EQ(scan.Magics, report.Magics);
      EXPECT_EQ(scan.Markers, report.Markers);
      EXPECT_EQ(scan.WindowWrites(), report.WindowWrites());
      EXPECT_EQ(scan.Reason(), report.Reason());
      for (int i = 0; i < scan.Count(); ++i) {
        const RecordRow ours = scan.Row(i);
        const RecordRow theirs = report.Row(i);
        EXPECT_EQ(ours.Number, theirs.Number);
        EXPECT_EQ(ours.Start, theirs.Start);
        EXPECT_EQ(ours.End, theirs.End);
        EXPECT_EQ(ours.Stream.Codec, theirs.Stream.Codec);
        EXPECT_EQ(ours.Stream.Frames, theirs.Stream.Frames);
        EXPECT_EQ(ours.Stream.ValidBytes, theirs.Stream.ValidBytes);
        EXPECT_EQ(ours.Stream.TrailingBytes, theirs.Stream.TrailingBytes);
        EXPECT_EQ(ours.Stream.End, theirs.Stream.End);
        EXPECT_EQ(ours.Stream.RecoveredFrames, theirs.Stream.RecoveredFrames);
        EXPECT_EQ(ours.Warning(), theirs.Warning()) << "record " << i + 1;
        EXPECT_EQ(scan.RecordAt(ours.Start), i);
        EXPECT_EQ(scan.RecordAt(ours.End), i);
      }
      if (scan.Count() > 0) {
        EXPECT_EQ(scan.RecordAt(scan.Row(0).Start - 1), -1);
      }
    }
  }
}

// In English the panel's warning is the report's, word for word; other languages translate it.
TEST(RecordsPanelText, WarningsInEnglishAreTheReports) {
  for (const ReportCase& c : ReportCases()) {
    const RecordReport scan = ScanRecordReport(c.bytes, 1);
    for (int i = 0; i < scan.Count(); ++i)
      EXPECT_EQ(RecordsDock::WarningText(scan.Row(i)).toStdString(), scan.Row(i).Warning())
          << c.name << ", record " << i + 1;
  }
}

// --- The panel in the window ------------------------------------------------------------------

// Plays nothing; keeps what it was handed, and says it has finished when told to.
class FakeAudioOutput : public IAudioOutput {
 public:
  bool Available() override { return available; }
  bool Play(const std::vector<std::int16_t>& sound, int r, std::int64_t from) override {
    samples = sound;
    rate = r;
    starts.push_back(from);
    playing = true;
    return true;
  }
  void Stop() override { playing = false; }
  bool Playing() override { return playing; }
  std::int64_t Position() override { return starts.empty() ? 0 : starts.back(); }

  bool available = true;
  bool playing = false;
  std::vector<std::int16_t> samples;
  int rate = 0;
  std::vector<std::int64_t> starts;
};

class RecordsPanel : public ::testing::Test {
 protected:
  RecordsPanel() : window(dialogs) {
    auto fake = std::make_unique<FakeAudioOutput>();
    audio = fake.get();
    Panel().SetAudioOutput(std::move(fake));
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  RecordsDock& Panel() { return window.RecordsPanel(); }
  QString Cell(int row, int column) {
    const QAbstractItemModel& model = *Panel().Table().model();
    return model.data(model.index(row, column)).toString();
  }
  void OpenSpeech() {
    container = dir.File("speech.drf");
    WriteAll(container, ReadAll(SamplePath("speech.drf")));
    ASSERT_TRUE(window.OpenFile(container));
    QApplication::processEvents();
  }

  TempDir dir;
  std::string container;
  test::ScriptedHexDialogs dialogs;
  HexWindow window;
  FakeAudioOutput* audio = nullptr;
};

TEST_F(RecordsPanel, AFileWithRecordsShowsThemAndOneWithoutLeavesThePanelHidden) {
  WriteAll(dir.File("plain.bin"), Text("no records here"));
  ASSERT_TRUE(window.OpenFile(dir.File("plain.bin")));
  EXPECT_TRUE(Panel().isHidden());
  OpenSpeech();
  EXPECT_FALSE(Panel().isHidden());
  ASSERT_EQ(Panel().Table().model()->rowCount(), 2);
  const QStringList second = {
      "2",   "12935", "37433", "AMR-WB",
      "401", "8.020", "0",     "29 bytes after the stream (bad frame header)"};
  for (int column = 0; column < second.size(); ++column)
    EXPECT_EQ(Cell(1, column), second[column]) << "column " << column;
  EXPECT_EQ(Panel().Summary(), "2 records");
}

TEST_F(RecordsPanel, PickingRowsSelectsTheirBytesAndShowsTheFirst) {
  OpenSpeech();
  hex::THexEditorEx& editor = window.Editor();
  Panel().SelectRows({1});
  EXPECT_EQ(editor.SelectionLow(), 12935);
  EXPECT_EQ(editor.SelectionHigh(), 37433);
  EXPECT_EQ(editor.CursorPosition(), 12935);
  const int row = 12935 / editor.BytesPerRow();
  EXPECT_LE(editor.TopRow(), row);
  EXPECT_GT(editor.TopRow() + editor.VisibleRowCount(), row);
  Panel().SelectRows({0, 1});
  EXPECT_EQ(editor.SelectionLow(), 50);
  EXPECT_EQ(editor.SelectionHigh(), 37433);
  // With the keys, as the table takes them: Down from the first row picks the second alone.
  Panel().Table().setFocus();
  QTest::keyClick(&Panel().Table(), Qt::Key_Down);
  EXPECT_EQ(Panel().SelectedRows(), std::vector<int>{1});
  EXPECT_EQ(editor.SelectionLow(), 12935);
  EXPECT_EQ(editor.SelectionHigh(), 37433);
}

TEST_F(RecordsPanel, TheRowsFollowAnEditAndItsUndo) {
  OpenSpeech();
  hex::THexEditorEx& editor = window.Editor();
  editor.SetInsertMode(true);
  const std::uint8_t byte = 0;
  editor.Replace(&byte, 100, 0, 1, "insert", false);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Cell(1, 1) == "12936"; }, 5000)) << "after the insert";
  editor.Undo();
  EXPECT_TRUE(QTest::qWaitFor([&] { return Cell(1, 1) == "12935"; }, 5000)) << "after the undo";
}

TEST_F(RecordsPanel, PickedRecordsAreWrittenAsKestraveCliExtractWritesThem) {
  OpenSpeech();
  struct Form {
    RecordForm form;
    const char* option;
    const char* extension;
  };
  for (const Form form :
       {Form{RecordForm::AsWindow, "", ".amr"}, Form{RecordForm::Trimmed, "--trim ", ".amr"},
        Form{RecordForm::Wav, "--wav ", ".wav"}}) {
    SCOPED_TRACE(form.option);
    TempDir out;
    ASSERT_EQ(kestrave::test::RunCli(
                  std::string("extract ") + form.option + "'" + container + "' cli", out)
                  .exitCode,
              0);
    Panel().SelectRows({1});
    dialogs.saveAnswers.push_back(out.File("panel") + form.extension);
    Panel().Export(form.form);
    EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors.back();
    const std::string name = std::string("_2") + form.extension;
    EXPECT_EQ(ReadAll(out.File("panel" + name)), ReadAll(out.File("cli" + name)));
    EXPECT_FALSE(std::filesystem::exists(out.File(std::string("panel_1") + form.extension)));
  }
  EXPECT_EQ(dialogs.saveSuggestions.back(), dir.File("speech"));
}

// "Сохранить AMR" cuts its last record at the end of the data when the markers are fewer.
TEST_F(RecordsPanel, TheWindowsLastRecordRunsToTheEndAsTheWindowWritesIt) {
  const Bytes marker = Text(kestrave::test::kRecordMarker);
  WriteAll(dir.File("c.drf"), Joined({marker, Narrowband(), marker, Wideband(), Narrowband()}));
  ASSERT_TRUE(window.OpenFile(dir.File("c.drf")));
  TempDir out;
  ASSERT_EQ(kestrave::test::RunCli("extract '" + dir.File("c.drf") + "' cli", out).exitCode, 0);
  Panel().SelectRows({0, 1, 2});
  dialogs.saveAnswers.push_back(out.File("panel"));
  Panel().Export(RecordForm::AsWindow);
  for (const char* name : {"_1.amr", "_2.amr"})
    EXPECT_EQ(ReadAll(out.File(std::string("panel") + name)),
              ReadAll(out.File(std::string("cli") + name)));
  EXPECT_TRUE(std::filesystem::exists(out.File("panel_3.amr"))) << "picked, though not counted";
}

TEST_F(RecordsPanel, AnExportIsRefusedWhereARecordWouldReplaceTheContainer) {
  const std::string shown = dir.File("x_1.amr");
  WriteAll(shown, ContainerOf({Narrowband()}));
  const Bytes before = ReadAll(shown);
  ASSERT_TRUE(window.OpenFile(shown));
  Panel().SelectRows({0});
  dialogs.saveAnswers.push_back(dir.File("x"));
  Panel().Export(RecordForm::AsWindow);
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_NE(dialogs.errors[0].find("x_1.amr"), std::string::npos);
  EXPECT_EQ(ReadAll(shown), before);
}

TEST_F(RecordsPanel, PlayHandsTheOutputTheSamplesOfTheWavAndStopsAtTheEnd) {
  OpenSpeech();
  TempDir out;
  ASSERT_EQ(kestrave::test::RunCli("extract --wav '" + container + "' cli", out).exitCode, 0);
  for (const int row : {0, 1}) {
    Panel().SelectRows({row});
    Panel().PlayOrStop();
    ASSERT_TRUE(Panel().Playing());
    EXPECT_EQ(audio->samples,
              kestrave::test::WavSamples(out.File("cli_" + std::to_string(row + 1) + ".wav")));
    EXPECT_EQ(audio->rate, row == 0 ? 8000 : 16000);
    audio->playing = false;  // the last sample has been played
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Panel().Playing(); }, 5000));
  }
  Panel().PlayOrStop();
  ASSERT_TRUE(Panel().Playing());
  Panel().PlayOrStop();
  EXPECT_FALSE(Panel().Playing());
  EXPECT_FALSE(audio->playing);
}

TEST_F(RecordsPanel, WithoutAnAudioOutputThePanelSaysSoAndStillExports) {
  audio->available = false;
  OpenSpeech();
  EXPECT_NE(Panel().AudioNotice().toStdString().find("No audio output"), std::string::npos);
  Panel().SelectRows({0});
  Panel().PlayOrStop();
  EXPECT_FALSE(Panel().Playing());
  dialogs.saveAnswers.push_back(dir.File("out"));
  Panel().Export(RecordForm::Trimmed);
  EXPECT_TRUE(std::filesystem::exists(dir.File("out_1.amr")));
}

}  // namespace
}  // namespace kestrave::app
