// Cursor and selection: the rules every cursor move passes and the selection they keep.
#include <algorithm>

#include "hexeditor/CustomHexEditor.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"

namespace kestrave::hex {

int TCustomHexEditor::CursorPosition() const {
  const std::int64_t position = CellToPosition(CursorCell());
  return static_cast<int>(std::clamp<std::int64_t>(position, 0, std::max(0, DataSize() - 1)));
}

int TCustomHexEditor::SelectionStart() const {
  if (caret_.Range().Active()) return caret_.Range().Anchor;
  return GridGeometry::AsIntPosition(CellToPosition(CursorCell()));
}

void TCustomHexEditor::SetSelectionStart(int position) {
  if (position < 0 || position >= DataSize()) throw EHexEditor(msg::kInvalidSelectionStart);
  ResetSelection(true);
  FocusCell(PositionToCell(position, InCharField()), true);
}

int TCustomHexEditor::SelectionEnd() const {
  return caret_.Range().Active() ? caret_.Range().End() : CursorPosition();
}

void TCustomHexEditor::SetSelectionEnd(int position) {
  if (position < -1 || position >= DataSize()) throw EHexEditor(msg::kInvalidSelectionEnd);
  ResetSelection(true);
  if (position >= 0) SetSelection(CursorPosition(), position);
}

int TCustomHexEditor::SelectionCount() const {
  return caret_.Range().Count();
}

bool TCustomHexEditor::IsSelected(int position) const {
  return caret_.Range().Contains(position);
}

void TCustomHexEditor::SetSelection(int anchor, int end) {
  const SelectionRange old = caret_.Select(anchor, end, DataSize(), layout_.BytesPerUnit());
  host_->SelectionChanged(old, caret_.Range());
  SelectionChanged();
}

void TCustomHexEditor::SetSelectionFields(int anchor, int low, int high) {
  const std::optional<SelectionRange> old = caret_.Restore(anchor, low, high, DataSize());
  if (!old) {
    ResetSelection(true);
    return;
  }
  host_->SelectionChanged(*old, caret_.Range());
  SelectionChanged();
}

void TCustomHexEditor::ResetSelection(bool repaint) {
  const SelectionRange old = caret_.Reset();
  if (repaint && old.Active()) host_->SelectionChanged(old, caret_.Range());
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
  return DataSize() > 0 && Geometry().IsCharColumn(CursorCell().Col);
}

void TCustomHexEditor::SetInCharField(bool value) {
  if (DataSize() == 0 || value == InCharField()) return;
  FocusCell({OtherFieldColumn(CursorCell().Col), CursorCell().Row}, true);
}

// A raw move: the cursor's own moves would reset or extend the selection.
void TCustomHexEditor::MoveCaretToField(bool inCharField) {
  if (DataSize() == 0 || inCharField == CaretInCharColumn()) return;
  caret_.SetCursor({OtherFieldColumn(CursorCell().Col), CursorCell().Row});
  ClampInView(CursorCell());
  RepaintAll();
  PlaceCaret();
}

bool TCustomHexEditor::MoveCursorToCell(GridCell cell) {
  return FocusCell(cell, true);
}

bool TCustomHexEditor::CanSelectCell(GridCell cell) const {
  return cell.Col >= GridGeometry::kFixedCols && cell.Col < layout_.ColCount() &&
         cell.Row >= GridGeometry::kFixedRows && cell.Row < layout_.RowCount();
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
    caret_.SetCursor(target);
    PlaceCaret();
    return true;
  }
  if (!CanSelectCell(target)) return false;
  if (checked) {
    if (!platform_.Input->ShiftDown() && !platform_.Input->LeftButtonDown()) ResetSelection(true);
    if (!IsValidCursorCell(CellToPosition(target), target)) {
      FocusCell(PositionToCell(LastValidPosition(), InCharField()), false);
      return false;
    }
    if (target.Col == geometry.GapColumn()) {
      if (platform_.Input->LeftButtonDown())
        FocusCell({std::max(geometry.FirstHexColumn(), target.Col - 1), target.Row}, false);
      return false;
    }
  }
  const GridCell old = CursorCell();
  const auto oldPosition =
      static_cast<int>(std::min<std::int64_t>(CellToPosition(old), DataSize()));
  caret_.SetCursor(target);
  ClampInView(target);
  host_->CaretMoved(PlaceOfCell(old), PlaceOfCell(target));
  if (caret_.Extending()) {
    ExtendSelection(oldPosition, static_cast<int>(CellToPosition(target)));
  } else {
    ResetSelection(true);
  }
  PlaceCaret();
  SelectionChanged();
  return true;
}

void TCustomHexEditor::ExtendSelection(int oldPosition, int newPosition) {
  const auto span =
      caret_.Extend(oldPosition, newPosition, layout_.BytesPerUnit(), DataSize(), InsertMode());
  if (span) {
    SetSelection(span->Anchor, span->End);
    return;
  }
  ResetSelection(true);
  caret_.ContinueExtendingFrom(AlignDown(newPosition, layout_.BytesPerUnit()));
}

void TCustomHexEditor::BytesChanged(int low, int high) {
  host_->BytesChanged(low, high);
}

BytePlace TCustomHexEditor::PlaceOfCell(GridCell cell) const {
  if (cell.Col < 0) return {};
  const GridGeometry geometry = Geometry();
  const bool inChar = geometry.IsCharColumn(cell.Col);
  return {geometry.CellToPosition(cell), inChar, !inChar && !geometry.IsHighNibbleColumn(cell.Col)};
}

void TCustomHexEditor::MoveCaretToStart() {
  ResetSelection(true);
  FocusCell(PositionToCell(0, false), true);
}

}  // namespace kestrave::hex
