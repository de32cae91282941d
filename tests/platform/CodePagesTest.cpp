#include "platform/CodePages.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <clocale>
#include <cwctype>

namespace kestrave::platform {
namespace {

// What glibc makes of one byte of a code page, as a UTF-16 unit; nothing when it has no mapping.
std::optional<char16_t> IconvDecode(const char* codePage, std::uint8_t byte) {
  iconv_t cd = ::iconv_open("UTF-16LE", codePage);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << codePage;
  char in[1] = {static_cast<char>(byte)};
  unsigned char out[8] = {};
  char* inPtr = in;
  char* outPtr = reinterpret_cast<char*>(out);
  std::size_t inLeft = 1;
  std::size_t outLeft = sizeof out;
  const std::size_t result = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  ::iconv_close(cd);
  if (result == static_cast<std::size_t>(-1) || outLeft != sizeof out - 2) return std::nullopt;
  return static_cast<char16_t>(out[0] | (out[1] << 8));
}

// Every UTF-16 unit finds the lowest byte that shows it, and only a byte that shows it.
TEST(CodePages, EveryCharacterFindsItsByteInBothPages) {
  for (const CodePage* page : {&AnsiCodePage(), &OemCodePage()}) {
    for (int unit = 0; unit <= 0xFFFF; ++unit) {
      std::optional<std::uint8_t> expected;
      for (int b = 0; b < 256 && !expected; ++b)
        if (page->ToUnicode(static_cast<std::uint8_t>(b)) == unit)
          expected = static_cast<std::uint8_t>(b);
      ASSERT_EQ(page->FromUnicode(static_cast<char16_t>(unit)), expected)
          << "U+" << std::hex << unit;
    }
  }
}

TEST(CodePages, Windows1251AgreesWithIconvOnEveryByte) {
  for (int b = 0; b < 256; ++b) {
    const auto expected = IconvDecode("CP1251", static_cast<std::uint8_t>(b));
    if (!expected) {
      EXPECT_EQ(b, 0x98) << "the only unassigned byte";
      EXPECT_EQ(AnsiCodePage().ToUnicode(0x98), 0x0098);
      continue;
    }
    EXPECT_EQ(AnsiCodePage().ToUnicode(static_cast<std::uint8_t>(b)), *expected) << b;
    EXPECT_EQ(AnsiCodePage().FromUnicode(*expected), b);
  }
}

TEST(CodePages, Cp866AgreesWithIconvOnEveryByte) {
  for (int b = 0; b < 256; ++b) {
    const auto expected = IconvDecode("CP866", static_cast<std::uint8_t>(b));
    ASSERT_TRUE(expected) << b;
    EXPECT_EQ(OemCodePage().ToUnicode(static_cast<std::uint8_t>(b)), *expected) << b;
  }
}

TEST(CodePages, LowerCaseFollowsUnicodeWithinWindows1251) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  for (int b = 0; b < 256; ++b) {
    const char16_t unit = AnsiCodePage().ToUnicode(static_cast<std::uint8_t>(b));
    const auto lowerUnit = static_cast<char16_t>(std::towlower(unit));
    const auto lowerByte = AnsiCodePage().FromUnicode(lowerUnit);
    EXPECT_EQ(AnsiLower(static_cast<std::uint8_t>(b)), lowerByte.value_or(b)) << b;
  }
  std::setlocale(LC_CTYPE, "C");
  EXPECT_EQ(AnsiLowerCase("#!AMR"), "#!amr");
  EXPECT_EQ(AnsiLowerCase("\xC0\xA8\xDF z"), "\xE0\xB8\xFF z") << "А Ё Я";
}

TEST(CodePages, ConversionKeepsEveryCharacterBothSetsHave) {
  int shared = 0;
  for (int b = 0; b < 256; ++b) {
    const auto oem = static_cast<std::uint8_t>(b);
    const auto ansi = AnsiCodePage().FromUnicode(OemCodePage().ToUnicode(oem));
    if (!ansi) continue;
    ++shared;
    EXPECT_EQ(OemToAnsi(oem), *ansi) << b;
    EXPECT_EQ(AnsiToOem(*ansi), oem) << b;
  }
  EXPECT_EQ(shared, 128 + 66 + 11) << "ASCII, the Russian alphabet, Є є Ї ї Ў ў ° · № ¤ NBSP";
}

TEST(CodePages, MissingCharactersBecomeLookAlikes) {
  EXPECT_EQ(OemToAnsi(0xB3), '|') << "│";
  EXPECT_EQ(OemToAnsi(0xCD), '-') << "═";
  EXPECT_EQ(OemToAnsi(0xC9), '+') << "╔";
  EXPECT_EQ(OemToAnsi(0xDB), '#') << "█";
  EXPECT_EQ(OemToAnsi(0xFB), 'v') << "√";
  EXPECT_EQ(AnsiToOem(0x85), '.') << "…";
  EXPECT_EQ(AnsiToOem(0xAB), '"') << "«";
  EXPECT_EQ(AnsiToOem(0xA5), 0x83) << "Ґ as Г";
  EXPECT_EQ(AnsiToOem(0x88), '?') << "€ has no look-alike";
}

TEST(CodePages, BuffersConvertInPlaceLikeSingleBytes) {
  std::uint8_t all[256];
  for (int b = 0; b < 256; ++b)
    all[b] = static_cast<std::uint8_t>(b);
  OemToAnsiBuffer(all, all, 256);
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(all[b], OemToAnsi(static_cast<std::uint8_t>(b)));
  for (int b = 0; b < 256; ++b)
    all[b] = static_cast<std::uint8_t>(b);
  AnsiToOemBuffer(all, all, 256);
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(all[b], AnsiToOem(static_cast<std::uint8_t>(b)));
}

TEST(CodePages, Utf16OfWindowsText) {
  EXPECT_EQ(AnsiToUtf16("A\xC0\xB9"), (std::u16string{u'A', 0x0410, 0x2116}));
}

}  // namespace
}  // namespace kestrave::platform
