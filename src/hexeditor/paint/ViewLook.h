#pragma once

#include <cstdint>

#include "hexeditor/layout/GridGeometry.h"
#include "hexeditor/text/Translation.h"

namespace kestrave::hex {

enum THexCaretKind : std::uint8_t { ckFull, ckLeft, ckBottom, ckAuto };

// The switches of how a view draws the grid, besides its colours and font.
struct ViewLook {
  THexCaretKind CaretKind = ckAuto;
  bool FocusFrame = true;
  bool DrawGridLines = false;
  bool DrawGutter3D = true;
  bool HideSelection = false;
  bool GraySelectionIfNotFocused = false;
  bool ShowPositionIfNotFocused = false;
  // How bytes show as characters, and the character of bytes that have none.
  THexTranslationKind Translation = tkAsIs;
  std::uint8_t MaskChar = kDefaultMaskChar;
};

// What a view shows at the moment besides the bytes: whether it has the focus, the field the
// caret was last drawn in, where a drop would go, and how many paint locks are held.
struct ViewMoment {
  bool Focused = false;
  bool CaretWasInChar = false;
  GridCell DropMarker{-1, -1};
  int PaintLock = 0;
};

// The data cell being drawn, for OnDrawCell handlers: its byte (-1: none) and whether it is
// selected.
struct DrawnCell {
  int Position = -1;
  bool Selected = false;
};

}  // namespace kestrave::hex
