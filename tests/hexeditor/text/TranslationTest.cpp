#include "hexeditor/text/Translation.h"

#include <gtest/gtest.h>

#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex {
namespace {

constexpr THexTranslationKind kAllKinds[] = {tkAsIs, tkDos8, tkASCII, tkMac, tkBCD, tkCustom};

std::string Shown(THexTranslationKind kind, std::initializer_list<std::uint8_t> bytes) {
  std::string text;
  for (const std::uint8_t b : bytes)
    text += static_cast<char>(DataByteToChar(kind, '.', b));
  return text;
}

TEST(Translation, NamesOfTheKinds) {
  EXPECT_EQ(kTranslationNames[tkBCD], "EBCDIC Codepage 38");
  EXPECT_EQ(kTranslationNames[tkCustom], "Custom Translation");
  EXPECT_EQ(kTranslationShortNames[tkAsIs], "WIN");
  EXPECT_EQ(kTranslationShortNames[tkCustom], "Cust");
}

TEST(Translation, EbcdicShowsLettersDigitsAndSpaceAndTypesBack) {
  EXPECT_EQ(Shown(tkBCD, {0xC1, 0xC2, 0xF0, 0x40}), "AB0 ");
  EXPECT_EQ(CharToDataByte(tkBCD, 'A'), 0xC1);
  EXPECT_EQ(Shown(tkBCD, {0x25}), ".") << "EBCDIC 25 displays as a line feed: masked";
}

TEST(Translation, MacShowsItsUpperHalf) {
  EXPECT_EQ(DataByteToChar(tkMac, '.', 0x80), 0xC4);
  EXPECT_EQ(CharToDataByte(tkMac, 0xC4), 0x80);
  EXPECT_EQ(DataByteToChar(tkMac, '.', 'q'), 'q');
}

TEST(Translation, TablesAreInversePermutations) {
  for (const THexTranslationKind kind : {tkMac, tkBCD}) {
    for (int b = 0; b < 256; ++b) {
      std::uint8_t byte = static_cast<std::uint8_t>(b);
      TranslateFromData(kind, &byte, &byte, 1);
      TranslateToData(kind, &byte, &byte, 1);
      EXPECT_EQ(byte, b) << kTranslationNames[kind];
    }
  }
}

TEST(Translation, SevenBitAsciiMasksTheUpperHalfAndRefusesItWhenTyped) {
  for (int b = 0x80; b < 0x100; ++b)
    EXPECT_EQ(DataByteToChar(tkASCII, '*', static_cast<std::uint8_t>(b)), '*') << b;
  EXPECT_EQ(CharToDataByte(tkASCII, 0xC0), 0);
  EXPECT_EQ(CharToDataByte(tkASCII, 'k'), 'k');
}

TEST(Translation, DosShowsTheOemCharacterInTheWindowsSet) {
  EXPECT_EQ(DataByteToChar(tkDos8, '.', 0x80), 0xC0) << "А";
  EXPECT_EQ(CharToDataByte(tkDos8, 0xC0), 0x80);
  EXPECT_EQ(CharToDataByte(tkDos8, 0x1F), 0) << "control characters are not typed";
}

TEST(Translation, ControlCharactersAreMaskedUnlessMaskCharIsZero) {
  // Masking goes by the character drawn: EBCDIC 04 draws as F7 and stays, EBCDIC 25 draws as
  // 0A and is masked; in the other kinds bytes 00 to 1F draw as themselves and are masked.
  for (const THexTranslationKind kind : kAllKinds) {
    for (int b = 0; b < 256; ++b) {
      std::uint8_t drawn = static_cast<std::uint8_t>(b);
      TranslateFromData(kind, &drawn, &drawn, 1);
      const std::uint8_t shown = DataByteToChar(kind, '.', static_cast<std::uint8_t>(b));
      const bool masked = drawn < 32 || (kind == tkASCII && b > 0x7F);
      EXPECT_EQ(shown == '.', masked || drawn == '.') << kind << ' ' << b;
    }
  }
  EXPECT_EQ(DataByteToChar(tkBCD, '.', 0x04), 0xF7);
  for (int b = 0; b < 32; ++b)
    EXPECT_EQ(DataByteToChar(tkDos8, '.', static_cast<std::uint8_t>(b)), '.');
  EXPECT_EQ(DataByteToChar(tkAsIs, 0, 0x0A), 0x0A);
  EXPECT_EQ(CharToDataByte(tkAsIs, 0x0A), 0) << "a control character never becomes data";
}

TEST(Translation, UntouchedCustomTablesBehaveAsIsAndChangedOnesApply) {
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<std::uint8_t>(b);
    EXPECT_EQ(DataByteToChar(tkCustom, '.', byte), DataByteToChar(tkAsIs, '.', byte));
    EXPECT_EQ(CharToDataByte(tkCustom, byte), CharToDataByte(tkAsIs, byte));
  }
  CustomTranslationFromData()['x'] = 'y';
  CustomTranslationToData()['y'] = 'x';
  EXPECT_EQ(DataByteToChar(tkCustom, '.', 'x'), 'y');
  EXPECT_EQ(CharToDataByte(tkCustom, 'y'), 'x');
  CustomTranslationFromData()['x'] = 'x';
  CustomTranslationToData()['y'] = 'y';
}

