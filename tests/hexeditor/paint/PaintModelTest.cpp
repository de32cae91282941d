#include <gtest/gtest.h>

#include "hexeditor/paint/PaintModel.h"
#include "support/Fakes.h"
#include "support/RecordingViewHost.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

constexpr TColor kWhite = Rgb(255, 255, 255);
constexpr TColor kBlack = Rgb(0, 0, 0);
constexpr TColor kBlue = Rgb(0, 0, 255);
constexpr TColor kNavy = Rgb(0, 0, 128);

// Keeps what the model draws.
class RecordingCanvas : public IHexCanvas {
 public:
  struct Text {
    PaintRect box;
    std::u16string text;
    TColor color, background;
  };
  void FillRect(const PaintRect& rect, TColor color) override { fills.push_back({rect, color}); }
  void DrawText(const PaintRect& box, int, int, std::u16string_view text, TColor color,
                TColor background) override {
    texts.push_back({box, std::u16string(text), color, background});
  }
  void DrawLine(int, int, int, int, TColor) override { ++lines; }
  void DrawFocusRect(const PaintRect& rect) override { focusRects.push_back(rect); }
  void DrawFrame(const PaintRect&, TColor) override {}
  void DrawImage(int, int, const TBookmarkImage&) override { ++images; }
  int TextWidth(std::u16string_view text) override { return 9 * static_cast<int>(text.size()); }

  std::vector<std::pair<PaintRect, TColor>> fills;
  std::vector<Text> texts;
  std::vector<PaintRect> focusRects;
  int lines = 0;
  int images = 0;
};

using kestrave::test::NinePixelMetrics;

class Painting : public EditorTest {
 protected:
  Painting() : model(editor) {
    editor.SetTextMetrics(metrics);
    editor.SetClientSize(900, 400);
  }
  TCellLook Look(int position, bool inChar = false) {
    return model.DataCellLook(editor.PositionToCell(position, inChar));
  }
  NinePixelMetrics metrics;
  THexPaintModel model;
};

TEST_F(Painting, ColumnGroupsAlternateBlueAndNavy) {
  LoadSize(32);
  EXPECT_EQ(Look(0).TextColor, kBlue);
  EXPECT_EQ(model.DataCellLook({3, 2}).TextColor, kBlue) << "low nibble of byte 0";
  EXPECT_EQ(Look(1).TextColor, kBlue);
  EXPECT_EQ(Look(2).TextColor, kNavy);
  EXPECT_EQ(Look(3).TextColor, kNavy);
  EXPECT_EQ(Look(4).TextColor, kBlue);
  EXPECT_EQ(Look(5, true).TextColor, kBlack) << "characters in the font's colour";
}

TEST_F(Painting, ChangedBytesAreMaroonOnLightYellowUntilInsertMode) {
  LoadSize(32);
  editor.ChangeByte(editor.ReadByte(5), 0x41, 5, 0, 0, "");
  const TCellLook changed = Look(5);
  EXPECT_TRUE(changed.Changed);
  EXPECT_EQ(changed.TextColor, Rgb(128, 0, 0));
  EXPECT_EQ(changed.TextBackground, Rgb(255, 255, 168));
  EXPECT_EQ(Look(5, true).Text, u"A");
  editor.SetInsertMode(true);
  EXPECT_FALSE(Look(5).Changed);
}

TEST_F(Painting, ASelectionIsInvertedWithItsInnerGapsButNotTheOneAfterIt) {
  LoadSize(32);
  editor.SetSelection(2, 5);
  editor.SetFocused(true);
  const TCellLook inside = Look(2, true);
  EXPECT_EQ(inside.TextColor, kWhite);
  EXPECT_EQ(inside.TextBackground, kBlack);
  EXPECT_EQ(inside.CellBackground, kBlack) << "the gap inside the selection is filled";
  const TCellLook last = Look(5, true);
  EXPECT_EQ(last.TextBackground, kBlack);
  EXPECT_EQ(last.CellBackground, kWhite) << "the gap after the last byte is not";
  EXPECT_EQ(model.DataCellLook({2 + 2 * 5 + 1, 2}).CellBackground, kWhite);
  EXPECT_EQ(model.DataCellLook({2 + 2 * 4 + 1, 2}).CellBackground, kBlack);
  EXPECT_FALSE(Look(6).Selected);
}

