#pragma once

#include <cstdint>

namespace kestrave::platform {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// A sequence of bytes with a current position, as the buffer loads from and saves to.
class TStream {
 public:
  virtual ~TStream() = default;

  // Reads up to Count bytes at the position and advances it; answers how many were read.
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  // Writes Count bytes at the position and advances it; answers how many were written.
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  // Moves the position; answers the new position, or -1 when the move failed.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  virtual std::int64_t Size();

  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
};

}  // namespace kestrave::platform
