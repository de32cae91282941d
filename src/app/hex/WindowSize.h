#pragma once

namespace kestrave::app {

struct WindowSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const WindowSize&) const = default;
};

// The size a window opens at: the one wanted where the screen's free area has room for it, else
// nine tenths of that area in the dimension that lacks room, so the frame and the panels of the
// desktop stay visible. Sizes are in the same units (Qt's device-independent pixels), so a
// scale factor of 2 halves the room.
WindowSize FittedWindowSize(WindowSize wanted, WindowSize available);

}  // namespace kestrave::app
