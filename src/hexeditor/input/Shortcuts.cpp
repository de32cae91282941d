// The clipboard, select-all and undo shortcuts, only with exactly their modifiers.
#include "hexeditor/HexEditorEx.h"
#include "hexeditor/input/HexInput.h"

namespace kestrave::hex {

bool IsShortcutKey(int key, TShiftState shift) {
  const TShiftState modifiers = Modifiers(shift);
  if (modifiers == (ssCtrl | ssShift)) return key == 'Z';
  if (modifiers != ssCtrl) return false;
  return key == 'C' || key == 'X' || key == 'V' || key == 'A' || key == 'Z';
}

bool HandleShortcut(THexEditorEx& e, int key, TShiftState shift) {
  if (!IsShortcutKey(key, shift)) return false;
  if (Modifiers(shift) == (ssCtrl | ssShift)) {
    if (e.CanRedo()) e.Redo();
    return true;
  }
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

std::string DescribeShortcut(int key, TShiftState shift) {
  if (!IsShortcutKey(key, shift)) return {};
  switch (key) {
    case 'C':
      return "copies the selection to the clipboard";
    case 'X':
      return "cuts the selection to the clipboard";
    case 'V':
      return "pastes the clipboard at the caret";
    case 'A':
      return "selects everything";
    case 'Z':
      return Modifiers(shift) & ssShift ? "redoes the last undone step" : "undoes the last step";
    default:
      return {};
  }
}

}  // namespace kestrave::hex
