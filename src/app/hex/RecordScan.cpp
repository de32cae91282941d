#include "app/hex/RecordScan.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/UserInterface.h"

namespace kestrave::app {

RecordReport ScanRecordsResponsively(std::span<const std::uint8_t> data) {
  std::mutex mutex;
  std::condition_variable doneSignal;
  bool done = false;
  RecordReport report;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      report = ScanRecordReport(
          data, static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    } catch (...) {
      failure = std::current_exception();
    }
    const std::lock_guard lock(mutex);
    done = true;
    doneSignal.notify_one();
  });
  for (;;) {
    {
      std::unique_lock lock(mutex);
      if (doneSignal.wait_for(lock, std::chrono::milliseconds(10), [&] { return done; })) break;
    }
    platform::KeepResponsive();
  }
  worker.join();
  if (failure) std::rethrow_exception(failure);
  return report;
}

}  // namespace kestrave::app
