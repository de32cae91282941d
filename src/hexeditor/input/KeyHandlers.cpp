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

}  // namespace kestrave::hex
