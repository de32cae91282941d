// The fast search must answer exactly what the shift-by-one method answers, for any data, any
// pattern and any byte map (translation and case folding come down to a map); and the pass that
// finds every start of two patterns at once must find the starts that method finds one by one.
#include <cstdlib>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "hexeditor/search/SearchKernel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kestrave::fuzz::FuzzInput input(data, size);
  kestrave::hex::ByteMap map{};
  // A small spread makes large sets of bytes that map alike, as folding does.
  const unsigned spread = 1u + input.Byte();
  const std::uint8_t seed = input.Byte();
  for (int b = 0; b < 256; ++b)
    map[b] = static_cast<std::uint8_t>(((b * 167u + seed) & 0xFFu) % spread);
  std::size_t patternLength = 1u + input.Byte() % 12u;
  const std::uint8_t* raw = input.Take(patternLength);
  std::uint8_t pattern[12];
  for (std::size_t k = 0; k < patternLength; ++k)
    pattern[k] = map[raw[k]];
  std::size_t otherLength = input.Byte() % 12u;
  const std::uint8_t* otherRaw = input.Take(otherLength);
  std::uint8_t other[12];
  for (std::size_t k = 0; k < otherLength; ++k)
    other[k] = map[otherRaw[k]];
  const auto haystack = static_cast<std::int64_t>(input.Remaining());
  const auto length = static_cast<std::int64_t>(patternLength);
  const std::int64_t fast = kestrave::hex::FindMapped(input.Rest(), haystack, pattern, length, map);
  const std::int64_t plain =
      kestrave::hex::FindMappedShiftByOne(input.Rest(), haystack, pattern, length, map);
  if (fast != plain) std::abort();

  using Needle = std::basic_string_view<std::uint8_t>;
  const std::vector<Needle> needles = {Needle(pattern, patternLength), Needle(other, otherLength)};
  std::vector<std::vector<std::int64_t>> starts;
  kestrave::hex::FindAllMapped(input.Rest(), haystack, needles, map, starts);
  for (std::size_t k = 0; k < needles.size(); ++k) {
    std::vector<std::int64_t> oneByOne;
    const auto needleLength = static_cast<std::int64_t>(needles[k].size());
    for (std::int64_t from = 0; from < haystack;) {
      const std::int64_t found = kestrave::hex::FindMappedShiftByOne(
          input.Rest() + from, haystack - from, needles[k].data(), needleLength, map);
      if (found < 0) break;
      oneByOne.push_back(from + found);
      from += found + 1;
    }
    if (starts[k] != oneByOne) std::abort();
    // Alone, a needle takes the one-needle path and must find the same.
    std::vector<std::vector<std::int64_t>> alone;
    kestrave::hex::FindAllMapped(input.Rest(), haystack, {needles[k]}, map, alone);
    if (alone[0] != oneByOne) std::abort();
  }
  return 0;
}
