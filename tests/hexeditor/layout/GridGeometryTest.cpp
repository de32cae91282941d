#include "hexeditor/layout/GridGeometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace kestrave::hex {
namespace {

TEST(GridGeometry, DefaultLayoutPlacesPositions) {
  const GridGeometry grid(16, false);
  EXPECT_EQ(grid.ColumnCount(), 51);
  EXPECT_EQ(grid.PositionToCell(0, false), (GridCell{2, 2}));
  EXPECT_EQ(grid.PositionToCell(0, true), (GridCell{35, 2}));
  EXPECT_EQ(grid.PositionToCell(17, false), (GridCell{4, 3}));
  EXPECT_EQ(grid.PositionToCell(-5, true), (GridCell{2, 2}));
}

TEST(GridGeometry, CellsMapBackToTheirByte) {
  for (const bool unicode : {false, true}) {
    const GridGeometry grid(unicode ? 8 : 5, unicode);
    const int step = unicode ? 2 : 1;
    for (int p = 0; p < 100; p += step) {
      for (const bool inChar : {false, true}) {
        const GridCell cell = grid.PositionToCell(p, inChar);
        EXPECT_EQ(grid.CellToPosition(cell), p) << p << " unicode " << unicode;
        EXPECT_EQ(grid.IsCharColumn(cell.Col), inChar);
        if (!inChar) {
          EXPECT_EQ(grid.CellToPosition({cell.Col + 1, cell.Row}), p) << "low nibble";
        }
      }
    }
  }
}

TEST(GridGeometry, GapColumnMapsToTheNextRowAndCellsNeverGoNegative) {
  const GridGeometry grid(16, false);
  EXPECT_EQ(grid.GapColumn(), 34);
  EXPECT_EQ(grid.CellToPosition({34, 2}), 16);
  EXPECT_EQ(grid.CellToPosition({34, 4}), 48);
  EXPECT_EQ(grid.CellToPosition({0, 2}), 0);
  EXPECT_EQ(grid.CellToPosition({2, 0}), 0);
}

TEST(GridGeometry, OtherFieldColumnSwapsFieldsForTheSameByte) {
  const GridGeometry grid(16, false);
  EXPECT_EQ(grid.OtherFieldColumn(2), 35);
  EXPECT_EQ(grid.OtherFieldColumn(3), 35) << "the low nibble belongs to the same byte";
  EXPECT_EQ(grid.OtherFieldColumn(5), 36);
  EXPECT_EQ(grid.OtherFieldColumn(36), 4);
  const GridGeometry unicode(16, true);
  EXPECT_EQ(unicode.ColumnCount(), 2 * 16 + 8 + 3);
  EXPECT_EQ(unicode.OtherFieldColumn(6), 36) << "four nibbles to a character";
  EXPECT_EQ(unicode.OtherFieldColumn(36), 6);
}

TEST(GridGeometry, DataRowsLeaveRoomForTheAppendPositionInInsertMode) {
  EXPECT_EQ(GridGeometry::DataRowCount(0, 16, false), 1);
  EXPECT_EQ(GridGeometry::DataRowCount(0, 16, true), 1);
  EXPECT_EQ(GridGeometry::DataRowCount(16, 16, false), 1);
  EXPECT_EQ(GridGeometry::DataRowCount(16, 16, true), 2);
  EXPECT_EQ(GridGeometry::DataRowCount(17, 16, true), 2);
  EXPECT_EQ(GridGeometry::DataRowCount(0x7FFFFFFF, 1, true), 0x7FFFFFFF - 2)
      << "rows and fixed rows still fit in an int";
}

TEST(GridGeometry, HighNibbleColumnsAreTheFirstOfEachByte) {
  const GridGeometry grid(4, false);
  EXPECT_TRUE(grid.IsHighNibbleColumn(2));
  EXPECT_FALSE(grid.IsHighNibbleColumn(3));
  EXPECT_TRUE(grid.IsHighNibbleColumn(8));
  EXPECT_FALSE(grid.IsHighNibbleColumn(grid.FirstCharColumn()));
}

// A 2 GiB buffer at one byte per row numbers rows up to the largest int; a caller may name any
// cell. Nothing overflows (the sanitizer build checks), and the answers stay meaningful.
TEST(GridGeometry, EdgeRowsColumnsAndPositionsStayInRange) {
  constexpr int kEdges[] = {INT32_MIN, INT32_MIN + 1, -3, -1, 0, 1, 2, 3, INT32_MAX - 1, INT32_MAX};
  for (const int bytesPerRow : {1, 2, 255, 256}) {
    for (const bool unicode : {false, true}) {
      if (unicode && bytesPerRow % 2 != 0) continue;
      const GridGeometry grid(bytesPerRow, unicode);
      for (const int col : kEdges) {
        for (const int row : kEdges) {
          const std::int64_t position = grid.CellToPosition({col, row});
          EXPECT_GE(position, 0);
          grid.IsHighNibbleColumn(col);
        }
        const int other = grid.OtherFieldColumn(col);
        if (col >= grid.FirstHexColumn() && col < grid.ColumnCount() && col != grid.GapColumn()) {
          EXPECT_GE(other, grid.FirstHexColumn());
          EXPECT_LT(other, grid.ColumnCount());
        }
      }
      for (const std::int64_t position :
           {std::int64_t{0}, std::int64_t{INT32_MAX} - 1, std::int64_t{INT32_MAX},
            std::int64_t{INT32_MAX} + 1, INT64_MAX}) {
        for (const bool inChar : {false, true}) {
          const GridCell cell = grid.PositionToCell(position, inChar);
          EXPECT_GE(cell.Row, GridGeometry::kFixedRows);
          EXPECT_GE(cell.Col, grid.FirstHexColumn());
          EXPECT_LT(cell.Col, grid.ColumnCount());
        }
      }
    }
  }
  const GridGeometry oneByteRows(1, false);
  EXPECT_EQ(oneByteRows.RowOfPosition(INT32_MAX - 3), INT32_MAX - 1);
  EXPECT_EQ(oneByteRows.RowOfPosition(INT32_MAX - 2), INT32_MAX);
  EXPECT_EQ(oneByteRows.RowOfPosition(INT32_MAX), INT32_MAX)
      << "held at the last row an int numbers";
  EXPECT_EQ(oneByteRows.CellToPosition({2, INT32_MAX}), std::int64_t{INT32_MAX} - 2);
  EXPECT_EQ(GridGeometry(256, false).CellToPosition({513, INT32_MAX}),
            (std::int64_t{INT32_MAX} - 2) * 256 + 255)
      << "positions of far rows are worked out in 64 bits";
}

}  // namespace
}  // namespace kestrave::hex
