#include "hexeditor/layout/GridViewport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace kestrave::hex {
namespace {

// No screen comes near this many pixels; a client held below it keeps every sum of its size,
// a few rows and the widths of all columns far inside an int.
constexpr int kLargestClientSize = 1 << 24;

int WidthOf(const GridSizes& sizes, int col) {
  return sizes.ColWidths[static_cast<std::size_t>(col)];
}

}  // namespace

void GridViewport::SetClientSize(int width, int height) {
  clientWidth_ = std::clamp(width, 0, kLargestClientSize);
  clientHeight_ = std::clamp(height, 0, kLargestClientSize);
}

bool GridViewport::SetTopRow(int row, const GridSizes& sizes) {
  const int clamped = std::clamp(row, static_cast<int>(GridGeometry::kFixedRows), MaxTopRow(sizes));
  if (clamped == topRow_) return false;
  topRow_ = clamped;
  return true;
}

bool GridViewport::SetLeftCol(int col, const GridSizes& sizes) {
  const int clamped =
      std::clamp(col, static_cast<int>(GridGeometry::kFixedCols), MaxLeftCol(sizes));
  if (clamped == leftCol_) return false;
  leftCol_ = clamped;
  return true;
}

int GridViewport::VisibleRowCount(const GridSizes& sizes) const {
  if (sizes.RowHeight <= 0) return 1;
  return std::max(1, (clientHeight_ - sizes.FixedRowsHeight()) / sizes.RowHeight);
}

int GridViewport::VisibleColCount(const GridSizes& sizes) const {
  int room = clientWidth_ - sizes.FixedColumnsWidth();
  int count = 0;
  for (int col = leftCol_; col < sizes.ColCount && room >= WidthOf(sizes, col); ++col) {
    room -= WidthOf(sizes, col);
    ++count;
  }
  return std::max(1, count);
}

int GridViewport::MaxTopRow(const GridSizes& sizes) const {
  return std::max(GridGeometry::kFixedRows, sizes.RowCount - VisibleRowCount(sizes));
}

int GridViewport::MaxLeftCol(const GridSizes& sizes) const {
  int room = clientWidth_ - sizes.FixedColumnsWidth();
  int first = sizes.ColCount - 1;
  while (first > GridGeometry::kFixedCols && room - WidthOf(sizes, first) >= 0) {
    room -= WidthOf(sizes, first);
    --first;
  }
  if (room < WidthOf(sizes, first) && first < sizes.ColCount - 1) ++first;
  return std::max(static_cast<int>(GridGeometry::kFixedCols), first);
}

GridCell GridViewport::CellAtPoint(int x, int y, const GridSizes& sizes) const {
  GridCell cell{-1, -1};
  if (x < 0 || y < 0) return cell;
  if (x < sizes.ColWidths[0]) {
    cell.Col = 0;
  } else if (x < sizes.FixedColumnsWidth()) {
    cell.Col = 1;
  } else {
    int left = sizes.FixedColumnsWidth();
    for (int col = leftCol_; col < sizes.ColCount; ++col) {
      left += WidthOf(sizes, col);
      if (x < left) {
        cell.Col = col;
        break;
      }
    }
  }
  if (y < sizes.RulerRowHeight) {
    cell.Row = 0;
  } else if (y >= sizes.FixedRowsHeight() && sizes.RowHeight > 0) {
    const std::int64_t row = topRow_ + (y - sizes.FixedRowsHeight()) / sizes.RowHeight;
    if (row < sizes.RowCount) cell.Row = static_cast<int>(row);
  }
  if (cell.Col < 0 || cell.Row < 0) return {-1, -1};
  return cell;
}

PaintRect GridViewport::CellRect(GridCell cell, const GridSizes& sizes) const {
  PaintRect rect;
  if (cell.Col < 0 || cell.Col >= sizes.ColCount || cell.Row < 0 || cell.Row >= sizes.RowCount)
    return rect;
  if (cell.Col >= GridGeometry::kFixedCols && cell.Col < leftCol_) return rect;
  if (cell.Row >= GridGeometry::kFixedRows && cell.Row < topRow_) return rect;
  if (cell.Col == 0) {
    rect.Left = 0;
  } else if (cell.Col == 1) {
    rect.Left = sizes.ColWidths[0];
  } else {
    rect.Left = sizes.FixedColumnsWidth();
    for (int col = leftCol_; col < cell.Col; ++col)
      rect.Left += WidthOf(sizes, col);
  }
  rect.Right = rect.Left + WidthOf(sizes, cell.Col);
  if (cell.Row < GridGeometry::kFixedRows) {
    rect.Top = cell.Row == 0 ? 0 : sizes.RulerRowHeight;
    rect.Bottom = rect.Top + (cell.Row == 0 ? sizes.RulerRowHeight : sizes.GapRowHeight);
  } else {
    const std::int64_t top =
        sizes.FixedRowsHeight() + std::int64_t{cell.Row - topRow_} * sizes.RowHeight;
    if (top > clientHeight_ + sizes.RowHeight) return {};
    rect.Top = static_cast<int>(top);
    rect.Bottom = rect.Top + sizes.RowHeight;
  }
  return rect;
}

}  // namespace kestrave::hex
