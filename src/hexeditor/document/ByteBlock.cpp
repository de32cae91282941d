#include "hexeditor/document/ByteBlock.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/UserInterface.h"

namespace kestrave::hex {
namespace {

// From this size on a block is mapped rather than taken from the heap: growing it then remaps
// pages instead of copying them, and it lies on huge pages where it can. On a virtual machine
// the huge pages also spare the copies and searches most of their address translation.
constexpr std::size_t kMapThreshold = std::size_t{1} << 20;

// An export frees and takes back record-sized blocks for every record. Memory handed back to
// the system comes back zero-filled, page by page, which costs more than the copies themselves;
// so the process keeps this much freed memory for its next blocks, on the heap and in mappings.
constexpr std::size_t kKeptSpace = std::size_t{64} << 20;
constexpr std::size_t kHeapBlockLimit = std::size_t{32} << 20;

void KeepFreedHeapSpace() {
  static const bool kept = [] {
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(kHeapBlockLimit));
    ::mallopt(M_TRIM_THRESHOLD, static_cast<int>(kKeptSpace));
    return true;
  }();
  (void)kept;
}

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it and fault pages lazily
#endif

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t PageSize() {
  static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return page;
}

std::size_t PageRounded(std::size_t count) {
  return (count + PageSize() - 1) / PageSize() * PageSize();
}

// Faults in a range in one call per piece rather than one fault per page; hundreds of megabytes
// take a while, so the windows get to draw between pieces.
void FaultIn(std::byte* from, std::size_t count) {
  constexpr std::size_t kWorthFrom = std::size_t{64} << 10;
  if (count < kWorthFrom) return;
  const std::uintptr_t page = PageSize();
  const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(from) + page - 1) & ~(page - 1);
  const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(from) + count) & ~(page - 1);
  for (std::uintptr_t at = start; at < end; at += platform::kResponsivePiece) {
    if (at > start) platform::KeepResponsive();
    ::madvise(reinterpret_cast<void*>(at), std::min(end - at, platform::kResponsivePiece),
              MADV_POPULATE_WRITE);
  }
}

// A fresh mapping on a huge-page boundary, backed by huge pages where the system allows and
// faulted in at once.
std::byte* MapFresh(std::size_t length) {
  void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const std::uintptr_t end = start + length + kHugePage;
  if (end > aligned + length)
    ::munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
  auto* block = reinterpret_cast<std::byte*>(aligned);
  ::madvise(block, length, MADV_HUGEPAGE);
  FaultIn(block, length);
  return block;
}

// Mappings given back by blocks, kept faulted in for the next blocks of about their size.
class MappingReserve {
 public:
  struct Mapping {
    std::byte* Data = nullptr;
    std::size_t Length = 0;
  };

  // A kept mapping of at least Length bytes and not far beyond, or none.
  Mapping Take(std::size_t length) {
    const std::lock_guard lock(mutex_);
    Mapping* best = nullptr;
    for (Mapping& kept : kept_)
      if (kept.Data && kept.Length >= length && IsSlack(kept.Length, length) &&
          (!best || kept.Length < best->Length))
        best = &kept;
    if (!best) return {};
    const Mapping taken = *best;
    *best = {};
    total_ -= taken.Length;
    return taken;
  }

  // Keeps the mapping, or unmaps it when it is large or the reserve is full.
  void Give(Mapping mapping) {
    {
      const std::lock_guard lock(mutex_);
      if (mapping.Length <= kKeptSpace / 2) {
        for (Mapping& kept : kept_) {
          if (kept.Data || total_ + mapping.Length > kKeptSpace) continue;
          kept = mapping;
          total_ += mapping.Length;
          return;
        }
      }
    }
    ::munmap(mapping.Data, mapping.Length);
  }

  // A mapping this much beyond the bytes asked for is still worth using for them.
  static bool IsSlack(std::size_t length, std::size_t wanted) {
    return length - wanted <= std::max(wanted, kHugePage);
  }

 private:
  std::mutex mutex_;
  std::array<Mapping, 8> kept_{};
  std::size_t total_ = 0;
};

MappingReserve& Reserve() {
  static auto* reserve = new MappingReserve;  // outlives every block, also at exit
  return *reserve;
}

// A mapping for Capacity bytes: a kept one where one fits, else a fresh one.
MappingReserve::Mapping TakeMapping(std::size_t capacity) {
  if (const MappingReserve::Mapping kept = Reserve().Take(capacity); kept.Data) return kept;
  const std::size_t length = PageRounded(capacity);
  return {MapFresh(length), length};
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
  KeepFreedHeapSpace();
  const bool mapped = capacity >= kMapThreshold;
  if (data_ && mapped == mapped_) return ResizeInKind(capacity);
  return MoveToOtherKind(capacity, mapped);
}

// Grows or shrinks the block where it lies, or lets the system move it; a mapping that still
// holds the new capacity without much to spare is kept as it is.
bool ByteBlock::ResizeInKind(std::size_t capacity) {
  if (mapped_) {
    if (capacity <= mappedLength_ && MappingReserve::IsSlack(mappedLength_, capacity)) {
      capacity_ = capacity;
      return true;
    }
    const std::size_t length = PageRounded(capacity);
    void* moved = ::mremap(data_, mappedLength_, length, MREMAP_MAYMOVE);
    if (moved == MAP_FAILED) return false;
    data_ = static_cast<std::byte*>(moved);
    if (length > mappedLength_) FaultIn(data_ + mappedLength_, length - mappedLength_);
    mappedLength_ = length;
  } else {
    auto* moved = static_cast<std::byte*>(std::realloc(data_, capacity));
    if (!moved) return false;
    if (capacity > capacity_) FaultIn(moved + capacity_, capacity - capacity_);
    data_ = moved;
  }
  capacity_ = capacity;
  return true;
}

// Copies the content into a new block of the other kind, then lets the old block go.
bool ByteBlock::MoveToOtherKind(std::size_t capacity, bool mapped) {
  const MappingReserve::Mapping fresh =
      mapped ? TakeMapping(capacity)
             : MappingReserve::Mapping{static_cast<std::byte*>(std::malloc(capacity)), 0};
  if (!fresh.Data) return false;
  if (!mapped) FaultIn(fresh.Data, capacity);
  if (data_) platform::MoveBytesResponsively(fresh.Data, data_, std::min(capacity, capacity_));
  Release();
  data_ = fresh.Data;
  capacity_ = capacity;
  mapped_ = mapped;
  mappedLength_ = fresh.Length;
  return true;
}

void ByteBlock::Release() {
  if (data_) {
    if (mapped_) {
      Reserve().Give({data_, mappedLength_});
    } else {
      std::free(data_);
    }
  }
  data_ = nullptr;
  capacity_ = 0;
  mapped_ = false;
  mappedLength_ = 0;
}

}  // namespace kestrave::hex
