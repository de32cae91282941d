// The key table: moves, field switches, deletes, insert mode and bookmarks.
#include <algorithm>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/caret/CaretSelection.h"
#include "hexeditor/input/HexInput.h"

namespace kestrave::hex {
namespace {

constexpr int kFirstRow = GridGeometry::kFirstDataRow;
constexpr int kFirstCol = GridGeometry::kFirstDataCol;

// The caret's byte, which in insert mode may be the position past the data.
int CaretPosition(const THexEditorEx& e) {
  return static_cast<int>(std::min<std::int64_t>(e.CellToPosition(e.CursorCell()), e.DataSize()));
}

int LastPosition(const THexEditorEx& e) {
  return e.InsertMode() ? e.DataSize() : e.DataSize() - 1;
}

// A move whose refusal needs no answer.
void Go(THexEditorEx& e, GridCell cell) {
  e.MoveCursorToCell(cell);
}

bool InCharColumn(const THexEditorEx& e) {
  return e.Geometry().IsCharColumn(e.CursorCell().Col);
}

bool OnSecondNibble(const THexEditorEx& e) {
  const int col = e.CursorCell().Col;
  return !e.Geometry().IsCharColumn(col) && GridGeometry::NibbleIndex(col) % 2 == 1;
}

void MoveTo(THexEditorEx& e, int position, bool inChar, bool secondNibble = false) {
  GridCell cell = e.PositionToCell(position, inChar);
  if (!inChar && secondNibble) ++cell.Col;
  e.MoveCursorToCell(cell);
}

void MoveToRow(THexEditorEx& e, int row) {
  e.MoveCursorToCell({e.CursorCell().Col, row});
}

void PageUp(THexEditorEx& e, bool ctrl) {
  const int visible = e.VisibleRowCount();
  if (ctrl) return MoveToRow(e, e.TopRow());
  const int row = std::max(kFirstRow, e.CursorCell().Row - visible + 1);
  e.SetTopRow(std::max(kFirstRow, e.TopRow() - visible + 1));
  MoveToRow(e, row);
}

// A row a page below Row, at most the last one; in 64 bits, as the last row of a large buffer
// may be close to the largest int.
int RowsBelow(int row, int rows, int lastRow) {
  return static_cast<int>(std::min<std::int64_t>(lastRow, std::int64_t{row} + rows));
}

void PageDown(THexEditorEx& e, bool ctrl) {
  const int visible = e.VisibleRowCount();
  const int lastRow = e.RowCount() - 1;
  if (ctrl) return MoveToRow(e, RowsBelow(e.TopRow(), visible - 1, lastRow));
  const int row = RowsBelow(e.CursorCell().Row, visible - 1, lastRow);
  e.SetTopRow(RowsBelow(e.TopRow(), visible - 1, e.MaxTopRow()));
  MoveToRow(e, row);
}

void End(THexEditorEx& e, bool ctrl) {
  const bool inChar = InCharColumn(e);
  if (ctrl) return MoveTo(e, LastPosition(e), inChar);
  const std::int64_t rowEnd = std::int64_t{e.CursorCell().Row - 1} * e.BytesPerRow() - 1;
  const int target = static_cast<int>(std::min<std::int64_t>(rowEnd, LastPosition(e)));
  MoveTo(e, std::max(target, 0), inChar, true);
}

void Home(THexEditorEx& e, bool ctrl) {
  const int col = InCharColumn(e) ? e.Geometry().FirstCharColumn() : e.Geometry().FirstHexColumn();
  e.MoveCursorToCell({col, ctrl ? kFirstRow : e.CursorCell().Row});
}

void SwitchField(THexEditorEx& e) {
  e.MoveCursorToCell(
      {std::max(kFirstCol, e.OtherFieldColumn(e.CursorCell().Col)), e.CursorCell().Row});
}

void Delete(THexEditorEx& e, TShiftState shift) {
  if (e.ReadOnlyView()) return;
  if (!e.InsertMode() && Modifiers(shift) != ssCtrl) return;
  if (e.SelectionCount() > 0) {
    e.DeleteSelection("");
  } else {
    e.DeleteUnit(false, "");
  }
}

}  // namespace

HorizontalStep StepOf(bool extending, bool inCharField) {
  if (extending) return HorizontalStep::Unit;
  return inCharField ? HorizontalStep::Character : HorizontalStep::Nibble;
}

void MoveLeft(THexEditorEx& e) {
  const int p = CaretPosition(e);
  const int unit = e.BytesPerUnit();
  const bool inChar = InCharColumn(e);
  switch (StepOf(e.Extending(), inChar)) {
    case HorizontalStep::Unit:
      if (inChar) return MoveTo(e, std::max(p - unit, 0), true);
      return MoveTo(e, AlignDown(std::max(p - unit, 0), unit), false);
    case HorizontalStep::Character:
      // A unicode character is a unit of two bytes.
      return MoveTo(e, std::max(e.UnicodeChars() ? p - unit : p - 1, 0), true);
    case HorizontalStep::Nibble:
      if (OnSecondNibble(e)) return Go(e, {e.CursorCell().Col - 1, e.CursorCell().Row});
      if (p - 1 >= 0) MoveTo(e, p - 1, false, true);
      return;
  }
}

void MoveRight(THexEditorEx& e) {
  const int p = CaretPosition(e);
  const int unit = e.BytesPerUnit();
  const bool inChar = InCharColumn(e);
  // The caret may stand past the last byte of a buffer as large as an int counts.
  const auto last = std::int64_t{LastPosition(e)};
  switch (StepOf(e.Extending(), inChar)) {
    case HorizontalStep::Unit: {
      const std::int64_t target = std::int64_t{p} + unit;
      if (inChar) return MoveTo(e, static_cast<int>(std::min(target, last)), true);
      return MoveTo(e, static_cast<int>(std::min(target - target % unit, last)), false);
    }
    case HorizontalStep::Character: {
      const std::int64_t target = std::int64_t{p} + (e.UnicodeChars() ? unit : 1);
      return MoveTo(e, static_cast<int>(std::min(target, last)), true);
    }
    case HorizontalStep::Nibble:
      if (!OnSecondNibble(e) && p != e.DataSize())
        return Go(e, {e.CursorCell().Col + 1, e.CursorCell().Row});
      if (p < e.DataSize() - 1 || (p == e.DataSize() - 1 && e.InsertMode()))
        MoveTo(e, p + 1, false);
      return;
  }
}

bool IsNavigationKey(int key, TShiftState shift) {
  const TShiftState modifiers = Modifiers(shift);
  const bool ctrl = (modifiers & ssCtrl) != 0;
  if (key >= '0' && key <= '9') return ctrl;  // bookmarks
  switch (key) {
    case vkBack:
    case vkLeft:
    case vkRight:
    case vkPrior:
    case vkNext:
    case vkEnd:
    case vkHome:
    case vkInsert:
    case vkDelete:
      return true;
    case vkUp:
    case vkDown:
      return !ctrl;
    case vkTab:
      return modifiers == 0 || modifiers == ssShift;
    case 'T':
      return ctrl;
    case vkShift:
      return modifiers == ssShift || modifiers == (ssShift | ssCtrl);
    default:
      return false;
  }
}

void HandleNavigationKey(THexEditorEx& e, int key, TShiftState shift) {
  if (!IsNavigationKey(key, shift)) return;
  const TShiftState modifiers = Modifiers(shift);
  const bool ctrl = (modifiers & ssCtrl) != 0;
  if (key == vkBack && e.InsertMode() && !e.ReadOnlyView()) {
    if (e.SelectionCount() > 0) {
      e.DeleteSelection("");
    } else {
      e.DeleteUnit(true, "");
    }
    return;
  }
  if (key >= '0' && key <= '9' && ctrl) {
    if (modifiers & ssShift) {
      e.SetBookmark(key - '0', CaretPosition(e), InCharColumn(e));
    } else {
      e.GotoBookmark(key - '0');
    }
    return;
  }
  switch (key) {
    case vkBack:
    case vkLeft:
      if (!ctrl) return MoveLeft(e);
      if (key == vkLeft) e.MoveCursorToCell({kFirstCol, e.CursorCell().Row});
      return;
    case vkTab:
      if (modifiers == 0 || modifiers == ssShift) SwitchField(e);
      return;
    case 'T':
      if (ctrl) SwitchField(e);
      return;
    case vkShift:
      if (modifiers == ssShift || modifiers == (ssShift | ssCtrl)) e.SetExtending(true);
      return;
    case vkPrior:
      return PageUp(e, ctrl);
    case vkNext:
      return PageDown(e, ctrl);
    case vkEnd:
      return End(e, ctrl);
    case vkHome:
      return Home(e, ctrl);
    case vkUp:
      if (!ctrl && e.CursorCell().Row - 1 >= kFirstRow) MoveToRow(e, e.CursorCell().Row - 1);
      return;
    case vkDown:
      if (!ctrl && e.CursorCell().Row + 1 < e.RowCount()) MoveToRow(e, e.CursorCell().Row + 1);
      return;
    case vkRight:
      if (ctrl) return Go(e, {e.ColCount() - 1, e.CursorCell().Row});
      return MoveRight(e);
    case vkInsert:
      e.SetInsertMode(!e.InsertMode());
      return;
    case vkDelete:
      return Delete(e, shift);
    default:
      return;
  }
}

namespace {

const char* StepWords(HorizontalStep step) {
  switch (step) {
    case HorizontalStep::Nibble:
      return "one nibble";
    case HorizontalStep::Character:
      return "one character";
    case HorizontalStep::Unit:
      return "one unit (a byte unless the units are larger)";
  }
  return "";
}

// Left and Right without Ctrl, told from the steps the moves take in either field.
std::string HorizontalMove(const char* direction, bool extending) {
  const HorizontalStep hex = StepOf(extending, false);
  const HorizontalStep chars = StepOf(extending, true);
  std::string words = StepWords(hex);
  words.append(" ").append(direction);
  if (hex != chars)
    words.append(" in the hex field, ").append(StepWords(chars)).append(" in the characters");
  return words;
}

// What the key does without Shift; Shift adds extending the selection to every move.
std::string MoveEffect(int key, bool ctrl, bool extending) {
  switch (key) {
    case vkLeft:
      return ctrl ? "to the first byte of the row, in the hex field"
                  : HorizontalMove("left", extending);
    case vkRight:
      return ctrl ? "to the last character of the row, in the characters"
                  : HorizontalMove("right", extending);
    case vkUp:
      return "one row up";
    case vkDown:
      return "one row down";
    case vkPrior:
      return ctrl ? "to the top row shown" : "one page up";
    case vkNext:
      return ctrl ? "to the bottom row shown" : "one page down";
    case vkHome:
      return ctrl ? "to the first byte" : "to the start of the row";
    case vkEnd:
      return ctrl ? "to the last byte" : "to the end of the row";
    default:
      return {};
  }
}

}  // namespace

std::string DescribeNavigationKey(int key, TShiftState shift) {
  if (!IsNavigationKey(key, shift)) return {};
  const TShiftState modifiers = Modifiers(shift);
  const bool ctrl = (modifiers & ssCtrl) != 0;
  const bool extend = (modifiers & ssShift) != 0;
  if (key >= '0' && key <= '9')
    return extend ? "sets bookmark " + std::string(1, static_cast<char>(key)) +
                        " at the caret (again: clears it)"
                  : "goes to bookmark " + std::string(1, static_cast<char>(key));
  if (const std::string move = MoveEffect(key, ctrl, extend); !move.empty())
    return "moves the caret " + move + (extend ? ", extending the selection" : "");
  switch (key) {
    case vkBack:
      if (ctrl) return "in insert mode deletes the unit before the caret or the selection";
      return "in insert mode deletes the unit before the caret or the selection; otherwise moves "
             "the caret left";
    case vkTab:
    case 'T':
      return "switches the caret between the hex field and the characters";
    case vkShift:
      return "held: the caret's moves extend the selection";
    case vkInsert:
      return "switches between insert and overwrite mode";
    case vkDelete:
      return ctrl ? "deletes the selection or the unit at the caret, also in overwrite mode"
                  : "in insert mode deletes the selection or the unit at the caret";
    default:
      return {};
  }
}

}  // namespace kestrave::hex
