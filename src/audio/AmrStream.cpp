#include "audio/AmrStream.h"

#include <array>
#include <cstring>

namespace kestrave::audio {
namespace {

// Whole frame sizes, header byte included, by frame type; 0 where the type is reserved.
// Narrowband: eight speech modes (4.75 to 12.2 kbit/s), SID, reserved 9..14, no data.
constexpr std::array<std::uint8_t, 16> kNarrowbandFrameBytes{13, 14, 16, 18, 20, 21, 27, 32,
                                                             6,  0,  0,  0,  0,  0,  0,  1};
// Wideband: nine speech modes (6.60 to 23.85 kbit/s), SID, reserved 10..13, speech lost, no
// data.
constexpr std::array<std::uint8_t, 16> kWidebandFrameBytes{18, 24, 33, 37, 41, 47, 51, 59,
                                                           61, 6,  0,  0,  0,  0,  1,  1};

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() &&
         std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0;
}

}  // namespace

int SampleRate(AmrCodec codec) {
  return codec == AmrCodec::Wideband ? 16000 : 8000;
}

int SamplesPerFrame(AmrCodec codec) {
  return SampleRate(codec) / 1000 * kFrameMilliseconds;
}

int FrameBytes(AmrCodec codec, int frameType) {
  if (frameType < 0 || frameType > 15 || codec == AmrCodec::Unknown) return 0;
  const auto& table = codec == AmrCodec::Wideband ? kWidebandFrameBytes : kNarrowbandFrameBytes;
  return table[static_cast<std::size_t>(frameType)];
}

std::string_view StreamEndText(StreamEnd end) {
  switch (end) {
    case StreamEnd::EndOfRecord:
      return "end of record";
    case StreamEnd::ReservedType:
      return "reserved frame type";
    case StreamEnd::BadFrameHeader:
      return "bad frame header";
    case StreamEnd::TruncatedFrame:
      return "truncated frame";
    case StreamEnd::WrongMagic:
      return "wrong magic";
  }
  return "unknown";
}

std::string_view CodecName(AmrCodec codec) {
  switch (codec) {
    case AmrCodec::Narrowband:
      return "AMR-NB";
    case AmrCodec::Wideband:
      return "AMR-WB";
    case AmrCodec::Unknown:
      break;
  }
  return "-";
}

StreamStart ReadStreamHeader(std::span<const std::uint8_t> record) {
  // The wideband header begins with the narrowband one's first five bytes, so it is tried first.
  if (StartsWith(record, kWidebandHeader))
    return {AmrCodec::Wideband, static_cast<std::int64_t>(kWidebandHeader.size())};
  if (StartsWith(record, kNarrowbandHeader))
    return {AmrCodec::Narrowband, static_cast<std::int64_t>(kNarrowbandHeader.size())};
  return {};
}

const FrameSizes& FrameSizesOf(AmrCodec codec) {
  // By the whole header byte, so one look-up both checks the header and sizes the frame.
  static const auto build = [](const std::array<std::uint8_t, 16>& byType) {
    FrameSizes sizes{};
    for (int header = 0; header < 256; ++header)
      if ((header & 0x83) == 0)
        sizes[static_cast<std::size_t>(header)] = byType[(header >> 3) & 15];
    return sizes;
  };
  static const FrameSizes narrowband = build(kNarrowbandFrameBytes);
  static const FrameSizes wideband = build(kWidebandFrameBytes);
  return codec == AmrCodec::Wideband ? wideband : narrowband;
}

StreamEnd WhyFrameEnds(std::span<const std::uint8_t> record, std::int64_t at) {
  const std::uint8_t header = record[static_cast<std::size_t>(at)];
  // The first bit and the two padding bits of a stored frame's header are always clear.
  if ((header & 0x83) != 0) return StreamEnd::BadFrameHeader;
  return StreamEnd::ReservedType;
}

FrameWalk WalkFrames(std::span<const std::uint8_t> record, const FrameSizes& sizes,
                     std::int64_t from, std::int64_t limit) {
  const auto size = static_cast<std::int64_t>(record.size());
  FrameWalk walk{from, 0, false, StreamEnd::EndOfRecord};
  while (walk.At < limit && walk.At < size) {
    const int bytes = sizes[record[static_cast<std::size_t>(walk.At)]];
    if (bytes == 0) {
      walk.Stopped = true;
      walk.End = WhyFrameEnds(record, walk.At);
      return walk;
    }
    if (size - walk.At < bytes) {
      walk.Stopped = true;
      walk.End = StreamEnd::TruncatedFrame;
      return walk;
    }
    walk.At += bytes;
    ++walk.Frames;
  }
  return walk;
}

AmrStreamInfo FinishStreamInfo(const StreamStart& start, std::int64_t size, std::int64_t frames,
                               std::int64_t validBytes, StreamEnd end) {
  AmrStreamInfo info;
  info.Codec = start.Codec;
  info.HeaderBytes = start.HeaderBytes;
  info.Frames = frames;
  info.ValidBytes = validBytes;
  info.TrailingBytes = size - validBytes;
  info.End = end;
  return info;
}

AmrStreamInfo ReadAmrStream(std::span<const std::uint8_t> record) {
  const auto size = static_cast<std::int64_t>(record.size());
  const StreamStart start = ReadStreamHeader(record);
  if (start.Codec == AmrCodec::Unknown)
    return FinishStreamInfo(start, size, 0, 0, StreamEnd::WrongMagic);
  const FrameWalk walk = WalkFrames(record, FrameSizesOf(start.Codec), start.HeaderBytes, size);
  return FinishStreamInfo(start, size, walk.Frames, walk.At,
                          walk.Stopped ? walk.End : StreamEnd::EndOfRecord);
}

}  // namespace kestrave::audio
