// The wheel: zooming rows and font with Ctrl and Ctrl+Shift, else paging.
#include <algorithm>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/input/HexInput.h"

namespace kestrave::hex {
namespace {

constexpr int kSmallestPoints = 3;

bool Zoom(THexEditorEx& e, bool down, TShiftState modifiers) {
  if (modifiers == ssCtrl) {
    const int bytes = e.BytesPerRow() + (down ? -1 : 1);
    if (bytes < 1 || bytes > 256 || (e.UnicodeChars() && bytes % 2 != 0)) return false;
    e.SetBytesPerRow(bytes);
    return true;
  }
  if (modifiers == (ssCtrl | ssShift)) {
    platform::FontDescription font = e.Font();
    // Shrinking goes on while the font is at least the smallest size, so it may end one below;
    // growing stops at the largest size a view lays out.
    if (down && font.Size() < kSmallestPoints) return false;
    if (!down && font.Size() >= THexEditorEx::kLargestFontPoints) return false;
    font.SetSize(font.Size() + (down ? -1 : 1));
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
    e.SetTopRow(std::min(e.MaxTopRow(), e.TopRow() + visible - 1));
  } else {
    e.SetTopRow(std::max(GridGeometry::kFirstDataRow, e.TopRow() - visible + 1));
  }
  return true;
}

}  // namespace kestrave::hex
