// Real drags on an X server, the mouse driven by xdotool:
//   drag-e2e FOLDER              two hex windows: a move inside one, a copy between them, a drag
//                                out to another program and drags in from it (text and files)
//   drag-e2e foreign-target      another program: a window that prints the text dropped on it
//   drag-e2e foreign-source T|F  another program: a window that starts a drag of text T, or of
//                                the file F given as file:FILE, when pressed
// Exits 0 when every drag did what it should, 1 otherwise, printing each outcome.
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <string>

#include "app/hex/HexWindow.h"
#include "platform/MessageQueue.h"
#include "platform/UserInterface.h"
#include "platform/ole/DragDrop.h"
#include "view/HexView.h"
#include "view/QtDragLoop.h"
#include "view/QtMessageQueue.h"

namespace {

using kestrave::app::HexWindow;

class ForeignTarget : public QLabel {
 public:
  ForeignTarget() : QLabel(QStringLiteral("drop here")) { setAcceptDrops(true); }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override {
    if (event->mimeData()->hasText()) event->acceptProposedAction();
  }
  void dropEvent(QDropEvent* event) override {
    std::printf("dropped: %s\n", event->mimeData()->text().toStdString().c_str());
    std::fflush(stdout);
    event->acceptProposedAction();
  }
};

class ForeignSource : public QLabel {
 public:
  explicit ForeignSource(QString what) : QLabel(QStringLiteral("drag me")), what_(what) {}

 protected:
  void mousePressEvent(QMouseEvent*) override {
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    if (what_.startsWith(QLatin1String("file:")))
      mime->setUrls({QUrl::fromLocalFile(what_.mid(5))});
    else
      mime->setText(what_);
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction | Qt::MoveAction);
  }

 private:
  QString what_;
};

// A foreign program's window, shown at a fixed place for as long as the test needs it.
int RunForeign(QWidget& window) {
  window.setGeometry(700, 100, 200, 200);
  window.show();
  std::printf("ready\n");
  std::fflush(stdout);
  QTimer::singleShot(30000, qApp, &QApplication::quit);
  return QApplication::exec();
}

std::string Text(HexWindow& window) {
  auto& editor = window.Editor();
  std::string text;
  for (int i = 0; i < editor.DataSize(); ++i)
    text += static_cast<char>(editor.ReadByte(i));
  return text;
}

