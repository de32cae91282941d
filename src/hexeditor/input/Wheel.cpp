// The wheel: zooming rows and font with Ctrl and Ctrl+Shift, else paging.
#include <algorithm>
#include <cmath>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/input/HexInput.h"

namespace kestrave::hex {
namespace {

constexpr int kSmallestPoints = 3;

int PointsOf(int pixels) {
  return static_cast<int>(std::lround(pixels * 72.0 / 96.0));
}
int PixelsOf(int points) {
  return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

bool Zoom(THexEditorEx& e, bool down, TShiftState modifiers) {
  if (modifiers == ssCtrl) {
    const int bytes = e.BytesPerRow() + (down ? -1 : 1);
    if (bytes < 1 || bytes > 256 || (e.UnicodeChars() && bytes % 2 != 0)) return false;
    e.SetBytesPerRow(bytes);
    return true;
  }
  if (modifiers == (ssCtrl | ssShift)) {
    const int points = PointsOf(e.Font().Height) + (down ? -1 : 1);
    if (points < kSmallestPoints) return false;
    platform::FontSpec font = e.Font();
    font.Height = PixelsOf(points);
    e.SetFont(font);
    return true;
  }
  return false;
}

}  // namespace

bool HandleWheel(THexEditorEx& e, bool down, TShiftState shift) {
  const TShiftState modifiers = Modifiers(shift);
  if (e.ZoomOnWheel() && Zoom(e, down, modifiers)) return true;
  if (modifiers != 0) return false;
  const int visible = e.VisibleRowCount();
  if (down) {
    e.SetTopRow(std::min(std::max(2, e.RowCount() - visible), e.TopRow() + visible - 1));
  } else {
    e.SetTopRow(std::max(2, e.TopRow() - visible + 1));
  }
  return true;
}

}  // namespace kestrave::hex
