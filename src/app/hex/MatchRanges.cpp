#include "app/hex/MatchRanges.h"

#include <algorithm>

namespace kestrave::app {

MatchRanges::MatchRanges(std::vector<int> starts, int length)
    : starts_(std::move(starts)), length_(length) {}

// The latest start at or before the position reaches furthest of all that could cover it, as
// every match has the same length.
bool MatchRanges::Covers(int position) const {
  if (Empty()) return false;
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), position);
  if (after == starts_.begin()) return false;
  return static_cast<long long>(*(after - 1)) + length_ > position;
}

}  // namespace kestrave::app
