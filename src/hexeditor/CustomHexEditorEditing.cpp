// Editing: every operation that changes bytes, with its permission check, undo record, change
// marks, caret and selection.
#include <algorithm>

#include "hexeditor/CustomHexEditor.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"

namespace kestrave::hex {
namespace {

// Positions and counts from callers are checked before anything is recorded or changed.
void RequireRange(bool valid) {
  if (!valid) throw EHexEditor(msg::kOutOfBounds);
}

}  // namespace

// --- Rules ------------------------------------------------------------------------------------

void TCustomHexEditor::SetInsertMode(bool value) {
  if (value == modes_.InsertStored || !InsertAllowed()) return;
  const bool onAppendPosition = CellToPosition(CursorCell()) >= DataSize();
  modes_.InsertStored = value;
  if (moment_.Focused && look_.CaretKind == ckAuto) host_->CaretLookChanged();
  if (DataSize() == 0) return;
  AdjustMetrics();
  if (!value && onAppendPosition)
    FocusCell(PositionToCell(DataSize() - 1, CaretInCharColumn()), true);
  document_.Marks().Clear();
  RepaintAll();
}

void TCustomHexEditor::SetAllowInsertMode(bool value) {
  if (!value) SetInsertMode(false);
  modes_.AllowInsert = value;
}

void TCustomHexEditor::SetReadOnlyView(bool value) {
  modes_.ReadOnlyView = value;
  if (moment_.Focused && look_.CaretKind == ckAuto) host_->CaretLookChanged();
}

void TCustomHexEditor::SetNoSizeChange(bool value) {
  if (value == modes_.NoSizeChange) return;
  if (value) SetInsertMode(false);
  modes_.NoSizeChange = value;
}

bool TCustomHexEditor::CanChange(int kind, int countA, int countB) {
  bool allowed = DataSize() > 0 || kind == ukInsert || kind == ukAppend || kind == ukAllData;
  if (allowed && SizeRestricted()) {
    const bool resizes = kind == ukRemove || kind == ukInsert || kind == ukAppend ||
                         kind == ukInsertNibble || kind == ukDeleteNibble;
    if (resizes || (kind == ukReplace && countA != countB)) allowed = false;
  }
  if (!allowed && kind == ukGroup && countA <= undo_.Count()) allowed = true;
  return allowed;
}

void TCustomHexEditor::RecordUndo(int kind, int position, int countA, int countB,
                                  const std::string& description) {
  if (!CanChange(kind, countA, countB)) throw EHexEditor(msg::kCannotUpdateUndo);
  if (undo_.UpdateCount() == 0) undo_.AddRecord(kind, position, countA, countB, description);
  document_.SetModified(true);
}

// --- Change marks -----------------------------------------------------------------------------

bool TCustomHexEditor::IsChanged(int index) const {
  return !InsertMode() && document_.Marks().Test(index);
}

void TCustomHexEditor::SetChanged(int index, bool value) {
  document_.SetMark(index, value, !InsertMode());
}

// --- Editing steps ----------------------------------------------------------------------------

void TCustomHexEditor::NoteBookmarks(const DocumentChange& change) {
  if (change.BookmarksMoved) BookmarkChanged();
}

TCustomHexEditor::DeleteRange TCustomHexEditor::GetDeleteRange() const {
  if (!caret_.Range().Active()) return {CursorPosition(), CursorPosition() + 1, CursorCell()};
  return {caret_.Range().Low, caret_.Range().High + 1,
          PositionToCell(caret_.Range().Low, CaretInCharColumn())};
}

void TCustomHexEditor::AfterRemoval(std::optional<GridCell> caret) {
  const bool inChar = CaretInCharColumn();
  if (caret) {
    if (DataSize() == 0) {
      FocusCell(PositionToCell(0, inChar), true);
    } else if (CellToPosition(*caret) >= DataSize()) {
      FocusCell(PositionToCell(InsertMode() ? DataSize() : DataSize() - 1, inChar), true);
    } else if (caret->Col >= 0) {
      FocusCell(*caret, true);
    }
  }
  AdjustMetrics();
  ResetSelection(false);
  RepaintAll();
}

// --- Selection helpers ------------------------------------------------------------------------

// Selects exactly the bytes an operation names, not widened to units: under a fixed size the
// count written must be the count replaced.
void TCustomHexEditor::SelectRange(int anchor, int low, int high) {
  if (low <= high) SetSelectionFields(anchor, low, high);
}

// --- Public operations ------------------------------------------------------------------------

void TCustomHexEditor::ChangeByte(std::uint8_t oldValue, std::uint8_t newValue, int index, int, int,
                                  const std::string& description) {
  if (oldValue == newValue) return;
  if (DataSize() > 0) RequireRange(index >= 0 && index < DataSize());
  RecordUndo(ukChangeBytes, index, 1, 0, description);
  WriteByte(index, newValue);
  if (!InsertMode()) document_.Marks().Set(index, true);
  host_->BytesChanged(index, index);
  Changed();
}

void TCustomHexEditor::ChangeWord(std::uint16_t oldValue, std::uint16_t newValue, int index, int,
                                  int, const std::string& description) {
  if (oldValue == newValue) return;
  if (DataSize() > 0) RequireRange(index >= 0 && std::int64_t{index} + 2 <= DataSize());
  RecordUndo(ukChangeBytes, index, 2, 0, description);
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(newValue & 0xFF),
                                 static_cast<std::uint8_t>(newValue >> 8)};
  WriteBlock(bytes, index, 2);
  if (!InsertMode()) {
    document_.Marks().Set(index, (oldValue & 0xFF) != (newValue & 0xFF));
    document_.Marks().Set(std::int64_t{index} + 1, (oldValue >> 8) != (newValue >> 8));
  }
  host_->BytesChanged(index, index);
  host_->BytesChanged(index + 1, index + 1);
  Changed();
}

