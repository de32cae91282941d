#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <cstring>
#include <filesystem>

#include "app/hex/ByteValuesDock.h"
#include "app/hex/FindBar.h"
#include "app/hex/HexTab.h"
#include "app/hex/HexWindow.h"
#include "app/hex/OldRecentFiles.h"
#include "app/hex/RecentFiles.h"
#include "app/hex/ViewSettingsStore.h"
#include "platform/UserInterface.h"
#include "support/ByteNames.h"
#include "support/Fakes.h"
#include "support/HexWindowUser.h"
#include "support/HostileFiles.h"
#include "support/TempDir.h"
#include "tests/app/hex/ScriptedHexDialogs.h"
#include "view/HexView.h"

namespace kestrave::app {
namespace {

using test::Contents;
using test::FirstRun;
using test::HexWindows;
using test::HexWindowUser;
using test::Read;
using test::RecentEntries;
using test::ScriptedHexDialogs;

// --- Go to offset -----------------------------------------------------------------------------

using HexWindowGoTo = HexWindowUser;

TEST_F(HexWindowGoTo, TheCaretGoesWhereTheTypedOffsetSaysAndTheDialogRemembersIt) {
  Open(Write("data.bin", std::string(256, '.')));
  dialogs.offsetAnswers.push_back("0x80");
  MenuItem("Go to Offset...")->trigger();
  EXPECT_EQ(window.Editor().CursorPosition(), 0x80);
  dialogs.offsetAnswers.push_back("-16");
  MenuItem("Go to Offset...")->trigger();
  EXPECT_EQ(window.Editor().CursorPosition(), 0x70);
  dialogs.offsetAnswers.push_back("50%");
  MenuItem("Go to Offset...")->trigger();
  EXPECT_EQ(window.Editor().CursorPosition(), 128);
  ASSERT_EQ(dialogs.offsetShownWith.size(), 3u);
  EXPECT_EQ(dialogs.offsetShownWith[0], "");
  EXPECT_EQ(dialogs.offsetShownWith[2], "-16") << "the dialog starts with the last value";
  EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(HexWindowGoTo, AnOffsetOutsideTheDataIsRefusedAndTheCaretStays) {
  Open(Write("data.bin", std::string(256, '.')));
  window.Editor().SetSelectionStart(10);
  dialogs.offsetAnswers.push_back("0x100");
  MenuItem("Go to Offset...")->trigger();
  EXPECT_EQ(window.Editor().CursorPosition(), 10);
  EXPECT_EQ(dialogs.errors,
            std::vector<std::string>{
                "Offset 0x100 lies outside the data, which runs from 0 to 255 (0xFF)."});
  dialogs.offsetAnswers.push_back("lots");
  MenuItem("Go to Offset...")->trigger();
  ASSERT_EQ(dialogs.errors.size(), 2u);
  EXPECT_EQ(dialogs.errors[1], "\"lots\" is not an offset: type 1234, 0x4D2, +16, -0x10 or 50%.");
  MenuItem("Go to Offset...")->trigger();  // cancelled
  EXPECT_EQ(dialogs.errors.size(), 2u);
  EXPECT_EQ(MenuItem("Go to Offset...")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));
}

// --- Data panel ---------------------------------------------------------------------------

using HexWindowByteValues = HexWindowUser;

TEST_F(HexWindowByteValues, FollowsTheCaretAndTheSelectionInEitherByteOrder) {
  Open(Write("data.bin", std::string("\x34\x12\xFF\xFF\x00\x00\x80\x3F", 8)));
  ByteValuesDock& panel = window.ByteValuesPanel();
  EXPECT_FALSE(panel.isVisible()) << "shown on request";
  MenuItem("Byte Values")->trigger();
  QApplication::processEvents();
  ASSERT_TRUE(panel.isVisible());
  EXPECT_EQ(panel.ShownValue(ValueType::UInt16), "4660");
  EXPECT_EQ(panel.ShownValue(ValueType::Binary), "00110100");
  Press(Qt::Key_Right);
  Press(Qt::Key_Right);
  EXPECT_EQ(window.Editor().CursorPosition(), 1);
  EXPECT_EQ(panel.ShownValue(ValueType::UInt8), "18") << "follows the caret";
  window.Editor().SetSelection(4, 7);
  QApplication::processEvents();
  EXPECT_EQ(panel.ShownValue(ValueType::Float32), "1") << "from the selection's start";
  panel.SetBigEndian(true);
  EXPECT_EQ(panel.ShownValue(ValueType::UInt32), "32831");
  window.Editor().SetSelectionStart(7);
  QApplication::processEvents();
  EXPECT_EQ(panel.ShownValue(ValueType::UInt16), "") << "one byte left";
}

TEST_F(HexWindowByteValues, ATypedValueIsWrittenAsOneStepThatUndoTakesBack) {
  Open(Write("data.bin", std::string(8, '\0')));
  ByteValuesDock& panel = window.ByteValuesPanel();
  panel.show();
  window.Editor().SetSelectionStart(2);
  panel.EditValue(ValueType::Int16, "-2");
  EXPECT_EQ(Selected(), "");
  std::string bytes(8, '\0');
  window.Editor().ReadBlock(bytes.data(), 0, 8);
  EXPECT_EQ(bytes, std::string("\0\0\xFE\xFF\0\0\0\0", 8));
  EXPECT_EQ(panel.ShownValue(ValueType::Int16), "-2");
  EXPECT_EQ(window.Editor().DataSize(), 8);
  ASSERT_TRUE(window.Editor().CanUndo());
  EXPECT_EQ(window.Editor().UndoDescription(), "Edit int16");
  window.Editor().Undo();
  window.Editor().ReadBlock(bytes.data(), 0, 8);
  EXPECT_EQ(bytes, std::string(8, '\0'));

  panel.EditValue(ValueType::Int8, "300");
  window.Editor().SetSelectionStart(6);
  panel.EditValue(ValueType::UInt32, "7");
  EXPECT_EQ(dialogs.errors,
            (std::vector<std::string>{
                "\"300\" is not a value of type int8.",
                "A uint32 value needs 4 bytes; the data has 2 from the caret on."}));
  EXPECT_FALSE(window.Editor().CanUndo()) << "nothing was written";
}

// Wide values are drawn whole at the panel's first width; made narrow, a value loses its middle
// but keeps its exponent and last digits, and its tool tip and Ctrl+C give the whole of it.
TEST_F(HexWindowByteValues, AWideValueIsNeverCutWhereItWouldReadAsAnother) {
  const double wide = 2.325752839407361e+35;
  std::string bytes(8, '\0');
  std::memcpy(bytes.data(), &wide, sizeof wide);
  Open(Write("data.bin", bytes));
  ByteValuesDock& panel = window.ByteValuesPanel();
  MenuItem("Byte Values")->trigger();
  QApplication::processEvents();
  auto* table = panel.findChild<QTableWidget*>();
  ASSERT_NE(table, nullptr);
  const QString whole = panel.ShownValue(ValueType::Float64);
  ASSERT_TRUE(whole.endsWith(QStringLiteral("e+35"))) << whole.toStdString();
  for (const ValueType type : {ValueType::Float64, ValueType::Int64, ValueType::UInt64})
    EXPECT_EQ(panel.DrawnValue(type), panel.ShownValue(type)) << "whole at the first width";

  window.CurrentTab().resizeDocks({&panel}, {140}, Qt::Horizontal);  // the panel lives in its tab
  QApplication::processEvents();
  const QString drawn = panel.DrawnValue(ValueType::Float64);
  EXPECT_TRUE(drawn.contains(QChar(0x2026)) && drawn.endsWith(QStringLiteral("e+35")))
      << drawn.toStdString();
  const QString integer = panel.DrawnValue(ValueType::UInt64);
  EXPECT_TRUE(integer.endsWith(panel.ShownValue(ValueType::UInt64).right(1)))
      << integer.toStdString();
  for (int row = 0; row < table->rowCount(); ++row) {
    if (table->item(row, 1)->text() != whole) continue;
    EXPECT_EQ(table->item(row, 1)->toolTip(), whole);
    table->setFocus();
    table->setCurrentCell(row, 0);
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), whole);
  }
}

