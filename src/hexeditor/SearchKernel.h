#pragma once

#include <array>
#include <cstdint>

namespace kestrave::hex {

using ByteMap = std::array<std::uint8_t, 256>;

// The lowest offset o with Map[Data[o + k]] == Pattern[k] for every k < Length, the whole
// pattern lying inside Data[0 .. Size - 1]; -1 when there is none or Length < 1.
//
// Two pattern positions whose bytes few data bytes map to are checked sixteen offsets at a time,
// and only offsets that pass both are compared in full.
std::int64_t FindMapped(const std::uint8_t* data, std::int64_t size, const std::uint8_t* pattern,
                        std::int64_t length, const ByteMap& map);

// The same answer by the plain shift-by-one method: every start is tried in turn.
std::int64_t FindMappedShiftByOne(const std::uint8_t* data, std::int64_t size,
                                  const std::uint8_t* pattern, std::int64_t length,
                                  const ByteMap& map);

}  // namespace kestrave::hex
