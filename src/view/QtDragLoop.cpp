#include "view/QtDragLoop.h"

#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QPointer>
#include <QWidget>

#include "platform/Guard.h"
#include "view/QtClipboard.h"

namespace kestrave::view {

namespace ole = platform::ole;

Qt::DropActions QtActionsOf(std::int32_t effects) {
  Qt::DropActions actions;
  if (effects & ole::DROPEFFECT_COPY) actions |= Qt::CopyAction;
  if (effects & ole::DROPEFFECT_MOVE) actions |= Qt::MoveAction;
  if (effects & ole::DROPEFFECT_LINK) actions |= Qt::LinkAction;
  return actions;
}

Qt::DropAction QtActionOf(std::int32_t effect) {
  if (effect & ole::DROPEFFECT_MOVE) return Qt::MoveAction;
  if (effect & ole::DROPEFFECT_COPY) return Qt::CopyAction;
  if (effect & ole::DROPEFFECT_LINK) return Qt::LinkAction;
  return Qt::IgnoreAction;
}

std::int32_t EffectsOf(Qt::DropActions actions) {
  std::int32_t effects = ole::DROPEFFECT_NONE;
  if (actions & Qt::CopyAction) effects |= ole::DROPEFFECT_COPY;
  if (actions & Qt::MoveAction) effects |= ole::DROPEFFECT_MOVE;
  if (actions & Qt::LinkAction) effects |= ole::DROPEFFECT_LINK;
  return effects;
}

std::uint32_t KeyStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  std::uint32_t keys = 0;
  if (buttons & Qt::LeftButton) keys |= ole::MK_LBUTTON;
  if (buttons & Qt::RightButton) keys |= ole::MK_RBUTTON;
  if (modifiers & Qt::ShiftModifier) keys |= ole::MK_SHIFT;
  if (modifiers & Qt::ControlModifier) keys |= ole::MK_CONTROL;
  return keys;
}

ole::HResult QtDragLoop::DoDragDrop(ole::IDataObject* data, ole::IDropSource* source,
                                    std::int32_t allowedEffects, std::int32_t& effect) {
  effect = ole::DROPEFFECT_NONE;
  if (!data || !source) return ole::E_INVALIDARG;
  const ole::ComPtr<ole::IDropSource> holdSource(source);
  QObject* owner = QApplication::widgetAt(QCursor::pos());
  // Qt deletes the drag when it ends.
  auto* drag = new QDrag(owner ? owner : &anchor_);
  drag->setMimeData(new HexMimeData(data));
  // Called from inside Qt's drag loop, where nothing may be thrown.
  QObject::connect(drag, &QDrag::actionChanged, drag, [source](Qt::DropAction action) {
    platform::RunGuarded([&] { source->GiveFeedback(EffectsOf(action)); });
  });
  const Qt::DropAction preferred =
      allowedEffects & ole::DROPEFFECT_MOVE ? Qt::MoveAction : Qt::CopyAction;
  const QPointer<QDrag> running(drag);
  const Qt::DropAction performed = drag->exec(QtActionsOf(allowedEffects), preferred);
  if (running) QObject::disconnect(running, nullptr, nullptr, nullptr);  // the source goes now
  if (performed == Qt::IgnoreAction) return ole::DRAGDROP_S_CANCEL;
  effect = EffectsOf(performed) & allowedEffects;
  return ole::DRAGDROP_S_DROP;
}

}  // namespace kestrave::view
