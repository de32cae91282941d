#include "hexeditor/ByteBlock.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/TempDir.h"

namespace kestrave::hex {
namespace {

// Walks a block through heap and mapped sizes; the content below the smaller size must survive.
TEST(ByteBlock, KeepsContentAcrossEveryKindOfResize) {
  const auto pattern = test::PatternBytes(3 << 20);
  ByteBlock block;
  std::size_t kept = 0;
  for (const std::size_t capacity :
       {std::size_t{100}, std::size_t{8192}, std::size_t{2} << 20, std::size_t{3} << 20,
        std::size_t{1} << 20, std::size_t{5000}, std::size_t{3} << 20}) {
    ASSERT_TRUE(block.Resize(capacity));
    ASSERT_EQ(block.Capacity(), capacity);
    ASSERT_EQ(std::memcmp(block.Data(), pattern.data(), std::min(kept, capacity)), 0)
        << "at capacity " << capacity;
    std::memcpy(block.Data(), pattern.data(), capacity);
    kept = capacity;
  }
  ASSERT_TRUE(block.Resize(0));
  EXPECT_EQ(block.Data(), nullptr);
  EXPECT_EQ(block.Capacity(), 0u);
}

TEST(ByteBlock, AnImpossibleSizeFailsAndLeavesTheBlock) {
  ByteBlock block;
  ASSERT_TRUE(block.Resize(4096));
  std::memset(block.Data(), 0x5A, 4096);
  EXPECT_FALSE(block.Resize(std::size_t{1} << 62));
  ASSERT_EQ(block.Capacity(), 4096u);
  EXPECT_EQ(static_cast<int>(block.Data()[4095]), 0x5A);
}

}  // namespace
}  // namespace kestrave::hex
