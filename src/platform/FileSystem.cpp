#include "platform/FileSystem.h"
#include "platform/SystemCalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kestrave::platform {

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.Release();
  }
  return *this;
}

void FileHandle::Close() {
  if (fd_ >= 0) {
    const int saved = errno;  // closing must not hide the error the caller is about to report
    ::close(fd_);
    errno = saved;
    fd_ = -1;
  }
}

int FileHandle::Release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

FileHandle OpenForReadShared(const std::string& path) {
  return FileHandle(SystemCalls().Open(path.c_str(), O_RDONLY | O_CLOEXEC, 0));
}

FileHandle OpenReadWriteExclusive(const std::string& path) {
  FileHandle file(SystemCalls().Open(path.c_str(), O_RDWR | O_CLOEXEC, 0));
  if (file.IsOpen() && ::flock(file.Fd(), LOCK_EX | LOCK_NB) != 0) file.Close();
  return file;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return false;
  if (S_ISREG(info.st_mode)) return true;
  errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
  return false;
}

std::optional<std::int64_t> FileSizeOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<std::int64_t>(info.st_size);
}

bool DeleteFile(const std::string& path) {
  return SystemCalls().Unlink(path.c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
  return SystemCalls().Rename(from.c_str(), to.c_str()) == 0;
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool SetCurrentDirectory(const std::string& path) {
  return ::chdir(path.c_str()) == 0;
}

}  // namespace kestrave::platform
