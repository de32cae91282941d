#pragma once

// A user at a hex window, for the window's tests: the dialogs answered from a script, the
// files in a folder of their own, every run starting as a first run.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/hex/HexWindow.h"
#include "app/hex/OldRecentFiles.h"
#include "app/hex/RecentFiles.h"
#include "app/hex/ViewSettingsStore.h"
#include "support/HostileFiles.h"
#include "support/TempDir.h"
#include "tests/app/hex/ScriptedHexDialogs.h"
#include "view/HexView.h"

namespace kestrave::app::test {

inline std::string Read(const std::string& path) {
  const std::vector<std::uint8_t> bytes = ::kestrave::test::ReadAll(path);
  return std::string(bytes.begin(), bytes.end());
}

// The data of the tab in front.
inline std::string Contents(HexWindow& window) {
  std::string bytes(static_cast<std::size_t>(window.Editor().DataSize()), '\0');
  window.Editor().ReadBlock(bytes.data(), 0, window.Editor().DataSize());
  return bytes;
}

// Every window starts as on a first run: no recent files, default view settings.
struct FirstRun {
  FirstRun() { Forget(); }
  ~FirstRun() { Forget(); }
  static void Forget() {
    std::error_code ignored;
    std::filesystem::remove(ViewSettingsPath(), ignored);
    std::filesystem::remove(RecentFilesPath(), ignored);
    std::filesystem::remove(OldRecentFilesPath(), ignored);
  }
};

inline QList<HexWindow*> HexWindows() {
  QList<HexWindow*> windows;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* window = dynamic_cast<HexWindow*>(widget); window && window->isVisible())
      windows.append(window);
  return windows;
}

// Open Recent's entries of files, without the separator and Clear List below them.
inline QList<QAction*> RecentEntries(const QMenu& menu) {
  QList<QAction*> entries;
  for (QAction* action : menu.actions()) {
    if (action->isSeparator()) break;
    entries.append(action);
  }
  return entries;
}

// A user at a hex window, with the dialogs answered from a script.
class HexWindowUser : public ::testing::Test {
 protected:
  HexWindowUser() : window(dialogs) {
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    window.View().setFocus();
  }

  std::string File(const std::string& name) const { return dir.File(name); }
  std::string Write(const std::string& name, std::string_view content) const {
    ::kestrave::test::WriteAll(File(name), content);
    return File(name);
  }
  bool Open(const std::string& path) {
    const bool opened = window.OpenFile(path);
    QApplication::processEvents();
    return opened;
  }
  // A key pressed while the view has the focus, as the desktop delivers it.
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&window.View(), key, modifiers);
    QApplication::processEvents();
  }
  // A menu item by its text without the mnemonic.
  QAction* MenuItem(const QString& text) {
    for (QMenu* menu : window.menuBar()->findChildren<QMenu*>())
      for (QAction* action : menu->actions())
        if (action->isVisible() && action->text().remove(QLatin1Char('&')) == text) return action;
    ADD_FAILURE() << "no menu item " << text.toStdString();
    return new QAction(&window);
  }
  // Drags Data over the window around the view and drops it; answers whether the window took it.
  bool DropOnWindow(QMimeData& data) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    return true;
  }
  void Change(int position, std::uint8_t value) {
    hex::THexEditorEx& editor = window.Editor();
    editor.ChangeByte(editor.ReadByte(position), value, position, 0, 0, "");
    QApplication::processEvents();
  }
  std::string Selected() const {
    const hex::THexEditorEx& editor = const_cast<HexWindow&>(window).Editor();
    std::string bytes(static_cast<std::size_t>(editor.SelectionCount()), '\0');
    editor.ReadBlock(bytes.data(), editor.SelectionLow(), editor.SelectionCount());
    return bytes;
  }
  // The status bar's texts, "|" between them.
  QString StatusText() const {
    QStringList texts;
    for (const QLabel* label : window.statusBar()->findChildren<QLabel*>())
      texts << label->text();
    return texts.join(QLatin1Char('|'));
  }
  // What the window shows on the screen now, as its last paints left it.
  QImage OnScreen() { return window.screen()->grabWindow(window.winId()).toImage(); }

  FirstRun firstRun;
  ::kestrave::test::TempDir dir;
  ScriptedHexDialogs dialogs;
  HexWindow window;
};

}  // namespace kestrave::app::test
