// Grid layout: row and column counts, column widths and the layout values they follow.
#include <algorithm>

#include "hexeditor/CustomHexEditor.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/Messages.h"
#include "platform/Format.h"

namespace kestrave::hex {

void TCustomHexEditor::AdjustMetrics() {
  if (marks_.Size() > DataSize()) marks_.SetSize(DataSize());
  const GridGeometry geometry = Geometry();
  rowCount_ =
      GridGeometry::DataRowCount(DataSize(), bytesPerRow_, InsertMode()) + GridGeometry::kFixedRows;
  colCount_ = geometry.ColumnCount();
  // A grid keeps its current cell inside its rows and columns.
  cursor_.Row = std::min(cursor_.Row, rowCount_ - 1);
  cursor_.Col = std::min(cursor_.Col, colCount_ - 1);
  RecalcLayout();
}

void TCustomHexEditor::RecalcLayout() {
  cw_ = metrics_->TextWidth(font_, "w");
  rh_ = metrics_->TextHeight(font_, "yY") + 2;
  colWidths_.assign(static_cast<std::size_t>(colCount_), cw_);
  SizeGutter();
  colWidths_[1] = 6;
  const GridGeometry geometry = Geometry();
  const int nibbles = geometry.NibbleColumns();
  for (int i = 0; i <= nibbles; ++i) {
    int width = cw_;
    if (i == nibbles - 1) {
      width = 2 * cw_;
    } else if (i < nibbles) {
      if ((i + 2) % (2 * bytesPerColumn_) == 1) width += cw_;
      if (bytesPerBlock_ > 1 && (i + 2) % (2 * bytesPerBlock_) == 1) width += cw_;
    }
    colWidths_[static_cast<std::size_t>(i + 2)] = width;
  }
  const int unit = rulerBytesPerUnit_ == -1 ? bytesPerUnit_ : rulerBytesPerUnit_;
  const int chars = geometry.CharColumns();
  for (int j = 0; j < chars; ++j) {
    int width = cw_ + 1;
    if (!unicodeChars_ && unit > 1 && j % unit == unit - 1) width = (3 * cw_) / 2 + 1;
    if (bytesPerBlock_ > 1 && separateBlocksInCharField_) {
      const int block = unicodeChars_ ? bytesPerBlock_ / 2 : bytesPerBlock_;
      if (block > 0 && j % block == block - 1) width += cw_;
    }
    colWidths_[static_cast<std::size_t>(geometry.FirstCharColumn() + j)] = width;
  }
  colWidths_.back() = 2 * cw_ + 1;
  rowHeights_[0] = showRuler_ ? rh_ + 3 : 0;
  rowHeights_[1] = 0;
  PlaceCaret();
}

// Wide enough for eight hex digits and a margin, until the offset format sizes the gutter.
void TCustomHexEditor::SizeGutter() {
  colWidths_[0] = metrics_->TextWidth(font_, "00000000") + cw_;
}

void TCustomHexEditor::SetBytesPerUnit(int value) {
  if (value == bytesPerUnit_) return;
  if (unicodeChars_ && value != 2) throw EHexEditor(msg::kUnitInUnicodeMode);
  if (value != 1 && value != 2 && value != 4 && value != 8)
    throw EHexEditor(platform::FormatMessage(msg::kInvalidUnit, {std::int64_t{value}}));
  bytesPerUnit_ = value;
  RecalcLayout();
  if (SelectionCount() % bytesPerUnit_ != 0) ResetSelection(false);
  if (host_) host_->InvalidateAll();
}

// Unicode mode shows two bytes as one character, so rows, columns and data must be even, and
// no translation applies.
void TCustomHexEditor::SetUnicodeChars(bool value) {
  if (value == unicodeChars_) return;
  if (value) {
    if (bytesPerRow_ % 2 != 0) throw EHexEditor(msg::kInvalidBytesPerLine);
    if (bytesPerColumn_ % 2 != 0) throw EHexEditor(msg::kInvalidBytesPerColumn);
    if (DataSize() % 2 != 0) throw EHexEditor(msg::kOddSizedUnicode);
    translation_ = tkAsIs;
  }
  unicodeChars_ = value;
  colCount_ = Geometry().ColumnCount();
  SetBytesPerUnit(value ? 2 : 1);
  AdjustMetrics();
  if (host_) host_->InvalidateAll();
}

void TCustomHexEditor::SetUnicodeBigEndian(bool value) {
  if (value == unicodeBigEndian_) return;
  unicodeBigEndian_ = value;
  if (unicodeChars_ && host_) host_->InvalidateAll();
}

void TCustomHexEditor::SetSwapNibbles(bool value) {
  if (value == swapNibbles_) return;
  swapNibbles_ = value;
  if (host_) host_->InvalidateAll();
}

void TCustomHexEditor::SetFont(const platform::FontSpec& font) {
  if (font == font_) return;
  font_ = font;
  RecalcLayout();
  if (host_) host_->InvalidateAll();
}

}  // namespace kestrave::hex
