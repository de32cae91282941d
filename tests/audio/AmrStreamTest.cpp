#include "audio/AmrStream.h"
#include "audio/AmrStreamPieces.h"
#include "audio/AmrStreamWindows.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/AmrDamage.h"
#include "support/AmrEncoders.h"
#include "support/AmrReference.h"

namespace kestrave::audio {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

// A record read a window at a time, as the command line reads it from a file.
RecordWindowReader ViewOf(const std::vector<std::uint8_t>& record) {
  return [&record](std::int64_t at, std::int64_t count) {
    return std::span<const std::uint8_t>(record).subspan(static_cast<std::size_t>(at),
                                                         static_cast<std::size_t>(count));
  };
}

void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& bytes) {
  to.insert(to.end(), bytes.begin(), bytes.end());
}

// Streams from the real encoders in every mode are read to their last byte, frame by frame.
TEST(AmrStream, EveryModeOfTheRealEncodersIsReadToItsEnd) {
  const auto narrow = test::SpeechLikeSound(8000, 0.5);
  for (int mode = 0; mode <= 7; ++mode) {
    const auto stream = test::EncodeNarrowband(narrow, mode);
    const AmrStreamInfo info = ReadAmrStream(stream);
    EXPECT_EQ(info.Codec, AmrCodec::Narrowband);
    EXPECT_EQ(info.Frames, 25) << "mode " << mode;
    EXPECT_EQ(info.ValidBytes, static_cast<std::int64_t>(stream.size()));
    EXPECT_EQ(info.End, StreamEnd::EndOfRecord);
    EXPECT_EQ(info.DurationMilliseconds(), 500);
  }
  const auto wide = test::SpeechLikeSound(16000, 0.5);
  for (int mode = 0; mode <= 8; ++mode) {
    const auto stream = test::EncodeWideband(wide, mode);
    const AmrStreamInfo info = ReadAmrStream(stream);
    EXPECT_EQ(info.Codec, AmrCodec::Wideband);
    EXPECT_EQ(info.HeaderBytes, 9);
    EXPECT_EQ(info.Frames, 25) << "mode " << mode;
    EXPECT_EQ(info.TrailingBytes, 0);
  }
}

TEST(AmrStream, ContainerBytesAfterTheStreamAreTrailingAndSayWhyItEnded) {
  const auto stream = test::EncodeNarrowband(test::SpeechLikeSound(8000, 0.2), 7);
  const auto size = static_cast<std::int64_t>(stream.size());
  struct Case {
    std::string after;
    StreamEnd end;
  } cases[] = {
      {"\x06\x1F\x22"
       "audio/amr",
       StreamEnd::BadFrameHeader},                            // the marker: padding set
      {std::string("\x48\x00", 2), StreamEnd::ReservedType},  // type 9
      {"\x80", StreamEnd::BadFrameHeader},                    // first bit set
      {"\x3C\x01\x02", StreamEnd::TruncatedFrame},            // a 32-byte frame begun
  };
  for (const Case& c : cases) {
    auto record = stream;
    Append(record, Bytes(c.after));
    const AmrStreamInfo info = ReadAmrStream(record);
    EXPECT_EQ(info.ValidBytes, size);
    EXPECT_EQ(info.TrailingBytes, static_cast<std::int64_t>(c.after.size()));
    EXPECT_EQ(info.End, c.end) << StreamEndText(info.End);
    EXPECT_EQ(info.Frames, 10);
  }
}

// A storage header in another letter case is still one, and says so; the multichannel header
// is known for what it is, and refused.
TEST(AmrStream, OnlyStorageHeadersInAnyLetterCaseStartAStream) {
  for (const char* text : {"#!AMR_MC1.0\n", "#!amr_mc1.0\n\x3C", "#!AMR", "#!AMR-WB", "",
                           "x#!AMR\n", "#!AMR\r\n", "#!AMR WB\n"}) {
    const AmrStreamInfo info = ReadAmrStream(Bytes(text));
    EXPECT_EQ(info.Codec, AmrCodec::Unknown) << text;
    EXPECT_EQ(info.End, std::string(text).find("_") != std::string::npos ? StreamEnd::Multichannel
                                                                         : StreamEnd::WrongMagic)
        << text;
    EXPECT_EQ(info.ValidBytes, 0);
    EXPECT_EQ(info.Frames, 0);
  }
  const struct {
    const char* text;
    AmrCodec codec;
    bool repaired;
  } headers[] = {
      {"#!AMR\n", AmrCodec::Narrowband, false}, {"#!amr\n", AmrCodec::Narrowband, true},
      {"#!aMr\n", AmrCodec::Narrowband, true},  {"#!AMR-WB\n", AmrCodec::Wideband, false},
      {"#!Amr-Wb\n", AmrCodec::Wideband, true}, {"#!AMR-wb\n", AmrCodec::Wideband, true}};
  for (const auto& header : headers) {
    const AmrStreamInfo info = ReadAmrStream(Bytes(header.text));
    EXPECT_EQ(info.Codec, header.codec) << header.text;
    EXPECT_EQ(info.HeaderRepaired, header.repaired) << header.text;
    EXPECT_EQ(info.ValidBytes, static_cast<std::int64_t>(std::string(header.text).size()))
        << "a header alone is a valid, empty stream";
    EXPECT_EQ(info.End, StreamEnd::EndOfRecord);
  }
}

