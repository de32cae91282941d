// Auto-scroll: where a mouse near or beyond an edge points, and the step the view takes there.
#include "hexeditor/input/AutoScroll.h"

#include <algorithm>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/input/HexInput.h"

namespace kestrave::hex {
namespace {

int LastVisibleRow(const THexEditorEx& e) {
  return std::min(e.TopRow() + e.VisibleRowCount() - 1, e.RowCount() - 1);
}

int LastVisibleCol(const THexEditorEx& e) {
  return std::min(e.LeftCol() + e.VisibleColCount() - 1, e.ColCount() - 1);
}

// A hidden instance has no client area; every point then lies inside it.
bool PastClientHeight(const THexEditorEx& e, int y) {
  return e.ClientHeight() > 0 && y >= e.ClientHeight();
}

bool PastClientWidth(const THexEditorEx& e, int x) {
  return e.ClientWidth() > 0 && x >= e.ClientWidth();
}

int PointedRow(const THexEditorEx& e, int y) {
  const int fixed = e.FixedRowsHeight();
  if (y < 0) return e.TopRow();
  if (y < fixed) return y < e.RowHeight(0) ? 0 : 1;
  if (PastClientHeight(e, y)) return LastVisibleRow(e);
  if (e.DefaultRowHeight() <= 0) return e.TopRow();
  const std::int64_t row = e.TopRow() + std::int64_t{(y - fixed) / e.DefaultRowHeight()};
  return static_cast<int>(std::min<std::int64_t>(row, e.RowCount() - 1));
}

int PointedCol(const THexEditorEx& e, int x) {
  if (x < 0) return e.LeftCol();
  if (x < e.FixedColumnsWidth()) return x < e.ColWidth(0) ? 0 : 1;
  if (PastClientWidth(e, x)) return LastVisibleCol(e);
  int right = e.FixedColumnsWidth();
  for (int col = e.LeftCol(); col < e.ColCount(); ++col) {
    right += e.ColWidth(col);
    if (x < right) return col;
  }
  return e.ColCount() - 1;
}

bool InsideClientArea(const THexEditorEx& e, int x, int y) {
  return x >= 0 && y >= 0 && !PastClientWidth(e, x) && !PastClientHeight(e, y);
}

}  // namespace

GridCell PointedCell(const THexEditorEx& e, int x, int y) {
  if (e.ColCount() <= 0 || e.RowCount() <= 0) return {-1, -1};
  return {PointedCol(e, x), PointedRow(e, y)};
}

bool BelowLastRow(const THexEditorEx& e, int y) {
  const int fixed = e.FixedRowsHeight();
  if (y < fixed || e.DefaultRowHeight() <= 0) return false;
  return e.TopRow() + std::int64_t{(y - fixed) / e.DefaultRowHeight()} >= e.RowCount();
}

ScrollStep ScrollStepToward(const THexEditorEx& e, GridCell pointed) {
  ScrollStep step;
  if (pointed.Row >= GridGeometry::kFixedRows + 1 && pointed.Row <= e.TopRow()) {
    step.Rows = -1;
  } else if (pointed.Row >= e.TopRow() + e.VisibleRowCount() - 1 &&
             pointed.Row < e.RowCount() - 1) {
    step.Rows = 1;
  }
  if (pointed.Col >= GridGeometry::kFixedCols + 1 && pointed.Col <= e.LeftCol()) {
    step.Cols = -1;
  } else if (pointed.Col >= e.LeftCol() + e.VisibleColCount() - 1 &&
             pointed.Col < e.ColCount() - 1) {
    step.Cols = 1;
  }
  return step;
}

void ApplyScrollStep(THexEditorEx& e, ScrollStep step) {
  if (step.Rows != 0) e.SetTopRow(e.TopRow() + step.Rows);
  if (step.Cols != 0) e.SetLeftCol(e.LeftCol() + step.Cols);
}

GridCell SelectingCell(const THexEditorEx& e, int x, int y) {
  return InsideClientArea(e, x, y) ? MouseCell(e, x, y) : PointedCell(e, x, y);
}

bool SelectionWantsAutoScroll(const THexEditorEx& e, int x, int y) {
  return GridGeometry::IsDataCell(SelectingCell(e, x, y)) &&
         !ScrollStepToward(e, PointedCell(e, x, y)).Empty();
}

bool SelectionAutoScrollStep(THexEditorEx& e, int x, int y) {
  if (!GridGeometry::IsDataCell(SelectingCell(e, x, y))) return false;
  ApplyScrollStep(e, ScrollStepToward(e, PointedCell(e, x, y)));
  // The rows and columns under the mouse are new ones now.
  const GridCell cell = SelectingCell(e, x, y);
  if (GridGeometry::IsDataCell(cell) && !(cell == e.CursorCell())) e.MoveCursorToCell(cell);
  return SelectionWantsAutoScroll(e, x, y);
}

}  // namespace kestrave::hex
