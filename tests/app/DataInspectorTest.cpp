#include "app/hex/DataInspector.h"

#include <gtest/gtest.h>

#include <map>

namespace kestrave::app {
namespace {

std::map<InspectedType, std::string> Shown(const std::vector<std::uint8_t>& bytes,
                                           bool bigEndian = false) {
  std::map<InspectedType, std::string> shown;
  for (const InspectedValue& value : InspectBytes(bytes, bigEndian))
    shown[value.Type] = value.Text;
  return shown;
}

TEST(DataInspector, TheBytesAtTheCaretReadAsEveryTypeInBothOrders) {
  const std::vector<std::uint8_t> bytes = {0x00, 0x00, 0x80, 0x3F, 0xAF, 0x6D, 0xB1, 0x58};
  auto little = Shown(bytes);
  EXPECT_EQ(little[InspectedType::UInt8], "0");
  EXPECT_EQ(little[InspectedType::Int32], "1065353216");
  EXPECT_EQ(little[InspectedType::Float32], "1");
  EXPECT_EQ(little[InspectedType::Binary], "00000000");
  EXPECT_EQ(Shown({0xFF, 0xFF})[InspectedType::Int16], "-1");
  EXPECT_EQ(Shown({0xFF, 0xFF})[InspectedType::UInt16], "65535");
  EXPECT_EQ(Shown({0xFF})[InspectedType::Int32], "") << "too few bytes";
  EXPECT_EQ(Shown({0x01, 0x02}, true)[InspectedType::UInt16], "258");
  EXPECT_EQ(Shown({0x00, 0x00, 0x00, 0x00})[InspectedType::UnixTime32], "1970-01-01 00:00:00 UTC");
  EXPECT_EQ(Shown({0xFF, 0xFF, 0xFF, 0x7F})[InspectedType::UnixTime32], "2038-01-19 03:14:07 UTC");
  EXPECT_EQ(Shown({0xAF, 0x6D, 0xB1, 0x58})[InspectedType::DosDateTime], "2024-05-17 13:45:30");
  EXPECT_EQ(Shown({0x00, 0x00, 0x00, 0x00})[InspectedType::DosDateTime], "") << "day 0";
  EXPECT_EQ(Shown({0x00, 0x00, 0xC0, 0x7F})[InspectedType::Float32], "NaN");
  EXPECT_EQ(Shown({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})[InspectedType::Int64], "-1");
  EXPECT_EQ(Shown({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})[InspectedType::UnixTime64],
            "1969-12-31 23:59:59 UTC");
}

TEST(DataInspector, CharactersAreReadWholeOrNotAtAll) {
  const auto values = InspectBytes(std::vector<std::uint8_t>{0xD0, 0x96, 0x41}, false);
  for (const InspectedValue& value : values) {
    if (value.Type == InspectedType::Utf8) {
      EXPECT_EQ(value.Text, "\xD0\x96 U+0416");
      EXPECT_EQ(value.Bytes, 2);
    }
  }
  EXPECT_EQ(Shown({0xD0})[InspectedType::Utf8], "") << "cut short";
  EXPECT_EQ(Shown({0xC0, 0x80})[InspectedType::Utf8], "") << "overlong";
  EXPECT_EQ(Shown({0x0A})[InspectedType::Utf8], "U+000A") << "control: the code point only";
  EXPECT_EQ(Shown({0x3D, 0xD8, 0x00, 0xDE})[InspectedType::Utf16], "\xF0\x9F\x98\x80 U+1F600");
  EXPECT_EQ(Shown({0x00, 0xDE, 0x3D, 0xD8})[InspectedType::Utf16], "") << "a lone low surrogate";
  EXPECT_EQ(Shown({0x04, 0x16}, true)[InspectedType::Utf16], "\xD0\x96 U+0416");
}

// A value typed into a row comes back as the same text when its bytes are read again.
TEST(DataInspector, TypedValuesBecomeTheBytesThatReadAsThem) {
  const struct {
    InspectedType type;
    const char* text;
  } cases[] = {
      {InspectedType::Int8, "-128"},
      {InspectedType::UInt8, "255"},
      {InspectedType::Int16, "-12345"},
      {InspectedType::UInt16, "54321"},
      {InspectedType::Int32, "-2147483648"},
      {InspectedType::UInt32, "4000000000"},
      {InspectedType::Int64, "-9223372036854775808"},
      {InspectedType::UInt64, "18446744073709551615"},
      {InspectedType::Float32, "3.14"},
      {InspectedType::Float64, "-2.718281828459045"},
      {InspectedType::Float32, "Infinity"},
      {InspectedType::UnixTime32, "2001-09-09 01:46:40 UTC"},
      {InspectedType::UnixTime64, "9999-12-31 23:59:59 UTC"},
      {InspectedType::DosDateTime, "2024-05-17 13:45:30"},
      {InspectedType::Utf8, "\xE2\x82\xAC"},
      {InspectedType::Utf16, "\xF0\x9F\x98\x80"},
      {InspectedType::Binary, "10100101"},
  };
  for (const bool bigEndian : {false, true}) {
    for (const auto& c : cases) {
      const auto bytes = EncodeValue(c.type, c.text, bigEndian);
      ASSERT_TRUE(bytes) << c.text;
      std::string shown = Shown(*bytes, bigEndian)[c.type];
      if (c.type == InspectedType::Utf8 || c.type == InspectedType::Utf16)
        shown = shown.substr(0, shown.find(' '));
      EXPECT_EQ(shown, c.text) << (bigEndian ? "big endian" : "little endian");
    }
  }
  EXPECT_EQ(*EncodeValue(InspectedType::UInt16, "0x1234", false),
            (std::vector<std::uint8_t>{0x34, 0x12}));
}

TEST(DataInspector, WhatDoesNotFitTheTypeIsRefused) {
  EXPECT_FALSE(EncodeValue(InspectedType::Int8, "128", false));
  EXPECT_FALSE(EncodeValue(InspectedType::UInt8, "-1", false));
  EXPECT_FALSE(EncodeValue(InspectedType::UInt16, "12x", false));
  EXPECT_FALSE(EncodeValue(InspectedType::Int64, "9223372036854775808", false));
  EXPECT_FALSE(EncodeValue(InspectedType::Float32, "1e39", false));
  EXPECT_FALSE(EncodeValue(InspectedType::UnixTime32, "2040-01-01 00:00:00", false));
  EXPECT_FALSE(EncodeValue(InspectedType::UnixTime64, "2021-02-30 00:00:00", false));
  EXPECT_FALSE(EncodeValue(InspectedType::DosDateTime, "1979-12-31 00:00:00", false));
  EXPECT_FALSE(EncodeValue(InspectedType::DosDateTime, "2024-05-17 13:45:31", false))
      << "DOS time counts two seconds";
  EXPECT_FALSE(EncodeValue(InspectedType::Utf8, "ab", false));
  EXPECT_FALSE(EncodeValue(InspectedType::Binary, "1010", false));
  EXPECT_FALSE(EncodeValue(InspectedType::Int32, "", false));
}

}  // namespace
}  // namespace kestrave::app
