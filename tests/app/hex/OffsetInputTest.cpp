#include "app/hex/OffsetInput.h"

#include <gtest/gtest.h>

namespace kestrave::app {
namespace {

std::int64_t Offset(const std::string& text, std::int64_t current = 100, std::int64_t size = 1000) {
  const OffsetTarget target = ParseOffsetTarget(text, current, size);
  EXPECT_TRUE(target.Valid()) << text;
  return target.Offset;
}

OffsetProblem ProblemOf(const std::string& text, std::int64_t current = 100,
                        std::int64_t size = 1000) {
  return ParseOffsetTarget(text, current, size).Problem;
}

TEST(OffsetInput, DecimalHexRelativeAndShareOfTheData) {
  EXPECT_EQ(Offset("1234", 0, 5000), 1234);
  EXPECT_EQ(Offset("  0x1f4 "), 500);
  EXPECT_EQ(Offset("0X3E7"), 999);
  EXPECT_EQ(Offset("+16"), 116);
  EXPECT_EQ(Offset("- 0x10"), 84);
  EXPECT_EQ(Offset("-100"), 0);
  EXPECT_EQ(Offset("0%"), 0);
  EXPECT_EQ(Offset("50%"), 500);
  EXPECT_EQ(Offset("12.5 %"), 125);
  EXPECT_EQ(Offset("100%"), 999) << "the last byte";
  EXPECT_EQ(Offset("99.999%"), 999);
  EXPECT_EQ(Offset("0"), 0);
}

TEST(OffsetInput, WhatNamesNoOffsetInTheDataSaysWhy) {
  EXPECT_EQ(ProblemOf("1000"), OffsetProblem::OutsideTheData) << "one past the last byte";
  EXPECT_EQ(ProblemOf("+900"), OffsetProblem::OutsideTheData);
  EXPECT_EQ(ProblemOf("-101"), OffsetProblem::OutsideTheData);
  EXPECT_EQ(ProblemOf("+99999999999999999999"), OffsetProblem::NotAnOffset) << "too long a number";
  EXPECT_EQ(ProblemOf("+9223372036854775807"), OffsetProblem::OutsideTheData) << "no overflow";
  EXPECT_EQ(ProblemOf("0x"), OffsetProblem::NotAnOffset);
  EXPECT_EQ(ProblemOf("12abc"), OffsetProblem::NotAnOffset);
  EXPECT_EQ(ProblemOf("--5"), OffsetProblem::NotAnOffset);
  EXPECT_EQ(ProblemOf("0x-5"), OffsetProblem::NotAnOffset);
  EXPECT_EQ(ProblemOf("101%"), OffsetProblem::NotAPercentage);
  EXPECT_EQ(ProblemOf("0x10%"), OffsetProblem::NotAPercentage);
  EXPECT_EQ(ProblemOf("1.2345%"), OffsetProblem::NotAPercentage);
  EXPECT_EQ(ProblemOf("%"), OffsetProblem::NotAPercentage);
  EXPECT_EQ(ProblemOf("   "), OffsetProblem::Empty);
  EXPECT_EQ(ProblemOf("5", 0, 0), OffsetProblem::NoData);
}

}  // namespace
}  // namespace kestrave::app
