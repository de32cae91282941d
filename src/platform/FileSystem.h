#pragma once

#include <cstdint>
#include <optional>
#include <string>

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

// Open for reading while others may read and write the file too.
FileHandle OpenForReadShared(const std::string& path);

// Open for reading and writing with no sharing: fails while another open file holds a lock on it,
// or while it cannot be written.
FileHandle OpenReadWriteExclusive(const std::string& path);

// A regular file (links followed) exists under the path. Folders and devices do not count;
// when the answer is no, errno tells why.
bool FileExists(const std::string& path);

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
