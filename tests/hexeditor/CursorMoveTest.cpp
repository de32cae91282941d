#include <gtest/gtest.h>

#include "hexeditor/paint/RepaintAreas.h"
#include "support/Fakes.h"
#include "support/RecordingViewHost.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

// Keys and buttons the test holds down.
using kestrave::test::HeldKeys;

class CursorMove : public EditorTest {
 protected:
  CursorMove() {
    editor.SetInputState(input);
    editor.SetViewHost(&host);
  }
  int Notifications() {
    int count = 0;
    editor.OnSelectionChanged = [&](TCustomHexEditor&) { ++count; };
    queue.Pump();
    editor.OnSelectionChanged = nullptr;
    return count;
  }

  // The cells the window draws again for the caret's last move.
  std::vector<GridCell> CaretMoveCells() const {
    if (host.carets.empty()) return {};
    return RepaintAreas(editor)
        .OfCaretMove(host.carets.back().first, host.carets.back().second)
        .Cells;
  }
  // The rows the window draws again for the selection changes it heard, which it forgets.
  std::vector<RowSpan> SelectionRows() {
    std::vector<RowSpan> rows;
    for (const auto& [old, now] : host.selections)
      for (const RowSpan span : RepaintAreas(editor).OfSelectionChange(old, now).Rows)
        rows.push_back(span);
    host.selections.clear();
    return rows;
  }

  HeldKeys input;
  kestrave::test::RecordingViewHost host;
};

TEST_F(CursorMove, FixedCellsAndCellsOutsideTheGridAreRefused) {
  LoadSize(40);
  const GridCell start = editor.CursorCell();
  EXPECT_FALSE(editor.MoveCursorToCell({1, 2}));
  EXPECT_FALSE(editor.MoveCursorToCell({5, 1}));
  EXPECT_FALSE(editor.MoveCursorToCell({editor.ColCount(), 2}));
  EXPECT_FALSE(editor.MoveCursorToCell({2, editor.RowCount()}));
  EXPECT_EQ(editor.CursorCell(), start);
}

TEST_F(CursorMove, APositionPastTheDataGoesToTheLastByteInTheCurrentField) {
  LoadSize(20);
  editor.SetSelectionStart(2);
  EXPECT_FALSE(editor.MoveCursorToCell({2 + 2 * 10, 3}));
  EXPECT_EQ(editor.CursorPosition(), 19);
  EXPECT_EQ(editor.CursorCell(), (GridCell{8, 3}));
  editor.SetInCharField(true);
  EXPECT_FALSE(editor.MoveCursorToCell({45, 3}));
  EXPECT_TRUE(editor.InCharField());
  EXPECT_EQ(editor.CursorPosition(), 19);
}

TEST_F(CursorMove, TheGapColumnNeverHoldsTheCursor) {
  LoadSize(40);
  editor.SetSelectionStart(3);
  EXPECT_FALSE(editor.MoveCursorToCell({34, 2}));
  EXPECT_EQ(editor.CursorPosition(), 3);
  input.left = true;
  EXPECT_FALSE(editor.MoveCursorToCell({34, 2}));
  EXPECT_EQ(editor.CursorCell(), (GridCell{33, 2})) << "the mouse lands just left of it";
}

TEST_F(CursorMove, AnAcceptedMoveTellsWhereTheCaretWentAndRepaintsBothCellsAndTheirOffsets) {
  LoadSize(40);
  host.carets.clear();
  ASSERT_TRUE(editor.MoveCursorToCell({7, 3}));
  ASSERT_EQ(host.carets.size(), 1u);
  EXPECT_EQ(host.carets[0].first, (BytePlace{0, false, false}));
  EXPECT_EQ(host.carets[0].second, (BytePlace{18, false, true}))
      << "the low nibble column is the same byte";
  EXPECT_EQ(CaretMoveCells(), (std::vector<GridCell>{{2, 2}, {7, 3}, {0, 2}, {0, 3}}));
  EXPECT_EQ(editor.CursorPosition(), 18);
  ASSERT_TRUE(editor.MoveCursorToCell({9, 3}));
  EXPECT_EQ(CaretMoveCells().size(), 2u) << "the row did not change";
  EXPECT_EQ(Notifications(), 1);
  editor.SetShowRuler(true);
  ASSERT_TRUE(editor.MoveCursorToCell(editor.PositionToCell(20, true)));
  EXPECT_EQ(CaretMoveCells(),
            (std::vector<GridCell>{{9, 3}, {39, 3}, {9, 0}, {38, 0}, {39, 0}, {10, 0}}))
      << "the ruler marks the columns of both fields";
}

