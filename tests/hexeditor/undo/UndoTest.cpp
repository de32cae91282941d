#include <gtest/gtest.h>

#include <functional>

#include "hexeditor/undo/UndoRecord.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

class Undo : public EditorTest {
 protected:
  const THexUndoStorage& Storage() const { return editor.UndoStorage(); }
};

TEST_F(Undo, AChangeRecordIsLaidOutByteForByte) {
  LoadText("0123456789");
  editor.SetSelection(2, 4);
  editor.ChangeByte('5', 'x', 5, 12, 2, "xy");
  ASSERT_EQ(Storage().Count(), 1);
  const std::uint8_t* r = Storage().Bytes();
  const std::uint32_t length = 29 + 1 + 2 + 4 + 12 + 4;
  ASSERT_EQ(Storage().Size(), length);
  EXPECT_EQ(ReadLe32(r), length);
  EXPECT_EQ(ReadLe32(r + 4),
            KindFlag(ukChangeBytes) | undoflag::kHasSelection | undoflag::kHasDescription)
      << "not modified, caret on the first digit in the hex field";
  EXPECT_EQ(ReadLe32(r + 8), 0u) << "selecting did not move the caret";
  EXPECT_EQ(ReadLe32(r + 12), 5u);
  EXPECT_EQ(ReadLe32(r + 16), 1u);
  EXPECT_EQ(ReadLe32(r + 20), 0u);
  EXPECT_EQ(r[24], tkAsIs);
  EXPECT_EQ(ReadLe32(r + 25), 1u);
  EXPECT_EQ(r[29], '5') << "the byte before the change";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 30), 2), "xy");
  EXPECT_EQ(ReadLe32(r + 32), 2u);
  EXPECT_EQ(ReadLe32(r + 36), 2u) << "selection low";
  EXPECT_EQ(ReadLe32(r + 40), 4u) << "selection high";
  EXPECT_EQ(ReadLe32(r + 44), 2u) << "selection anchor";
  EXPECT_EQ(ReadLe32(r + 48), length);
}

TEST_F(Undo, InsertsAndAppendsKeepPositionsNotBytes) {
  LoadText("abc");
  const std::vector<std::uint8_t> big(100 << 20, 0x5A);
  editor.InsertBuffer(big.data(), static_cast<int>(big.size()), 1, "", false);
  EXPECT_EQ(Storage().Size(), 34) << "header, one zero byte, trailing length";
  editor.AppendBuffer(big.data(), 1000, "", false);
  EXPECT_LT(Storage().Size(), 34 + 34 + 12 + 1) << "plus at most a selection block";
  editor.Undo();
  editor.Undo();
  EXPECT_EQ(Text(), "abc");
}

TEST_F(Undo, TheStreamStaysWithinTheLimitPlusOneRecord) {
  LoadText("0123456789");
  editor.SetMaxUndo(100);
  std::vector<std::int64_t> sizes;
  for (int i = 0; i < 9; ++i) {
    const std::uint8_t old = editor.ReadByte(i);
    editor.ChangeByte(old, static_cast<std::uint8_t>(old + 1), i, 2, 2, "ab");  // 40 bytes each
    EXPECT_LE(Storage().Size(), 140);
    sizes.push_back(Storage().Size());
  }
  EXPECT_EQ(sizes[2], 120) << "three records before the first drop";
  EXPECT_EQ(sizes.back(), 120);
  EXPECT_EQ(Storage().Count(), 3);
  editor.Undo();
  editor.Undo();
  editor.Undo();
  EXPECT_EQ(Text(), "1234566789") << "only the newest three come back; the oldest went first";
  EXPECT_FALSE(editor.CanUndo());
}

TEST_F(Undo, ALimitOfZeroKeepsEverything) {
  LoadText("0123456789");
  editor.SetMaxUndo(0);
  for (int i = 0; i < 10; ++i)
    editor.ChangeByte(editor.ReadByte(i), 'z', i, 2, 2, "");
  EXPECT_EQ(Storage().Count(), 10);
  while (editor.CanUndo())
    editor.Undo();
  EXPECT_EQ(Text(), "0123456789");
}

TEST_F(Undo, InsertUndoRedoAndUndoAgain) {
  LoadText("abc");
  editor.SetSelectionStart(1);
  const EditorState before = StateOf(editor);
  editor.InsertBuffer("XYZ", 3, 0, "", false);
  const EditorState after = StateOf(editor);
  editor.Undo();
  EXPECT_EQ(Text(), "abc");
  EXPECT_EQ(editor.CursorCell(), before.cursor);
  EXPECT_FALSE(editor.Modified()) << "the first undo after a load restores the flag";
  ASSERT_TRUE(editor.CanRedo());
  editor.Redo();
  EXPECT_EQ(Text(), "XYZabc");
  EXPECT_EQ(StateOf(editor), after);
  ASSERT_TRUE(editor.CanUndo());
  editor.Undo();
  EXPECT_EQ(Text(), "abc");
}

