#pragma once

#include <cstdint>

#include "hexeditor/layout/GridGeometry.h"

namespace kestrave::hex {

// What a component tells the window that shows it: which parts of the grid to draw again, where
// the caret is, and that the layout, the colours or the top-left cell changed. A hidden
// instance tells IgnoredViewHost(), which lets every notice go.
class IHexViewHost {
 public:
  virtual ~IHexViewHost() = default;
  virtual void InvalidateCell(GridCell cell) = 0;
  // Grid rows FirstRow to LastRow, both included.
  virtual void InvalidateRows(int firstRow, int lastRow) = 0;
  virtual void InvalidateAll() = 0;
  virtual void PlaceCaret(GridCell cell) = 0;
  // The caret's shape changed (kind, insert mode, read-only view, font).
  virtual void CaretShapeChanged() {}
  // The view font changed; the layout already follows it.
  virtual void FontChanged() {}
  // The top-left visible cell moved (before the application's OnTopLeftChanged hears it).
  virtual void TopLeftChanged() {}
  // Rows, columns or their sizes changed (data size, row length, font, ruler, offsets...), and
  // the top-left cell is back within its range: scroll ranges follow, everything is drawn again.
  virtual void LayoutChanged() {}
  // A colour of the view's colour set changed: everything is drawn again.
  virtual void ColorsChanged() { InvalidateAll(); }
  // While started, the host calls the component's AutoScrollStep every 50 ms or so; the
  // component starts it when a selection or a drag reaches an edge and stops it after.
  virtual void StartAutoScroll() {}
  virtual void StopAutoScroll() {}
  // The window drops onto the view are registered for.
  virtual std::uintptr_t WindowHandle() const { return reinterpret_cast<std::uintptr_t>(this); }
  // A screen point in the coordinates of the grid's client area.
  virtual void ScreenToClient(int& x, int& y) const {
    (void)x;
    (void)y;
  }
};

// The host of an instance no window shows.
IHexViewHost& IgnoredViewHost();

}  // namespace kestrave::hex
