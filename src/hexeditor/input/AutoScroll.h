#pragma once

#include "hexeditor/layout/GridGeometry.h"

namespace kestrave::hex {

class THexEditorEx;

// Auto-scroll: while the left button selects, or a drag hovers over the view, a mouse at or
// beyond an edge of the view moves it on by one row and one column per step of the host's timer.

// The cell a client point points at. Inside the client area it is the cell under the point; a
// point below the last row or beside the last column stands for that row or column. Outside the
// area, a point above or left of it stands for the top visible row or the left visible column,
// and one below or right of it for the last visible row or column. The ruler and the gutter
// keep their fixed rows and columns.
GridCell PointedCell(const THexEditorEx& editor, int x, int y);
// Whether a client point lies below the last row of the grid.
bool BelowLastRow(const THexEditorEx& editor, int y);

// Rows and columns to scroll by, each -1, 0 or 1.
struct ScrollStep {
  int Rows = 0;
  int Cols = 0;
  bool Empty() const { return Rows == 0 && Cols == 0; }
};
// The step toward a pointed cell: up when its row is at or above the top visible row and is
// row 3 or further down; else down when it is at or below the last visible row and above the
// last row. Columns alike: left from column 3 on, right while left of the last column.
ScrollStep ScrollStepToward(const THexEditorEx& editor, GridCell pointed);
void ApplyScrollStep(THexEditorEx& editor, ScrollStep step);

// The cell a selecting mouse at a client point extends the selection to: the mapped cell of an
// ordinary move inside the client area, the pointed cell outside it.
GridCell SelectingCell(const THexEditorEx& editor, int x, int y);
// Whether a selecting mouse at the point wants the timer: the cell it maps to is a data cell and
// the view can still scroll toward it.
bool SelectionWantsAutoScroll(const THexEditorEx& editor, int x, int y);
// One timer step of a selecting mouse at the point: scrolls one step toward it and extends the
// selection to the cell then under it. Runs only while the mapped cell is a data cell; answers
// whether the timer is still wanted.
bool SelectionAutoScrollStep(THexEditorEx& editor, int x, int y);

}  // namespace kestrave::hex
