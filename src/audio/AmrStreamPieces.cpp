#include "audio/AmrStreamPieces.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>

namespace kestrave::audio {
namespace {

// A start is trusted when this many frames in a row are valid from it: bytes inside a frame
// rarely look like that many headers with their sizes.
constexpr int kSyncFrames = 8;
// How far past a cut the search for a start goes before the cut is given up.
constexpr std::int64_t kSyncSearchBytes = 4096;

struct Piece {
  std::size_t Record = 0;
  std::int64_t Start = 0;
  std::int64_t Limit = 0;  // where the next piece starts, or the record's end
  FrameWalk Walk;
};

// Whether kSyncFrames valid frames follow From (or fewer that end the record exactly).
bool LooksLikeFrameStart(std::span<const std::uint8_t> record, const FrameSizes& sizes,
                         std::int64_t from) {
  const auto size = static_cast<std::int64_t>(record.size());
  std::int64_t at = from;
  for (int frame = 0; frame < kSyncFrames; ++frame) {
    if (at == size) return true;
    const int bytes = sizes[record[static_cast<std::size_t>(at)]];
    if (bytes == 0 || size - at < bytes) return false;
    at += bytes;
  }
  return true;
}

// The pieces of one stream: the first from the header, then one from a trusted start after
// each cut; a cut with no trusted start near it is left out.
void CutIntoPieces(std::size_t index, std::span<const std::uint8_t> record, AmrCodec codec,
                   std::int64_t from, std::int64_t size, std::size_t pieceBytes,
                   std::vector<Piece>& pieces) {
  const FrameSizes& sizes = FrameSizesOf(codec);
  pieces.push_back({index, from, size, {}});
  const auto step = static_cast<std::int64_t>(std::max<std::size_t>(pieceBytes, 1));
  // Where the searches so far found no start: a search that fails is not made again for the
  // next cut, so small pieces over bytes that are no stream cost no more than large ones.
  std::int64_t searched = 0;
  for (std::int64_t cut = from + step; cut < size; cut += step) {
    const std::int64_t searchEnd = std::min(size, cut + kSyncSearchBytes);
    std::int64_t at = std::max({cut, pieces.back().Start + 1, searched});
    for (; at < searchEnd; ++at) {
      if (!LooksLikeFrameStart(record, sizes, at)) continue;
      pieces.back().Limit = at;
      pieces.push_back({index, at, size, {}});
      break;
    }
    searched = std::max(searched, at);
  }
}

constexpr int kLanes = 8;
// The largest frame of either codec, header byte included.
constexpr std::int64_t kLargestFrame = 61;

// A frame's size by its header byte and the byte after it, read together: 0 also where a frame
// of more than one byte begins like filler (its header twice), which the walk then looks at
// closely. Indexed with the header as the high byte, so the entries in use lie in a few KiB.
using PairSizes = std::array<std::uint8_t, 65536>;

const PairSizes& PairSizesOf(AmrCodec codec) {
  static const auto build = [](const FrameSizes& sizes) {
    auto pairs = std::make_unique<PairSizes>();
    for (int header = 0; header < 256; ++header)
      for (int next = 0; next < 256; ++next) {
        const int bytes = sizes[static_cast<std::size_t>(header)];
        (*pairs)[static_cast<std::size_t>(header << 8 | next)] =
            static_cast<std::uint8_t>(bytes > 1 && next == header ? 0 : bytes);
      }
    return pairs;
  };
  static const auto narrowband = build(FrameSizesOf(AmrCodec::Narrowband));
  static const auto wideband = build(FrameSizesOf(AmrCodec::Wideband));
  return codec == AmrCodec::Wideband ? *wideband : *narrowband;
}

// The two bytes at Bytes as an index into PairSizes.
inline unsigned PairAt(const std::uint8_t* bytes) {
  std::uint16_t pair;
  std::memcpy(&pair, bytes, sizeof pair);
  if constexpr (std::endian::native == std::endian::little)
    pair = static_cast<std::uint16_t>(pair << 8 | pair >> 8);
  return pair;
}

// A piece being walked: where it is, and up to where every frame is sure to fit and to start
// before the piece's limit, so the walk there needs no other check than the header's.
struct Lane {
  Piece* Task = nullptr;
  const std::uint8_t* Bytes = nullptr;
  const FrameSizes* Sizes = nullptr;
  const PairSizes* Pairs = nullptr;
  std::int64_t At = 0;
  std::int64_t HotEnd = 0;
  std::int64_t Frames = 0;
};

// Advances every lane a frame at a time while each stays in its sure stretch and meets valid
// headers of frames that do not begin like filler. The walks do not wait on one another, so the
// processor overlaps their reads: several frames in the time of one.
void Burst(std::array<Lane, kLanes>& lanes) {
  std::array<std::int64_t, kLanes> at{};
  std::array<std::int64_t, kLanes> end{};
  std::array<const std::uint8_t*, kLanes> bytes{};
  std::array<const std::uint8_t*, kLanes> pairs{};
  for (int i = 0; i < kLanes; ++i) {
    at[i] = lanes[i].At;
    end[i] = lanes[i].HotEnd;
    bytes[i] = lanes[i].Bytes;
    pairs[i] = lanes[i].Pairs->data();
  }
  std::int64_t steps = 0;
  for (;;) {
    bool inside = true;
    for (int i = 0; i < kLanes; ++i)
      inside &= at[i] < end[i];
    if (!inside) break;
    std::array<int, kLanes> step{};
    bool valid = true;
    for (int i = 0; i < kLanes; ++i) {
      step[i] = pairs[i][PairAt(bytes[i] + at[i])];
      valid &= step[i] != 0;
    }
    if (!valid) break;
    for (int i = 0; i < kLanes; ++i)
      at[i] += step[i];
    ++steps;
  }
  for (int i = 0; i < kLanes; ++i) {
    lanes[i].At = at[i];
    lanes[i].Frames += steps;
  }
}

// Walks pieces handed out by Next: a lane each while there are enough, the rest one by one.
void WalkPieces(const std::vector<std::span<const std::uint8_t>>& records,
                const std::vector<StreamStart>& starts, std::vector<Piece>& pieces,
                std::atomic<std::size_t>& next) {
  const auto take = [&]() -> Piece* {
    const std::size_t index = next.fetch_add(1, std::memory_order_relaxed);
    return index < pieces.size() ? &pieces[index] : nullptr;
  };
  const auto startLane = [&](Lane& lane, Piece* piece) {
    const auto& record = records[piece->Record];
    const auto size = static_cast<std::int64_t>(record.size());
    lane = {piece,
            record.data(),
            &FrameSizesOf(starts[piece->Record].Codec),
            &PairSizesOf(starts[piece->Record].Codec),
            piece->Start,
            std::min(piece->Limit, size - kLargestFrame + 1),
            0};
  };
  // The end of a lane's piece past its sure stretch, or at a header that is not valid, walked
  // with every check.
  const auto finishLane = [&](Lane& lane) {
    Piece& piece = *lane.Task;
    const FrameWalk rest = WalkFrames(records[piece.Record], *lane.Sizes, lane.At, piece.Limit);
    piece.Walk = {rest.At, lane.Frames + rest.Frames, rest.Stopped, rest.End};
  };
  std::array<Lane, kLanes> lanes{};
  int filled = 0;
  for (; filled < kLanes; ++filled) {
    Piece* piece = take();
    if (!piece) break;
    startLane(lanes[static_cast<std::size_t>(filled)], piece);
  }
  while (filled == kLanes) {
    Burst(lanes);
    for (Lane& lane : lanes) {
      if (lane.At < lane.HotEnd) {
        const std::uint8_t* frame = lane.Bytes + lane.At;
        const int bytes = (*lane.Sizes)[*frame];
        if (bytes != 0 && !IsFillerFrame(frame, bytes)) {
          // A frame that only began like filler is passed here; the others wait where they are.
          if (bytes > 1 && frame[1] == frame[0]) {
            lane.At += bytes;
            ++lane.Frames;
          }
          continue;
        }
      }
      finishLane(lane);
      Piece* piece = take();
      if (piece) {
        startLane(lane, piece);
      } else {
        lane.Task = nullptr;
        filled = 0;  // too few left for every lane: the rest one by one
      }
    }
  }
  for (Lane& lane : lanes)
    if (lane.Task) finishLane(lane);
}

}  // namespace

std::int64_t FindFrameStart(std::span<const std::uint8_t> bytes, AmrCodec codec, std::int64_t from,
                            std::int64_t to) {
  const FrameSizes& sizes = FrameSizesOf(codec);
  for (std::int64_t at = from; at < to; ++at)
    if (LooksLikeFrameStart(bytes, sizes, at)) return at;
  return -1;
}

FrameWalk WalkFramesInPieces(std::span<const std::uint8_t> bytes, AmrCodec codec, std::int64_t from,
                             std::int64_t limit, std::size_t pieceBytes) {
  std::vector<Piece> pieces;
  CutIntoPieces(0, bytes, codec, from, limit, pieceBytes, pieces);
  const std::vector<std::span<const std::uint8_t>> records{bytes};
  const std::vector<StreamStart> starts{StreamStart{codec, 0, false, StreamEnd::WrongMagic}};
  std::atomic<std::size_t> next{0};
  WalkPieces(records, starts, pieces, next);
  // Joined in order, as ReadAmrStreams joins a stream's pieces, up to the first damage.
  const FrameSizes& sizes = FrameSizesOf(codec);
  FrameWalk total{from, 0, false, StreamEnd::EndOfRecord};
  for (const Piece& piece : pieces) {
    if (total.At >= piece.Limit) continue;
    const FrameWalk walk =
        total.At == piece.Start ? piece.Walk : WalkFrames(bytes, sizes, total.At, piece.Limit);
    total.Frames += walk.Frames;
    total.At = walk.At;
    if (walk.Stopped) {
      total.Stopped = true;
      total.End = walk.End;
      break;
    }
  }
  return total;
}

std::vector<AmrStreamInfo> ReadAmrStreams(const std::vector<std::span<const std::uint8_t>>& records,
                                          int threads, std::size_t pieceBytes, Recovery recovery) {
  std::vector<StreamStart> starts;
  std::vector<Piece> pieces;
  for (std::size_t i = 0; i < records.size(); ++i) {
    starts.push_back(ReadStreamHeader(records[i]));
    if (starts.back().Codec != AmrCodec::Unknown)
      CutIntoPieces(i, records[i], starts.back().Codec, starts.back().HeaderBytes,
                    static_cast<std::int64_t>(records[i].size()), pieceBytes, pieces);
  }
  std::atomic<std::size_t> next{0};
  // A thread costs more to start than a few megabytes take to walk.
  std::int64_t total = 0;
  for (const auto& record : records)
    total += static_cast<std::int64_t>(record.size());
  constexpr std::int64_t kBytesWorthAThread = std::int64_t{32} << 20;
  const int workers = std::clamp<int>(
      threads, 1, static_cast<int>(std::max<std::int64_t>(total / kBytesWorthAThread, 1)));
  std::vector<std::thread> helpers;
  for (int i = 1; i < workers; ++i) {
    try {
      helpers.emplace_back([&] { WalkPieces(records, starts, pieces, next); });
    } catch (const std::system_error&) {
      break;  // no thread to be had: this one walks the rest
    }
  }
  WalkPieces(records, starts, pieces, next);
  for (std::thread& helper : helpers)
    helper.join();

  // Joined in order: a piece counts only when the stream really reaches its start; past damage
  // the walk goes on, one thread, from where the stream is taken up again.
  std::vector<AmrStreamInfo> infos;
  std::size_t p = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto record = records[i];
    const auto size = static_cast<std::int64_t>(record.size());
    const StreamStart& start = starts[i];
    WalkTotals totals;
    if (start.Codec == AmrCodec::Unknown) {
      totals.End = start.Refused;
      infos.push_back(FinishStreamInfo(start, size, totals));
      continue;
    }
    const FrameSizes& sizes = FrameSizesOf(start.Codec);
    const std::size_t first = p;
    while (p < pieces.size() && pieces[p].Record == i)
      ++p;
    totals.At = start.HeaderBytes;
    for (std::size_t k = first; k < p;) {
      const Piece& piece = pieces[k];
      if (totals.At >= piece.Limit) {  // the stream passed over this piece's start
        ++k;
        continue;
      }
      const FrameWalk walk =
          totals.At == piece.Start ? piece.Walk : WalkFrames(record, sizes, totals.At, piece.Limit);
      totals.AddFrames(walk.Frames);
      totals.At = walk.At;
      if (!walk.Stopped) continue;
      totals.End = WhyFrameEnds(record, sizes, totals.At);
      if (recovery == Recovery::StopAtDamage) break;
      const std::int64_t resumed = FindResync(record, sizes, totals.At + 1);
      if (resumed < 0) break;
      totals.AddGap(totals.At, resumed, totals.End);
      totals.At = resumed;
      totals.End = StreamEnd::EndOfRecord;
    }
    infos.push_back(FinishStreamInfo(start, size, totals));
  }
  return infos;
}

}  // namespace kestrave::audio
