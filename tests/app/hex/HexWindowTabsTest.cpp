// The hex window's tabs, File > Reload, keyboard-only use and the rough edges met with them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <QTabBar>
#include <QTabWidget>

#include "app/hex/ByteValuesDock.h"
#include "app/hex/FileLimits.h"
#include "app/hex/FindBar.h"
#include "app/hex/HexTab.h"
#include "app/hex/RecordsDock.h"
#include "app/hex/WindowSize.h"
#include "support/HexWindowUser.h"

namespace kestrave::app {
namespace {

using test::HexWindowUser;
using test::Read;
using test::RecentEntries;

class HexWindowTabs : public HexWindowUser {
 protected:
  // Three files, each in a tab of its own; the last one in front.
  void OpenThree() {
    for (const char* name : {"a.bin", "b.bin", "c.bin"})
      ASSERT_TRUE(window.OpenInTab(Write(name, std::string(64, name[0]))));
    QApplication::processEvents();
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (int k = 0; k < window.TabCount(); ++k)
      names.push_back(window.Tab(k).ShownName().toStdString());
    return names;
  }
  void MiddleClickTab(int index) {
    QTabBar* bar = window.Tabs().tabBar();
    QTest::mouseClick(bar, Qt::MiddleButton, {}, bar->tabRect(index).center());
    QApplication::processEvents();
  }
};

TEST_F(HexWindowTabs, EachFileOpensInATabWithItsOwnEditorUndoAndSearch) {
  OpenThree();
  ASSERT_EQ(Names(), (std::vector<std::string>{"a.bin", "b.bin", "c.bin"}));
  EXPECT_EQ(window.CurrentIndex(), 2);
  EXPECT_TRUE(window.Tabs().tabBar()->isVisible());

  Change(0, 'X');
  dialogs.findAnswers.push_back(FindRequest{"cc", false, true});
  MenuItem("Find...")->trigger();
  EXPECT_TRUE(StatusText().contains("Match 1 of 62")) << StatusText().toStdString();
  window.ByteValuesPanel().show();

  window.SetCurrentIndex(0);
  QApplication::processEvents();
  EXPECT_EQ(window.windowTitle().toStdString(), "a.bin - kestrave-hex");
  EXPECT_FALSE(window.Editor().CanUndo()) << "another tab's history";
  EXPECT_FALSE(MenuItem("Undo")->isEnabled());
  EXPECT_FALSE(StatusText().contains("Match")) << "another tab's search";
  EXPECT_TRUE(window.HighlightedMatches().Empty());
  EXPECT_FALSE(window.ByteValuesPanel().isVisible()) << "another tab's panel";
  EXPECT_TRUE(window.View().hasFocus());

  window.SetCurrentIndex(2);
  QApplication::processEvents();
  EXPECT_TRUE(window.Editor().CanUndo());
  EXPECT_TRUE(StatusText().contains("Match 1 of 62")) << StatusText().toStdString();
  EXPECT_TRUE(window.ByteValuesPanel().isVisible());
  EXPECT_EQ(window.Tabs().tabText(2).toStdString(), "c.bin *");

  // A file already open comes to the front instead of opening twice; one that cannot be opened
  // leaves no tab behind.
  EXPECT_TRUE(window.OpenInTab(File("a.bin")));
  EXPECT_EQ(window.CurrentIndex(), 0);
  EXPECT_FALSE(window.OpenInTab(File("none.bin")));
  EXPECT_EQ(window.TabCount(), 3);
  EXPECT_EQ(window.CurrentIndex(), 0);
}

TEST_F(HexWindowTabs, KeysAndTheMiddleButtonSwitchAndCloseTabs) {
  OpenThree();
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int index;
  } steps[] = {{Qt::Key_Tab, Qt::ControlModifier, 0},
               {Qt::Key_Tab, Qt::ControlModifier, 1},
               {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 0},
               {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 2}};
  for (const auto& step : steps) {
    Press(step.key, step.modifiers);
    EXPECT_EQ(window.CurrentIndex(), step.index);
  }

