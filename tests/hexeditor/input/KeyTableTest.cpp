#include <gtest/gtest.h>

#include <set>

#include "hexeditor/input/HexInput.h"
#include "hexeditor/input/KeyHandlers.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

// A window gives the editor the keys it acts on and keeps the others for its own shortcuts; the
// editor's answer must hold for every key and modifier.
class KeyTable : public EditorTest {
 protected:
  struct Seen {
    EditorState state;
    bool insert = false;
    bool extending = false;
    int top = 0;
    THexBookmarks bookmarks{};
    bool operator==(const Seen&) const = default;
  };
  Seen Now() const {
    return {StateOf(editor), editor.InsertMode(), editor.Extending(), editor.TopRow(),
            editor.Bookmarks()};
  }
};

constexpr TShiftState kModifierSets[] = {0,
                                         ssShift,
                                         ssCtrl,
                                         ssAlt,
                                         ssCtrl | ssShift,
                                         ssCtrl | ssAlt,
                                         ssShift | ssAlt,
                                         ssCtrl | ssShift | ssAlt};

// A key goes to the first handler whose key it is; no key may belong to two of them.
TEST_F(KeyTable, NoKeyBelongsToTwoHandlers) {
  ASSERT_GE(KeyHandlers().size(), 2u);
  for (int key = 1; key < 0x100; ++key) {
    for (const TShiftState shift : kModifierSets) {
      int knowing = 0;
      for (const KeyHandler& handler : KeyHandlers())
        knowing += handler.Knows(key, shift) ? 1 : 0;
      EXPECT_LE(knowing, 1) << "key " << key << ", modifiers " << shift;
      EXPECT_EQ(knowing == 1, THexEditorEx::HandlesKey(key, shift));
    }
  }
}

// The help is made from the same handlers the keys go to: every key they know is in it, once,
// with words for what it does.
TEST_F(KeyTable, TheKeyHelpNamesEveryKeyTheHandlersKnowAndSaysWhatItDoes) {
  const std::vector<KeyHelpLine> help = KeyHelp();
  std::set<std::string> names;
  for (const KeyHelpLine& line : help) {
    EXPECT_FALSE(line.Effect.empty()) << line.Keys << " has no description";
    EXPECT_TRUE(names.insert(line.Keys).second) << line.Keys << " twice";
    EXPECT_TRUE(THexEditorEx::HandlesKey(line.Key, line.Shift)) << line.Keys;
  }
  for (int key = 1; key < 0x100; ++key)
    for (const TShiftState shift : {TShiftState{0}, ssShift, ssCtrl, TShiftState(ssCtrl | ssShift)})
      if (THexEditorEx::HandlesKey(key, shift)) {
        EXPECT_TRUE(names.count(KeyName(key, shift))) << KeyName(key, shift) << " is missing";
      }
  EXPECT_TRUE(names.count("Ctrl+Shift+3"));
  EXPECT_EQ(KeyEffect('3', ssCtrl), "goes to bookmark 3");
  EXPECT_EQ(KeyEffect(vkHome, ssCtrl | ssShift),
            "moves the caret to the first byte, extending the selection");
  EXPECT_EQ(KeyEffect('Q', ssCtrl), "") << "a key nobody knows has no help";
}

TEST_F(KeyTable, AKeyTheEditorDoesNotClaimChangesNothing) {
  for (int key = 1; key < 0x80; ++key) {
    for (const TShiftState shift : kModifierSets) {
      if (THexEditorEx::HandlesKey(key, shift)) continue;
      LoadText("0123456789abcdefghijklmnopqrstuvwxyz0123456789");
      editor.SetClientSize(400, 100);
      editor.SetBookmark(4, 30, false);
      editor.MoveCursorToCell(editor.PositionToCell(20, false));
      editor.ChangeByte(editor.ReadByte(20), 'Q', 20, 0, 0, "");
      const Seen before = Now();
      editor.KeyDown(key, shift);
      EXPECT_EQ(Now(), before) << "key " << key << " with modifiers " << int{shift};
    }
  }
}

TEST_F(KeyTable, TheEditorClaimsItsKeysAndLeavesTheWindowsShortcuts) {
  const auto handles = [](int key, TShiftState shift) {
    return THexEditorEx::HandlesKey(key, shift);
  };
  for (const char key : {'C', 'X', 'V', 'A', 'Z'})
    EXPECT_TRUE(handles(key, ssCtrl)) << "Ctrl+" << key;
  EXPECT_TRUE(handles('Z', ssCtrl | ssShift)) << "redo";
  EXPECT_TRUE(handles('T', ssCtrl)) << "field switch";
  for (char digit = '0'; digit <= '9'; ++digit) {
    EXPECT_TRUE(handles(digit, ssCtrl)) << "go to bookmark " << digit;
    EXPECT_TRUE(handles(digit, ssCtrl | ssShift)) << "set bookmark " << digit;
  }
  for (const int key : {vkLeft, vkRight, vkUp, vkDown, vkHome, vkEnd, vkPrior, vkNext, vkInsert,
                        vkDelete, vkBack, vkTab})
    EXPECT_TRUE(handles(key, 0)) << key;
  EXPECT_TRUE(handles(vkTab, ssShift));
  EXPECT_TRUE(handles(vkEnd, ssCtrl | ssShift)) << "extends to the end";

  for (const char key : {'F', 'S', 'O', 'N', 'Q', 'W'})
    EXPECT_FALSE(handles(key, ssCtrl)) << "Ctrl+" << key << " is the window's";
  EXPECT_FALSE(handles('S', ssCtrl | ssShift)) << "save as";
  EXPECT_FALSE(handles('C', ssCtrl | ssShift));
  EXPECT_FALSE(handles('C', ssCtrl | ssAlt));
  EXPECT_FALSE(handles(vkTab, ssCtrl)) << "Ctrl+Tab moves between windows";
  EXPECT_FALSE(handles(vkUp, ssCtrl));
  EXPECT_FALSE(handles('F', ssAlt)) << "menu mnemonics";
  EXPECT_FALSE(handles('3', 0)) << "a typed digit is a character, not a key of the table";
  EXPECT_FALSE(handles(vkEscape, 0));
}

}  // namespace
}  // namespace kestrave::hex::test
