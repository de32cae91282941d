#include "hexeditor/document/HexMemoryStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "hexeditor/HexEditorError.h"

namespace kestrave::hex {
namespace {

using platform::TSeekOrigin;

std::string Content(THexMemoryStream& stream) {
  return {reinterpret_cast<const char*>(stream.PointerAt(0)),
          static_cast<std::size_t>(stream.DataSize())};
}

void Fill(THexMemoryStream& stream, const std::string& text) {
  stream.SetSize(0);
  stream.Write(text.data(), static_cast<std::int64_t>(text.size()));
}

TEST(HexMemoryStream, CapacityIsTheSizeRoundedUpTo8192) {
  THexMemoryStream stream;
  stream.SetSize(1);
  EXPECT_EQ(stream.Capacity(), 8192);
  stream.SetSize(8192);
  EXPECT_EQ(stream.Capacity(), 8192);
  stream.SetSize(8193);
  EXPECT_EQ(stream.Capacity(), 16384);
  stream.SetSize(0);
  EXPECT_EQ(stream.Capacity(), 0);
}

TEST(HexMemoryStream, SizesBeyondThirtyTwoBitsAreRefusedWithoutChange) {
  THexMemoryStream stream;
  Fill(stream, "abc");
  try {
    stream.SetSize(std::int64_t{0x80000000});
    FAIL();
  } catch (const EHexEditor& e) {
    EXPECT_EQ(e.Message(), "Out of memory while expanding memory stream");
  }
  EXPECT_EQ(Content(stream), "abc");
}

TEST(HexMemoryStream, CheckBoundsAllowsTheEndItself) {
  THexMemoryStream stream;
  Fill(stream, "0123456789");
  EXPECT_NO_THROW(stream.CheckBounds(10));
  try {
    stream.CheckBounds(11);
    FAIL();
  } catch (const EHexEditor& e) {
    EXPECT_EQ(e.Message(), "Data position/length out of data bounds");
  }
}

TEST(HexMemoryStream, MoveDataHandlesOverlapInBothDirections) {
  THexMemoryStream stream;
  Fill(stream, "0123456789");
  stream.MoveData(0, 2, 5);
  EXPECT_EQ(Content(stream), "0101234789");
  Fill(stream, "0123456789");
  stream.MoveData(3, 1, 6);
  EXPECT_EQ(Content(stream), "0345678789");
}

TEST(HexMemoryStream, WriteAtKeepsThePositionAndChecksFirst) {
  THexMemoryStream stream;
  Fill(stream, "0123456789");
  stream.SetPosition(7);
  stream.WriteAt(2, "ab", 2);
  EXPECT_EQ(Content(stream), "01ab456789");
  EXPECT_EQ(stream.Position(), 7);
  EXPECT_THROW(stream.WriteAt(9, "xy", 2), EHexEditor);
  EXPECT_EQ(Content(stream), "01ab456789");
  EXPECT_EQ(stream.Position(), 7);
}

TEST(HexMemoryStream, ReadsAndWritesLikeAStream) {
  THexMemoryStream stream;
  Fill(stream, "hello");
  EXPECT_EQ(stream.Seek(-2, TSeekOrigin::soEnd), 3);
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, 8), 2);
  EXPECT_STREQ(buffer, "lo");
  EXPECT_EQ(stream.Read(buffer, 8), 0);
  stream.Seek(7, TSeekOrigin::soBeginning);
  EXPECT_EQ(stream.Read(buffer, 1), 0) << "reading past the end gives nothing";
  stream.Write("!", 1);
  EXPECT_EQ(stream.DataSize(), 8) << "writing past the end grows the stream";
  EXPECT_EQ(stream.Size(), 8);
}

TEST(HexMemoryStream, ShrinkingPullsThePositionBack) {
  THexMemoryStream stream;
  Fill(stream, "0123456789");
  EXPECT_EQ(stream.Position(), 10);
  stream.SetSize(4);
  EXPECT_EQ(stream.Position(), 4);
  EXPECT_EQ(Content(stream), "0123");
}

}  // namespace
}  // namespace kestrave::hex
