#pragma once

#include <cstddef>
#include <deque>
#include <functional>

namespace kestrave::platform {

// Work posted now and done later, when control is back in the message loop.
class IMessageQueue {
 public:
  virtual ~IMessageQueue() = default;
  virtual void Post(std::function<void()> message) = 0;
};

// A queue that delivers only when asked: the loop of tests and of the command line.
class ManualMessageQueue : public IMessageQueue {
 public:
  void Post(std::function<void()> message) override;
  // Delivers every waiting message, also those posted meanwhile; answers how many it delivered.
  // A message that throws stops the pump; the messages after it stay queued.
  int Pump();
  std::size_t Pending() const { return messages_.size(); }

 private:
  std::deque<std::function<void()>> messages_;
};

// The queue that new component instances post to. Until a program installs its own, this is a
// process-wide ManualMessageQueue.
IMessageQueue& DefaultMessageQueue();
ManualMessageQueue& ProcessManualQueue();
// Installs the queue new instances use; nullptr goes back to the process-wide manual queue.
void SetDefaultMessageQueue(IMessageQueue* queue);

}  // namespace kestrave::platform
