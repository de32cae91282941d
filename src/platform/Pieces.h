#pragma once

#include <cstdint>
#include <functional>

namespace kestrave::platform {

// Walks the positions First up to End (not included) in pieces of at most Piece positions, in
// order: Visit gets each piece's first position and length and answers whether to go on. The
// sums are made in 64 bits, so a range that reaches the last position a 32-bit size can have
// ends where it should. Answers false when a visit stopped the walk.
bool ForEachPiece(std::int64_t first, std::int64_t end, std::int64_t piece,
                  const std::function<bool(std::int64_t at, std::int64_t count)>& visit);

}  // namespace kestrave::platform
