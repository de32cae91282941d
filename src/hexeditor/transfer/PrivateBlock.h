#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kestrave::hex {

// The component's own clipboard block: "HXED", version 0x00010001, a signed 32-bit count N,
// then N bytes, all little-endian.
inline constexpr std::size_t kPrivateBlockHeader = 12;
void WritePrivateBlock(std::uint8_t* block, const std::uint8_t* data, std::int32_t count);
// The bytes of a block of Size bytes; nothing when the magic or version differ, or when the
// count is negative or reaches past the block.
std::optional<std::vector<std::uint8_t>> ReadPrivateBlock(const std::uint8_t* block,
                                                          std::size_t size);

// The same bytes where they lie in the block, without a copy.
std::optional<std::span<const std::uint8_t>> PrivateBlockBytes(const std::uint8_t* block,
                                                               std::size_t size);

// "RegEdit_HexData": a 32-bit count N, then N bytes. Nothing when N does not fit the block.
std::optional<std::vector<std::uint8_t>> ReadRegEditBlock(const std::uint8_t* block,
                                                          std::size_t size);

}  // namespace kestrave::hex
