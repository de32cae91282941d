#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrave::hex {

using ByteMap = std::array<std::uint8_t, 256>;

// The comparison tables of a search: each byte as it is, and folded to lower case.
struct FindTables {
  ByteMap Identity{};
  ByteMap Folded{};
  const ByteMap& For(bool ignoreCase) const { return ignoreCase ? Folded : Identity; }
};

// The lowest offset o with Map[Data[o + k]] == Pattern[k] for every k < Length, the whole
// pattern lying inside Data[0 .. Size - 1]; -1 when there is none or Length < 1.
//
// Two pattern positions whose bytes few data bytes map to are checked sixteen offsets at a time,
// and only offsets that pass both are compared in full.
std::int64_t FindMapped(const std::uint8_t* data, std::int64_t size, const std::uint8_t* pattern,
                        std::int64_t length, const ByteMap& map);

// The plain shift-by-one method between Start and End (both inclusive): every start is tried in
// turn. OnStep(p) runs before each comparison step, and once more at the position that ends a
// search without a match, as a watcher of the steps expects.
template <typename OnStep>
std::int64_t FindMappedStepwise(const std::uint8_t* data, std::int64_t start, std::int64_t end,
                                const std::uint8_t* pattern, std::int64_t length,
                                const ByteMap& map, OnStep&& onStep) {
  std::int64_t p = start;
  std::int64_t i = 0;
  std::int64_t restart = start + 1;
  for (;;) {
    onStep(p);
    if (p > end) return -1;
    if (map[data[p]] == pattern[i]) {
      if (i == length - 1) return p - length + 1;
      ++p;
      ++i;
    } else {
      p = restart;
      i = 0;
      restart = p + 1;
    }
  }
}

// Every start of every needle in Data, found in one pass: Starts[k] gets the offsets o (ascending)
// with Map[Data[o + j]] == Needles[k][j] for every j, each match lying inside Data. Needles that
// are empty or longer than the data have no starts. The offsets FindMapped would find one call
// at a time, in a single pass over memory.
void FindAllMapped(const std::uint8_t* data, std::int64_t size,
                   const std::vector<std::basic_string_view<std::uint8_t>>& needles,
                   const ByteMap& map, std::vector<std::vector<std::int64_t>>& starts);

// The same answer as FindMapped by the plain shift-by-one method.
std::int64_t FindMappedShiftByOne(const std::uint8_t* data, std::int64_t size,
                                  const std::uint8_t* pattern, std::int64_t length,
                                  const ByteMap& map);

}  // namespace kestrave::hex
