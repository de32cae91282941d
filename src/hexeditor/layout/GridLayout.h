#pragma once

#include <cstdint>
#include <vector>

#include "hexeditor/layout/GridGeometry.h"
#include "hexeditor/layout/GridViewport.h"
#include "hexeditor/text/OffsetFormat.h"

namespace kestrave::hex {

// How the bytes are laid out on the grid and how large its rows and columns are: bytes per
// row, column, unit and block, unicode mode, the ruler, the row and column counts and the
// pixel size of every column. Its setters store; the component checks the values first and
// lays the grid out again after.
class GridLayout {
 public:
  int BytesPerRow() const { return bytesPerRow_; }
  void SetBytesPerRow(int value) { bytesPerRow_ = value; }
  int BytesPerColumn() const { return bytesPerColumn_; }
  void SetBytesPerColumn(int value) { bytesPerColumn_ = value; }
  int BytesPerUnit() const { return bytesPerUnit_; }
  void SetBytesPerUnit(int value) { bytesPerUnit_ = value; }
  int RulerBytesPerUnit() const { return rulerBytesPerUnit_; }
  void SetRulerBytesPerUnit(int value) { rulerBytesPerUnit_ = value; }
  // The unit the ruler counts in: RulerBytesPerUnit, or BytesPerUnit while that is -1.
  int RulerUnit() const { return rulerBytesPerUnit_ == -1 ? bytesPerUnit_ : rulerBytesPerUnit_; }
  int BytesPerBlock() const { return bytesPerBlock_; }
  void SetBytesPerBlock(int value) { bytesPerBlock_ = value; }
  bool SeparateBlocksInCharField() const { return separateBlocksInCharField_; }
  void SetSeparateBlocksInCharField(bool value) { separateBlocksInCharField_ = value; }
  bool ShowRuler() const { return showRuler_; }
  void SetShowRuler(bool value) { showRuler_ = value; }
  std::uint8_t RulerNumberBase() const { return rulerNumberBase_; }
  void SetRulerNumberBase(std::uint8_t value) { rulerNumberBase_ = value; }
  bool UnicodeChars() const { return unicodeChars_; }
  void SetUnicodeChars(bool value) { unicodeChars_ = value; }
  bool UnicodeBigEndian() const { return unicodeBigEndian_; }
  void SetUnicodeBigEndian(bool value) { unicodeBigEndian_ = value; }
  bool SwapNibbles() const { return swapNibbles_; }
  void SetSwapNibbles(bool value) { swapNibbles_ = value; }

  GridGeometry Geometry() const { return GridGeometry(bytesPerRow_, unicodeChars_); }
  const RulerTexts& Ruler() const { return rulerTexts_; }
  void RebuildRulerTexts(bool lowerCase);

  int ColCount() const { return colCount_; }
  int RowCount() const { return rowCount_; }
  // Rows and columns for data of Size bytes (in insert mode one more position is shown).
  void Count(std::int64_t size, bool insertMode);
  // The columns for the current row length alone, before the data is counted again.
  void CountColumns() { colCount_ = Geometry().ColumnCount(); }
  // Sizes every column and the fixed rows for characters of CharWidth x LineHeight pixels: the
  // gutter one character wide (the component sizes it after), the gap 6 pixels, and a
  // character's width more after each column and block.
  void Measure(int charWidth, int lineHeight);
  bool LaidOut() const {
    return colCount_ > 0 && colWidths_.size() >= static_cast<std::size_t>(colCount_);
  }
  int ColWidth(int col) const { return colWidths_.at(static_cast<std::size_t>(col)); }
  int GutterPixels() const { return colWidths_.empty() ? 0 : colWidths_[0]; }
  // Nothing to set before the columns are measured.
  void SetGutterPixels(int width) {
    if (!colWidths_.empty()) colWidths_[0] = width;
  }
  int RowHeight(int row) const {
    return row < GridGeometry::kFixedRows ? rowHeights_[static_cast<std::size_t>(row)] : rh_;
  }
  int CharWidth() const { return cw_; }
  int LineHeight() const { return rh_; }
  GridSizes Sizes() const {
    return {colWidths_, rowHeights_[0], rowHeights_[1], rh_, rowCount_, colCount_};
  }

 private:
  int bytesPerRow_ = 16;
  int bytesPerColumn_ = 2;
  int bytesPerUnit_ = 1;
  int rulerBytesPerUnit_ = -1;
  int bytesPerBlock_ = -1;
  bool separateBlocksInCharField_ = true;
  bool showRuler_ = false;
  bool unicodeChars_ = false;
  bool unicodeBigEndian_ = false;
  bool swapNibbles_ = false;
  std::uint8_t rulerNumberBase_ = 16;
  RulerTexts rulerTexts_;

  int colCount_ = 0;
  int rowCount_ = 0;
  std::vector<int> colWidths_;
  int rowHeights_[GridGeometry::kFixedRows] = {0, 0};
  int cw_ = 0;
  int rh_ = 0;
};

}  // namespace kestrave::hex
