#pragma once

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

}  // namespace kestrave::audio
