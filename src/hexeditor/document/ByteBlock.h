#pragma once

#include <cstddef>

namespace kestrave::hex {

// One contiguous block of bytes whose capacity can change while keeping its content.
//
// Large blocks are mapped from the system directly, on huge pages where it allows, and faulted
// in when they are created, so that filling a freshly sized block (a file load) costs no page
// fault per page; growing them remaps pages instead of copying them. Mappings a block lets go
// are kept, up to a bound, for the next blocks of about their size.
class ByteBlock {
 public:
  ByteBlock() = default;
  ByteBlock(const ByteBlock&) = delete;
  ByteBlock& operator=(const ByteBlock&) = delete;
  ~ByteBlock();

  std::byte* Data() const { return data_; }
  std::size_t Capacity() const { return capacity_; }

  // Sets the capacity, keeping the first bytes up to the smaller of the two capacities.
  // Answers false, with the block unchanged, when memory is exhausted.
  bool Resize(std::size_t capacity);

 private:
  bool ResizeInKind(std::size_t capacity);
  bool MoveToOtherKind(std::size_t capacity, bool mapped);
  void Release();

  std::byte* data_ = nullptr;
  std::size_t capacity_ = 0;
  bool mapped_ = false;
  std::size_t mappedLength_ = 0;  // of the mapping, which may hold more than the capacity
};

}  // namespace kestrave::hex
