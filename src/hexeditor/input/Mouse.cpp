// Mouse: the cell under a point, pressing, dragging, releasing and double clicks.
#include <algorithm>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/input/AutoScroll.h"
#include "hexeditor/input/HexInput.h"
#include "hexeditor/input/MouseController.h"

namespace kestrave::hex {
namespace {}  // namespace

GridCell MouseCell(const THexEditorEx& e, int x, int y) {
  GridCell cell = e.CellAtPoint(x, y);
  if (!e.InsertMode() || !GridGeometry::IsDataCell(cell)) return cell;
  const GridGeometry geometry = e.Geometry();
  const PaintRect rect = e.CellRect(cell);
  const int half = e.CharWidth() / 2;
  const bool fieldEnd = cell.Col == geometry.LastNibbleColumn() || cell.Col == e.ColCount() - 1;
  // The caret of insert mode goes to the gap nearest to the click.
  if (x - rect.Left >= half && !fieldEnd) ++cell.Col;
  const bool nowAtEnd = cell.Col == geometry.LastNibbleColumn() || cell.Col == e.ColCount() - 1;
  if (nowAtEnd && x - e.CellRect(cell).Left > half && !e.CellRect(cell).Empty()) {
    cell = {cell.Col == e.ColCount() - 1 ? geometry.FirstCharColumn() : geometry.FirstHexColumn(),
            cell.Row + 1};
  }
  return cell;
}

bool OverSelection(const THexEditorEx& e, int x, int y) {
  const GridCell cell = e.CellAtPoint(x, y);
  if (!GridGeometry::IsDataCell(cell) || cell.Col == e.Geometry().GapColumn()) return false;
  const std::int64_t p = e.CellToPosition(cell);
  return p < e.DataSize() && e.IsSelected(static_cast<int>(p));
}

bool OverFixedArea(const THexEditorEx& e, int x, int y) {
  return x < e.FixedColumnsWidth() || y < e.FixedRowsHeight();
}

void MouseController::Down(THexEditorEx& e, TMouseButton button, TShiftState shift, int x, int y) {
  e.SetExtending(false);
  clickInSelection_ = false;
  const bool left = button == TMouseButton::Left;
  const GridCell cell = left ? MouseCell(e, x, y) : e.CellAtPoint(x, y);
  const bool overSelection = OverSelection(e, x, y);
  const bool skipGrid = overSelection || OverFixedArea(e, x, y);
  if (!skipGrid && left && cell.Col >= 0) {
    e.MoveCursorToCell(cell);
    dragging_ = true;
  }
  if (left && !overSelection && GridGeometry::IsDataCell(cell)) {
    e.ResetSelection(true);
    if (!(shift & ssDouble)) e.SetExtending(true);
  }
  if (left && overSelection) {
    clickCell_ = cell;
    clickInSelection_ = true;
  }
  if (skipGrid && e.Focused() && e.OnMouseDown) e.OnMouseDown(e, button, shift, x, y);
}

void MouseController::Move(THexEditorEx& e, TShiftState shift, int x, int y) {
  const bool onlyLeft = (shift & (ssLeft | ssRight | ssMiddle)) == ssLeft;
  if (!onlyLeft) return;
  const GridCell cell = MouseCell(e, x, y);
  if (clickInSelection_ && !(cell == clickCell_)) clickInSelection_ = false;
  if (!dragging_) return;
  x_ = x;
  y_ = y;
  // Dragging moves the cursor to the cell under the mouse, extending the selection; beyond the
  // view's edges, to the row and column at the edge.
  const GridCell target = SelectingCell(e, x, y);
  if (GridGeometry::IsDataCell(target)) e.MoveCursorToCell(target);
}

void MouseController::Up(THexEditorEx& e, int x, int y) {
  const GridCell cell = MouseCell(e, x, y);
  if (doubleClicked_) {
    doubleClicked_ = false;
    clickInSelection_ = false;
  }
  dragging_ = false;
  if (clickInSelection_) {
    clickInSelection_ = false;
    e.ResetSelection(true);
    if (cell.Col >= 0) e.MoveCursorToCell(cell);
  }
  if (e.DropMarkerCell().Col >= 0) e.SetDropMarkerCell({-1, -1});
}

void MouseController::DoubleClick(THexEditorEx& e, int x, int y) {
  const GridCell cell = e.CellAtPoint(x, y);
  if (GridGeometry::IsDataCell(cell) && cell.Col != e.Geometry().GapColumn()) {
    const std::int64_t p = e.CellToPosition(cell);
    if (p < e.DataSize()) {
      e.SetSelection(static_cast<int>(p), static_cast<int>(p));
      clickInSelection_ = false;
      doubleClicked_ = true;
    }
  }
  if (e.OnDblClick) e.OnDblClick(e);
}

}  // namespace kestrave::hex
