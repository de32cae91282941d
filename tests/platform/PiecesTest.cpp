#include "platform/Pieces.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace kestrave::platform {
namespace {

struct Walk {
  std::int64_t visits = 0;
  std::int64_t covered = 0;
  std::int64_t lastAt = -1;
  std::int64_t lastCount = 0;
  bool contiguous = true;
};

Walk WalkOf(std::int64_t first, std::int64_t end, std::int64_t piece) {
  Walk walk;
  std::int64_t expected = first;
  ForEachPiece(first, end, piece, [&](std::int64_t at, std::int64_t count) {
    walk.contiguous = walk.contiguous && at == expected && count > 0 && count <= piece;
    expected = at + count;
    ++walk.visits;
    walk.covered += count;
    walk.lastAt = at;
    walk.lastCount = count;
    return true;
  });
  return walk;
}

// A record or a buffer may end at the last position an int holds; the old hand-written loops
// counted in int and overflowed on the step past the last piece.
TEST(ForEachPiece, RangesReachingTheLargestIntAreCoveredExactlyOnce) {
  constexpr std::int64_t kPiece = 1 << 16;
  for (const std::int64_t end :
       {std::int64_t{INT_MAX}, std::int64_t{INT_MAX} - 1, std::int64_t{2147418112},
        std::int64_t{2147418113}, std::int64_t{INT_MAX} + 1}) {
    SCOPED_TRACE(end);
    const std::int64_t first = end - 5 * kPiece - 7;
    const Walk walk = WalkOf(first, end, kPiece);
    EXPECT_TRUE(walk.contiguous);
    EXPECT_EQ(walk.covered, end - first);
    EXPECT_EQ(walk.visits, 6);
    EXPECT_EQ(walk.lastAt + walk.lastCount, end);
  }
}

TEST(ForEachPiece, EmptyRangesVisitNothingAndAVisitCanStopTheWalk) {
  EXPECT_EQ(WalkOf(10, 10, 4).visits, 0);
  EXPECT_EQ(WalkOf(10, 3, 4).visits, 0);
  EXPECT_EQ(WalkOf(0, 9, 4).lastCount, 1);
  std::vector<std::int64_t> seen;
  const bool completed = ForEachPiece(0, 100, 10, [&](std::int64_t at, std::int64_t) {
    seen.push_back(at);
    return at < 20;
  });
  EXPECT_FALSE(completed);
  EXPECT_EQ(seen, (std::vector<std::int64_t>{0, 10, 20}));
  EXPECT_TRUE(ForEachPiece(0, 100, 10, [](std::int64_t, std::int64_t) { return true; }));
}

}  // namespace
}  // namespace kestrave::platform