void TCustomHexEditor::InsertBuffer(const void* buffer, int count, int position,
                                    const std::string& description, bool moveCaret) {
  document_.Bytes().CheckBounds(position);
  RequireRange(position >= 0 && count >= 0);
  document_.ReserveFor(std::int64_t{DataSize()} + count);
  RecordUndo(ukInsert, position, count, 0, description);
  const DocumentChange change = document_.Insert(position, buffer, count);
  AdjustMetrics();
  NoteBookmarks(change);
  if (modes_.Enabled && count > 0) {
    const int last = position + count - 1;
    SelectRange(position, position, last);
    if (moveCaret) {
      FocusCell(PositionToCell(last, CaretInCharColumn()), true);
      SelectRange(position, position, last);
    }
    RepaintAll();
  }
  Changed();
}

void TCustomHexEditor::AppendBuffer(const void* buffer, int count, const std::string& description,
                                    bool moveCaret) {
  if (!buffer || count == 0) return;
  RequireRange(count > 0);
  document_.ReserveFor(std::int64_t{DataSize()} + count);
  RecordUndo(ukAppend, DataSize(), count, 0, description);
  const int oldSize = DataSize();
  document_.Append(buffer, count);
  AdjustMetrics();
  if (moveCaret) FocusCell(PositionToCell(oldSize, CaretInCharColumn()), true);
  SelectRange(oldSize, oldSize, oldSize + count - 1);
  RepaintAll();
  Changed();
}

void TCustomHexEditor::ReplaceSelection(const void* buffer, int count,
                                        const std::string& description, bool moveCaret) {
  const bool inChar = CaretInCharColumn();
  if (!caret_.Range().Active()) {
    // At the caret's own byte: on the append position that is the end of the data.
    const int at = std::min(CaretBytePosition(), DataSize());
    InsertBuffer(buffer, count, at, description, moveCaret);
    return;
  }
  RequireRange(count >= 0);
  const int low = caret_.Range().Low;
  int replaced = SelectionCount();
  if (SizeRestricted()) {
    count = std::min(count, replaced);
    replaced = count;
    if (count == 0) return;  // nothing can be written in place
  }
  document_.ReserveFor(std::int64_t{DataSize()} - replaced + count);
  RecordUndo(ukReplace, low, count, replaced, description);
  // Narrowed only now, so that undo brings back the selection the user made.
  if (replaced != SelectionCount()) SelectRange(low, low, low + replaced - 1);
  const DeleteRange range = GetDeleteRange();
  const DocumentChange change =
      document_.RemoveToReplace(range.Start, range.End - range.Start, count);
  AfterRemoval(range.Cell);
  document_.FillReplacement(range.Start, buffer, count);
  AdjustMetrics();
  NoteBookmarks(change);
  if (moveCaret && count > 0) {
    const int last = range.Start + count - 1;
    FocusCell(PositionToCell(last, inChar), true);
    SelectRange(last, range.Start, last);
  }
  RepaintAll();
  Changed();
}

