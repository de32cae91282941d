#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "audio/AmrStream.h"

namespace kestrave::audio {

// A record's bytes from At, Count of them (never past the record's end), as the caller keeps
// them: a view of memory it holds, or a buffer it has just read from a file. The view need only
// last until the next call.
using RecordWindowReader =
    std::function<std::span<const std::uint8_t>(std::int64_t at, std::int64_t count)>;

// A stretch as ReadAmrStream's sink gets it, with the bytes of a run of frames: a run longer than
// a window comes as several stretches, one after the other.
using WindowStretchSink =
    std::function<void(const StreamStretch& stretch, std::span<const std::uint8_t> frames)>;

// The walk ReadAmrStream makes, over a record that is read a window at a time: the answer is
// the same whatever the windows' size, and no more than a window of the record is held at once.
class WindowedStreamWalk {
 public:
  // A window that does not end the record must hold more than this many bytes: every frame and
  // every run the walk looks at before it passes on to the next window lies inside the window.
  static constexpr std::int64_t kMargin = 512;

  // Head: the record's first bytes (all of them, or at least 16); Size: the whole record's.
  WindowedStreamWalk(std::span<const std::uint8_t> head, std::int64_t size, Recovery recovery);
  // The same with the storage header already read.
  WindowedStreamWalk(const StreamStart& start, std::int64_t size, Recovery recovery);

  bool Done() const { return done_; }
  // Where the next window must begin.
  std::int64_t NextFrom() const { return next_; }
  // Walks Window, the record's bytes from NextFrom(): to the record's end, or more than kMargin
  // of them.
  void Feed(std::span<const std::uint8_t> window, const WindowStretchSink& sink = {});
  // Whether the walk goes on over frames from At: Adopt can take a walk made elsewhere from there.
  bool WalkingFrom(std::int64_t at) const { return !done_ && !searching_ && next_ == at; }
  // Takes Walk, made elsewhere over the record's frames from NextFrom() (positions in the record)
  // to a limit, as Feed would have made it; Last: the limit was the record's end.
  void Adopt(const FrameWalk& walk, bool last);
  AmrCodec Codec() const { return start_.Codec; }
  // What ReadAmrStream answers, once Done().
  AmrStreamInfo Info() const { return FinishStreamInfo(start_, size_, totals_); }

  // Walks the record through Read, WindowBytes at a time.
  static AmrStreamInfo Walk(std::int64_t size, const RecordWindowReader& read, Recovery recovery,
                            std::int64_t windowBytes, const WindowStretchSink& sink = {});

 private:
  StreamStart start_;
  std::int64_t size_ = 0;
  Recovery recovery_ = Recovery::StopAtDamage;
  const FrameSizes* sizes_ = nullptr;
  WalkTotals totals_;
  bool done_ = false;
  std::int64_t next_ = 0;
  // Past damage, where the search for a run to take the stream up again goes on, and what the
  // damage was.
  bool searching_ = false;
  std::int64_t searchFrom_ = 0;
  StreamEnd damage_ = StreamEnd::EndOfRecord;
};

// ForEachTrimmedPiece over a record read through Read, WindowBytes at a time.
std::int64_t ForEachTrimmedPiece(const RecordWindowReader& read, const AmrStreamInfo& info,
                                 Recovery recovery, std::int64_t windowBytes,
                                 const std::function<void(std::span<const std::uint8_t>)>& put);

}  // namespace kestrave::audio
