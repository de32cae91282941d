// The editor's save of its own file killed at random moments, by SIGKILL and by the signals a
// desktop sends (SIGTERM, SIGHUP): the file is whole at every instant, the old content or the
// new one, with its mode; afterwards the backup, where there is one, is the old content. A
// watcher reads the file all through the save. The normal suite runs a few trials; the test
// labelled "stress" runs KESTRAVE_STRESS_TRIALS of them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include "hexeditor/HexEditorEx.h"
#include "platform/InterruptCleanup.h"
#include "support/TempDir.h"

namespace kestrave {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr int kDefaultTrials = 6;
constexpr int kSignals[] = {SIGKILL, SIGTERM, SIGHUP};
constexpr mode_t kMode = 0640;

int Trials() {
  const char* text = std::getenv("KESTRAVE_STRESS_TRIALS");
  const int trials = text ? std::atoi(text) : 0;
  return trials > 0 ? trials : kDefaultTrials;
}

// A child that loads the file, changes every byte and saves it over itself, with a backup;
// answers once the file is loaded and the save is about to begin.
pid_t StartSave(const std::string& file) {
  int loaded[2];
  if (::pipe(loaded) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    for (const int signal : {SIGTERM, SIGHUP})
      std::signal(signal, SIG_DFL);
    platform::RemoveTemporariesOnInterrupt();
    hex::THexEditorEx editor;
    editor.Loaded();
    editor.LoadFromFile(file);
    ::write(loaded[1], "x", 1);
    const Bytes changed(static_cast<std::size_t>(editor.DataSize()), 0x5A);
    editor.Replace(changed.data(), 0, editor.DataSize(), editor.DataSize(), "", false);
    editor.SaveToFile(file, true);
    ::_exit(0);
  }
  char byte = 0;
  ::read(loaded[0], &byte, 1);
  ::close(loaded[0]);
  ::close(loaded[1]);
  return child;
}

// Reads the file over and over while it is being saved; counts the reads that found it missing
// or neither the old content nor the new.
class Watcher {
 public:
  Watcher(std::string file, const Bytes& old, const Bytes& fresh)
      : thread_([this, file = std::move(file), &old, &fresh] {
          while (!stop_) {
            std::error_code error;
            if (!std::filesystem::exists(file, error)) {
              ++broken_;
              continue;
            }
            const Bytes seen = test::ReadAll(file);
            if (seen != old && seen != fresh) ++broken_;
            ++reads_;
          }
        }) {}
  ~Watcher() { Stop(); }
  Watcher(const Watcher&) = delete;
  Watcher& operator=(const Watcher&) = delete;
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  int Broken() const { return broken_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> broken_{0};
  std::atomic<int> reads_{0};
  std::thread thread_;
};

TEST(InterruptedSave, TheFileIsWholeAtEveryInstantAndKeepsItsMode) {
  test::TempDir dir;
  const std::string file = dir.File("data.bin");
  const Bytes old = test::PatternBytes(4 << 20);
  const Bytes fresh(old.size(), 0x5A);
  const auto reset = [&] {
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
      std::filesystem::remove(entry.path());
    test::WriteAll(file, old);
    ::chmod(file.c_str(), kMode);
  };
  // How long a whole save takes, so the kills land anywhere in it.
  reset();
  const pid_t first = StartSave(file);
  const auto started = Clock::now();
  int status = 0;
  ::waitpid(first, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
  ASSERT_EQ(test::ReadAll(file), fresh);

  std::mt19937 random(20261209);
  std::uniform_int_distribution<long> moment(0, whole.count() * 5 / 4);
  for (int trial = 0; trial < Trials(); ++trial) {
    const int signal = kSignals[trial % 3];
    SCOPED_TRACE("trial " + std::to_string(trial) + ", signal " + std::to_string(signal));
    reset();
    // Watched once loaded: a reader during the load would make the file look in use elsewhere.
    const pid_t child = StartSave(file);
    Watcher watcher(file, old, fresh);
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    ::kill(child, signal);
    ::waitpid(child, &status, 0);
    watcher.Stop();
    EXPECT_EQ(watcher.Broken(), 0) << "the file was missing or half written";
    const Bytes after = test::ReadAll(file);
    EXPECT_TRUE(after == old || after == fresh);
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, kMode);
    EXPECT_EQ(info.st_nlink, 1u);
    if (std::filesystem::exists(file + ".bak")) {
      EXPECT_EQ(test::ReadAll(file + ".bak"), old);
    }
    // Only SIGKILL, which nothing can catch, may leave a temporary behind.
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
      EXPECT_TRUE(signal == SIGKILL || entry.path().extension() != ".saving") << entry.path();
    }
  }
}

}  // namespace
}  // namespace kestrave
