#include "hexeditor/transfer/PrivateBlock.h"

#include <cstring>

#include "hexeditor/undo/UndoRecord.h"
#include "platform/UserInterface.h"

namespace kestrave::hex {
namespace {

constexpr std::uint32_t kMagic = 0x44455848;  // "HXED"
constexpr std::uint32_t kVersion = 0x00010001;

// Count bytes from offset Start, when the block holds them.
std::optional<std::vector<std::uint8_t>> Slice(const std::uint8_t* block, std::size_t size,
                                               std::size_t start, std::int32_t count) {
  if (count < 0 || start > size || static_cast<std::size_t>(count) > size - start)
    return std::nullopt;
  return platform::CopyBytesResponsively(block + start, static_cast<std::size_t>(count));
}

}  // namespace

void WritePrivateBlock(std::uint8_t* block, const std::uint8_t* data, std::int32_t count) {
  WriteLe32(block, kMagic);
  WriteLe32(block + 4, kVersion);
  WriteLe32(block + 8, static_cast<std::uint32_t>(count));
  if (count > 0)
    platform::MoveBytesResponsively(block + kPrivateBlockHeader, data,
                                    static_cast<std::size_t>(count));
}

std::optional<std::span<const std::uint8_t>> PrivateBlockBytes(const std::uint8_t* block,
                                                               std::size_t size) {
  if (!block || size < kPrivateBlockHeader) return std::nullopt;
  if (ReadLe32(block) != kMagic || ReadLe32(block + 4) != kVersion) return std::nullopt;
  const auto count = static_cast<std::int32_t>(ReadLe32(block + 8));
  if (count < 0 || static_cast<std::size_t>(count) > size - kPrivateBlockHeader)
    return std::nullopt;
  return std::span<const std::uint8_t>(block + kPrivateBlockHeader,
                                       static_cast<std::size_t>(count));
}

std::optional<std::vector<std::uint8_t>> ReadPrivateBlock(const std::uint8_t* block,
                                                          std::size_t size) {
  const auto bytes = PrivateBlockBytes(block, size);
  if (!bytes) return std::nullopt;
  return platform::CopyBytesResponsively(bytes->data(), bytes->size());
}

std::optional<std::vector<std::uint8_t>> ReadRegEditBlock(const std::uint8_t* block,
                                                          std::size_t size) {
  if (!block || size < 4) return std::nullopt;
  return Slice(block, size, 4, static_cast<std::int32_t>(ReadLe32(block)));
}

}  // namespace kestrave::hex
