#include "hexeditor/GridGeometry.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kestrave::hex