// --- Copy as ----------------------------------------------------------------------------------

using HexWindowCopyAs = HexWindowUser;

TEST_F(HexWindowCopyAs, TheSelectionGoesToTheClipboardInEachForm) {
  Open(Write("data.bin", std::string("Hi\xC0\n\x00", 5)));
  MenuItem("Hex Text")->trigger();
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Select the bytes to copy first."});
  window.Editor().SetSelection(0, 4);
  QClipboard* clipboard = QGuiApplication::clipboard();
  MenuItem("Hex Text")->trigger();
  EXPECT_EQ(clipboard->text().toStdString(), "48 69 C0 0A 00");
  MenuItem("C Array")->trigger();
  EXPECT_EQ(clipboard->text().toStdString(),
            "const unsigned char data[5] = {\n    0x48, 0x69, 0xC0, 0x0A, 0x00,\n};\n");
  MenuItem("Base64")->trigger();
  EXPECT_EQ(clipboard->text().toStdString(), "SGnACgA=");
  MenuItem("Text")->trigger();
  EXPECT_EQ(clipboard->text(), QString::fromUtf16(u"Hi\u0410..")) << "as the characters show";
  window.Editor().SetTranslation(hex::tkDos8);
  MenuItem("Text")->trigger();
  EXPECT_EQ(clipboard->text().at(2), QChar('+')) << "0xC0, a DOS box corner, as the view shows it";
}

// --- Checksums and the status -------------------------------------------------------------------

using HexWindowChecksum = HexWindowUser;

TEST_F(HexWindowChecksum, EachChecksumOfTheSelectionIsTheWellKnownOne) {
  Open(Write("data.bin", "xxabcxx"));
  MenuItem("SHA-256")->trigger();
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Select the bytes to sum first."});
  dialogs.messages.clear();
  window.Editor().SetSelection(2, 4);
  for (const char* name : {"CRC-32", "MD5", "SHA-1", "SHA-256"})
    MenuItem(name)->trigger();
  EXPECT_EQ(dialogs.messages,
            (std::vector<std::string>{
                "CRC-32 of 3 bytes from 0x2:\n352441c2",
                "MD5 of 3 bytes from 0x2:\n900150983cd24fb0d6963f7d28e17f72",
                "SHA-1 of 3 bytes from 0x2:\na9993e364706816aba3e25717850c26c9cd0d89d",
                "SHA-256 of 3 bytes from 0x2:\n"
                "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"}));
  const auto* status = window.statusBar();
  QStringList texts;
  for (const QLabel* label : status->findChildren<QLabel*>())
    texts << label->text();
  EXPECT_TRUE(texts.contains("Selected 3 bytes from 0x2 to 0x4 (2 to 4)"))
      << texts.join('|').toStdString();
}

TEST_F(HexWindowChecksum, ALongSelectionShowsItsProgressAndCanBeStopped) {
  Open(Write("big.bin", std::string(HexWindow::kProgressFrom + 10, 'z')));
  window.Editor().SelectAll();
  dialogs.cancelFrom = 50;
  MenuItem("MD5")->trigger();
  EXPECT_FALSE(dialogs.progress.empty());
  EXPECT_TRUE(dialogs.messages.empty()) << "stopped: no sum shown";
  dialogs.cancelFrom.reset();
  MenuItem("CRC-32")->trigger();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].rfind("CRC-32 of 8388618 bytes from 0x0:", 0), 0u);
}

// --- Recent files and dropped files ------------------------------------------------------------

using HexWindowRecent = HexWindowUser;

TEST_F(HexWindowRecent, ARecentFileOpensWhereItWasLeft) {
  const std::string first = Write("first.bin", std::string(300, 'a'));
  const std::string second = Write("second.bin", std::string(100, 'b'));
  Open(first);
  window.Editor().SetSelectionStart(200);
  Open(second);
  EXPECT_EQ(window.Editor().CursorPosition(), 0) << "a file never opened before starts at 0";
  window.Editor().SetSelectionStart(42);
  Open(first);
  EXPECT_EQ(window.Editor().CursorPosition(), 200);
  Open(second);
  EXPECT_EQ(window.Editor().CursorPosition(), 42);
  // A file that shrank meanwhile starts at 0 rather than past its end.
  kestrave::test::WriteAll(first, std::string(50, 'a'));
  Open(first);
  EXPECT_EQ(window.Editor().CursorPosition(), 0);
}

TEST_F(HexWindowRecent, AFileDroppedOnTheWindowOpens) {
  const std::string file = Write("dropped.bin", "dropped bytes");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
  EXPECT_TRUE(DropOnWindow(data));
  EXPECT_EQ(window.Editor().FileName(), file);
  EXPECT_EQ(window.Editor().DataSize(), 13);
  QMimeData folder;
  folder.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.Path()))});
  QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &folder, Qt::LeftButton, Qt::NoModifier);
  refused.setAccepted(false);
  QApplication::sendEvent(&window, &refused);
  EXPECT_FALSE(refused.isAccepted()) << "a folder is not a file to open";
}

// --- Replace ----------------------------------------------------------------------------------

using HexWindowReplace = HexWindowUser;

TEST_F(HexWindowReplace, ReplaceAllIsOneStepAndReplaceTakesTheNextMatch) {
  Open(Write("text.bin", "cat, Cat, dog, CAT, caat"));
  dialogs.replaceAnswers.push_back(ReplaceRequest{{"cat", false, true}, "tiger", true});
  MenuItem("Replace...")->trigger();
  EXPECT_EQ(Contents(window), "tiger, tiger, dog, tiger, caat");
  ASSERT_TRUE(window.Editor().CanUndo());
  EXPECT_EQ(window.Editor().UndoDescription(), "Replace All");
  window.Editor().Undo();
  EXPECT_EQ(Contents(window), "cat, Cat, dog, CAT, caat") << "one undo takes all back";
  EXPECT_FALSE(window.Editor().CanUndo());

  window.Editor().SetSelectionStart(3);
  dialogs.replaceAnswers.push_back(ReplaceRequest{{"cat", false, false}, "ox", false});
  MenuItem("Replace...")->trigger();
  EXPECT_EQ(Contents(window), "ox, Cat, dog, CAT, caat")
      << "with letter case, no match after the caret: the search wraps to the first";
  EXPECT_EQ(Selected(), "ox") << "the replacement is selected";
  dialogs.replaceAnswers.push_back(ReplaceRequest{{"cat", false, false}, "ox", false});
  MenuItem("Replace...")->trigger();
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Not found."});
  EXPECT_EQ(window.Editor().UndoDescription(), "Replace");
}

