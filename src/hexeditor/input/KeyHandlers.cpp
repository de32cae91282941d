#include "hexeditor/input/KeyHandlers.h"

#include <array>

#include "hexeditor/input/HexInput.h"

namespace kestrave::hex {
namespace {

const std::array<KeyHandler, 2> kHandlers{{
    {"navigation and editing", IsNavigationKey, HandleNavigationKey},
    {"shortcuts", IsShortcutKey,
     [](THexEditorEx& editor, int key, TShiftState shift) { HandleShortcut(editor, key, shift); }},
}};

}  // namespace

std::span<const KeyHandler> KeyHandlers() {
  return kHandlers;
}

bool OfferKey(THexEditorEx& editor, int key, TShiftState shift) {
  for (const KeyHandler& handler : kHandlers) {
    if (!handler.Knows(key, shift)) continue;
    handler.Take(editor, key, shift);
    return true;
  }
  return false;
}

bool AnyHandlerKnows(int key, TShiftState shift) {
  for (const KeyHandler& handler : kHandlers)
    if (handler.Knows(key, shift)) return true;
  return false;
}

namespace {

// The modifier sets the help asks about, in the order it shows them.
constexpr TShiftState kModifierSets[] = {0, ssShift, ssCtrl, ssCtrl | ssShift};

std::string BaseKeyName(int key) {
  switch (key) {
    case vkBack:
      return "Backspace";
    case vkTab:
      return "Tab";
    case vkShift:
      return "Shift";
    case vkPrior:
      return "Page Up";
    case vkNext:
      return "Page Down";
    case vkEnd:
      return "End";
    case vkHome:
      return "Home";
    case vkLeft:
      return "Left";
    case vkUp:
      return "Up";
    case vkRight:
      return "Right";
    case vkDown:
      return "Down";
    case vkInsert:
      return "Insert";
    case vkDelete:
      return "Delete";
    default:
      break;
  }
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
    return std::string(1, static_cast<char>(key));
  return "key " + std::to_string(key);
}

// What the key does without Shift; Shift adds extending the selection to every move.
std::string MoveEffect(int key, bool ctrl) {
  switch (key) {
    case vkLeft:
      return ctrl ? "to the first byte of the row"
                  : "one nibble left in the hex field, one character in the characters";
    case vkRight:
      return ctrl ? "to the end of the row"
                  : "one nibble right in the hex field, one character in the characters";
    case vkUp:
      return "one row up";
    case vkDown:
      return "one row down";
    case vkPrior:
      return ctrl ? "to the top row shown" : "one page up";
    case vkNext:
      return ctrl ? "to the bottom row shown" : "one page down";
    case vkHome:
      return ctrl ? "to the first byte" : "to the start of the row";
    case vkEnd:
      return ctrl ? "to the last byte" : "to the end of the row";
    default:
      return {};
  }
}

}  // namespace

std::string KeyName(int key, TShiftState shift) {
  std::string name;
  if (shift & ssCtrl) name += "Ctrl+";
  if (shift & ssAlt) name += "Alt+";
  if ((shift & ssShift) && key != vkShift) name += "Shift+";
  return name + BaseKeyName(key);
}

std::string KeyEffect(int key, TShiftState shift) {
  if (!AnyHandlerKnows(key, shift)) return {};
  const TShiftState modifiers = Modifiers(shift);
  const bool ctrl = (modifiers & ssCtrl) != 0;
  const bool extend = (modifiers & ssShift) != 0;
  if (key >= '0' && key <= '9')
    return extend ? "sets bookmark " + std::string(1, static_cast<char>(key)) +
                        " at the caret (again: clears it)"
                  : "goes to bookmark " + std::string(1, static_cast<char>(key));
  if (const std::string move = MoveEffect(key, ctrl); !move.empty())
    return "moves the caret " + move + (extend ? ", extending the selection" : "");
  switch (key) {
    case vkBack:
      if (ctrl) return "in insert mode deletes the unit before the caret or the selection";
      return "in insert mode deletes the unit before the caret or the selection; otherwise moves "
             "the caret left";
    case vkTab:
    case 'T':
      return "switches the caret between the hex field and the characters";
    case vkShift:
      return "held: the caret's moves extend the selection";
    case vkInsert:
      return "switches between insert and overwrite mode";
    case vkDelete:
      return ctrl ? "deletes the selection or the unit at the caret, also in overwrite mode"
                  : "in insert mode deletes the selection or the unit at the caret";
    case 'C':
      return "copies the selection to the clipboard";
    case 'X':
      return "cuts the selection to the clipboard";
    case 'V':
      return "pastes the clipboard at the caret";
    case 'A':
      return "selects everything";
    case 'Z':
      return extend ? "redoes the last undone step" : "undoes the last step";
    default:
      return {};
  }
}

std::vector<KeyHelpLine> KeyHelp() {
  std::vector<KeyHelpLine> lines;
  for (const KeyHandler& handler : kHandlers)
    for (int key = 1; key < 0x100; ++key)
      for (const TShiftState shift : kModifierSets)
        if (handler.Knows(key, shift))
          lines.push_back({key, shift, KeyName(key, shift), KeyEffect(key, shift)});
  return lines;
}

}  // namespace kestrave::hex
