#pragma once

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

 private:
  int fd_;
};

}  // namespace kestrave::platform
