// A program interrupted while it writes files leaves no temporary file behind, and still ends
// the way the signal ends it.
#include "platform/InterruptCleanup.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <string_view>

#include "platform/FileReplacement.h"
#include "support/TempDir.h"

namespace kestrave::platform {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

std::string Text(const std::string& path) {
  const auto bytes = ReadAll(path);
  return {bytes.begin(), bytes.end()};
}

void Write(const FileReplacement& replacement, std::string_view text) {
  if (::write(replacement.Fd(), text.data(), text.size()) != static_cast<ssize_t>(text.size()))
    ::_exit(3);
}

// A child process that installs the cleanup, leaves the replacement of an existing file and
// the creation of a new one half done, finishes a third, says it is ready, and waits to be
// interrupted. Answers its process id.
pid_t ChildWithFilesInFlight(const TempDir& dir, bool startsWithHangupIgnored) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ready[0]);
    if (startsWithHangupIgnored) std::signal(SIGHUP, SIG_IGN);
    RemoveTemporariesOnInterrupt();
    FileReplacement replaced(dir.File("old.amr"), 0);
    FileReplacement created(dir.File("new.amr"), 0);
    FileReplacement finished(dir.File("done.amr"), 0);
    Write(replaced, "half of the new");
    Write(created, "half of a new file");
    Write(finished, "done");
    if (finished.Install() != 0) ::_exit(4);
    if (::write(ready[1], "r", 1) != 1) ::_exit(5);
    for (;;)
      ::pause();
  }
  ::close(ready[1]);
  char signal = 0;
  const bool started = ::read(ready[0], &signal, 1) == 1;
  ::close(ready[0]);
  return started ? child : -1;
}

// The signal that ended the process, or 0 when it ended by itself.
int EndingSignal(pid_t child) {
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

TEST(InterruptCleanup, EachInterruptionRemovesTheTemporariesAndEndsTheProcessAsItWould) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir dir;
    WriteAll(dir.File("old.amr"), "old");
    const pid_t child = ChildWithFilesInFlight(dir, false);
    ASSERT_GT(child, 0);
    ::kill(child, signal);
    EXPECT_EQ(EndingSignal(child), signal) << strsignal(signal);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"done.amr", "old.amr"}))
        << "after " << strsignal(signal);
    EXPECT_EQ(Text(dir.File("old.amr")), "old");
    EXPECT_EQ(Text(dir.File("done.amr")), "done") << "a finished file is not a temporary one";
  }
}

TEST(InterruptCleanup, AHangupIgnoredFromTheStartStaysIgnored) {
  TempDir dir;
  WriteAll(dir.File("old.amr"), "old");
  const pid_t child = ChildWithFilesInFlight(dir, true);
  ASSERT_GT(child, 0);
  // Pending together, the hangup would come first: only the termination may end the child.
  ::kill(child, SIGHUP);
  ::kill(child, SIGTERM);
  EXPECT_EQ(EndingSignal(child), SIGTERM);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"done.amr", "old.amr"}));
}

TEST(InterruptCleanup, AListedFileIsForgottenWhenItsEntryGoes) {
  TempDir dir;
  const std::string kept = dir.File("kept.amr");
  const std::string removed = dir.File("removed.amr");
  const pid_t child = ::fork();
  if (child == 0) {
    RemoveTemporariesOnInterrupt();
    WriteAll(kept, "kept");
    WriteAll(removed, "removed");
    TemporaryInFlight forgotten(AT_FDCWD, kept);
    TemporaryInFlight listed(AT_FDCWD, removed);
    forgotten.Forget();
    const TemporaryInFlight moved(std::move(listed));
    ::raise(SIGTERM);
    ::_exit(0);
  }
  EXPECT_EQ(EndingSignal(child), SIGTERM);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"kept.amr"});
}

// Holds nest: an inner one ending lets nothing through, the outermost one ending does.
TEST(InterruptCleanup, OnlyTheOutermostHoldLetsInterruptionsThrough) {
  const auto blocked = [] {
    sigset_t now;
    ::pthread_sigmask(SIG_BLOCK, nullptr, &now);
    return ::sigismember(&now, SIGINT) == 1;
  };
  ASSERT_FALSE(blocked());
  {
    const InterruptsHeld outer;
    { const InterruptsHeld inner; }
    EXPECT_TRUE(blocked()) << "after the inner hold";
  }
  EXPECT_FALSE(blocked()) << "after the outer hold";
}

}  // namespace
}  // namespace kestrave::platform