TEST_F(Painting, WithoutFocusTheSelectionHidesOrTurnsGrey) {
  LoadSize(32);
  editor.SetSelection(0, 3);
  editor.SetHideSelection(true);
  EXPECT_FALSE(Look(0).Selected) << "hidden while the view lacks the focus";
  editor.SetFocused(true);
  EXPECT_TRUE(Look(0).Selected);
  editor.SetFocused(false);
  editor.SetHideSelection(false);
  editor.SetGraySelectionIfNotFocused(true);
  const TCellLook grey = Look(0);
  EXPECT_EQ(grey.TextColor, Rgb(219, 219, 219)) << "blue inverted to yellow, then greyed";
  EXPECT_EQ(grey.TextBackground, kBlack);
  EXPECT_EQ(grey.CellBackground, kBlack) << "the cell stays inverted, not grey";
}

TEST_F(Painting, TheRulerMarksTheCursorsColumnsInBothFields) {
  LoadSize(32);
  editor.SetShowRuler(true);
  editor.SetSelectionStart(5);
  EXPECT_TRUE(model.RulerHighlighted(2 + 2 * 5));
  EXPECT_TRUE(model.RulerHighlighted(35 + 5));
  EXPECT_FALSE(model.RulerHighlighted(2 + 2 * 5 + 1));
  EXPECT_EQ(model.RulerText(2 + 2 * 5), u"0");
  EXPECT_EQ(model.RulerText(2 + 2 * 5 + 1), u"5");
  EXPECT_EQ(model.RulerText(35 + 11), u"B");
  EXPECT_EQ(model.RulerText(34), u"  ");
}

TEST_F(Painting, TheCursorsByteIsFramedInTheOtherField) {
  LoadSize(32);
  editor.SetSelectionStart(3);
  editor.SetFocused(true);
  const GridCell charCell{35 + 3, 2};
  const TFrame frame = model.PositionFrame(charCell, editor.CellRect(charCell));
  EXPECT_EQ(frame.Style, TFrameStyle::Dotted);
  EXPECT_EQ(frame.Rect.Width(), 9);
  editor.SetInCharField(true);
  const GridCell lowNibble{2 + 2 * 3 + 1, 2};
  const TFrame hexFrame = model.PositionFrame(lowNibble, editor.CellRect(lowNibble));
  EXPECT_EQ(hexFrame.Rect.Left, editor.CellRect({2 + 2 * 3, 2}).Left) << "both nibbles framed";
  editor.SetFocused(false);
  EXPECT_EQ(model.PositionFrame(charCell, editor.CellRect(charCell)).Style, TFrameStyle::None);
  editor.SetShowPositionIfNotFocused(true);
  editor.SetFocusFrame(false);
  EXPECT_EQ(model.PositionFrame(charCell, editor.CellRect(charCell)).Style, TFrameStyle::Solid);
}

TEST_F(Painting, ADrawCellHandlerCanTakeOverOneCell) {
  LoadSize(16);
  int calls = 0;
  editor.OnDrawCell = [&](TCustomHexEditor& sender, IHexCanvas&, int col, int row,
                          std::u16string& text, PaintRect, bool& defaultDraw) {
    if (row < 2 || col < 2) return;
    ++calls;
    if (col == 2) {
      EXPECT_EQ(sender.DrawnPosition(), 0);
      defaultDraw = false;
    }
    if (col == 4) text.assign(1, u'#');
  };
  RecordingCanvas canvas;
  model.Paint(canvas, {0, 0, 900, 400});
  EXPECT_GT(calls, 30);
  bool col2Drawn = false;
  bool hashDrawn = false;
  const PaintRect first = editor.CellRect({2, 2});
  for (const auto& text : canvas.texts) {
    if (text.box.Left == first.Left && text.box.Top == first.Top) col2Drawn = true;
    if (text.text == u"#") hashDrawn = true;
  }
  EXPECT_FALSE(col2Drawn) << "left to the handler";
  EXPECT_TRUE(hashDrawn) << "the next cells are drawn, with the handler's text";
  EXPECT_EQ(editor.DrawnPosition(), -1);
}

TEST_F(Painting, TheUpdateLockStopsPaintingUntilItsLastEnd) {
  LoadSize(16);
  RecordingCanvas canvas;
  EXPECT_EQ(editor.BeginUpdate(), 1);
  model.Paint(canvas, {0, 0, 900, 400});
  EXPECT_TRUE(canvas.fills.empty());
  EXPECT_EQ(editor.EndUpdate(), 0);
  EXPECT_EQ(editor.EndUpdate(), 0) << "never below zero";
  model.Paint(canvas, {0, 0, 900, 400});
  EXPECT_FALSE(canvas.fills.empty());
}

