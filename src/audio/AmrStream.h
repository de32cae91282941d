#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace kestrave::audio {

// AMR in its file form: a storage header, then frames back to back, each a header byte (frame
// type in bits 6..3, quality in bit 2) and the frame type's fixed number of speech bytes.
enum class AmrCodec : std::uint8_t { Unknown, Narrowband, Wideband };

inline constexpr std::string_view kNarrowbandHeader = "#!AMR\n";
inline constexpr std::string_view kWidebandHeader = "#!AMR-WB\n";
inline constexpr std::string_view kMultichannelHeader = "#!AMR_MC1.0\n";
// Every frame holds 20 ms of sound: 160 samples at 8 kHz, 320 at 16 kHz.
inline constexpr int kFrameMilliseconds = 20;
int SampleRate(AmrCodec codec);
int SamplesPerFrame(AmrCodec codec);
// The storage header a file of this codec starts with.
std::string_view StorageHeader(AmrCodec codec);

// The bytes of a whole frame of this type, its header byte included; 0 for a type the codec
// reserves.
int FrameBytes(AmrCodec codec, int frameType);
// The header byte of a frame that holds no data (type 15, quality bit set): what stands in
// trimmed and decoded files for the frames a gap has lost.
inline constexpr std::uint8_t kNoDataFrame = 0x7C;

// Why a walk over the frames stopped, or what damage a gap starts with.
enum class StreamEnd : std::uint8_t {
  EndOfRecord,     // every byte of the record up to its end belongs to the stream
  ReservedType,    // a frame header names a type the codec reserves
  BadFrameHeader,  // a frame header with its first or its padding bits set
  TruncatedFrame,  // the record ends inside a frame
  WrongMagic,      // the record does not begin with a storage header
  FillerFrame,     // a frame whose every byte is its header byte: padding, not sound
  Multichannel,    // the multichannel storage header, whose streams are not read
};
std::string_view StreamEndText(StreamEnd end);
std::string_view CodecName(AmrCodec codec);

// Whether a walk takes the stream up again after damage, where a run of frames starts.
enum class Recovery : std::uint8_t { StopAtDamage, Resynchronise };

// The walk takes the stream up again only where this many frames in a row carry speech or a
// SID with the quality bit set, none is its header byte repeated, and the first does not begin
// with its header byte twice (as one that starts in padding does): a random byte passes for
// such a header at most once in 26, so eight in a row come by chance about once in 10^11
// positions; zero and 0x3C padding never pass, the record marker has no such header, and text
// would need eight of ",4$<DL" each a frame's length after the last. Fewer frames than that
// before the record ends are left out.
inline constexpr int kResyncFrames = 8;

struct AmrStreamInfo {
  AmrCodec Codec = AmrCodec::Unknown;
  std::int64_t HeaderBytes = 0;
  // Every frame of the stream, those found past damage included.
  std::int64_t Frames = 0;
  // The storage header and the frames: what a trimmed file takes from the record. Without
  // gaps they lie together, and a file of just these plays to its end.
  std::int64_t ValidBytes = 0;
  // The record's bytes after the last frame.
  std::int64_t TrailingBytes = 0;
  StreamEnd End = StreamEnd::WrongMagic;
  // The storage header is in another letter case ("#!amr\n"); trimmed and decoded files get
  // the standard one.
  bool HeaderRepaired = false;
  // Damaged stretches skipped between frames, and their bytes together; ValidBytes, GapBytes
  // and TrailingBytes make up the record.
  std::int64_t Gaps = 0;
  std::int64_t GapBytes = 0;
  // Of Frames, those after the first gap.
  std::int64_t RecoveredFrames = 0;
  // Where the first gap starts, from the record's first byte, and the damage found there.
  std::int64_t FirstGapOffset = 0;
  StreamEnd FirstGapCause = StreamEnd::EndOfRecord;

  // From the record's first byte to the end of its last frame: header, frames and gaps.
  std::int64_t StreamBytes() const { return ValidBytes + GapBytes; }
  // The no-data frames that stand for the first GapBytesSoFar bytes of gaps: as many as the
  // stream's frames take on average (their bytes over their count), rounded. A gap whose
  // bytes replaced frames of a single-mode stream gets back exactly as many frames.
  std::int64_t GapFramesFor(std::int64_t gapBytesSoFar) const;
  std::int64_t GapFrames() const { return GapFramesFor(GapBytes); }
  // The sound as trimmed and decoded files hold it, gaps included.
  std::int64_t DurationMilliseconds() const { return (Frames + GapFrames()) * kFrameMilliseconds; }
};

// What AmrStreamInfo says of a record under 2 GiB, in 28 bytes, for reports of millions of
// records: the header's size follows from the codec, the bytes after the stream from the record's.
struct PackedStreamInfo {
  std::int32_t Frames = 0;
  std::int32_t ValidBytes = 0;
  std::int32_t Gaps = 0;
  std::int32_t GapBytes = 0;
  std::int32_t RecoveredFrames = 0;
  std::int32_t FirstGapOffset = 0;
  AmrCodec Codec = AmrCodec::Unknown;
  StreamEnd End = StreamEnd::WrongMagic;
  StreamEnd FirstGapCause = StreamEnd::EndOfRecord;
  bool HeaderRepaired = false;

