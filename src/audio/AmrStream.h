#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace kestrave::audio {

// AMR in its file form: a storage header, then frames back to back, each a header byte (frame
// type in bits 6..3, quality in bit 2) and the frame type's fixed number of speech bytes.
enum class AmrCodec : std::uint8_t { Unknown, Narrowband, Wideband };

inline constexpr std::string_view kNarrowbandHeader = "#!AMR\n";
inline constexpr std::string_view kWidebandHeader = "#!AMR-WB\n";
// Every frame holds 20 ms of sound: 160 samples at 8 kHz, 320 at 16 kHz.
inline constexpr int kFrameMilliseconds = 20;
int SampleRate(AmrCodec codec);
int SamplesPerFrame(AmrCodec codec);

// The bytes of a whole frame of this type, its header byte included; 0 for a type the codec
// reserves.
int FrameBytes(AmrCodec codec, int frameType);

// Why a walk over the frames stopped.
enum class StreamEnd : std::uint8_t {
  EndOfRecord,     // every byte of the record belongs to the stream
  ReservedType,    // a frame header names a type the codec reserves
  BadFrameHeader,  // a frame header with its first or its padding bits set
  TruncatedFrame,  // the record ends inside a frame
  WrongMagic,      // the record does not begin with a storage header
};
std::string_view StreamEndText(StreamEnd end);
std::string_view CodecName(AmrCodec codec);

struct AmrStreamInfo {
  AmrCodec Codec = AmrCodec::Unknown;
  std::int64_t HeaderBytes = 0;
  std::int64_t Frames = 0;
  // The storage header and the complete frames: a file of just these plays to its end.
  std::int64_t ValidBytes = 0;
  // The record's bytes after them.
  std::int64_t TrailingBytes = 0;
  StreamEnd End = StreamEnd::WrongMagic;
  std::int64_t DurationMilliseconds() const { return Frames * kFrameMilliseconds; }
};

// Walks the frames of a record from its first byte to where the stream ends.
AmrStreamInfo ReadAmrStream(std::span<const std::uint8_t> record);

// The steps of a walk, for walks that go piece by piece (AmrStreamPieces.h).
struct StreamStart {
  AmrCodec Codec = AmrCodec::Unknown;
  std::int64_t HeaderBytes = 0;
};
StreamStart ReadStreamHeader(std::span<const std::uint8_t> record);
// A frame's whole size by its header byte: 0 for a reserved type or a header with its first or
// padding bits set.
using FrameSizes = std::array<std::uint8_t, 256>;
const FrameSizes& FrameSizesOf(AmrCodec codec);
// Frames from From while they start before Limit: where the walk got to, how many frames it
// passed, and, when a frame there is not whole or not valid, why the stream ends there.
struct FrameWalk {
  std::int64_t At = 0;
  std::int64_t Frames = 0;
  bool Stopped = false;
  StreamEnd End = StreamEnd::EndOfRecord;
};
// Why the stream ends at a frame whose header is not valid: a reserved type or a bad header.
StreamEnd WhyFrameEnds(std::span<const std::uint8_t> record, std::int64_t at);
FrameWalk WalkFrames(std::span<const std::uint8_t> record, const FrameSizes& sizes,
                     std::int64_t from, std::int64_t limit);
AmrStreamInfo FinishStreamInfo(const StreamStart& start, std::int64_t size, std::int64_t frames,
                               std::int64_t validBytes, StreamEnd end);

}  // namespace kestrave::audio
