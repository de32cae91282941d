#include "hexeditor/SearchKernel.h"

#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrave::hex {
namespace {

// A test with more candidate bytes than this is not worth doing sixteen at a time.
constexpr int kMaxAnchorBytes = 4;
constexpr std::int64_t kLanes = 16;

// The data bytes that map to one pattern byte.
struct Anchor {
  std::int64_t offset = 0;
  int count = 0;
  std::uint8_t bytes[256] = {};
};

Anchor AnchorAt(const std::uint8_t* pattern, std::int64_t offset, const ByteMap& map) {
  Anchor anchor;
  anchor.offset = offset;
  for (int b = 0; b < 256; ++b)
    if (map[b] == pattern[offset]) anchor.bytes[anchor.count++] = static_cast<std::uint8_t>(b);
  return anchor;
}

bool MatchesAt(const std::uint8_t* data, const std::uint8_t* pattern, std::int64_t length,
               const ByteMap& map) {
  for (std::int64_t k = 0; k < length; ++k)
    if (map[data[k]] != pattern[k]) return false;
  return true;
}

// Candidates by one anchor byte at a time, each verified in full.
std::int64_t ScanScalar(const std::uint8_t* data, std::int64_t from, std::int64_t starts,
                        const std::uint8_t* pattern, std::int64_t length, const ByteMap& map,
                        const Anchor& anchor) {
  const std::uint8_t wanted = pattern[anchor.offset];
  for (std::int64_t o = from; o < starts; ++o)
    if (map[data[o + anchor.offset]] == wanted && MatchesAt(data + o, pattern, length, map))
      return o;
  return -1;
}

#if defined(__SSE2__)
__m128i InSet(__m128i lanes, const Anchor& anchor) {
  __m128i hit = _mm_setzero_si128();
  for (int i = 0; i < anchor.count; ++i)
    hit =
        _mm_or_si128(hit, _mm_cmpeq_epi8(lanes, _mm_set1_epi8(static_cast<char>(anchor.bytes[i]))));
  return hit;
}

// Sixteen starts per step; answers the first match, or -1 with Next set to where it stopped.
std::int64_t ScanVector(const std::uint8_t* data, std::int64_t starts, const std::uint8_t* pattern,
                        std::int64_t length, const ByteMap& map, const Anchor& first,
                        const Anchor& second, std::int64_t& next) {
  std::int64_t o = 0;
  for (; o + kLanes <= starts; o += kLanes) {
    const auto* a = reinterpret_cast<const __m128i*>(data + o + first.offset);
    const auto* b = reinterpret_cast<const __m128i*>(data + o + second.offset);
    const __m128i both =
        _mm_and_si128(InSet(_mm_loadu_si128(a), first), InSet(_mm_loadu_si128(b), second));
    for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(both)); mask != 0;
         mask &= mask - 1) {
      const std::int64_t candidate = o + __builtin_ctz(mask);
      if (MatchesAt(data + candidate, pattern, length, map)) return candidate;
    }
  }
  next = o;
  return -1;
}
#endif

}  // namespace

std::int64_t FindMapped(const std::uint8_t* data, std::int64_t size, const std::uint8_t* pattern,
                        std::int64_t length, const ByteMap& map) {
  if (length < 1 || length > size) return -1;
  const std::int64_t starts = size - length + 1;
  // The two positions with the fewest candidate bytes filter best.
  Anchor best = AnchorAt(pattern, length - 1, map);
  Anchor runnerUp = AnchorAt(pattern, 0, map);
  if (best.count == 0 || runnerUp.count == 0) return -1;
  if (runnerUp.count < best.count) std::swap(best, runnerUp);
  for (std::int64_t k = 1; k + 1 < length; ++k) {
    const Anchor here = AnchorAt(pattern, k, map);
    if (here.count == 0) return -1;
    if (here.count < best.count) {
      runnerUp = best;
      best = here;
    } else if (here.count < runnerUp.count) {
      runnerUp = here;
    }
  }
  std::int64_t from = 0;
#if defined(__SSE2__)
  if (best.count <= kMaxAnchorBytes && runnerUp.count <= kMaxAnchorBytes) {
    const std::int64_t found = ScanVector(data, starts, pattern, length, map, best, runnerUp, from);
    if (found >= 0) return found;
  }
#endif
  return ScanScalar(data, from, starts, pattern, length, map, best);
}

std::int64_t FindMappedShiftByOne(const std::uint8_t* data, std::int64_t size,
                                  const std::uint8_t* pattern, std::int64_t length,
                                  const ByteMap& map) {
  if (length < 1 || length > size) return -1;
  return FindMappedStepwise(data, 0, size - 1, pattern, length, map, [](std::int64_t) {});
}

}  // namespace kestrave::hex
