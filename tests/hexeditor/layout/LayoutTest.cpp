#include <gtest/gtest.h>

#include "support/Fakes.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

// A face whose "w" is 9 pixels wide and whose lines are 15 high.
using kestrave::test::NinePixelMetrics;

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

// Every refused setter leaves everything as it was.
struct LayoutState {
  int bytesPerRow, bytesPerColumn, bytesPerUnit, rulerUnit, colCount, rowCount;
  bool unicode;
  THexTranslationKind translation;
  GridCell cursor;
  bool operator==(const LayoutState&) const = default;
};

LayoutState LayoutOf(const TCustomHexEditor& e) {
  return {e.BytesPerRow(),       e.BytesPerColumn(), e.BytesPerUnit(),
          e.RulerBytesPerUnit(), e.ColCount(),       e.RowCount(),
          e.UnicodeChars(),      e.Translation(),    e.CursorCell()};
}

class LayoutSetters : public EditorTest {
 protected:
  template <typename F>
  void ExpectRefused(F&& call, const std::string& message) {
    const LayoutState before = LayoutOf(editor);
    ExpectError<EHexEditor>(call, message);
    EXPECT_TRUE(LayoutOf(editor) == before) << message;
  }
};

TEST_F(LayoutSetters, RowAndColumnSizesAreChecked) {
  LoadSize(64);
  ExpectRefused([&] { editor.SetBytesPerRow(0); }, "Invalid bytes per line argument");
  ExpectRefused([&] { editor.SetBytesPerRow(257); }, "Invalid bytes per line argument");
  ExpectRefused([&] { editor.SetBytesPerColumn(0); }, "Invalid bytes per column argument");
  editor.SetBytesPerRow(255);
  EXPECT_EQ(editor.ColCount(), 3 * 255 + 3);
  editor.SetBytesPerRow(16);
  editor.SetUnicodeChars(true);
  ExpectRefused([&] { editor.SetBytesPerRow(255); }, "Invalid bytes per line argument");
  ExpectRefused([&] { editor.SetBytesPerColumn(3); }, "Invalid bytes per column argument");
}

TEST_F(LayoutSetters, UnitsAreChecked) {
  LoadSize(8);
  ExpectRefused([&] { editor.SetBytesPerUnit(3); },
                "Invalid bytes per unit value 3, allowed: 1,2,4,8");
  ExpectRefused([&] { editor.SetRulerBytesPerUnit(0); },
                "Invalid ruler bytes per unit value 0, allowed: -1,1,2,4,8");
  editor.SetRulerBytesPerUnit(4);
  EXPECT_EQ(editor.RulerUnit(), 4);
  editor.SetRulerBytesPerUnit(-1);
  EXPECT_EQ(editor.RulerUnit(), 1);
  editor.SetUnicodeChars(true);
  ExpectRefused([&] { editor.SetBytesPerUnit(4); },
                "BytesPerUnit must be set to 2 in unicode mode");
  editor.SetRulerNumberBase(1);
  EXPECT_EQ(editor.RulerNumberBase(), 16);
  editor.SetRulerNumberBase(8);
  EXPECT_EQ(editor.RulerNumberBase(), 8);
  editor.SetRulerNumberBase(20);
  EXPECT_EQ(editor.RulerNumberBase(), 16);
}

TEST_F(LayoutSetters, UnicodeModeNeedsEvenSizesAndResetsTheUnit) {
  LoadSize(7);
  ExpectRefused([&] { editor.SetUnicodeChars(true); },
                "Cannot use unicode mode with odd-sized files");
  editor.SetBytesPerRow(15);
  LoadSize(8);
  ExpectRefused([&] { editor.SetUnicodeChars(true); }, "Invalid bytes per line argument");
  editor.SetBytesPerRow(16);
  editor.SetTranslation(tkMac);
  editor.SetBytesPerUnit(8);
  editor.SetUnicodeChars(true);
  EXPECT_EQ(editor.BytesPerUnit(), 2);
  EXPECT_EQ(editor.Translation(), tkAsIs);
  EXPECT_EQ(editor.ColCount(), 2 * 16 + 8 + 3);
  EXPECT_EQ(editor.CharRulerText(), "01234567");
  editor.SetUnicodeChars(false);
  EXPECT_EQ(editor.BytesPerUnit(), 1) << "not the 8 from before";
}

