#include "hexeditor/transfer/HexDropTarget.h"

#include <exception>

#include "hexeditor/HexEditorEx.h"
#include "platform/Guard.h"
#include "platform/UserInterface.h"
#include "platform/ole/OleError.h"

namespace kestrave::hex {

namespace ole = platform::ole;

THexDropTarget::THexDropTarget(THexEditorEx& editor) : editor_(&editor) {
  AddRef();
}

void THexDropTarget::Free() {
  try {
    SetRegistered(false);
  } catch (const std::exception&) {
    // The window is going away with the editor; nothing is left to tell.
  }
  editor_ = nullptr;
  Release();
}

void THexDropTarget::SetRegistered(bool on) {
  if (on == registered_ || !editor_) return;
  if (on) {
    const ole::HWND window = editor_->WindowHandle();
    ole::OleCheck(ole::RegisterDragDrop(window, this));
    window_ = window;
    registered_ = true;
    ole::OleCheck(ole::CoLockObjectExternal(this, true, false));
    return;
  }
  ole::OleCheck(ole::RevokeDragDrop(window_));
  registered_ = false;
  window_ = 0;
  ole::OleCheck(ole::CoLockObjectExternal(this, false, true));
}

void THexDropTarget::ShowMarkerAt(ole::POINTL point) {
  int x = point.x;
  int y = point.y;
  editor_->ScreenToClient(x, y);
  editor_->ShowDropMarker(x, y);
}

HResult THexDropTarget::DragEnter(ole::IDataObject* data, std::uint32_t keyState, ole::POINTL point,
                                  std::int32_t& effect) {
  if (!editor_ || !data) {
    effect = ole::DROPEFFECT_NONE;
    return ole::E_FAIL;
  }
  const HResult result = editor_->CheckDataObject(*data, false, effect);
  if (result != ole::S_OK) {
    effect = ole::DROPEFFECT_NONE;
    return result;
  }
  editor_->ComputeDropEffect(keyState, effect);
  ShowMarkerAt(point);
  return ole::S_OK;
}

HResult THexDropTarget::DragOver(std::uint32_t keyState, ole::POINTL point, std::int32_t& effect) {
  if (!editor_) {
    effect = ole::DROPEFFECT_NONE;
    return ole::E_FAIL;
  }
  editor_->ComputeDropEffect(keyState, effect);
  ShowMarkerAt(point);
  return ole::S_OK;
}

HResult THexDropTarget::DragLeave() {
  if (editor_) editor_->HideDropMarker();
  return ole::S_OK;
}

// Errors stop at this call: the drag loop that called it belongs to the platform.
HResult THexDropTarget::Drop(ole::IDataObject* data, std::uint32_t keyState, ole::POINTL,
                             std::int32_t& effect) {
  if (!editor_ || !data) {
    effect = ole::DROPEFFECT_NONE;
    return ole::E_FAIL;
  }
  HResult result = ole::E_FAIL;
  const bool completed = platform::RunGuarded([&] {
    result = editor_->CheckDataObject(*data, false, effect);
    if (result != ole::S_OK) {
      effect = ole::DROPEFFECT_NONE;
    } else {
      editor_->ComputeDropEffect(keyState, effect);
      result = editor_->InsertFromDataObject(*data, false, effect);
    }
  });
  if (!completed) {
    result = ole::E_FAIL;
    effect = ole::DROPEFFECT_NONE;
  }
  editor_->HideDropMarker();
  return result;
}

HResult THexDropSource::QueryContinueDrag(bool escapePressed, std::uint32_t keyState) {
  if (escapePressed) return ole::DRAGDROP_S_CANCEL;
  if ((keyState & ole::MK_LBUTTON) == 0) return ole::DRAGDROP_S_DROP;
  return ole::S_OK;
}

HResult THexDropSource::GiveFeedback(std::int32_t effect) {
  const std::int32_t low = effect & 7;
  return low == 0 || low == 1 || low == 2 ? ole::DRAGDROP_S_USEDEFAULTCURSORS : ole::E_INVALIDARG;
}

}  // namespace kestrave::hex
