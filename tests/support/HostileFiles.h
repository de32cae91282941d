#pragma once

// Things that sit where a file is expected: FIFOs, devices, very long paths. Header only.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace kestrave::test {

inline void MakeFifo(const std::string& path) {
  if (::mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed: " + path);
}

inline bool IsFifo(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}

// A folder under `root` nested deep enough that the path of `name` inside it is at least
// `length` bytes long; the folders are made, the answer is the path of the file.
inline std::string LongPathIn(const std::string& root, const std::string& name,
                              std::size_t length = 300) {
  std::string folder = root;
  for (int level = 0; folder.size() + 1 + name.size() < length; ++level)
    folder += "/" + std::string(60, static_cast<char>('a' + level % 26));
  std::filesystem::create_directories(folder);
  return folder + "/" + name;
}

// Keeps a test from hanging on a FIFO: should anything still wait to open it for reading when
// the guard's time is up, the guard opens it for writing and closes it again, which ends the
// wait (the reader then sees an empty stream). Fired() tells whether that was needed, which is
// itself the fault being tested; with sound code the guard never fires and costs nothing.
class FifoGuard {
 public:
  explicit FifoGuard(std::string fifo, std::chrono::seconds patience = std::chrono::seconds(5))
      : fifo_(std::move(fifo)), patience_(patience), thread_([this] { Watch(); }) {}
  ~FifoGuard() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  FifoGuard(const FifoGuard&) = delete;
  FifoGuard& operator=(const FifoGuard&) = delete;

  bool Fired() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return fired_;
  }

 private:
  void Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (wake_.wait_for(lock, patience_, [this] { return done_; })) return;
    // Retried until the test ends: a writer's open succeeds only once a reader waits.
    while (!done_) {
      const int fd = ::open(fifo_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0) {
        fired_ = true;
        ::close(fd);
      }
      wake_.wait_for(lock, std::chrono::milliseconds(50), [this] { return done_; });
    }
  }

  std::string fifo_;
  std::chrono::seconds patience_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  bool fired_ = false;
  std::thread thread_;
};

}  // namespace kestrave::test
