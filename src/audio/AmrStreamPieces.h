#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "audio/AmrStream.h"

namespace kestrave::audio {

// What ReadAmrStream answers for each record, found faster: each stream is cut into pieces of
// about PieceBytes, each piece starts where a few frames in a row are valid (a frame boundary,
// almost always), and the pieces are walked at the same time, several per thread on Threads
// threads. They are then joined in order; a piece whose start was not on the stream is walked
// again from where the stream really is, and past damage the stream is taken up again as
// ReadAmrStream does, so the answer is always exact.
std::vector<AmrStreamInfo> ReadAmrStreams(const std::vector<std::span<const std::uint8_t>>& records,
                                          int threads,
                                          std::size_t pieceBytes = std::size_t{1} << 20,
                                          Recovery recovery = Recovery::StopAtDamage);

// The first position from From, before To, where several valid frames in a row begin (or fewer
// that end Bytes exactly): where a walk that must start near From most likely meets the stream's
// frames. -1 when there is none.
std::int64_t FindFrameStart(std::span<const std::uint8_t> bytes, AmrCodec codec, std::int64_t from,
                            std::int64_t to);

// What WalkFrames answers from From to Limit in Bytes, a stretch of a Codec stream, found faster
// on this thread: the stretch is cut into pieces of about PieceBytes walked side by side, then
// joined in order up to the first damage.
FrameWalk WalkFramesInPieces(std::span<const std::uint8_t> bytes, AmrCodec codec, std::int64_t from,
                             std::int64_t limit, std::size_t pieceBytes);

}  // namespace kestrave::audio