TEST(AmrStream, NoDataAndSpeechLostFramesCountAsTwentyMilliseconds) {
  auto narrow = Bytes("#!AMR\n");
  narrow.push_back(0x7C);  // no data
  narrow.push_back(0x44);  // SID, 5 more bytes
  narrow.insert(narrow.end(), 5, 0);
  narrow.push_back(0x74);  // type 14: reserved in narrowband
  const AmrStreamInfo info = ReadAmrStream(narrow);
  EXPECT_EQ(info.Frames, 2);
  EXPECT_EQ(info.End, StreamEnd::ReservedType);
  EXPECT_EQ(info.DurationMilliseconds(), 40);
  auto wide = Bytes("#!AMR-WB\n");
  wide.push_back(0x74);  // speech lost
  wide.push_back(0x7C);  // no data
  EXPECT_EQ(ReadAmrStream(wide).Frames, 2);
  EXPECT_EQ(ReadAmrStream(wide).End, StreamEnd::EndOfRecord);
}

// Real streams damaged at random agree with a walk written from the codecs' bit counts.
TEST(AmrStream, AgreesWithAPlainWalkOverDamagedStreams) {
  const std::vector<std::vector<std::uint8_t>> streams = {
      test::EncodeNarrowband(test::SpeechLikeSound(8000, 0.3), 4),
      test::EncodeWideband(test::SpeechLikeSound(16000, 0.3), 2)};
  std::mt19937 random(7);
  for (int trial = 0; trial < 4000; ++trial) {
    auto record = streams[static_cast<std::size_t>(trial % 2)];
    const int damage = static_cast<int>(random() % 4);
    for (int i = 0; i < damage; ++i)
      record[random() % record.size()] = static_cast<std::uint8_t>(random());
    record.resize(record.size() - random() % 40);
    for (const bool resynchronise : {false, true}) {
      const AmrStreamInfo info =
          ReadAmrStream(record, resynchronise ? Recovery::Resynchronise : Recovery::StopAtDamage);
      const test::ReferenceWalk walk = test::WalkAmrFrames(record, resynchronise);
      ASSERT_EQ(static_cast<int>(info.Codec), walk.Codec) << "trial " << trial;
      ASSERT_EQ(info.Frames, walk.Frames) << "trial " << trial;
      ASSERT_EQ(info.ValidBytes, walk.ValidBytes) << "trial " << trial;
      ASSERT_EQ(info.Gaps, walk.Gaps) << "trial " << trial;
      ASSERT_EQ(info.GapBytes, walk.GapBytes) << "trial " << trial;
      ASSERT_EQ(info.RecoveredFrames, walk.RecoveredFrames) << "trial " << trial;
      ASSERT_LE(info.StreamBytes(), static_cast<std::int64_t>(record.size()));
    }
  }
}

bool SameAnswer(const AmrStreamInfo& a, const AmrStreamInfo& b) {
  return a.Codec == b.Codec && a.HeaderBytes == b.HeaderBytes && a.Frames == b.Frames &&
         a.ValidBytes == b.ValidBytes && a.TrailingBytes == b.TrailingBytes && a.End == b.End &&
         a.HeaderRepaired == b.HeaderRepaired && a.Gaps == b.Gaps && a.GapBytes == b.GapBytes &&
         a.RecoveredFrames == b.RecoveredFrames && a.FirstGapOffset == b.FirstGapOffset &&
         a.FirstGapCause == b.FirstGapCause;
}

