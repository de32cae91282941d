#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "platform/ole/DragDrop.h"

namespace kestrave::platform::ole {

// One moment of a drag: the window under the mouse (0 for none), the screen point, the keys and
// buttons held, whether Escape was pressed; Then runs after the step, while the drag still runs.
struct DragStep {
  HWND Window = 0;
  POINTL Point;
  std::uint32_t KeyState = MK_LBUTTON;
  bool Escape = false;
  std::function<void()> Then;
};

// The mouse moves over a window with the left button (and the given modifiers) held.
DragStep DragOverWindow(HWND window, int x, int y, std::uint32_t modifiers = 0);
// The left button comes up over a window; the modifiers still held decide the effect.
DragStep ReleaseOverWindow(HWND window, int x, int y, std::uint32_t modifiers = 0);
DragStep PressEscape();

// A drag loop inside this process, driven by a script of steps instead of a mouse: what the
// tests and a program without a desktop use. Each step asks the source whether to go on, then
// tells the targets (leave the old window, enter the new, or move over it); a drop goes to the
// target under the mouse when its last answer allowed one. A script that runs out ends the drag
// as a release over no window.
class InProcessDragLoop : public IDragLoop {
 public:
  // The steps of the next drag.
  void Script(std::vector<DragStep> steps);
  HResult DoDragDrop(IDataObject* data, IDropSource* source, std::int32_t allowedEffects,
                     std::int32_t& effect) override;

  // What the targets answered at each move of the last drag, as given to GiveFeedback.
  const std::vector<std::int32_t>& Feedback() const { return feedback_; }

 private:
  DragStep NextStep();

  std::deque<DragStep> steps_;
  std::vector<std::int32_t> feedback_;
};

}  // namespace kestrave::platform::ole