// More replacements than the history's size limit holds: one undo still takes them all back,
// a few (kept one by one) as well as many (in one pass).
TEST_F(HexWindowReplace, ManyReplacementsAreStillOneStep) {
  Open(Write("few.bin", std::string(9000, 'a') + "x"));
  window.Editor().SetMaxUndo(4096);  // 4,500 records of replacements hold far more
  dialogs.replaceAnswers.push_back(ReplaceRequest{{"aa", false, true}, "bc", true});
  MenuItem("Replace...")->trigger();
  EXPECT_EQ(Contents(window).substr(8990), "bcbcbcbcbcx");
  EXPECT_EQ(window.Editor().MaxUndo(), 4096) << "the limit is the user's again";
  window.Editor().Undo();
  EXPECT_TRUE(Contents(window) == std::string(9000, 'a') + "x");
  EXPECT_FALSE(window.Editor().CanUndo());

  Open(Write("many.bin", std::string(60000, 'a')));
  const int limit = window.Editor().MaxUndo();
  dialogs.replaceAnswers.push_back(ReplaceRequest{{"a", false, true}, "b", true});
  MenuItem("Replace...")->trigger();
  EXPECT_TRUE(dialogs.errors.empty());
  EXPECT_TRUE(Contents(window) == std::string(60000, 'b'));
  EXPECT_EQ(window.Editor().MaxUndo(), limit) << "the limit is the user's again";
  window.Editor().Undo();
  EXPECT_TRUE(Contents(window) == std::string(60000, 'a')) << "one undo takes all back";
  EXPECT_FALSE(window.Editor().CanUndo());
}

// Replacements of another length each moved the rest of the data: 100,000 of them in 4 MiB
// took minutes. Now the result is built in one pass and is still one step.
TEST_F(HexWindowReplace, ManyReplacementsOfAnotherLengthAreOnePassAndOneStep) {
  std::string data;
  for (int k = 0; k < 100000; ++k)
    data += k % 2 ? "ab......" : "ab..ab";
  data += "tail";
  Open(Write("grow.bin", data));
  window.Editor().SetSelectionStart(5);
  dialogs.replaceAnswers.push_back(ReplaceRequest{{"ab", false, true}, "XYZ", true});
  MenuItem("Replace...")->trigger();
  std::string expected;
  for (int k = 0; k < 100000; ++k)
    expected += k % 2 ? "XYZ......" : "XYZ..XYZ";
  expected += "tail";
  EXPECT_TRUE(Contents(window) == expected);
  EXPECT_EQ(window.Editor().UndoDescription(), "Replace All");
  window.Editor().Undo();
  EXPECT_TRUE(Contents(window) == data) << "one undo takes all back";
  window.Editor().Redo();
  EXPECT_TRUE(Contents(window) == expected) << "a step of its own, it is redone as well";

  // Shrinking, with bytes before the first match and after the last.
  Open(Write("shrink.bin", "..abab.ab..x"));
  dialogs.replaceAnswers.push_back(ReplaceRequest{{"AB", false, true}, "", true});
  MenuItem("Replace...")->trigger();
  EXPECT_EQ(Contents(window), ".....x");
}

TEST_F(HexWindowReplace, OnlyInTheSelectionReplacesTheMatchesWhollyInsideIt) {
  Open(Write("text.bin", "cat cat cat cat"));  // at 0, 4, 8, 12
  dialogs.replaceAnswers.push_back(ReplaceRequest{{"cat", false, true, true}, "dog", true});
  MenuItem("Replace...")->trigger();
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Select the bytes to search in first."});
  EXPECT_FALSE(window.Editor().CanUndo());

  window.Editor().SetSelection(3, 13);  // the cats at 4 and 8 whole, the one at 12 not
  dialogs.replaceAnswers.push_back(ReplaceRequest{{"cat", false, true, true}, "tiger", true});
  MenuItem("Replace...")->trigger();
  EXPECT_EQ(Contents(window), "cat tiger tiger cat");
  window.Editor().Undo();
  EXPECT_EQ(Contents(window), "cat cat cat cat");
  EXPECT_TRUE(dialogs.replaceShownWith.back().Find.InSelection) << "the dialog starts as asked";

  window.Editor().SetSelection(1, 5);  // the cat at 4 reaches one byte past it
  dialogs.replaceAnswers.push_back(ReplaceRequest{{"cat", false, true, true}, "dog", true});
  MenuItem("Replace...")->trigger();
  EXPECT_EQ(dialogs.messages.back(), "Not found in the selection.");
  EXPECT_EQ(Contents(window), "cat cat cat cat");
}

TEST_F(HexWindowReplace, HexBytesAndAFixedSizeThatRefusesOtherLengths) {
  Open(Write("bytes.bin", std::string("\x01\x02\x03\x01\x02\x01\x02\x01", 8)));
  dialogs.replaceAnswers.push_back(ReplaceRequest{{"01 02", true, true}, "FF", true});
  window.Editor().SetNoSizeChange(true);
  MenuItem("Replace...")->trigger();
  EXPECT_EQ(dialogs.errors,
            std::vector<std::string>{"The size of the data is fixed: the replacement must be 2 "
                                     "bytes long, as what it replaces."});
  EXPECT_EQ(window.Editor().DataSize(), 8) << "nothing replaced";
  dialogs.replaceAnswers.push_back(ReplaceRequest{{"01 02", true, true}, "AA BB", true});
  MenuItem("Replace...")->trigger();
  EXPECT_EQ(Contents(window), std::string("\xAA\xBB\x03\xAA\xBB\xAA\xBB\x01", 8));
  ASSERT_EQ(dialogs.replaceShownWith.size(), 2u);
  EXPECT_EQ(dialogs.replaceShownWith[1].Replacement, "FF") << "the dialog starts as last time";
}

// --- Help -------------------------------------------------------------------------------------

TEST_F(HexWindowUser, HelpKeysListsTheViewsKeysTheMenusShortcutsAndTheMouse) {
  MenuItem("Keys")->trigger();
  ASSERT_EQ(dialogs.helpShown.size(), 1u);
  EXPECT_EQ(dialogs.helpShown[0].first, "Keys");
  const std::string& page = dialogs.helpShown[0].second;
  for (const char* expected :
       {"Ctrl+Shift+3", "sets bookmark 3", "Shift+Page Down", "Edit > Go to Offset...",
        "Edit > Find Previous", "View > Byte Values", "Find > Close", "Ctrl+Wheel",
        "Right click on the offsets"})
    EXPECT_NE(page.find(expected), std::string::npos) << expected << "\n" << page;
}

// --- Find -------------------------------------------------------------------------------------

using HexWindowFind = HexWindowUser;

// The status line's last field: the find notice.
QString FindNotice(HexWindow& window) {
  for (const QLabel* label : window.statusBar()->findChildren<QLabel*>())
    if (label->text().startsWith(QStringLiteral("Match "))) return label->text();
  return {};
}

TEST_F(HexWindowFind, FindNextContinuesAfterEachHitAndWrapsAroundWithANotice) {
  Open(Write("text.bin", "..NEEDLE....needle..x"));
  dialogs.findAnswers.push_back(FindRequest{"needle", false, true});
  MenuItem("Find...")->trigger();
  EXPECT_EQ(window.Editor().SelectionLow(), 2) << "letter case ignored";
  EXPECT_EQ(Selected(), "NEEDLE");
  EXPECT_EQ(FindNotice(window), "Match 1 of 2");
  MenuItem("Find Next")->trigger();
  EXPECT_EQ(window.Editor().SelectionLow(), 12);
  EXPECT_EQ(Selected(), "needle");
  EXPECT_EQ(FindNotice(window), "Match 2 of 2");
  MenuItem("Find Next")->trigger();
  EXPECT_EQ(window.Editor().SelectionLow(), 2) << "past the last match: the first again";
  EXPECT_EQ(FindNotice(window), "Match 1 of 2, continued from the start");
  EXPECT_TRUE(dialogs.messages.empty()) << "a wrap is told in the status, not in a dialog";
  MenuItem("Find Previous")->trigger();
  EXPECT_EQ(window.Editor().SelectionLow(), 12) << "before the first match: the last";
  EXPECT_EQ(FindNotice(window), "Match 2 of 2, continued from the end");
  MenuItem("Find Previous")->trigger();
  EXPECT_EQ(window.Editor().SelectionLow(), 2);
  EXPECT_EQ(dialogs.findShownWith.size(), 1u) << "find next and previous ask nothing";
  EXPECT_EQ(MenuItem("Find Previous")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F3));

  // A change of the data is searched again: a third match appears.
  window.Editor().SetSelectionStart(19);
  window.Editor().ReplaceSelection("needle", 6, "typed", false);
  window.Editor().SetSelectionStart(0);
  MenuItem("Find Next")->trigger();
  EXPECT_EQ(FindNotice(window), "Match 1 of 3");

  dialogs.findAnswers.push_back(FindRequest{"needle", false, false});
  window.Editor().SetSelectionStart(0);
  MenuItem("Find...")->trigger();
  ASSERT_EQ(dialogs.findShownWith.size(), 2u);
  EXPECT_EQ(dialogs.findShownWith[1].Text, "needle") << "the dialog starts with the last search";
  EXPECT_EQ(window.Editor().SelectionLow(), 12) << "with letter case, only the lower-case one";
}

