#include "app/hex/CellTints.h"

namespace kestrave::app {

bool TintJoinsNextCell(const hex::THexEditorEx& editor, int col) {
  return col != editor.Geometry().LastNibbleColumn() && col != editor.ColCount() - 1;
}

void DrawTintedCell(hex::THexEditorEx& editor, hex::IHexCanvas& canvas, int col, int row,
                    const std::u16string& text, const hex::PaintRect& box, hex::TColor tint,
                    hex::TColor textColor, bool joined) {
  const hex::PaintRect cell = editor.CellRect({col, row});
  if (joined) {
    // The tint covers the whole cell, up to the next one.
    canvas.FillRect(cell, tint);
  } else {
    // The rest of the cell as the view leaves it: the caret's field lighter, not at its end.
    const bool activeField = editor.Geometry().IsCharColumn(col) == editor.CaretInCharColumn();
    const bool fieldEnd = !TintJoinsNextCell(editor, col);
    const auto background = activeField && !fieldEnd ? hex::THexColors::ActiveFieldBackground
                                                     : hex::THexColors::Background;
    canvas.FillRect(cell, editor.ViewColor(background));
    canvas.FillRect(box, tint);
  }
  canvas.DrawText(box, box.Left, box.Top, text, textColor, tint);
}

}  // namespace kestrave::app
