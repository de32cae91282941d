#pragma once

#include "platform/ole/DragDrop.h"

namespace kestrave::hex {

class THexEditorEx;

using platform::ole::HResult;

// An editor's side of drops onto its window. It holds one reference on itself from creation,
// so the platform's references can never free it while the editor lives; Free lets it go.
class THexDropTarget : public platform::ole::TRefCounted<platform::ole::IDropTarget> {
 public:
  explicit THexDropTarget(THexEditorEx& editor);
  THexDropTarget(const THexDropTarget&) = delete;
  THexDropTarget& operator=(const THexDropTarget&) = delete;

  // For the editor's destruction: unregisters, forgets the editor (calls that still arrive
  // answer E_FAIL) and drops the reference it holds on itself. Raises nothing.
  void Free();

  bool Registered() const { return registered_; }
  // Registers the editor's window for drops, or revokes it; a failure raises EOleError.
  void SetRegistered(bool on);
  platform::ole::HWND Window() const { return window_; }

  HResult DragEnter(platform::ole::IDataObject* data, std::uint32_t keyState,
                    platform::ole::POINTL point, std::int32_t& effect) override;
  HResult DragOver(std::uint32_t keyState, platform::ole::POINTL point,
                   std::int32_t& effect) override;
  HResult DragLeave() override;
  HResult Drop(platform::ole::IDataObject* data, std::uint32_t keyState,
               platform::ole::POINTL point, std::int32_t& effect) override;

 private:
  void ShowMarkerAt(platform::ole::POINTL point);

  THexEditorEx* editor_;
  platform::ole::HWND window_ = 0;
  bool registered_ = false;
};

// The source side of one drag: Escape cancels, releasing the left button drops.
class THexDropSource : public platform::ole::TRefCounted<platform::ole::IDropSource> {
 public:
  HResult QueryContinueDrag(bool escapePressed, std::uint32_t keyState) override;
  HResult GiveFeedback(std::int32_t effect) override;
};

}  // namespace kestrave::hex