// Text is looked for as the character field shows it: in the DOS translation the same letter is
// another byte than in the Windows one.
TEST_F(HexWindowFind, TextIsFoundInTheCurrentTranslation) {
  Open(Write("dos.bin", std::string("..\xC6..\x86..", 7)));  // "Ж" in Windows-1251, in CP866
  dialogs.findAnswers.push_back(FindRequest{"\xD0\x96", false, false});
  MenuItem("Find...")->trigger();
  EXPECT_EQ(window.Editor().SelectionLow(), 2) << "as is: the Windows byte";
  window.Editor().SetTranslation(hex::tkDos8);
  window.Editor().SetSelectionStart(0);
  dialogs.findAnswers.push_back(FindRequest{"\xD0\x96", false, false});
  MenuItem("Find...")->trigger();
  EXPECT_EQ(window.Editor().SelectionLow(), 5) << "in the DOS translation: the DOS byte";
}

TEST_F(HexWindowFind, HexDigitsFindBytesAndAPatternWithoutBytesIsRefused) {
  Open(Write("bytes.bin", std::string("\x01\x02\xfe\xff\x00\xfe\xff", 7)));
  dialogs.findAnswers.push_back(FindRequest{"FE ff", true, true});
  MenuItem("Find...")->trigger();
  EXPECT_EQ(window.Editor().SelectionLow(), 2);
  EXPECT_EQ(window.Editor().SelectionCount(), 2);
  MenuItem("Find Next")->trigger();
  EXPECT_EQ(window.Editor().SelectionLow(), 5);

  dialogs.findAnswers.push_back(FindRequest{"zz", true, true});
  MenuItem("Find...")->trigger();
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"No hex digits to find."});
  EXPECT_EQ(window.Editor().SelectionLow(), 5) << "nothing searched";
  MenuItem("Find Next")->trigger();
  EXPECT_EQ(window.Editor().SelectionLow(), 2) << "the last real pattern, wrapped to its first";
  EXPECT_EQ(dialogs.messages.size(), 1u);

  dialogs.findAnswers.push_back(std::nullopt);
  window.Editor().SetSelectionStart(0);
  MenuItem("Find...")->trigger();
  EXPECT_EQ(window.Editor().SelectionCount(), 0) << "a cancelled dialog finds nothing";
}

// How many pixels of a byte's character box in the view have the highlight's colour.
int HighlightedPixels(HexWindow& window, int position) {
  hex::THexEditorEx& editor = window.Editor();
  const hex::PaintRect box = editor.CellRect(editor.PositionToCell(position, true));
  const QImage image = window.View().viewport()->grab().toImage();
  int count = 0;
  for (int y = box.Top; y < box.Bottom; ++y)
    for (int x = box.Left; x < box.Right; ++x)
      if (image.pixelColor(x, y) == QColor(0xFF, 0xF0, 0x80)) ++count;
  return count;
}

TEST_F(HexWindowFind, MatchesAreHighlightedAndCountedWhileTheFindBarIsOpen) {
  Open(Write("text.bin", "..needle....needle..needle"));
  EXPECT_TRUE(window.FindResults().isHidden());
  dialogs.findAnswers.push_back(FindRequest{"needle", false, true});
  MenuItem("Find...")->trigger();
  QApplication::processEvents();
  EXPECT_FALSE(window.FindResults().isHidden());
  EXPECT_EQ(window.FindResults().Summary(), QStringLiteral("\u201Cneedle\u201D: 3 matches"));
  EXPECT_EQ(window.HighlightedMatches().Starts(), (std::vector<int>{2, 12, 20}));
  EXPECT_EQ(HighlightedPixels(window, 2), 0) << "the selected match shows as the selection";
  EXPECT_GT(HighlightedPixels(window, 12), 0);
  EXPECT_GT(HighlightedPixels(window, 25), 0) << "the last byte of the last match";
  EXPECT_EQ(HighlightedPixels(window, 11), 0) << "a byte between matches";

  // A change of the data is searched again at once: the bar counts what is left.
  Change(13, 'X');
  QApplication::processEvents();
  EXPECT_EQ(window.HighlightedMatches().Starts(), (std::vector<int>{2, 20}));
  EXPECT_EQ(window.FindResults().Summary(), QStringLiteral("\u201Cneedle\u201D: 2 matches"));
  EXPECT_EQ(HighlightedPixels(window, 12), 0);

  // Esc closes the bar and the highlights go with it; F3 brings both back.
  window.FindResults().CloseAction()->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(window.FindResults().isHidden());
  EXPECT_TRUE(window.HighlightedMatches().Empty());
  EXPECT_EQ(HighlightedPixels(window, 20), 0);
  EXPECT_EQ(window.FindResults().CloseAction()->shortcut(), QKeySequence(Qt::Key_Escape));
  MenuItem("Find Next")->trigger();
  QApplication::processEvents();
  EXPECT_FALSE(window.FindResults().isHidden());
  EXPECT_EQ(window.HighlightedMatches().Count(), 2);

  Open(Write("other.bin", "needle needle"));
  EXPECT_TRUE(window.FindResults().isHidden()) << "another file: the matches were the last one's";
  EXPECT_TRUE(window.HighlightedMatches().Empty());

  MenuItem("Find Next")->trigger();
  dialogs.findAnswers.push_back(FindRequest{"nothing like it", false, true});
  MenuItem("Find...")->trigger();
  EXPECT_TRUE(window.FindResults().isHidden()) << "no match, nothing to show";
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Not found."});
}

TEST_F(HexWindowFind, FindInTheSelectionSearchesOnlyItsBytesEachTime) {
  Open(Write("text.bin", "needle..needle..needle..needle"));  // at 0, 8, 16, 24
  dialogs.findAnswers.push_back(FindRequest{"needle", false, true, true});
  MenuItem("Find...")->trigger();
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Select the bytes to search in first."});
  EXPECT_EQ(window.Editor().SelectionCount(), 0);

  window.Editor().SetSelection(6, 21);  // holds the matches at 8 and 16 whole
  dialogs.findAnswers.push_back(FindRequest{"needle", false, true, true});
  MenuItem("Find...")->trigger();
  EXPECT_EQ(window.Editor().SelectionLow(), 8);
  EXPECT_EQ(window.FindResults().Summary(),
            QStringLiteral("\u201Cneedle\u201D: 2 matches in the selection"));
  EXPECT_EQ(window.HighlightedMatches().Starts(), (std::vector<int>{8, 16}));
  MenuItem("Find Next")->trigger();
  EXPECT_EQ(window.Editor().SelectionLow(), 16);
  MenuItem("Find Next")->trigger();
  EXPECT_EQ(window.Editor().SelectionLow(), 8) << "wraps within the bytes first selected";
  EXPECT_EQ(FindNotice(window), "Match 1 of 2, continued from the start");

  window.Editor().SetSelection(8, 20);  // the match at 16 reaches one byte past it
  dialogs.findAnswers.push_back(FindRequest{"needle", false, true, true});
  MenuItem("Find...")->trigger();
  EXPECT_EQ(window.HighlightedMatches().Starts(), std::vector<int>{8});
  window.Editor().SetSelection(9, 14);
  dialogs.findAnswers.push_back(FindRequest{"needle", false, true, true});
  MenuItem("Find...")->trigger();
  EXPECT_EQ(dialogs.messages.back(), "Not found in the selection.");
  EXPECT_TRUE(dialogs.findShownWith.back().InSelection) << "the dialog starts as last asked";
}

