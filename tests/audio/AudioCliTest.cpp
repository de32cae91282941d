// kestrave-cli on containers that hold real AMR streams: the record report, trimmed records,
// WAV files checked against ffmpeg's own decoding, and extraction of many containers at once.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <filesystem>
#include <string>

#include "audio/AmrStream.h"
#include "support/AmrContainers.h"
#include "support/AmrEncoders.h"
#include "support/AudioFiles.h"
#include "support/CliRun.h"
#include "support/HostileFiles.h"
#include "support/ManyRecords.h"

namespace kestrave::test {
namespace {

const std::vector<std::uint8_t>& Narrowband() {
  static const auto stream = EncodeNarrowband(SpeechLikeSound(8000, 3.0), 7);
  return stream;
}

const std::vector<std::uint8_t>& Wideband() {
  static const auto stream = EncodeWideband(SpeechLikeSound(16000, 3.0), 8);
  return stream;
}

// Real speech, so the comparison with another decoder means what it would for a user's records.
TEST(AudioCli, WavFilesHoldEveryFrameAndSoundAsFfmpegHearsThem) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
  const auto narrowSpeech = SpokenSentence(8000);
  const auto wideSpeech = SpokenSentence(16000);
  if (narrowSpeech.empty() || wideSpeech.empty()) GTEST_SKIP() << "espeak-ng is not installed";
  const auto narrow = EncodeNarrowband(narrowSpeech, 7);
  const auto wide = EncodeWideband(wideSpeech, 8);
  TempDir dir;
  WriteAll(dir.File("c.drf"), ContainerOf({narrow, wide}));
  const CliRun wav = RunCli("extract --wav c.drf out", dir);
  ASSERT_EQ(wav.exitCode, 0) << wav.err;
  EXPECT_EQ(wav.out,
            "Найдено 2 записей\n" + dir.File("out_1.wav") + "\n" + dir.File("out_2.wav") + "\n");
  ASSERT_EQ(RunCli("extract --trim c.drf trimmed", dir).exitCode, 0);

