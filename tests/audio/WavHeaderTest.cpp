#include "audio/WavHeader.h"

#include <gtest/gtest.h>

#include <string>

#include "app/cli/Json.h"

namespace kestrave::audio {
namespace {

TEST(WavHeader, DescribesMonoSixteenBitPcmOfTheGivenLength) {
  const auto header = MonoPcm16WavHeader(16000, 1000);
  ASSERT_TRUE(header);
  const std::string expected = std::string("RIFF") + std::string("\xF4\x07\x00\x00", 4) +
                               "WAVEfmt " + std::string("\x10\x00\x00\x00\x01\x00\x01\x00", 8) +
                               std::string("\x80\x3E\x00\x00", 4) +
                               std::string("\x00\x7D\x00\x00\x02\x00\x10\x00", 8) + "data" +
                               std::string("\xD0\x07\x00\x00", 4);
  EXPECT_EQ(std::string(header->begin(), header->end()), expected);
}

TEST(WavHeader, SoundBeyondTheFormatsSizeFieldsIsRefused) {
  EXPECT_TRUE(MonoPcm16WavHeader(8000, (0xFFFFFFFFll - 36) / 2));
  EXPECT_FALSE(MonoPcm16WavHeader(8000, (0xFFFFFFFFll - 36) / 2 + 1));
  EXPECT_FALSE(MonoPcm16WavHeader(8000, -1));
  EXPECT_FALSE(MonoPcm16WavHeader(0, 10));
}

TEST(JsonWriter, EscapesWhatJsonMustAndKeepsNamesThatAreNotUtf8Valid) {
  app::JsonWriter json;
  json.BeginObject()
      .Key("name")
      .String(std::string("a\"b\\c\n\x01", 7))
      .Key("file")
      .String("\xD0\x9D\xFF/x\xE0\x80\x80")
      .Key("list")
      .BeginArray()
      .Number(-3)
      .Bool(true)
      .Null()
      .StringOrNull("")
      .EndArray()
      .EndObject();
  EXPECT_EQ(
      json.Text(),
      "{\"name\":\"a\\\"b\\\\c\\n\\u0001\",\"file\":\"\xD0\x9D\\ufffd/x\\ufffd\\ufffd\\ufffd\","
      "\"list\":[-3,true,null,null]}");
}

}  // namespace
}  // namespace kestrave::audio
