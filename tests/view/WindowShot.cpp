// Shows kestrave-hex on a real X server and grabs the screen: window-shot DATA OUT.png
// Exits 1 when the grabbed screen does not show the selection inverted.
#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <cstdio>

#include "app/hex/HexWindow.h"
#include "platform/MessageQueue.h"
#include "view/HexView.h"
#include "view/QtMessageQueue.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 3) return 2;
  kestrave::view::QtMessageQueue queue;
  kestrave::platform::SetDefaultMessageQueue(&queue);
  int result = 0;
  {
    kestrave::app::HexWindow window;
    window.move(0, 0);
    window.show();
    window.OpenFile(argv[1]);
    window.activateWindow();
    window.View().setFocus();
    auto& editor = window.Editor();
    editor.SetShowRuler(true);
    editor.SetSelection(20, 45);
    editor.ChangeByte(editor.ReadByte(3), 0x41, 3, 0, 0, "");
    QTest::qWait(500);
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    screen.save(QString::fromLocal8Bit(argv[2]));
    const QPoint viewOrigin =
        window.View().viewport()->mapTo(&window, QPoint(0, 0)) + window.geometry().topLeft();
    const kestrave::hex::PaintRect cell = editor.CellRect(editor.PositionToCell(30, true));
    const QColor selected = screen.pixelColor(viewOrigin + QPoint(cell.Left + 1, cell.Bottom - 2));
    std::printf("selected cell background: %s\n", selected.name().toLatin1().constData());
    result = selected == QColor(Qt::black) ? 0 : 1;
  }
  kestrave::platform::SetDefaultMessageQueue(nullptr);
  return result;
}