// Pieces cut anywhere, even inside frames, starts that only look like frames, streams that end
// inside a piece: walked on two threads and joined, or window by window as from a file, every
// answer is the one-go walk's.
TEST(AmrStream, WalkingInPiecesOnThreadsAnswersWhatOneWalkDoes) {
  const auto narrow = test::EncodeNarrowband(test::SpeechLikeSound(8000, 2.0), 5);
  const auto wide = test::EncodeWideband(test::SpeechLikeSound(16000, 2.0), 8);
  std::mt19937 random(11);
  std::vector<std::vector<std::uint8_t>> records;
  for (int i = 0; i < 60; ++i) {
    auto record = i % 2 ? wide : narrow;
    if (i % 3 == 0) record[6 + random() % (record.size() - 6)] ^= 0x80;  // ends early
    if (i % 5 == 0) record.resize(record.size() - 1 - random() % 50);    // cut in a frame
    if (i % 7 == 0) record.insert(record.end(), 40, 0x3C);               // frame-like tail
    if (i % 4 == 1) record.insert(record.begin() + 400, 77, 0x00);       // zeros mid-stream
    if (i == 13) record[1] = 'x';                                        // no header
    records.push_back(record);
  }
  std::vector<std::span<const std::uint8_t>> spans(records.begin(), records.end());
  for (const Recovery recovery : {Recovery::StopAtDamage, Recovery::Resynchronise}) {
    for (const std::size_t piece :
         {std::size_t{1}, std::size_t{7}, std::size_t{100}, std::size_t{4096}}) {
      const auto infos = ReadAmrStreams(spans, 2, piece, recovery);
      ASSERT_EQ(infos.size(), records.size());
      for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_TRUE(SameAnswer(infos[i], ReadAmrStream(records[i], recovery)))
            << "record " << i << ", pieces of " << piece << ": " << infos[i].Frames << " frames, "
            << StreamEndText(infos[i].End);
    }
    for (const std::int64_t window : {std::int64_t{1024}, std::int64_t{1500}})
      for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_TRUE(
            SameAnswer(WindowedStreamWalk::Walk(static_cast<std::int64_t>(records[i].size()),
                                                ViewOf(records[i]), recovery, window),
                       ReadAmrStream(records[i], recovery)))
            << "record " << i << ", windows of " << window;
  }
  EXPECT_TRUE(ReadAmrStreams({}, 2).empty());
}

// A long stream of random frames with damage here and there, read a window at a time with windows
// large enough to be walked in pieces side by side: the one-go walk's answer, every time.
TEST(AmrStream, LongStreamsReadAWindowAtATimeAnswerWhatOneWalkDoes) {
  std::mt19937 random(5);
  std::vector<std::uint8_t> record = Bytes("#!AMR\n");
  while (record.size() < (std::size_t{3} << 20)) {
    const int type = static_cast<int>(random() % 8);
    record.push_back(static_cast<std::uint8_t>(type << 3 | 0x04));
    for (int i = 1; i < FrameBytes(AmrCodec::Narrowband, type); ++i)
      record.push_back(static_cast<std::uint8_t>(random()));
  }
  // Damage: zeros, a reserved frame type, random bytes.
  std::fill_n(record.begin() + 700'000, 5000, 0);
  record[1'600'000] = 0x4C;
  for (std::size_t i = 2'500'000; i < 2'520'000; ++i)
    record[i] = static_cast<std::uint8_t>(random());
  for (const Recovery recovery : {Recovery::StopAtDamage, Recovery::Resynchronise})
    for (const std::int64_t window : {std::int64_t{600} << 10, std::int64_t{1} << 20})
      EXPECT_TRUE(SameAnswer(WindowedStreamWalk::Walk(static_cast<std::int64_t>(record.size()),
                                                      ViewOf(record), recovery, window),
                             ReadAmrStream(record, recovery)))
          << "windows of " << window;
}

// Real streams damaged every way the reader goes on past: the frames it keeps, those it
// recovers and the gaps are those the damage left, in one walk and in pieces on threads; the
// trimmed frames are the kept ones with no-data frames for each gap; and a walk that stops at
// damage answers the undamaged part.
TEST(AmrStream, RecoveryKeepsEveryFrameTheDamageLeft) {
  for (const auto& clean : {test::EncodeNarrowband(test::SpeechLikeSound(8000, 7.0), 7),
                            test::EncodeWideband(test::SpeechLikeSound(16000, 7.0), 8)}) {
    for (const test::DamagedStream& damaged : test::EveryKindOfDamage(clean)) {
      SCOPED_TRACE(damaged.What() + ", " + std::string(CodecName(damaged.Codec())));
      const std::vector<std::uint8_t>& record = damaged.Bytes();
      const AmrStreamInfo info = ReadAmrStream(record, Recovery::Resynchronise);
      EXPECT_EQ(info.Codec, damaged.Codec());
      EXPECT_EQ(info.HeaderRepaired, damaged.Repaired());
      EXPECT_EQ(info.Frames, damaged.Frames());
      EXPECT_EQ(info.RecoveredFrames, damaged.Recovered());
      EXPECT_EQ(info.Gaps, damaged.Gaps());
      EXPECT_EQ(info.GapBytes, damaged.GapBytes());
      EXPECT_EQ(info.GapFrames(), damaged.GapFrames());
      EXPECT_EQ(info.End, damaged.End()) << StreamEndText(info.End);
      std::vector<std::uint8_t> trimmed(StorageHeader(info.Codec).begin(),
                                        StorageHeader(info.Codec).end());
      const std::int64_t handed = ForEachTrimmedPiece(
          record, info, Recovery::Resynchronise,
          [&](auto piece) { trimmed.insert(trimmed.end(), piece.begin(), piece.end()); });
      EXPECT_EQ(handed, damaged.Frames() + damaged.GapFrames());
      EXPECT_TRUE(trimmed == damaged.Trimmed());
      trimmed.resize(StorageHeader(info.Codec).size());
      ForEachTrimmedPiece(ViewOf(record), info, Recovery::Resynchronise, 1024, [&](auto piece) {
        trimmed.insert(trimmed.end(), piece.begin(), piece.end());
      });
      EXPECT_TRUE(trimmed == damaged.Trimmed()) << "read a window at a time";
      EXPECT_TRUE(SameAnswer(ReadAmrStreams({record}, 2, 100, Recovery::Resynchronise)[0], info));
      const AmrStreamInfo stopped = ReadAmrStream(record);
      EXPECT_TRUE(SameAnswer(stopped, UndamagedPart(info)));
      EXPECT_EQ(stopped.ValidBytes, static_cast<std::int64_t>(damaged.UndamagedPrefix().size()));
    }
  }
}

std::vector<std::uint8_t> Repeated(const std::string& text, int times) {
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < times; ++i)
    bytes.insert(bytes.end(), text.begin(), text.end());
  return bytes;
}

