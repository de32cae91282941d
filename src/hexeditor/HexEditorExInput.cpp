// Keyboard and mouse of the extended view: the events first, then the handlers.
#include "hexeditor/HexEditorEx.h"
#include "hexeditor/input/AutoScroll.h"
#include "hexeditor/input/HexInput.h"
#include "hexeditor/input/KeyHandlers.h"

namespace kestrave::hex {

void THexEditorEx::KeyDown(int key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(*this, key, shift);
  if (key == vkNone) return;
  if (Modifiers(shift) == 0 && key != vkShift && !InsertMode()) ResetSelection(true);
  OfferKey(*this, key, shift);
}

bool THexEditorEx::HandlesKey(int key, TShiftState shift) {
  return AnyHandlerKnows(key, shift);
}

void THexEditorEx::KeyPress(std::uint8_t ch) {
  if (OnKeyPress) OnKeyPress(*this, ch);
  HandleTypedChar(*this, ch);
}

void THexEditorEx::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  mouse_.Down(*this, button, shift, x, y);
  NoteDragPress(button, x, y);
}

void THexEditorEx::MouseMove(TShiftState shift, int x, int y) {
  mouse_.Move(*this, shift, x, y);
  if (mouse_.Selecting()) {
    const bool onlyLeft = (shift & (ssLeft | ssRight | ssMiddle)) == ssLeft;
    FollowAutoScroll(onlyLeft && SelectionWantsAutoScroll(*this, x, y));
  }
  if (DragThresholdReached(shift, x, y)) StartDrag();
}

void THexEditorEx::MouseUp(TMouseButton, TShiftState, int x, int y) {
  mouse_.Up(*this, x, y);
  FollowAutoScroll(false);
  if (dragging_) dragging_ = dragPending_ = false;
}

void THexEditorEx::AutoScrollStep() {
  if (mouse_.Selecting() && InputState().LeftButtonDown()) {
    FollowAutoScroll(SelectionAutoScrollStep(*this, mouse_.LastX(), mouse_.LastY()));
  } else if (DropMarkerCell().Col >= 0) {
    ShowDropMarker(dropPointX_, dropPointY_);
  } else {
    FollowAutoScroll(false);  // the button went up where this view did not see it
  }
}

// A hidden instance's host runs no timer, and says so.
void THexEditorEx::FollowAutoScroll(bool wanted) {
  if (wanted == autoScrolling_) return;
  if (wanted) {
    autoScrolling_ = Host().StartAutoScroll();
  } else {
    autoScrolling_ = false;
    Host().StopAutoScroll();
  }
}

void THexEditorEx::DoubleClick(int x, int y) {
  mouse_.DoubleClick(*this, x, y);
}

bool THexEditorEx::MouseWheel(bool down, TShiftState shift) {
  return HandleWheel(*this, down, shift);
}

bool THexEditorEx::ShowsOffsetPopupAt(int x, int y) const {
  return hasOffsetPopupMenu_ && (x < FixedColumnsWidth() || y < FixedRowsHeight());
}

bool THexEditorEx::ArrowCursorAt(int x, int y, TShiftState buttons) const {
  const bool noButton = (buttons & (ssLeft | ssRight | ssMiddle)) == 0;
  return noButton && (OverSelection(*this, x, y) || OverFixedArea(*this, x, y));
}

}  // namespace kestrave::hex
