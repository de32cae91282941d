#include "platform/ole/InProcessDragLoop.h"

namespace kestrave::platform::ole {

DragStep DragOverWindow(HWND window, int x, int y, std::uint32_t modifiers) {
  DragStep step;
  step.Window = window;
  step.Point = {x, y};
  step.KeyState = MK_LBUTTON | modifiers;
  return step;
}

DragStep ReleaseOverWindow(HWND window, int x, int y, std::uint32_t modifiers) {
  DragStep step = DragOverWindow(window, x, y, modifiers);
  step.KeyState &= ~MK_LBUTTON;
  return step;
}

DragStep PressEscape() {
  DragStep step;
  step.Escape = true;
  return step;
}

void InProcessDragLoop::Script(std::vector<DragStep> steps) {
  steps_.assign(std::make_move_iterator(steps.begin()), std::make_move_iterator(steps.end()));
}

DragStep InProcessDragLoop::NextStep() {
  if (steps_.empty()) return ReleaseOverWindow(0, 0, 0);
  DragStep step = std::move(steps_.front());
  steps_.pop_front();
  return step;
}

namespace {

// The window under the mouse and what its target answered last.
class DragPosition {
 public:
  DragPosition(IDataObject* data, std::int32_t allowed) : data_(data), allowed_(allowed) {}
  ~DragPosition() { Leave(); }
  DragPosition(const DragPosition&) = delete;
  DragPosition& operator=(const DragPosition&) = delete;

  void MoveTo(const DragStep& step) {
    std::int32_t effect = allowed_;
    if (step.Window != window_) {
      Leave();
      window_ = step.Window;
      target_ = RegisteredDropTarget(window_);
      if (!target_) return;
      const HResult entered = target_->DragEnter(data_, step.KeyState, step.Point, effect);
      answered_ = entered == S_OK ? effect & allowed_ : DROPEFFECT_NONE;
      return;
    }
    if (!target_) return;
    target_->DragOver(step.KeyState, step.Point, effect);
    answered_ = effect & allowed_;
  }

  // The drop where the mouse is: the effect performed, or none when nothing could drop here.
  std::int32_t Drop(const DragStep& step) {
    if (!target_ || answered_ == DROPEFFECT_NONE) return DROPEFFECT_NONE;
    const ComPtr<IDropTarget> target = std::move(target_);
    window_ = 0;
    std::int32_t effect = allowed_;
    const HResult dropped = target->Drop(data_, step.KeyState, step.Point, effect);
    return Succeeded(dropped) ? effect & allowed_ : DROPEFFECT_NONE;
  }

  void Leave() {
    if (target_) target_->DragLeave();
    target_.Reset();
    window_ = 0;
    answered_ = DROPEFFECT_NONE;
  }

  bool OverTarget() const { return target_ && answered_ != DROPEFFECT_NONE; }
  std::int32_t Answered() const { return answered_; }

 private:
  IDataObject* data_;
  std::int32_t allowed_;
  HWND window_ = 0;
  ComPtr<IDropTarget> target_;
  std::int32_t answered_ = DROPEFFECT_NONE;
};

}  // namespace

HResult InProcessDragLoop::DoDragDrop(IDataObject* data, IDropSource* source,
                                      std::int32_t allowedEffects, std::int32_t& effect) {
  effect = DROPEFFECT_NONE;
  if (!data || !source) return E_INVALIDARG;
  const ComPtr<IDataObject> holdData(data);
  const ComPtr<IDropSource> holdSource(source);
  feedback_.clear();
  DragPosition position(data, allowedEffects);
  for (;;) {
    const DragStep step = NextStep();
    const HResult go = source->QueryContinueDrag(step.Escape, step.KeyState);
    if (go == DRAGDROP_S_CANCEL) return DRAGDROP_S_CANCEL;
    if (!Succeeded(go)) return go;
    position.MoveTo(step);
    if (go == DRAGDROP_S_DROP) {
      if (!position.OverTarget()) return DRAGDROP_S_CANCEL;
      effect = position.Drop(step);
      return DRAGDROP_S_DROP;
    }
    feedback_.push_back(position.Answered());
    source->GiveFeedback(position.Answered());
    if (step.Then) step.Then();
  }
}

}  // namespace kestrave::platform::ole
