#include "hexeditor/input/KeyHandlers.h"

#include <array>

#include "hexeditor/input/HexInput.h"

namespace kestrave::hex {
namespace {

const std::array<KeyHandler, 2> kHandlers{{
    {"navigation and editing", IsNavigationKey, HandleNavigationKey, DescribeNavigationKey},
    {"shortcuts", IsShortcutKey,
     [](THexEditorEx& editor, int key, TShiftState shift) { HandleShortcut(editor, key, shift); },
     DescribeShortcut},
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

}  // namespace

std::string KeyName(int key, TShiftState shift) {
  std::string name;
  if (shift & ssCtrl) name += "Ctrl+";
  if (shift & ssAlt) name += "Alt+";
  if ((shift & ssShift) && key != vkShift) name += "Shift+";
  return name + BaseKeyName(key);
}

// The words come from the handler the key goes to.
std::string KeyEffect(int key, TShiftState shift) {
  for (const KeyHandler& handler : kHandlers)
    if (handler.Knows(key, shift)) return handler.Describe(key, shift);
  return {};
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
