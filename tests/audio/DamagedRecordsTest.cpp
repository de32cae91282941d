// kestrave-cli on containers whose records hold real speech damaged every way the reader goes
// on past: what the report counts, what --trim and --wav write, and how the sound compares with
// ffmpeg's own decoding of the trimmed records.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <string>

#include "audio/AmrStream.h"
#include "support/AmrDamage.h"
#include "support/AmrEncoders.h"
#include "support/AudioFiles.h"
#include "support/CliRun.h"

namespace kestrave::test {
namespace {

const std::string kMarker = std::string("\x06\x1F\x22", 3) + "audio/amr";
const std::string kMetadata = "meta:recorded=2026-12-09;";

// After a record ending in a cut frame the next record's marker follows at once; after the
// others, metadata.
std::vector<std::uint8_t> Container(const std::vector<DamagedStream>& records,
                                    const std::vector<std::uint8_t>& last) {
  std::string bytes = std::string("KDRF") + std::string(24, '\0');
  for (std::size_t i = 0; i <= records.size(); ++i) {
    bytes += kMarker + std::string(6, static_cast<char>(i + 1));
    const auto& stream = i < records.size() ? records[i].Bytes() : last;
    bytes.append(stream.begin(), stream.end());
    if (i == records.size() || records[i].End() != audio::StreamEnd::TruncatedFrame)
      bytes += kMetadata;
  }
  return {bytes.begin(), bytes.end()};
}

QJsonArray RecordsOf(const CliRun& run) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(run.out))
      .object()["containers"][0]
      .toObject()["records"]
      .toArray();
}

// The frames of a trimmed stream in order, each told apart as a no-data frame standing for a
// gap or a frame of sound.
std::vector<bool> NoDataFrames(const std::vector<std::uint8_t>& trimmed, audio::AmrCodec codec) {
  std::vector<bool> noData;
  for (std::size_t at = audio::StorageHeader(codec).size(); at < trimmed.size();) {
    noData.push_back(trimmed[at] == audio::kNoDataFrame);
    at += static_cast<std::size_t>(audio::FrameBytes(codec, (trimmed[at] >> 3) & 15));
  }
  return noData;
}

