#include "hexeditor/text/Conversions.h"

#include <gtest/gtest.h>

#include <cstring>

#include "hexeditor/HexEditorError.h"

namespace kestrave::hex {
namespace {

std::string ParseError(std::string_view text, std::uint8_t radix) {
  try {
    ParseRadixText(text, radix);
  } catch (const EHexEditor& e) {
    return e.Message();
  }
  return "";
}

TEST(FormatInRadix, DigitsAndPadding) {
  EXPECT_EQ(FormatInRadix(255, 16, 0), "FF");
  EXPECT_EQ(FormatInRadix(255, 16, 4), "00FF");
  EXPECT_EQ(FormatInRadix(0, 10, 0), "0");
  EXPECT_EQ(FormatInRadix(0, 10, 3), "000");
  EXPECT_EQ(FormatInRadix(5, 2, 0), "101");
  EXPECT_EQ(FormatInRadix(0xFFFFFFFFu, 16, 0), "FFFFFFFF");
  EXPECT_EQ(FormatInRadix(0xFFFFFFFFu, 2, 0), std::string(32, '1'));
  EXPECT_EQ(FormatInRadix(1234, 10, 2), "1234") << "padding never cuts";
}

TEST(ParseRadixText, ReadsDigitsOfEitherCaseAndWrapsAround) {
  EXPECT_EQ(ParseRadixText("ff", 16), 255);
  EXPECT_EQ(ParseRadixText("10", 16), 16);
  EXPECT_EQ(ParseRadixText("777", 8), 511);
  EXPECT_EQ(ParseRadixText("", 10), 0);
  EXPECT_EQ(ParseRadixText("FFFFFFFF", 16), -1);
  EXPECT_EQ(ParseRadixText("100000000", 16), 0) << "32-bit wrap-around";
  for (std::uint32_t value : {0u, 1u, 77u, 0x80000000u, 0xDEADBEEFu})
    for (std::uint8_t radix = 2; radix <= 16; ++radix)
      EXPECT_EQ(static_cast<std::uint32_t>(ParseRadixText(FormatInRadix(value, radix, 0), radix)),
                value);
}

TEST(ParseRadixText, NamesTheBadCharacterAndTheRadixInHex) {
  EXPECT_EQ(ParseError("12", 2), "Invalid character 2, cannot convert using radix 2h");
  EXPECT_EQ(ParseError("1A", 10), "Invalid character A, cannot convert using radix Ah");
  EXPECT_EQ(ParseError("1a", 10), "Invalid character A, cannot convert using radix Ah");
  EXPECT_EQ(ParseError("-1", 16), "Invalid character -, cannot convert using radix 10h");
  EXPECT_EQ(ParseError("1 ", 16), "Invalid character  , cannot convert using radix 10h");
  EXPECT_EQ(ParseError(std::string_view("1\0", 2), 16),
            std::string("Invalid character ") + '\0' + ", cannot convert using radix 10h")
      << "a zero character is no digit";
}

TEST(HexText, PairsSkipOtherCharactersAndDropALoneDigit) {
  const char text[] = {'4', 'a', ' ', '6', 'B', '-', '7'};
  std::uint8_t bytes[3] = {};
  int count = -1;
  HexTextToBytes(text, 7, bytes, count, false);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(bytes[0], 0x4A);
  EXPECT_EQ(bytes[1], 0x6B);
  EXPECT_EQ(HexTextToBytes("4a 6B-7", true), (std::vector<std::uint8_t>{0xA4, 0xB6}));
  EXPECT_EQ(HexTextToBytes("4 a", false), std::vector<std::uint8_t>{0x4A}) << "a gap inside a pair";
  EXPECT_TRUE(HexTextToBytes("xyz", false).empty());
}

TEST(HexText, BytesBecomeUpperCaseDigitsWithATerminator) {
  const std::uint8_t bytes[] = {0x00, 0x1F, 0xAB};
  char text[7];
  std::memset(text, '#', sizeof text);
  BytesToHexText(bytes, 3, text, false);
  EXPECT_STREQ(text, "001FAB");
  EXPECT_EQ(BytesToHexText(bytes, 3, true), "00F1BA");
  EXPECT_EQ(HexTextToBytes(BytesToHexText(bytes, 3, false), false),
            std::vector<std::uint8_t>(bytes, bytes + 3));
}

TEST(SwapByteOrder16, ExchangesTheTwoBytes) {
  std::uint8_t unit[2] = {0x12, 0x34};
  SwapByteOrder16(unit);
  EXPECT_EQ(unit[0], 0x34);
  EXPECT_EQ(unit[1], 0x12);
}

}  // namespace
}  // namespace kestrave::hex