TEST_F(HexWindowFind, ALongSearchShowsItsProgressAndCanBeStopped) {
  std::string data(24 << 20, '.');
  data.replace(data.size() - 10, 6, "needle");
  Open(Write("big.bin", data));
  dialogs.progress.clear();
  dialogs.cancelFrom = 0;
  dialogs.findAnswers.push_back(FindRequest{"needle", false, true});
  MenuItem("Find...")->trigger();
  ASSERT_FALSE(dialogs.progress.empty());
  EXPECT_EQ(dialogs.progress.front().first, "Searching big.bin");
  EXPECT_EQ(dialogs.progress.size(), 1u) << "stopped at the first report";
  EXPECT_EQ(window.Editor().SelectionCount(), 0) << "a stopped search selects nothing";
  EXPECT_TRUE(dialogs.messages.empty()) << "stopped is not \"Not found.\"";
  QStringList shown;
  for (const QLabel* label : window.statusBar()->findChildren<QLabel*>())
    shown << label->text();
  EXPECT_TRUE(shown.contains(QStringLiteral("Search stopped"))) << shown.join('|').toStdString();
  EXPECT_TRUE(window.FindResults().isHidden());

  dialogs.cancelFrom.reset();
  dialogs.progress.clear();
  MenuItem("Find Next")->trigger();
  EXPECT_EQ(window.Editor().SelectionLow(), static_cast<int>(data.size()) - 10)
      << "searched again, to its end";
  EXPECT_EQ(dialogs.progress.back().second, 100);
}

// --- Files ------------------------------------------------------------------------------------

using HexWindowFiles = HexWindowUser;

TEST_F(HexWindowFiles, SavingAChangedFileKeepsThePreviousContentAsBak) {
  const std::string path = Write("data.bin", "ABCDEF");
  Open(path);
  Change(0, 'x');
  EXPECT_TRUE(window.windowTitle().startsWith("data.bin *"));
  MenuItem("Save")->trigger();
  EXPECT_EQ(Read(path), "xBCDEF");
  EXPECT_EQ(Read(path + ".bak"), "ABCDEF");
  EXPECT_TRUE(window.windowTitle().startsWith("data.bin - ")) << window.windowTitle().toStdString();
  Change(1, 'y');
  MenuItem("Save")->trigger();
  EXPECT_EQ(Read(path), "xyCDEF");
  EXPECT_EQ(Read(path + ".bak"), "xBCDEF") << "the backup holds the content before this save";
  EXPECT_TRUE(dialogs.errors.empty());
  EXPECT_TRUE(dialogs.saveSuggestions.empty()) << "a file of its own is saved without asking";
}

// Save writes the file the window has open, whatever stands under its name: a link stays a
// link, every name of a file sees the new content, and the mode stays the file's own.
TEST_F(HexWindowFiles, SaveKeepsLinksSecondNamesAndTheMode) {
  const std::string real = Write("real.bin", "ABCDEF");
  ::chmod(real.c_str(), 0600);
  std::filesystem::create_symlink("real.bin", File("link.bin"));
  const std::string first = Write("first.bin", "ABCDEF");
  std::filesystem::create_hard_link(first, File("second.bin"));
  for (const std::string& opened : {File("link.bin"), first}) {
    SCOPED_TRACE(opened);
    Open(opened);
    Change(0, 'x');
    MenuItem("Save")->trigger();
    EXPECT_EQ(Read(opened), "xBCDEF");
    EXPECT_EQ(Read(opened + ".bak"), "ABCDEF");
  }
  EXPECT_TRUE(std::filesystem::is_symlink(File("link.bin")));
  EXPECT_EQ(std::filesystem::status(real).permissions(), std::filesystem::perms(0600));
  EXPECT_EQ(Read(File("second.bin")), "xBCDEF");
  EXPECT_EQ(std::filesystem::hard_link_count(first), 2u);
  EXPECT_TRUE(dialogs.errors.empty());
}

