#pragma once

#include <optional>
#include <string>

#include "hexeditor/paint/HexCanvas.h"

namespace kestrave::hex {

// How one data cell looks, before it is drawn.
struct TCellLook {
  std::u16string Text;
  TColor CellBackground = 0;
  TColor TextBackground = 0;
  TColor TextColor = 0;
  bool Changed = false;
  bool Selected = false;
  int Position = -1;
};

enum class TFrameStyle { None, Dotted, Solid };

struct TFrame {
  TFrameStyle Style = TFrameStyle::None;
  PaintRect Rect;
  TColor Color = 0;
};

// Draws a hex view from its editor's state: ruler, gutter with bookmarks, data cells with the
// colours of column groups, changed bytes, the active field and the selection, position frames,
// grid lines and the strips and edges around the cells. Only cells inside the clip are visited.
class THexPaintModel {
 public:
  explicit THexPaintModel(TCustomHexEditor& editor) : editor_(editor) {}

  void Paint(IHexCanvas& canvas, const PaintRect& clip);

  // The parts, for the view's own use and for tests.
  TCellLook DataCellLook(GridCell cell) const;
  TFrame PositionFrame(GridCell cell, const PaintRect& rect) const;
  // The ruler character of a column, and whether it is the highlighted one.
  std::u16string RulerText(int col) const;
  bool RulerHighlighted(int col) const;

 private:
  void PaintCorner(IHexCanvas& canvas, GridCell cell, const PaintRect& rect);
  void PaintRuler(IHexCanvas& canvas, int col, const PaintRect& rect);
  void PaintGutter(IHexCanvas& canvas, int row, const PaintRect& rect);
  void PaintData(IHexCanvas& canvas, GridCell cell, const PaintRect& rect);
  void PaintGap(IHexCanvas& canvas, const PaintRect& rect);
  void PaintStrips(IHexCanvas& canvas, int lastCol, int lastRowBottom);
  void PaintEdges(IHexCanvas& canvas);
  bool Draw(IHexCanvas& canvas, GridCell cell, std::u16string& text, const PaintRect& box);
  TColor Color(THexColors::Index index) const;
  std::u16string ByteText(GridCell cell, int position) const;

  TCustomHexEditor& editor_;
};

}  // namespace kestrave::hex
