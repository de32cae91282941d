#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>
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

}  // namespace
}  // namespace kestrave::view
