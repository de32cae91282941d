#include <gtest/gtest.h>

#include <QApplication>
#include <QBackingStore>
#include <QImage>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>

#include "app/hex/HexWindow.h"
#include "hexeditor/paint/DesktopColors.h"
#include "hexeditor/paint/PaintModel.h"
#include "support/DesktopPalettes.h"
#include "support/TempDir.h"
#include "view/HexView.h"
#include "view/QtPlatform.h"

namespace kestrave::view {
namespace {

void Screenshot(QWidget& widget, const char* name) {
  if (const char* folder = std::getenv("KESTRAVE_SCREENSHOT_DIR"))
    widget.grab().save(QString::fromUtf8(folder) + "/" + name + ".png");
}

class HexWindowTest : public ::testing::Test {
 protected:
  HexWindowTest() {
    std::vector<std::uint8_t> bytes(600);
    for (std::size_t i = 0; i < bytes.size(); ++i)
      bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    test::WriteAll(dir.File("data.bin"), bytes);
    window.show();
    window.OpenFile(dir.File("data.bin"));
    window.View().setFocus();
    QApplication::processEvents();
  }
  hex::THexEditorEx& Editor() { return window.Editor(); }

  test::TempDir dir;
  app::HexWindow window;
};

TEST_F(HexWindowTest, ShowsTheDataWithSelectionAndCaret) {
  Editor().SetShowRuler(true);
  Editor().SetSelectionStart(21);
  Editor().SetSelectionEnd(34);
  Editor().ChangeByte(Editor().ReadByte(3), 0x55, 3, 0, 0, "");
  Editor().SetBookmark(1, 40, false);
  QApplication::processEvents();
  Screenshot(window, "hex-window");
  EXPECT_EQ(Editor().DataSize(), 600);
}

TEST_F(HexWindowTest, KeyPressesReachTheBytes) {
  HexView& view = window.View();
  Editor().SetSelectionStart(0);
  QTest::keyClicks(&view, "ab");
  EXPECT_EQ(Editor().ReadByte(0), 0xAB);
  EXPECT_EQ(Editor().CursorPosition(), 1);
  QTest::keyClick(&view, Qt::Key_Tab);
  EXPECT_TRUE(Editor().InCharField()) << "Tab reaches the view";
  QTest::keyClicks(&view, "Z");
  EXPECT_EQ(Editor().ReadByte(1), 'Z');
  QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_NE(Editor().ReadByte(1), 'Z') << "Ctrl+Z takes it back";
  QTest::keyClick(&view, Qt::Key_Insert);
  EXPECT_TRUE(Editor().InsertMode());
  QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(&view, "!");
  EXPECT_EQ(Editor().DataSize(), 601);
  EXPECT_EQ(Editor().ReadByte(600), '!');
}

TEST_F(HexWindowTest, ASelectedCellIsDrawnInverted) {
  Editor().SetSelection(2, 5);
  QApplication::processEvents();
  const QImage image = window.View().viewport()->grab().toImage();
  const hex::PaintRect inside = Editor().CellRect(Editor().PositionToCell(3, true));
  const hex::PaintRect outside = Editor().CellRect(Editor().PositionToCell(8, true));
  // The background of a selected character box, away from its glyph, and of one not selected.
  EXPECT_EQ(image.pixelColor(inside.Left + 1, inside.Bottom - 2), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(outside.Left + 1, outside.Bottom - 2), QColor(Qt::white));
  bool whiteInk = false;
  for (int x = inside.Left; x < inside.Left + Editor().CharWidth(); ++x)
    for (int y = inside.Top; y < inside.Bottom; ++y)
      if (image.pixelColor(x, y).lightness() > 200) whiteInk = true;
  EXPECT_TRUE(whiteInk) << "the character itself in white";
}

// The caret's row stays in view when the window grows and shrinks again, at the end of the data
// and in its middle.
TEST_F(HexWindowTest, TheCaretStaysInViewWhileTheWindowIsResized) {
  test::WriteAll(dir.File("big.bin"), std::vector<std::uint8_t>(1 << 16, 0x5A));
  window.OpenFile(dir.File("big.bin"));
  window.resize(700, 400);
  QApplication::processEvents();
  for (const int position : {(1 << 16) - 1, 1 << 15}) {
    SCOPED_TRACE(position);
    if (position == (1 << 16) - 1) {
      QTest::keyClick(&window.View(), Qt::Key_End, Qt::ControlModifier);
    } else {
      Editor().SetSelection(position, position);
      QApplication::processEvents();
    }
    for (const QSize size : {QSize(700, 900), QSize(700, 300), QSize(700, 250)}) {
      window.resize(size);
      QApplication::processEvents();
      const int row = Editor().CursorCell().Row;
      EXPECT_GE(row, Editor().TopRow()) << size.height();
      EXPECT_LT(row, Editor().TopRow() + Editor().VisibleRowCount()) << size.height();
    }
  }
}

// Where the user has chosen no colours the grid takes the desktop's: on a light and on a dark
// desktop every text stands out from its ground by 4.5:1, and a dark desktop gets a dark grid.
// A colour the user has chosen stays as chosen.
TEST_F(HexWindowTest, TheGridTakesTheDesktopsColoursAndKeepsEveryTextReadable) {
  using C = hex::THexColors;
  for (const bool dark : {false, true}) {
    SCOPED_TRACE(dark ? "dark desktop" : "light desktop");
    const QPalette palette = test::DesktopPalette(dark);
    const test::PaletteScope scope(palette);
    const auto color = [this](C::Index index) { return Editor().ViewColor(index); };
    const hex::TDesktopTints tints = DesktopTints();
    const struct {
      const char* what;
      hex::TColor text, ground;
    } pairs[] = {
        {"odd columns", color(C::OddColumn), color(C::Background)},
        {"even columns", color(C::EvenColumn), color(C::Background)},
        {"odd columns, active field", color(C::OddColumn), color(C::ActiveFieldBackground)},
        {"even columns, active field", color(C::EvenColumn), color(C::ActiveFieldBackground)},
        {"changed bytes", color(C::ChangedText), color(C::ChangedBackground)},
        {"offsets", color(C::Offset), color(C::OffsetBackGround)},
        {"the caret's offset", color(C::CurrentOffset), color(C::CurrentOffsetBackground)},
        {"matches", tints.MatchText, tints.MatchBackground},
        {"records", tints.RecordText, tints.RecordBackgrounds[0]},
        {"other records", tints.RecordText, tints.RecordBackgrounds[1]},
    };
    for (const auto& pair : pairs)
      EXPECT_GE(hex::ContrastRatio(pair.text, pair.ground), 4.5) << pair.what;
    EXPECT_EQ(color(C::Background), DesktopPaletteOf(palette).Base);
    const hex::TDesktopTints made = hex::DesktopTints(DesktopPaletteOf(palette));
    EXPECT_EQ(tints.MatchBackground, made.MatchBackground) << "the tints of this palette";
    EXPECT_EQ(tints.RecordBackgrounds[1], made.RecordBackgrounds[1]);
    EXPECT_NE(color(C::OddColumn), color(C::EvenColumn));

    Editor().Colors().Set(C::OddColumn, hex::Rgb(200, 0, 0));
    EXPECT_EQ(color(C::OddColumn), hex::Rgb(200, 0, 0)) << "the user's choice";
    Editor().Colors().Set(C::OddColumn, C::Default(C::OddColumn));
  }
}

TEST_F(HexWindowTest, MouseClicksPlaceTheCursorAndTheWheelScrolls) {
  std::vector<std::uint8_t> bytes(1 << 16, 0x5A);
  test::WriteAll(dir.File("big.bin"), bytes);
  window.OpenFile(dir.File("big.bin"));
  QApplication::processEvents();
  const hex::PaintRect cell = Editor().CellRect({2 + 2 * 7, 4});
  QTest::mouseClick(window.View().viewport(), Qt::LeftButton, {},
                    QPoint(cell.Left + 2, cell.Top + 4));
  EXPECT_EQ(Editor().CursorPosition(), 2 * 16 + 7);
  QWheelEvent wheel(QPointF(100, 100), QPointF(100, 100), QPoint(0, 0), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(window.View().viewport(), &wheel);
  EXPECT_GT(Editor().TopRow(), 2);
  EXPECT_EQ(window.View().verticalScrollBar()->value(), Editor().TopRow());
}

// The scroll bars say what the editor shows, and the screen what the editor holds, after every
// change of the layout; a row that fits again is shown from its first column.
TEST_F(HexWindowTest, ScrollBarsAndPictureFollowEveryLayoutChange) {
  HexView& view = window.View();
  const auto inStep = [&](const char* after) {
    QApplication::processEvents();
    EXPECT_EQ(view.verticalScrollBar()->maximum(), Editor().MaxTopRow()) << after;
    EXPECT_EQ(view.verticalScrollBar()->value(), Editor().TopRow()) << after;
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), Editor().MaxLeftCol()) << after;
    EXPECT_EQ(view.horizontalScrollBar()->value(), Editor().LeftCol()) << after;
    EXPECT_EQ(view.horizontalScrollBar()->isVisible(), Editor().MaxLeftCol() > 2) << after;
    const QImage atRest = window.screen()->grabWindow(window.winId()).toImage();
    view.viewport()->repaint();
    EXPECT_EQ(window.screen()->grabWindow(window.winId()).toImage(), atRest)
        << "nothing stale on the screen after " << after;
  };
  inStep("the load");
  Editor().SetBytesPerRow(64);
  ASSERT_GT(Editor().MaxLeftCol(), 2);
  inStep("64 bytes per row");
  Editor().MoveCursorToCell(Editor().PositionToCell(63, true));
  ASSERT_GT(Editor().LeftCol(), 2);
  inStep("a move to the far right");
  Editor().SetBytesPerRow(16);
  EXPECT_EQ(Editor().LeftCol(), 2) << "the offsets and the first bytes are in view again";
  inStep("16 bytes per row");
  Editor().SetShowRuler(true);
  inStep("the ruler");
  Editor().SetOffsetFormat("-!A:|");
  inStep("another offset format");
  platform::FontDescription font = Editor().Font();
  font.SetSize(font.Size() + 8);
  Editor().SetFont(font);
  inStep("a larger font");
  QWheelEvent wheel(QPointF(100, 100), QPointF(100, 100), QPoint(0, 0), QPoint(0, 120),
                    Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(view.viewport(), &wheel);
  EXPECT_EQ(Editor().BytesPerRow(), 17);
  inStep("a zoom with the wheel");
  QApplication::sendEvent(view.viewport(), &wheel);
  Editor().SetUnicodeChars(true);
  inStep("unicode characters");
  std::vector<std::uint8_t> more(100000, 0x41);
  Editor().AppendBuffer(more.data(), static_cast<int>(more.size()), "", false);
  inStep("more data");
}

// The colour a point of the view has on the screen now: what the window last drew, without
// drawing anything for the asking.
QColor ShownAt(QWidget& viewport, QPoint at) {
  QWidget* top = viewport.window();
  const auto* image = dynamic_cast<const QImage*>(top->backingStore()->paintDevice());
  if (!image) return {};
  return image->pixelColor(viewport.mapTo(top, at) * top->devicePixelRatio());
}

TEST_F(HexWindowTest, AColourChangeRepaintsWhileTheApplicationHasOnChange) {
  int heard = 0;
  Editor().Colors().OnChange = [&](hex::THexColors::Index) { ++heard; };
  QApplication::processEvents();
  // The background of a character box away from its glyph, the caret being in the hex field.
  const hex::PaintRect box = Editor().CellRect(Editor().PositionToCell(8, true));
  const QPoint spot(box.Left + 1, box.Bottom - 2);
  QWidget& viewport = *window.View().viewport();
  ASSERT_EQ(ShownAt(viewport, spot), QColor(Qt::white));
  Editor().Colors().Set(hex::THexColors::Background, hex::Rgb(0, 128, 0));
  QApplication::processEvents();
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(ShownAt(viewport, spot), QColor(0, 128, 0)) << "the view is drawn again";
  Editor().Colors().OnChange = nullptr;
}

TEST(HexViewColours, AViewLeavesTheApplicationsOnChangeAlone) {
  hex::THexEditorEx editor;
  editor.Loaded();
  int heard = 0;
  editor.Colors().OnChange = [&](hex::THexColors::Index) { ++heard; };
  {
    HexView view(editor);
    editor.Colors().Set(hex::THexColors::Grid, hex::Rgb(1, 2, 3));
    EXPECT_EQ(heard, 1) << "a view does not take the handler";
  }
  editor.Colors().Set(hex::THexColors::Grid, hex::Rgb(4, 5, 6));
  EXPECT_EQ(heard, 2) << "nor does it clear it when it goes";
}

TEST_F(HexWindowTest, ASelectionHeldBelowTheViewScrollsOnUntilTheButtonIsReleased) {
  std::vector<std::uint8_t> bytes(1 << 16, 0x5A);
  test::WriteAll(dir.File("big.bin"), bytes);
  window.OpenFile(dir.File("big.bin"));
  QApplication::processEvents();
  QWidget* viewport = window.View().viewport();
  const hex::PaintRect cell = Editor().CellRect({2 + 2 * 3, 3});
  QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(cell.Left + 2, cell.Top + 4));
  const QPoint below(cell.Left + 2, viewport->height() + 40);
  QMouseEvent move(QEvent::MouseMove, QPointF(below), viewport->mapToGlobal(QPointF(below)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &move);
  // The mouse stands still: only the timer can scroll on.
  ASSERT_TRUE(QTest::qWaitFor([&] { return Editor().TopRow() >= 5; }, 10000));
  EXPECT_GT(Editor().SelectionCount(), 16 * 3);
  EXPECT_EQ(window.View().verticalScrollBar()->value(), Editor().TopRow());
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, below);
  EXPECT_FALSE(Editor().AutoScrolling()) << "released, the timer stops";
}

}  // namespace
}  // namespace kestrave::view
