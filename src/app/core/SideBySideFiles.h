#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/FilePlace.h"
#include "platform/ParallelTasks.h"

namespace kestrave::app {

// Record files written a few at a time side by side on several threads, leaving what writing
// them one after the other leaves: each file complete under its name or not at all; a failure
// stops the rest and is thrown once every file before it stands, and no file after it is
// changed (a batch with a file written in place, rather than replaced, fills its files in
// order). Files are opened and put in place in order on the calling thread with interruptions
// held, so a temporary file and its entry in the list an interruption clears come and go
// together; the other threads only fill open files. Bringing the files to the disk is left to
// the caller, once for all of them. The threads are kept from batch to batch.
class SideBySideFiles {
 public:
  struct Steps {
    // Fills the file of entry Index, open as Fd, on thread Worker (0 up to the threads asked
    // for; 0 is the calling thread).
    std::function<void(std::size_t index, int fd, const std::string& fileName, int worker)> Fill;
    // Entry Index comes to its turn, in order: its file is about to be put in place, or its
    // failure thrown.
    std::function<void(std::size_t index)> Turn;
    // Entry Index is done: its file stands complete under its name, or it had none.
    std::function<void(std::size_t index)> Done;
  };

  // One thread writes each file as it is added.
  SideBySideFiles(int threads, Steps steps);
  ~SideBySideFiles();
  SideBySideFiles(const SideBySideFiles&) = delete;
  SideBySideFiles& operator=(const SideBySideFiles&) = delete;

  // Entry Index is a file FileName of Size bytes (room for them is reserved up front).
  void Add(std::size_t index, std::string fileName, std::int64_t size);
  // Entry Index has no file; it is only told in its turn.
  void AddWithoutFile(std::size_t index);
  // Entry Index failed before its file was begun: the entries before it are written, then the
  // failure is thrown in its turn.
  [[noreturn]] void AddFailure(std::size_t index, std::exception_ptr failure);
  // Writes the entries waiting.
  void Write();

 private:
  struct Entry;
  void WriteBatch();

  int threads_;
  Steps steps_;
  std::vector<Entry> waiting_;
  std::int64_t waitingBytes_ = 0;
  // The records' folder is followed once for all of them.
  platform::PlaceFinder places_;
  platform::TaskTeam team_;
};

}  // namespace kestrave::app
