#include <gtest/gtest.h>

#include "tests/hexeditor/EditorFixture.h"

namespace kestrave::hex::test {
namespace {

class Selection : public EditorTest {};

void ExpectSelection(const TCustomHexEditor& editor, int anchor, int low, int high) {
  EXPECT_EQ(editor.SelectionAnchor(), anchor);
  EXPECT_EQ(editor.SelectionLow(), low);
  EXPECT_EQ(editor.SelectionHigh(), high);
}

TEST_F(Selection, StartThenEndSelectsBackwardsFromTheCursor) {
  LoadSize(20);
  editor.SetSelectionStart(10);
  editor.SetSelectionEnd(4);
  EXPECT_EQ(editor.CursorPosition(), 10);
  ExpectSelection(editor, 10, 4, 10);
  EXPECT_EQ(editor.SelectionCount(), 7);
  EXPECT_EQ(editor.SelectionStart(), 10);
  EXPECT_EQ(editor.SelectionEnd(), 4);
  EXPECT_TRUE(editor.IsSelected(4));
  EXPECT_TRUE(editor.IsSelected(10));
  EXPECT_FALSE(editor.IsSelected(11));
}

TEST_F(Selection, EndMinusOneOnlyClears) {
  LoadSize(20);
  editor.SetSelectionStart(7);
  editor.SetSelectionEnd(12);
  editor.SetSelectionEnd(-1);
  EXPECT_EQ(editor.SelectionCount(), 0);
  ExpectSelection(editor, -1, -1, -1);
  EXPECT_EQ(editor.CursorPosition(), 7);
  EXPECT_EQ(editor.SelectionEnd(), 7);
  EXPECT_EQ(editor.SelectionStart(), 7);
  EXPECT_FALSE(editor.IsSelected(7));
}

TEST_F(Selection, OutOfRangeStartAndEndAreRefusedWithNothingChanged) {
  ExpectError<EHexEditor>([&] { editor.SetSelectionStart(0); }, "Invalid selection start");
  LoadSize(1);
  ExpectError<EHexEditor>([&] { editor.SetSelectionEnd(1); }, "Invalid selection end");
  LoadSize(20);
  editor.SetSelectionStart(5);
  editor.SetSelectionEnd(8);
  ExpectError<EHexEditor>([&] { editor.SetSelectionStart(20); }, "Invalid selection start");
  ExpectError<EHexEditor>([&] { editor.SetSelectionStart(-1); }, "Invalid selection start");
  ExpectError<EHexEditor>([&] { editor.SetSelectionEnd(-2); }, "Invalid selection end");
  ExpectSelection(editor, 5, 5, 8);
  EXPECT_EQ(editor.CursorPosition(), 5);
}

TEST_F(Selection, UnitsWidenTheSelectionWithinTheData) {
  LoadSize(6);
  editor.SetBytesPerUnit(4);
  editor.SetSelection(5, 2);
  ExpectSelection(editor, 5, 0, 5);
  editor.SetSelection(1, 2);
  ExpectSelection(editor, 0, 0, 3);
  editor.SetSelection(2, 2);
  ExpectSelection(editor, 0, 0, 3);  // equal ends take the low side
}

TEST_F(Selection, RangesOutsideTheDataAreTakenIntoIt) {
  LoadSize(10);
  editor.SetSelection(-5, 3);
  ExpectSelection(editor, 0, 0, 3);
  editor.SetSelection(4, 1000);
  ExpectSelection(editor, 4, 4, 9);
  editor.CreateEmptyFile("");
  editor.SetSelection(0, 5);
  EXPECT_EQ(editor.SelectionCount(), 0) << "nothing to select in an empty buffer";
}

TEST_F(Selection, AUnitTheSelectionDoesNotFitClearsIt) {
  LoadSize(16);
  editor.SetSelection(0, 2);
  editor.SetBytesPerUnit(2);
  EXPECT_EQ(editor.SelectionCount(), 0);
  editor.SetSelection(0, 3);
  editor.SetBytesPerUnit(4);
  EXPECT_EQ(editor.SelectionCount(), 4) << "a multiple of the new unit stays";
  ExpectError<EHexEditor>([&] { editor.SetBytesPerUnit(3); },
                          "Invalid bytes per unit value 3, allowed: 1,2,4,8");
  EXPECT_EQ(editor.BytesPerUnit(), 4);
}

TEST_F(Selection, SeekLimitsItsTargetToTheData) {
  EXPECT_EQ(editor.Seek(0, 0), -1) << "an empty buffer has nowhere to go";
  LoadSize(10);
  EXPECT_EQ(editor.Seek(0, 2), 9);
  editor.SetSelectionStart(3);
  EXPECT_EQ(editor.Seek(5, 1), 8);
  EXPECT_EQ(editor.Seek(100, 0), 9);
  EXPECT_EQ(editor.Seek(-4, 0), 0);
  editor.SetSelectionStart(6);
  EXPECT_EQ(editor.Seek(99, 7), 6) << "another origin stays where it is";
  EXPECT_EQ(editor.Seek(0x7FFFFFFF, 1), 9) << "no overflow";
  EXPECT_EQ(editor.CursorPosition(), 9);
}

TEST_F(Selection, SelectAllPutsTheCursorOnTheLastByte) {
  editor.SelectAll();
  EXPECT_EQ(editor.SelectionCount(), 0);
  LoadSize(10);
  editor.SelectAll();
  EXPECT_EQ(editor.CursorPosition(), 9);
  ExpectSelection(editor, 0, 0, 9);
}

TEST_F(Selection, InCharFieldMovesToTheSameByteInTheOtherField) {
  EXPECT_FALSE(editor.InCharField());
  editor.SetInCharField(true);
  EXPECT_FALSE(editor.InCharField()) << "an empty buffer has no field to switch to";
  LoadSize(40);
  editor.SetSelectionStart(17);
  editor.SetInCharField(true);
  EXPECT_TRUE(editor.InCharField());
  EXPECT_EQ(editor.CursorCell(), (GridCell{36, 3}));
  EXPECT_EQ(editor.CursorPosition(), 17);
  editor.SetSelectionStart(33);
  EXPECT_TRUE(editor.InCharField()) << "the field is kept by later moves";
  editor.SetInCharField(false);
  EXPECT_EQ(editor.CursorCell(), (GridCell{4, 4}));
}

class SelectionNotification : public EditorTest {
 protected:
  void Count() {
    editor.OnSelectionChanged = [this](TCustomHexEditor& sender) {
      EXPECT_EQ(&sender, &editor);
      ++notifications;
    };
  }
  int notifications = 0;
};

TEST_F(SelectionNotification, OneUserActionIsAnnouncedOnceAfterItReturns) {
  LoadSize(20);
  queue.Pump();
  Count();
  editor.SetSelectionStart(3);
  editor.SetSelectionEnd(9);
  editor.SelectAll();
  EXPECT_EQ(notifications, 0);
  queue.Pump();
  EXPECT_EQ(notifications, 1);
  queue.Pump();
  EXPECT_EQ(notifications, 1);
  editor.SetSelectionStart(1);
  queue.Pump();
  EXPECT_EQ(notifications, 2);
}

TEST_F(SelectionNotification, AHandlerAssignedLaterHearsTheNextChange) {
  LoadSize(20);
  editor.SetSelectionStart(2);
  queue.Pump();
  Count();
  editor.SetSelectionStart(4);
  queue.Pump();
  EXPECT_EQ(notifications, 1);
}

TEST_F(SelectionNotification, AThrowingHandlerStillEndsThePendingState) {
  LoadSize(20);
  queue.Pump();
  editor.OnSelectionChanged = [this](TCustomHexEditor&) {
    ++notifications;
    throw EHexEditor("handler failed");
  };
  editor.SetSelectionStart(5);
  EXPECT_THROW(queue.Pump(), EHexEditor);
  editor.SetSelectionStart(6);
  EXPECT_THROW(queue.Pump(), EHexEditor);
  EXPECT_EQ(notifications, 2);
}

TEST(SelectionNotificationLifetime, AMessageForAGoneInstanceIsDropped) {
  platform::ManualMessageQueue queue;
  {
    THexEditorEx editor;
    editor.SetMessageQueue(queue);
    editor.Loaded();
    editor.OnSelectionChanged = [](TCustomHexEditor&) { FAIL() << "called after destruction"; };
  }
  EXPECT_EQ(queue.Pump(), 1);
}

}  // namespace
}  // namespace kestrave::hex::test
