#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "platform/UserInterface.h"

namespace kestrave::view {

// While work runs, the program refuses what would start other work inside it: a request to
// close a window, which is carried out once the work is over, and drops, which the dragging
// program sees refused. Calls nest: each BeginWork has one EndWork, and the refusal ends with
// the outermost.
void BeginWork();
void EndWork();
bool WorkRuns();

// Work for the length of a scope.
class WorkScope {
 public:
  WorkScope() { BeginWork(); }
  ~WorkScope() { EndWork(); }
  WorkScope(const WorkScope&) = delete;
  WorkScope& operator=(const WorkScope&) = delete;
};

// Lets the windows draw themselves during long work on their thread: at most once per interval
// it handles what is waiting, except user input and timers, which wait until the work is over,
// so no key, click or timer starts anything inside the work.
class QtResponsiveness : public platform::IResponsiveness {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::milliseconds kInterval{40};

  explicit QtResponsiveness(Clock clock = &std::chrono::steady_clock::now);
  void KeepResponsive() override;

 private:
  Clock clock_;
  std::optional<std::chrono::steady_clock::time_point> last_;
  bool handling_ = false;
};

}  // namespace kestrave::view
