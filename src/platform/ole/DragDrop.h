#pragma once

#include <cstdint>

#include "platform/ole/DataObject.h"

namespace kestrave::platform::ole {

// A window as the drag-and-drop registry knows it; 0 is no window.
using HWND = std::uintptr_t;

struct POINTL {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// Key state flags of a drag: the left button and the modifiers held.
inline constexpr std::uint32_t MK_LBUTTON = 1;
inline constexpr std::uint32_t MK_RBUTTON = 2;
inline constexpr std::uint32_t MK_SHIFT = 4;
inline constexpr std::uint32_t MK_CONTROL = 8;

inline constexpr HResult DRAGDROP_S_DROP = 0x00040100;
inline constexpr HResult DRAGDROP_S_CANCEL = 0x00040101;
inline constexpr HResult DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;
inline constexpr HResult DRAGDROP_E_NOTREGISTERED = static_cast<HResult>(0x80040100);
inline constexpr HResult DRAGDROP_E_ALREADYREGISTERED = static_cast<HResult>(0x80040101);
inline constexpr HResult DRAGDROP_E_INVALIDHWND = static_cast<HResult>(0x80040102);

// What a window that accepts drops answers while data is dragged over it. Points are in
// screen coordinates; Effect comes in as the effects the source allows and goes out as the
// effect the drop would have.
class IDropTarget : public IUnknown {
 public:
  virtual HResult DragEnter(IDataObject* data, std::uint32_t keyState, POINTL point,
                            std::int32_t& effect) = 0;
  virtual HResult DragOver(std::uint32_t keyState, POINTL point, std::int32_t& effect) = 0;
  virtual HResult DragLeave() = 0;
  virtual HResult Drop(IDataObject* data, std::uint32_t keyState, POINTL point,
                       std::int32_t& effect) = 0;
};

// What the source of a drag decides while the drag runs.
class IDropSource : public IUnknown {
 public:
  // DRAGDROP_S_CANCEL, DRAGDROP_S_DROP or S_OK to go on.
  virtual HResult QueryContinueDrag(bool escapePressed, std::uint32_t keyState) = 0;
  // DRAGDROP_S_USEDEFAULTCURSORS for the platform's cursors.
  virtual HResult GiveFeedback(std::int32_t effect) = 0;
};

// The process's table of drop targets, one per window; it holds a reference on each.
HResult RegisterDragDrop(HWND window, IDropTarget* target);
HResult RevokeDragDrop(HWND window);
// The target registered for a window, or an empty pointer.
ComPtr<IDropTarget> RegisteredDropTarget(HWND window);

// Holds (Lock) or lets go of (!Lock) an outside reference on an object. Letting go of an
// object that holds none does nothing, so an unbalanced call cannot free it.
HResult CoLockObjectExternal(IUnknown* object, bool lock, bool lastUnlockReleases);

// The modal loop that moves a drag to its end: asks the source, tells the targets under the
// mouse, and answers DRAGDROP_S_DROP or DRAGDROP_S_CANCEL with the effect of the drop.
class IDragLoop {
 public:
  virtual ~IDragLoop() = default;
  virtual HResult DoDragDrop(IDataObject* data, IDropSource* source, std::int32_t allowedEffects,
                             std::int32_t& effect) = 0;
};

// The loop drags run in. Until a program installs its own, a loop without a mouse: every
// drag ends at once as cancelled.
IDragLoop& CurrentDragLoop();
void SetCurrentDragLoop(IDragLoop* loop);
HResult DoDragDrop(IDataObject* data, IDropSource* source, std::int32_t allowedEffects,
                   std::int32_t& effect);

}  // namespace kestrave::platform::ole