  // Above 6.4 kHz a wideband decoder makes the sound up from noise of its own, so two decoders
  // can only agree below it: both are compared through the same low-pass filter there.
  const std::string belowHighBand = "lowpass=f=6000,lowpass=f=6000,lowpass=f=6000,lowpass=f=6000";
  const struct {
    const char* wav;
    const char* amr;
    int rate;
    std::size_t perFrame;
    std::int64_t frames;
    std::string filter;
  } records[] = {
      {"out_1.wav", "trimmed_1.amr", 8000, 160, audio::ReadAmrStream(narrow).Frames, ""},
      {"out_2.wav", "trimmed_2.amr", 16000, 320, audio::ReadAmrStream(wide).Frames, belowHighBand}};
  for (const auto& record : records) {
    const Wav ours = ReadWav(dir.File(record.wav));
    EXPECT_EQ(ours.rate, record.rate);
    EXPECT_EQ(ours.channels, 1);
    EXPECT_EQ(ours.bits, 16);
    EXPECT_GT(record.frames, 300);
    EXPECT_EQ(ours.samples.size(), static_cast<std::size_t>(record.frames) * record.perFrame);
    std::string messages;
    const auto reference = FfmpegSamples(dir, record.amr, record.rate, "", messages);
    EXPECT_EQ(messages, "") << "ffmpeg decodes the trimmed record without complaint";
    EXPECT_EQ(reference.size(), ours.samples.size());
    const auto filteredReference =
        FfmpegSamples(dir, record.amr, record.rate, record.filter, messages);
    const auto filteredOurs = FfmpegSamples(dir, record.wav, record.rate, record.filter, messages);
    EXPECT_GE(SignalToNoiseDb(filteredOurs, filteredReference), 30.0) << record.wav;
  }
}

TEST(AudioCli, TrimmedRecordsArePrefixesOfTheWindowsSlices) {
  TempDir dir;
  WriteAll(dir.File("c.drf"), ContainerOf({Narrowband(), Wideband(), Narrowband()}));
  ASSERT_EQ(RunCli("extract c.drf whole", dir).exitCode, 0);
  const CliRun trim = RunCli("extract --trim c.drf trim", dir);
  ASSERT_EQ(trim.exitCode, 0) << trim.err;
  const std::vector<std::uint8_t> streams[] = {Narrowband(), Wideband(), Narrowband()};
  for (int n = 1; n <= 3; ++n) {
    const auto whole = ReadAll(dir.File("whole_" + std::to_string(n) + ".amr"));
    const auto trimmed = ReadAll(dir.File("trim_" + std::to_string(n) + ".amr"));
    EXPECT_EQ(trimmed, streams[n - 1]) << "record " << n << " is its stream, nothing more";
    ASSERT_LT(trimmed.size(), whole.size());
    EXPECT_TRUE(std::equal(trimmed.begin(), trimmed.end(), whole.begin())) << "record " << n;
  }
}

TEST(AudioCli, TheRecordReportSaysWhatEachRecordHoldsInTextAndJson) {
  TempDir dir;
  // The second stream is cut short, and the third has no marker before it.
  auto cut = Wideband();
  cut.resize(cut.size() - 30);
  auto container = ContainerOf({Narrowband(), cut});
  const std::string third = "#!AMR\n";
  container.insert(container.end(), third.begin(), third.end());
  WriteAll(dir.File("c.drf"), container);

  const CliRun text = RunCli("scan --records c.drf", dir);
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("record  start"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("AMR-WB     149"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("truncated frame"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("not written by the window"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("note: found 3 AMR streams (\"#!AMR\") and 2 record markers"),
            std::string::npos)
      << text.out;

  const CliRun json = RunCli("scan --json c.drf missing.drf", dir);
  EXPECT_EQ(json.exitCode, 2) << "the missing container fails the run";
  QJsonParseError error;
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out;
  const QJsonArray containers = document.object()["containers"].toArray();
  ASSERT_EQ(containers.size(), 2);
  const QJsonObject first = containers[0].toObject();
  EXPECT_EQ(first["status"].toString().toStdString(), "Найдено 3 записей");
  EXPECT_EQ(first["windowWrites"].toInt(), 2);
  const QJsonArray records = first["records"].toArray();
  ASSERT_EQ(records.size(), 3);
  EXPECT_EQ(records[0].toObject()["frames"].toInt(), 150);
  EXPECT_EQ(records[0].toObject()["validBytes"].toInt(), static_cast<int>(Narrowband().size()));
  EXPECT_EQ(records[1].toObject()["codec"].toString(), "AMR-WB");
  EXPECT_EQ(records[1].toObject()["streamEnd"].toString(), "truncated frame");
  EXPECT_EQ(records[2].toObject()["durationMs"].toInt(), 0);
  EXPECT_FALSE(records[2].toObject()["writtenByWindow"].toBool());
  EXPECT_TRUE(containers[1].toObject().contains("error"));
}

TEST(AudioCli, ManyContainersGoIntoOneFolderUnderDistinctNames) {
  TempDir dir;
  std::filesystem::create_directories(dir.File("a"));
  std::filesystem::create_directories(dir.File("b"));
  WriteAll(dir.File("a/call.drf"), ContainerOf({Narrowband()}));
  WriteAll(dir.File("b/call.DRF"), ContainerOf({Narrowband(), Narrowband()}));
  WriteAll(dir.File("call-2.drf"), ContainerOf({Wideband()}));
  WriteAll(dir.File("..drf"), ContainerOf({Wideband()}));  // its records must not be hidden files
  const CliRun run =
      RunCli("extract --trim -o out/new/ a/call.drf missing.drf b/call.DRF call-2.drf ..drf", dir);
  EXPECT_EQ(run.exitCode, 2) << "one container failed";
  EXPECT_NE(run.err.find("missing.drf"), std::string::npos) << run.err;
  const std::string out = dir.File("out/new/");
  for (const char* name :
       {"call_1.amr", "call-3_1.amr", "call-3_2.amr", "call-2_1.amr", "..drf_1.amr"})
    EXPECT_TRUE(std::filesystem::exists(out + name)) << name << "\n" << run.out;
  EXPECT_EQ(run.out.find("//"), std::string::npos) << run.out;
  EXPECT_EQ(ReadAll(out + "call-2_1.amr"), Wideband());
  EXPECT_NE(run.out.find("b/call.DRF: Найдено 2 записей\n"), std::string::npos) << run.out;
}

TEST(AudioCli, ARecordWithoutAStreamIsReportedAndTheOthersAreWritten) {
  TempDir dir;
  auto container = ContainerOf({Narrowband()});
  const std::string odd = kRecordMarker + "#!AMR_MC1.0\n";  // multichannel: not ours to decode
  container.insert(container.end(), odd.begin(), odd.end());
  const auto second = ContainerOf({Wideband()});
  container.insert(container.end(), second.begin() + 28, second.end());
  WriteAll(dir.File("c.drf"), container);
  const CliRun run = RunCli("extract --wav c.drf rec", dir);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("record 2 not written: multichannel AMR (\"#!AMR_MC1.0\\n\"), which is "
                         "not read"),
            std::string::npos)
      << run.err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("rec_1.wav")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("rec_2.wav")));
  EXPECT_EQ(ReadWav(dir.File("rec_3.wav")).rate, 16000);
}

TEST(AudioCli, OptionsThatCannotGoTogetherAreRefusedBeforeAnythingIsRead) {
  TempDir dir;
  EXPECT_EQ(RunCli("extract --trim --wav c.drf x", dir).exitCode, 2);
  const CliRun exact = RunCli("extract --no-recovery c.drf x", dir);
  EXPECT_EQ(exact.exitCode, 2);
  EXPECT_NE(exact.err.find("--no-recovery goes with --trim or --wav"), std::string::npos);
  const CliRun missing = RunCli("extract -o", dir);
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("option '-o' needs a folder"), std::string::npos) << missing.err;
  WriteAll(dir.File("file"), "not a folder");
  const CliRun blocked = RunCli("extract -o file/sub c.drf", dir);
  EXPECT_EQ(blocked.exitCode, 2);
  EXPECT_NE(blocked.err.find("cannot be made"), std::string::npos) << blocked.err;
}

