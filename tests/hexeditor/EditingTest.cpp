#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "platform/InterruptCleanup.h"
#include "platform/TempFile.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

class Editing : public EditorTest {
 protected:
  // A refused call raises exactly this message and leaves every part of the state alone.
  template <typename F>
  void ExpectRefused(F&& call, const std::string& message) {
    const EditorState before = StateOf(editor);
    ExpectError<EHexEditor>(call, message);
    EXPECT_EQ(StateOf(editor), before);
  }
};

constexpr char kOutOfBounds[] = "Data position/length out of data bounds";
constexpr char kRefused[] = "Cannot update undo storage";

TEST_F(Editing, InsertingAtTheEndAppendsAndBeyondItIsRefused) {
  LoadText("abc");
  editor.InsertBuffer("XY", 2, 3, "", false);
  EXPECT_EQ(Text(), "abcXY");
  EXPECT_TRUE(editor.Modified());
  ExpectRefused([&] { editor.InsertBuffer("Z", 1, 6, "", false); }, kOutOfBounds);
  ExpectRefused([&] { editor.InsertBuffer("Z", -1, 0, "", false); }, kOutOfBounds);
  ExpectRefused([&] { editor.InsertBuffer("Z", 1, -1, "", false); }, kOutOfBounds);
}

TEST_F(Editing, AnEmptyBufferTakesInsertsAndAppendsButNothingElse) {
  ExpectRefused([&] { editor.DeleteSelection(""); }, kRefused);
  ExpectRefused([&] { editor.ChangeByte(0, 1, 0, 2, 2, ""); }, kRefused);
  editor.InsertBuffer("ab", 2, 0, "", false);
  EXPECT_EQ(Text(), "ab");
  editor.CreateEmptyFile("");
  editor.AppendBuffer("cd", 2, "", false);
  EXPECT_EQ(Text(), "cd");
}

TEST_F(Editing, WithNoSizeChangeOnlyInPlaceChangesPass) {
  LoadText("0123456789");
  editor.SetNoSizeChange(true);
  ExpectRefused([&] { editor.InsertBuffer("x", 1, 0, "", false); }, kRefused);
  ExpectRefused([&] { editor.AppendBuffer("x", 1, "", false); }, kRefused);
  ExpectRefused([&] { editor.DeleteSelection(""); }, kRefused);
  editor.SetSelection(2, 5);
  editor.ReplaceSelection("ABCDEFGHIJ", 10, "", false);
  EXPECT_EQ(Text(), "01ABCD6789") << "cut to the selection";
  editor.SetSelection(2, 5);
  editor.ReplaceSelection("xy", 2, "", false);
  EXPECT_EQ(Text(), "01xyCD6789") << "only the first two bytes of the selection";
  EXPECT_EQ(editor.Replace("qrstu", 0, 3, 5, "", false), 3);
  EXPECT_EQ(Text(), "qrsyCD6789");
}

TEST_F(Editing, ReadOnlyViewDoesNotStopTheOperationsThemselves) {
  LoadText("abc");
  editor.SetReadOnlyView(true);
  editor.InsertBuffer("Z", 1, 1, "", false);
  EXPECT_EQ(Text(), "aZbc");
  EXPECT_FALSE(editor.CanUndo()) << "but undo is not offered";
  editor.SetReadOnlyView(false);
  EXPECT_TRUE(editor.CanUndo());
}

TEST_F(Editing, MarksFollowChangesAndAreCutBackWhenBytesMove) {
  LoadText("0123456789");
  editor.ChangeByte('5', 'x', 5, 12, 2, "");
  EXPECT_TRUE(editor.IsChanged(5));
  EXPECT_FALSE(editor.IsChanged(4));
  editor.InsertBuffer("ab", 2, 3, "", false);
  EXPECT_FALSE(editor.IsChanged(5)) << "cut back to the insertion";
  editor.ChangeByte('0', 'y', 0, 2, 2, "");
  editor.SetInsertMode(true);
  editor.SetInsertMode(false);
  EXPECT_FALSE(editor.IsChanged(0)) << "a change of insert mode clears the marks";
  editor.ChangeByte('y', 'y', 0, 2, 2, "");
  EXPECT_FALSE(editor.IsChanged(0)) << "an equal value changes nothing";
}

