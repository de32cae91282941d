#include "hexeditor/layout/GridLayout.h"

#include <gtest/gtest.h>

namespace kestrave::hex {
namespace {

// Eight bytes a row in columns of two and blocks of four, with 10-pixel characters.
GridLayout EightBytesInBlocksOfFour() {
  GridLayout layout;
  layout.SetBytesPerRow(8);
  layout.SetBytesPerColumn(2);
  layout.SetBytesPerBlock(4);
  layout.Count(100, false);
  layout.Measure(10, 16);
  return layout;
}

TEST(GridLayout, ColumnsAndBlocksEndWithAGapOfOneCharacter) {
  const GridLayout layout = EightBytesInBlocksOfFour();
  const GridGeometry geometry = layout.Geometry();
  ASSERT_EQ(layout.ColCount(), geometry.ColumnCount());
  EXPECT_EQ(layout.ColWidth(1), 6) << "the gap after the gutter";
  EXPECT_EQ(layout.ColWidth(2), 10) << "high nibble of byte 0";
  EXPECT_EQ(layout.ColWidth(5), 20) << "low nibble of byte 1 ends a column";
  EXPECT_EQ(layout.ColWidth(9), 30) << "low nibble of byte 3 ends a column and a block";
  EXPECT_EQ(layout.ColWidth(geometry.LastNibbleColumn()), 20);
  EXPECT_EQ(layout.ColWidth(geometry.FirstCharColumn()), 11);
  EXPECT_EQ(layout.ColWidth(geometry.FirstCharColumn() + 3), 21) << "a block ends in the chars";
  EXPECT_EQ(layout.ColWidth(layout.ColCount() - 1), 21) << "the last column leaves a margin";
  EXPECT_EQ(layout.RowCount(), 13 + GridGeometry::kFixedRows);
  EXPECT_EQ(layout.RowHeight(0), 0) << "no ruler";
  EXPECT_EQ(layout.RowHeight(5), 16);
}

TEST(GridLayout, TheRulerRowAndTheGutterFollowTheirSettings) {
  GridLayout layout = EightBytesInBlocksOfFour();
  layout.SetShowRuler(true);
  layout.SetSeparateBlocksInCharField(false);
  layout.Measure(10, 16);
  EXPECT_EQ(layout.RowHeight(0), 19);
  EXPECT_EQ(layout.ColWidth(layout.Geometry().FirstCharColumn() + 3), 11);
  layout.SetGutterPixels(77);
  EXPECT_EQ(layout.Sizes().FixedColumnsWidth(), 77 + 6);
  EXPECT_EQ(layout.Sizes().FixedRowsHeight(), 19);
}

TEST(GridLayout, AnUnmeasuredGridHasNoColumnsToSize) {
  GridLayout layout;
  EXPECT_FALSE(layout.LaidOut());
  layout.SetGutterPixels(40);
  EXPECT_EQ(layout.GutterPixels(), 0);
  EXPECT_EQ(layout.RulerUnit(), 1) << "the ruler counts in the byte unit while it is -1";
  layout.SetRulerBytesPerUnit(4);
  EXPECT_EQ(layout.RulerUnit(), 4);
}

}  // namespace
}  // namespace kestrave::hex
