#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace kestrave::test {

// Another process that keeps a file open, as an editor or a download would, without any lock,
// until this object goes. Flags are those of open(): O_WRONLY, O_RDONLY ...
class FileHeldElsewhere {
 public:
  FileHeldElsewhere(const std::string& path, int flags) {
    int ready[2];
    int release[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) return;
    if (::pipe2(release, O_CLOEXEC) != 0) {
      ::close(ready[0]);
      ::close(ready[1]);
      return;
    }
    pid_ = ::fork();
    if (pid_ == 0) HoldInChild(path.c_str(), flags, ready, release);
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char opened = 0;
    holding_ = pid_ > 0 && ::read(ready[0], &opened, 1) == 1 && opened == 1;
    ::close(ready[0]);
  }
  ~FileHeldElsewhere() {
    if (release_ >= 0) ::close(release_);
    int status = 0;
    if (pid_ > 0) ::waitpid(pid_, &status, 0);
  }
  FileHeldElsewhere(const FileHeldElsewhere&) = delete;
  FileHeldElsewhere& operator=(const FileHeldElsewhere&) = delete;

  // The other process has the file open.
  bool Holding() const { return holding_; }

 private:
  // Only calls that are safe in a child of a process with threads.
  [[noreturn]] static void HoldInChild(const char* path, int flags, const int ready[2],
                                       const int release[2]) {
    ::close(ready[0]);
    ::close(release[1]);
    const char opened = ::open(path, flags | O_CLOEXEC) >= 0 ? 1 : 0;
    if (::write(ready[1], &opened, 1) == 1) {
      char ignored = 0;
      while (::read(release[0], &ignored, 1) > 0) {
      }
    }
    ::_exit(0);
  }

  pid_t pid_ = -1;
  int release_ = -1;
  bool holding_ = false;
};

}  // namespace kestrave::test
