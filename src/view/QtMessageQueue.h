#pragma once

#include "platform/MessageQueue.h"

namespace kestrave::view {

// Posted messages go through Qt's event loop and are delivered once control is back in it.
class QtMessageQueue : public platform::IMessageQueue {
 public:
  void Post(std::function<void()> message) override;
};

}  // namespace kestrave::view
