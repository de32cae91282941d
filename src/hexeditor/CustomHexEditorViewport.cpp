// The viewport: which rows and columns are shown, where a cell lies, the caret and the focus.
#include <algorithm>

#include "hexeditor/CustomHexEditor.h"

namespace kestrave::hex {

void TCustomHexEditor::SetClientSize(int width, int height) {
  viewport_.SetClientSize(width, height);
  SetTopRow(viewport_.TopRow());
  SetLeftCol(viewport_.LeftCol());
  // The caret follows once the resize is through, as the window's own layout settles first.
  platform_.Queue->Post([weak = std::weak_ptr<TCustomHexEditor*>(self_)] {
    if (const auto self = weak.lock()) (*self)->PlaceCaret();
  });
}

int TCustomHexEditor::VisibleRowCount() const {
  return viewport_.VisibleRowCount(Sizes());
}

int TCustomHexEditor::VisibleColCount() const {
  return viewport_.VisibleColCount(Sizes());
}

int TCustomHexEditor::MaxTopRow() const {
  return viewport_.MaxTopRow(Sizes());
}

void TCustomHexEditor::TopLeftChanged() {
  RepaintAll();
  PlaceCaret();
  host_->TopLeftChanged();
  if (OnTopLeftChanged) OnTopLeftChanged(*this);
}

void TCustomHexEditor::SetTopRow(int row) {
  if (viewport_.SetTopRow(row, Sizes())) TopLeftChanged();
}

int TCustomHexEditor::MaxLeftCol() const {
  return viewport_.MaxLeftCol(Sizes());
}

void TCustomHexEditor::SetLeftCol(int col) {
  if (viewport_.SetLeftCol(col, Sizes())) TopLeftChanged();
}

void TCustomHexEditor::LayoutChanged() {
  const bool laidOut = layout_.LaidOut();
  if (!laidOut) return;
  SetTopRow(viewport_.TopRow());
  SetLeftCol(viewport_.LeftCol());
  host_->LayoutChanged();
  RepaintAll();
}

// A cell the cursor moves to is brought into view.
void TCustomHexEditor::ClampInView(GridCell cell) {
  if (viewport_.ClientHeight() <= 0) return;
  if (cell.Row >= GridGeometry::kFixedRows) {
    if (cell.Row < viewport_.TopRow())
      SetTopRow(cell.Row);
    else if (cell.Row >= viewport_.TopRow() + VisibleRowCount())
      SetTopRow(cell.Row - VisibleRowCount() + 1);
  }
  if (cell.Col >= GridGeometry::kFixedCols) {
    if (cell.Col < viewport_.LeftCol()) {
      SetLeftCol(cell.Col);
    } else {
      while (viewport_.LeftCol() < cell.Col && CellRect(cell).Right > viewport_.ClientWidth())
        SetLeftCol(viewport_.LeftCol() + 1);
    }
  }
}

GridCell TCustomHexEditor::CellAtPoint(int x, int y) const {
  return viewport_.CellAtPoint(x, y, Sizes());
}

PaintRect TCustomHexEditor::CellRect(GridCell cell) const {
  return viewport_.CellRect(cell, Sizes());
}

// --- Caret and focus --------------------------------------------------------------------------

THexCaretKind TCustomHexEditor::EffectiveCaretKind() const {
  if (look_.CaretKind != ckAuto) return look_.CaretKind;
  if (modes_.ReadOnlyView) return ckBottom;
  return InsertMode() ? ckLeft : ckFull;
}

PaintRect TCustomHexEditor::CaretRect() const {
  const PaintRect cell = CellRect(CursorCell());
  const bool visible =
      !cell.Empty() && cell.Top < viewport_.ClientHeight() && cell.Left < viewport_.ClientWidth();
  const int left = visible ? cell.Left : -50;
  const int top = visible ? cell.Top : -50;
  return {left, top, left + layout_.CharWidth(), top + std::max(layout_.LineHeight() - 2, 0)};
}

void TCustomHexEditor::PlaceCaret() {
  // The active-field colours move with the cursor's field.
  const bool inChar = CaretInCharColumn();
  if (inChar != moment_.CaretWasInChar) {
    moment_.CaretWasInChar = inChar;
    RepaintAll();
  }
  host_->CaretLookChanged();
}

void TCustomHexEditor::SetFocused(bool focused) {
  if (focused == moment_.Focused) return;
  moment_.Focused = focused;
  if (!focused) caret_.SetExtending(false);
  host_->CaretLookChanged();
  PlaceCaret();
  RepaintAll();
}

// --- Look -------------------------------------------------------------------------------------

void TCustomHexEditor::SetSystemColors(const ISystemColors& colors) {
  platform_.Colors = &colors;
  RepaintAll();
}

void TCustomHexEditor::SetCaretKind(THexCaretKind value) {
  look_.CaretKind = value;
  if (moment_.Focused) host_->CaretLookChanged();
  RepaintAll();
}

void TCustomHexEditor::SetFocusFrame(bool value) {
  if (value == look_.FocusFrame) return;
  look_.FocusFrame = value;
  RepaintAll();
}

void TCustomHexEditor::SetDrawGridLines(bool value) {
  if (value == look_.DrawGridLines) return;
  look_.DrawGridLines = value;
  RepaintAll();
}

void TCustomHexEditor::SetDrawGutter3D(bool value) {
  if (value == look_.DrawGutter3D) return;
  look_.DrawGutter3D = value;
  RepaintAll();
}

void TCustomHexEditor::SetHideSelection(bool value) {
  look_.HideSelection = value;
  if (!moment_.Focused && SelectionCount() > 0) RepaintAll();
}

void TCustomHexEditor::SetGraySelectionIfNotFocused(bool value) {
  look_.GraySelectionIfNotFocused = value;
  if (!moment_.Focused && SelectionCount() > 0 && !look_.HideSelection) RepaintAll();
}

void TCustomHexEditor::SetShowPositionIfNotFocused(bool value) {
  if (value == look_.ShowPositionIfNotFocused) return;
  look_.ShowPositionIfNotFocused = value;
  RepaintAll();
}

void TCustomHexEditor::SetDropMarkerCell(GridCell cell) {
  const BytePlace old = PlaceOfCell(moment_.DropMarker);
  moment_.DropMarker = cell;
  host_->DropMarkerMoved(old, PlaceOfCell(cell));
}

TCustomHexEditor::DrawnCellScope::DrawnCellScope(TCustomHexEditor& editor, int position,
                                                 bool selected)
    : editor_(editor) {
  editor_.drawn_.Position = position;
  editor_.drawn_.Selected = selected;
}

TCustomHexEditor::DrawnCellScope::~DrawnCellScope() {
  editor_.drawn_.Position = -1;
  editor_.drawn_.Selected = false;
}

}  // namespace kestrave::hex
