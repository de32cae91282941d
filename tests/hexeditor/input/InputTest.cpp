#include <gtest/gtest.h>

#include "hexeditor/input/HexInput.h"
#include "hexeditor/input/KeyHandlers.h"
#include "platform/ole/Clipboard.h"
#include "support/Fakes.h"
#include "support/RecordingViewHost.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

using kestrave::test::HeldKeys;
using kestrave::test::NinePixelMetrics;

class Input : public EditorTest {
 protected:
  Input() {
    editor.SetInputState(held);
    editor.SetTextMetrics(metrics);
    editor.SetClientSize(900, 17 * 10);
  }
  void Type(std::string_view text) {
    for (const char c : text)
      editor.KeyPress(static_cast<std::uint8_t>(c));
  }
  void Key(int key, TShiftState shift = 0) {
    held.shift = shift & ssShift;
    editor.KeyDown(key, shift);
    held.shift = false;
  }
  std::vector<std::uint8_t> Head(int count) const {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    editor.ReadBlock(bytes.data(), 0, count);
    return bytes;
  }
  // The middle of a cell, in client pixels.
  std::pair<int, int> Centre(GridCell cell, int dx = 2) const {
    const PaintRect r = editor.CellRect(cell);
    return {r.Left + dx, r.Top + r.Height() / 2};
  }

  HeldKeys held;
  NinePixelMetrics metrics;
};

TEST_F(Input, OverwriteTypingReplacesNibblesAndMovesOn) {
  LoadBytes({0x12, 0x34});
  Type("A");
  EXPECT_EQ(Head(2), (std::vector<std::uint8_t>{0xA2, 0x34}));
  EXPECT_EQ(editor.CursorCell(), (GridCell{3, 2})) << "on the low nibble";
  Type("B");
  EXPECT_EQ(Head(2), (std::vector<std::uint8_t>{0xAB, 0x34}));
  EXPECT_EQ(editor.CursorCell(), (GridCell{4, 2})) << "on the next byte";
  EXPECT_TRUE(editor.IsChanged(0));
  Key(vkEnd);
  Key(vkRight);
  Type("FF");
  EXPECT_EQ(editor.DataSize(), 2) << "overwrite mode never types past the end";
}

