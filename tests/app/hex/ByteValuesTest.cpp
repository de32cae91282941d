#include "app/hex/ByteValues.h"

#include <gtest/gtest.h>

#include <map>

namespace kestrave::app {
namespace {

std::map<ValueType, std::string> Shown(const std::vector<std::uint8_t>& bytes,
                                       bool bigEndian = false) {
  std::map<ValueType, std::string> shown;
  for (const ByteValue& value : ReadByteValues(bytes, bigEndian))
    shown[value.Type] = value.Text;
  return shown;
}

TEST(ByteValues, TheBytesAtTheCaretReadAsEveryTypeInBothOrders) {
  const std::vector<std::uint8_t> bytes = {0x00, 0x00, 0x80, 0x3F, 0xAF, 0x6D, 0xB1, 0x58};
  auto little = Shown(bytes);
  EXPECT_EQ(little[ValueType::UInt8], "0");
  EXPECT_EQ(little[ValueType::Int32], "1065353216");
  EXPECT_EQ(little[ValueType::Float32], "1");
  EXPECT_EQ(little[ValueType::Binary], "00000000");
  EXPECT_EQ(Shown({0xFF, 0xFF})[ValueType::Int16], "-1");
  EXPECT_EQ(Shown({0xFF, 0xFF})[ValueType::UInt16], "65535");
  EXPECT_EQ(Shown({0xFF})[ValueType::Int32], "") << "too few bytes";
  EXPECT_EQ(Shown({0x01, 0x02}, true)[ValueType::UInt16], "258");
  EXPECT_EQ(Shown({0x00, 0x00, 0x00, 0x00})[ValueType::UnixTime32], "1970-01-01 00:00:00 UTC");
  EXPECT_EQ(Shown({0xFF, 0xFF, 0xFF, 0x7F})[ValueType::UnixTime32], "2038-01-19 03:14:07 UTC");
  EXPECT_EQ(Shown({0xAF, 0x6D, 0xB1, 0x58})[ValueType::DosDateTime], "2024-05-17 13:45:30");
  EXPECT_EQ(Shown({0x00, 0x00, 0x00, 0x00})[ValueType::DosDateTime], "") << "day 0";
  EXPECT_EQ(Shown({0x00, 0x00, 0xC0, 0x7F})[ValueType::Float32], "NaN");
  EXPECT_EQ(Shown({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})[ValueType::Int64], "-1");
  EXPECT_EQ(Shown({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})[ValueType::UnixTime64],
            "1969-12-31 23:59:59 UTC");
}

TEST(ByteValues, CharactersAreReadWholeOrNotAtAll) {
  const auto values = ReadByteValues(std::vector<std::uint8_t>{0xD0, 0x96, 0x41}, false);
  for (const ByteValue& value : values) {
    if (value.Type == ValueType::Utf8) {
      EXPECT_EQ(value.Text, "\xD0\x96 U+0416");
      EXPECT_EQ(value.Bytes, 2);
    }
  }
  EXPECT_EQ(Shown({0xD0})[ValueType::Utf8], "") << "cut short";
  EXPECT_EQ(Shown({0xC0, 0x80})[ValueType::Utf8], "") << "overlong";
  EXPECT_EQ(Shown({0x0A})[ValueType::Utf8], "U+000A") << "control: the code point only";
  EXPECT_EQ(Shown({0x3D, 0xD8, 0x00, 0xDE})[ValueType::Utf16], "\xF0\x9F\x98\x80 U+1F600");
  EXPECT_EQ(Shown({0x00, 0xDE, 0x3D, 0xD8})[ValueType::Utf16], "") << "a lone low surrogate";
  EXPECT_EQ(Shown({0x04, 0x16}, true)[ValueType::Utf16], "\xD0\x96 U+0416");
}

// A value typed into a row comes back as the same text when its bytes are read again.
TEST(ByteValues, TypedValuesBecomeTheBytesThatReadAsThem) {
  const struct {
    ValueType type;
    const char* text;
  } cases[] = {
      {ValueType::Int8, "-128"},
      {ValueType::UInt8, "255"},
      {ValueType::Int16, "-12345"},
      {ValueType::UInt16, "54321"},
      {ValueType::Int32, "-2147483648"},
      {ValueType::UInt32, "4000000000"},
      {ValueType::Int64, "-9223372036854775808"},
      {ValueType::UInt64, "18446744073709551615"},
      {ValueType::Float32, "3.14"},
      {ValueType::Float64, "-2.718281828459045"},
      {ValueType::Float32, "Infinity"},
      {ValueType::UnixTime32, "2001-09-09 01:46:40 UTC"},
      {ValueType::UnixTime64, "9999-12-31 23:59:59 UTC"},
      {ValueType::DosDateTime, "2024-05-17 13:45:30"},
      {ValueType::Utf8, "\xE2\x82\xAC"},
      {ValueType::Utf16, "\xF0\x9F\x98\x80"},
      {ValueType::Binary, "10100101"},
  };
  for (const bool bigEndian : {false, true}) {
    for (const auto& c : cases) {
      const auto bytes = EncodeValue(c.type, c.text, bigEndian);
      ASSERT_TRUE(bytes) << c.text;
      std::string shown = Shown(*bytes, bigEndian)[c.type];
      if (c.type == ValueType::Utf8 || c.type == ValueType::Utf16)
        shown = shown.substr(0, shown.find(' '));
      EXPECT_EQ(shown, c.text) << (bigEndian ? "big endian" : "little endian");
    }
  }
  EXPECT_EQ(*EncodeValue(ValueType::UInt16, "0x1234", false),
            (std::vector<std::uint8_t>{0x34, 0x12}));
}

TEST(ByteValues, WhatDoesNotFitTheTypeIsRefused) {
  EXPECT_FALSE(EncodeValue(ValueType::Int8, "128", false));
  EXPECT_FALSE(EncodeValue(ValueType::UInt8, "-1", false));
  EXPECT_FALSE(EncodeValue(ValueType::UInt16, "12x", false));
  EXPECT_FALSE(EncodeValue(ValueType::Int64, "9223372036854775808", false));
  EXPECT_FALSE(EncodeValue(ValueType::Float32, "1e39", false));
  EXPECT_FALSE(EncodeValue(ValueType::UnixTime32, "2040-01-01 00:00:00", false));
  EXPECT_FALSE(EncodeValue(ValueType::UnixTime64, "2021-02-30 00:00:00", false));
  EXPECT_FALSE(EncodeValue(ValueType::DosDateTime, "1979-12-31 00:00:00", false));
  EXPECT_FALSE(EncodeValue(ValueType::DosDateTime, "2024-05-17 13:45:31", false))
      << "DOS time counts two seconds";
  EXPECT_FALSE(EncodeValue(ValueType::Utf8, "ab", false));
  EXPECT_FALSE(EncodeValue(ValueType::Binary, "1010", false));
  EXPECT_FALSE(EncodeValue(ValueType::Int32, "", false));
}

// A value too wide for the panel loses its middle, never the exponent or an integer's last
// digits, nor half a character; one that fits stays whole.
TEST(ByteValues, AShortenedValueKeepsItsExponentAndItsLastDigits) {
  // One unit a character, as a monospaced font measures.
  const auto characters = [](const std::string& text) {
    int count = 0;
    for (const char c : text)
      count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
  };
  const struct {
    std::string value;
    int width;
    std::string expected;
  } cases[] = {
      {"2.3257528394073610e+35", 22, "2.3257528394073610e+35"},
      {"2.3257528394073610e+35", 12, "2.32575\u2026e+35"},
      {"-2.2250738585072014e-308", 8, "-2\u2026e-308"},
      {"-9223372036854775808", 10, "-9223\u20265808"},
      {"18446744073709551615", 3, "1\u20265"},
      {"\u00ABАБВГДЕЖЗ\u00BB", 5, "\u00ABА\u2026З\u00BB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value + " in " + std::to_string(c.width));
    const std::string shown = ElidedValue(c.value, c.width, characters);
    EXPECT_EQ(shown, c.expected);
    EXPECT_LE(characters(shown), std::max(c.width, 3));
  }
}

}  // namespace
}  // namespace kestrave::app
