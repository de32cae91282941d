#include "platform/ole/DragDrop.h"

#include <map>

namespace kestrave::platform::ole {

namespace {

std::map<HWND, ComPtr<IDropTarget>>& Registry() {
  static std::map<HWND, ComPtr<IDropTarget>> registry;
  return registry;
}

std::map<IUnknown*, std::uint32_t>& ExternalLocks() {
  static std::map<IUnknown*, std::uint32_t> locks;
  return locks;
}

// Without a mouse a drag cannot go anywhere.
class NoMouseDragLoop : public IDragLoop {
 public:
  HResult DoDragDrop(IDataObject* data, IDropSource* source, std::int32_t,
                     std::int32_t& effect) override {
    effect = DROPEFFECT_NONE;
    return data && source ? DRAGDROP_S_CANCEL : E_INVALIDARG;
  }
};

IDragLoop* currentLoop = nullptr;

}  // namespace

HResult RegisterDragDrop(HWND window, IDropTarget* target) {
  if (window == 0) return DRAGDROP_E_INVALIDHWND;
  if (!target) return E_INVALIDARG;
  auto& registry = Registry();
  if (registry.count(window)) return DRAGDROP_E_ALREADYREGISTERED;
  registry.emplace(window, ComPtr<IDropTarget>(target));
  return S_OK;
}

HResult RevokeDragDrop(HWND window) {
  auto& registry = Registry();
  const auto found = registry.find(window);
  if (found == registry.end()) return DRAGDROP_E_NOTREGISTERED;
  // Released after the entry is gone, so a target freed here cannot see itself registered.
  const ComPtr<IDropTarget> target = std::move(found->second);
  registry.erase(found);
  return S_OK;
}

ComPtr<IDropTarget> RegisteredDropTarget(HWND window) {
  const auto& registry = Registry();
  const auto found = registry.find(window);
  return found == registry.end() ? ComPtr<IDropTarget>() : found->second;
}

HResult CoLockObjectExternal(IUnknown* object, bool lock, bool) {
  if (!object) return E_INVALIDARG;
  auto& locks = ExternalLocks();
  if (lock) {
    object->AddRef();
    ++locks[object];
    return S_OK;
  }
  const auto found = locks.find(object);
  if (found == locks.end()) return S_OK;
  if (--found->second == 0) locks.erase(found);
  object->Release();
  return S_OK;
}

IDragLoop& CurrentDragLoop() {
  static NoMouseDragLoop noMouse;
  return currentLoop ? *currentLoop : noMouse;
}

void SetCurrentDragLoop(IDragLoop* loop) {
  currentLoop = loop;
}

HResult DoDragDrop(IDataObject* data, IDropSource* source, std::int32_t allowedEffects,
                   std::int32_t& effect) {
  return CurrentDragLoop().DoDragDrop(data, source, allowedEffects, effect);
}

}  // namespace kestrave::platform::ole
