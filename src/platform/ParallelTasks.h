#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace kestrave::platform {

// Runs Task for the indices 0 to Count - 1 on up to Threads threads, the calling one among them,
// each thread taking the next index not yet taken; Worker tells a task which thread runs it, from
// 0, the calling thread (where it may report progress), to Threads - 1, so each can keep its own
// buffers. Once a task fails no other is started, and the
// failure of the first failing index is thrown, as doing the tasks in order would have.
void RunTasks(std::int64_t count, int threads,
              const std::function<void(std::int64_t index, int worker)>& task);

// The first failing task of a run: every task before it has finished, none after it was started
// once it failed.
struct TaskFailure {
  std::int64_t Index = 0;
  std::exception_ptr Error;
};
// The same, answering the first failure instead of throwing it.
std::optional<TaskFailure> TryTasks(
    std::int64_t count, int threads,
    const std::function<void(std::int64_t index, int worker)>& task);

// Threads kept for a row of runs, each run as TryTasks does it with the calling thread among
// them (worker 0), without a thread started for each. The kept threads never take SIGINT,
// SIGTERM or SIGHUP: those reach the calling thread.
class TaskTeam {
 public:
  explicit TaskTeam(int threads);
  ~TaskTeam();
  TaskTeam(const TaskTeam&) = delete;
  TaskTeam& operator=(const TaskTeam&) = delete;

  std::optional<TaskFailure> Try(std::int64_t count,
                                 const std::function<void(std::int64_t index, int worker)>& task);

 private:
  struct Shared;
  void Help(int worker);

  std::unique_ptr<Shared> shared_;
  std::vector<std::thread> helpers_;
};

}  // namespace kestrave::platform