// What sits under a record's name is never waited on nor replaced when it is not a file, a link
// leads to the file it names, and the container itself is never a record's target.
TEST(AudioCli, RecordNamesThatAreNotPlainFilesAreHandledSafely) {
  TempDir dir;
  WriteAll(dir.File("c.drf"), ContainerOf({Narrowband(), Wideband()}));
  MakeFifo(dir.File("fifo_1.wav"));
  FifoGuard guard(dir.File("fifo_1.wav"));
  const CliRun fifo = RunCli("extract --wav c.drf fifo", dir);
  EXPECT_EQ(fifo.exitCode, 2);
  EXPECT_NE(fifo.err.find("Not a regular file"), std::string::npos) << fifo.err;
  EXPECT_TRUE(IsFifo(dir.File("fifo_1.wav")));

  WriteAll(dir.File("kept.amr"), "old");
  std::filesystem::create_symlink("kept.amr", dir.File("link_1.amr"));
  ASSERT_EQ(RunCli("extract --trim c.drf link", dir).exitCode, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link_1.amr")));
  EXPECT_EQ(ReadAll(dir.File("kept.amr")), Narrowband());

  std::filesystem::create_symlink("c.drf", dir.File("self_2.wav"));
  const CliRun self = RunCli("extract --wav c.drf self", dir);
  EXPECT_EQ(self.exitCode, 2);
  EXPECT_FALSE(std::filesystem::exists(dir.File("self_1.wav"))) << "refused before writing";
  EXPECT_EQ(ReadAll(dir.File("c.drf")), ContainerOf({Narrowband(), Wideband()}));
}

// More records than the stream reader takes at once and than one piece of output holds: every
// one is there, aligned, across the joins.
TEST(AudioCli, AReportOfManyRecordsHoldsEachInTextAndJson) {
  TempDir dir;
  constexpr int kRecords = 70'000;
  WriteTinyRecords(dir.File("many.drf"), kRecords);
  const auto start = [](int number) { return 32 + 27 * (number - 1) + 18; };
  const CliRun text = RunCli("scan --positions --records many.drf", dir);
  ASSERT_EQ(text.exitCode, 0) << text.err;
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = text.out.find('\n', at)) != std::string::npos; at = end + 1)
    lines.push_back(text.out.substr(at, end - at));
  ASSERT_EQ(lines.size(), kRecords + 4u);
  EXPECT_EQ(lines[0], "Найдено 70000 записей");
  EXPECT_EQ(lines[1].substr(lines[1].rfind(' ') + 1), std::to_string(start(kRecords)));
  EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), ' '), kRecords);
  EXPECT_EQ(lines[3],
            "record    start      end  size  codec   frames  recovered  seconds  valid  gaps  "
            "skipped  first gap  trailing  warning");
  for (const int number : {1, 65536, 65537, kRecords - 1}) {
    char expected[250];
    std::snprintf(expected, sizeof expected,
                  "%6d  %7d  %7d  %4d  AMR-NB  %6d  %9d  %7s  %5d  %4d  %7d  %9s  %8d  no complete "
                  "frame; 21 bytes after the stream (bad frame header)",
                  number, start(number), start(number) + 26, 27, 0, 0, "0.000", 6, 0, 0, "-", 21);
    EXPECT_EQ(lines[static_cast<std::size_t>(number) + 3], expected);
  }
  EXPECT_EQ(lines.back().substr(0, 38), " 70000  1890023  1890031     9  AMR-NB");

  const CliRun json = RunCli("scan --json many.drf", dir);
  ASSERT_EQ(json.exitCode, 0) << json.err;
  QJsonParseError error;
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  const QJsonArray records = document.object()["containers"][0].toObject()["records"].toArray();
  ASSERT_EQ(records.size(), kRecords);
  for (const int number : {1, 65537, kRecords}) {
    const QJsonObject record = records[number - 1].toObject();
    EXPECT_EQ(record["number"].toInt(), number);
    EXPECT_EQ(record["start"].toInt(), start(number));
    EXPECT_EQ(record["validBytes"].toInt(), 6);
    EXPECT_EQ(record["streamEnd"].toString(), "bad frame header");
  }
}

// On a terminal the records written so far show on one line of standard error, cleared at the
// end; in a file or a pipe there is no such line.
TEST(AudioCli, ProgressShowsOnATerminalOnly) {
  if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "no script(1)";
  TempDir dir;
  WriteAll(dir.File("c.drf"), ContainerOf({Narrowband(), Wideband()}));
  const std::string typescript = dir.File("terminal.txt");
  const std::string command = std::string("cd '") + dir.Path() +
                              "' && KESTRAVE_PROGRESS_AFTER_MS=0 script -qec \"'" +
                              KESTRAVE_CLI_PATH + "' extract --trim -o out c.drf >/dev/null\" '" +
                              typescript + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string shown = Slurp(typescript);
  EXPECT_NE(shown.find("2 records, 0.0 MB"), std::string::npos) << shown;
  EXPECT_NE(shown.find("\r\033[K"), std::string::npos) << "the line is cleared at the end";
  const CliRun piped = RunCli("extract --trim -o out2 c.drf", dir);
  EXPECT_EQ(piped.err, "");
}

}  // namespace
}  // namespace kestrave::test
