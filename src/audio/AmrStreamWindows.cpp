#include "audio/AmrStreamWindows.h"

#include <algorithm>
#include <array>

#include "audio/AmrStreamPieces.h"

namespace kestrave::audio {

// A run that takes the stream up again is kResyncFrames frames of at most 61 bytes: the margin
// must hold one from any position the walk trusts.
static_assert(WindowedStreamWalk::kMargin > kResyncFrames * 61);

namespace {

// Pieces walked side by side must be large enough that finding where each begins costs little.
constexpr std::int64_t kPieceBytes = 64 << 10;
constexpr std::int64_t kPiecesWorthIt = 8 * kPieceBytes;

}  // namespace

WindowedStreamWalk::WindowedStreamWalk(std::span<const std::uint8_t> head, std::int64_t size,
                                       Recovery recovery)
    : WindowedStreamWalk(ReadStreamHeader(head), size, recovery) {}

WindowedStreamWalk::WindowedStreamWalk(const StreamStart& start, std::int64_t size,
                                       Recovery recovery)
    : start_(start), size_(size), recovery_(recovery) {
  if (start_.Codec == AmrCodec::Unknown) {
    totals_.End = start_.Refused;
    done_ = true;
    return;
  }
  sizes_ = &FrameSizesOf(start_.Codec);
  totals_.At = start_.HeaderBytes;
  next_ = totals_.At;
  // A header and nothing after it: the walk ends where it begins.
  done_ = next_ >= size_;
}

// The walk and the search look at most kMargin bytes past a position before they trust what they
// find there; up to the window's Limit that is all inside the window. Past it the next window
// takes over, except in the record's last window, where the record's end is the window's.
void WindowedStreamWalk::Feed(std::span<const std::uint8_t> window, const WindowStretchSink& sink) {
  const std::int64_t base = next_;
  const auto length = static_cast<std::int64_t>(window.size());
  const bool last = base + length >= size_;
  const std::int64_t limit = last ? length : length - kMargin;
  while (!done_) {
    if (!searching_) {
      // Without a sink nothing needs the runs one by one: a large window is walked in pieces
      // side by side, which is several times faster.
      const FrameWalk walk =
          !sink && limit - (totals_.At - base) >= kPiecesWorthIt
              ? WalkFramesInPieces(window, start_.Codec, totals_.At - base, limit, kPieceBytes)
              : WalkFrames(window, *sizes_, totals_.At - base, limit);
      if (sink && walk.Frames > 0) {
        const std::int64_t from = totals_.At - base;
        sink({totals_.At, walk.At - from, walk.Frames, false},
             window.subspan(static_cast<std::size_t>(from),
                            static_cast<std::size_t>(walk.At - from)));
      }
      FrameWalk taken = walk;
      taken.At += base;
      Adopt(taken, last);
      if (!searching_) return;
    }
    const std::int64_t found = FindResync(window, *sizes_, searchFrom_ - base);
    if (found < 0 || found >= limit) {
      if (last) {
        done_ = true;  // no run before the end: the stream ended at the damage
        return;
      }
      // Candidates from the limit on were judged without the bytes past the window.
      searchFrom_ = std::max(searchFrom_, base + limit);
      next_ = searchFrom_;
      return;
    }
    const std::int64_t resumed = base + found;
    if (sink) sink({totals_.At, resumed - totals_.At, 0, true}, {});
    totals_.AddGap(totals_.At, resumed, damage_);
    totals_.At = resumed;
    searching_ = false;
  }
}

// Past damage, the walk goes on in search of where the stream is taken up again: in the same
// window when Feed made the walk, in the next one otherwise.
void WindowedStreamWalk::Adopt(const FrameWalk& walk, bool last) {
  totals_.AddFrames(walk.Frames);
  totals_.At = walk.At;
  totals_.End = walk.End;
  next_ = walk.At;
  if (!walk.Stopped) {
    done_ = last;
    return;
  }
  if (recovery_ == Recovery::StopAtDamage) {
    done_ = true;
    return;
  }
  searching_ = true;
  searchFrom_ = walk.At + 1;
  damage_ = walk.End;
  next_ = searchFrom_;
}

AmrStreamInfo WindowedStreamWalk::Walk(std::int64_t size, const RecordWindowReader& read,
                                       Recovery recovery, std::int64_t windowBytes,
                                       const WindowStretchSink& sink) {
  windowBytes = std::max(windowBytes, 2 * kMargin);
  WindowedStreamWalk walk(read(0, std::min<std::int64_t>(size, 16)), size, recovery);
  while (!walk.Done()) {
    const std::int64_t from = walk.NextFrom();
    walk.Feed(read(from, std::min(windowBytes, size - from)), sink);
  }
  return walk.Info();
}

namespace {

// The trimmed pieces of the first Walked bytes of a record.
std::int64_t TrimmedPieces(const RecordWindowReader& read, std::int64_t walked,
                           const AmrStreamInfo& info, Recovery recovery, std::int64_t windowBytes,
                           const std::function<void(std::span<const std::uint8_t>)>& put) {
  static const auto noData = [] {
    std::array<std::uint8_t, 4096> frames;
    frames.fill(kNoDataFrame);
    return frames;
  }();
  std::int64_t handed = 0;
  std::int64_t gapBytes = 0;
  const auto sink = [&](const StreamStretch& stretch, std::span<const std::uint8_t> frames) {
    if (!stretch.Gap) {
      put(frames);
      handed += stretch.Frames;
      return;
    }
    const std::int64_t before = info.GapFramesFor(gapBytes);
    gapBytes += stretch.Bytes;
    for (std::int64_t left = info.GapFramesFor(gapBytes) - before; left > 0;) {
      const auto count = static_cast<std::size_t>(
          std::min<std::int64_t>(left, static_cast<std::int64_t>(noData.size())));
      put(std::span<const std::uint8_t>(noData.data(), count));
      left -= static_cast<std::int64_t>(count);
      handed += static_cast<std::int64_t>(count);
    }
  };
  WindowedStreamWalk::Walk(walked, read, recovery, windowBytes, sink);
  return handed;
}

}  // namespace

std::int64_t ForEachTrimmedPiece(const RecordWindowReader& read, const AmrStreamInfo& info,
                                 Recovery recovery, std::int64_t windowBytes,
                                 const std::function<void(std::span<const std::uint8_t>)>& put) {
  // The walk goes no further than the stream the report found: bytes after it are not read.
  return TrimmedPieces(read, std::max<std::int64_t>(info.StreamBytes(), 0), info, recovery,
                       windowBytes, put);
}

std::int64_t ForEachTrimmedPiece(std::span<const std::uint8_t> stream, const AmrStreamInfo& info,
                                 Recovery recovery,
                                 const std::function<void(std::span<const std::uint8_t>)>& put) {
  // Held whole: one window, as far as the bytes given go.
  const auto walked =
      std::clamp<std::int64_t>(info.StreamBytes(), 0, static_cast<std::int64_t>(stream.size()));
  const auto view = [&](std::int64_t at, std::int64_t count) {
    return stream.subspan(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
  };
  return TrimmedPieces(view, walked, info, recovery, walked, put);
}

}  // namespace kestrave::audio
