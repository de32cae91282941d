#include "hexeditor/document/ChangeMarks.h"

#include <gtest/gtest.h>

namespace kestrave::hex {
namespace {

TEST(ChangeMarks, GrowOnSetAndReadClearBeyondTheEnd) {
  ChangeMarks marks;
  EXPECT_FALSE(marks.Test(5));
  marks.Set(5, false);
  EXPECT_EQ(marks.Size(), 0) << "clearing beyond the end does not grow the set";
  marks.Set(130, true);
  EXPECT_EQ(marks.Size(), 131);
  EXPECT_TRUE(marks.Test(130));
  EXPECT_FALSE(marks.Test(129));
  EXPECT_FALSE(marks.Test(-1));
}

TEST(ChangeMarks, CuttingBackForgetsTheBitsBeyond) {
  ChangeMarks marks;
  marks.Set(3, true);
  marks.Set(70, true);
  marks.SetSize(65);
  EXPECT_TRUE(marks.Test(3));
  marks.SetSize(200);
  EXPECT_FALSE(marks.Test(70)) << "a cut bit does not come back when the set grows";
  marks.Clear();
  EXPECT_EQ(marks.Size(), 0);
  EXPECT_FALSE(marks.Test(3));
}

}  // namespace
}  // namespace kestrave::hex
