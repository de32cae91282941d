#include "hexeditor/caret/CaretSelection.h"

#include <gtest/gtest.h>

namespace kestrave::hex {
namespace {

TEST(CaretSelection, ASelectionCoversWholeUnitsWithinTheData) {
  CaretSelection caret;
  caret.Select(5, 2, 10, 4);
  EXPECT_EQ(caret.Range(), (SelectionRange{7, 0, 7})) << "backwards: the anchor is the high end";
  EXPECT_EQ(caret.Range().End(), 0);
  caret.Select(9, 30, 10, 4);
  EXPECT_EQ(caret.Range(), (SelectionRange{8, 8, 9})) << "the last unit is cut at the data's end";
  EXPECT_EQ(caret.Range().Count(), 2);
  const SelectionRange before = caret.Select(-3, 1, 10, 1);
  EXPECT_EQ(before, (SelectionRange{8, 8, 9})) << "answers what it replaced";
  EXPECT_EQ(caret.Range(), (SelectionRange{0, 0, 1}));
  EXPECT_TRUE(caret.Range().Contains(1));
  EXPECT_FALSE(caret.Range().Contains(2));
}

TEST(CaretSelection, AKeptRangeComesBackOnlyWhileItFitsTheData) {
  CaretSelection caret;
  ASSERT_TRUE(caret.Restore(9, 3, 20, 12));
  EXPECT_EQ(caret.Range(), (SelectionRange{9, 3, 11})) << "high cut to the data, not aligned";
  EXPECT_FALSE(caret.Restore(3, 12, 14, 12)) << "starts past the data";
  EXPECT_FALSE(caret.Restore(3, 5, 4, 12)) << "ends before it starts";
  EXPECT_EQ(caret.Range(), (SelectionRange{9, 3, 11})) << "a refused range changes nothing";
  caret.Reset();
  EXPECT_FALSE(caret.Range().Active());
  EXPECT_EQ(caret.Range().Count(), 0);
}

TEST(CaretSelection, ExtendingKeepsTheByteItStartedOnInOverwriteMode) {
  CaretSelection caret;
  caret.SetExtending(true);
  auto span = caret.Extend(5, 9, 2, 100, false);
  ASSERT_TRUE(span);
  EXPECT_EQ(span->Anchor, 4) << "forwards: the origin's unit from its start";
  EXPECT_EQ(span->End, 9);
  span = caret.Extend(9, 1, 2, 100, false);
  ASSERT_TRUE(span);
  EXPECT_EQ(span->Anchor, 5) << "backwards past it: the origin's unit to its end";
  caret.Reset();
  EXPECT_FALSE(caret.Extending());
  span = caret.Extend(20, 30, 1, 100, false);
  EXPECT_EQ(span->Anchor, 20) << "a reset forgets the origin";
}

TEST(CaretSelection, InInsertModeTheLaterUnitIsOutAndTheOriginSelectsNothing) {
  CaretSelection caret;
  auto span = caret.Extend(4, 10, 2, 100, true);
  ASSERT_TRUE(span);
  EXPECT_EQ(span->Anchor, 4);
  EXPECT_EQ(span->End, 8) << "the cursor stands before byte 10's unit";
  span = caret.Extend(10, 0, 2, 100, true);
  ASSERT_TRUE(span);
  EXPECT_EQ(span->Anchor, 2);
  EXPECT_EQ(span->End, 0);
  EXPECT_FALSE(caret.Extend(0, 5, 2, 100, true)) << "back on the origin's unit";
  caret.ContinueExtendingFrom(4);
  EXPECT_TRUE(caret.Extending());
  EXPECT_FALSE(caret.Range().Active());
  span = caret.Extend(4, 8, 2, 100, true);
  EXPECT_EQ(span->Anchor, 4) << "goes on from where it came back to";
}

}  // namespace
}  // namespace kestrave::hex