int TCustomHexEditor::Replace(const void* buffer, int position, int oldCount, int newCount,
                              const std::string& description, bool moveCaret) {
  // In 64 bits: the magnitude of the smallest int does not fit an int.
  document_.Bytes().CheckBounds(std::abs(std::int64_t{position}) +
                                std::abs(std::int64_t{oldCount}) - 1);
  RequireRange(position >= 0 && position <= DataSize() && oldCount >= 0 && newCount >= 0);
  const int size = DataSize();
  const bool inChar = CaretInCharColumn();
  if (oldCount > size - position) {
    if (oldCount == newCount) newCount = size - position;
    oldCount = size - position;
  }
  if (SizeRestricted()) oldCount = newCount = std::min(oldCount, newCount);
  document_.ReserveFor(std::int64_t{size} - oldCount + newCount);
  RecordUndo(ukReplace, position, newCount, oldCount, description);
  if (!moveCaret && undo_.UpdateCount() == 0) undo_.SetSelectionInfo(position, oldCount);
  const DocumentChange change = document_.Replace(position, oldCount, buffer, newCount);
  if (oldCount > newCount) {
    AfterRemoval(CursorCell());
  } else if (oldCount < newCount) {
    AdjustMetrics();
  }
  NoteBookmarks(change);
  if (moveCaret) FocusCell(PositionToCell(position, inChar), true);
  RepaintAll();
  Changed();
  return newCount;
}

void TCustomHexEditor::DeleteSelection(const std::string& description) {
  const DeleteRange range = GetDeleteRange();
  RecordUndo(ukRemove, range.Start, range.End - range.Start, 0, description);
  const DocumentChange change = document_.Remove(range.Start, range.End);
  AfterRemoval(range.Cell);
  NoteBookmarks(change);
  Changed();
}

void TCustomHexEditor::DeleteUnit(bool backward, const std::string& description) {
  const int unit = layout_.BytesPerUnit();
  const int cursor = std::clamp(CursorPosition(), 0, std::max(DataSize() - 1, 0));
  const int p = AlignDown(cursor, layout_.BytesPerUnit());
  if (!backward) {
    if (p >= DataSize()) return;
    const int count = std::min(unit, DataSize() - p);
    RecordUndo(ukRemove, p, count, 0, description);
    const DocumentChange change = document_.Remove(p, p + count);
    AfterRemoval(CursorCell());
    NoteBookmarks(change);
    Changed();
    return;
  }
  int end = p;
  int count = unit;
  if (InsertMode() && !caret_.Range().Active()) {
    const int underCaret =
        static_cast<int>(std::min<std::int64_t>(CellToPosition(CursorCell()), DataSize()));
    if (underCaret == DataSize() && DataSize() % unit != 0) {
      end = DataSize();
      count = 1;
    } else {
      end = AlignDown(underCaret, layout_.BytesPerUnit());
    }
  }
  if (end == 0) return;
  count = std::min(count, end);
  RecordUndo(ukRemove, end - count, count, 0, description);
  const GridCell caret = CursorCell();
  const DocumentChange change = document_.Remove(end - count, end);
  AfterRemoval(caret);
  NoteBookmarks(change);
  if (end == p) {
    Seek(end - count, 0);
  } else if (CursorCell().Col < layout_.ColCount() - 1) {
    FocusCell({CursorCell().Col + 1, CursorCell().Row}, true);
  }
  Changed();
}

void TCustomHexEditor::RecordGroup(int count, const std::string& description) {
  RecordUndo(ukGroup, 0, count, 0, description);
}

// --- Undo glue --------------------------------------------------------------------------------

void TCustomHexEditor::Undo() {
  undo_.Undo();
}

void TCustomHexEditor::Redo() {
  if (undo_.CanRedo()) undo_.Redo();
}

bool TCustomHexEditor::CanUndo() const {
  return !modes_.ReadOnlyView && undo_.CanUndo();
}
bool TCustomHexEditor::CanRedo() const {
  return !modes_.ReadOnlyView && undo_.CanRedo();
}
const std::string& TCustomHexEditor::UndoDescription() const {
  return undo_.Description();
}

void TCustomHexEditor::BeginUndoUpdate() {
  undo_.BeginUpdate();
}
int TCustomHexEditor::EndUndoUpdate() {
  return undo_.EndUpdate();
}

bool TCustomHexEditor::CaretOnSecondDigit() const {
  return !CaretInCharColumn() && !Geometry().IsHighNibbleColumn(CursorCell().Col);
}

int TCustomHexEditor::CaretBytePosition() const {
  return GridGeometry::AsIntPosition(CellToPosition(CursorCell()));
}

void TCustomHexEditor::PlaceCaretAt(int position, bool inCharField, bool secondDigit) {
  GridCell cell = PositionToCell(position, inCharField);
  if (!inCharField && secondDigit && DataSize() > 0) ++cell.Col;
  FocusCell(cell, true);
}

}  // namespace kestrave::hex
