#include <gtest/gtest.h>

#include "hexeditor/text/OffsetFormat.h"
#include "support/Fakes.h"
#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

// A face whose "w" is 9 pixels wide.
using kestrave::test::NinePixelMetrics;

class Offsets : public EditorTest {
 protected:
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int row = 0; row < editor.RowCount() - 2; ++row)
      rows.push_back(editor.GetOffsetText(static_cast<std::uint32_t>(row * editor.BytesPerRow())));
    return rows;
  }
  // Refused with this message, and everything about offsets as it was.
  void ExpectRefused(const std::string& format, const std::string& message) {
    const TOffsetFormat before = editor.OffsetFormatRecord();
    const int gutter = editor.ColWidth(0);
    const std::string someRow = editor.GetOffsetText(992);
    ExpectError<EHexEditor>([&] { editor.SetOffsetFormat(format); }, message);
    EXPECT_EQ(editor.OffsetFormatRecord(), before) << format;
    EXPECT_EQ(editor.OffsetFormat(), before.Text);
    EXPECT_EQ(editor.ColWidth(0), gutter);
    EXPECT_EQ(editor.GetOffsetText(992), someRow);
  }
};

TEST_F(Offsets, TheDefaultWritesHexWithTheDigitsOfTheLastRow) {
  LoadSize(1000);
  EXPECT_EQ(editor.OffsetFormat(), "-!10:0x|");
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 63u);
  EXPECT_EQ(rows.front(), "0x000");
  EXPECT_EQ(rows[1], "0x010");
  EXPECT_EQ(rows.back(), "0x3E0");
  editor.SetHexLowerCase(true);
  EXPECT_EQ(editor.GetOffsetText(992), "0x3e0") << "the prefix is never converted";
  EXPECT_STREQ(editor.HexDigits(), "0123456789abcdef");
  LoadSize(100000);
  EXPECT_EQ(editor.GetOffsetText(0), "0x00000") << "the width follows the new last row";
}

TEST_F(Offsets, FormatsOfTheLanguage) {
  LoadSize(1000);
  editor.SetOffsetFormat("10:|");
  EXPECT_EQ(editor.GetOffsetText(0), "0");
  EXPECT_EQ(editor.GetOffsetText(16), "10");
  editor.SetOffsetFormat("8!A:|");
  EXPECT_EQ(editor.GetOffsetText(992), "00000992");
  editor.SetOffsetFormat("2%-!10:|");
  EXPECT_EQ(editor.GetOffsetText(32), "010") << "16-bit units, three digits as 992 / 2 = 1F0";
  editor.SetOffsetFormat("0!10:x|");
  EXPECT_EQ(editor.GetOffsetText(0), "x");
  EXPECT_EQ(editor.GetOffsetText(16), "x10");
  editor.SetOffsetFormat("10:a|b|c");
  EXPECT_EQ(editor.OffsetFormatRecord().Prefix, "a");
  EXPECT_EQ(editor.OffsetFormatRecord().Suffix, "b|c");
  editor.SetOffsetFormat("%2:|");
  EXPECT_EQ(editor.GetOffsetText(5), "101") << "binary, the ruler unit";
  editor.SetOffsetFormat("c%10:|");
  EXPECT_EQ(editor.GetOffsetText(32), "10") << "counted in columns of two bytes";
}

TEST_F(Offsets, BadFormatsAreRefusedAndTheOldOneStays) {
  LoadSize(1000);
  editor.SetOffsetFormat("8!A:|");
  ExpectRefused("r%10:Row |", "Invalid bytes per unit value 16, allowed: 1,2,4,8");
  ExpectRefused("-!10:0x", "Missing char in offset format: |");
  ExpectRefused("-!0x|", "Missing char in offset format: :");
  ExpectRefused("-!:|", "Missing char in offset format: number radix");
  ExpectRefused("11:|", "Invalid radix in offset format (11h), allowed: 02h..10h");
  ExpectRefused("1:|", "Invalid radix in offset format (1h), allowed: 02h..10h");
  ExpectRefused("3%10:|", "Invalid bytes per unit value 3, allowed: 1,2,4,8");
  editor.SetOffsetFormat("-!10:0x|");
  const TOffsetFormat automatic = editor.OffsetFormatRecord();
  ExpectRefused("3%10:|", "Invalid bytes per unit value 3, allowed: 1,2,4,8");
  EXPECT_EQ(editor.OffsetFormatRecord().MinDigits, automatic.MinDigits)
      << "the automatic digit count is restored too";
}

