#include "platform/InterruptCleanup.h"

#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace kestrave::platform {
namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSlots = 32;

// A slot is claimed, filled, then marked active; the handler only reads active ones, and only
// lock-free atomics and unlink() are used there.
enum SlotState : int { kFree, kFilling, kActive };

struct Slot {
  std::atomic<int> state{kFree};
  int folder = -1;
  char name[PATH_MAX];  // within the folder, or a whole path from AT_FDCWD
};
static_assert(std::atomic<int>::is_always_lock_free);

Slot slots[kSlots];

sigset_t InterruptSet() {
  sigset_t set;
  ::sigemptyset(&set);
  for (const int signal : kInterrupts)
    ::sigaddset(&set, signal);
  return set;
}

// Runs with the three signals blocked. The default action is put back and the signal raised
// again: it is delivered when the handler returns, and ends the process as it would have.
extern "C" void RemoveInFlightAndEnd(int signal) {
  const int savedErrno = errno;
  for (Slot& slot : slots)
    if (slot.state.load(std::memory_order_acquire) == kActive)
      ::unlinkat(slot.folder, slot.name, 0);
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  ::sigemptyset(&standard.sa_mask);
  ::sigaction(signal, &standard, nullptr);
  ::raise(signal);
  errno = savedErrno;
}

}  // namespace

void RemoveTemporariesOnInterrupt() {
  for (const int signal : kInterrupts) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0) continue;
    if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction action {};
    action.sa_handler = RemoveInFlightAndEnd;
    action.sa_mask = InterruptSet();
    ::sigaction(signal, &action, nullptr);
  }
  struct sigaction current {};
  if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL &&
      (current.sa_flags & SA_SIGINFO) == 0)
    ::signal(SIGXFSZ, SIG_IGN);
}

namespace {
thread_local int holds = 0;
}  // namespace

InterruptsHeld::InterruptsHeld() {
  outermost_ = holds++ == 0;
  if (!outermost_) return;
  const int savedErrno = errno;
  const sigset_t interrupts = InterruptSet();
  ::pthread_sigmask(SIG_BLOCK, &interrupts, &previous_);
  errno = savedErrno;
}

InterruptsHeld::~InterruptsHeld() {
  --holds;
  if (!outermost_) return;
  const int savedErrno = errno;  // the caller may be about to report an error of its own
  ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  errno = savedErrno;
}

TemporaryInFlight::TemporaryInFlight(int folder, const std::string& name) {
  if (name.size() >= PATH_MAX) return;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kFilling, std::memory_order_acq_rel))
      continue;
    slots[i].folder = folder;
    std::memcpy(slots[i].name, name.c_str(), name.size() + 1);
    slots[i].state.store(kActive, std::memory_order_release);
    slot_ = i;
    return;
  }
}

TemporaryInFlight& TemporaryInFlight::operator=(TemporaryInFlight&& other) noexcept {
  if (this != &other) {
    Forget();
    slot_ = other.slot_;
    other.slot_ = -1;
  }
  return *this;
}

void TemporaryInFlight::Forget() {
  if (slot_ < 0) return;
  slots[slot_].state.store(kFree, std::memory_order_release);
  slot_ = -1;
}

}  // namespace kestrave::platform
