#include "hexeditor/layout/GridGeometry.h"

#include <algorithm>
#include <cstdint>

namespace kestrave::hex {
namespace {

// A row or column worked out in 64 bits, held to what an int counts. Only cells far outside
// any grid (a 2 GiB buffer at one byte per row ends at the last row an int can number) meet
// the limit.
int ToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

bool GridGeometry::IsHighNibbleColumn(int col) const {
  // Nibble columns start at 2, so the high nibbles are the even ones.
  return !IsCharColumn(col) && col % 2 == 0;
}

std::int64_t GridGeometry::CellToPosition(GridCell cell) const {
  std::int64_t inRow = 0;
  if (IsCharColumn(cell.Col)) {
    inRow = std::int64_t{cell.Col} - FirstCharColumn();
    if (unicodeChars_) inRow *= 2;
  } else {
    inRow = (std::int64_t{cell.Col} - 2) / 2;
  }
  const std::int64_t position = inRow + (std::int64_t{cell.Row} - kFixedRows) * bytesPerRow_;
  return position < 0 ? 0 : position;
}

GridCell GridGeometry::PositionToCell(std::int64_t position, bool inCharField) const {
  if (position < 0) return {kFixedCols, kFixedRows};
  const int row = RowOfPosition(position);
  const auto inRow = static_cast<int>(position % bytesPerRow_);
  if (inCharField) return {(unicodeChars_ ? inRow / 2 : inRow) + FirstCharColumn(), row};
  return {inRow * 2 + 2, row};
}

int GridGeometry::OtherFieldColumn(int col) const {
  if (!IsCharColumn(col))
    return ToInt((std::int64_t{col} - 2) / (unicodeChars_ ? 4 : 2) + FirstCharColumn());
  return ToInt((unicodeChars_ ? 4 : 2) * (std::int64_t{col} - FirstCharColumn()) + 2);
}

int GridGeometry::RowOfPosition(std::int64_t position) const {
  return ToInt(ToInt(position / bytesPerRow_) + std::int64_t{kFixedRows});
}

int GridGeometry::DataRowCount(std::int64_t dataSize, int bytesPerRow, bool insertMode) {
  if (dataSize <= 0) return 1;
  std::int64_t rows = (dataSize + bytesPerRow - 1) / bytesPerRow;
  if (insertMode && dataSize % bytesPerRow == 0) ++rows;
  // The grid counts its rows, fixed ones included, in an int.
  return static_cast<int>(std::min<std::int64_t>(rows, INT32_MAX - kFixedRows));
}

}  // namespace kestrave::hex
