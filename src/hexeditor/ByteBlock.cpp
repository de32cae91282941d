#include "hexeditor/ByteBlock.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/UserInterface.h"

namespace kestrave::hex {
namespace {

// From this size on a block is mapped rather than taken from the heap.
constexpr std::size_t kMapThreshold = std::size_t{1} << 20;

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it and fault pages lazily
#endif

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// A fresh mapping on a huge-page boundary, backed by huge pages where the system allows and
// faulted in at once: filling it then costs no page fault per 4 KiB.
std::byte* MapFresh(std::size_t capacity) {
  void* raw = ::mmap(nullptr, capacity + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const std::uintptr_t end = start + capacity + kHugePage;
  if (end > aligned + capacity)
    ::munmap(reinterpret_cast<void*>(aligned + capacity), end - aligned - capacity);
  auto* block = reinterpret_cast<std::byte*>(aligned);
  ::madvise(block, capacity, MADV_HUGEPAGE);
  // Faulting in hundreds of megabytes takes a while: in pieces, letting the windows draw.
  for (std::size_t at = 0; at < capacity; at += platform::kResponsivePiece) {
    if (at > 0) platform::KeepResponsive();
    ::madvise(block + at, std::min(capacity - at, platform::kResponsivePiece), MADV_POPULATE_WRITE);
  }
  return block;
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
  if (fresh && data_) platform::MoveBytesResponsively(fresh, data_, std::min(capacity, capacity_));
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
