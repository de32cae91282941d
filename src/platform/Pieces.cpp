#include "platform/Pieces.h"

#include <algorithm>

namespace kestrave::platform {

bool ForEachPiece(std::int64_t first, std::int64_t end, std::int64_t piece,
                  const std::function<bool(std::int64_t at, std::int64_t count)>& visit) {
  if (piece <= 0) return true;
  for (std::int64_t at = first; at < end; at += piece)
    if (!visit(at, std::min(piece, end - at))) return false;
  return true;
}

}  // namespace kestrave::platform
