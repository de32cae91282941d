#pragma once

#include "hexeditor/input/Keys.h"
#include "hexeditor/layout/GridGeometry.h"

namespace kestrave::hex {

class THexEditorEx;

// The input handlers, one concern each. They act on the editor through its public operations.

// Keys: the navigation and editing keys of the key table, and the moves by nibbles and units.
void HandleNavigationKey(THexEditorEx& editor, int key, TShiftState shift);
// The moves of Left and Right without Ctrl, used by typing too.
void MoveLeft(THexEditorEx& editor);
void MoveRight(THexEditorEx& editor);
// Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+A, Ctrl+Z and Ctrl+Shift+Z; answers whether the key was one.
bool HandleShortcut(THexEditorEx& editor, int key, TShiftState shift);
// Whether the key table acts on a key with these modifiers: the keys of HandleNavigationKey and
// of HandleShortcut. A window leaves these to the editor while the view has the focus.
bool IsNavigationKey(int key, TShiftState shift);
bool IsShortcutKey(int key, TShiftState shift);
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
