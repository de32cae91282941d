#pragma once

#include <QObject>

#include "platform/ole/DragDrop.h"

namespace kestrave::view {

// Drags run in Qt's own loop: the data goes out as the same lazily rendered MIME data a copy
// puts on the clipboard, so any desktop program can take it; Qt watches the mouse, the keys
// and Escape in place of the source's QueryContinueDrag, and the action the target performed
// comes back as the drop effect.
class QtDragLoop : public platform::ole::IDragLoop {
 public:
  platform::ole::HResult DoDragDrop(platform::ole::IDataObject* data,
                                    platform::ole::IDropSource* source, std::int32_t allowedEffects,
                                    std::int32_t& effect) override;

 private:
  QObject anchor_;  // the drag's owner when no widget is under the mouse
};

// Drop effects and Qt's drop actions, both ways.
Qt::DropActions QtActionsOf(std::int32_t effects);
Qt::DropAction QtActionOf(std::int32_t effect);
std::int32_t EffectsOf(Qt::DropActions actions);
// The key state of a drag: buttons and the Shift and Ctrl modifiers.
std::uint32_t KeyStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

}  // namespace kestrave::view
