#pragma once

#include <span>

#include "hexeditor/layout/GridGeometry.h"

namespace kestrave::hex {

// A rectangle in the view's pixels; right and bottom are outside it.
struct PaintRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  bool Intersects(const PaintRect& o) const {
    return Left < o.Right && o.Left < Right && Top < o.Bottom && o.Top < Bottom;
  }
  bool operator==(const PaintRect&) const = default;
};

// The sizes of the grid a viewport shows: every column's width, the two fixed rows' heights
// and the height of a data row, and the numbers of rows and columns.
struct GridSizes {
  std::span<const int> ColWidths;
  int RulerRowHeight = 0;
  int GapRowHeight = 0;
  int RowHeight = 0;
  int RowCount = 0;
  int ColCount = 0;
  int FixedColumnsWidth() const { return ColWidths[0] + ColWidths[1]; }
  int FixedRowsHeight() const { return RulerRowHeight + GapRowHeight; }
};

// Which part of the grid a client area shows: its size, the first data row and column shown
// (the fixed ones always are), and where each cell lies in its pixels. Pure arithmetic.
class GridViewport {
 public:
  // Sizes beyond any screen are held at a bound that keeps every sum far inside an int.
  void SetClientSize(int width, int height);
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  int TopRow() const { return topRow_; }
  int LeftCol() const { return leftCol_; }
  // Brought into range first; answer whether the row or column changed.
  bool SetTopRow(int row, const GridSizes& sizes);
  bool SetLeftCol(int col, const GridSizes& sizes);

  // Data rows and columns that fit, at least one each.
  int VisibleRowCount(const GridSizes& sizes) const;
  int VisibleColCount(const GridSizes& sizes) const;
  int MaxTopRow(const GridSizes& sizes) const;
  // The last column that can come first while the columns after it still fill the width.
  int MaxLeftCol(const GridSizes& sizes) const;

  // The cell under a point, {-1, -1} where there is none.
  GridCell CellAtPoint(int x, int y, const GridSizes& sizes) const;
  // Where a cell lies; empty for a cell scrolled out above or to the left, or far below.
  PaintRect CellRect(GridCell cell, const GridSizes& sizes) const;

 private:
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  int topRow_ = GridGeometry::kFixedRows;
  int leftCol_ = GridGeometry::kFixedCols;
};

}  // namespace kestrave::hex
