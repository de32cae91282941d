#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "app/hex/HexWindow.h"
#include "platform/UserInterface.h"
#include "platform/ole/Clipboard.h"
#include "support/ByteNames.h"
#include "support/Fakes.h"
#include "support/TempDir.h"
#include "view/HexView.h"
#include "view/QtClipboard.h"
#include "view/QtDragLoop.h"

namespace kestrave::view {
namespace {

namespace ole = platform::ole;

using kestrave::test::RecordingErrors;

// What Qt delivers to a view while something is dragged over it and dropped.
class HexViewDrops : public ::testing::Test {
 protected:
  HexViewDrops() {
    platform::SetCurrentErrorDisplay(&errors);
    ole::SetCurrentClipboard(&clipboard);
    windowA.show();
    windowB.show();
    QApplication::processEvents();
  }
  ~HexViewDrops() override {
    ole::SetCurrentClipboard(nullptr);
    platform::SetCurrentErrorDisplay(nullptr);
  }

  void Load(app::HexWindow& window, const std::string& text) {
    const std::string name = dir.File("data" + std::to_string(++files) + ".bin");
    test::WriteAll(name, std::vector<std::uint8_t>(text.begin(), text.end()));
    ASSERT_TRUE(window.OpenFile(name));
    QApplication::processEvents();
  }
  static std::string Text(app::HexWindow& window) {
    hex::THexEditorEx& editor = window.Editor();
    std::string text(static_cast<std::size_t>(editor.DataSize()), '\0');
    for (int i = 0; i < editor.DataSize(); ++i)
      text[static_cast<std::size_t>(i)] = static_cast<char>(editor.ReadByte(i));
    return text;
  }
  // The middle of the hex cell of byte `position`, in the viewport's coordinates.
  static QPoint PointOf(app::HexWindow& window, int position) {
    hex::THexEditorEx& editor = window.Editor();
    const hex::PaintRect cell = editor.CellRect(editor.PositionToCell(position, false));
    return QPoint((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
  }
  // Enters, moves over byte `position` and drops there; the drop event as Qt left it.
  struct Outcome {
    bool accepted;
    Qt::DropAction action;
  };
  static Outcome DropOn(app::HexWindow& window, int position, const QMimeData& mime,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                        Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction |
                                                  Qt::LinkAction) {
    return DropAt(window, PointOf(window, position), mime, modifiers, offered);
  }
  static Outcome DropAt(app::HexWindow& window, QPoint at, const QMimeData& mime,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                        Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction |
                                                  Qt::LinkAction) {
    QWidget* viewport = window.View().viewport();
    QDragEnterEvent enter(at, offered, &mime, Qt::LeftButton, modifiers);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, offered, &mime, Qt::LeftButton, modifiers);
    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(at, offered, &mime, Qt::NoButton, modifiers);
    QApplication::sendEvent(viewport, &drop);
    QApplication::processEvents();
    return {drop.isAccepted(), drop.dropAction()};
  }

  test::TempDir dir;
  int files = 0;
  RecordingErrors errors;
  ole::InProcessClipboard clipboard;
  app::HexWindow windowA;
  app::HexWindow windowB;
};

TEST_F(HexViewDrops, PlainTextOfAnotherProgramIsInsertedWhereItIsDropped) {
  Load(windowA, "abcdef");
  QMimeData mime;
  mime.setText(QStringLiteral("XY"));
  const Outcome outcome = DropOn(windowA, 2, mime);
  EXPECT_TRUE(outcome.accepted);
  EXPECT_EQ(outcome.action, Qt::CopyAction);
  EXPECT_EQ(Text(windowA), "abXYcdef");
  EXPECT_EQ(windowA.Editor().SelectionStart(), 2);
  EXPECT_EQ(windowA.Editor().SelectionEnd(), 3);
  windowA.Editor().Undo();
  EXPECT_EQ(Text(windowA), "abcdef");

  // Shift asks the other program to move its text away.
  const Outcome shifted = DropOn(windowA, 0, mime, Qt::ShiftModifier);
  EXPECT_EQ(shifted.action, Qt::MoveAction);
  EXPECT_EQ(Text(windowA), "XYabcdef");
}

TEST_F(HexViewDrops, TextDroppedBelowTheLastRowIsAppended) {
  Load(windowA, "abcdef");
  QMimeData mime;
  mime.setText(QStringLiteral("XY"));
  const QPoint first = PointOf(windowA, 1);
  const Outcome outcome = DropAt(windowA, QPoint(first.x(), first.y() + 60), mime);
  EXPECT_TRUE(outcome.accepted);
  EXPECT_EQ(Text(windowA), "abcdefXY");
  EXPECT_EQ(windowA.Editor().DropPosition(), -1) << "the marker is gone after the drop";
}

TEST_F(HexViewDrops, AFileListInsertsTheFirstFileOrWithShiftLinksTheNames) {
  Load(windowA, "ab");
  test::WriteAll(dir.File("first.txt"), std::vector<std::uint8_t>{'1', '2', '3'});
  test::WriteAll(dir.File("second.txt"), std::vector<std::uint8_t>{'4'});
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.File("first.txt"))),
                QUrl::fromLocalFile(QString::fromStdString(dir.File("second.txt")))});
  const Outcome copied = DropOn(windowA, 1, mime);
  EXPECT_EQ(copied.action, Qt::CopyAction);
  EXPECT_EQ(Text(windowA), "a123b");

  Load(windowA, "ab");
  const Outcome linked = DropOn(windowA, 1, mime, Qt::ShiftModifier);
  EXPECT_TRUE(linked.accepted);
  EXPECT_EQ(linked.action, Qt::LinkAction);
  const std::string names = dir.File("first.txt") + '\0' + dir.File("second.txt") + '\0';
  EXPECT_EQ(Text(windowA), "a" + names + "b");
}

