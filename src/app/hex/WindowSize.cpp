#include "app/hex/WindowSize.h"

#include <algorithm>

namespace kestrave::app {

WindowSize FittedWindowSize(WindowSize wanted, WindowSize available) {
  const auto fitted = [](int want, int room) {
    if (room <= 0 || want <= room) return want;  // no screen known: as wanted
    return std::max(1, room * 9 / 10);
  };
  return {fitted(wanted.Width, available.Width), fitted(wanted.Height, available.Height)};
}

}  // namespace kestrave::app
