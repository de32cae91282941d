#include "hexeditor/layout/GridLayout.h"

namespace kestrave::hex {
namespace {

// Whether grid column Col (counted from the first nibble column at 2) holds the low nibble of
// the last byte of a group of Bytes bytes. A group may be as long as an int counts (a block of
// 2147483647 bytes is a valid setting), so its nibbles are counted in 64 bits.
bool EndsByteGroup(int col, int bytes) {
  return col % (std::int64_t{2} * bytes) == 1;
}

}  // namespace

void GridLayout::RebuildRulerTexts(bool lowerCase) {
  rulerTexts_ =
      MakeRulerTexts(bytesPerRow_, RulerUnit(), rulerNumberBase_, unicodeChars_, lowerCase);
}

void GridLayout::Count(std::int64_t size, bool insertMode) {
  rowCount_ = GridGeometry::DataRowCount(size, bytesPerRow_, insertMode) + GridGeometry::kFixedRows;
  colCount_ = Geometry().ColumnCount();
}

void GridLayout::Measure(int charWidth, int lineHeight) {
  cw_ = charWidth;
  rh_ = lineHeight;
  colWidths_.assign(static_cast<std::size_t>(colCount_), cw_);
  if (colWidths_.size() > 1) colWidths_[1] = 6;
  const GridGeometry geometry = Geometry();
  const int nibbles = geometry.NibbleColumns();
  for (int i = 0; i <= nibbles; ++i) {
    int width = cw_;
    if (i == nibbles - 1) {
      width = 2 * cw_;
    } else if (i < nibbles) {
      if (EndsByteGroup(i + 2, bytesPerColumn_)) width += cw_;
      if (bytesPerBlock_ > 1 && EndsByteGroup(i + 2, bytesPerBlock_)) width += cw_;
    }
    colWidths_.at(static_cast<std::size_t>(GridGeometry::kFixedCols + i)) = width;
  }
  const int unit = RulerUnit();
  const int chars = geometry.CharColumns();
  for (int j = 0; j < chars; ++j) {
    int width = cw_ + 1;
    if (!unicodeChars_ && unit > 1 && j % unit == unit - 1) width = (3 * cw_) / 2 + 1;
    if (bytesPerBlock_ > 1 && separateBlocksInCharField_) {
      const int block = unicodeChars_ ? bytesPerBlock_ / 2 : bytesPerBlock_;
      if (block > 0 && j % block == block - 1) width += cw_;
    }
    colWidths_.at(static_cast<std::size_t>(geometry.FirstCharColumn() + j)) = width;
  }
  if (!colWidths_.empty()) colWidths_.back() = 2 * cw_ + 1;
  rowHeights_[0] = showRuler_ ? rh_ + 3 : 0;
  rowHeights_[1] = 0;
}

}  // namespace kestrave::hex