TEST(Translation, BufferRoutinesDoNotMask) {
  std::uint8_t bytes[] = {0x01, 0x80, 0xB3};
  TranslateFromData(tkASCII, bytes, bytes, 3);
  EXPECT_EQ(bytes[0], 0x01);
  EXPECT_EQ(bytes[1], 0xC0) << "no 7-bit limit in buffers";
  EXPECT_EQ(bytes[2], '|');
}

TEST(MaskCharStorage, OnlyANonDefaultMaskCharIsStoredAndBadValuesGiveTheDefault) {
  EXPECT_EQ(MaskCharStoredInteger('.'), std::nullopt);
  EXPECT_EQ(MaskCharStoredInteger('*'), "42");
  EXPECT_EQ(MaskCharStoredInteger(0), "0");
  EXPECT_EQ(MaskCharFromStoredInteger("42"), '*');
  EXPECT_EQ(MaskCharFromStoredInteger("0"), 0);
  for (const char* bad : {"", "x", "4 2", "256", "-1", "42x"})
    EXPECT_EQ(MaskCharFromStoredInteger(bad), '.') << bad;
  EXPECT_EQ(MaskCharFromLegacyString("#"), '#');
  EXPECT_EQ(MaskCharFromLegacyString(""), '.');
  EXPECT_EQ(MaskCharFromLegacyString("##"), '.');
}

class EditorCharacters : public test::EditorTest {};

TEST_F(EditorCharacters, TranslationIsRefusedInUnicodeModeAndResetByIt) {
  editor.SetTranslation(tkMac);
  EXPECT_EQ(editor.DataByteToChar(0x80), 0xC4);
  LoadSize(8);
  editor.SetUnicodeChars(true);
  EXPECT_EQ(editor.Translation(), tkAsIs);
  EXPECT_EQ(editor.BytesPerUnit(), 2);
  test::ExpectError<EHexEditor>([&] { editor.SetTranslation(tkMac); },
                                "Translations cannot be used in unicode mode");
  EXPECT_EQ(editor.Translation(), tkAsIs);
  EXPECT_NO_THROW(editor.SetTranslation(tkAsIs));
  editor.SetUnicodeChars(false);
  EXPECT_EQ(editor.BytesPerUnit(), 1);
}

TEST_F(EditorCharacters, UnicodeModeNeedsEvenSizes) {
  LoadSize(7);
  test::ExpectError<EHexEditor>([&] { editor.SetUnicodeChars(true); },
                                "Cannot use unicode mode with odd-sized files");
  EXPECT_FALSE(editor.UnicodeChars());
  EXPECT_EQ(editor.ColCount(), 51);
}

TEST_F(EditorCharacters, MaskCharFollowsTheSetter) {
  editor.SetMaskChar('#');
  EXPECT_EQ(editor.DataByteToChar(0x05), '#');
  editor.SetMaskChar(0);
  EXPECT_EQ(editor.DataByteToChar(0x05), 0x05);
}

}  // namespace
}  // namespace kestrave::hex
