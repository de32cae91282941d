#include "platform/ParallelTasks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace kestrave::platform {

std::optional<TaskFailure> TryTasks(
    std::int64_t count, int threads,
    const std::function<void(std::int64_t index, int worker)>& task) {
  std::atomic<std::int64_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex failureLock;
  std::int64_t failedIndex = count;
  std::exception_ptr failure;
  const auto work = [&](int worker) {
    for (std::int64_t index; !failed && (index = next++) < count;) {
      try {
        task(index, worker);
      } catch (...) {
        const std::lock_guard lock(failureLock);
        if (index < failedIndex) {
          failedIndex = index;
          failure = std::current_exception();
        }
        failed = true;
      }
    }
  };
  const auto helpers =
      static_cast<int>(std::clamp<std::int64_t>(count, 1, std::max(threads, 1))) - 1;
  std::vector<std::thread> workers;
  for (int i = 0; i < helpers; ++i) {
    try {
      workers.emplace_back(work, i + 1);
    } catch (const std::system_error&) {
      break;  // no thread to be had: the others do the rest
    }
  }
  work(0);
  for (std::thread& worker : workers)
    worker.join();
  if (!failure) return std::nullopt;
  return TaskFailure{failedIndex, failure};
}

void RunTasks(std::int64_t count, int threads,
              const std::function<void(std::int64_t index, int worker)>& task) {
  if (const auto failure = TryTasks(count, threads, task)) std::rethrow_exception(failure->Error);
}

}  // namespace kestrave::platform