  Change(0, 'X');
  dialogs.saveChangesAnswers = {SaveChangesAnswer::Cancel, SaveChangesAnswer::Discard};
  Press(Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(window.TabCount(), 3) << "cancelled";
  Press(Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.bin", "b.bin"}));
  EXPECT_EQ(dialogs.saveChangesAskedFor, (std::vector<std::string>{"c.bin", "c.bin"}));
  EXPECT_EQ(Read(File("c.bin")), std::string(64, 'c')) << "discarded";

  MiddleClickTab(0);
  EXPECT_EQ(Names(), std::vector<std::string>{"b.bin"});
  EXPECT_EQ(dialogs.saveChangesAskedFor.size(), 2u) << "unchanged: closed without asking";
  EXPECT_FALSE(window.Tabs().tabBar()->isVisible()) << "one file shows without tabs";
  Press(Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(Names(), std::vector<std::string>{"Untitled"}) << "the last leaves an empty one";
  EXPECT_TRUE(window.isVisible());
}

// The tab bar hands a drop on to the window, which opens the file in a tab of its own; Open
// Recent and File > Open open tabs as well.
TEST_F(HexWindowTabs, DroppedRecentAndChosenFilesOpenInNewTabs) {
  OpenThree();
  const std::string dropped = Write("dropped.bin", "dropped");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dropped))});
  QTabBar* bar = window.Tabs().tabBar();
  const QPoint at = bar->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(bar, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(bar, &drop);
  ASSERT_EQ(window.TabCount(), 4);
  EXPECT_EQ(window.Editor().FileName(), dropped);

  window.SetCurrentIndex(0);
  auto* recent = window.findChild<QMenu*>(QStringLiteral("recentMenu"));
  ASSERT_NE(recent, nullptr);
  emit recent->aboutToShow();
  RecentEntries(*recent).value(2)->trigger();  // b.bin: the second before the dropped file
  EXPECT_EQ(window.TabCount(), 4);
  EXPECT_EQ(window.CurrentIndex(), 1);

  const std::string chosen = Write("chosen.bin", "chosen");
  dialogs.openAnswers.push_back(chosen);
  MenuItem("Open...")->trigger();
  EXPECT_EQ(window.TabCount(), 5);
  EXPECT_EQ(window.Editor().FileName(), chosen);
  EXPECT_EQ(dialogs.openFolders, std::vector<std::string>{dir.Path()})
      << "the open dialog starts in the folder of the file in front";
}

// A recent file that is gone is marked so; choosing it offers to take it off the list.
TEST_F(HexWindowTabs, AMissingRecentFileIsMarkedAndCanBeTakenOff) {
  const std::string gone = Write("gone.bin", "g");
  Open(gone);
  Open(Write("kept.bin", "k"));
  std::filesystem::remove(gone);
  auto* recent = window.findChild<QMenu*>(QStringLiteral("recentMenu"));
  emit recent->aboutToShow();
  QList<QAction*> entries = RecentEntries(*recent);
  ASSERT_EQ(entries.size(), 2);
  EXPECT_EQ(entries[1]->text().toStdString(), gone + " (missing)");
  dialogs.confirmAnswers = {false};
  entries[1]->trigger();
  EXPECT_EQ(HexWindow::RecentFiles().size(), 2u) << "kept";
  dialogs.confirmAnswers = {true};
  RecentEntries(*recent)[1]->trigger();
  EXPECT_EQ(HexWindow::RecentFiles(), std::vector<std::string>{File("kept.bin")});
  EXPECT_EQ(window.TabCount(), 1) << "nothing opened";
  EXPECT_EQ(dialogs.questions.size(), 2u);
}

// --- Reload -----------------------------------------------------------------------------------

using HexWindowReload = HexWindowUser;

TEST_F(HexWindowReload, ReloadReadsTheFileAgainAskingFirstWhenTheDataChanged) {
  EXPECT_FALSE(MenuItem("Reload")->isEnabled()) << "untitled: nothing to reload";
  const std::string path = Write("data.bin", "0123456789");
  Open(path);
  window.Editor().SetSelectionStart(6);
  ::kestrave::test::WriteAll(path, "abcdefghij");
  MenuItem("Reload")->trigger();
  EXPECT_EQ(window.Editor().ReadByte(0), 'a') << "unchanged: no question";
  EXPECT_EQ(window.Editor().CursorPosition(), 6) << "the caret stays";
  EXPECT_TRUE(dialogs.questions.empty());

  Change(0, 'X');
  ::kestrave::test::WriteAll(path, "ABCDEFGHIJ");
  dialogs.confirmAnswers = {false, true};
  MenuItem("Reload")->trigger();
  EXPECT_EQ(window.Editor().ReadByte(0), 'X') << "the user kept the changes";
  MenuItem("Reload")->trigger();
  EXPECT_EQ(window.Editor().ReadByte(0), 'A');
  EXPECT_FALSE(window.Editor().Modified());
  EXPECT_EQ(dialogs.questions.size(), 2u);
}

// --- Faults met on the way ---------------------------------------------------------------------

using HexWindowFaults = HexWindowUser;

TEST_F(HexWindowFaults, RedoBringsBackAWholeReplaceAllByMenuAndByKeys) {
  Open(Write("data.bin", "ab-ab-ab-ab"));
  for (const bool byKeys : {false, true}) {
    dialogs.replaceAnswers.push_back(ReplaceRequest{{"ab", false, false}, "xy", true});
    MenuItem("Replace...")->trigger();
    ASSERT_EQ(test::Contents(window), "xy-xy-xy-xy");
    Press(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(test::Contents(window), "ab-ab-ab-ab");
    EXPECT_TRUE(MenuItem("Redo")->isEnabled());
    if (byKeys)
      Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    else
      MenuItem("Redo")->trigger();
    EXPECT_EQ(test::Contents(window), "xy-xy-xy-xy") << (byKeys ? "Ctrl+Shift+Z" : "Edit > Redo");
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(test::Contents(window), "ab-ab-ab-ab") << "still one step";
  }
  Change(0, 'Q');
  EXPECT_FALSE(MenuItem("Redo")->isEnabled()) << "a later change ends the redo";
}

// A notice of a search or a replacement goes with the state it was about.
TEST_F(HexWindowFaults, StatusNoticesVanishWithTheirState) {
  const std::string path = Write("data.bin", "ab-ab-ab");
  const std::string other = Write("other.bin", "zzz");
  const std::function<void()> ends[] = {
      [&] { Press(Qt::Key_Z, Qt::ControlModifier); },  // the replacement undone
      [&] { Open(other); },                            // another file in the tab
  };
  for (const auto& end : ends) {
    Open(path);
    dialogs.replaceAnswers.push_back(ReplaceRequest{{"ab", false, false}, "xy", true});
    MenuItem("Replace...")->trigger();
    QApplication::processEvents();
    ASSERT_TRUE(StatusText().contains("Replaced 3 matches")) << StatusText().toStdString();
    end();
    QApplication::processEvents();
    EXPECT_FALSE(StatusText().contains("Replaced")) << StatusText().toStdString();
    if (window.Editor().Modified()) window.Editor().Undo();
  }
  Open(path);
  dialogs.findAnswers.push_back(FindRequest{"ab", false, true});
  MenuItem("Find...")->trigger();
  QApplication::processEvents();
  ASSERT_TRUE(StatusText().contains("Match 1 of 3"));
  Press(Qt::Key_Escape);
  EXPECT_TRUE(window.FindResults().isHidden());
  EXPECT_FALSE(StatusText().contains("Match")) << StatusText().toStdString();
}

// A match running from the end of a row on into the next is tinted only inside its fields: not
// in the gap before the characters, not past the last character.
TEST_F(HexWindowFaults, AMatchAcrossARowEndStaysInsideItsFields) {
  Open(Write("data.bin", std::string(14, '.') + "needle" + std::string(12, '.')));
  dialogs.findAnswers.push_back(FindRequest{"needle", false, true});
  MenuItem("Find...")->trigger();
  window.Editor().SetSelectionStart(30);  // the match drawn as a match, not as the selection
  QApplication::processEvents();
  hex::THexEditorEx& editor = window.Editor();
  const QImage image = window.View().viewport()->grab().toImage();
  // Match-coloured pixels between a cell's text and the next cell: a byte's hex digits are
  // two cells, the low one second.
  const auto tintedGap = [&](int position, bool chars) {
    hex::GridCell cell = editor.PositionToCell(position, chars);
    if (!chars) ++cell.Col;
    const hex::PaintRect box = editor.CellRect(cell);
    const hex::PaintRect next = editor.CellRect({cell.Col + 1, cell.Row});
    int count = 0;
    for (int x = box.Right; x < std::max(next.Left, box.Right + 4); ++x)
      if (image.pixelColor(x, (box.Top + box.Bottom) / 2) == QColor(0xFF, 0xF0, 0x80)) ++count;
    return count;
  };
  EXPECT_GT(tintedGap(14, false), 0) << "inside the row the tint runs on";
  EXPECT_EQ(tintedGap(15, false), 0) << "after the last hex digits of the row";
  EXPECT_EQ(tintedGap(15, true), 0) << "after the last character of the row";
}

// Each named with an offset as it writes it (for a file of 1 GiB), and each taken by the view.
TEST_F(HexWindowFaults, OffsetFormatsAreNamedWithAnExample) {
  Open(Write("data.bin", std::string(64, '.')));
  auto* menu = window.findChild<QMenu*>(QStringLiteral("offsetMenu"));
  ASSERT_NE(menu, nullptr);
  QStringList names;
  for (const int bytesPerRow : {16, 8}) {
    window.Editor().SetBytesPerRow(bytesPerRow);
    emit menu->aboutToShow();
    for (QAction* action : menu->actions()) {
      if (bytesPerRow == 16) names << action->text();
      if (!action->isEnabled()) continue;
      action->trigger();
      EXPECT_EQ(window.Editor().OffsetFormat(), action->data().toString().toStdString());
    }
    EXPECT_EQ(menu->actions().back()->isEnabled(), bytesPerRow == 8)
        << "rows are counted where their length is one the editor counts";
  }
  EXPECT_EQ(names.join(QLatin1Char('|')).toStdString(),
            "Hexadecimal, 0x prefix: 0x00001F40|Decimal: 0000008000|Hexadecimal, eight digits: "
            "00001F40|Row numbers: Row 00000500");
  EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
}

TEST_F(HexWindowFaults, AFileOverTwoGibibytesIsRefusedWithItsSize) {
  const std::string path = File("huge.bin");
  const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, std::int64_t{2577} << 20), 0);  // sparse: no disk space taken
  ::close(fd);
  EXPECT_FALSE(window.OpenInTab(path));
  EXPECT_EQ(dialogs.errors,
            std::vector<std::string>{
                "kestrave-hex opens files up to 2 GiB; this file has 2.5 GiB.\r\n" + path});
  EXPECT_EQ(window.TabCount(), 1);
  EXPECT_TRUE(HexWindow::RecentFiles().empty());