TEST_F(Undo, ANewChangeEndsTheChanceToRedo) {
  LoadText("abc");
  editor.ChangeByte('a', 'A', 0, 2, 2, "");
  editor.ChangeByte('b', 'B', 1, 4, 2, "");
  editor.Undo();
  EXPECT_TRUE(editor.CanRedo());
  editor.ChangeByte('c', 'C', 2, 6, 2, "");
  EXPECT_FALSE(editor.CanRedo());
  EXPECT_EQ(Text(), "AbC");
}

TEST_F(Undo, AGroupIsTakenBackInOneStepAndCannotBeRedone) {
  LoadText("abcdef");
  editor.InsertBuffer("XY", 2, 0, "", false);
  editor.SetSelection(4, 5);
  editor.DeleteSelection("");
  editor.RecordGroup(2, "Data Moved");
  EXPECT_EQ(editor.UndoDescription(), "Data Moved");
  editor.Undo();
  EXPECT_EQ(Text(), "abcdef");
  EXPECT_FALSE(editor.CanRedo());
  EXPECT_FALSE(editor.CanUndo());
}

TEST_F(Undo, SuspendedChangesLeaveNoRecordAndUndoEndsTheSuspension) {
  LoadText("abc");
  editor.ChangeByte('a', 'A', 0, 2, 2, "");
  editor.BeginUndoUpdate();
  const std::int64_t size = Storage().Size();
  editor.ChangeByte('b', 'B', 1, 4, 2, "");
  EXPECT_EQ(Storage().Size(), size);
  EXPECT_TRUE(editor.Modified());
  EXPECT_FALSE(editor.CanUndo());
  editor.Undo();
  EXPECT_EQ(Storage().Size(), 0) << "undo while suspended empties the storage";
  EXPECT_EQ(Storage().UpdateCount(), 0);
  EXPECT_EQ(Text(), "ABc") << "and takes nothing back";
  EXPECT_EQ(editor.EndUndoUpdate(), 0) << "never below zero";
}

TEST_F(Undo, DescriptionsAreTheCallersOrTheKindsDefault) {
  LoadText("abc");
  editor.InsertBuffer("x", 1, 0, "", false);
  EXPECT_EQ(editor.UndoDescription(), "Insert Buffer");
  editor.ChangeByte('a', 'b', 1, 4, 2, "Typing");
  EXPECT_EQ(editor.UndoDescription(), "Typing");
  editor.Undo();
  EXPECT_EQ(editor.UndoDescription(), "Insert Buffer");
  editor.Undo();
  EXPECT_EQ(editor.UndoDescription(), "");
}

TEST_F(Undo, ReplaceWithoutMovingTheCaretUndoesToTheReplacedRange) {
  LoadText("0123456789");
  editor.SetSelectionStart(9);
  editor.Replace("ab", 3, 4, 2, "", false);
  EXPECT_EQ(Text(), "012ab789");
  editor.Undo();
  EXPECT_EQ(Text(), "0123456789");
  EXPECT_EQ(editor.CursorPosition(), 3);
  EXPECT_EQ(editor.SelectionLow(), 3);
  EXPECT_EQ(editor.SelectionHigh(), 6);
  editor.Redo();
  EXPECT_EQ(Text(), "012ab789");
}

TEST_F(Undo, BookmarksFollowInsertionsAndRemovalsBothWays) {
  LoadText("0123456789");
  editor.SetBookmark(3, 8, false);
  editor.SetBookmark(4, 1, true);
  int notices = 0;
  editor.OnBookmarkChanged = [&](TCustomHexEditor&) { ++notices; };
  editor.InsertBuffer("abc", 3, 5, "", false);
  EXPECT_EQ(editor.Bookmark(3).Position, 11);
  EXPECT_EQ(editor.Bookmark(4).Position, 1);
  EXPECT_EQ(notices, 1);
  editor.Undo();
  EXPECT_EQ(editor.Bookmark(3).Position, 8);
  editor.Redo();
  EXPECT_EQ(editor.Bookmark(3).Position, 11);
  editor.SetSelection(2, 4);
  editor.DeleteSelection("");
  EXPECT_EQ(editor.Bookmark(3).Position, 8);
  editor.Undo();
  EXPECT_EQ(editor.Bookmark(3).Position, 11) << "back where it was before the removal";
  EXPECT_EQ(editor.Bookmark(4).Position, 1);
  ExpectError<EHexEditor>([&] { editor.SetBookmark(10, 0, false); }, "Invalid bookmark index");
}

