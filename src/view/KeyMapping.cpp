#include "view/KeyMapping.h"

#include <Qt>
#include <array>

#include "hexeditor/input/Keys.h"

namespace kestrave::view {
namespace {

// The digit row and the letter rows, by X keycode: the same keys on every PC keyboard, whatever
// the layout prints on them. The letters are those of the US layout.
constexpr std::uint32_t kKeycodeOfOne = 10;
constexpr std::uint32_t kKeycodeOfZero = 19;

struct LetterRow {
  std::uint32_t firstKeycode;
  std::string_view letters;
};
constexpr std::array<LetterRow, 3> kLetterRows = {{
    {24, "QWERTYUIOP"},
    {38, "ASDFGHJKL"},
    {52, "ZXCVBNM"},
}};

int NamedKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Backspace:
      return hex::vkBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return hex::vkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return hex::vkReturn;
    case Qt::Key_Shift:
      return hex::vkShift;
    case Qt::Key_Control:
      return hex::vkControl;
    case Qt::Key_Escape:
      return hex::vkEscape;
    case Qt::Key_PageUp:
      return hex::vkPrior;
    case Qt::Key_PageDown:
      return hex::vkNext;
    case Qt::Key_End:
      return hex::vkEnd;
    case Qt::Key_Home:
      return hex::vkHome;
    case Qt::Key_Left:
      return hex::vkLeft;
    case Qt::Key_Up:
      return hex::vkUp;
    case Qt::Key_Right:
      return hex::vkRight;
    case Qt::Key_Down:
      return hex::vkDown;
    case Qt::Key_Insert:
      return hex::vkInsert;
    case Qt::Key_Delete:
      return hex::vkDelete;
    default:
      return hex::vkNone;
  }
}

int DigitRowKey(std::uint32_t xKeycode) {
  if (xKeycode < kKeycodeOfOne || xKeycode > kKeycodeOfZero) return hex::vkNone;
  if (xKeycode == kKeycodeOfZero) return '0';
  return static_cast<int>('1' + (xKeycode - kKeycodeOfOne));
}

int UsLetterAt(std::uint32_t xKeycode) {
  for (const LetterRow& row : kLetterRows) {
    if (xKeycode >= row.firstKeycode && xKeycode - row.firstKeycode < row.letters.size())
      return row.letters[xKeycode - row.firstKeycode];
  }
  return hex::vkNone;
}

// Qt's codes for digits and Latin letters are their (upper-case) characters.
bool IsDigitOrLatinLetter(int qtKey) {
  return (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z);
}

// A character beyond ASCII: a letter of a non-Latin layout (Cyrillic, Greek and the like), whose
// key then stands for the Latin letter of its place, as on the layouts' own desktops.
bool IsNonAsciiCharacter(int qtKey) {
  return qtKey > 0x7F && qtKey < Qt::Key_Escape;
}

}  // namespace

int EditorKeyOf(int qtKey, std::uint32_t xKeycode) {
  if (const int named = NamedKey(qtKey); named != hex::vkNone) return named;
  // The digit row gives digits with Shift, AltGr and on layouts that print symbols first.
  if (const int digit = DigitRowKey(xKeycode); digit != hex::vkNone) return digit;
  // Latin letters follow the layout (AZERTY's A is where QWERTY has Q); keypad digits are
  // digits.
  if (IsDigitOrLatinLetter(qtKey)) return qtKey;
  if (IsNonAsciiCharacter(qtKey)) return UsLetterAt(xKeycode);
  return hex::vkNone;
}

bool ReportsXKeycodes(std::string_view platformName) {
  return platformName == "xcb" || platformName.starts_with("wayland");
}

}  // namespace kestrave::view
