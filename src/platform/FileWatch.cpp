#include "platform/FileWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/FileSystem.h"

namespace kestrave::platform {
namespace {

// Only what ends a change counts: a close after writing rather than every write, so a program
// writing a file in pieces is looked at once, when it is done.
constexpr std::uint32_t kFolderEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE |
                                        IN_DELETE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
constexpr std::uint32_t kFileEvents = IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;

}  // namespace

FileWatch::FileWatch() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FileWatch::~FileWatch() {
  if (fd_ >= 0) ::close(fd_);
}

void FileWatch::Forget(int& watch) {
  if (watch >= 0) ::inotify_rm_watch(fd_, watch);
  watch = -1;
}

void FileWatch::Watch(const std::string& path) {
  if (fd_ < 0) return;
  Forget(folderWatch_);
  Forget(fileWatch_);
  path_.clear();
  Drain();  // what was waiting concerned the name before
  path_ = path;
  name_ = BaseNameOf(path);
  if (path_.empty()) return;
  folderWatch_ = ::inotify_add_watch(fd_, DirectoryOf(path_).c_str(), kFolderEvents);
  WatchTheFile();
}

// A name that now leads to another file gets a watch of its own; the old file's goes, as its
// changes no longer concern the name.
void FileWatch::WatchTheFile() {
  const int watch = ::inotify_add_watch(fd_, path_.c_str(), kFileEvents);
  if (watch != fileWatch_) Forget(fileWatch_);
  fileWatch_ = watch;
}

bool FileWatch::Drain() {
  if (fd_ < 0) return false;
  bool concerned = false;
  alignas(inotify_event) char buffer[8192];
  while (true) {
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
      inotify_event event;
      std::memcpy(&event, buffer + at, sizeof event);
      const char* name = buffer + at + sizeof event;
      at += static_cast<ssize_t>(sizeof event + event.len);
      if (event.mask & IN_Q_OVERFLOW) {
        concerned = true;  // events were lost: any of them may have been about the file
      } else if (event.wd == fileWatch_ && fileWatch_ >= 0) {
        concerned = true;
      } else if (event.wd == folderWatch_ && folderWatch_ >= 0) {
        if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF))
          concerned = true;
        else if (event.len > 0 && name_ == std::string(name, ::strnlen(name, event.len)))
          concerned = true;
      }
      if (event.mask & IN_IGNORED) {
        // The system dropped the watch: its file or folder is gone.
        if (event.wd == fileWatch_) fileWatch_ = -1;
        if (event.wd == folderWatch_) folderWatch_ = -1;
      }
    }
  }
  if (concerned && !path_.empty()) WatchTheFile();
  return concerned;
}

}  // namespace kestrave::platform
