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

AmrStreamInfo ReadAmrStream(std::span<const std::uint8_t> record) {
  AmrStreamInfo info;
  const auto size = static_cast<std::int64_t>(record.size());
  // The wideband header begins with the narrowband one's first five bytes, so it is tried first.
  if (StartsWith(record, kWidebandHeader)) {
    info.Codec = AmrCodec::Wideband;
    info.HeaderBytes = static_cast<std::int64_t>(kWidebandHeader.size());
  } else if (StartsWith(record, kNarrowbandHeader)) {
    info.Codec = AmrCodec::Narrowband;
    info.HeaderBytes = static_cast<std::int64_t>(kNarrowbandHeader.size());
  } else {
    info.TrailingBytes = size;
    return info;
  }
  const auto& table =
      info.Codec == AmrCodec::Wideband ? kWidebandFrameBytes : kNarrowbandFrameBytes;
  std::int64_t at = info.HeaderBytes;
  info.End = StreamEnd::EndOfRecord;
  while (at < size) {
    const std::uint8_t header = record[static_cast<std::size_t>(at)];
    // The first bit and the two padding bits of a stored frame's header are always clear.
    if ((header & 0x83) != 0) {
      info.End = StreamEnd::BadFrameHeader;
      break;
    }
    const int bytes = table[(header >> 3) & 0x0F];
    if (bytes == 0) {
      info.End = StreamEnd::ReservedType;
      break;
    }
    if (size - at < bytes) {
      info.End = StreamEnd::TruncatedFrame;
      break;
    }
    at += bytes;
    ++info.Frames;
  }
  info.ValidBytes = at;
  info.TrailingBytes = size - at;
  return info;
}

}  // namespace kestrave::audio