// What surrounds records in a container never passes for the frames a stream is taken up again
// with: random bytes, the container's metadata, record markers, padding of zeros, of 0x3C or of
// no-data frames. After any of those, the stream is taken up exactly where its frames begin.
TEST(AmrStream, StreamsAreTakenUpAgainOnlyWhereFramesBegin) {
  std::mt19937 random(5);
  std::vector<std::uint8_t> noise(std::size_t{4} << 20);
  for (auto& byte : noise)
    byte = static_cast<std::uint8_t>(random());
  const std::string marker = std::string("\x06\x1F\x22", 3) + "audio/amr" +
                             std::string("\x02\x00", 2) + std::string("\x2C\x34\x00\x00", 4) +
                             "#!AMR\n";
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
    bool framesFoundAfter;  // random bytes may end in a frame that leads into the stream
  } fillers[] = {
      {"random bytes", noise, false},
      {"metadata",
       Repeated("meta:recorded=2026-12-09 14:32:45;length=00:07:02,codec=AMR <DL-4>$4,4;", 60),
       true},
      {"record markers", Repeated(marker, 200), true},
      {"zero bytes", std::vector<std::uint8_t>(4096, 0x00), true},
      {"0x3C bytes", std::vector<std::uint8_t>(4096, 0x3C), true},
      {"no-data frames", std::vector<std::uint8_t>(4096, kNoDataFrame), true},
  };
  for (const auto& clean : {test::EncodeNarrowband(test::SpeechLikeSound(8000, 1.0), 7),
                            test::EncodeWideband(test::SpeechLikeSound(16000, 1.0), 8)}) {
    const StreamStart start = ReadStreamHeader(clean);
    const FrameSizes& sizes = FrameSizesOf(start.Codec);
    for (const auto& filler : fillers) {
      SCOPED_TRACE(std::string(filler.what) + ", " + std::string(CodecName(start.Codec)));
      EXPECT_EQ(FindResync(filler.bytes, sizes, 0), -1);
      if (!filler.framesFoundAfter) continue;
      auto joined = filler.bytes;
      joined.insert(joined.end(), clean.begin() + start.HeaderBytes, clean.end());
      EXPECT_EQ(FindResync(joined, sizes, 0), static_cast<std::int64_t>(filler.bytes.size()));
    }
  }
}

}  // namespace
}  // namespace kestrave::audio
