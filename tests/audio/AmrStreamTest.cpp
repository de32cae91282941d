#include "audio/AmrStream.h"
#include "audio/AmrStreamPieces.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/AmrEncoders.h"
#include "support/AmrReference.h"

namespace kestrave::audio {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
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
    const AmrStreamInfo info = ReadAmrStream(record);
    const test::ReferenceWalk walk = test::WalkAmrFrames(record);
    ASSERT_EQ(static_cast<int>(info.Codec), walk.Codec) << "trial " << trial;
    ASSERT_EQ(info.Frames, walk.Frames) << "trial " << trial;
    ASSERT_EQ(info.ValidBytes, walk.ValidBytes) << "trial " << trial;
    ASSERT_LE(info.ValidBytes, static_cast<std::int64_t>(record.size()));
  }
}

bool SameAnswer(const AmrStreamInfo& a, const AmrStreamInfo& b) {
  return a.Codec == b.Codec && a.HeaderBytes == b.HeaderBytes && a.Frames == b.Frames &&
         a.ValidBytes == b.ValidBytes && a.TrailingBytes == b.TrailingBytes && a.End == b.End;
}

// Pieces cut anywhere, even inside frames, starts that only look like frames, streams that end
// inside a piece: walked on two threads and joined, every answer is the one-go walk's.
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
    if (i == 13) record[1] = 'x';                                        // no header
    records.push_back(record);
  }
  std::vector<std::span<const std::uint8_t>> spans(records.begin(), records.end());
  for (const std::size_t piece :
       {std::size_t{1}, std::size_t{7}, std::size_t{100}, std::size_t{4096}}) {
    const auto infos = ReadAmrStreams(spans, 2, piece);
    ASSERT_EQ(infos.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
      EXPECT_TRUE(SameAnswer(infos[i], ReadAmrStream(records[i])))
          << "record " << i << ", pieces of " << piece << ": " << infos[i].Frames << " frames, "
          << StreamEndText(infos[i].End);
  }
  EXPECT_TRUE(ReadAmrStreams({}, 2).empty());
}

}  // namespace
}  // namespace kestrave::audio