TEST_F(Editing, ChangeWordMarksEachByteByWhetherItChanged) {
  LoadText("\x11\x22\x33");
  editor.ChangeByte(0x11, 0x10, 0, 2, 2, "");
  editor.ChangeWord(0x2210, 0x9910, 0, 2, 2, "");
  EXPECT_EQ(editor.ReadByte(1), 0x99);
  EXPECT_FALSE(editor.IsChanged(0)) << "the low byte did not change: its mark is cleared";
  EXPECT_TRUE(editor.IsChanged(1));
  ExpectRefused([&] { editor.ChangeWord(0, 1, 2, 2, 2, ""); }, kOutOfBounds);
}

TEST_F(Editing, InsertAndAppendSelectWhatArrivedAndPlaceTheCaret) {
  LoadText("0123456789");
  editor.AppendBuffer("abc", 3, "", true);
  EXPECT_EQ(editor.SelectionLow(), 10);
  EXPECT_EQ(editor.SelectionHigh(), 12);
  EXPECT_EQ(editor.SelectionAnchor(), 10);
  EXPECT_EQ(editor.CursorPosition(), 10) << "on the first appended byte";
  editor.InsertBuffer("XYZ", 3, 2, "", true);
  EXPECT_EQ(editor.CursorPosition(), 4) << "on the last inserted byte";
  EXPECT_EQ(editor.SelectionLow(), 2);
  EXPECT_EQ(editor.SelectionHigh(), 4);
  editor.SetEnabled(false);
  editor.InsertBuffer("q", 1, 0, "", true);
  EXPECT_EQ(editor.SelectionLow(), 2) << "a disabled instance selects nothing new";
  EXPECT_EQ(editor.CursorPosition(), 4) << "and keeps its caret";
}

TEST_F(Editing, DeleteRemovesTheSelectionOrTheByteUnderTheCaret) {
  LoadText("0123456789");
  editor.SetSelectionStart(4);
  editor.DeleteSelection("");
  EXPECT_EQ(Text(), "012356789");
  editor.SetSelection(1, 3);
  editor.DeleteSelection("");
  EXPECT_EQ(Text(), "056789");
  EXPECT_EQ(editor.SelectionCount(), 0);
  editor.SelectAll();
  editor.DeleteSelection("");
  EXPECT_EQ(editor.DataSize(), 0);
}

TEST_F(Editing, DeleteUnitWorksInUnitsAndStopsAtTheEnds) {
  LoadText("0123456789");
  editor.SetBytesPerUnit(4);
  editor.SetSelectionStart(9);
  editor.DeleteUnit(false, "");
  EXPECT_EQ(Text(), "01234567") << "only the two bytes there were";
  editor.SetSelectionStart(5);
  editor.DeleteUnit(true, "");
  EXPECT_EQ(Text(), "4567") << "the unit before the cursor's unit";
  EXPECT_EQ(editor.CursorPosition(), 0);
  const EditorState before = StateOf(editor);
  editor.DeleteUnit(true, "");
  EXPECT_EQ(StateOf(editor), before) << "nothing before the start";
}

TEST_F(Editing, BackspaceInInsertModeOnTheAppendPosition) {
  LoadText("012345");
  editor.SetBytesPerUnit(4);
  editor.SetInsertMode(true);
  editor.MoveCursorToCell(editor.PositionToCell(6, false));
  ASSERT_EQ(editor.CellToPosition(editor.CursorCell()), 6);
  editor.DeleteUnit(true, "");
  EXPECT_EQ(Text(), "01234") << "one byte, as the size is no multiple of the unit";
}

