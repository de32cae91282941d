#pragma once

#include "hexeditor/paint/HexColors.h"
#include "platform/MessageQueue.h"
#include "platform/UserInterface.h"

namespace kestrave::hex {

// What an instance asks of the desktop it runs on: where its messages are posted, which keys
// and buttons are held, how wide text is, and the system's colours. The view that shows an
// instance gives its own; a hidden instance keeps these, which need no desktop.
struct PlatformServices {
  platform::IMessageQueue* Queue = &platform::DefaultMessageQueue();
  const platform::IInputState* Input = &platform::NoInputHeld();
  const platform::ITextMetrics* Metrics = &platform::DefaultTextMetrics();
  const ISystemColors* Colors = &DefaultSystemColors();
};

}  // namespace kestrave::hex
