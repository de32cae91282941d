#pragma once

#include <cstdint>

#include "hexeditor/document/ByteBlock.h"
#include "platform/Stream.h"

namespace kestrave::hex {

// The buffer's bytes: one contiguous growable block with a size and a current position.
// Its capacity follows its size, rounded up to a multiple of 8192 bytes.
class THexMemoryStream : public platform::TStream {
 public:
  static constexpr std::int64_t kMaxSize = 0x7FFFFFFF;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, platform::TSeekOrigin origin) override;
  std::int64_t Size() override { return size_; }

  std::int64_t DataSize() const { return size_; }
  std::int64_t Capacity() const { return static_cast<std::int64_t>(block_.Capacity()); }
  // Sets the size, keeping the bytes before it; raises "Out of memory while expanding memory
  // stream" (nothing changed) when the block cannot grow or the size leaves 32 bits.
  void SetSize(std::int64_t size);
  // Makes room for Size bytes without changing the size, so a later SetSize to it cannot fail.
  void Reserve(std::int64_t size);

  // Raises "Data position/length out of data bounds" when End lies beyond the size.
  void CheckBounds(std::int64_t end) const;
  // Moves Count bytes inside the block as memmove does. No bounds check.
  void MoveData(std::int64_t from, std::int64_t to, std::int64_t count);
  // The address of the byte at Offset. No bounds check.
  std::byte* PointerAt(std::int64_t offset) const { return block_.Data() + offset; }
  // Writes Count bytes at Position after a bounds check; the current position is kept.
  void WriteAt(std::int64_t position, const void* buffer, std::int64_t count);

 private:
  ByteBlock block_;
  std::int64_t size_ = 0;
  std::int64_t position_ = 0;
};

}  // namespace kestrave::hex
