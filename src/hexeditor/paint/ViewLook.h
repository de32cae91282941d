#pragma once

#include <cstdint>

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
};

// The data cell being drawn, for OnDrawCell handlers: its byte (-1: none) and whether it is
// selected.
struct DrawnCell {
  int Position = -1;
  bool Selected = false;
};

}  // namespace kestrave::hex
