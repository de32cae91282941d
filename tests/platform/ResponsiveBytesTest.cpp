#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "platform/UserInterface.h"

namespace kestrave::platform {
namespace {

class CountingResponsiveness : public IResponsiveness {
 public:
  void KeepResponsive() override { ++calls; }
  int calls = 0;
};

class ResponsiveBytes : public ::testing::Test {
 protected:
  ResponsiveBytes() { SetCurrentResponsiveness(&counter); }
  ~ResponsiveBytes() override { SetCurrentResponsiveness(nullptr); }

  // Numbered bytes, so a piece in the wrong place shows.
  static std::vector<std::uint8_t> Numbered(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
      bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return bytes;
  }

  CountingResponsiveness counter;
};

constexpr std::size_t kPiece = kResponsivePiece;

TEST_F(ResponsiveBytes, LongWorkCallsTheInstalledHookOrNothing) {
  KeepResponsive();
  EXPECT_EQ(counter.calls, 1);
  SetCurrentResponsiveness(nullptr);
  KeepResponsive();
  EXPECT_EQ(counter.calls, 1) << "without one installed the call does nothing";
}

TEST_F(ResponsiveBytes, OverlappingMovesInEitherDirectionAreMemmoves) {
  const std::size_t count = 2 * kPiece + 12345;
  for (const std::ptrdiff_t shift :
       {std::ptrdiff_t{1}, std::ptrdiff_t{-1}, static_cast<std::ptrdiff_t>(kPiece) + 3,
        -static_cast<std::ptrdiff_t>(kPiece) - 3}) {
    std::vector<std::uint8_t> actual = Numbered(count + 2 * kPiece + 32);
    std::vector<std::uint8_t> expected = actual;
    const std::size_t from = kPiece + 16;
    const auto to = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(from) + shift);
    std::memmove(expected.data() + to, expected.data() + from, count);
    counter.calls = 0;
    MoveBytesResponsively(actual.data() + to, actual.data() + from, count);
    EXPECT_TRUE(actual == expected) << "shift " << shift;
    EXPECT_EQ(counter.calls, 2) << "between the three pieces";
  }
}

TEST_F(ResponsiveBytes, SmallMovesCallNothing) {
  std::vector<std::uint8_t> bytes = Numbered(100);
  MoveBytesResponsively(bytes.data() + 1, bytes.data(), 99);
  EXPECT_EQ(bytes[1], Numbered(100)[0]);
  MoveBytesResponsively(bytes.data(), bytes.data(), 0);
  EXPECT_EQ(counter.calls, 0);
}

TEST_F(ResponsiveBytes, CopiesAndZeroesAreWholeAndMadeInPieces) {
  const std::vector<std::uint8_t> source = Numbered(3 * kPiece + 1);
  EXPECT_TRUE(CopyBytesResponsively(source.data(), source.size()) == source);
  EXPECT_EQ(counter.calls, 3);
  counter.calls = 0;
  const std::vector<std::uint8_t> zeros = ZeroBytesResponsively(kPiece + 1);
  EXPECT_EQ(zeros.size(), kPiece + 1);
  EXPECT_EQ(std::accumulate(zeros.begin(), zeros.end(), 0u), 0u);
  EXPECT_EQ(counter.calls, 1);
  EXPECT_TRUE(CopyBytesResponsively(source.data(), 0).empty());
  EXPECT_TRUE(ZeroBytesResponsively(0).empty());
  EXPECT_EQ(counter.calls, 1);
}

}  // namespace
}  // namespace kestrave::platform
