#include "hexeditor/layout/GridViewport.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrave::hex {
namespace {

// A gutter of 40 pixels, a gap of 9, then 20 columns of 9 or 18 pixels; rows of 15 below a
// ruler of 15 and a gap row of 4; 100 rows.
class Viewport : public ::testing::Test {
 protected:
  Viewport() {
    widths = {40, 9};
    for (int i = 0; i < 20; ++i)
      widths.push_back(i % 4 == 3 ? 18 : 9);
    sizes = {widths, 15, 4, 15, 100, static_cast<int>(widths.size())};
  }
  std::vector<int> widths;
  GridSizes sizes;
  GridViewport viewport;
};

TEST_F(Viewport, EveryShownCellIsFoundAtEachOfItsPixels) {
  viewport.SetClientSize(150, 120);
  viewport.SetTopRow(40, sizes);
  viewport.SetLeftCol(5, sizes);
  int checked = 0;
  for (int row = 0; row < sizes.RowCount; ++row) {
    for (int col = 0; col < sizes.ColCount; ++col) {
      const PaintRect rect = viewport.CellRect({col, row}, sizes);
      if (rect.Empty() || rect.Left >= 150 || rect.Top >= 120) continue;
      if (row == 1) {
        // The gap row under the ruler is no cell a point can stand for.
        EXPECT_EQ(viewport.CellAtPoint(rect.Left, rect.Top, sizes), (GridCell{-1, -1}));
        continue;
      }
      for (const int x : {rect.Left, rect.Right - 1})
        for (const int y : {rect.Top, rect.Bottom - 1}) {
          ASSERT_EQ(viewport.CellAtPoint(x, y, sizes), (GridCell{col, row}))
              << "pixel " << x << "," << y;
          ++checked;
        }
    }
  }
  EXPECT_GT(checked, 100);
  EXPECT_EQ(viewport.CellRect({4, 40}, sizes), PaintRect{}) << "scrolled out to the left";
  EXPECT_EQ(viewport.CellRect({6, 39}, sizes), PaintRect{}) << "scrolled out above";
}

TEST_F(Viewport, TheTopRowAndLeftColumnStayWhereTheGridStillFillsTheClient) {
  viewport.SetClientSize(150, 120);
  // 120 - 19 pixels of fixed rows leave room for 6 rows of 15.
  EXPECT_EQ(viewport.VisibleRowCount(sizes), 6);
  EXPECT_TRUE(viewport.SetTopRow(1000, sizes));
  EXPECT_EQ(viewport.TopRow(), 94);
  EXPECT_FALSE(viewport.SetTopRow(94, sizes));
  EXPECT_TRUE(viewport.SetTopRow(-5, sizes));
  EXPECT_EQ(viewport.TopRow(), GridGeometry::kFixedRows);
  // 101 pixels for columns: from the last one back, 18 9 9 9 18 9 9 9 fill 90 of them.
  EXPECT_TRUE(viewport.SetLeftCol(1000, sizes));
  EXPECT_EQ(viewport.LeftCol(), sizes.ColCount - 8);
  EXPECT_EQ(viewport.VisibleColCount(sizes), 8);
  viewport.SetClientSize(1 << 30, 1 << 30);
  EXPECT_EQ(viewport.ClientWidth(), 1 << 24) << "held at a bound no screen reaches";
  EXPECT_EQ(viewport.MaxTopRow(sizes), GridGeometry::kFixedRows);
}

}  // namespace
}  // namespace kestrave::hex
