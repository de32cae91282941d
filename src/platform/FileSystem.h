#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/SystemError.h"

namespace kestrave::platform {

// Owns one open file descriptor and closes it when it goes.
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(int fd) : fd_(fd) {}
  FileHandle(FileHandle&& other) noexcept : fd_(other.Release()) {}
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { Close(); }

  bool IsOpen() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  void Close();
  int Release();

 private:
  int fd_ = -1;
};

// The opening calls return an empty handle on failure, with errno telling why.

// Open a regular file (links followed) for reading while others may read and write it too. This
// is how every file that is read whole is opened: anything else is refused without waiting, a
// folder with EISDIR, a FIFO, device or socket with kNotRegularFileError ("Not a regular file"),
// also when the name changes to one between the check and the open.
FileHandle OpenForReadShared(const std::string& path);

// Open for reading and writing with no sharing: fails while the file cannot be written or anyone
// else has it open (this process included), told by a write lease. Where the system grants no
// lease on the file, only others that hold a lock on it are seen.
FileHandle OpenReadWriteExclusive(const std::string& path);

// A regular file (links followed) exists under the path. Folders and devices do not count;
// when the answer is no, errno tells why (EISDIR for a folder, kNotRegularFileError for the rest).
bool FileExists(const std::string& path);

// What tells one file from another, whatever name or link leads to it.
struct FileIdentity {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of what the path leads to (links followed), or nothing when nothing is there.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// Size in bytes of the file under the path, or nothing when it cannot be examined.
std::optional<std::int64_t> FileSizeOf(const std::string& path);

bool DeleteFile(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);

// The folder part of a path ("." when it has none) and the name after the last slash.
std::string DirectoryOf(const std::string& path);
std::string BaseNameOf(const std::string& path);

// Sets the process's current directory; the result says whether it worked.
bool SetCurrentDirectory(const std::string& path);

}  // namespace kestrave::platform