// Bookmarks belong to the bytes, not to the history: edits that leave no undo step move them
// all the same.
TEST_F(Undo, BookmarksFollowEditsMadeWithoutUndo) {
  struct Case {
    const char* name;
    std::function<void(TestableEditor&)> edit;
    const char* text;
    int bookmark;
  };
  const Case cases[] = {
      {"insert", [](TestableEditor& e) { e.InsertBuffer("ab", 2, 2, "", false); }, "01ab23456789",
       10},
      {"delete",
       [](TestableEditor& e) {
         e.SetSelection(1, 3);
         e.DeleteSelection("");
       },
       "0456789", 5},
      {"replace", [](TestableEditor& e) { e.Replace("xyz", 0, 5, 3, "", false); }, "xyz56789", 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoadText("0123456789");
    const int left = editor.Bookmark(0).Position;  // loading keeps the bookmarks
    if (left >= 0) editor.SetBookmark(0, left, false);
    editor.SetBookmark(0, 8, false);
    int notices = 0;
    editor.OnBookmarkChanged = [&](TCustomHexEditor&) { ++notices; };
    editor.WithoutUndo([&] { c.edit(editor); });
    editor.OnBookmarkChanged = nullptr;
    EXPECT_EQ(Text(), c.text);
    EXPECT_EQ(editor.Bookmark(0).Position, c.bookmark);
    EXPECT_EQ(notices, 1);
    EXPECT_FALSE(editor.CanUndo());
  }
}

TEST_F(Undo, SettingABookmarkTwiceClearsItAndTheOtherFieldMovesIt) {
  LoadText("0123456789");
  editor.SetBookmark(3, 5, false);
  editor.SetBookmark(3, 5, false);
  EXPECT_EQ(editor.Bookmark(3).Position, -1);
  editor.SetBookmark(3, 5, false);
  editor.SetBookmark(3, 5, true);
  EXPECT_EQ(editor.Bookmark(3).Position, 5);
  EXPECT_TRUE(editor.Bookmark(3).InCharField);
  EXPECT_TRUE(editor.GotoBookmark(3));
  EXPECT_TRUE(editor.InCharField());
  EXPECT_EQ(editor.CursorPosition(), 5);
  editor.SetSelection(4, 9);
  editor.DeleteSelection("");
  EXPECT_FALSE(editor.GotoBookmark(3)) << "past the data now";
  EXPECT_EQ(editor.Bookmark(3).Position, -1);
}

TEST_F(Undo, NibbleAndWholeDataKindsRoundTrip) {
  LoadText("\x12\x34\x56");
  const EditorState before = StateOf(editor);
  editor.RecordUndo(ukInsertNibble, 1, 1, 0, "");
  editor.InsertNibble(1, true);
  const EditorState inserted = StateOf(editor);
  EXPECT_EQ(Content(), (std::vector<std::uint8_t>{0x12, 0x03, 0x45, 0x60}));
  editor.Undo();
  EXPECT_EQ(StateOf(editor), before);
  editor.Redo();
  EXPECT_EQ(Content(), inserted.bytes);
  editor.Undo();
  editor.RecordUndo(ukDeleteNibble, 0, 1, 0, "");
  editor.DeleteNibble(0, true);
  EXPECT_EQ(Content(), (std::vector<std::uint8_t>{0x23, 0x45, 0x60}));
  editor.Undo();
  EXPECT_EQ(StateOf(editor), before);
  editor.RecordUndo(ukAllData, 0, 0, 0, "");
  editor.AppendBuffer("zz", 2, "", false);
  editor.Undo();
  editor.Undo();
  EXPECT_EQ(StateOf(editor), before) << "append, then the whole data";
}

// A cursor-movement record takes the caret back to its position, with the first count of bytes
// from there selected (none when the count is 0), wherever the caret and selection are now.
TEST_F(Undo, ACursorMovementTakesTheCaretAndSelectionBack) {
  LoadText("0123456789");
  editor.SetSelectionStart(8);
  editor.SetSelectionEnd(9);
  editor.RecordUndo(ukCursorMovement, 2, 3, 0, "");
  EXPECT_EQ(editor.UndoDescription(), "Cursor movement");
  editor.Undo();
  EXPECT_EQ(editor.SelectionStart(), 2);
  EXPECT_EQ(editor.SelectionEnd(), 4);
  EXPECT_EQ(editor.CursorPosition(), 2);
  editor.SetSelectionStart(7);
  editor.SetSelectionEnd(9);
  editor.RecordUndo(ukCursorMovement, 5, 0, 0, "");
  editor.Undo();
  EXPECT_EQ(editor.SelectionCount(), 0);
  EXPECT_EQ(editor.CursorPosition(), 5);
  EXPECT_EQ(Content(),
            (std::vector<std::uint8_t>{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'}));
}

TEST_F(Undo, UnitsTranslationAndModesComeBackWithTheStep) {
  LoadText("01234567");
  editor.SetTranslation(tkMac);
  editor.SetBytesPerUnit(4);
  editor.ChangeByte('0', 'x', 0, 2, 2, "");
  editor.SetTranslation(tkAsIs);
  editor.SetBytesPerUnit(1);
  editor.SetUnicodeChars(true);
  editor.Undo();
  EXPECT_EQ(editor.Translation(), tkMac);
  EXPECT_EQ(editor.BytesPerUnit(), 4);
  EXPECT_FALSE(editor.UnicodeChars());
}

}  // namespace
}  // namespace kestrave::hex::test
