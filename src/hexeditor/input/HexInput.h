#pragma once

#include <string>

#include "hexeditor/input/Keys.h"
#include "hexeditor/layout/GridGeometry.h"

namespace kestrave::hex {

class THexEditorEx;

// The input handlers, one concern each. They act on the editor through its public operations.

// Keys: the navigation and editing keys of the key table, and the moves by nibbles and units.
void HandleNavigationKey(THexEditorEx& editor, int key, TShiftState shift);
// How far Left and Right (and Backspace outside insert mode) move the caret: a nibble in the
// hex field and a character in the characters, or a unit (BytesPerUnit bytes) in either while
// the selection is extended. The moves and the key help both go by it.
enum class HorizontalStep { Nibble, Character, Unit };
HorizontalStep StepOf(bool extending, bool inCharField);
// The moves of Left and Right without Ctrl, used by typing too.
void MoveLeft(THexEditorEx& editor);
void MoveRight(THexEditorEx& editor);
// Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+A, Ctrl+Z and Ctrl+Shift+Z; answers whether the key was one.
bool HandleShortcut(THexEditorEx& editor, int key, TShiftState shift);
// Whether the key table acts on a key with these modifiers: the keys of HandleNavigationKey and
// of HandleShortcut. A window leaves these to the editor while the view has the focus.
bool IsNavigationKey(int key, TShiftState shift);
bool IsShortcutKey(int key, TShiftState shift);
// What a key of HandleNavigationKey or HandleShortcut does, in a few words; empty for a key the
// handler does not know. Kept beside the handlers, so the key help says what they do.
std::string DescribeNavigationKey(int key, TShiftState shift);
std::string DescribeShortcut(int key, TShiftState shift);
// A typed character (Windows code page), in the field the cursor is in.
void HandleTypedChar(THexEditorEx& editor, std::uint8_t ch);

// The cell a mouse point stands for; in insert mode the gap nearest to the point.
GridCell MouseCell(const THexEditorEx& editor, int x, int y);
// Whether the point lies over the selected bytes, or over the gutter and ruler.
bool OverSelection(const THexEditorEx& editor, int x, int y);
bool OverFixedArea(const THexEditorEx& editor, int x, int y);

// Wheel steps: zoom with Ctrl or Ctrl+Shift, else a page; answers whether it was handled.
bool HandleWheel(THexEditorEx& editor, bool down, TShiftState shift);

}  // namespace kestrave::hex
