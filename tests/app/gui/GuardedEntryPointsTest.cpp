// The one error guard at every entry point of the windows: an error, out of memory included,
// ends the action or event it happened in, its message is shown, and the program goes on.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <new>

#include "app/hex/HexWindow.h"
#include "platform/UserInterface.h"
#include "platform/ole/StaticDataObject.h"
#include "support/Fakes.h"
#include "support/TempDir.h"
#include "tests/app/hex/ScriptedHexDialogs.h"
#include "view/ClipboardMime.h"
#include "view/HexView.h"
#include "view/QtClipboard.h"
#include "view/QtErrorDisplay.h"

namespace kestrave::app {
namespace {

namespace ole = platform::ole;

using kestrave::test::RecordingErrors;

// Shows errors no caller can receive in a list for the length of a test.
class ErrorDisplayScope {
 public:
  ErrorDisplayScope() { platform::SetCurrentErrorDisplay(&errors); }
  ~ErrorDisplayScope() { platform::SetCurrentErrorDisplay(nullptr); }
  RecordingErrors errors;
};

class GuardedHexWindow : public ::testing::Test {
 protected:
  GuardedHexWindow() : window(dialogs) {
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    window.View().setFocus();
    kestrave::test::WriteAll(dir.File("data.bin"), std::string(100, 'd'));
    EXPECT_TRUE(window.OpenFile(dir.File("data.bin")));
    QApplication::processEvents();
  }
  ~GuardedHexWindow() override { window.Editor().OnGetOffsetText = nullptr; }

  QAction* MenuItem(const QString& text) {
    for (QAction* action : window.menuBar()->findChildren<QAction*>())
      if (action->isVisible() && action->text().remove(QLatin1Char('&')) == text) return action;
    ADD_FAILURE() << "no menu item " << text.toStdString();
    return new QAction(&window);
  }
  // Every offset text the editor asks for fails while memory is short.
  void RunOutOfMemory(bool shortOfMemory) {
    if (!shortOfMemory) {
      window.Editor().OnGetOffsetText = nullptr;
      return;
    }
    window.Editor().OnGetOffsetText = [](hex::TCustomHexEditor&, std::int64_t, std::string&) {
      throw std::bad_alloc();
    };
  }

  ErrorDisplayScope display;
  kestrave::test::TempDir dir;
  test::ScriptedHexDialogs dialogs;
  HexWindow window;
};

TEST_F(GuardedHexWindow, AMenuActionThatRunsOutOfMemoryShowsItAndTheWindowGoesOn) {
  RunOutOfMemory(true);
  MenuItem("8")->trigger();
  EXPECT_EQ(dialogs.errors, std::vector<std::string>{"Out of memory"});
  RunOutOfMemory(false);
  MenuItem("32")->trigger();
  QApplication::processEvents();
  EXPECT_EQ(window.Editor().BytesPerRow(), 32) << "the next action works";
  EXPECT_EQ(dialogs.errors.size(), 1u);
  EXPECT_TRUE(window.isVisible());
}

TEST_F(GuardedHexWindow, AViewHandlerThatRunsOutOfMemoryShowsItAndTheViewGoesOn) {
  hex::THexEditorEx& editor = window.Editor();
  const auto refresh = editor.OnSelectionChanged;
  editor.OnSelectionChanged = [](hex::TCustomHexEditor&) { throw std::bad_alloc(); };
  QTest::keyClick(&window.View(), Qt::Key_Right);
  QApplication::processEvents();
  EXPECT_EQ(display.errors.shown, std::vector<std::string>{"Out of memory"});
  editor.OnSelectionChanged = refresh;
  const int before = editor.CursorPosition();
  QTest::keyClick(&window.View(), Qt::Key_Down);
  QApplication::processEvents();
  EXPECT_EQ(editor.CursorPosition(), before + editor.BytesPerRow()) << "keys still move";
  EXPECT_EQ(display.errors.shown.size(), 1u);
}

TEST_F(GuardedHexWindow, APaintThatRunsOutOfMemoryShowsItAndPaintsAgainLater) {
  RunOutOfMemory(true);
  window.View().viewport()->repaint();
  window.View().viewport()->repaint();
  EXPECT_FALSE(display.errors.shown.empty());
  for (const std::string& shown : display.errors.shown)
    EXPECT_EQ(shown, "Out of memory");
  RunOutOfMemory(false);
  display.errors.shown.clear();
  window.View().viewport()->repaint();
  EXPECT_TRUE(display.errors.shown.empty());
}

TEST(GuardedApplication, AnErrorEscapingAnEventEndsOnlyThatEvent) {
  ErrorDisplayScope display;
  bool laterEventRan = false;
  QMetaObject::invokeMethod(
      qApp, [] { throw std::bad_alloc(); }, Qt::QueuedConnection);
  QMetaObject::invokeMethod(
      qApp, [&] { laterEventRan = true; }, Qt::QueuedConnection);
  QApplication::processEvents();
  EXPECT_EQ(display.errors.shown, std::vector<std::string>{"Out of memory"});
  EXPECT_TRUE(laterEventRan);
}

// Other programs ask for clipboard data at any moment, through Qt: a rendering that fails gives
// no data, and the message is shown; nothing is thrown into Qt.
TEST(GuardedClipboardRendering, AFormatThatCannotBeRenderedGivesNoDataAndShowsWhy) {
  ErrorDisplayScope display;
  auto* data = new ole::TStaticDataObject;
  const ole::ComPtr<ole::IDataObject> held(data);
  ole::FORMATETC text;
  text.cfFormat = ole::CF_TEXT;
  data->AddRenderer(text, [](ole::STGMEDIUM&) -> ole::HResult { throw std::bad_alloc(); });
  data->AddBytes(ole::CF_UNICODETEXT, {'o', 0, 'k', 0, 0, 0});
  view::HexMimeData mime(held.Get());
  QByteArray bytes;
  EXPECT_NO_THROW(bytes = mime.data(QStringLiteral("text/plain")));
  EXPECT_TRUE(bytes.isEmpty());
  EXPECT_EQ(display.errors.shown, std::vector<std::string>{"Out of memory"});
  const QByteArray other = mime.data(view::MimeTypeOf(ole::CF_UNICODETEXT));
  EXPECT_EQ(other, QByteArray("o\0k\0\0\0", 6)) << "the other formats still render";
}

// An error that comes back with every paint must not pile up message boxes: a message waiting
// or on screen is shown once.
TEST(GuardedErrorDisplay, AMessageAlreadyWaitingOrShownIsNotShownAgain) {
  view::QtErrorDisplay display;
  display.ShowError("Out of memory");
  display.ShowError("Out of memory");
  display.ShowError("Stream read error");
  QStringList shown;
  QTimer closer;
  closer.setInterval(5);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown.append(box->text());
      box->done(QMessageBox::Ok);
    }
  });
  closer.start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown.size() >= 2; }));
  QApplication::processEvents();
  closer.stop();
  std::sort(shown.begin(), shown.end());
  EXPECT_EQ(shown, QStringList({"Out of memory", "Stream read error"}));
  display.ShowError("Out of memory");
  closer.start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown.size() >= 3; }))
      << "once closed, the same message is shown again when it happens again";
  closer.stop();
}

}  // namespace
}  // namespace kestrave::app
