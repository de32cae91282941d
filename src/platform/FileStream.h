#pragma once

#include <string>

#include "platform/FileSystem.h"
#include "platform/Stream.h"

namespace kestrave::platform {

// A stream over an open file descriptor, which it does not own.
class THandleStream : public TStream {
 public:
  explicit THandleStream(int fd) : fd_(fd) {}

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override;

  int Fd() const { return fd_; }
  // Why the last read or write moved fewer bytes than asked: the system's error number, or 0
  // when the file simply ended (it shrank while it was read) or nothing came up short.
  int LastError() const { return lastError_; }

 private:
  int fd_;
  int lastError_ = 0;
};

// The detail of a failed read of a file, for a message that has no room for the file: its path
// and the cause ("PATH: REASON"), the cause taken from the stream's last error.
std::string ReadFailureDetail(const std::string& path, const THandleStream& stream);
// The same for a failed write: the path and the system's error, where there is one.
std::string WriteFailureDetail(const std::string& path, int error);

}  // namespace kestrave::platform
