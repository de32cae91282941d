#include <gtest/gtest.h>

#include <Qt>

#include "hexeditor/input/Keys.h"
#include "view/KeyMapping.h"

namespace kestrave::view {
namespace {

// X keycodes of a PC keyboard: the kernel's key codes plus 8.
constexpr std::uint32_t kKey1 = 10;
constexpr std::uint32_t kKey3 = 12;
constexpr std::uint32_t kKey0 = 19;
constexpr std::uint32_t kKeyQ = 24;
constexpr std::uint32_t kKeyT = 28;
constexpr std::uint32_t kKeyBracketLeft = 34;
constexpr std::uint32_t kKeyA = 38;
constexpr std::uint32_t kKeyZ = 52;
constexpr std::uint32_t kKeyC = 54;
constexpr std::uint32_t kKeyV = 55;
constexpr std::uint32_t kKeyM = 58;
constexpr std::uint32_t kKeypad5 = 84;
constexpr std::uint32_t kKeypad7 = 79;

TEST(KeyMapping, DigitsComeFromTheKeyPressedWhateverShiftMakesOfIt) {
  EXPECT_EQ(EditorKeyOf(Qt::Key_NumberSign, kKey3), '3') << "Shift+3 on a US layout";
  EXPECT_EQ(EditorKeyOf(0x2116, kKey3), '3') << "Shift+3 on a Russian layout: No";
  EXPECT_EQ(EditorKeyOf(Qt::Key_Exclam, kKey1), '1');
  EXPECT_EQ(EditorKeyOf(Qt::Key_ParenRight, kKey0), '0');
  EXPECT_EQ(EditorKeyOf(Qt::Key_Ampersand, kKey1), '1') << "AZERTY prints & first";
  EXPECT_EQ(EditorKeyOf(Qt::Key_3, kKey3), '3');
  EXPECT_EQ(EditorKeyOf(Qt::Key_5, kKeypad5), '5') << "keypad digits stay digits";
}

TEST(KeyMapping, WithoutAKeycodeOnlyQtsOwnDigitsAndLettersCount) {
  EXPECT_EQ(EditorKeyOf(Qt::Key_3), '3');
  EXPECT_EQ(EditorKeyOf(Qt::Key_C), 'C');
  EXPECT_EQ(EditorKeyOf(Qt::Key_NumberSign), hex::vkNone);
  EXPECT_EQ(EditorKeyOf(0x0421), hex::vkNone) << "Cyrillic Es, key unknown";
}

TEST(KeyMapping, LatinLettersFollowTheLayoutOthersTakeTheirPlacesLatinLetter) {
  EXPECT_EQ(EditorKeyOf(Qt::Key_A, kKeyQ), 'A') << "AZERTY's A where QWERTY has Q";
  EXPECT_EQ(EditorKeyOf(Qt::Key_Y, kKeyZ), 'Y') << "QWERTZ";
  EXPECT_EQ(EditorKeyOf(0x0421, kKeyC), 'C') << "Cyrillic Es: Ctrl+C copies";
  EXPECT_EQ(EditorKeyOf(0x041C, kKeyV), 'V') << "Cyrillic Em: Ctrl+V pastes";
  EXPECT_EQ(EditorKeyOf(0x042F, kKeyZ), 'Z') << "Cyrillic Ya: Ctrl+Z undoes";
  EXPECT_EQ(EditorKeyOf(0x0424, kKeyA), 'A') << "Cyrillic Ef: Ctrl+A selects all";
  EXPECT_EQ(EditorKeyOf(0x0415, kKeyT), 'T') << "Cyrillic Ie: Ctrl+T switches fields";
  EXPECT_EQ(EditorKeyOf(0x03A8, kKeyC), 'C') << "Greek Psi";
  EXPECT_EQ(EditorKeyOf(0x0425, kKeyBracketLeft), hex::vkNone) << "no letter on that key";
  EXPECT_EQ(EditorKeyOf(Qt::Key_Comma, kKeyM), hex::vkNone) << "AZERTY's comma stays a comma";
}

TEST(KeyMapping, NamedKeysAreTheirOwnWhereverTheyLie) {
  EXPECT_EQ(EditorKeyOf(Qt::Key_Backtab), hex::vkTab);
  EXPECT_EQ(EditorKeyOf(Qt::Key_Enter), hex::vkReturn);
  EXPECT_EQ(EditorKeyOf(Qt::Key_Home, kKeypad7), hex::vkHome) << "keypad without Num Lock";
  EXPECT_EQ(EditorKeyOf(Qt::Key_Delete, 119), hex::vkDelete);
  EXPECT_EQ(EditorKeyOf(Qt::Key_Shift, 50), hex::vkShift);
  EXPECT_EQ(EditorKeyOf(Qt::Key_F5, 71), hex::vkNone);
}

TEST(KeyMapping, OnlyXAndWaylandReportXKeycodes) {
  EXPECT_TRUE(ReportsXKeycodes("xcb"));
  EXPECT_TRUE(ReportsXKeycodes("wayland"));
  EXPECT_TRUE(ReportsXKeycodes("wayland-egl"));
  EXPECT_FALSE(ReportsXKeycodes("offscreen"));
  EXPECT_FALSE(ReportsXKeycodes("windows"));
  EXPECT_FALSE(ReportsXKeycodes(""));
}

}  // namespace
}  // namespace kestrave::view