TEST_F(Offsets, ARowUnitIsTakenWhenRowsAreAUnitSize) {
  LoadSize(64);
  editor.SetBytesPerRow(8);
  editor.SetOffsetFormat("r%10:Row |");
  EXPECT_EQ(editor.GetOffsetText(16), "Row 2");
  editor.SetBytesPerRow(4);
  EXPECT_EQ(editor.GetOffsetText(16), "Row 4") << "the unit follows the rows";
  editor.SetBytesPerRow(256);
  EXPECT_EQ(editor.OffsetFormatRecord().UnitSize, 256) << "no eight-bit wrap to zero";
  EXPECT_EQ(editor.GetOffsetText(512), "Row 2");
  EXPECT_EQ(editor.GetOffsetText(0), "Row 0");
  editor.SetOffsetFormat("-!10:0x|");
  editor.SetBytesPerUnit(4);
  EXPECT_EQ(editor.OffsetFormatRecord().UnitSize, 4) << "the ruler unit follows BytesPerUnit";
  editor.SetRulerBytesPerUnit(2);
  EXPECT_EQ(editor.OffsetFormatRecord().UnitSize, 2);
}

TEST_F(Offsets, AZeroUnitNeverReachesADivision) {
  TOffsetFormat format;
  ParseOffsetFormat(format, "10:|", {});
  format.UnitSize = 0;
  EXPECT_EQ(RenderOffset(format, 32, false), "20");
  EXPECT_EQ(AutomaticDigits(format, 255), 2);
}

TEST_F(Offsets, TheGutterIsSizedFromTheWidestText) {
  const NinePixelMetrics metrics;
  editor.SetTextMetrics(metrics);
  LoadSize(1000);
  EXPECT_EQ(editor.ColWidth(0), 6 * 9 + 21) << "'0x3E0' and one character more";
  editor.SetOffsetFormat("");
  EXPECT_EQ(editor.GetOffsetText(16), "");
  EXPECT_EQ(editor.GetOffsetTextOrHex(1000), "3E8");
  EXPECT_EQ(editor.ColWidth(0), 9 + 21) << "an empty format still has its margin";
  editor.SetGutterWidth(77);
  EXPECT_EQ(editor.ColWidth(0), 77);
  editor.SetGutterWidth(-1);
  EXPECT_EQ(editor.ColWidth(0), 30);
}

TEST_F(Offsets, AnApplicationTextDecidesTheGutterAndMayAskForTheFormatsText) {
  const NinePixelMetrics metrics;
  editor.SetTextMetrics(metrics);
  LoadSize(1000);
  std::vector<bool> measuring;
  editor.OnGetOffsetText = [&](TCustomHexEditor& sender, std::int64_t number, std::string& text) {
    EXPECT_TRUE(text.empty());
    measuring.push_back(sender.MeasuringOffsetWidth());
    text = "row @" + sender.GetOffsetText(static_cast<std::uint32_t>(number));
  };
  editor.SetGutterWidth(-1);
  EXPECT_EQ(editor.ColWidth(0), static_cast<int>(std::string("row @0x3E0").size() + 1) * 9 + 21);
  EXPECT_EQ(editor.GetOffsetText(16), "row @0x010") << "inside the handler the format answers";
  EXPECT_EQ(measuring, (std::vector<bool>{true, false}));
  editor.OnGetOffsetText = [](TCustomHexEditor&, std::int64_t, std::string&) {
    throw EHexEditor("handler failed");
  };
  EXPECT_THROW(editor.GetOffsetText(0), EHexEditor);
  editor.OnGetOffsetText = nullptr;
  EXPECT_EQ(editor.GetOffsetText(16), "0x010") << "the guard is clear again";
}

TEST(RulerTexts, UnitsAndBases) {
  EXPECT_EQ(MakeRulerTexts(16, 1, 16, false, false).Hex, "000102030405060708090A0B0C0D0E0F");
  EXPECT_EQ(MakeRulerTexts(16, 1, 16, false, false).Chars, "0123456789ABCDEF");
  const RulerTexts units = MakeRulerTexts(16, 4, 16, false, false);
  EXPECT_EQ(units.Hex.substr(0, 16), "0000000000000001");
  EXPECT_EQ(units.Chars.substr(0, 8), "   0   1");
  EXPECT_EQ(MakeRulerTexts(16, 1, 16, false, true).Hex.substr(20), "0a0b0c0d0e0f");
  EXPECT_EQ(MakeRulerTexts(4, 1, 2, false, false).Hex, "00011011") << "the last two digits";
  EXPECT_EQ(MakeRulerTexts(16, 2, 16, true, false).Chars, "01234567") << "unicode";
  EXPECT_EQ(MakeRulerTexts(3, 4, 16, false, false).Hex, "") << "a row shorter than a unit";
}

}  // namespace
}  // namespace kestrave::hex::test