// The middle of the hex cell of byte `position`, on the screen.
QPoint ScreenPointOf(HexWindow& window, int position) {
  auto& editor = window.Editor();
  const kestrave::hex::PaintRect cell = editor.CellRect(editor.PositionToCell(position, false));
  return window.View().viewport()->mapToGlobal(
      QPoint((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2));
}

void Wait(int milliseconds) {
  QTest::qWait(milliseconds);
}

// Presses at `from`, moves in steps to `to` and releases; the drag runs meanwhile.
void DragWithMouse(QPoint from, QPoint to) {
  QStringList args{QStringLiteral("mousemove"), QString::number(from.x()),
                   QString::number(from.y()),   QStringLiteral("sleep"),
                   QStringLiteral("0.3"),       QStringLiteral("mousedown"),
                   QStringLiteral("1")};
  // A hand starts a drag with a small move, still over the selection.
  args << QStringLiteral("sleep") << QStringLiteral("0.1") << QStringLiteral("mousemove")
       << QString::number(from.x() + 6) << QString::number(from.y());
  for (int step = 1; step <= 8; ++step) {
    const QPoint at = from + (to - from) * step / 8;
    args << QStringLiteral("sleep") << QStringLiteral("0.1") << QStringLiteral("mousemove")
         << QString::number(at.x()) << QString::number(at.y());
  }
  args << QStringLiteral("sleep") << QStringLiteral("0.4") << QStringLiteral("mouseup")
       << QStringLiteral("1");
  QProcess xdotool;
  xdotool.start(QStringLiteral("xdotool"), args);
  QElapsedTimer clock;
  clock.start();
  while (xdotool.state() != QProcess::NotRunning && clock.elapsed() < 15000)
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  Wait(500);
}

bool Check(const char* what, const std::string& got, const std::string& expected) {
  const bool ok = got == expected;
  std::printf("%s %s: [%s]%s\n", ok ? "ok  " : "FAIL", what, got.c_str(),
              ok ? "" : (" expected [" + expected + "]").c_str());
  return ok;
}

// Starts another program of the test and waits until its window is up.
struct Foreign {
  explicit Foreign(const QStringList& args) {
    process.start(QCoreApplication::applicationFilePath(), args);
    QElapsedTimer clock;
    clock.start();
    while (!output.contains("ready") && clock.elapsed() < 10000) {
      process.waitForReadyRead(100);
      output += process.readAllStandardOutput();
    }
    Wait(300);
  }
  ~Foreign() {
    process.kill();
    process.waitForFinished();
  }
  std::string Output() {
    process.waitForReadyRead(500);
    output += process.readAllStandardOutput();
    return output.toStdString();
  }
  QProcess process;
  QByteArray output;
};

std::string WriteFile(const std::string& folder, const char* name, const char* bytes) {
  const std::string path = folder + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fputs(bytes, file);
  std::fclose(file);
  return path;
}

void Load(HexWindow& window, const std::string& folder, const char* name, const char* bytes) {
  window.OpenFile(WriteFile(folder, name, bytes));
}

int RunHexWindows(const std::string& folder) {
  kestrave::view::QtDragLoop loop;
  kestrave::platform::ole::SetCurrentDragLoop(&loop);
  bool ok = true;
  {
    HexWindow a;
    HexWindow b;
    a.setGeometry(0, 0, 660, 300);
    b.setGeometry(0, 380, 660, 300);
    a.show();
    b.show();
    Wait(500);

    Load(a, folder, "a.bin", "0123456789");
    Load(b, folder, "b.bin", "abc");
    a.Editor().SetSelection(2, 3);
    DragWithMouse(ScreenPointOf(a, 2), ScreenPointOf(a, 6));
    ok &= Check("move inside one window", Text(a), "0145236789");
    a.Editor().Undo();
    ok &= Check("one undo takes the move back", Text(a), "0123456789");

    a.Editor().SetSelection(0, 1);
    DragWithMouse(ScreenPointOf(a, 0), ScreenPointOf(b, 1));
    ok &= Check("copy to another window", Text(b), "a01bc");
    ok &= Check("the source window keeps its bytes", Text(a), "0123456789");

    {
      Foreign target({QStringLiteral("foreign-target")});
      a.Editor().SetSelection(4, 6);
      DragWithMouse(ScreenPointOf(a, 4), QPoint(800, 200));
      ok &= Check("drag out to another program", target.Output(), "ready\ndropped: 456\n");
    }
    {
      Foreign source({QStringLiteral("foreign-source"), QStringLiteral("XYZ")});
      DragWithMouse(QPoint(800, 200), ScreenPointOf(b, 0));
      ok &= Check("text dragged in from another program", Text(b), "XYZa01bc");
    }
    {
      Load(b, folder, "b.bin", "abc");
      const QString file = QString::fromStdString("file:" + WriteFile(folder, "f.bin", "file!"));
      Foreign source({QStringLiteral("foreign-source"), file});
      DragWithMouse(QPoint(800, 200), ScreenPointOf(b, 2));
      ok &= Check("a file dragged in from another program", Text(b), "abfile!c");
    }
  }
  kestrave::platform::ole::SetCurrentDragLoop(nullptr);
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  kestrave::view::QtMessageQueue queue;
  kestrave::platform::SetDefaultMessageQueue(&queue);
  const std::string mode = argc > 1 ? argv[1] : "";
  int result = 2;
  if (mode == "foreign-target") {
    ForeignTarget window;
    result = RunForeign(window);
  } else if (mode == "foreign-source" && argc == 3) {
    ForeignSource window(QString::fromLocal8Bit(argv[2]));
    result = RunForeign(window);
  } else if (argc == 2) {
    result = RunHexWindows(argv[1]);
  }
  kestrave::platform::SetDefaultMessageQueue(nullptr);
  return result;
}
