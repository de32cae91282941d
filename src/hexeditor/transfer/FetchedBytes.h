#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/ole/OleTypes.h"

namespace kestrave::hex {

// The bytes a paste or drop fetched from a data object: bytes of their own (converted from the
// medium), or a part of the fetched block itself, which stays locked and is released when this
// goes, so a large block is inserted from where it lies instead of being copied first.
class FetchedBytes {
 public:
  FetchedBytes() = default;
  ~FetchedBytes() { Release(); }
  FetchedBytes(const FetchedBytes&) = delete;
  FetchedBytes& operator=(const FetchedBytes&) = delete;

  // Takes Medium over, locking it when it is a memory block.
  void Hold(const platform::ole::STGMEDIUM& medium);
  // The held block's bytes (nullptr and 0 for other media).
  const std::uint8_t* BlockBytes() const { return block_; }
  std::size_t BlockSize() const { return blockSize_; }

  // The bytes are Part of the held block.
  void Show(std::span<const std::uint8_t> part) { bytes_ = part; }
  // The bytes are these; the held medium is released.
  void Own(std::vector<std::uint8_t> bytes);

  std::span<const std::uint8_t> Bytes() const { return bytes_; }

 private:
  void Release();

  platform::ole::STGMEDIUM medium_{};
  bool held_ = false;
  const std::uint8_t* block_ = nullptr;
  std::size_t blockSize_ = 0;
  std::vector<std::uint8_t> own_;
  std::span<const std::uint8_t> bytes_;
};

}  // namespace kestrave::hex
