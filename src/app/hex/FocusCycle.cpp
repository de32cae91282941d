#include "app/hex/FocusCycle.h"

namespace kestrave::app {

int NextFocusPart(const std::vector<bool>& shown, int current, bool forward) {
  const auto count = static_cast<int>(shown.size());
  if (count == 0) return -1;
  // From outside the parts, forward starts at the first and backward at the last.
  int at = current < 0 || current >= count ? (forward ? -1 : count) : current;
  for (int step = 0; step < count; ++step) {
    at = forward ? (at + 1) % count : (at - 1 + count) % count;
    if (shown[static_cast<std::size_t>(at)]) return at;
  }
  return -1;
}

}  // namespace kestrave::app
