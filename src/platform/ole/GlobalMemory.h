#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/ole/OleTypes.h"

namespace kestrave::platform::ole {

inline constexpr std::uint32_t GMEM_MOVEABLE = 0x0002;
inline constexpr std::uint32_t GMEM_ZEROINIT = 0x0040;
inline constexpr std::uint32_t GMEM_DDESHARE = 0x2000;

// Memory blocks passed between programs by handle. Handles are checked: an unknown handle is
// refused rather than followed. Answers 0 when the block cannot be had.
HGLOBAL GlobalAlloc(std::uint32_t flags, std::size_t size);
// The block's bytes, counting one more lock; nullptr for an unknown handle.
std::uint8_t* GlobalLock(HGLOBAL handle);
bool GlobalUnlock(HGLOBAL handle);
// The block's size in bytes; 0 for an unknown handle.
std::size_t GlobalSize(HGLOBAL handle);
// Frees the block; answers 0 on success, the handle itself when it was unknown.
HGLOBAL GlobalFree(HGLOBAL handle);
// Number of blocks alive, to find leaks in tests.
std::size_t GlobalBlockCount();

// A global block that shows Size bytes at Bytes without copying them, for readers only: Owner
// keeps them alive as long as the block lives, and nobody may change them.
HGLOBAL GlobalFromShared(std::shared_ptr<const void> owner, const std::uint8_t* bytes,
                         std::size_t size);

// A global block holding a copy of the given bytes.
HGLOBAL GlobalFromBytes(const void* bytes, std::size_t size);

}  // namespace kestrave::platform::ole