TEST_F(CursorMove, AMoveClearsTheSelectionUnlessItExtends) {
  LoadSize(40);
  editor.SetSelection(2, 6);
  input.shift = true;
  ASSERT_TRUE(editor.MoveCursorToCell({20, 2}));
  EXPECT_EQ(editor.SelectionCount(), 0) << "Shift alone does not extend";
  editor.SetSelection(2, 6);
  input.shift = false;
  editor.SetExtending(true);
  ASSERT_TRUE(editor.MoveCursorToCell({22, 2}));
  EXPECT_EQ(editor.SelectionCount(), 0) << "without Shift or the mouse button it stops extending";
  EXPECT_FALSE(editor.Extending());
}

TEST_F(CursorMove, ExtendingSelectsFromTheOriginToTheCursorIncludingIt) {
  LoadSize(64);
  editor.SetSelectionStart(10);
  input.shift = true;
  editor.SetExtending(true);
  ASSERT_TRUE(editor.MoveCursorToCell(editor.PositionToCell(14, false)));
  EXPECT_EQ(editor.SelectionAnchor(), 10);
  EXPECT_EQ(editor.SelectionLow(), 10);
  EXPECT_EQ(editor.SelectionHigh(), 14);
  ASSERT_TRUE(editor.MoveCursorToCell(editor.PositionToCell(6, false)));
  EXPECT_EQ(editor.SelectionLow(), 6);
  EXPECT_EQ(editor.SelectionHigh(), 10) << "the origin stays";
  EXPECT_TRUE(editor.Extending());
}

TEST_F(CursorMove, ExtendingInUnitsKeepsTheOriginUnitWhole) {
  LoadSize(64);
  editor.SetBytesPerUnit(4);
  editor.SetSelectionStart(9);
  input.shift = true;
  editor.SetExtending(true);
  ASSERT_TRUE(editor.MoveCursorToCell(editor.PositionToCell(2, false)));
  EXPECT_EQ(editor.SelectionLow(), 0);
  EXPECT_EQ(editor.SelectionHigh(), 11) << "the origin's unit 8..11 stays in";
  EXPECT_EQ(editor.SelectionAnchor(), 11);
  ASSERT_TRUE(editor.MoveCursorToCell(editor.PositionToCell(20, false)));
  EXPECT_EQ(editor.SelectionLow(), 8);
  EXPECT_EQ(editor.SelectionHigh(), 23);
}

TEST_F(CursorMove, SelectionChangesRepaintTheRowsThatChanged) {
  LoadSize(160);
  host.selections.clear();
  editor.SetSelection(20, 40);
  EXPECT_EQ(SelectionRows(), (std::vector<RowSpan>{{3, 4}}));
  editor.SetSelection(20, 90);
  EXPECT_EQ(SelectionRows(), (std::vector<RowSpan>{{3, 3}, {4, 7}}));
  editor.ResetSelection(true);
  EXPECT_EQ(SelectionRows(), (std::vector<RowSpan>{{3, 7}}));
  editor.ResetSelection(true);
  EXPECT_TRUE(SelectionRows().empty()) << "nothing was selected";
}

TEST_F(CursorMove, AnEmptyBufferOnlyPlacesTheCaretOnItsFirstCells) {
  editor.CreateEmptyFile("");
  queue.Pump();
  EXPECT_FALSE(editor.MoveCursorToCell({4, 2}));
  EXPECT_FALSE(editor.MoveCursorToCell({2, 3}));
  host.carets.clear();
  EXPECT_TRUE(editor.MoveCursorToCell({35, 2}));
  EXPECT_TRUE(host.carets.empty()) << "no repainting";
  EXPECT_EQ(Notifications(), 0) << "and no notification";
  EXPECT_EQ(editor.CursorCell(), (GridCell{35, 2}));
  EXPECT_FALSE(editor.InCharField()) << "an empty buffer reads as the hex field";
}

}  // namespace
}  // namespace kestrave::hex::test
