#include "hexeditor/document/HexDocument.h"

#include <gtest/gtest.h>

namespace kestrave::hex {
namespace {

TEST(HexDocument, BookmarksFollowTheDataAndLeaveWhenItShrinksPastThem) {
  HexDocument document;
  document.ToggleBookmark(0, 10, false);
  document.ToggleBookmark(1, 4, true);
  document.ToggleBookmark(2, 98, false);
  EXPECT_TRUE(document.MoveBookmarks(5, 3, 103)) << "three bytes inserted at 5";
  EXPECT_EQ(document.Bookmarks()[0].Position, 13);
  EXPECT_EQ(document.Bookmarks()[1].Position, 4) << "a bookmark before the change stays";
  EXPECT_TRUE(document.Bookmarks()[1].InCharField);
  EXPECT_EQ(document.Bookmarks()[2].Position, 101);

  EXPECT_TRUE(document.MoveBookmarks(11, -2, 50)) << "the data ends at 50 after the cut";
  EXPECT_EQ(document.Bookmarks()[0].Position, 11);
  EXPECT_EQ(document.Bookmarks()[2].Position, -1) << "moved past the end: cleared";
  EXPECT_FALSE(document.MoveBookmarks(20, 5, 60)) << "nothing set at or after 20";
  EXPECT_FALSE(document.MoveBookmarks(0, 0, 60)) << "no move touches nothing";
}

TEST(HexDocument, SettingABookmarkWhereItIsClearsIt) {
  HexDocument document;
  document.ToggleBookmark(3, 7, false);
  document.ToggleBookmark(3, 7, true);
  EXPECT_EQ(document.Bookmarks()[3].Position, 7) << "the other field is another place";
  document.ToggleBookmark(3, 7, true);
  EXPECT_EQ(document.Bookmarks()[3].Position, -1);
  EXPECT_THROW(document.ToggleBookmark(kBookmarkCount, 1, false), std::out_of_range);
}

TEST(HexDocument, ProgressNamesTheFileInHandAndARequestedBackupIsTakenOnce) {
  HexDocument document;
  document.SetFileName("a.bin");
  EXPECT_EQ(document.ProgressName(), "a.bin");
  document.SetProgressName("b.bin");
  EXPECT_EQ(document.ProgressName(), "b.bin");
  document.SetProgressName({});
  EXPECT_EQ(document.ProgressName(), "a.bin");

  document.RequestBackup("a.bin.bak");
  EXPECT_EQ(document.TakeRequestedBackup(), "a.bin.bak");
  EXPECT_FALSE(document.TakeRequestedBackup());
}

TEST(HexDocument, CuttingMarksNeverLengthensThem) {
  HexDocument document;
  document.Marks().Set(9, true);
  document.CutMarksTo(20);
  EXPECT_EQ(document.Marks().Size(), 10);
  document.CutMarksTo(-4);
  EXPECT_EQ(document.Marks().Size(), 0);
}

}  // namespace
}  // namespace kestrave::hex