// Where no backup can be made the user is asked, and only a yes saves without one.
TEST_F(HexWindowFiles, ASaveWhoseBackupCannotBeMadeAsksToSaveWithoutOne) {
  const std::string path = Write("data.bin", "ABCDEF");
  std::filesystem::create_directories(path + ".bak/inside");
  Open(path);
  Change(0, 'x');
  dialogs.confirmAnswers = {false, true};
  MenuItem("Save")->trigger();
  ASSERT_EQ(dialogs.questions.size(), 1u);
  EXPECT_EQ(
      dialogs.questions[0].Text.rfind("Cannot create backup " + path + ".bak. (Is a directory)", 0),
      0u)
      << dialogs.questions[0].Text;
  EXPECT_EQ(Read(path), "ABCDEF") << "no answer yet that allows it";
  MenuItem("Save")->trigger();
  EXPECT_EQ(Read(path), "xBCDEF");
  EXPECT_TRUE(window.Editor().CreateBackup()) << "the next save makes its backup again";
  EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(HexWindowFiles, ANewBufferIsSavedUnderTheNameTheUserGives) {
  window.Editor().AppendBuffer("new", 3, "", false);
  MenuItem("Save")->trigger();
  EXPECT_EQ(dialogs.saveSuggestions.size(), 1u) << "no file yet: save asks for one";
  EXPECT_TRUE(dir.Entries().empty()) << "cancelled";
  dialogs.saveAnswers.push_back(File("named.bin"));
  MenuItem("Save As...")->trigger();
  EXPECT_EQ(Read(File("named.bin")), "new");
  EXPECT_FALSE(window.Editor().Modified());
  EXPECT_EQ(window.Editor().FileName(), File("named.bin"));
  EXPECT_EQ(HexWindow::RecentFiles().at(0), File("named.bin"));
}

// Another file opens in a tab of its own, the changed one keeps its data; closing the window
// asks about each changed file, its tab in front.
TEST_F(HexWindowFiles, ChangedDataIsSavedDiscardedOrKeptAsTheUserAnswers) {
  const std::string first = Write("first.bin", "1111");
  const std::string second = Write("second.bin", "2222");
  Open(first);
  Change(0, '9');
  dialogs.openAnswers.push_back(second);
  MenuItem("Open...")->trigger();
  EXPECT_TRUE(dialogs.saveChangesAskedFor.empty()) << "nothing is lost: nothing is asked";
  ASSERT_EQ(window.TabCount(), 2);
  EXPECT_EQ(window.Editor().FileName(), second);
  EXPECT_EQ(window.Tab(0).Editor().ReadByte(0), '9');
  Change(0, '8');

  dialogs.saveChangesAnswers.push_back(SaveChangesAnswer::Cancel);
  EXPECT_FALSE(window.close()) << "cancel keeps the window";
  EXPECT_EQ(dialogs.saveChangesAskedFor, std::vector<std::string>{"first.bin"});
  EXPECT_EQ(window.CurrentIndex(), 0) << "the file asked about is in front";
  EXPECT_EQ(window.Tab(1).Editor().ReadByte(0), '8') << "and every tab stays";

  dialogs.saveChangesAnswers = {SaveChangesAnswer::Save, SaveChangesAnswer::Discard};
  EXPECT_TRUE(window.close());
  EXPECT_EQ(dialogs.saveChangesAskedFor,
            (std::vector<std::string>{"first.bin", "first.bin", "second.bin"}));
  EXPECT_EQ(Read(first), "9111") << "saved";
  EXPECT_EQ(Read(second), "2222") << "discarded";
}

TEST_F(HexWindowFiles, AFileThatCannotBeOpenedIsReportedAndNotRemembered) {
  EXPECT_FALSE(Open(File("missing.bin")));
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_NE(dialogs.errors[0].find("missing.bin"), std::string::npos) << dialogs.errors[0];
  EXPECT_TRUE(HexWindow::RecentFiles().empty());
}

TEST_F(HexWindowFiles, LargeFilesShowTheirProgressAndCanBeCancelled) {
  Open(Write("small.bin", "small"));
  EXPECT_TRUE(dialogs.progress.empty()) << "small files load at once";

  const std::string big(HexWindow::kProgressFrom, 'b');
  Open(Write("big.bin", big));
  ASSERT_FALSE(dialogs.progress.empty());
  EXPECT_EQ(dialogs.progress.front().first, "Loading big.bin");
  EXPECT_EQ(dialogs.progress.back().second, 100);
  EXPECT_GT(dialogs.progressEnded, 0);
  EXPECT_EQ(window.Editor().DataSize(), HexWindow::kProgressFrom);

  dialogs.progress.clear();
  dialogs.cancelFrom = 50;
  EXPECT_FALSE(Open(File("big.bin")));
  EXPECT_EQ(dialogs.errors, std::vector<std::string>{"Operation Cancelled"});
  EXPECT_EQ(window.Editor().DataSize(), 0) << "nothing half loaded";
  EXPECT_LT(dialogs.progress.back().second, 100);
}

// A cancelled load empties the data: a save must not write that over the file shown before.
TEST_F(HexWindowFiles, AfterACancelledLoadNoFileIsOverwrittenWithNothing) {
  const std::string small = Write("small.bin", "small");
  Open(small);
  Write("big.bin", std::string(HexWindow::kProgressFrom, 'b'));
  dialogs.cancelFrom = 50;
  EXPECT_FALSE(Open(File("big.bin")));
  EXPECT_TRUE(window.windowTitle().startsWith("Untitled - ")) << window.windowTitle().toStdString();
  MenuItem("Save")->trigger();
  EXPECT_EQ(dialogs.saveSuggestions.size(), 1u) << "no file: save asks for a name";
  EXPECT_EQ(Read(small), "small");
  EXPECT_FALSE(MenuItem("Reload")->isEnabled());
}

// --- Recent files -----------------------------------------------------------------------------

using HexWindowRecent = HexWindowUser;

TEST_F(HexWindowRecent, MostRecentFirstEachFileOnceAtMostTen) {
  for (int k = 0; k < 12; ++k)
    Open(Write("f" + std::to_string(k), "x"));
  std::vector<std::string> recent = HexWindow::RecentFiles();
  ASSERT_EQ(recent.size(), std::size_t{HexWindow::kMaxRecentFiles});
  EXPECT_EQ(recent.front(), File("f11"));
  EXPECT_EQ(recent.back(), File("f2"));

  // The same file under another spelling moves to the front; it is not added twice.
  QDir::setCurrent(QString::fromStdString(dir.Path()));
  Open("./f5");
  recent = HexWindow::RecentFiles();
  EXPECT_EQ(recent.size(), std::size_t{HexWindow::kMaxRecentFiles});
  EXPECT_EQ(recent.front(), File("f5"));
  EXPECT_EQ(std::count(recent.begin(), recent.end(), File("f5")), 1);
  EXPECT_EQ(recent.at(1), File("f11"));
  QDir::setCurrent(QDir::rootPath());

  // The menu offers them in the same order and opens them.
  auto* menu = window.findChild<QMenu*>(QStringLiteral("recentMenu"));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(RecentEntries(*menu).size(), recent.size());
  EXPECT_EQ(RecentEntries(*menu).value(2)->text().toStdString(), recent.at(2));
  RecentEntries(*menu).value(2)->trigger();
  EXPECT_EQ(window.Editor().FileName(), File("f10"));
  EXPECT_EQ(HexWindow::RecentFiles().front(), File("f10"));
}

TEST_F(HexWindowRecent, TheListIsKeptForTheNextWindow) {
  Open(Write("kept.bin", "k"));
  HexWindow next(dialogs);
  auto* menu = next.findChild<QMenu*>(QStringLiteral("recentMenu"));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(RecentEntries(*menu).size(), 1);
  EXPECT_EQ(RecentEntries(*menu).front()->text().toStdString(), File("kept.bin"));
}

// --- Shortcuts --------------------------------------------------------------------------------

using HexWindowShortcuts = HexWindowUser;

TEST_F(HexWindowShortcuts, FindAndFindNextWorkFromTheKeyboard) {
  Open(Write("keys.bin", "abc-key-key-"));
  dialogs.findAnswers.push_back(FindRequest{"key", false, true});
  Press(Qt::Key_F, Qt::ControlModifier);
  ASSERT_EQ(dialogs.findShownWith.size(), 1u) << "Ctrl+F opens the find dialog";
  EXPECT_EQ(window.Editor().SelectionLow(), 4);
  Press(Qt::Key_F3);
  EXPECT_EQ(window.Editor().SelectionLow(), 8) << "F3 finds the next";
}

TEST_F(HexWindowShortcuts, FileShortcutsWorkWithTheFocusInTheView) {
  const std::string path = Write("file.bin", "0123");
  Open(path);
  Change(0, 'A');
  Press(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(Read(path), "A123") << "Ctrl+S";
  Press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(dialogs.saveSuggestions.size(), 1u) << "Ctrl+Shift+S";
  Press(Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(dialogs.openFolders.size(), 1u) << "Ctrl+O";

  const int before = HexWindows().size();
  Press(Qt::Key_N, Qt::ControlModifier);
  const QList<HexWindow*> after = HexWindows();
  EXPECT_EQ(after.size(), before + 1) << "Ctrl+N";
  for (HexWindow* other : after)
    if (other != &window) other->close();

  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  window.View().setFocus();
  Press(Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(window.isVisible()) << "Ctrl+Q";
}

// The editor's own keys act once: through the editor, never also through the menu.
TEST_F(HexWindowShortcuts, TheEditorsOwnKeysActOnce) {
  Open(Write("edit.bin", "0000"));
  Change(0, '1');
  Change(1, '2');
  Press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Read(File("edit.bin")), "0000");
  EXPECT_EQ(window.Editor().ReadByte(1), '0') << "one step undone";
  EXPECT_EQ(window.Editor().ReadByte(0), '1') << "only one";
  Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(window.Editor().ReadByte(1), '2') << "redone";

  const bool insert = window.Editor().InsertMode();
  Press(Qt::Key_Insert);
  EXPECT_NE(window.Editor().InsertMode(), insert) << "switched once, not back again";
  EXPECT_EQ(MenuItem("Insert Mode")->isChecked(), window.Editor().InsertMode());

  window.Editor().SetBookmark(3, 2, false);
  Press(Qt::Key_3, Qt::ControlModifier);
  EXPECT_EQ(window.Editor().CursorPosition(), 2) << "Ctrl+3 goes to bookmark 3";
}

// Every shortcut a menu shows does its work with the focus in the view, exactly once: the menu
// item fires unless the editor acts on the key itself.
TEST_F(HexWindowShortcuts, EveryShortcutShownInAMenuWorksOnce) {
  Open(Write("all.bin", "all"));
  int shortcuts = 0;
  // Every action a menu shows, also those another object owns (the panel's toggle). A save
  // rebuilds the recent files' menu, whose actions then go.
  QList<QPointer<QAction>> actions;
  for (QMenu* menu : window.menuBar()->findChildren<QMenu*>())
    for (QAction* action : menu->actions())
      if (!actions.contains(action)) actions.push_back(action);
  for (const QPointer<QAction>& action : actions) {
    if (!action) continue;
    const QKeySequence keys = action->shortcut();
    if (keys.isEmpty()) continue;
    ++shortcuts;
    const QKeyCombination combination = keys[0];
    const int editorKey = view::EditorKeyOf(combination.key());
    const hex::TShiftState shift =
        view::ShiftStateOf(combination.keyboardModifiers(), Qt::NoButton);
    const bool editorActs =
        editorKey != hex::vkNone && hex::THexEditorEx::HandlesKey(editorKey, shift);
    if (!window.isVisible()) window.show();  // after Quit
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.View().setFocus();
    int fired = 0;
    const auto counting = QObject::connect(action, &QAction::triggered, [&] { ++fired; });
    // A dialog of Qt's own (Print's) is dismissed once it shows.
    QTimer dismiss;
    QObject::connect(&dismiss, &QTimer::timeout, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    dismiss.start(50);
    QTest::keyClick(&window.View(), combination.key(), combination.keyboardModifiers());
    dismiss.stop();
    QObject::disconnect(counting);
    EXPECT_EQ(fired, editorActs ? 0 : 1)
        << keys.toString().toStdString() << " for " << action->text().toStdString();
  }
  EXPECT_EQ(shortcuts, 33) << "File 7, Edit 12, View 4, Bookmarks 10";
  for (HexWindow* other : HexWindows())
    if (other != &window) other->close();
}

// --- Layout -----------------------------------------------------------------------------------

using HexWindowLayout = HexWindowUser;

TEST_F(HexWindowLayout, ALargeFileIsShownAsItIsOnceLoaded) {
  std::string big(HexWindow::kProgressFrom + 100, '\0');
  for (std::size_t i = 0; i < big.size(); ++i)
    big[i] = static_cast<char>('A' + i % 26);
  Open(Write("big.bin", big));
  ASSERT_FALSE(dialogs.progress.empty()) << "the window drew itself while loading";
  const QImage atRest = OnScreen();
  window.View().viewport()->repaint();
  EXPECT_EQ(OnScreen(), atRest) << "nothing stale left by the paints during the load";
  EXPECT_EQ(window.View().verticalScrollBar()->maximum(), window.Editor().MaxTopRow());
  EXPECT_GT(window.View().verticalScrollBar()->maximum(), 500000);
}

TEST_F(HexWindowLayout, TheBytesPerRowMenuMarksTheCurrentValue) {
  auto* rows = window.findChild<QMenu*>(QStringLiteral("bytesPerRowMenu"));
  ASSERT_NE(rows, nullptr);
  const auto checked = [&] {
    QStringList texts;
    for (QAction* action : rows->actions())
      if (action->isChecked() && action->isVisible()) texts.append(action->text());
    return texts.join(QLatin1Char(','));
  };
  EXPECT_EQ(checked(), "16");
  MenuItem("32")->trigger();
  EXPECT_EQ(window.Editor().BytesPerRow(), 32);
  EXPECT_EQ(checked(), "32");

  Open(Write("zoom.bin", std::string(1000, 'z')));
  QWheelEvent wheel(QPointF(100, 100), QPointF(100, 100), QPoint(0, 0), QPoint(0, 120),
                    Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(window.View().viewport(), &wheel);
  ASSERT_EQ(window.Editor().BytesPerRow(), 33) << "Ctrl+wheel";
  for (QMenu* menu : window.menuBar()->findChildren<QMenu*>())
    emit menu->aboutToShow();
  EXPECT_EQ(checked(), "33") << "a value of none of the choices is shown as it is";
  MenuItem("16")->trigger();
  EXPECT_EQ(checked(), "16");
}

// --- Names that are bytes ---------------------------------------------------------------------

using HexWindowByteNames = HexWindowUser;
using kestrave::test::kCp1251Name;
using kestrave::test::kCp1251NameShown;

// Files from Windows often have CP1251 names: opened, saved, listed, dropped and shown by their
// bytes, which the window shows with U+FFFD.
TEST_F(HexWindowByteNames, ANameThatIsNotUtf8IsOpenedSavedListedDroppedAndShown) {
  const std::string file = Write(kCp1251Name, "ABCDEF");
  ASSERT_TRUE(Open(file));
  EXPECT_EQ(window.windowTitle().toStdString(), kCp1251NameShown + " - kestrave-hex");
  Change(0, 'x');
  MenuItem("Save")->trigger();
  EXPECT_EQ(Read(file), "xBCDEF");
  for (const std::string& entry : dir.Entries())
    EXPECT_EQ(entry.find(kCp1251NameShown), std::string::npos) << "written under the shown name";
  dialogs.saveAnswers.push_back(File(kCp1251Name + ".copy"));
  MenuItem("Save As...")->trigger();
  EXPECT_EQ(Read(File(kCp1251Name + ".copy")), "xBCDEF");
  EXPECT_EQ(dialogs.saveSuggestions, std::vector<std::string>{file}) << "suggested as bytes";

  EXPECT_EQ(HexWindow::RecentFiles().at(1), file);
  auto* recent = window.findChild<QMenu*>(QStringLiteral("recentMenu"));
  ASSERT_NE(recent, nullptr);
  EXPECT_EQ(recent->actions().value(1)->text().toStdString(), File(kCp1251NameShown));
  Open(Write("other.bin", "other"));
  recent->actions().value(2)->trigger();
  EXPECT_EQ(window.Editor().FileName(), file);

  Open(File("other.bin"));
  QMimeData data;  // as file managers send it: the name's bytes percent-encoded
  data.setData("text/uri-list", QByteArray::fromStdString(kestrave::test::FileUrl(file) + "\r\n"));
  EXPECT_TRUE(DropOnWindow(data));
  EXPECT_EQ(window.Editor().FileName(), file);

  Open(Write(kCp1251Name + ".big", std::string(HexWindow::kProgressFrom, 'b')));
  ASSERT_FALSE(dialogs.progress.empty()) << "the size of a file named in bytes is known too";
  EXPECT_EQ(dialogs.progress.front().first, "Loading " + kCp1251NameShown + ".big");
  EXPECT_TRUE(dialogs.errors.empty());
}

// --- Changes on disk --------------------------------------------------------------------------

using HexWindowDiskChanges = HexWindowUser;

TEST_F(HexWindowDiskChanges, AChangedFileIsToldOnceAndReloadedOrKeptAsTheUserAnswers) {
  const std::string path = Write("data.bin", "original");
  Open(path);
  window.Editor().SetSelectionStart(3);
  kestrave::test::WriteAll(path, "ORIGINAL and more");
  dialogs.confirmAnswers.push_back(true);
  window.CheckFileOnDisk();
  ASSERT_EQ(dialogs.questions.size(), 1u);
  EXPECT_EQ(dialogs.questions[0].Text,
            "The file " + path + " has been changed by another program.");
  EXPECT_EQ(dialogs.questions[0].Yes, "&Reload");
  EXPECT_EQ(dialogs.questions[0].No, "&Keep This Version");
  EXPECT_EQ(Contents(window), "ORIGINAL and more");
  EXPECT_EQ(window.Editor().CursorPosition(), 3) << "the caret stays";
  window.CheckFileOnDisk();
  EXPECT_EQ(dialogs.questions.size(), 1u) << "reloaded: nothing new";

  // Kept: told once; a save then asks before it overwrites the other program's file.
  Change(0, 'x');
  kestrave::test::WriteAll(File("new.bin"), "replaced");
  std::filesystem::rename(File("new.bin"), path);
  window.CheckFileOnDisk();
  window.CheckFileOnDisk();
  ASSERT_EQ(dialogs.questions.size(), 2u) << "told once";
  EXPECT_NE(dialogs.questions[1].Text.find("\nReloading it discards the changes made in this "
                                           "window."),
            std::string::npos);
  EXPECT_EQ(Contents(window), "xRIGINAL and more");
  MenuItem("Save")->trigger();
  ASSERT_EQ(dialogs.questions.size(), 3u);
  EXPECT_EQ(dialogs.questions[2].Text,
            "The file " + path +
                " has been changed by another program since this window read or saved it. Saving "
                "overwrites that change.\nOverwrite it?");
  EXPECT_EQ(dialogs.questions[2].No, "&Cancel");
  EXPECT_EQ(Read(path), "replaced") << "not overwritten unless the user says so";
  EXPECT_TRUE(window.Editor().Modified());
  dialogs.confirmAnswers.push_back(true);
  MenuItem("Save")->trigger();
  EXPECT_EQ(Read(path), "xRIGINAL and more");
  window.CheckFileOnDisk();
  Change(1, 'y');
  MenuItem("Save")->trigger();
  EXPECT_EQ(dialogs.questions.size(), 4u) << "its own saves are no change";
  EXPECT_EQ(Read(path), "xyIGINAL and more");
}

TEST_F(HexWindowDiskChanges, ARemovedFileIsToldOnceAndSavingWritesItAgain) {
  const std::string path = Write("data.bin", "kept");
  Open(path);
  std::filesystem::remove(path);
  window.CheckFileOnDisk();
  window.CheckFileOnDisk();
  EXPECT_EQ(dialogs.messages,
            std::vector<std::string>{"The file " + path +
                                     " has been removed by another program. The window keeps its "
                                     "data; saving writes the file again."});
  MenuItem("Save")->trigger();
  EXPECT_EQ(Read(path), "kept");
  EXPECT_TRUE(dialogs.questions.empty());
  kestrave::test::WriteAll(path, "made again");
  window.CheckFileOnDisk();
  EXPECT_EQ(dialogs.questions.size(), 1u) << "a file made again under the name is a change";
}

// The folder is watched: a change is told without the window being activated or asked.
TEST_F(HexWindowDiskChanges, TheWindowNoticesAChangeByItself) {
  const std::string path = Write("data.bin", "original");
  Open(path);
  Change(0, 'x');
  dialogs.saveChangesAnswers.push_back(SaveChangesAnswer::Save);
  MenuItem("Save")->trigger();
  kestrave::test::WriteAll(path, "changed");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dialogs.questions.empty(); }, 10000));
  QApplication::processEvents();
  EXPECT_EQ(dialogs.questions.size(), 1u) << "its own save was no change";
}

// A reload inside other work would take the data from under it: the question waits for its end.
TEST_F(HexWindowDiskChanges, NoQuestionComesInsideOtherWork) {
  const std::string path = Write("big.bin", std::string(HexWindow::kProgressFrom, 'b'));
  Open(path);
  std::optional<std::size_t> askedDuringSearch;
  QTimer::singleShot(0, &window, [&] {
    kestrave::test::WriteAll(path, "small now");
    window.CheckFileOnDisk();
    askedDuringSearch = dialogs.questions.size();
  });
  dialogs.findAnswers.push_back(FindRequest{"zz", false, true});
  MenuItem("Find...")->trigger();  // a search long enough to show its progress
  EXPECT_EQ(askedDuringSearch, 0u);
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Not found."});
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dialogs.questions.empty(); }, 10000));
  EXPECT_EQ(window.Editor().DataSize(), HexWindow::kProgressFrom) << "kept, the default";
}

