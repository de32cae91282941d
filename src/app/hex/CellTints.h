#pragma once

#include <string>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/paint/HexCanvas.h"

namespace kestrave::app {

// Search matches and records are drawn as the view draws a selection: each byte's cell in a
// tint, the gap after it too where the tinted run goes on into the next cell of the same field.

// Whether a cell's tint may run on through the gap after it: never after the last column of the
// hex field or of the character field, whatever the next row's first byte is.
bool TintJoinsNextCell(const hex::THexEditorEx& editor, int col);

// Draws the cell in Tint with the text in TextColor on it; Joined fills the gap after the text
// too.
void DrawTintedCell(hex::THexEditorEx& editor, hex::IHexCanvas& canvas, int col, int row,
                    const std::u16string& text, const hex::PaintRect& box, hex::TColor tint,
                    hex::TColor textColor, bool joined);

}  // namespace kestrave::app
