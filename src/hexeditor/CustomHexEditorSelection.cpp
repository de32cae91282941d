// Cursor and selection: the rules every cursor move passes and the selection they keep.
#include <algorithm>

#include "hexeditor/CustomHexEditor.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"

namespace kestrave::hex {

int TCustomHexEditor::CursorPosition() const {
  const std::int64_t position = CellToPosition(cursor_);
  return static_cast<int>(std::clamp<std::int64_t>(position, 0, std::max(0, DataSize() - 1)));
}

int TCustomHexEditor::SelectionStart() const {
  if (selectionAnchor_ >= 0) return selectionAnchor_;
  return GridGeometry::AsIntPosition(CellToPosition(cursor_));
}

void TCustomHexEditor::SetSelectionStart(int position) {
  if (position < 0 || position >= DataSize()) throw EHexEditor(msg::kInvalidSelectionStart);
  ResetSelection(true);
  FocusCell(PositionToCell(position, InCharField()), true);
}

int TCustomHexEditor::SelectionEnd() const {
  if (selectionAnchor_ < 0) return CursorPosition();
  return selectionAnchor_ == selectionHigh_ ? selectionLow_ : selectionHigh_;
}

void TCustomHexEditor::SetSelectionEnd(int position) {
  if (position < -1 || position >= DataSize()) throw EHexEditor(msg::kInvalidSelectionEnd);
  ResetSelection(true);
  if (position >= 0) SetSelection(CursorPosition(), position);
}

int TCustomHexEditor::SelectionCount() const {
  return selectionAnchor_ < 0 ? 0 : selectionHigh_ - selectionLow_ + 1;
}

bool TCustomHexEditor::IsSelected(int position) const {
  return selectionAnchor_ >= 0 && selectionLow_ <= position && position <= selectionHigh_;
}

int TCustomHexEditor::AlignDown(int position) const {
  return position - position % bytesPerUnit_;
}

int TCustomHexEditor::AlignUpToUnitEnd(int position) const {
  const std::int64_t end = std::int64_t{AlignDown(position)} + bytesPerUnit_ - 1;
  return static_cast<int>(std::min<std::int64_t>(end, DataSize() - 1));
}

void TCustomHexEditor::SetSelection(int anchor, int end) {
  // Both ends are taken into the data first: a range outside it cannot be selected.
  const int last = DataSize() - 1;
  anchor = std::clamp(anchor, 0, std::max(last, 0));
  end = std::clamp(end, 0, std::max(last, 0));
  const int low = AlignDown(std::min(anchor, end));
  const int high = AlignUpToUnitEnd(std::max(anchor, end));
  const int alignedAnchor = anchor <= end ? low : high;
  const int oldLow = selectionLow_;
  const int oldHigh = selectionHigh_;
  const bool wasSelected = selectionAnchor_ >= 0;
  selectionAnchor_ = std::clamp(alignedAnchor, -1, last);
  selectionLow_ = std::clamp(low, -1, last);
  selectionHigh_ = std::clamp(high, -1, last);
  if (wasSelected) {
    InvalidateSelectionChange(oldLow, oldHigh, selectionLow_, selectionHigh_);
  } else {
    InvalidatePositions(selectionLow_, selectionHigh_);
  }
  SelectionChanged();
}

void TCustomHexEditor::SetSelectionFields(int anchor, int low, int high) {
  const int last = DataSize() - 1;
  if (low < 0 || high < low || low > last) {
    ResetSelection(true);
    return;
  }
  const int oldLow = selectionLow_;
  const int oldHigh = selectionHigh_;
  const bool wasSelected = selectionAnchor_ >= 0;
  selectionLow_ = low;
  selectionHigh_ = std::min(high, last);
  selectionAnchor_ = std::clamp(anchor, selectionLow_, selectionHigh_);
  if (wasSelected) {
    InvalidateSelectionChange(oldLow, oldHigh, selectionLow_, selectionHigh_);
  } else {
    InvalidatePositions(selectionLow_, selectionHigh_);
  }
  SelectionChanged();
}

void TCustomHexEditor::ResetSelection(bool repaint) {
  extending_ = false;
  const bool wasSelected = selectionAnchor_ >= 0;
  const int oldLow = selectionLow_;
  const int oldHigh = selectionHigh_;
  selectionAnchor_ = selectionLow_ = selectionHigh_ = extendOrigin_ = -1;
  if (repaint && wasSelected) InvalidatePositions(oldLow, oldHigh);
}

void TCustomHexEditor::SelectAll() {
  if (DataSize() < 1) return;
  const int target = InsertMode() ? DataSize() : DataSize() - 1;
  FocusCell(PositionToCell(target, InCharField()), true);
  SetSelection(0, DataSize() - 1);
}

int TCustomHexEditor::Seek(int offset, int origin) {
  if (DataSize() == 0) return -1;
  std::int64_t target = CursorPosition();
  if (origin == 0) target = offset;
  if (origin == 1) target = std::int64_t{CursorPosition()} + offset;
  if (origin == 2) target = std::int64_t{DataSize()} - 1 + offset;
  const int position = static_cast<int>(std::clamp<std::int64_t>(target, 0, DataSize() - 1));
  SetSelectionStart(position);
  return position;
}

bool TCustomHexEditor::InCharField() const {
  return DataSize() > 0 && Geometry().IsCharColumn(cursor_.Col);
}

void TCustomHexEditor::SetInCharField(bool value) {
  if (DataSize() == 0 || value == InCharField()) return;
  FocusCell({OtherFieldColumn(cursor_.Col), cursor_.Row}, true);
}

// A raw move: the cursor's own moves would reset or extend the selection.
void TCustomHexEditor::MoveCaretToField(bool inCharField) {
  if (DataSize() == 0 || inCharField == CaretInCharColumn()) return;
  cursor_ = {OtherFieldColumn(cursor_.Col), cursor_.Row};
  ClampInView(cursor_);
  if (host_) host_->InvalidateAll();
  PlaceCaret();
}

bool TCustomHexEditor::MoveCursorToCell(GridCell cell) {
  return FocusCell(cell, true);
}

bool TCustomHexEditor::CanSelectCell(GridCell cell) const {
  return cell.Col >= GridGeometry::kFixedCols && cell.Col < colCount_ &&
         cell.Row >= GridGeometry::kFixedRows && cell.Row < rowCount_;
}

// Positions up to the last byte hold the cursor; in insert mode so does the position just past
// it, in the character field or on a high-nibble column.
bool TCustomHexEditor::IsValidCursorCell(std::int64_t position, GridCell cell) const {
  if (position < DataSize()) return true;
  const GridGeometry geometry = Geometry();
  return InsertMode() && position == DataSize() &&
         (geometry.IsCharColumn(cell.Col) || geometry.IsHighNibbleColumn(cell.Col));
}

int TCustomHexEditor::LastValidPosition() const {
  return InsertMode() ? DataSize() : DataSize() - 1;
}

// Checked moves pass the rules of a user's move; the replacement moves those rules start
// themselves are not checked again.
bool TCustomHexEditor::FocusCell(GridCell target, bool checked) {
  const GridGeometry geometry = Geometry();
  if (DataSize() == 0) {
    const bool firstCell =
        target.Row == GridGeometry::kFixedRows &&
        (target.Col == geometry.FirstHexColumn() || target.Col == geometry.FirstCharColumn());
    if (!firstCell) return false;
    cursor_ = target;
    PlaceCaret();
    return true;
  }
  if (!CanSelectCell(target)) return false;
  if (checked) {
    if (!input_->ShiftDown() && !input_->LeftButtonDown()) ResetSelection(true);
    if (!IsValidCursorCell(CellToPosition(target), target)) {
      FocusCell(PositionToCell(LastValidPosition(), InCharField()), false);
      return false;
    }
    if (target.Col == geometry.GapColumn()) {
      if (input_->LeftButtonDown())
        FocusCell({std::max(geometry.FirstHexColumn(), target.Col - 1), target.Row}, false);
      return false;
    }
  }
  const GridCell old = cursor_;
  if (host_) {
    host_->InvalidateCell(old);
    host_->InvalidateCell(target);
    if (old.Row != target.Row) {
      host_->InvalidateCell({0, old.Row});
      host_->InvalidateCell({0, target.Row});
    }
    if (old.Col != target.Col) {
      InvalidateRulerAround(old.Col);
      InvalidateRulerAround(target.Col);
    }
  }
  const auto oldPosition =
      static_cast<int>(std::min<std::int64_t>(CellToPosition(old), DataSize()));
  cursor_ = target;
  ClampInView(target);
  if (extending_) {
    ExtendSelection(oldPosition, static_cast<int>(CellToPosition(target)));
  } else {
    ResetSelection(true);
  }
  PlaceCaret();
  SelectionChanged();
  return true;
}

void TCustomHexEditor::ExtendSelection(int oldPosition, int newPosition) {
  if (extendOrigin_ == -1) extendOrigin_ = oldPosition;
  if (!InsertMode()) {
    // The origin takes the aligned value of its side, so the byte under the cursor stays in.
    extendOrigin_ =
        extendOrigin_ <= newPosition ? AlignDown(extendOrigin_) : AlignUpToUnitEnd(extendOrigin_);
    SetSelection(extendOrigin_, newPosition);
    return;
  }
  // In insert mode the cursor stands between bytes: the unit at the later end is not selected.
  extendOrigin_ = AlignDown(extendOrigin_);
  const int origin = extendOrigin_;
  const int target = AlignDown(newPosition);
  if (origin == target) {
    ResetSelection(true);
    extendOrigin_ = target;
    extending_ = true;
  } else if (origin > target) {
    SetSelection(origin - bytesPerUnit_, target);
  } else {
    SetSelection(origin, target - bytesPerUnit_);
  }
}

void TCustomHexEditor::InvalidatePositions(int low, int high) {
  if (!host_ || low < 0) return;
  const GridGeometry geometry = Geometry();
  host_->InvalidateRows(geometry.RowOfPosition(low), geometry.RowOfPosition(high));
}

void TCustomHexEditor::InvalidateSelectionChange(int oldLow, int oldHigh, int newLow, int newHigh) {
  InvalidatePositions(std::min(oldLow, newLow), std::max(oldLow, newLow));
  InvalidatePositions(std::min(oldHigh, newHigh), std::max(oldHigh, newHigh));
}

void TCustomHexEditor::MoveCaretToStart() {
  ResetSelection(true);
  FocusCell(PositionToCell(0, false), true);
}

}  // namespace kestrave::hex