  const struct {
    std::int64_t bytes;
    const char* text;
  } sizes[] = {{1200, "1200 bytes"},
               {std::int64_t{310} << 20, "310.0 MiB"},
               {(std::int64_t{24} << 30) / 10, "2.4 GiB"},
               {kLargestOpenedFile + 1, "2147483648 bytes"}};
  for (const auto& size : sizes)
    EXPECT_EQ(FileSizeText(size.bytes), size.text);
}

TEST_F(HexWindowFaults, TheWindowFitsTheScreen) {
  const QRect room = window.screen()->availableGeometry();
  EXPECT_LE(window.frameGeometry().width(), room.width());
  EXPECT_LE(window.frameGeometry().height(), room.height());
  const struct {
    WindowSize wanted, available, fitted;
  } cases[] = {{{900, 600}, {1920, 1080}, {900, 600}},
               {{900, 600}, {800, 500}, {720, 450}},  // QT_SCALE_FACTOR=2 on 1600x1000
               {{900, 600}, {0, 0}, {900, 600}}};     // no screen known
  for (const auto& size : cases)
    EXPECT_EQ(FittedWindowSize(size.wanted, size.available), size.fitted);
}

// --- Keyboard only ----------------------------------------------------------------------------

using HexWindowKeyboard = HexWindowUser;