TEST_F(Editing, ReplaceShortensCountsThatReachPastTheEnd) {
  LoadText("0123456789");
  // The bound check lets the old count reach one byte past the end; both counts shrink.
  EXPECT_EQ(editor.Replace("abcdef", 7, 4, 4, "", false), 3);
  EXPECT_EQ(Text(), "0123456abc");
  EXPECT_EQ(editor.Replace("XY", 2, 5, 2, "", true), 2);
  EXPECT_EQ(Text(), "01XYabc");
  EXPECT_EQ(editor.CursorPosition(), 2);
  ExpectRefused([&] { editor.Replace("x", 11, 1, 1, "", false); }, kOutOfBounds);
  ExpectRefused([&] { editor.Replace("abcdef", 5, 6, 6, "", false); }, kOutOfBounds);
  ExpectRefused([&] { editor.Replace("x", 0, -1, 1, "", false); }, kOutOfBounds);
}

TEST_F(Editing, InsertModeFollowsItsRules) {
  LoadText(std::string(16, 'x'));
  EXPECT_EQ(editor.RowCount(), 3);
  editor.SetInsertMode(true);
  EXPECT_TRUE(editor.InsertMode());
  EXPECT_EQ(editor.RowCount(), 4) << "a row for the append position";
  editor.MoveCursorToCell(editor.PositionToCell(16, false));
  EXPECT_EQ(editor.CellToPosition(editor.CursorCell()), 16);
  editor.SetReadOnlyView(true);
  EXPECT_FALSE(editor.InsertMode()) << "stored, but not allowed";
  editor.SetReadOnlyView(false);
  EXPECT_TRUE(editor.InsertMode());
  editor.SetInsertMode(false);
  EXPECT_EQ(editor.RowCount(), 3);
  EXPECT_EQ(editor.CursorPosition(), 15) << "off the append position onto the last byte";
  editor.SetAllowInsertMode(false);
  editor.SetInsertMode(true);
  EXPECT_FALSE(editor.InsertMode());
  editor.SetAllowInsertMode(true);
  editor.SetInsertMode(true);
  editor.SetNoSizeChange(true);
  EXPECT_FALSE(editor.InsertMode());
}

TEST_F(Editing, AGroupNeedsAsManyRecordsWhenTheSizeIsFixed) {
  LoadText("abc");
  editor.ChangeByte('a', 'b', 0, 2, 2, "");
  editor.SetNoSizeChange(true);
  editor.RecordGroup(1, "pair");
  EXPECT_EQ(editor.UndoDescription(), "pair");
  editor.CreateEmptyFile("");
  ExpectRefused([&] { editor.RecordGroup(1, ""); }, kRefused);
}

// The nibble shifts run through a temporary file; point them at a folder of the test's own.
class Nibbles : public Editing {
 protected:
  Nibbles() : tmp(dir.File("tmp")) {
    std::filesystem::create_directory(tmp);
    const char* old = std::getenv("TMPDIR");
    saved = old ? old : "";
    ::setenv("TMPDIR", tmp.c_str(), 1);
  }
  ~Nibbles() override {
    if (saved.empty()) {
      ::unsetenv("TMPDIR");
    } else {
      ::setenv("TMPDIR", saved.c_str(), 1);
    }
  }
  std::vector<std::string> TmpEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(tmp))
      names.push_back(entry.path().filename().string());
    return names;
  }
  std::string tmp;
  std::string saved;
};

