#include "app/hex/CopyAs.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrave::app {
namespace {

TEST(CopyAs, HexTextAndACArrayThatACompilerTakes) {
  const std::vector<std::uint8_t> bytes = {0x48, 0x65, 0x00, 0xFF, 0x0A};
  EXPECT_EQ(HexText(bytes), "48 65 00 FF 0A");
  EXPECT_EQ(HexText({}), "");
  EXPECT_EQ(CArray(bytes),
            "const unsigned char data[5] = {\n    0x48, 0x65, 0x00, 0xFF, 0x0A,\n};\n");
  std::vector<std::uint8_t> thirteen(13, 0x11);
  EXPECT_EQ(CArray(thirteen, "t"),
            "const unsigned char t[13] = {\n"
            "    0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11,\n"
            "    0x11,\n"
            "};\n");
  EXPECT_EQ(CArray({}), "const unsigned char data[0] = {\n};\n");
}

TEST(CopyAs, TextGoesThroughTheTranslationByteForByte) {
  const std::vector<std::uint8_t> bytes = {'a', 0xC0, 0x00};
  const auto shown = TranslatedText(bytes, [](std::uint8_t byte) -> char16_t {
    return byte == 0xC0 ? u'\u0410' : byte == 0 ? u'.' : static_cast<char16_t>(byte);
  });
  EXPECT_EQ(shown, u"a\u0410.");
}

}  // namespace
}  // namespace kestrave::app