// F6 goes round the view, the find bar and the panels shown; Shift+F6 the other way.
TEST_F(HexWindowKeyboard, F6MovesTheFocusRoundTheParts) {
  Open(Write("data.bin", "ab-ab-ab"));
  dialogs.findAnswers.push_back(FindRequest{"ab", false, true});
  MenuItem("Find...")->trigger();
  MenuItem("Byte Values")->trigger();
  QApplication::processEvents();
  const auto focusIn = [&](QWidget& part) {
    QWidget* focus = QApplication::focusWidget();
    return focus && (focus == &part || part.isAncestorOf(focus));
  };
  QWidget* order[] = {&window.FindResults(), &window.ByteValuesPanel(), &window.View()};
  for (QWidget* part : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    EXPECT_TRUE(focusIn(*part)) << part->metaObject()->className() << " "
                                << (QApplication::focusWidget()
                                        ? QApplication::focusWidget()->metaObject()->className()
                                        : "none");
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
  EXPECT_TRUE(focusIn(window.ByteValuesPanel())) << "Shift+F6 goes back";
}

// The menu key and Shift+F10 in the view open the offset format menu; the arrows and Enter
// choose a format.
TEST_F(HexWindowKeyboard, TheMenuKeysOpenTheOffsetFormatsInTheView) {
  Open(Write("data.bin", std::string(64, '.')));
  auto* menu = window.findChild<QMenu*>(QStringLiteral("offsetMenu"));
  ASSERT_NE(menu, nullptr);
  for (const auto& [key, modifiers] :
       {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
    Press(key, modifiers);
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 1000));
    QTest::keyClick(menu, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }, 1000));
  }
  Press(Qt::Key_Menu);
  ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 1000));
  QTest::keyClick(menu, Qt::Key_Down);
  QTest::keyClick(menu, Qt::Key_Return);
  EXPECT_EQ(window.Editor().OffsetFormat(), "-!A:|") << "the one after the current format";
}

}  // namespace
}  // namespace kestrave::app
