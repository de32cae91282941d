#include <gtest/gtest.h>

#include <random>

#include "support/EditSequence.h"

namespace kestrave::test {
namespace {

TEST(EditDifferential, RandomEditsAgreeWithTheModelAndUndoBackToEachEarlierState) {
  for (std::uint32_t seed = 1; seed <= 400; ++seed) {
    std::mt19937 random(seed);
    const auto next = [&random](std::uint32_t n) {
      return static_cast<std::uint32_t>(random() % n);
    };
    const std::string problem = PlayEditSequence(next, 40);
    ASSERT_EQ(problem, "") << "seed " << seed;
  }
}

}  // namespace
}  // namespace kestrave::test