// Help > Keys says how far Left and Right go; pressed, they go just that far, in either field,
// with Shift (which selects by units, not nibbles) and without, for units of one and two bytes.
TEST_F(Input, TheKeyHelpSaysHowFarLeftAndRightGo) {
  const struct {
    int key;
    TShiftState shift;
    bool inChars;
    int unit;
    int nibbles;  // how far the caret goes, in nibbles of the hex field or characters
    const char* says;
  } cases[] = {
      {vkRight, 0, false, 1, 1, "one nibble right in the hex field"},
      {vkLeft, 0, false, 1, -1, "one nibble left in the hex field"},
      {vkRight, 0, true, 1, 2, "one character in the characters"},
      {vkRight, ssShift, false, 1, 2, "one unit (a byte unless the units are larger) right"},
      {vkLeft, ssShift, false, 1, -2, "one unit (a byte unless the units are larger) left"},
      {vkRight, ssShift, true, 1, 2, "one unit (a byte unless the units are larger) right"},
      {vkRight, ssShift, false, 2, 4, "one unit (a byte unless the units are larger) right"},
      {vkLeft, ssShift, true, 2, -4, "one unit (a byte unless the units are larger) left"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(KeyName(c.key, c.shift) + (c.inChars ? " in the characters" : " in hex") +
                 ", unit " + std::to_string(c.unit));
    LoadSize(64);
    editor.SetBytesPerUnit(c.unit);
    editor.MoveCursorToCell(editor.PositionToCell(20, c.inChars));
    const GridCell start = editor.CursorCell();
    if (c.shift & ssShift) Key(vkShift, ssShift);
    Key(c.key, c.shift);
    const GridCell end = editor.CursorCell();
    // A nibble is a column of the hex field; a character column stands for a byte, two nibbles.
    const int moved = c.inChars ? 2 * (end.Col - start.Col) : end.Col - start.Col;
    EXPECT_EQ(end.Row, start.Row);
    EXPECT_EQ(moved, c.nibbles);
    const std::string effect = KeyEffect(c.key, c.shift);
    EXPECT_NE(effect.find(c.says), std::string::npos) << effect;
    if (c.shift & ssShift) {
      EXPECT_EQ(effect.find("nibble"), std::string::npos) << effect;
    }
  }
}

TEST_F(Input, InsertModeTypingInsertsANewByteAtAUnitStart) {
  LoadBytes({0x12});
  Key(vkInsert);
  ASSERT_TRUE(editor.InsertMode());
  Type("41");
  EXPECT_EQ(Head(2), (std::vector<std::uint8_t>{0x41, 0x12}));
}

TEST_F(Input, UnitsOfFourAreInsertedWholeFromTheCharacterField) {
  LoadBytes({0x01, 0x02, 0x03, 0x04});
  editor.SetBytesPerUnit(4);
  editor.SetInsertMode(true);
  editor.SetInCharField(true);
  Type("A");
  EXPECT_EQ(Head(8), (std::vector<std::uint8_t>{0x41, 0, 0, 0, 1, 2, 3, 4}));
}

TEST_F(Input, WrongCharactersAreInvalidKeysAndChangeNothing) {
  LoadBytes({0x12, 0x34});
  int invalid = 0;
  editor.OnInvalidKey = [&](TCustomHexEditor&) { ++invalid; };
  const EditorState before = StateOf(editor);
  Type("G");
  EXPECT_EQ(invalid, 1);
  EXPECT_EQ(StateOf(editor), before);
  editor.SetTranslation(tkASCII);
  editor.SetInCharField(true);
  editor.KeyPress(0xC0);
  EXPECT_EQ(invalid, 2) << "no 7-bit character for it";
}

TEST_F(Input, AReadOnlyViewMovesButDoesNotChange) {
  LoadBytes({0x12, 0x34, 0x56});
  editor.SetReadOnlyView(true);
  Type("AB");
  Key(vkDelete, ssCtrl);
  Key(vkRight);
  Key(vkRight);
  EXPECT_EQ(Head(3), (std::vector<std::uint8_t>{0x12, 0x34, 0x56}));
  EXPECT_EQ(editor.CursorPosition(), 1);
}

TEST_F(Input, DeleteNeedsCtrlInOverwriteMode) {
  LoadBytes({1, 2, 3, 4});
  Key(vkDelete);
  EXPECT_EQ(editor.DataSize(), 4);
  Key(vkDelete, ssCtrl);
  EXPECT_EQ(Head(3), (std::vector<std::uint8_t>{2, 3, 4}));
  editor.SetNoSizeChange(true);
  EXPECT_THROW(Key(vkDelete, ssCtrl), EHexEditor) << "the size rules still apply";
  EXPECT_EQ(editor.DataSize(), 3);
}

TEST_F(Input, BackspaceInInsertModeRemovesTheByteBefore) {
  LoadBytes({1, 2, 3});
  editor.SetInsertMode(true);
  editor.SetSelectionStart(2);
  Key(vkBack);
  EXPECT_EQ(Head(2), (std::vector<std::uint8_t>{1, 3}));
  EXPECT_EQ(editor.CursorPosition(), 1);
}

TEST_F(Input, BookmarksWithCtrlShiftDigitAndCtrlDigit) {
  LoadSize(64);
  editor.SetSelectionStart(20);
  Key('3', ssCtrl | ssShift);
  EXPECT_EQ(editor.Bookmark(3).Position, 20);
  editor.SetSelectionStart(5);
  Key('3', ssCtrl);
  EXPECT_EQ(editor.CursorPosition(), 20);
  Key('3', ssCtrl | ssShift);
  EXPECT_EQ(editor.Bookmark(3).Position, -1) << "the same place again clears it";
}

TEST_F(Input, SwappedNibblesEditTheLowNibbleOnTheLeft) {
  LoadBytes({0x12});
  editor.SetSwapNibbles(true);
  Type("7");
  EXPECT_EQ(Head(1), std::vector<std::uint8_t>{0x17});
}

TEST_F(Input, ArrowsMoveByNibblesAndShiftExtendsByUnits) {
  LoadSize(64);
  Key(vkRight);
  EXPECT_EQ(editor.CursorCell(), (GridCell{3, 2}));
  Key(vkRight);
  EXPECT_EQ(editor.CursorPosition(), 1);
  Key(vkLeft);
  EXPECT_EQ(editor.CursorCell(), (GridCell{3, 2})) << "back onto byte 0's low nibble";
  Key(vkShift, ssShift);
  Key(vkRight, ssShift);
  Key(vkRight, ssShift);
  EXPECT_EQ(editor.SelectionLow(), 0);
  EXPECT_EQ(editor.SelectionHigh(), 2);
  Key(vkRight);
  EXPECT_EQ(editor.SelectionCount(), 0) << "a plain key ends the selection";
  Key(vkTab);
  EXPECT_TRUE(editor.InCharField());
  Key('T', ssCtrl);
  EXPECT_FALSE(editor.InCharField());
}

TEST_F(Input, HomeEndAndPagesMoveAndScroll) {
  LoadSize(16 * 100);
  ASSERT_EQ(editor.VisibleRowCount(), 10);
  Key(vkEnd);
  EXPECT_EQ(editor.CursorPosition(), 15);
  EXPECT_EQ(editor.CursorCell().Col, 2 + 2 * 15 + 1) << "the last byte's low nibble";
  Key(vkNext);
  EXPECT_EQ(editor.CursorCell().Row, 2 + 9);
  EXPECT_EQ(editor.TopRow(), 2 + 9);
  Key(vkEnd, ssCtrl);
  EXPECT_EQ(editor.CursorPosition(), 1599);
  EXPECT_EQ(editor.TopRow(), editor.RowCount() - 10) << "scrolled into view";
  Key(vkHome, ssCtrl);
  EXPECT_EQ(editor.CursorPosition(), 0);
  EXPECT_EQ(editor.TopRow(), 2);
  Key(vkDown);
  Key(vkPrior);
  EXPECT_EQ(editor.CursorCell().Row, 2);
}

TEST_F(Input, ShortcutsCopyPasteUndoAndRedo) {
  platform::ole::ProcessClipboard().EmptyClipboard();
  LoadBytes({1, 2, 3, 4});
  editor.SetSelection(1, 2);
  Key('C', ssCtrl);
  editor.SetSelectionStart(0);
  editor.SetInsertMode(true);
  Key('V', ssCtrl);
  EXPECT_EQ(Head(6), (std::vector<std::uint8_t>{2, 3, 1, 2, 3, 4}));
  Key('Z', ssCtrl);
  EXPECT_EQ(editor.DataSize(), 4);
  Key('Z', ssCtrl | ssShift);
  EXPECT_EQ(editor.DataSize(), 6);
  Key('A', ssCtrl);
  EXPECT_EQ(editor.SelectionCount(), 6);
  platform::ole::ProcessClipboard().EmptyClipboard();
}

TEST_F(Input, TheWheelZoomsWithinItsLimitsAndElsePages) {
  LoadSize(16 * 100);
  EXPECT_TRUE(editor.MouseWheel(false, ssCtrl));
  EXPECT_EQ(editor.BytesPerRow(), 17);
  EXPECT_TRUE(editor.MouseWheel(true, ssCtrl));
  EXPECT_EQ(editor.BytesPerRow(), 16);
  editor.SetBytesPerRow(256);
  EXPECT_FALSE(editor.MouseWheel(false, ssCtrl)) << "at 256 the grid's own handling applies";
  EXPECT_EQ(editor.BytesPerRow(), 256);
  editor.SetBytesPerRow(16);
  const int height = editor.Font().Height;
  EXPECT_TRUE(editor.MouseWheel(false, ssCtrl | ssShift));
  EXPECT_GT(editor.Font().Height, height);
  platform::FontDescription tiny = editor.Font();
  tiny.SetSize(3);
  editor.SetFont(tiny);
  EXPECT_TRUE(editor.MouseWheel(true, ssCtrl | ssShift)) << "3 points still shrink";
  EXPECT_EQ(editor.Font().Size(), 2);
  EXPECT_FALSE(editor.MouseWheel(true, ssCtrl | ssShift)) << "below 3 the wheel scrolls instead";
  EXPECT_EQ(editor.Font().Size(), 2);
  editor.SetFont(platform::FontDescription{"Courier New", 15});
  EXPECT_TRUE(editor.MouseWheel(true, 0));
  EXPECT_EQ(editor.TopRow(), 2 + editor.VisibleRowCount() - 1);
  editor.SetZoomOnWheel(false);
  EXPECT_FALSE(editor.MouseWheel(false, ssCtrl));
}

TEST_F(Input, ClickingAndDraggingSelect) {
  LoadSize(64);
  auto [x, y] = Centre({2 + 2 * 3, 2});
  held.left = true;
  editor.MouseDown(TMouseButton::Left, ssLeft, x, y);
  EXPECT_EQ(editor.CursorPosition(), 3);
  auto [x2, y2] = Centre({2 + 2 * 6, 3});
  editor.MouseMove(ssLeft, x2, y2);
  held.left = false;
  editor.MouseUp(TMouseButton::Left, 0, x2, y2);
  EXPECT_EQ(editor.SelectionLow(), 3);
  EXPECT_EQ(editor.SelectionHigh(), 22);
  // A click inside the selection, let go without moving, puts the cursor there.
  auto [x3, y3] = Centre({2 + 2 * 10, 2});
  held.left = true;
  editor.MouseDown(TMouseButton::Left, ssLeft, x3, y3);
  held.left = false;
  EXPECT_EQ(editor.SelectionCount(), 20) << "kept while the button is down";
  editor.MouseUp(TMouseButton::Left, 0, x3, y3);
  EXPECT_EQ(editor.SelectionCount(), 0);
  EXPECT_EQ(editor.CursorPosition(), 10);
  editor.DoubleClick(x3, y3);
  EXPECT_EQ(editor.SelectionLow(), 10);
  EXPECT_EQ(editor.SelectionHigh(), 10);
}

TEST_F(Input, InsertModeClicksGoToTheNearestGap) {
  LoadSize(64);
  editor.SetInsertMode(true);
  const PaintRect high = editor.CellRect({2 + 2 * 4, 2});
  EXPECT_EQ(MouseCell(editor, high.Left + 1, high.Top + 3), (GridCell{2 + 2 * 4, 2}));
  EXPECT_EQ(MouseCell(editor, high.Left + 6, high.Top + 3), (GridCell{2 + 2 * 4 + 1, 2}))
      << "the right half of a cell stands for the gap after it";
  EXPECT_FALSE(OverFixedArea(editor, high.Left, high.Top));
  EXPECT_TRUE(OverFixedArea(editor, 3, high.Top));
}

// --- Auto-scroll ------------------------------------------------------------------------------

class AutoScroll : public Input {
 protected:
  AutoScroll() { editor.SetViewHost(&host); }
  ~AutoScroll() override { editor.SetViewHost(nullptr); }

  // Presses the left button on a byte's first hex digit and keeps it down.
  void PressOn(int position) {
    const auto [x, y] = Centre(editor.PositionToCell(position, false));
    held.left = true;
    editor.MouseDown(TMouseButton::Left, ssLeft, x, y);
  }
  void HoldAt(int x, int y) { editor.MouseMove(ssLeft, x, y); }
  void Release(int x, int y) {
    held.left = false;
    editor.MouseUp(TMouseButton::Left, 0, x, y);
  }
  // A point on the first hex digit of a row's byte, as an x coordinate.
  int XOf(int byteInRow) const {
    return Centre({editor.PositionToCell(byteInRow, false).Col, editor.TopRow()}).first;
  }
  int LastVisibleRow() const { return editor.TopRow() + editor.VisibleRowCount() - 1; }
  int PositionAt(GridCell cell) const { return static_cast<int>(editor.CellToPosition(cell)); }

  // Its auto-scroll timer runs when the test ticks it.
  kestrave::test::RecordingViewHost host;
};

TEST_F(AutoScroll, AButtonHeldBelowTheViewScrollsOnAndExtendsTheSelection) {
  LoadSize(16 * 100);
  PressOn(16 * 3 + 2);
  const int x = XOf(5);
  const int below = editor.ClientHeight() + 30;
  HoldAt(x, below);
  EXPECT_TRUE(host.autoScrolling);
  EXPECT_EQ(editor.TopRow(), 2) << "the move itself does not scroll";
  EXPECT_EQ(editor.CursorCell().Row, LastVisibleRow()) << "it selects up to the edge";
  for (int step = 1; step <= 3; ++step) {
    editor.AutoScrollStep();
    EXPECT_EQ(editor.TopRow(), 2 + step);
    EXPECT_EQ(editor.CursorCell().Row, LastVisibleRow());
  }
  EXPECT_EQ(editor.SelectionLow(), 16 * 3 + 2);
  EXPECT_EQ(editor.SelectionHigh(), PositionAt(editor.CursorCell()));
  EXPECT_EQ(editor.SelectionHigh() % 16, 5);

  Release(x, below);
  EXPECT_FALSE(host.autoScrolling);
  editor.AutoScrollStep();  // a tick already on its way
  EXPECT_EQ(editor.TopRow(), 5);
}

TEST_F(AutoScroll, AboveTheViewItScrollsBackAndStopsAtTheFirstRow) {
  LoadSize(16 * 100);
  editor.SetTopRow(6);
  PressOn(16 * 8);
  HoldAt(XOf(0), -20);
  EXPECT_TRUE(host.autoScrolling);
  EXPECT_EQ(editor.CursorCell().Row, 6);
  for (int top = 5; top >= 2; --top) {
    editor.AutoScrollStep();
    EXPECT_EQ(editor.TopRow(), top);
  }
  EXPECT_FALSE(host.autoScrolling) << "nothing is left above";
  EXPECT_EQ(editor.SelectionLow(), 0);
  EXPECT_EQ(editor.SelectionHigh(), 16 * 8);
}

TEST_F(AutoScroll, AtTheEdgeRowsInsideTheViewItScrollsToo) {
  LoadSize(16 * 100);
  PressOn(16 * 2);
  HoldAt(XOf(3), editor.CellRect({2, LastVisibleRow()}).Top + 2);
  EXPECT_TRUE(host.autoScrolling);
  editor.AutoScrollStep();
  EXPECT_EQ(editor.TopRow(), 3);
  // Back in the middle the timer is no longer wanted.
  HoldAt(XOf(3), editor.CellRect({2, 6}).Top + 2);
  EXPECT_FALSE(host.autoScrolling);
}

TEST_F(AutoScroll, ColumnsScrollLeftAndRightBeyondTheSides) {
  LoadSize(64 * 20);
  editor.SetBytesPerRow(64);
  ASSERT_GT(editor.MaxLeftCol(), 2) << "the row must be wider than the view";
  PressOn(64 * 2 + 1);
  const int y = Centre({2, 4}).second;
  HoldAt(editor.ClientWidth() + 15, y);
  EXPECT_TRUE(host.autoScrolling);
  editor.AutoScrollStep();
  editor.AutoScrollStep();
  EXPECT_EQ(editor.LeftCol(), 4);
  EXPECT_EQ(editor.TopRow(), 2) << "the middle row does not scroll";
  HoldAt(-15, y);
  editor.AutoScrollStep();
  EXPECT_EQ(editor.LeftCol(), 3);
  editor.AutoScrollStep();
  EXPECT_EQ(editor.LeftCol(), 2);
  EXPECT_FALSE(host.autoScrolling);
}

TEST_F(AutoScroll, TheStepRunsOnlyWhileTheMouseStandsForADataCellAndTheButtonIsDown) {
  LoadSize(16 * 100);
  PressOn(16 * 3);
  // Below the view but over the offsets: no data cell, no scrolling.
  HoldAt(3, editor.ClientHeight() + 30);
  EXPECT_FALSE(host.autoScrolling);
  editor.AutoScrollStep();
  EXPECT_EQ(editor.TopRow(), 2);

  HoldAt(XOf(2), editor.ClientHeight() + 30);
  ASSERT_TRUE(host.autoScrolling);
  held.left = false;  // let go outside any window: no release reaches the view
  editor.AutoScrollStep();
  EXPECT_EQ(editor.TopRow(), 2);
  EXPECT_FALSE(host.autoScrolling);
}

TEST_F(AutoScroll, AHiddenInstanceHasNoTimerToStart) {
  LoadSize(16 * 100);
  editor.SetViewHost(nullptr);
  PressOn(16 * 3);
  HoldAt(XOf(2), editor.ClientHeight() + 30);
  EXPECT_FALSE(editor.AutoScrolling());
  editor.AutoScrollStep();  // called directly, it still scrolls one step
  EXPECT_EQ(editor.TopRow(), 3);
}

TEST_F(AutoScroll, ADragRestingAtAnEdgeMovesTheDropMarkerOnUntilTheEnd) {
  LoadSize(16 * 14);
  const PaintRect bottom = editor.CellRect({4, LastVisibleRow()});
  editor.ShowDropMarker(bottom.Left + 2, bottom.Top + 2);
  EXPECT_EQ(editor.TopRow(), 3) << "one row at once, as before";
  EXPECT_TRUE(host.autoScrolling);
  const int first = editor.DropPosition();
  editor.AutoScrollStep();
  EXPECT_EQ(editor.TopRow(), 4);
  EXPECT_EQ(editor.DropPosition(), first + 16) << "the marker follows the rows under the mouse";
  for (int tick = 0; tick < 10 && host.autoScrolling; ++tick)
    editor.AutoScrollStep();
  EXPECT_EQ(editor.TopRow(), editor.MaxTopRow());
  EXPECT_FALSE(host.autoScrolling) << "the last row is in view";
  editor.ShowDropMarker(bottom.Left + 2, bottom.Top + 2);
  editor.HideDropMarker();
  EXPECT_FALSE(host.autoScrolling);
}

}  // namespace
}  // namespace kestrave::hex::test
