#include "hexeditor/document/HexDocument.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

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

// Ten bytes "0123456789" with marks at 2, 5 and 8 and bookmarks at 1, 5, 8 and 10 (the append
// position).
void MarkDocument(HexDocument& document) {
  document.Insert(0, "0123456789", 10);
  for (const int at : {2, 5, 8})
    document.Marks().Set(at, true);
  for (const int at : {1, 5, 8, 10})
    document.ToggleBookmark(at == 10 ? 0 : at, at, false);
}

std::string TextOf(const HexDocument& document) {
  return {reinterpret_cast<const char*>(document.Bytes().PointerAt(0)),
          static_cast<std::size_t>(document.Size())};
}

std::vector<int> MarksOf(const HexDocument& document) {
  std::vector<int> marked;
  for (int i = 0; i < document.Marks().Size(); ++i)
    if (document.Marks().Test(i)) marked.push_back(i);
  return marked;
}

std::vector<int> BookmarksOf(const HexDocument& document) {
  return {document.Bookmarks()[1].Position, document.Bookmarks()[5].Position,
          document.Bookmarks()[8].Position, document.Bookmarks()[0].Position};
}

TEST(HexDocument, EditsMoveTheMarksAndBookmarksWithTheBytes) {
  struct Case {
    const char* name;
    std::function<DocumentChange(HexDocument&)> edit;
    std::string text;
    std::vector<int> marks;
    std::vector<int> bookmarks;
    bool bookmarksMoved;
    std::int64_t low, high;
  };
  const Case cases[] = {
      {"insert",
       [](HexDocument& d) { return d.Insert(5, "ab", 2); },
       "01234ab56789",
       {2},
       {1, 7, 10, 12},
       true,
       5,
       11},
      {"append",
       [](HexDocument& d) { return d.Append("ab", 2); },
       "0123456789ab",
       {2, 5, 8},
       {1, 5, 8, 10},
       false,
       10,
       11},
      {"remove",
       [](HexDocument& d) { return d.Remove(4, 6); },
       "01236789",
       {2},
       {1, 5, 6, 8},
       true,
       4,
       7},
      {"replace by fewer",
       [](HexDocument& d) { return d.Replace(4, 3, "xy", 2); },
       "0123xy789",
       {2},
       {1, 5, 7, 9},
       true,
       4,
       8},
      {"replace by more zeros",
       [](HexDocument& d) { return d.Replace(3, 1, nullptr, 3); },
       "012" + std::string(3, '\0') + "456789",
       {2},
       {1, 5, 10, 12},
       true,
       3,
       11},
      {"remove from the start, sliding bookmarks",
       [](HexDocument& d) { return d.Replace(0, 5, nullptr, 0); },
       "56789",
       {},
       {-1, 0, 3, 5},
       true,
       0,
       4},
      {"replace in halves",
       [](HexDocument& d) {
         const DocumentChange change = d.RemoveToReplace(4, 3, 2);
         d.FillReplacement(4, "xy", 2);
         return change;
       },
       "0123xy789",
       {2},
       {1, 5, 7, 9},
       true,
       4,
       8},
      {"overwrite",
       [](HexDocument& d) { return d.Overwrite(0, "zz", 2); },
       "zz23456789",
       {2, 5, 8},
       {1, 5, 8, 10},
       false,
       0,
       1},
      {"truncate",
       [](HexDocument& d) { return d.Truncate(6); },
       "012345",
       {2, 5},
       {1, 5, 8, 10},
       false,
       6,
       5},
      {"replace all",
       [](HexDocument& d) { return d.ReplaceAll("abc", 3); },
       "abc",
       {2},
       {1, 5, 8, 10},
       false,
       0,
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HexDocument document;
    MarkDocument(document);
    const DocumentChange change = c.edit(document);
    EXPECT_EQ(TextOf(document), c.text);
    EXPECT_EQ(MarksOf(document), c.marks);
    EXPECT_EQ(BookmarksOf(document), c.bookmarks);
    EXPECT_EQ(change.BookmarksMoved, c.bookmarksMoved);
    EXPECT_EQ(change.Low, c.low);
    EXPECT_EQ(change.High, c.high);
  }
}

TEST(HexDocument, MarksGoWhenEmptyDataGetsBytesAndOthersGoWhileNotMarking) {
  HexDocument document;
  document.Marks().Set(3, true);
  document.Insert(0, "a", 1);
  EXPECT_EQ(document.Marks().Size(), 0);

  document.SetMark(0, true, true);
  EXPECT_TRUE(document.Marks().Test(0));
  document.SetMark(7, false, true);
  EXPECT_EQ(document.Marks().Size(), 1) << "clearing past the end does not lengthen the marks";
  document.SetMark(5, true, true);
  document.SetMark(3, true, false);
  EXPECT_EQ(MarksOf(document), std::vector<int>{3}) << "in insert mode the others go";
}

}  // namespace
}  // namespace kestrave::hex
