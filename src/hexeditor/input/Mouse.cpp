// Mouse: the cell under a point, pressing, dragging, releasing and double clicks.
#include <algorithm>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/input/AutoScroll.h"
#include "hexeditor/input/HexInput.h"

namespace kestrave::hex {
namespace {

bool IsDataCell(GridCell cell) {
  return cell.Col > 1 && cell.Row > 1;
}

}  // namespace

GridCell MouseCell(const THexEditorEx& e, int x, int y) {
  GridCell cell = e.CellAtPoint(x, y);
  if (!e.InsertMode() || !IsDataCell(cell)) return cell;
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
  if (!IsDataCell(cell) || cell.Col == e.Geometry().GapColumn()) return false;
  const std::int64_t p = e.CellToPosition(cell);
  return p < e.DataSize() && e.IsSelected(static_cast<int>(p));
}

bool OverFixedArea(const THexEditorEx& e, int x, int y) {
  return x < e.FixedColumnsWidthForInput() || y < e.FixedRowsHeightForInput();
}

void HandleMouseDown(THexEditorEx& e, TMouseButton button, TShiftState shift, int x, int y) {
  THexEditorEx::MouseState& mouse = e.Mouse();
  e.SetExtending(false);
  mouse.clickInSelection = false;
  const bool left = button == TMouseButton::Left;
  const GridCell cell = left ? MouseCell(e, x, y) : e.CellAtPoint(x, y);
  const bool overSelection = OverSelection(e, x, y);
  const bool skipGrid = overSelection || OverFixedArea(e, x, y);
  if (!skipGrid && left && cell.Col >= 0) {
    e.MoveCursorToCell(cell);
    mouse.dragging = true;
  }
  if (left && !overSelection && IsDataCell(cell)) {
    e.ResetSelection(true);
    if (!(shift & ssDouble)) e.SetExtending(true);
  }
  if (left && overSelection) {
    mouse.clickCell = cell;
    mouse.clickInSelection = true;
  }
  if (skipGrid && e.Focused() && e.OnMouseDown) e.OnMouseDown(e, button, shift, x, y);
}

void HandleMouseMove(THexEditorEx& e, TShiftState shift, int x, int y) {
  THexEditorEx::MouseState& mouse = e.Mouse();
  const bool onlyLeft = (shift & (ssLeft | ssRight | ssMiddle)) == ssLeft;
  if (!onlyLeft) return;
  const GridCell cell = MouseCell(e, x, y);
  if (mouse.clickInSelection && !(cell == mouse.clickCell)) mouse.clickInSelection = false;
  if (!mouse.dragging) return;
  mouse.x = x;
  mouse.y = y;
  // Dragging moves the cursor to the cell under the mouse, extending the selection; beyond the
  // view's edges, to the row and column at the edge.
  const GridCell target = SelectingCell(e, x, y);
  if (IsDataCell(target)) e.MoveCursorToCell(target);
}

void HandleMouseUp(THexEditorEx& e, TMouseButton, int x, int y) {
  THexEditorEx::MouseState& mouse = e.Mouse();
  const GridCell cell = MouseCell(e, x, y);
  if (mouse.doubleClicked) {
    mouse.doubleClicked = false;
    mouse.clickInSelection = false;
  }
  mouse.dragging = false;
  if (mouse.clickInSelection) {
    mouse.clickInSelection = false;
    e.ResetSelection(true);
    if (cell.Col >= 0) e.MoveCursorToCell(cell);
  }
  if (e.DropMarkerCell().Col >= 0) e.SetDropMarkerCell({-1, -1});
}

void HandleDoubleClick(THexEditorEx& e, int x, int y) {
  const GridCell cell = e.CellAtPoint(x, y);
  if (IsDataCell(cell) && cell.Col != e.Geometry().GapColumn()) {
    const std::int64_t p = e.CellToPosition(cell);
    if (p < e.DataSize()) {
      e.SetSelection(static_cast<int>(p), static_cast<int>(p));
      e.Mouse().clickInSelection = false;
      e.Mouse().doubleClicked = true;
    }
  }
  if (e.OnDblClick) e.OnDblClick(e);
}

}  // namespace kestrave::hex