TEST_F(Nibbles, InsertAndDeleteShiftByHalfAByte) {
  LoadBytes({0x12, 0x34});
  ASSERT_TRUE(editor.InsertNibble(0, true));
  EXPECT_EQ(Content(), (std::vector<std::uint8_t>{0x01, 0x23, 0x40}));
  LoadBytes({0x12, 0x34});
  ASSERT_TRUE(editor.DeleteNibble(0, true));
  EXPECT_EQ(Content(), (std::vector<std::uint8_t>{0x23, 0x40}));
  LoadBytes({0xAB, 0x12, 0x34});
  ASSERT_TRUE(editor.DeleteNibble(1, false));
  EXPECT_EQ(Content(), (std::vector<std::uint8_t>{0xAB, 0x13, 0x40})) << "high nibble kept";
  EXPECT_TRUE(TmpEntries().empty()) << "the temporary file is gone";
  EXPECT_FALSE(editor.InsertNibble(3, true)) << "past the data";
  editor.CreateEmptyFile("");
  EXPECT_FALSE(editor.DeleteNibble(0, true));
}

TEST_F(Nibbles, LongDataCrossesThePieceBoundariesIntact) {
  std::vector<std::uint8_t> data = PatternBytes(1500);
  LoadBytes(data);
  ASSERT_TRUE(editor.InsertNibble(100, false));
  ASSERT_TRUE(editor.DeleteNibble(100, false));
  auto after = Content();
  ASSERT_EQ(after.size(), 1501u) << "a nibble in and out again: one byte longer";
  EXPECT_EQ(after.back(), 0);
  after.pop_back();
  EXPECT_EQ(after, data) << "and otherwise the same data";
}

TEST_F(Nibbles, PreparedNamesAndLinksAreNeverUsed) {
  const std::string victim = dir.File("victim");
  WriteAll(victim, "do not touch");
  // Links under every name the next few seconds of ticks could give.
  const std::uint32_t now = platform::TickCount();
  for (std::uint32_t tick = now; tick < now + 3000; ++tick) {
    char name[16];
    std::snprintf(name, sizeof name, "%08X.HXED", tick);
    ASSERT_EQ(::symlink(victim.c_str(), (tmp + "/" + name).c_str()), 0);
  }
  LoadBytes({0x12, 0x34});
  const EditorState before = StateOf(editor);
  try {
    editor.InsertNibble(0, true);
    EXPECT_EQ(Content(), (std::vector<std::uint8_t>{0x01, 0x23, 0x40}));
  } catch (const platform::EFCreateError& e) {
    EXPECT_NE(e.Message().find("Cannot create file"), std::string::npos);
    EXPECT_EQ(StateOf(editor), before) << "data unchanged";
  }
  EXPECT_EQ(ReadAll(victim), Bytes("do not touch"));
}

TEST_F(Nibbles, AFolderThatCannotTakeTheFileLeavesTheDataAlone) {
  ::setenv("TMPDIR", dir.File("missing").c_str(), 1);
  LoadBytes({0x12, 0x34});
  const EditorState before = StateOf(editor);
  try {
    editor.InsertNibble(0, true);
    FAIL();
  } catch (const platform::EFCreateError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot create file \"" + dir.File("missing") + "/", 0), 0u);
    EXPECT_NE(e.Message().find(".HXED\". No such file or directory"), std::string::npos);
  }
  EXPECT_EQ(StateOf(editor), before);
}

TEST_F(Nibbles, AnInterruptionDuringAShiftLeavesNoTemporaryFile) {
  const pid_t child = ::fork();
  if (child == 0) {
    platform::RemoveTemporariesOnInterrupt();
    LoadBytes(PatternBytes(16 << 20));
    for (;;)
      editor.InsertNibble(0, false);
  }
  // Interrupted once the shift's file is seen, that is while a shift runs.
  bool seen = false;
  for (int wait = 0; wait < 20000 && !seen; ++wait) {
    seen = !TmpEntries().empty();
    if (!seen) ::usleep(500);
  }
  ::kill(child, SIGTERM);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(seen) << "no shift started";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_TRUE(TmpEntries().empty()) << "the shift's file was left behind";
}

}  // namespace
}  // namespace kestrave::hex::test