// File managers send a name that is not UTF-8 percent-encoded byte by byte: its bytes arrive.
TEST_F(HexViewDrops, AFileWhoseNameIsNotUtf8IsInsertedOrItsNameLinkedAsBytes) {
  Load(windowA, "ab");
  const std::string file = dir.File(test::kCp1251Name);
  test::WriteAll(file, std::vector<std::uint8_t>{'c', 'p'});
  QMimeData mime;
  mime.setData("text/uri-list", QByteArray::fromStdString(test::FileUrl(file) + "\r\n"));
  DropOn(windowA, 1, mime);
  EXPECT_EQ(Text(windowA), "acpb");
  Load(windowA, "ab");
  DropOn(windowA, 1, mime, Qt::ShiftModifier);
  EXPECT_EQ(Text(windowA), "a" + file + '\0' + "b");
  EXPECT_TRUE(errors.shown.empty());
}

TEST_F(HexViewDrops, AnEffectTheSourceDoesNotOfferIsRefused) {
  Load(windowA, "ab");
  QMimeData mime;
  mime.setText(QStringLiteral("Z"));
  const Outcome outcome = DropOn(windowA, 1, mime, Qt::NoModifier, Qt::MoveAction);
  EXPECT_FALSE(outcome.accepted) << "a copy was due, the source only moves";
  EXPECT_EQ(Text(windowA), "ab");
}

TEST_F(HexViewDrops, BytesDraggedFromAnotherWindowArriveWithTheirOwnData) {
  Load(windowA, std::string("\x00\x11\x22\x33", 4));
  Load(windowB, "ab");
  windowA.Editor().SetSelection(1, 2);
  windowA.Editor().CopyToClipboard();
  ole::ComPtr<ole::IDataObject> data;
  ASSERT_EQ(clipboard.GetClipboard(data), ole::S_OK);
  HexMimeData mime(data.Get());  // what a drag out of window A carries
  const Outcome outcome = DropOn(windowB, 1, mime);
  EXPECT_EQ(outcome.action, Qt::CopyAction);
  EXPECT_EQ(Text(windowB), std::string("a\x11\x22", 3) + "b");
  EXPECT_EQ(windowA.Editor().DataSize(), 4) << "a copy leaves the source";
}

TEST_F(HexViewDrops, AReadOnlyViewRefusesAndALeaveHidesTheMarker) {
  Load(windowA, "abcd");
  QMimeData mime;
  mime.setText(QStringLiteral("Z"));
  windowA.Editor().SetReadOnlyView(true);
  EXPECT_FALSE(DropOn(windowA, 1, mime).accepted);
  EXPECT_EQ(Text(windowA), "abcd");

  windowA.Editor().SetReadOnlyView(false);
  QWidget* viewport = windowA.View().viewport();
  const QPoint at = PointOf(windowA, 2);
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &enter);
  EXPECT_TRUE(enter.isAccepted());
  EXPECT_EQ(windowA.Editor().DropPosition(), 2);
  QDragLeaveEvent leave;
  QApplication::sendEvent(viewport, &leave);
  EXPECT_EQ(windowA.Editor().DropPosition(), -1);
  EXPECT_EQ(Text(windowA), "abcd");
  EXPECT_TRUE(errors.shown.empty());
}

TEST(QtDragActions, EffectsAndActionsMapBothWays) {
  EXPECT_EQ(EffectsOf(QtActionsOf(ole::DROPEFFECT_COPY | ole::DROPEFFECT_LINK)),
            ole::DROPEFFECT_COPY | ole::DROPEFFECT_LINK);
  EXPECT_EQ(QtActionOf(ole::DROPEFFECT_COPY | ole::DROPEFFECT_MOVE), Qt::MoveAction);
  EXPECT_EQ(QtActionOf(ole::DROPEFFECT_NONE), Qt::IgnoreAction);
  EXPECT_EQ(KeyStateOf(Qt::ShiftModifier | Qt::ControlModifier, Qt::LeftButton),
            ole::MK_SHIFT | ole::MK_CONTROL | ole::MK_LBUTTON);
}

}  // namespace
}  // namespace kestrave::view