TEST_F(HexWindowDiskChanges, FileReloadReadsTheDiskAgainAskingFirstWhenTheDataChanged) {
  EXPECT_FALSE(MenuItem("Reload")->isEnabled()) << "no file yet";
  const std::string path = Write("data.bin", "abc");
  Open(path);
  ASSERT_TRUE(MenuItem("Reload")->isEnabled());
  kestrave::test::WriteAll(path, "xyz");
  MenuItem("Reload")->trigger();
  EXPECT_EQ(Contents(window), "xyz");
  EXPECT_TRUE(dialogs.questions.empty()) << "nothing to lose";
  Change(0, 'q');
  MenuItem("Reload")->trigger();
  ASSERT_EQ(dialogs.questions.size(), 1u);
  EXPECT_EQ(dialogs.questions[0].Text,
            "Discard the changes made in this window and reload " + path + " from the disk?");
  EXPECT_EQ(Contents(window), "qyz") << "No is the default";
  dialogs.confirmAnswers.push_back(true);
  MenuItem("Reload")->trigger();
  EXPECT_EQ(Contents(window), "xyz");
  EXPECT_FALSE(window.Editor().Modified());
}

// --- Start-up files ---------------------------------------------------------------------------

// A FIFO where the recent files are kept, ours or the one earlier versions kept in Qt's settings,
// made the program wait for ever at start.
TEST(HexWindowStart, AFifoForTheRecentFilesIsReportedOnceAndTheWindowStarts) {
  const struct {
    std::string path;
    bool reported;  // the old list is only taken over from a regular file: nothing to say
  } cases[] = {{RecentFilesPath(), true}, {OldRecentFilesPath(), false}};
  for (const auto& [path, reported] : cases) {
    FirstRun firstRun;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    kestrave::test::MakeFifo(path);
    kestrave::test::RecordingErrors errors;
    platform::SetCurrentErrorDisplay(&errors);
    ScriptedHexDialogs dialogs;
    {
      kestrave::test::FifoGuard guard(path);
      HexWindow first(dialogs);
      HexWindow second(dialogs);
      kestrave::test::TempDir dir;
      kestrave::test::WriteAll(dir.File("data.bin"), "data");
      EXPECT_TRUE(first.OpenFile(dir.File("data.bin")));
      EXPECT_FALSE(guard.Fired()) << path << ": the window waited for a writer";
    }
    platform::SetCurrentErrorDisplay(nullptr);
    std::vector<std::string> expected;
    if (reported)
      expected.push_back("The list of recent files in " + path +
                         " cannot be read (Not a regular file).");
    EXPECT_EQ(errors.shown, expected);
    EXPECT_TRUE(kestrave::test::IsFifo(path)) << "left as it is";
  }
}

TEST(HexWindowStart, TheListEarlierVersionsKeptIsTakenOverOnce) {
  FirstRun firstRun;
  kestrave::test::TempDir dir;
  kestrave::test::WriteAll(dir.File("old.bin"), "old");
  QSettings(QStringLiteral("Kestrave"), QStringLiteral("kestrave-hex"))
      .setValue("recent", QStringList{QString::fromStdString(dir.File("old.bin"))});
  ScriptedHexDialogs dialogs;
  {
    HexWindow window(dialogs);
    EXPECT_EQ(HexWindow::RecentFiles(), std::vector<std::string>{dir.File("old.bin")});
  }
  EXPECT_TRUE(std::filesystem::is_regular_file(RecentFilesPath()));
  QSettings(QStringLiteral("Kestrave"), QStringLiteral("kestrave-hex"))
      .setValue("recent", QStringList{QStringLiteral("/elsewhere")});
  EXPECT_EQ(HexWindow::RecentFiles(), std::vector<std::string>{dir.File("old.bin")})
      << "taken over once";
}

}  // namespace
}  // namespace kestrave::app