  static PackedStreamInfo Of(const AmrStreamInfo& info);
  // The whole answer for a record of Size bytes.
  AmrStreamInfo Unpacked(std::int64_t size) const;
};
static_assert(sizeof(PackedStreamInfo) == 28);

// What a walk stopping at damage answers, from the answer of one that resynchronised.
AmrStreamInfo UndamagedPart(const AmrStreamInfo& info);

// A stretch of the record as a walk finds it: whole frames back to back, or a gap of damaged
// bytes between them.
struct StreamStretch {
  std::int64_t Offset = 0;
  std::int64_t Bytes = 0;
  std::int64_t Frames = 0;
  bool Gap = false;
};
using StretchSink = std::function<void(const StreamStretch& stretch)>;

// Walks the frames of a record from its first byte to where the stream ends (the record being
// cut where the container says the next record begins), telling Sink of each run of frames and
// each gap in order.
AmrStreamInfo ReadAmrStream(std::span<const std::uint8_t> record,
                            Recovery recovery = Recovery::StopAtDamage,
                            const StretchSink& sink = {});

// The steps of a walk, for walks that go piece by piece (AmrStreamPieces.h).
struct StreamStart {
  AmrCodec Codec = AmrCodec::Unknown;
  std::int64_t HeaderBytes = 0;
  bool Repaired = false;
  // Why there is no stream, when there is none: WrongMagic or Multichannel.
  StreamEnd Refused = StreamEnd::WrongMagic;
};
// The storage header in any letter case.
StreamStart ReadStreamHeader(std::span<const std::uint8_t> record);
// A frame's whole size by its header byte: 0 for a reserved type or a header with its first or
// padding bits set.
using FrameSizes = std::array<std::uint8_t, 256>;
const FrameSizes& FrameSizesOf(AmrCodec codec);
// Whether the Bytes bytes of Frame are its header byte repeated (a frame of one byte never is).
inline bool IsFillerFrame(const std::uint8_t* frame, int bytes) {
  if (bytes < 2 || frame[1] != frame[0]) return false;
  for (int i = 2; i < bytes; ++i)
    if (frame[i] != frame[0]) return false;
  return true;
}
// Frames from From while they start before Limit: where the walk got to, how many frames it
// passed, and, when a frame there is not whole or not valid, why the stream ends there.
struct FrameWalk {
  std::int64_t At = 0;
  std::int64_t Frames = 0;
  bool Stopped = false;
  StreamEnd End = StreamEnd::EndOfRecord;
};
// Why the stream ends at a frame that is not valid, not whole or filler.
StreamEnd WhyFrameEnds(std::span<const std::uint8_t> record, const FrameSizes& sizes,
                       std::int64_t at);
FrameWalk WalkFrames(std::span<const std::uint8_t> record, const FrameSizes& sizes,
                     std::int64_t from, std::int64_t limit);
// The first position from From on where kResyncFrames frames as described there start and fit
// in the record; -1 when there is none.
std::int64_t FindResync(std::span<const std::uint8_t> record, const FrameSizes& sizes,
                        std::int64_t from);

// A walk's totals, added up as it goes, and what they make of a record of Size bytes.
struct WalkTotals {
  std::int64_t At = 0;  // where the last run of frames ends
  std::int64_t Frames = 0;
  std::int64_t Gaps = 0;
  std::int64_t GapBytes = 0;
  std::int64_t RecoveredFrames = 0;
  std::int64_t FirstGapOffset = 0;
  StreamEnd FirstGapCause = StreamEnd::EndOfRecord;
  StreamEnd End = StreamEnd::EndOfRecord;
  void AddFrames(std::int64_t frames);
  void AddGap(std::int64_t from, std::int64_t to, StreamEnd cause);
};
AmrStreamInfo FinishStreamInfo(const StreamStart& start, std::int64_t size,
                               const WalkTotals& totals);
// The same for a walk without gaps.
AmrStreamInfo FinishStreamInfo(const StreamStart& start, std::int64_t size, std::int64_t frames,
                               std::int64_t validBytes, StreamEnd end);

// The frames a trimmed file holds after its storage header, piece by piece in order: each run
// of frames as it lies in Stream (the record from its first byte, at least StreamBytes() of
// it), and in place of each gap as many no-data frames as Info gives it. Answers the frames
// handed on, which are Info's Frames and GapFrames() together.
std::int64_t ForEachTrimmedPiece(std::span<const std::uint8_t> stream, const AmrStreamInfo& info,
                                 Recovery recovery,
                                 const std::function<void(std::span<const std::uint8_t>)>& put);

}  // namespace kestrave::audio
