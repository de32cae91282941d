#include "platform/ParallelTasks.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

namespace kestrave::platform {
namespace {

using Task = std::function<void(std::int64_t index, int worker)>;

// What a run of 200 tasks on three threads saw, two tasks failing when asked.
struct Seen {
  std::optional<TaskFailure> Failure;
  std::multiset<std::int64_t> Finished;
  bool WorkersInRange = true;
  bool CallerIsWorkerZero = true;
  bool HelpersHoldInterrupts = true;
};

Seen RunOnce(const std::function<std::optional<TaskFailure>(std::int64_t, const Task&)>& run,
             bool fail) {
  Seen seen;
  std::mutex lock;
  const auto caller = std::this_thread::get_id();
  seen.Failure = run(200, [&](std::int64_t index, int worker) {
    sigset_t mask;
    ::pthread_sigmask(SIG_SETMASK, nullptr, &mask);
    {
      const std::lock_guard hold(lock);
      seen.WorkersInRange &= worker >= 0 && worker < 3;
      seen.CallerIsWorkerZero &= (worker == 0) == (std::this_thread::get_id() == caller);
      if (worker != 0) seen.HelpersHoldInterrupts &= ::sigismember(&mask, SIGINT) == 1;
      if (fail && (index == 40 || index == 41)) throw std::runtime_error(std::to_string(index));
      seen.Finished.insert(index);
    }
    // The tasks after the failures take a while, so a run that went on would be seen.
    if (index > 41) std::this_thread::sleep_for(std::chrono::microseconds(200));
  });
  return seen;
}

TEST(ParallelTasks, EveryTaskOnceAndTheFirstFailureAsInOrder) {
  TaskTeam team(3);
  const struct {
    const char* Name;
    std::function<std::optional<TaskFailure>(std::int64_t, const Task&)> Run;
    bool HelpersHold;
  } runners[] = {
      {"threads of its own", [](std::int64_t n, const Task& t) { return TryTasks(n, 3, t); },
       false},
      {"a kept team", [&](std::int64_t n, const Task& t) { return team.Try(n, t); }, true},
  };
  for (const auto& runner : runners) {
    // A team is used again after a failure.
    for (const bool fail : {false, true, false}) {
      SCOPED_TRACE(std::string(runner.Name) + (fail ? ", failing" : ""));
      const Seen seen = RunOnce(runner.Run, fail);
      EXPECT_TRUE(seen.WorkersInRange);
      EXPECT_TRUE(seen.CallerIsWorkerZero);
      if (runner.HelpersHold) {
        EXPECT_TRUE(seen.HelpersHoldInterrupts);
      }
      if (!fail) {
        EXPECT_FALSE(seen.Failure);
        EXPECT_EQ(seen.Finished.size(), 200u);
        EXPECT_EQ(std::set<std::int64_t>(seen.Finished.begin(), seen.Finished.end()).size(), 200u);
        continue;
      }
      ASSERT_TRUE(seen.Failure);
      EXPECT_EQ(seen.Failure->Index, 40);
      try {
        std::rethrow_exception(seen.Failure->Error);
      } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "40");
      }
      for (std::int64_t i = 0; i < 40; ++i)
        EXPECT_EQ(seen.Finished.count(i), 1u) << i;
      // Only tasks already under way when it failed go on, not the rest.
      EXPECT_LT(seen.Finished.size(), 150u);
    }
  }
}

}  // namespace
}  // namespace kestrave::platform
