#pragma once

#include <cstdint>

namespace kestrave::hex {

// Key codes as the view's input calls give them; letters and digits are their upper-case
// characters.
enum THexKey : int {
  vkNone = 0,
  vkBack = 0x08,
  vkTab = 0x09,
  vkReturn = 0x0D,
  vkShift = 0x10,
  vkControl = 0x11,
  vkMenu = 0x12,
  vkEscape = 0x1B,
  vkPrior = 0x21,
  vkNext = 0x22,
  vkEnd = 0x23,
  vkHome = 0x24,
  vkLeft = 0x25,
  vkUp = 0x26,
  vkRight = 0x27,
  vkDown = 0x28,
  vkInsert = 0x2D,
  vkDelete = 0x2E,
};

// Modifier keys and mouse buttons held.
using TShiftState = std::uint8_t;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssLeft = 8;
inline constexpr TShiftState ssRight = 16;
inline constexpr TShiftState ssMiddle = 32;
inline constexpr TShiftState ssDouble = 64;
inline constexpr TShiftState kModifierKeys = ssShift | ssAlt | ssCtrl;

constexpr TShiftState Modifiers(TShiftState shift) {
  return shift & kModifierKeys;
}

enum class TMouseButton { Left, Right, Middle };

}  // namespace kestrave::hex
