#include "audio/AmrStream.h"

#include <algorithm>
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

// The storage headers are ASCII; a record may carry them in another letter case.
bool StartsWithAnyCase(std::span<const std::uint8_t> bytes, std::string_view prefix) {
  if (bytes.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    if (lower(bytes[i]) != lower(static_cast<unsigned char>(prefix[i]))) return false;
  }
  return true;
}

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

std::string_view StorageHeader(AmrCodec codec) {
  return codec == AmrCodec::Wideband ? kWidebandHeader : kNarrowbandHeader;
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
    case StreamEnd::FillerFrame:
      return "filler bytes";
    case StreamEnd::Multichannel:
      return "multichannel header";
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
  for (const AmrCodec codec : {AmrCodec::Wideband, AmrCodec::Narrowband}) {
    const std::string_view header = StorageHeader(codec);
    if (StartsWithAnyCase(record, header))
      return {codec, static_cast<std::int64_t>(header.size()), !StartsWith(record, header)};
  }
  StreamStart none;
  if (StartsWithAnyCase(record, kMultichannelHeader)) none.Refused = StreamEnd::Multichannel;
  return none;
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

StreamEnd WhyFrameEnds(std::span<const std::uint8_t> record, const FrameSizes& sizes,
                       std::int64_t at) {
  const std::uint8_t header = record[static_cast<std::size_t>(at)];
  // The first bit and the two padding bits of a stored frame's header are always clear.
  if ((header & 0x83) != 0) return StreamEnd::BadFrameHeader;
  const int bytes = sizes[header];
  if (bytes == 0) return StreamEnd::ReservedType;
  if (static_cast<std::int64_t>(record.size()) - at < bytes) return StreamEnd::TruncatedFrame;
  return StreamEnd::FillerFrame;
}

FrameWalk WalkFrames(std::span<const std::uint8_t> record, const FrameSizes& sizes,
                     std::int64_t from, std::int64_t limit) {
  const auto size = static_cast<std::int64_t>(record.size());
  FrameWalk walk{from, 0, false, StreamEnd::EndOfRecord};
  while (walk.At < limit && walk.At < size) {
    const std::uint8_t* frame = record.data() + walk.At;
    const int bytes = sizes[*frame];
    if (bytes == 0 || size - walk.At < bytes || IsFillerFrame(frame, bytes)) {
      walk.Stopped = true;
      walk.End = WhyFrameEnds(record, sizes, walk.At);
      return walk;
    }
    walk.At += bytes;
    ++walk.Frames;
  }
  return walk;
}

std::int64_t FindResync(std::span<const std::uint8_t> record, const FrameSizes& sizes,
                        std::int64_t from) {
  const auto size = static_cast<std::int64_t>(record.size());
  const std::uint8_t* bytes = record.data();
  // A frame a run can start with: speech or a SID, quality bit set, whole, not filler.
  const auto fits = [&](std::int64_t at) {
    const int frame = sizes[bytes[at]];
    if (frame < 2 || (bytes[at] & 0x04) == 0 || size - at < frame) return 0;
    return IsFillerFrame(bytes + at, frame) ? 0 : frame;
  };
  for (std::int64_t start = std::max<std::int64_t>(from, 0); start < size;) {
    // A run never begins with a byte repeated (filler, or a frame that starts in it and runs on
    // into the stream): past a stretch of one byte the search goes on from its last byte.
    if (start + 1 < size && bytes[start + 1] == bytes[start]) {
      std::int64_t end = start + 2;
      while (end < size && bytes[end] == bytes[start])
        ++end;
      start = end - 1;
      continue;
    }
    std::int64_t at = start;
    int frames = 0;
    for (int bytesOfFrame; frames < kResyncFrames && at < size && (bytesOfFrame = fits(at)) > 0;
         ++frames)
      at += bytesOfFrame;
    if (frames == kResyncFrames) return start;
    ++start;
  }
  return -1;
}

void WalkTotals::AddFrames(std::int64_t frames) {
  Frames += frames;
  if (Gaps > 0) RecoveredFrames += frames;
}

void WalkTotals::AddGap(std::int64_t from, std::int64_t to, StreamEnd cause) {
  if (Gaps == 0) {
    FirstGapOffset = from;
    FirstGapCause = cause;
  }
  ++Gaps;
  GapBytes += to - from;
}

AmrStreamInfo FinishStreamInfo(const StreamStart& start, std::int64_t size,
                               const WalkTotals& totals) {
  AmrStreamInfo info;
  info.Codec = start.Codec;
  info.HeaderBytes = start.HeaderBytes;
  info.HeaderRepaired = start.Repaired;
  info.Frames = totals.Frames;
  info.ValidBytes = totals.At - totals.GapBytes;
  info.TrailingBytes = size - totals.At;
  info.End = totals.End;
  info.Gaps = totals.Gaps;
  info.GapBytes = totals.GapBytes;
  info.RecoveredFrames = totals.RecoveredFrames;
  info.FirstGapOffset = totals.FirstGapOffset;
  info.FirstGapCause = totals.FirstGapCause;
  return info;
}

AmrStreamInfo FinishStreamInfo(const StreamStart& start, std::int64_t size, std::int64_t frames,
                               std::int64_t validBytes, StreamEnd end) {
  WalkTotals totals;
  totals.At = validBytes;
  totals.Frames = frames;
  totals.End = end;
  return FinishStreamInfo(start, size, totals);
}

std::int64_t AmrStreamInfo::GapFramesFor(std::int64_t gapBytesSoFar) const {
  const std::int64_t frameBytes = ValidBytes - HeaderBytes;
  if (gapBytesSoFar <= 0 || Frames <= 0 || frameBytes <= 0) return 0;
  // Rounded to the nearest; a record's bytes (below 2^31) keep the product within 64 bits.
  return (2 * gapBytesSoFar * Frames + frameBytes) / (2 * frameBytes);
}

PackedStreamInfo PackedStreamInfo::Of(const AmrStreamInfo& info) {
  PackedStreamInfo packed;
  packed.Frames = static_cast<std::int32_t>(info.Frames);
  packed.ValidBytes = static_cast<std::int32_t>(info.ValidBytes);
  packed.Gaps = static_cast<std::int32_t>(info.Gaps);
  packed.GapBytes = static_cast<std::int32_t>(info.GapBytes);
  packed.RecoveredFrames = static_cast<std::int32_t>(info.RecoveredFrames);
  packed.FirstGapOffset = static_cast<std::int32_t>(info.FirstGapOffset);
  packed.Codec = info.Codec;
  packed.End = info.End;
  packed.FirstGapCause = info.FirstGapCause;
  packed.HeaderRepaired = info.HeaderRepaired;
  return packed;
}

AmrStreamInfo PackedStreamInfo::Unpacked(std::int64_t size) const {
  StreamStart start;
  start.Repaired = HeaderRepaired;
  if (Codec != AmrCodec::Unknown) {
    start.Codec = Codec;
    start.HeaderBytes = static_cast<std::int64_t>(StorageHeader(Codec).size());
  }
  WalkTotals totals;
  totals.Frames = Frames;
  totals.At = std::int64_t{ValidBytes} + GapBytes;
  totals.Gaps = Gaps;
  totals.GapBytes = GapBytes;
  totals.RecoveredFrames = RecoveredFrames;
  totals.FirstGapOffset = FirstGapOffset;
  totals.FirstGapCause = FirstGapCause;
  totals.End = End;
  return FinishStreamInfo(start, size, totals);
}

AmrStreamInfo UndamagedPart(const AmrStreamInfo& info) {
  if (info.Gaps == 0) return info;
  AmrStreamInfo part = info;
  part.Frames = info.Frames - info.RecoveredFrames;
  part.ValidBytes = info.FirstGapOffset;
  part.TrailingBytes = info.ValidBytes + info.GapBytes + info.TrailingBytes - info.FirstGapOffset;
  part.End = info.FirstGapCause;
  part.Gaps = 0;
  part.GapBytes = 0;
  part.RecoveredFrames = 0;
  part.FirstGapOffset = 0;
  part.FirstGapCause = StreamEnd::EndOfRecord;
  return part;
}

AmrStreamInfo ReadAmrStream(std::span<const std::uint8_t> record, Recovery recovery,
                            const StretchSink& sink) {
  const auto size = static_cast<std::int64_t>(record.size());
  const StreamStart start = ReadStreamHeader(record);
  WalkTotals totals;
  if (start.Codec == AmrCodec::Unknown) {
    totals.End = start.Refused;
    return FinishStreamInfo(start, size, totals);
  }
  const FrameSizes& sizes = FrameSizesOf(start.Codec);
  totals.At = start.HeaderBytes;
  for (;;) {
    const FrameWalk walk = WalkFrames(record, sizes, totals.At, size);
    if (sink && walk.Frames > 0) sink({totals.At, walk.At - totals.At, walk.Frames, false});
    totals.AddFrames(walk.Frames);
    totals.At = walk.At;
    totals.End = walk.End;
    if (!walk.Stopped || recovery == Recovery::StopAtDamage) break;
    const std::int64_t resumed = FindResync(record, sizes, walk.At + 1);
    if (resumed < 0) break;
    if (sink) sink({walk.At, resumed - walk.At, 0, true});
    totals.AddGap(walk.At, resumed, walk.End);
    totals.At = resumed;
  }
  return FinishStreamInfo(start, size, totals);
}

}  // namespace kestrave::audio
