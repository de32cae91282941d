#include "platform/MessageQueue.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace kestrave::platform {
namespace {

TEST(ManualMessageQueue, DeliversInOrderIncludingMessagesPostedMeanwhile) {
  ManualMessageQueue queue;
  std::vector<int> seen;
  queue.Post([&] {
    seen.push_back(1);
    queue.Post([&] { seen.push_back(3); });
  });
  queue.Post([&] { seen.push_back(2); });
  EXPECT_TRUE(seen.empty()) << "posting delivers nothing";
  EXPECT_EQ(queue.Pump(), 3);
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(queue.Pending(), 0u);
}

TEST(ManualMessageQueue, AThrowingMessageStopsThePumpAndKeepsTheRest) {
  ManualMessageQueue queue;
  int later = 0;
  queue.Post([] { throw std::runtime_error("boom"); });
  queue.Post([&] { ++later; });
  EXPECT_THROW(queue.Pump(), std::runtime_error);
  EXPECT_EQ(queue.Pending(), 1u);
  queue.Pump();
  EXPECT_EQ(later, 1);
}

TEST(DefaultMessageQueue, IsTheProcessQueueUntilAnotherIsInstalled) {
  EXPECT_EQ(&DefaultMessageQueue(), &ProcessManualQueue());
  ManualMessageQueue mine;
  SetDefaultMessageQueue(&mine);
  EXPECT_EQ(&DefaultMessageQueue(), &mine);
  SetDefaultMessageQueue(nullptr);
  EXPECT_EQ(&DefaultMessageQueue(), &ProcessManualQueue());
}

}  // namespace
}  // namespace kestrave::platform
