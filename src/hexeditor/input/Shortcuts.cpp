// The clipboard, select-all and undo shortcuts, only with exactly their modifiers.
#include "hexeditor/HexEditorEx.h"
#include "hexeditor/input/HexInput.h"

namespace kestrave::hex {

bool HandleShortcut(THexEditorEx& e, int key, TShiftState shift) {
  const TShiftState modifiers = Modifiers(shift);
  if (modifiers == (ssCtrl | ssShift) && key == 'Z') {
    if (e.CanRedo()) e.Redo();
    return true;
  }
  if (modifiers != ssCtrl) return false;
  switch (key) {
    case 'C':
      if (e.CanCopy()) e.CopyToClipboard();
      return true;
    case 'X':
      if (e.CanCut()) e.CutToClipboard();
      return true;
    case 'V':
      if (e.CanPaste()) e.PasteFromClipboard();
      return true;
    case 'A':
      e.SelectAll();
      return true;
    case 'Z':
      if (e.CanUndo()) e.Undo();
      return true;
    default:
      return false;
  }
}

}  // namespace kestrave::hex