// Real speech from both encoders, every kind of damage: the report counts the frames the damage
// left, --trim writes exactly them with no-data frames for each gap, --no-recovery only those
// before the first damage, and --wav their sound, gaps included, as ffmpeg decodes the trimmed
// record.
TEST(DamagedRecords, EveryFrameThatCanBeDecodedIsKeptInOrder) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
  const auto narrowSpeech = SpokenSentence(8000);
  const auto wideSpeech = SpokenSentence(16000);
  if (narrowSpeech.empty() || wideSpeech.empty()) GTEST_SKIP() << "espeak-ng is not installed";
  const std::vector<std::uint8_t> streams[] = {EncodeNarrowband(narrowSpeech, 7),
                                               EncodeWideband(wideSpeech, 8)};
  // Above 6.4 kHz a wideband decoder makes the sound up from noise of its own: the decoders can
  // only agree below it (as in AudioCli.WavFilesHoldEveryFrameAndSoundAsFfmpegHearsThem).
  const std::string belowHighBand = "lowpass=f=6000,lowpass=f=6000,lowpass=f=6000,lowpass=f=6000";
  for (const auto& clean : streams) {
    const std::vector<DamagedStream> cases = EveryKindOfDamage(clean);
    const audio::AmrCodec codec = cases.front().Codec();
    const bool wide = codec == audio::AmrCodec::Wideband;
    SCOPED_TRACE(std::string(audio::CodecName(codec)));
    TempDir dir;
    WriteAll(dir.File("c.drf"), Container(cases, clean));
    const CliRun json = RunCli("scan --json c.drf", dir);
    ASSERT_EQ(json.exitCode, 0) << json.err;
    ASSERT_EQ(RunCli("extract --trim c.drf trim", dir).exitCode, 0);
    ASSERT_EQ(RunCli("extract --trim --no-recovery c.drf prefix", dir).exitCode, 0);
    const CliRun wav = RunCli("extract --wav c.drf wav", dir);
    ASSERT_EQ(wav.exitCode, 0) << wav.err;
    // The text says what was skipped and recovered, and, stopping at damage, what is left out.
    const std::string recovered = std::to_string(cases.front().Recovered());
    const CliRun text = RunCli("scan --records c.drf", dir);
    EXPECT_NE(text.out.find("(reserved frame type): " + recovered + " frames recovered after it"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("header repaired"), std::string::npos) << text.out;
    const CliRun stopped = RunCli("scan --records --no-recovery c.drf", dir);
    EXPECT_NE(stopped.out.find(recovered + " decodable frames past the damage left out"),
              std::string::npos)
        << stopped.out;
    const QJsonArray records = RecordsOf(json);
    ASSERT_EQ(records.size(), static_cast<int>(cases.size()) + 1);
    for (std::size_t i = 0; i < cases.size(); ++i) {
      const DamagedStream& damaged = cases[i];
      SCOPED_TRACE(damaged.What());
      const QJsonObject record = records[static_cast<int>(i)].toObject();
      EXPECT_EQ(record["frames"].toInt(), damaged.Frames());
      EXPECT_EQ(record["recoveredFrames"].toInt(), damaged.Recovered());
      EXPECT_EQ(record["gaps"].toInt(), damaged.Gaps());
      EXPECT_EQ(record["gapFrames"].toInt(), damaged.GapFrames());
      EXPECT_EQ(record["headerRepaired"].toBool(), damaged.Repaired());
      const audio::StreamEnd end = damaged.End() == audio::StreamEnd::EndOfRecord
                                       ? audio::StreamEnd::BadFrameHeader  // the metadata
                                       : damaged.End();
      EXPECT_EQ(record["streamEnd"].toString().toStdString(), audio::StreamEndText(end));

      const std::string n = std::to_string(i + 1);
      EXPECT_TRUE(ReadAll(dir.File("trim_" + n + ".amr")) == damaged.Trimmed());
      EXPECT_TRUE(ReadAll(dir.File("prefix_" + n + ".amr")) == damaged.UndamagedPrefix());

      // The sound of every frame, no-data frames included; compared with ffmpeg's where both
      // decode frames of sound. ffmpeg's narrowband decoder skips no-data frames where ours
      // conceals the loss, so the two take five frames (100 ms) after a gap to agree again.
      const int rate = wide ? 16000 : 8000;
      const std::size_t perFrame = wide ? 320 : 160;
      const std::vector<bool> noData = NoDataFrames(damaged.Trimmed(), codec);
      const Wav ours = ReadWav(dir.File("wav_" + n + ".wav"));
      EXPECT_EQ(ours.samples.size(), noData.size() * perFrame);
      const std::string filter = wide ? belowHighBand : "";
      std::string messages;
      const auto reference = FfmpegSamples(dir, "trim_" + n + ".amr", rate, filter, messages);
      const auto filtered =
          wide ? FfmpegSamples(dir, "wav_" + n + ".wav", rate, filter, messages) : ours.samples;
      std::vector<std::int16_t> mine;
      std::vector<std::int16_t> theirs;
      std::size_t theirFrame = 0;
      int settling = 0;
      for (std::size_t frame = 0; frame < noData.size(); ++frame) {
        if (noData[frame]) {
          settling = 5;
          if (wide) ++theirFrame;
          continue;
        }
        const std::size_t from = theirFrame++ * perFrame;
        if (settling > 0) {
          --settling;
          continue;
        }
        if (from + perFrame > reference.size()) break;
        mine.insert(mine.end(), filtered.begin() + static_cast<std::ptrdiff_t>(frame * perFrame),
                    filtered.begin() + static_cast<std::ptrdiff_t>((frame + 1) * perFrame));
        theirs.insert(theirs.end(), reference.begin() + static_cast<std::ptrdiff_t>(from),
                      reference.begin() + static_cast<std::ptrdiff_t>(from + perFrame));
      }
      EXPECT_EQ(reference.size(),
                static_cast<std::size_t>(wide ? noData.size() : damaged.Frames()) * perFrame);
      EXPECT_GE(SignalToNoiseDb(mine, theirs), 30.0);
    }
  }
}

}  // namespace
}  // namespace kestrave::test
