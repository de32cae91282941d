#include "platform/FileReplacement.h"
#include "platform/SystemCalls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>

namespace kestrave::platform {
namespace {

constexpr int kNameAttempts = 100;

mode_t ModeOfNewFile() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

std::string ResolveLink(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace

FileReplacement::FileReplacement(const std::string& target) {
  if (!PrepareTarget(target)) return;
  // A target that appears meanwhile is replaced like any existing one.
  if (!targetExisted_ && CreateTargetItself()) return;
  targetExisted_ = true;
  CreateTemporary();
}

FileReplacement::~FileReplacement() {
  file_.Close();
  if (!installed_ && !temporary_.empty()) SystemCalls().Unlink(temporary_.c_str());
}

bool FileReplacement::PrepareTarget(const std::string& target) {
  target_ = ResolveLink(target);
  struct stat info {};
  if (::stat(target_.c_str(), &info) != 0) {
    if (errno != ENOENT) {
      error_ = errno;
      return false;
    }
    mode_ = ModeOfNewFile();
    targetExisted_ = false;
    return true;
  }
  if (S_ISDIR(info.st_mode)) {
    error_ = EISDIR;
    return false;
  }
  // A file we may not write must stay as it is, as if we had tried to open it for writing.
  if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
    error_ = errno;
    return false;
  }
  mode_ = info.st_mode & 07777;
  return true;
}

bool FileReplacement::CreateTargetItself() {
  const int fd = SystemCalls().Open(
      target_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (fd < 0) return false;
  file_ = FileHandle(fd);
  temporary_ = target_;
  return true;
}

bool FileReplacement::CreateTemporary() {
  const std::string stem = DirectoryOf(target_) + "/." + BaseNameOf(target_) + ".";
  const auto seed = static_cast<unsigned>(::getpid()) ^ static_cast<unsigned>(std::time(nullptr));
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const unsigned tag = seed * 2654435761u + static_cast<unsigned>(attempt) * 40503u;
    std::string candidate = stem + std::to_string(tag % 1000000u) + ".saving";
    const int fd = SystemCalls().Open(
        candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd >= 0) {
      file_ = FileHandle(fd);
      temporary_ = std::move(candidate);
      return true;
    }
    if (errno != EEXIST) break;
  }
  error_ = errno;
  return false;
}

// Closing reports writes the system could not complete (a full disk on some file systems).
int FileReplacement::Flush() {
  if (!file_.IsOpen()) return 0;
  if (SystemCalls().ChangeMode(file_.Fd(), mode_) != 0) return errno;
  return SystemCalls().Close(file_.Release()) == 0 ? 0 : errno;
}

int FileReplacement::Install() {
  if (const int error = Flush()) return error;
  if (targetExisted_ && SystemCalls().Rename(temporary_.c_str(), target_.c_str()) != 0)
    return errno;
  installed_ = true;
  return 0;
}

}  // namespace kestrave::platform
