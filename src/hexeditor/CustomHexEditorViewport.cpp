// The viewport: which rows and columns are shown, where a cell lies, the caret and the focus.
#include <algorithm>

#include "hexeditor/CustomHexEditor.h"

namespace kestrave::hex {
namespace {

// No screen comes near this many pixels; a client held below it keeps every sum of its size,
// a few rows and the widths of all columns far inside an int.
constexpr int kLargestClientSize = 1 << 24;

}  // namespace

void TCustomHexEditor::SetClientSize(int width, int height) {
  clientWidth_ = std::clamp(width, 0, kLargestClientSize);
  clientHeight_ = std::clamp(height, 0, kLargestClientSize);
  SetTopRow(topRow_);
  SetLeftCol(leftCol_);
  // The caret follows once the resize is through, as the window's own layout settles first.
  queue_->Post([weak = std::weak_ptr<TCustomHexEditor*>(self_)] {
    if (const auto self = weak.lock()) (*self)->PlaceCaret();
  });
}

int TCustomHexEditor::VisibleRowCount() const {
  if (rh_ <= 0) return 1;
  return std::max(1, (clientHeight_ - FixedRowsHeight()) / rh_);
}

int TCustomHexEditor::VisibleColCount() const {
  int room = clientWidth_ - FixedColumnsWidth();
  int count = 0;
  for (int col = leftCol_; col < colCount_ && room >= colWidths_[static_cast<std::size_t>(col)];
       ++col) {
    room -= colWidths_[static_cast<std::size_t>(col)];
    ++count;
  }
  return std::max(1, count);
}

int TCustomHexEditor::MaxTopRow() const {
  return std::max(GridGeometry::kFixedRows, rowCount_ - VisibleRowCount());
}

void TCustomHexEditor::TopLeftChanged() {
  InvalidateView();
  PlaceCaret();
  if (host_) host_->TopLeftChanged();
  if (OnTopLeftChanged) OnTopLeftChanged(*this);
}

void TCustomHexEditor::SetTopRow(int row) {
  const int clamped = std::clamp(row, static_cast<int>(GridGeometry::kFixedRows), MaxTopRow());
  if (clamped == topRow_) return;
  topRow_ = clamped;
  TopLeftChanged();
}

// The last column that can come first while the columns after it still fill the width.
int TCustomHexEditor::MaxLeftCol() const {
  int room = clientWidth_ - FixedColumnsWidth();
  int first = colCount_ - 1;
  while (first > GridGeometry::kFixedCols &&
         room - colWidths_[static_cast<std::size_t>(first)] >= 0) {
    room -= colWidths_[static_cast<std::size_t>(first)];
    --first;
  }
  if (room < colWidths_[static_cast<std::size_t>(first)] && first < colCount_ - 1) ++first;
  return std::max(static_cast<int>(GridGeometry::kFixedCols), first);
}

void TCustomHexEditor::SetLeftCol(int col) {
  const int clamped = std::clamp(col, static_cast<int>(GridGeometry::kFixedCols), MaxLeftCol());
  if (clamped == leftCol_) return;
  leftCol_ = clamped;
  TopLeftChanged();
}

void TCustomHexEditor::LayoutChanged() {
  const bool laidOut = colCount_ > 0 && colWidths_.size() >= static_cast<std::size_t>(colCount_);
  if (!laidOut) return;
  SetTopRow(topRow_);
  SetLeftCol(leftCol_);
  if (host_) host_->LayoutChanged();
  InvalidateView();
}

// A cell the cursor moves to is brought into view.
void TCustomHexEditor::ClampInView(GridCell cell) {
  if (clientHeight_ <= 0) return;
  if (cell.Row >= GridGeometry::kFixedRows) {
    if (cell.Row < topRow_)
      SetTopRow(cell.Row);
    else if (cell.Row >= topRow_ + VisibleRowCount())
      SetTopRow(cell.Row - VisibleRowCount() + 1);
  }
  if (cell.Col >= GridGeometry::kFixedCols) {
    if (cell.Col < leftCol_) {
      SetLeftCol(cell.Col);
    } else {
      while (leftCol_ < cell.Col && CellRect(cell).Right > clientWidth_)
        SetLeftCol(leftCol_ + 1);
    }
  }
}

GridCell TCustomHexEditor::CellAtPoint(int x, int y) const {
  GridCell cell{-1, -1};
  if (x < 0 || y < 0) return cell;
  if (x < colWidths_[0]) {
    cell.Col = 0;
  } else if (x < FixedColumnsWidth()) {
    cell.Col = 1;
  } else {
    int left = FixedColumnsWidth();
    for (int col = leftCol_; col < colCount_; ++col) {
      left += colWidths_[static_cast<std::size_t>(col)];
      if (x < left) {
        cell.Col = col;
        break;
      }
    }
  }
  if (y < rowHeights_[0]) {
    cell.Row = 0;
  } else if (y >= FixedRowsHeight() && rh_ > 0) {
    const std::int64_t row = topRow_ + (y - FixedRowsHeight()) / rh_;
    if (row < rowCount_) cell.Row = static_cast<int>(row);
  }
  if (cell.Col < 0 || cell.Row < 0) return {-1, -1};
  return cell;
}

PaintRect TCustomHexEditor::CellRect(GridCell cell) const {
  PaintRect rect;
  if (cell.Col < 0 || cell.Col >= colCount_ || cell.Row < 0 || cell.Row >= rowCount_) return rect;
  if (cell.Col >= GridGeometry::kFixedCols && cell.Col < leftCol_) return rect;
  if (cell.Row >= GridGeometry::kFixedRows && cell.Row < topRow_) return rect;
  if (cell.Col == 0) {
    rect.Left = 0;
  } else if (cell.Col == 1) {
    rect.Left = colWidths_[0];
  } else {
    rect.Left = FixedColumnsWidth();
    for (int col = leftCol_; col < cell.Col; ++col)
      rect.Left += colWidths_[static_cast<std::size_t>(col)];
  }
  rect.Right = rect.Left + colWidths_[static_cast<std::size_t>(cell.Col)];
  if (cell.Row < GridGeometry::kFixedRows) {
    rect.Top = cell.Row == 0 ? 0 : rowHeights_[0];
    rect.Bottom = rect.Top + rowHeights_[static_cast<std::size_t>(cell.Row)];
  } else {
    const std::int64_t top = FixedRowsHeight() + std::int64_t{cell.Row - topRow_} * rh_;
    if (top > clientHeight_ + rh_) return {};
    rect.Top = static_cast<int>(top);
    rect.Bottom = rect.Top + rh_;
  }
  return rect;
}

// --- Caret and focus --------------------------------------------------------------------------

THexCaretKind TCustomHexEditor::EffectiveCaretKind() const {
  if (caretKind_ != ckAuto) return caretKind_;
  if (readOnlyView_) return ckBottom;
  return InsertMode() ? ckLeft : ckFull;
}

PaintRect TCustomHexEditor::CaretRect() const {
  const PaintRect cell = CellRect(cursor_);
  const bool visible = !cell.Empty() && cell.Top < clientHeight_ && cell.Left < clientWidth_;
  const int left = visible ? cell.Left : -50;
  const int top = visible ? cell.Top : -50;
  return {left, top, left + cw_, top + std::max(rh_ - 2, 0)};
}

void TCustomHexEditor::PlaceCaret() {
  // The active-field colours move with the cursor's field.
  const bool inChar = CaretInCharColumn();
  if (inChar != caretWasInChar_) {
    caretWasInChar_ = inChar;
    InvalidateView();
  }
  if (host_) host_->PlaceCaret(cursor_);
}

void TCustomHexEditor::SetFocused(bool focused) {
  if (focused == focused_) return;
  focused_ = focused;
  if (!focused) extending_ = false;
  if (host_) host_->CaretShapeChanged();
  PlaceCaret();
  InvalidateView();
}

void TCustomHexEditor::InvalidateRulerAround(int col) {
  if (!host_ || !showRuler_ || col < GridGeometry::kFixedCols) return;
  host_->InvalidateCell({col, 0});
  host_->InvalidateCell({OtherFieldColumn(col), 0});
}

// --- Look -------------------------------------------------------------------------------------

void TCustomHexEditor::SetSystemColors(const ISystemColors& colors) {
  systemColors_ = &colors;
  InvalidateView();
}

void TCustomHexEditor::SetCaretKind(THexCaretKind value) {
  caretKind_ = value;
  if (focused_ && host_) host_->CaretShapeChanged();
  InvalidateView();
}

void TCustomHexEditor::SetFocusFrame(bool value) {
  if (value == focusFrame_) return;
  focusFrame_ = value;
  InvalidateView();
}

void TCustomHexEditor::SetDrawGridLines(bool value) {
  if (value == drawGridLines_) return;
  drawGridLines_ = value;
  InvalidateView();
}

void TCustomHexEditor::SetDrawGutter3D(bool value) {
  if (value == drawGutter3D_) return;
  drawGutter3D_ = value;
  InvalidateView();
}

void TCustomHexEditor::SetHideSelection(bool value) {
  hideSelection_ = value;
  if (!focused_ && SelectionCount() > 0) InvalidateView();
}

void TCustomHexEditor::SetGraySelectionIfNotFocused(bool value) {
  graySelectionIfNotFocused_ = value;
  if (!focused_ && SelectionCount() > 0 && !hideSelection_) InvalidateView();
}

void TCustomHexEditor::SetShowPositionIfNotFocused(bool value) {
  if (value == showPositionIfNotFocused_) return;
  showPositionIfNotFocused_ = value;
  InvalidateView();
}

void TCustomHexEditor::SetDropMarkerCell(GridCell cell) {
  if (host_ && dropMarker_.Col >= 0) host_->InvalidateCell(dropMarker_);
  dropMarker_ = cell;
  if (host_ && cell.Col >= 0) host_->InvalidateCell(cell);
}

TCustomHexEditor::DrawnCellScope::DrawnCellScope(TCustomHexEditor& editor, int position,
                                                 bool selected)
    : editor_(editor) {
  editor_.drawnPosition_ = position;
  editor_.drawnSelected_ = selected;
}

TCustomHexEditor::DrawnCellScope::~DrawnCellScope() {
  editor_.drawnPosition_ = -1;
  editor_.drawnSelected_ = false;
}

}  // namespace kestrave::hex
