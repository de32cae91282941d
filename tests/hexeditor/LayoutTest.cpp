#include <gtest/gtest.h>

#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

// A face whose "w" is 9 pixels wide and whose lines are 15 high.
class NinePixelMetrics : public platform::ITextMetrics {
 public:
  int TextWidth(const platform::FontSpec&, std::string_view text) const override {
    return 9 * static_cast<int>(text.size());
  }
  int TextHeight(const platform::FontSpec&, std::string_view) const override { return 15; }
};

class Layout : public EditorTest {};

TEST_F(Layout, ANewInstanceHasOneEmptyDataRow) {
  EXPECT_EQ(editor.RowCount(), 3);
  EXPECT_EQ(editor.ColCount(), 51);
  EXPECT_EQ(editor.CursorCell(), (GridCell{2, 2}));
}

TEST_F(Layout, RowsFollowTheDataSize) {
  LoadSize(16);
  EXPECT_EQ(editor.RowCount(), 3);
  LoadSize(17);
  EXPECT_EQ(editor.RowCount(), 4);
  LoadSize(1000);
  EXPECT_EQ(editor.RowCount(), 63 + 2);
}

TEST_F(Layout, ColumnWidthsGroupNibblesAndCloseTheRow) {
  const NinePixelMetrics metrics;
  editor.SetTextMetrics(metrics);
  EXPECT_EQ(editor.CharWidth(), 9);
  EXPECT_EQ(editor.DefaultRowHeight(), 17);
  EXPECT_EQ(editor.ColWidth(1), 6);
  for (int group = 0; group < 8; ++group) {
    const int first = 2 + 4 * group;
    EXPECT_EQ(editor.ColWidth(first), 9);
    EXPECT_EQ(editor.ColWidth(first + 1), 9);
    EXPECT_EQ(editor.ColWidth(first + 2), 9);
    EXPECT_EQ(editor.ColWidth(first + 3), 18) << "the end of each two-byte column";
  }
  EXPECT_EQ(editor.ColWidth(34), 9) << "the gap column";
  for (int col = 35; col < 50; ++col)
    EXPECT_EQ(editor.ColWidth(col), 10);
  EXPECT_EQ(editor.ColWidth(50), 19);
  EXPECT_EQ(editor.RowHeight(0), 0) << "no ruler";
  EXPECT_EQ(editor.RowHeight(1), 0);
  EXPECT_EQ(editor.RowHeight(2), 17);
}

TEST_F(Layout, AShrinkingBufferPullsTheCursorIntoTheGrid) {
  LoadSize(200);
  editor.SetSelectionStart(199);
  LoadSize(3);
  EXPECT_EQ(editor.CursorCell(), (GridCell{2, 2}));
  EXPECT_LT(editor.CursorCell().Row, editor.RowCount());
}

}  // namespace
}  // namespace kestrave::hex::test
