#include "hexeditor/ByteBlock.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kestrave::hex {
namespace {

// From this size on a block is mapped rather than taken from the heap.
constexpr std::size_t kMapThreshold = std::size_t{1} << 20;

std::byte* MapFresh(std::size_t capacity) {
  void* p = ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  return p == MAP_FAILED ? nullptr : static_cast<std::byte*>(p);
}

}  // namespace

ByteBlock::~ByteBlock() {
  Release();
}

bool ByteBlock::Resize(std::size_t capacity) {
  if (capacity == capacity_) return true;
  if (capacity == 0) {
    Release();
    return true;
  }
  const bool mapped = capacity >= kMapThreshold;
  const bool sameKind = data_ != nullptr && mapped == mapped_;
  std::byte* fresh = sameKind ? Regrow(capacity) : Transfer(capacity, mapped);
  if (!fresh) return false;
  if (!sameKind) Release();
  data_ = fresh;
  capacity_ = capacity;
  mapped_ = mapped;
  return true;
}

// Grows or shrinks the block where it lies, or lets the system move it.
std::byte* ByteBlock::Regrow(std::size_t capacity) const {
  if (mapped_) {
    void* p = ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE);
    return p == MAP_FAILED ? nullptr : static_cast<std::byte*>(p);
  }
  return static_cast<std::byte*>(std::realloc(data_, capacity));
}

// Copies the content into a new block of the other kind; the old block stays until Release.
std::byte* ByteBlock::Transfer(std::size_t capacity, bool mapped) const {
  std::byte* fresh = mapped ? MapFresh(capacity) : static_cast<std::byte*>(std::malloc(capacity));
  if (fresh && data_) std::memcpy(fresh, data_, std::min(capacity, capacity_));
  return fresh;
}

void ByteBlock::Release() {
  if (data_) {
    if (mapped_) {
      ::munmap(data_, capacity_);
    } else {
      std::free(data_);
    }
  }
  data_ = nullptr;
  capacity_ = 0;
  mapped_ = false;
}

}  // namespace kestrave::hex