TEST_F(LayoutSetters, ANewRowSizeKeepsCaretFieldDigitAndSelection) {
  LoadSize(100);
  editor.SetSelectionStart(37);
  editor.MoveCursorToCell({editor.CursorCell().Col + 1, editor.CursorCell().Row});
  editor.SetSelection(30, 40);
  editor.SetBytesPerRow(8);
  EXPECT_EQ(editor.CursorCell(), (GridCell{2 + 2 * 5 + 1, 2 + 4})) << "byte 37, low nibble";
  EXPECT_EQ(editor.SelectionLow(), 30);
  EXPECT_EQ(editor.SelectionHigh(), 40);
  EXPECT_EQ(editor.HexRulerText(), "0001020304050607");
  EXPECT_EQ(editor.RowCount(), 13 + 2);
}

TEST_F(LayoutSetters, BlocksAndTheRulerWidenTheirColumns) {
  const NinePixelMetrics metrics;
  editor.SetTextMetrics(metrics);
  editor.SetBytesPerBlock(4);
  EXPECT_EQ(editor.ColWidth(2 + 7), 27) << "end of a column group and of a block";
  EXPECT_EQ(editor.ColWidth(2 + 3), 18) << "end of a column group only";
  EXPECT_EQ(editor.ColWidth(35 + 3), 19) << "block end in the character field";
  editor.SetSeparateBlocksInCharField(false);
  editor.SetBytesPerBlock(-1);
  editor.SetBytesPerBlock(4);
  EXPECT_EQ(editor.ColWidth(35 + 3), 10);
  editor.SetShowRuler(true);
  EXPECT_EQ(editor.RowHeight(0), 17 + 3);
  editor.SetRulerBytesPerUnit(4);
  EXPECT_EQ(editor.ColWidth(35 + 3), (3 * 9) / 2 + 1) << "the end of a ruler unit";
}

TEST_F(LayoutSetters, OnlyAStripOf200By10IsABookmarkBitmap) {
  const THexBitmap ours = editor.BookmarkBitmap();
  EXPECT_EQ(ours.Width, 200);
  EXPECT_EQ(ours.Height, 10);
  EXPECT_FALSE(editor.HasCustomBookmarkBitmap());
  THexBitmap turned{10, 200, std::vector<std::uint32_t>(2000, 0)};
  ExpectError<EHexEditor>([&] { editor.SetBookmarkBitmap(turned); },
                          "Invalid bookmark bitmap (must be 10 x 200 px)");
  EXPECT_EQ(editor.BookmarkBitmap(), ours);
  THexBitmap strip{200, 10, std::vector<std::uint32_t>(2000, 0x123456)};
  strip.Pixels[15] = 0xABCDEF;
  editor.SetBookmarkBitmap(strip);
  EXPECT_TRUE(editor.HasCustomBookmarkBitmap());
  EXPECT_EQ(editor.BookmarkImages()[1].Picture.At(5, 0), 0xABCDEFu) << "image 1 from x 10";
  EXPECT_EQ(editor.BookmarkImages()[1].Transparent, 0x123456u) << "the top-left colour";
  editor.SetBookmarkBitmap({});
  EXPECT_EQ(editor.BookmarkBitmap(), ours) << "nothing brings our own back";
  EXPECT_FALSE(editor.HasCustomBookmarkBitmap());
}

TEST(BookmarkIcons, OurStripHasTwentyDistinctImagesOnATransparentGround) {
  const auto images = CutBookmarkImages(DefaultBookmarkIcons());
  for (std::size_t a = 0; a < images.size(); ++a) {
    EXPECT_EQ(images[a].Picture.At(0, 0), images[a].Transparent);
    for (std::size_t b = a + 1; b < images.size(); ++b)
      EXPECT_FALSE(images[a].Picture == images[b].Picture) << a << " and " << b;
  }
}

}  // namespace
}  // namespace kestrave::hex::test
