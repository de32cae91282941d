#pragma once

#include <algorithm>
#include <cstdint>

namespace kestrave::hex {

// A cell of the grid: column and row, both counted from 0 including the fixed ones.
struct GridCell {
  int Col = 0;
  int Row = 0;
  bool operator==(const GridCell&) const = default;
};

// How byte positions map onto the grid's cells. Column 0 is the offset gutter and column 1 a
// gap; the nibble columns of the hex field follow, then a gap column, then the character
// columns. Row 0 is the ruler, row 1 is empty, data rows start at row 2.
class GridGeometry {
 public:
  static constexpr int kFixedCols = 2;
  static constexpr int kFixedRows = 2;
  // The first column and row that show data.
  static constexpr int kFirstDataCol = kFixedCols;
  static constexpr int kFirstDataRow = kFixedRows;
  // A cell past the fixed columns and rows (which may still lie beyond the data).
  static bool IsDataCell(GridCell cell) {
    return cell.Col >= kFirstDataCol && cell.Row >= kFirstDataRow;
  }

  GridGeometry(int bytesPerRow, bool unicodeChars)
      : bytesPerRow_(bytesPerRow), unicodeChars_(unicodeChars) {}

  int BytesPerRow() const { return bytesPerRow_; }
  bool UnicodeChars() const { return unicodeChars_; }

  int NibbleColumns() const { return 2 * bytesPerRow_; }
  int CharColumns() const { return unicodeChars_ ? bytesPerRow_ / 2 : bytesPerRow_; }
  int FirstHexColumn() const { return kFixedCols; }
  int LastNibbleColumn() const { return NibbleColumns() + 1; }
  int GapColumn() const { return NibbleColumns() + 2; }
  int FirstCharColumn() const { return NibbleColumns() + 3; }
  int ColumnCount() const { return FirstCharColumn() + CharColumns(); }

  bool IsCharColumn(int col) const { return col > GapColumn(); }
  // A hex-field column's nibble, counted from 0 at the field's start.
  static int NibbleIndex(int col) { return col - kFixedCols; }
  // The data row a grid row shows, counted from 0.
  static int DataRow(int row) { return row - kFixedRows; }
  // A byte position in the int the component's interface counts in; a position beyond it
  // (a grid cell far past the data) is held at the largest int.
  static int AsIntPosition(std::int64_t position) {
    return static_cast<int>(std::min<std::int64_t>(position, 0x7FFFFFFF));
  }
  // The first column of a byte's two holds its high nibble.
  bool IsHighNibbleColumn(int col) const;

  // Any int column and row is taken, and any position, without overflow: sums are made in 64
  // bits, and a row beyond what an int numbers is held at the last one.
  // The byte position of a cell; never negative. The gap column maps to the next row's start.
  std::int64_t CellToPosition(GridCell cell) const;
  // The cell of a byte position in either field (the high nibble in the hex field).
  GridCell PositionToCell(std::int64_t position, bool inCharField) const;
  // The column of the same byte in the other field.
  int OtherFieldColumn(int col) const;
  int RowOfPosition(std::int64_t position) const;

  // Data rows for a data size: one per started row, at least one, and room for the position
  // just past the last byte when insert mode is on and the last row is full.
  static int DataRowCount(std::int64_t dataSize, int bytesPerRow, bool insertMode);

 private:
  int bytesPerRow_;
  bool unicodeChars_;
};

}  // namespace kestrave::hex
