#pragma once

#include <string>

namespace kestrave::platform {

// Tells when the file under a name may have changed: written by another program, replaced (a
// file renamed over it), removed, or made again. The folder is watched for the name, as a file
// renamed over the name is another file; the file itself too, for writes through another of its
// names or through a link. What changed is for the caller to find out (FileStamp): events say
// only that it is worth looking, and the program's own writes cause them as well.
class FileWatch {
 public:
  FileWatch();
  ~FileWatch();
  FileWatch(const FileWatch&) = delete;
  FileWatch& operator=(const FileWatch&) = delete;

  // Readable while events wait; -1 where the system gives no watch (the caller then only looks
  // when it has other reasons to).
  int Fd() const { return fd_; }
  // Watches this name from now on instead of the one before; an empty name watches nothing.
  void Watch(const std::string& path);
  // Reads every waiting event without waiting; true when any may concern the watched file. The
  // file's own watch then follows the name to the file it names now.
  bool Drain();

 private:
  void Forget(int& watch);
  void WatchTheFile();

  int fd_ = -1;
  std::string path_;
  std::string name_;  // the last part of path_, as the folder's events name it
  int folderWatch_ = -1;
  int fileWatch_ = -1;
};

}  // namespace kestrave::platform
