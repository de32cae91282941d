#include "platform/FileStream.h"
#include "platform/SystemCalls.h"
#include "platform/SystemError.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace kestrave::platform {
namespace {

// One system call moves at most this much; larger requests loop.
constexpr std::int64_t kMaxIoPiece = 1 << 30;

}  // namespace

std::int64_t THandleStream::Read(void* buffer, std::int64_t count) {
  auto* out = static_cast<char*>(buffer);
  std::int64_t done = 0;
  lastError_ = 0;
  while (done < count) {
    const auto piece = static_cast<std::size_t>(std::min(count - done, kMaxIoPiece));
    const ssize_t got = SystemCalls().Read(fd_, out + done, piece);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) lastError_ = errno;
    if (got <= 0) break;
    done += got;
  }
  return done;
}

std::int64_t THandleStream::Write(const void* buffer, std::int64_t count) {
  const auto* in = static_cast<const char*>(buffer);
  std::int64_t done = 0;
  lastError_ = 0;
  while (done < count) {
    const auto piece = static_cast<std::size_t>(std::min(count - done, kMaxIoPiece));
    const ssize_t put = SystemCalls().Write(fd_, in + done, piece);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) lastError_ = errno;
    if (put <= 0) break;
    done += put;
  }
  return done;
}

std::int64_t THandleStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                     : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                        : SEEK_END;
  return ::lseek(fd_, offset, whence);
}

std::int64_t THandleStream::Size() {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    lastError_ = errno;
    return -1;
  }
  return info.st_size;
}

std::string ReadFailureDetail(const std::string& path, const THandleStream& stream) {
  const int error = stream.LastError();
  return path + ": " + (error != 0 ? SystemErrorText(error) : "Unexpected end of file");
}

std::string WriteFailureDetail(const std::string& path, int error) {
  return path + ": " + (error != 0 ? SystemErrorText(error) : "Nothing was written");
}

}  // namespace kestrave::platform
