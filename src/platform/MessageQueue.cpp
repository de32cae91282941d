#include "platform/MessageQueue.h"

namespace kestrave::platform {
namespace {

IMessageQueue* installedQueue = nullptr;

}  // namespace

void ManualMessageQueue::Post(std::function<void()> message) {
  messages_.push_back(std::move(message));
}

int ManualMessageQueue::Pump() {
  int delivered = 0;
  while (!messages_.empty()) {
    auto message = std::move(messages_.front());
    messages_.pop_front();
    ++delivered;
    message();
  }
  return delivered;
}

ManualMessageQueue& ProcessManualQueue() {
  static ManualMessageQueue queue;
  return queue;
}

IMessageQueue& DefaultMessageQueue() {
  return installedQueue ? *installedQueue : ProcessManualQueue();
}

void SetDefaultMessageQueue(IMessageQueue* queue) {
  installedQueue = queue;
}

}  // namespace kestrave::platform
