#include "platform/FileSystem.h"
#include "platform/FilePlace.h"
#include "platform/SystemCalls.h"
#include "platform/SystemError.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace kestrave::platform {
namespace {

// Why something other than a regular file is refused: a folder is named as one.
int NotRegularFileErrorFor(mode_t mode) {
  return S_ISDIR(mode) ? EISDIR : kNotRegularFileError;
}

// Keeps the handle only when it is open on a regular file; else closes it, errno saying why.
void KeepOnlyRegularFile(FileHandle& file) {
  struct stat info {};
  if (::fstat(file.Fd(), &info) != 0) {
    file.Close();
  } else if (!S_ISREG(info.st_mode)) {
    errno = NotRegularFileErrorFor(info.st_mode);
    file.Close();
  }
}

// Reads of a regular file never wait anyway; without the flag the descriptor is a plain one.
void ClearNonBlocking(FileHandle& file) {
  const int flags = ::fcntl(file.Fd(), F_GETFL);
  if (flags < 0 || ::fcntl(file.Fd(), F_SETFL, flags & ~O_NONBLOCK) != 0) file.Close();
}

}  // namespace

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

namespace {

// Opens the file a path leads to, never through a link planted in a shared folder nor one
// swapped in after the look, and never waiting: without O_NONBLOCK the open of a FIFO would wait
// for a writer, possibly for ever. Only a regular file is kept, checked on what was opened.
FileHandle OpenRegularFile(const std::string& path, int access) {
  constexpr int kAttempts = 3;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    FilePlace place;
    if (const int error = FindPlace(path, place)) {
      errno = error;
      return FileHandle();
    }
    // Looked at first, so a device or FIFO is refused without being opened at all.
    struct stat info {};
    if (::fstatat(place.Folder.Fd(), place.Name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
      return FileHandle();
    if (S_ISLNK(info.st_mode)) continue;
    if (!S_ISREG(info.st_mode)) {
      errno = NotRegularFileErrorFor(info.st_mode);
      return FileHandle();
    }
    FileHandle file(SystemCalls().Open(place.Folder.Fd(), place.Name.c_str(),
                                       access | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW, 0));
    if (!file.IsOpen() && errno == ELOOP) continue;
    if (file.IsOpen()) KeepOnlyRegularFile(file);
    if (file.IsOpen()) ClearNonBlocking(file);
    return file;
  }
  errno = ELOOP;
  return FileHandle();
}

}  // namespace

FileHandle OpenForReadShared(const std::string& path) {
  return OpenRegularFile(path, O_RDONLY);
}

namespace {

// A write lease is granted only while no other descriptor anywhere has the file open, for reading
// or writing, locked or not; it is given back at once. Where leases are unavailable (a file of
// another owner without CAP_LEASE, file systems that have none) an exclusive lock is the fallback,
// which sees only the programs that lock the file themselves.
bool IsOnlyOpenOfTheFile(int fd) {
  // Someone opening the file while the lease is held makes the system signal this process; the
  // default signal for that ends it, the one chosen here is ignored unless handled.
  if (::fcntl(fd, F_SETSIG, SIGURG) == 0 && ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0) {
    ::fcntl(fd, F_SETLEASE, F_UNLCK);
    return true;
  }
  if (errno == EAGAIN || errno == EWOULDBLOCK) return false;
  return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

}  // namespace

FileHandle OpenReadWriteExclusive(const std::string& path) {
  // Opened as a reader is: a name that changed to a FIFO or device since it was checked neither
  // makes the probe wait nor passes for a writable file.
  FileHandle file = OpenRegularFile(path, O_RDWR);
  if (file.IsOpen() && !IsOnlyOpenOfTheFile(file.Fd())) file.Close();
  return file;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return false;
  if (S_ISREG(info.st_mode)) return true;
  errno = NotRegularFileErrorFor(info.st_mode);
  return false;
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                      static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<std::int64_t> FileSizeOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<std::int64_t>(info.st_size);
}

bool DeleteFile(const std::string& path) {
  return SystemCalls().Unlink(AT_FDCWD, path.c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
  return SystemCalls().Rename(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str()) == 0;
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
