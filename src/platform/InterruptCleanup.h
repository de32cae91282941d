#pragma once

#include <signal.h>

#include <string>

namespace kestrave::platform {

// Temporary files must not outlive a program that is interrupted: on SIGINT, SIGTERM or SIGHUP
// the ones still in flight are removed, and the program then ends as the signal would have
// ended it. The programs call this once at start; a signal the process was started with ignored
// (nohup) stays ignored, and one that already has a handler keeps it. SIGXFSZ, sent when a file
// would grow past the process's size limit, is ignored instead: the write then fails with EFBIG
// and is reported like a full disk, and its temporary is removed like any failed one.
void RemoveTemporariesOnInterrupt();

// Keeps SIGINT, SIGTERM and SIGHUP from this thread while it lives, so a temporary file and its
// entry in the list of those in flight come and go together. Holds nest: only the outermost one
// on a thread asks the system, so a batch of files held once around costs two calls in all.
class InterruptsHeld {
 public:
  InterruptsHeld();
  ~InterruptsHeld();
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;

 private:
  sigset_t previous_;
  bool outermost_ = false;
};

// A temporary file listed as in flight while this lives: an interruption removes it. It is named
// within its folder, held open by the caller until the file is forgotten, so it is found even
// when the folder has been renamed meanwhile. The list is fixed in size so the signal handler can
// walk it; when it is full, or the name is longer than any the system accepts, the file is
// simply not listed.
class TemporaryInFlight {
 public:
  TemporaryInFlight() = default;
  TemporaryInFlight(int folder, const std::string& name);
  ~TemporaryInFlight() { Forget(); }
  TemporaryInFlight(TemporaryInFlight&& other) noexcept : slot_(other.slot_) { other.slot_ = -1; }
  TemporaryInFlight& operator=(TemporaryInFlight&& other) noexcept;
  TemporaryInFlight(const TemporaryInFlight&) = delete;
  TemporaryInFlight& operator=(const TemporaryInFlight&) = delete;

  bool IsListed() const { return slot_ >= 0; }
  // The file is gone or has its final name: an interruption leaves it alone from now on.
  void Forget();

 private:
  int slot_ = -1;
};

}  // namespace kestrave::platform
