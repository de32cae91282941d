#pragma once

#include <cstdint>
#include <string_view>

namespace kestrave::view {

// A key as the editor's key code, or vkNone: named keys by Qt's key; digits and letters by the
// key pressed, not by the symbol it makes. Shift+3 is "#" on one layout and "№" on another,
// yet Ctrl+Shift+3 sets bookmark 3 on both; Ctrl+C copies on a Cyrillic layout as well.
// XKeycode is the X keycode of the key pressed (the kernel's key code plus 8), or 0 where the
// platform reports none.
int EditorKeyOf(int qtKey, std::uint32_t xKeycode = 0);

// Whether a Qt platform plugin reports X keycodes as the native scan codes of key events.
bool ReportsXKeycodes(std::string_view platformName);

}  // namespace kestrave::view
