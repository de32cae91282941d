#include "app/hex/MatchRanges.h"

#include <gtest/gtest.h>

namespace kestrave::app {
namespace {

// What the view highlights: exactly the bytes some match covers, also where matches overlap
// or touch, and nothing before the first or after the last.
TEST(MatchRanges, CoverExactlyTheBytesOfTheirMatches) {
  const MatchRanges ranges({2, 3, 10, 14}, 4);  // "aaaa"-like overlaps, then two that touch
  std::vector<int> covered;
  for (int position = -2; position < 24; ++position)
    if (ranges.Covers(position)) covered.push_back(position);
  EXPECT_EQ(covered, (std::vector<int>{2, 3, 4, 5, 6, 10, 11, 12, 13, 14, 15, 16, 17}));
  EXPECT_FALSE(MatchRanges().Covers(0));
  EXPECT_FALSE(MatchRanges({5}, 0).Covers(5)) << "an empty pattern covers nothing";
  EXPECT_FALSE(MatchRanges({0x7FFFFFFE}, 4).Covers(0x7FFFFFFD));
  EXPECT_TRUE(MatchRanges({0x7FFFFFFE}, 4).Covers(0x7FFFFFFF)) << "no overflow at the top";
}

}  // namespace
}  // namespace kestrave::app