TEST_F(Painting, OnlyCellsInsideTheClipAreVisited) {
  LoadSize(1 << 20);
  RecordingCanvas whole;
  model.Paint(whole, {0, 0, 900, 400});
  RecordingCanvas one;
  const PaintRect cell = editor.CellRect({2, 3});
  model.Paint(one, cell);
  EXPECT_LT(one.texts.size(), 4u);
  EXPECT_GT(whole.texts.size(), 500u);
}

TEST_F(Painting, BookmarksShowInTheirRowsGutter) {
  LoadSize(64);
  editor.SetBookmark(2, 20, false);
  editor.SetBookmark(7, 21, true);
  RecordingCanvas canvas;
  model.Paint(canvas, editor.CellRect({0, 3}));
  EXPECT_EQ(canvas.images, 2);
}

TEST_F(Painting, UnicodeCharactersJoinTwoBytes) {
  LoadBytes({0x10, 0x04, 0x05, 0x00, 'A', 0x00, 0x00, 0x41});
  editor.SetUnicodeChars(true);
  EXPECT_EQ(Look(0, true).Text, u"\x0410");
  EXPECT_EQ(Look(2, true).Text, u".") << "a control character under 100h is masked";
  EXPECT_EQ(Look(4, true).Text, u"A");
  editor.SetUnicodeBigEndian(true);
  EXPECT_EQ(Look(6, true).Text, u"A");
}

TEST_F(Painting, TheCaretFollowsTheKindAndTheMode) {
  LoadSize(4096);
  EXPECT_EQ(editor.EffectiveCaretKind(), ckFull);
  editor.SetInsertMode(true);
  EXPECT_EQ(editor.EffectiveCaretKind(), ckLeft);
  editor.SetReadOnlyView(true);
  EXPECT_EQ(editor.EffectiveCaretKind(), ckBottom);
  editor.SetCaretKind(ckFull);
  EXPECT_EQ(editor.EffectiveCaretKind(), ckFull);
  const PaintRect caret = editor.CaretRect();
  EXPECT_EQ(caret.Left, editor.CellRect(editor.CursorCell()).Left);
  EXPECT_EQ(caret.Height(), 17 - 2 + 0) << "cw x (rh - 2)";
  editor.SetTopRow(40);
  EXPECT_EQ(editor.TopRow(), 40);
  EXPECT_EQ(editor.CaretRect().Left, -50) << "out of view";
}

TEST_F(Painting, TheDropMarkerShowsOnAByteAndAtTheEndOfTheData) {
  LoadSize(20);
  const auto markerBar = [&](GridCell cell) {
    const PaintRect rect = editor.CellRect(cell);
    return PaintRect{rect.Left + 1, rect.Top + 1, rect.Left + 3, rect.Bottom - 1};
  };
  // In the byte's text colour; past the data, in the window's text colour.
  for (const auto& [position, ink] : {std::pair{4, kBlue}, std::pair{20, kBlack}}) {
    const GridCell cell = editor.PositionToCell(position, false);
    editor.SetDropMarkerCell(cell);
    RecordingCanvas canvas;
    model.Paint(canvas, {0, 0, 900, 400});
    bool drawn = false;
    for (const auto& [rect, color] : canvas.fills)
      if (rect == markerBar(cell) && color == ink) drawn = true;
    EXPECT_TRUE(drawn) << "marker before byte " << position;
  }
}

TEST_F(Painting, AColourChangeRepaintsTheViewWhateverTheApplicationDoesWithOnChange) {
  kestrave::test::RecordingViewHost host;
  editor.SetViewHost(&host);
  std::vector<THexColors::Index> heard;
  editor.Colors().OnChange = [&](THexColors::Index index) { heard.push_back(index); };
  editor.Colors().Set(THexColors::Grid, Rgb(1, 2, 3));
  EXPECT_EQ(host.colors, 1);
  EXPECT_EQ(heard, std::vector<THexColors::Index>{THexColors::Grid}) << "the application hears";
  editor.Colors().Set(THexColors::Grid, Rgb(1, 2, 3));
  EXPECT_EQ(host.colors, 1) << "an unchanged colour is no change";
  editor.Colors().OnChange = nullptr;
  editor.Colors().Set(THexColors::Background, Rgb(0, 128, 0));
  EXPECT_EQ(host.colors, 2) << "with the application's handler gone as well";
  editor.SetViewHost(nullptr);
  editor.Colors().Set(THexColors::Background, Rgb(0, 0, 0));  // a hidden instance: no one to tell
  EXPECT_EQ(host.colors, 2);
}

}  // namespace
}  // namespace kestrave::hex::test
