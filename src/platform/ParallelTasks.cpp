#include "platform/ParallelTasks.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/InterruptCleanup.h"

namespace kestrave::platform {
namespace {

using Task = std::function<void(std::int64_t index, int worker)>;

// One run of tasks shared by the threads doing it: each takes the next index not yet taken,
// until the tasks are done or one has failed.
class TaskRun {
 public:
  TaskRun(std::int64_t count, const Task& task) : count_(count), task_(task) {}

  void Work(int worker) {
    for (std::int64_t index; !failed_ && (index = next_++) < count_;) {
      try {
        task_(index, worker);
      } catch (...) {
        const std::lock_guard lock(failureLock_);
        if (index < failedIndex_) {
          failedIndex_ = index;
          failure_ = std::current_exception();
        }
        failed_ = true;
      }
    }
  }

  // Once every thread is done with it.
  std::optional<TaskFailure> Failure() const {
    if (!failure_) return std::nullopt;
    return TaskFailure{failedIndex_, failure_};
  }

 private:
  std::int64_t count_;
  const Task& task_;
  std::atomic<std::int64_t> next_{0};
  std::atomic<bool> failed_{false};
  std::mutex failureLock_;
  std::int64_t failedIndex_ = count_;
  std::exception_ptr failure_;
};

}  // namespace

std::optional<TaskFailure> TryTasks(std::int64_t count, int threads, const Task& task) {
  TaskRun run(count, task);
  const auto helpers =
      static_cast<int>(std::clamp<std::int64_t>(count, 1, std::max(threads, 1))) - 1;
  std::vector<std::thread> workers;
  for (int i = 0; i < helpers; ++i) {
    try {
      workers.emplace_back([&run, i] { run.Work(i + 1); });
    } catch (const std::system_error&) {
      break;  // no thread to be had: the others do the rest
    }
  }
  run.Work(0);
  for (std::thread& worker : workers)
    worker.join();
  return run.Failure();
}

void RunTasks(std::int64_t count, int threads, const Task& task) {
  if (const auto failure = TryTasks(count, threads, task)) std::rethrow_exception(failure->Error);
}

struct TaskTeam::Shared {
  std::mutex lock;
  std::condition_variable wake;
  std::condition_variable finished;
  std::uint64_t generation = 0;
  bool stopping = false;
  TaskRun* run = nullptr;
  int busy = 0;  // helpers still at the current run
};

TaskTeam::TaskTeam(int threads) : shared_(std::make_unique<Shared>()) {
  for (int i = 1; i < threads; ++i) {
    try {
      helpers_.emplace_back([this, i] { Help(i); });
    } catch (const std::system_error&) {
      break;  // no thread to be had: the others do the rest
    }
  }
}

TaskTeam::~TaskTeam() {
  {
    const std::lock_guard lock(shared_->lock);
    shared_->stopping = true;
  }
  shared_->wake.notify_all();
  for (std::thread& helper : helpers_)
    helper.join();
}

void TaskTeam::Help(int worker) {
  // Interruptions reach the thread that asked for the run, which holds them only where that
  // matters, never a helper in the middle of a task.
  const InterruptsHeld held;
  std::uint64_t seen = 0;
  for (;;) {
    TaskRun* run = nullptr;
    {
      std::unique_lock lock(shared_->lock);
      shared_->wake.wait(lock, [&] { return shared_->stopping || shared_->generation != seen; });
      if (shared_->stopping) return;
      seen = shared_->generation;
      run = shared_->run;
    }
    run->Work(worker);
    const std::lock_guard lock(shared_->lock);
    if (--shared_->busy == 0) shared_->finished.notify_one();
  }
}

std::optional<TaskFailure> TaskTeam::Try(std::int64_t count, const Task& task) {
  TaskRun run(count, task);
  {
    const std::lock_guard lock(shared_->lock);
    shared_->run = &run;
    shared_->busy = static_cast<int>(helpers_.size());
    ++shared_->generation;
  }
  shared_->wake.notify_all();
  run.Work(0);
  std::unique_lock lock(shared_->lock);
  shared_->finished.wait(lock, [&] { return shared_->busy == 0; });
  shared_->run = nullptr;
  return run.Failure();
}

}  // namespace kestrave::platform
