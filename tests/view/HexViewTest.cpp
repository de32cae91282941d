#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>

#include "app/hex/HexWindow.h"
#include "hexeditor/view/PaintModel.h"
#include "support/TempDir.h"
#include "view/HexView.h"

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
    window.OpenFile(QString::fromStdString(dir.File("data.bin")));
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

TEST_F(HexWindowTest, MouseClicksPlaceTheCursorAndTheWheelScrolls) {
  std::vector<std::uint8_t> bytes(1 << 16, 0x5A);
  test::WriteAll(dir.File("big.bin"), bytes);
  window.OpenFile(QString::fromStdString(dir.File("big.bin")));
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

}  // namespace
}  // namespace kestrave::view
