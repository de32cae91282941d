#include "hexeditor/document/ByteBlock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

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

// Mappings let go are handed to later blocks: blocks alive together never share bytes, and a
// block that shrinks within its mapping and grows past it again keeps its content.
TEST(ByteBlock, ReusedMappingsAreNeverSharedAndKeepWhatTheyHold) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  const auto pattern = test::PatternBytes(8 * kMiB);
  for (int round = 0; round < 3; ++round) {
    std::vector<std::unique_ptr<ByteBlock>> blocks;
    for (const std::size_t size : {3 * kMiB, 2 * kMiB, 5 * kMiB / 2, kMiB, 4 * kMiB}) {
      blocks.push_back(std::make_unique<ByteBlock>());
      ASSERT_TRUE(blocks.back()->Resize(size));
      std::memset(blocks.back()->Data(), static_cast<int>(blocks.size()), size);
    }
    for (std::size_t i = 0; i < blocks.size(); ++i)
      for (std::size_t at : {std::size_t{0}, blocks[i]->Capacity() - 1})
        ASSERT_EQ(static_cast<int>(blocks[i]->Data()[at]), static_cast<int>(i + 1))
            << "round " << round << ", block " << i;
  }
  ByteBlock block;
  ASSERT_TRUE(block.Resize(6 * kMiB));
  std::memcpy(block.Data(), pattern.data(), 6 * kMiB);
  ASSERT_TRUE(block.Resize(4 * kMiB));
  ASSERT_TRUE(block.Resize(8 * kMiB));
  EXPECT_EQ(std::memcmp(block.Data(), pattern.data(), 4 * kMiB), 0);
  std::memcpy(block.Data(), pattern.data(), 8 * kMiB);
  ASSERT_TRUE(block.Resize(kMiB + 1));
  ASSERT_TRUE(block.Resize(7 * kMiB));
  EXPECT_EQ(std::memcmp(block.Data(), pattern.data(), kMiB + 1), 0);
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
